// The record of the user's own proxy settings, taken before a session and put
// back after it when the user asks for it: the Windows side (WinINet, the
// Firefox profile, the settings file).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "proxy/pref_lines.h"

// Before an apply: records what is there now, unless a record of a session in
// effect is kept already. `firefoxPrefs`: Firefox is switched through its
// prefs file. `appliedHost`: the proxy the apply is about to set.
void RecordOwnSettings(bool firefoxPrefs, const std::string& appliedHost);

// Before a restore: with "RestoreOwnSettings" set and no record kept, no
// session of the program's is in effect, so what is there is the user's own:
// recorded, so that the restore leaves it (a start-up's restore among them).
void RecordOwnSettingsBeforeRestore(bool firefoxPrefs);

// After a restore: with "RestoreOwnSettings" set, writes WinINet's record back
// over direct access (not when it names a proxy of the program's: that is a
// stale session, and direct access stays). Firefox's part went into the
// restore block already (FirefoxPutBackNow). The record is done with either way.
void PutBackOwnSettings();

// The catalogue's proxy hosts: a record that names one is a session of the program's own.
void NoteProgramsProxyHosts(std::vector<std::string> hosts);

// What a restore would put back into Firefox's prefs file now; none for direct access.
std::optional<std::vector<PrefLine>> FirefoxPutBackNow();

// For a crashing process: what a restore would write back into WinINet, made
// beforehand (at each arming), and written with nothing allocated.
void PrepareOwnSettingsNow();
void PutBackOwnSettingsNow();
