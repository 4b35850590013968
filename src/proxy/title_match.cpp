#include "proxy/title_match.h"

#include <algorithm>

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool TitleContains(std::string_view title, std::string_view fragment) {
  const auto hit = std::search(title.begin(), title.end(), fragment.begin(), fragment.end(),
                               [](char a, char b) { return Lower(a) == Lower(b); });
  return hit != title.end() || fragment.empty();
}
