// The one switch for every selected browser: to a proxy, or back to direct access.
#pragma once

#include <string>

// A restore undoes whatever the applies since the last restore wrote (kept in
// the settings file, so a later process undoes a killed one's session) as well
// as the back-ends the options select now.
void SetBrowserProxy(bool enable, const std::string& proxy, const std::string& label,
                     const std::string& bypass);

// WinINet alone given the proxy again, as an apply gives it (nothing when the
// options leave WinINet out): no Firefox file is written and no box shows.
void SetWinInetProxyAgain(const std::string& proxy, const std::string& bypass);

// Whether the options give WinINet the session.
bool WinInetSelected();

// Why a selected Firefox cannot be switched with the settings as they are;
// empty when it can (or is not selected).
std::string FirefoxNotCovered();
