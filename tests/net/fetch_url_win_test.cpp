#include "net/fetch_url.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <sstream>
#include <vector>

#include "wine/test_support.h"

namespace {

// Addresses of the test servers (tests/net/fetch_server.py); nothing listens on kNobody.
constexpr char kWeb[] = "http://127.0.0.30";
constexpr char kProxy[] = "127.0.0.31:8080";
constexpr char kNobody[] = "http://127.0.0.32";
constexpr char kAgent[] = "Mozilla/4.0(compatible; MSIE 7.0;  Windows NT 6.0)";

std::string CapturePath(const std::string& page) { return BuildDir() + "fetch_server\\captured\\" + page + ".txt"; }

// The header blocks the server received for a page since the last Forget.
std::vector<std::vector<std::string>> Captured(const std::string& page) {
  std::vector<std::vector<std::string>> requests;
  std::istringstream in(ReadFileBytes(CapturePath(page)));
  std::string line;
  std::vector<std::string> current;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) {
      if (!current.empty()) requests.push_back(current);
      current.clear();
    } else {
      current.push_back(line);
    }
  }
  return requests;
}

void Forget(const std::string& page) { DeleteFileA(CapturePath(page).c_str()); }

// The value of a header line, or "(none)".
std::string HeaderOf(const std::vector<std::string>& request, const std::string& name) {
  for (std::size_t i = 1; i < request.size(); ++i) {
    const std::string& line = request[i];
    if (line.size() > name.size() && _strnicmp(line.c_str(), name.c_str(), name.size()) == 0 &&
        line[name.size()] == ':')
      return line.substr(line.find_first_not_of(' ', name.size() + 1));
  }
  return "(none)";
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& l : lines) all += l + "\n";
  return all;
}

double SecondsOf(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Puts the LAN setting of WinINet on a proxy, or back on direct access.
bool SetLanProxy(const char* server) {
  INTERNET_PER_CONN_OPTIONA options[2] = {};
  options[0].dwOption = INTERNET_PER_CONN_FLAGS;
  options[0].Value.dwValue = server ? PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY : PROXY_TYPE_DIRECT;
  options[1].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
  options[1].Value.pszValue = const_cast<char*>(server ? server : "");
  INTERNET_PER_CONN_OPTION_LISTA list{};
  list.dwSize = sizeof(list);
  list.dwOptionCount = 2;
  list.pOptions = options;
  const bool set = InternetSetOptionA(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, sizeof(list));
  InternetSetOptionA(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
  InternetSetOptionA(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
  return set;
}

struct LanProxy {
  explicit LanProxy(const char* server) { ok = SetLanProxy(server); }
  ~LanProxy() { SetLanProxy(nullptr); }
  bool ok;
};

std::string BigBody() {
  char line[64];
  std::string body;
  for (int i = 0; i < 200; ++i) {
    snprintf(line, sizeof(line), "line %04d of the long page\n", i);
    body += line;
  }
  return body;
}

}  // namespace

TEST(FetchUrl, OkPageWithTheProgramsRequest) {
  Forget("ok_htm");
  std::string body = "left from before";
  ASSERT_TRUE(FetchUrl(std::string(kWeb) + "/ok.htm", body));
  EXPECT_EQ(body, "OK");

  const auto requests = Captured("ok_htm");
  ASSERT_EQ(requests.size(), 1u);
  const auto& request = requests[0];
  SCOPED_TRACE(Joined(request));
  EXPECT_EQ(request[0], "GET /ok.htm HTTP/1.0");
  EXPECT_EQ(HeaderOf(request, "User-Agent"), kAgent);
  // The accept entry is a whole header line, and WinINet puts it after "Accept: ".
  EXPECT_EQ(HeaderOf(request, "Accept"), "Accept: */*");
  EXPECT_EQ(HeaderOf(request, "Host"), "127.0.0.30");
  // Nothing else: no credentials, no referrer, no cache or connection headers.
  EXPECT_EQ(request.size(), 4u);
}

TEST(FetchUrl, SchemeInCapitals) {
  std::string body;
  EXPECT_TRUE(FetchUrl("HTTP://127.0.0.30/ok.htm", body));
  EXPECT_EQ(body, "OK");
}

TEST(FetchUrl, LongBodyArrivesInSeveralReadsJoinedInOrder) {
  std::string body;
  ASSERT_TRUE(FetchUrl(std::string(kWeb) + "/big.txt", body));
  const std::string expected = BigBody();
  ASSERT_GT(expected.size(), 4 * 1025u);
  EXPECT_EQ(body.size(), expected.size());
  EXPECT_TRUE(body == expected);
}

TEST(FetchUrl, EmptyBodyIsAFailureEvenWithSuccessStatus) {
  Forget("empty_htm");
  std::string body = "left from before";
  EXPECT_FALSE(FetchUrl(std::string(kWeb) + "/empty.htm", body));
  EXPECT_EQ(body, "");
  EXPECT_EQ(Captured("empty_htm").size(), 1u);  // the server did answer
}

TEST(FetchUrl, ErrorPageWithABodyIsASuccess) {
  std::string body;
  EXPECT_TRUE(FetchUrl(std::string(kWeb) + "/missing.htm", body));
  EXPECT_EQ(body, "<html>No such page</html>");
}

TEST(FetchUrl, RefusedConnectionFailsQuickly) {
  std::string body = "left from before";
  bool fetched = true;
  const double seconds = SecondsOf([&] { fetched = FetchUrl(std::string(kNobody) + "/ok.htm", body); });
  EXPECT_FALSE(fetched);
  EXPECT_EQ(body, "");
  EXPECT_LT(seconds, 5.0);
}

TEST(FetchUrl, NoSlashAfterTheHostMeansNoServer) {
  Forget("root");
  std::string body = "left from before";
  EXPECT_FALSE(FetchUrl(kWeb, body));
  EXPECT_EQ(body, "");
  EXPECT_TRUE(Captured("root").empty());
}

TEST(FetchUrl, CredentialsAnswerTheChallenge) {
  // Without credentials the refusal page is the body, and the caller judges it.
  // (First: WinINet remembers accepted credentials for the rest of the process.)
  std::string body;
  EXPECT_TRUE(FetchUrl(std::string(kWeb) + "/secret.htm", body));
  EXPECT_EQ(body, "Denied");

  Forget("secret_htm");
  EXPECT_TRUE(FetchUrl(std::string(kWeb) + "/secret.htm", body, "nim", "vara"));
  EXPECT_EQ(body, "Welcome");
  const auto requests = Captured("secret_htm");
  ASSERT_GE(requests.size(), 2u);
  EXPECT_EQ(HeaderOf(requests.front(), "Authorization"), "(none)");
  EXPECT_EQ(HeaderOf(requests.back(), "Authorization"), "Basic bmltOnZhcmE=");  // nim:vara
}

TEST(FetchUrl, EveryAnswerIsFreshAndReplacesTheLast) {
  // The page says it may be cached for a day; the fetch must ask again anyway.
  std::string body;
  ASSERT_TRUE(FetchUrl(std::string(kWeb) + "/count.htm", body));
  const std::string first = body;
  ASSERT_EQ(first.rfind("hit ", 0), 0u);
  ASSERT_TRUE(FetchUrl(std::string(kWeb) + "/count.htm", body));
  EXPECT_EQ(body, "hit " + std::to_string(std::stoi(first.substr(4)) + 1));
}

TEST(FetchUrl, EndlessBodyIsCutOffAndFails) {
  std::string body;
  bool fetched = true;
  const double seconds = SecondsOf([&] { fetched = FetchUrl(std::string(kWeb) + "/endless.bin", body); });
  EXPECT_FALSE(fetched);
  EXPECT_EQ(body, "");
  EXPECT_LT(seconds, 60.0);
}

TEST(FetchUrl, GoesThroughTheProxyOfTheSystemSettings) {
  Forget("proxy");
  std::string body;
  {
    LanProxy proxy(kProxy);
    ASSERT_TRUE(proxy.ok);
    // Nothing listens at the target itself: only the proxy can answer.
    ASSERT_TRUE(FetchUrl(std::string(kNobody) + "/ok.htm", body));
    // The proxy is asked for the absolute URL (Wine's WinINet spells out the port).
    EXPECT_TRUE(body == "via proxy: GET http://127.0.0.32/ok.htm HTTP/1.0" ||
                body == "via proxy: GET http://127.0.0.32:80/ok.htm HTTP/1.0")
        << body;
    const auto requests = Captured("proxy");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(HeaderOf(requests[0], "User-Agent"), kAgent);
  }
  // Back on direct access, the same URL reaches nobody.
  EXPECT_FALSE(FetchUrl(std::string(kNobody) + "/ok.htm", body));
}

TEST(FetchUrl, CredentialsAnswerTheProxysChallenge) {
  // The same credentials reach a proxy that asks for them (407), not only the site (401).
  Forget("proxy");
  std::string body;
  LanProxy proxy(kProxy);
  ASSERT_TRUE(proxy.ok);
  ASSERT_TRUE(FetchUrl(std::string(kNobody) + "/proxy-login.htm", body, "nim", "vara"));
  EXPECT_NE(body.find("via proxy: GET http://127.0.0.32"), std::string::npos) << body;
  const auto requests = Captured("proxy");
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(HeaderOf(requests.front(), "Proxy-Authorization"), "(none)");
  EXPECT_EQ(HeaderOf(requests.back(), "Proxy-Authorization"), "Basic bmltOnZhcmE=");  // nim:vara
}
