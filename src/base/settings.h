// nimvara.ini through the system's private-profile functions. Nothing is cached:
// every read goes to the file, every write reaches it at once.
#pragma once

#include <optional>
#include <string>

class IniSettings {
 public:
  explicit IniSettings(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }

  std::string ReadString(const char* section, const char* key, const std::string& fallback) const;
  // Nothing when the key is missing (an empty value is a value).
  std::optional<std::string> ReadValue(const char* section, const char* key) const;
  int ReadInteger(const char* section, const char* key, int fallback) const;
  bool ReadBool(const char* section, const char* key, bool fallback) const;

  // False when the system refuses the write; WriteErrorText() says so to the user.
  bool WriteString(const char* section, const char* key, const std::string& value);
  bool WriteInteger(const char* section, const char* key, int value);
  bool WriteBool(const char* section, const char* key, bool value);
  // The whole section, keys and all.
  bool EraseSection(const char* section);

  std::string WriteErrorText() const { return "Unable to write to " + path_; }

 private:
  std::string path_;
};
