#include "proxy/firefox_prefs.h"

// Placeholder until the Firefox back-end lands.
void ResetFirefoxPrefs() {}
