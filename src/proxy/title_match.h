// Matching a window title against a fragment, as the Firefox check needs it.
#pragma once

#include <string_view>

// True when the title holds the fragment, letters compared without case.
bool TitleContains(std::string_view title, std::string_view fragment);
