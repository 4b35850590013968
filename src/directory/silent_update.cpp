#include "directory/silent_update.h"

// The directory request and reply are not built yet: no server is asked, and
// start-up goes on to the message loop as after a failed request.
std::string SilentUpdate() { return {}; }

void ProcessUpdate(const std::string&) {}
