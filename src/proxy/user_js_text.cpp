#include "proxy/user_js_text.h"

#include <algorithm>

#include "proxy/proxy_address.h"

namespace {

constexpr const char* kLineEnd = "\r\n";

// Lines 2 to 10 of the earlier files: the same in both.
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

// Names are resolved by the proxy, and WebRTC reaches out only through it
// (relay servers over the proxy keep calls working; direct UDP would show the
// real address).
constexpr const char* kApplyLeakLines =
    "user_pref(\"network.proxy.socks_remote_dns\", true);\r\n"
    "user_pref(\"media.peerconnection.ice.proxy_only_if_behind_proxy\", true);\r\n";

constexpr const char* kProxyType = "network.proxy.type";
constexpr const char* kFirefoxDefaultProxyType = "5";  // use the system's settings

// Every pref the apply block sets, and its value for direct access (Firefox's
// own default but for the proxy type).
struct RestoredPref {
  const char* name;
  const char* direct;
};
constexpr RestoredPref kRestoredPrefs[] = {
    {kProxyType, "0"},
    {"network.proxy.http", "\"\""},
    {"network.proxy.http_port", "0"},
    {"network.proxy.ssl", "\"\""},
    {"network.proxy.ssl_port", "0"},
    {"network.proxy.ftp", "\"\""},
    {"network.proxy.ftp_port", "0"},
    {"network.proxy.gopher", "\"\""},
    {"network.proxy.gopher_port", "0"},
    {"network.proxy.socks_version", "5"},
    {"network.proxy.socks", "\"\""},
    {"network.proxy.socks_port", "0"},
    {"network.proxy.no_proxies_on", "\"\""},
    {"network.proxy.socks_remote_dns", "false"},
    {"media.peerconnection.ice.proxy_only_if_behind_proxy", "false"},
};

// Lines 1 to 10 of the earlier files.
std::string LeadingLines(bool apply) {
  std::string text = std::string(apply ? kApplyFirstLine : kRestoreFirstLine) + kLineEnd;
  for (const char* line : kCommonLines) text += std::string(line) + kLineEnd;
  return text;
}

// The three lines of the earlier apply file that carry the proxy.
std::string ProxyLines(const ProxyAddress& proxy, std::string_view bypass) {
  return kSocksHostOpening + proxy.Host() + kQuotedClosing + kLineEnd + kSocksPortOpening + proxy.Port() +
         kNumberClosing + kLineEnd + kBypassOpening + JsStringContent(bypass) + kQuotedClosing + kLineEnd;
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

// The earlier apply file, whatever its host, port and bypass list.
bool IsEarlierApplyFile(std::string_view text) {
  const std::string fixed = LeadingLines(true);
  if (!text.starts_with(fixed)) return false;
  text.remove_prefix(fixed.size());
  return TakeComposedLine(text, kSocksHostOpening, kQuotedClosing) &&
         TakeComposedLine(text, kSocksPortOpening, kNumberClosing) &&
         TakeComposedLine(text, kBypassOpening, kQuotedClosing) && text.empty();
}

std::string Block(const std::string& lines) {
  return std::string(kUserJsBlockBegin) + kLineEnd + lines + kUserJsBlockEnd + kLineEnd;
}

// The line starting at `pos` without its line break (LF or CR LF), and where the next one starts.
std::string_view LineAt(std::string_view text, std::size_t pos, std::size_t& next) {
  std::size_t end = text.find('\n', pos);
  next = end == std::string_view::npos ? text.size() : end + 1;
  if (end == std::string_view::npos) end = text.size();
  if (end > pos && text[end - 1] == '\r') --end;
  return text.substr(pos, end - pos);
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

std::string EarlierUserJsText(const std::optional<ProxyAddress>& proxy, std::string_view bypass) {
  return LeadingLines(proxy.has_value()) + (proxy ? ProxyLines(*proxy, bypass) : std::string(kRestoreSocksLines));
}

std::string ApplyBlock(const ProxyAddress& proxy, std::string_view bypass) {
  return Block(EarlierUserJsText(proxy, bypass) + kApplyLeakLines);
}

std::string RestoreBlock(std::string_view ownLines, const std::optional<std::vector<PrefLine>>& putBack) {
  const std::vector<PrefLine> own = ParsePrefLines(ownLines);
  std::string lines;
  for (const RestoredPref& pref : kRestoredPrefs) {
    if (LastPrefValue(own, pref.name)) continue;  // the user's line is in force
    std::optional<std::string> value = putBack ? LastPrefValue(*putBack, pref.name) : std::nullopt;
    if (!value) value = putBack && pref.name == std::string_view(kProxyType) ? kFirefoxDefaultProxyType : pref.direct;
    lines += "user_pref(\"" + std::string(pref.name) + "\", " + *value + ");" + kLineEnd;
  }
  return Block(lines);
}

UserJsParts SplitUserJs(std::string_view text) {
  if (text == EarlierUserJsText(std::nullopt, "")) return {"", UserJsForm::Restore, true};
  if (IsEarlierApplyFile(text)) return {"", UserJsForm::Apply, true};
  UserJsParts parts;
  bool inBlock = false;
  bool firstBlockLine = false;
  for (std::size_t pos = 0, next = 0; pos < text.size(); pos = next) {
    const std::string_view line = LineAt(text, pos, next);
    if (!inBlock && line == kUserJsBlockBegin) {
      inBlock = firstBlockLine = true;
    } else if (inBlock && line == kUserJsBlockEnd) {
      inBlock = false;
    } else if (inBlock) {
      // Several blocks are all the program's; the last one is in force.
      if (firstBlockLine) parts.form = line == kApplyFirstLine ? UserJsForm::Apply : UserJsForm::Restore;
      firstBlockLine = false;
    } else {
      parts.own += text.substr(pos, next - pos);
    }
  }
  if (firstBlockLine) parts.form = UserJsForm::Restore;  // an empty block: every pref was the user's
  return parts;
}

UserJsOwnLines OwnUserJsLines(const std::optional<std::string>& current, const std::optional<std::string>& setAside) {
  UserJsOwnLines result;
  UserJsParts parts;
  if (current) parts = SplitUserJs(*current);
  result.form = parts.form;
  result.lines = parts.own;
  if (setAside && (!current || parts.earlier)) {
    result.lines = *setAside;
    result.setAsideTakenBack = true;
  }
  return result;
}

std::string UserJsWith(std::string_view ownLines, std::string_view block) {
  std::string text(ownLines);
  if (!block.empty() && !text.empty() && text.back() != '\n') text += kLineEnd;
  return text + std::string(block);
}

std::vector<PrefLine> FirefoxPrefsInForce(std::string_view userJs, std::string_view prefsJs) {
  const std::vector<PrefLine> own = ParsePrefLines(userJs);
  const std::vector<PrefLine> prefs = ParsePrefLines(prefsJs);
  std::vector<PrefLine> inForce;
  for (const RestoredPref& pref : kRestoredPrefs) {
    std::optional<std::string> value = LastPrefValue(own, pref.name);
    if (!value) value = LastPrefValue(prefs, pref.name);
    if (!value && pref.name == std::string_view(kProxyType)) value = kFirefoxDefaultProxyType;
    if (value) inForce.push_back({pref.name, *value});
  }
  return inForce;
}
