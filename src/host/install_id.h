// The installation identifier sent with every directory request.
#pragma once

#include <string>

// 24 decimal digits from one adapter address (or the 24 nines when none is
// usable). Pins the adapter by writing its digest to "Pass" when needed.
std::string GetInstallId();
