// Puts the browsers back on direct access when the program dies of an
// unhandled exception while they point at a proxy: otherwise they would stay
// on a dead proxy until the next start.
#pragma once

#include "proxy/applied_backends.h"

// Once, at program start. The filter hands on to the one installed before it,
// so the process then ends as it would have.
void InstallCrashRestore();

// After an apply: a crash from now on puts WinINet on direct access and writes
// the off state of every Firefox back-end the session has used. Everything the
// filter needs is prepared here.
void ArmCrashRestore(const AppliedBackends& applied);
// After a restore: nothing left to undo.
void DisarmCrashRestore();
