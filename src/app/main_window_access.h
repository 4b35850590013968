// The main window's status setter and bypass list for the rest of the program;
// they do nothing while no main window exists.
#pragma once

#include <string>
#include <vector>

void SetUmbrixStatus(int state, const std::string& text, int balloonIcon, const std::string& hint);
void SetUmbrixItemEnabled(bool enabled);
std::vector<std::string> BypassLines();
