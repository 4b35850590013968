#include "proxy/user_js_text.h"

#include "proxy/proxy_address.h"

namespace {

constexpr const char* kLineEnd = "\r\n";

// Lines 2 to 10: the same in both files.
constexpr const char* kCommonLines[] = {
    "user_pref(\"network.proxy.http\", \"\");",
    "user_pref(\"network.proxy.http_port\", 0);",
    "user_pref(\"network.proxy.ssl\", \"\");",
    "user_pref(\"network.proxy.ssl_port\", 0);",
    "user_pref(\"network.proxy.ftp\", \"\");",
    "user_pref(\"network.proxy.ftp_port\", 0);",
    "user_pref(\"network.proxy.gopher\", \"\");",
    "user_pref(\"network.proxy.gopher_port\", 0);",
    "user_pref(\"network.proxy.socks_version\", 5);",
};

// No blank after the port line's comma: Firefox has always read it so.
constexpr const char* kSocksHostOpening = "user_pref(\"network.proxy.socks\", \"";
constexpr const char* kSocksPortOpening = "user_pref(\"network.proxy.socks_port\",";
constexpr const char* kBypassOpening = "user_pref(\"network.proxy.no_proxies_on\", \"";
constexpr const char* kQuotedClosing = "\");";
constexpr const char* kNumberClosing = ");";

constexpr const char* kApplyFirstLine = "user_pref(\"network.proxy.type\", 1);";
constexpr const char* kRestoreFirstLine = "user_pref(\"network.proxy.type\", 0);";
constexpr const char* kRestoreSocksLines =
    "user_pref(\"network.proxy.socks\", \"\");\r\n"
    "user_pref(\"network.proxy.socks_port\", 0);\r\n";

// Lines 1 to 10.
std::string LeadingLines(bool apply) {
  std::string text = std::string(apply ? kApplyFirstLine : kRestoreFirstLine) + kLineEnd;
  for (const char* line : kCommonLines) text += std::string(line) + kLineEnd;
  return text;
}

// Takes one line off the front of `text` when it is `opening`, anything
// without a line break, and `closing`.
bool TakeComposedLine(std::string_view& text, std::string_view opening, std::string_view closing) {
  const std::size_t end = text.find(kLineEnd);
  if (end == std::string_view::npos) return false;
  const std::string_view line = text.substr(0, end);
  text.remove_prefix(end + 2);
  return line.size() >= opening.size() + closing.size() && line.starts_with(opening) && line.ends_with(closing);
}

}  // namespace

std::string JsStringContent(std::string_view text) {
  std::string escaped;
  for (char c : WithoutControlChars(text)) {
    if (c == '"' || c == '\\') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string UserJsText(const std::optional<ProxyAddress>& proxy, std::string_view bypass) {
  std::string text = LeadingLines(proxy.has_value());
  if (!proxy) {
    text += std::string(kRestoreSocksLines);
    return text;
  }
  text += kSocksHostOpening + proxy->Host() + kQuotedClosing + kLineEnd;
  text += kSocksPortOpening + proxy->Port() + kNumberClosing + kLineEnd;
  text += kBypassOpening + JsStringContent(bypass) + kQuotedClosing + kLineEnd;
  return text;
}

UserJsForm UserJsFormOf(std::string_view text) {
  if (text == UserJsText(std::nullopt, "")) return UserJsForm::Restore;
  // The apply file: the fixed lines, then three lines composed of their fixed
  // pieces around whatever host, port and bypass list they were given.
  const std::string fixed = LeadingLines(true);
  if (!text.starts_with(fixed)) return UserJsForm::UsersOwn;
  text.remove_prefix(fixed.size());
  const bool apply = TakeComposedLine(text, kSocksHostOpening, kQuotedClosing) &&
                     TakeComposedLine(text, kSocksPortOpening, kNumberClosing) &&
                     TakeComposedLine(text, kBypassOpening, kQuotedClosing) && text.empty();
  return apply ? UserJsForm::Apply : UserJsForm::UsersOwn;
}
