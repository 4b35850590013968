// What the build trusts in a directory reply, wired into a directory run: the
// vendor's signature under the pinned key (checked by bcrypt), the clock, and
// the highest reply serial read, kept in the settings file.
#pragma once

#include "directory/silent_update.h"

void SetVendorChecks(SilentUpdateHooks& hooks);
