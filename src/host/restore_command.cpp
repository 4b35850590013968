#include "host/restore_at_logon.h"

std::string RestoreCommand(std::string_view exePath) {
  return "\"" + std::string(exePath) + "\" " + kRestoreSwitch;
}

bool IsRestoreSwitch(std::string_view commandLine) {
  const auto first = commandLine.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  const auto last = commandLine.find_last_not_of(" \t");
  return commandLine.substr(first, last - first + 1) == kRestoreSwitch;
}
