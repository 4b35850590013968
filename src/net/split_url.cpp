#include "net/split_url.h"

#include <algorithm>
#include <cctype>

namespace {

bool ContainsHttpScheme(std::string_view url) {
  constexpr std::string_view kScheme = "http://";
  const auto hit = std::search(url.begin(), url.end(), kScheme.begin(), kScheme.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  });
  return hit != url.end();
}

}  // namespace

void SplitUrl(std::string_view url, std::string& host, std::string& path) {
  // The scheme is taken to stand at the front wherever the match was.
  if (ContainsHttpScheme(url)) url.remove_prefix(7);
  const std::size_t slash = url.find('/');
  if (slash == std::string_view::npos) {
    host.clear();
    path.assign(url);
    return;
  }
  host.assign(url.substr(0, slash));
  path.assign(url.substr(slash));
}
