#include "net/fetch_url.h"

#include <windows.h>
#include <wininet.h>

#include <cstring>

#include "host/unique_handle.h"
#include "net/fetch_body.h"
#include "net/split_url.h"

namespace {

// The agent text servers have always seen from this program, spacing included.
constexpr char kAgent[] = "Mozilla/4.0(compatible; MSIE 7.0;  Windows NT 6.0)";
// One accept type, written as a whole header line.
constexpr char kAcceptEntry[] = "Accept: */*";

void SetOptionText(HINTERNET handle, DWORD option, const char* text) {
  InternetSetOptionA(handle, option, const_cast<char*>(text), static_cast<DWORD>(std::strlen(text)));
}

// WinINet's own time-outs are a minute or more; none of ours may outlast the deadline.
void SetTimeOuts(HINTERNET session) {
  DWORD ms = kFetchDeadlineMs;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
    InternetSetOptionA(session, option, &ms, sizeof(ms));
}

bool Fetch(const std::string& url, std::string& body, const char* userName, const char* password,
           const char* proxy) {
  std::string host, path;
  SplitUrl(url, host, path);

  // Every step runs even after an earlier one failed: the later calls then fail on
  // the empty handle and the result is false. Declared in this order, the handles
  // close request first, then connection, then session.
  // A named proxy with an empty bypass list: the user's own list is not read.
  UniqueInternet session(proxy ? InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PROXY, proxy, "", 0)
                               : InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  SetTimeOuts(session.get());
  UniqueInternet connection(InternetConnectA(session.get(), host.c_str(), INTERNET_DEFAULT_HTTP_PORT,
                                             userName, password, INTERNET_SERVICE_HTTP, 0, 0));
  const char* acceptTypes[] = {kAcceptEntry, nullptr};
  UniqueInternet request(HttpOpenRequestA(connection.get(), "GET", path.c_str(), "HTTP/1.0", nullptr,
                                          acceptTypes, INTERNET_FLAG_RELOAD, 0));
  // The connection's credentials answer only the site's 401; a proxy that asks
  // (407) needs them given again as the proxy's own.
  if (userName) SetOptionText(request.get(), INTERNET_OPTION_PROXY_USERNAME, userName);
  if (password) SetOptionText(request.get(), INTERNET_OPTION_PROXY_PASSWORD, password);
  HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0);

  return ReadWholeBody(
      [&](char* buffer, std::size_t size) -> long {
        DWORD read = 0;
        if (!InternetReadFile(request.get(), buffer, static_cast<DWORD>(size), &read)) return -1;
        return static_cast<long>(read);
      },
      body);
}

}  // namespace

bool FetchUrl(const std::string& url, std::string& body, const char* userName, const char* password,
              const char* proxy) {
  try {
    return Fetch(url, body, userName, password, proxy);
  } catch (...) {
    body.clear();
    return false;
  }
}
