#include "proxy/proxy_address.h"

namespace {

constexpr std::size_t kMaxHostLength = 253;
constexpr std::size_t kMaxLoggedLength = 80;

bool IsHostChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

bool IsControlChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u < 0x20 || u == 0x7F;
}

}  // namespace

bool IsValidProxyHost(std::string_view host) {
  if (host.empty() || host.size() > kMaxHostLength) return false;
  for (char c : host)
    if (!IsHostChar(c)) return false;
  return true;
}

bool IsValidProxyPort(std::string_view port) {
  if (port.empty() || port.size() > 5 || port.front() == '0') return false;
  long value = 0;
  for (char c : port) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value >= 1 && value <= 65535;
}

std::optional<ProxyAddress> ProxyAddress::Parse(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::string_view host = text.substr(0, colon), port = text.substr(colon + 1);
  if (!IsValidProxyHost(host) || !IsValidProxyPort(port)) return std::nullopt;
  return ProxyAddress(std::string(host), std::string(port));
}

std::string WithoutControlChars(std::string_view text) {
  std::string clean;
  clean.reserve(text.size());
  for (char c : text)
    if (!IsControlChar(c)) clean += c;
  return clean;
}

std::string LoggableText(std::string_view text) {
  std::string shown;
  for (char c : text.substr(0, kMaxLoggedLength)) shown += IsControlChar(c) ? '?' : c;
  if (text.size() > kMaxLoggedLength) shown += "...";
  return shown;
}
