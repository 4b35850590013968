// The one switch for every selected browser: to a proxy, or back to direct access.
#pragma once

#include <string>

void SetBrowserProxy(bool enable, const std::string& proxy, const std::string& label,
                     const std::string& bypass);

// Why a selected Firefox cannot be switched with the settings as they are;
// empty when it can (or is not selected).
std::string FirefoxNotCovered();
