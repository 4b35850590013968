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

}  // namespace

std::string JsStringContent(std::string_view text) {
  std::string escaped;
  for (char c : WithoutControlChars(text)) {
    if (c == '"' || c == '\\') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string UserJsText(bool enable, std::string_view host, std::string_view port, std::string_view bypass) {
  std::string text = enable ? "user_pref(\"network.proxy.type\", 1);" : "user_pref(\"network.proxy.type\", 0);";
  text += kLineEnd;
  for (const char* line : kCommonLines) text += std::string(line) + kLineEnd;
  if (!enable) {
    text += std::string("user_pref(\"network.proxy.socks\", \"\");") + kLineEnd;
    text += std::string("user_pref(\"network.proxy.socks_port\", 0);") + kLineEnd;
    return text;
  }
  text += kSocksHostOpening + JsStringContent(host) + kQuotedClosing + kLineEnd;
  text += kSocksPortOpening + WithoutControlChars(port) + kNumberClosing + kLineEnd;
  text += kBypassOpening + JsStringContent(bypass) + kQuotedClosing + kLineEnd;
  return text;
}
