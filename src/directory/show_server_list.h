// The server selection: the dialog opened from the reply or the tray menu, and
// the random pick within a country.
#pragma once

#include <functional>

// What a confirmed pick starts: the main window's hide session (`Umbrix`).
void SetUmbrixStarter(std::function<void()> umbrix);

// Opens the selection list modally; returns at once while the catalogue is empty.
void ShowServerList(bool cancelEnabled);

// Picks a server of the country at random, makes it the current server and
// starts the session. False when the catalogue has no entry of that country.
bool SelectCountry(int country);
