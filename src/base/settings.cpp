#include "base/settings.h"

#include <windows.h>

#include <vector>

#include "base/ini_value.h"

std::string IniSettings::ReadString(const char* section, const char* key,
                                    const std::string& fallback) const {
  return ReadValue(section, key).value_or(fallback);
}

std::optional<std::string> IniSettings::ReadValue(const char* section, const char* key) const {
  // GetPrivateProfileString cannot tell a missing key from an empty one through
  // its default; a marker default that no real value holds does.
  static constexpr char kMissing[] = "\x01\x02missing\x02\x01";
  std::vector<char> buffer(2048);
  for (;;) {
    const DWORD n = GetPrivateProfileStringA(section, key, kMissing, buffer.data(),
                                             static_cast<DWORD>(buffer.size()), path_.c_str());
    if (n + 1 < buffer.size()) {
      std::string value(buffer.data(), n);
      if (value == kMissing) return std::nullopt;
      return value;
    }
    buffer.resize(buffer.size() * 2);
  }
}

int IniSettings::ReadInteger(const char* section, const char* key, int fallback) const {
  const std::string text = ReadString(section, key, std::string());
  return text.empty() ? fallback : ParseIniInteger(text, fallback);
}

bool IniSettings::ReadBool(const char* section, const char* key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

bool IniSettings::WriteString(const char* section, const char* key, const std::string& value) {
  return WritePrivateProfileStringA(section, key, value.c_str(), path_.c_str()) != 0;
}

bool IniSettings::EraseSection(const char* section) {
  return WritePrivateProfileStringA(section, nullptr, nullptr, path_.c_str()) != 0;
}

bool IniSettings::WriteInteger(const char* section, const char* key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool IniSettings::WriteBool(const char* section, const char* key, bool value) {
  return WriteString(section, key, IniBoolText(value));
}
