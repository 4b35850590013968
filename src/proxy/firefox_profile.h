// Finding the Firefox profile whose user.js the program writes.
#pragma once

#include <string>

// The profile folder, ending in "\"; empty when there is none. The profile
// that profiles.ini names as the one in use wins when its folder exists;
// otherwise the first "*.default" entry of the Profiles folder.
std::string FindFirefoxProfile();
