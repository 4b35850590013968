#include "proxy/profiles_ini.h"

#include <algorithm>

#include "host/env_text.h"

namespace {

struct IniSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> values;

  std::string Value(std::string_view key) const;
};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return Lower(x) == Lower(y);
         });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::string IniSection::Value(std::string_view key) const {
  for (const auto& [k, v] : values)
    if (EqualNoCase(k, key)) return v;
  return {};
}

std::vector<IniSection> ParseIni(std::string_view text) {
  std::vector<IniSection> sections;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      sections.push_back({std::string(line.substr(1, line.size() - 2)), {}});
    } else if (const std::size_t eq = line.find('='); eq != std::string_view::npos && !sections.empty()) {
      sections.back().values.emplace_back(std::string(Trim(line.substr(0, eq))), std::string(Trim(line.substr(eq + 1))));
    }
  }
  return sections;
}

std::string Backslashed(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

bool LooksAbsolute(std::string_view path) {
  return (path.size() >= 2 && path[1] == ':') || StartsWithNoCase(path, "\\\\");
}

// An [Install...] default names a profile by its Path as written in its
// [Profile...] section; that section says whether it is relative.
bool IsRelativePath(const std::vector<IniSection>& sections, const std::string& path) {
  for (const IniSection& s : sections)
    if (StartsWithNoCase(s.name, "Profile") && EqualNoCase(Backslashed(s.Value("Path")), path))
      return s.Value("IsRelative") != "0";
  return !LooksAbsolute(path);
}

void AddCandidate(std::vector<std::string>& out, const std::vector<IniSection>& sections, const std::string& rawPath,
                  std::string_view firefoxDir) {
  const std::string path = Backslashed(rawPath);
  if (path.empty()) return;
  const std::string full = AddBackslash(IsRelativePath(sections, path) ? std::string(firefoxDir) + path : path);
  if (std::none_of(out.begin(), out.end(), [&](const std::string& o) { return EqualNoCase(o, full); }))
    out.push_back(full);
}

}  // namespace

std::vector<std::string> ProfileCandidates(std::string_view iniText, std::string_view firefoxDir) {
  const std::vector<IniSection> sections = ParseIni(iniText);
  std::vector<std::string> candidates;
  for (const IniSection& s : sections)
    if (StartsWithNoCase(s.name, "Install")) AddCandidate(candidates, sections, s.Value("Default"), firefoxDir);
  for (const IniSection& s : sections)
    if (StartsWithNoCase(s.name, "Profile") && s.Value("Default") == "1")
      AddCandidate(candidates, sections, s.Value("Path"), firefoxDir);
  return candidates;
}
