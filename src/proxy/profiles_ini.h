// Which Firefox profile is in use, as Firefox records it in profiles.ini.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The profile folders profiles.ini names as the one in use, best first: the
// Default= of each [Install...] section, then the [Profile...] marked
// Default=1. A path is relative to firefoxDir (the folder of profiles.ini,
// ending in "\") unless its profile says IsRelative=0. Every result ends in "\".
std::vector<std::string> ProfileCandidates(std::string_view iniText, std::string_view firefoxDir);
