// The program started with its one switch, "/restore" (from the RunOnce value
// a session leaves in case the program cannot end it itself).
#pragma once

// Puts every selected browser on direct access, as the settings file selects
// them, and removes the RunOnce value. Shows no window and writes no log.
void RunRestoreSwitch();
