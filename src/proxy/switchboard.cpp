#include "proxy/switchboard.h"

// Placeholder until the browser back-ends land: nothing is switched yet.
void SetBrowserProxy(bool, const std::string&, const std::string&, const std::string&) {}
