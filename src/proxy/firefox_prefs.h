// Firefox's user.js in the default profile.
#pragma once

// Deletes the program's user.js from the default Firefox profile.
void ResetFirefoxPrefs();
