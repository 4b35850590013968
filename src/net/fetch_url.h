// The one blocking HTTP GET of the program, through the system's WinINet settings.
#pragma once

#include <string>

// No fetch of the program takes longer than this in all: FetchUrl's connect,
// send and receive time-outs, and FetchUrlWaiting's deadline. A directory reply
// or the IP-check page comes well within it on any working line, and three dead
// directory servers then cost half a minute, not three.
inline constexpr unsigned kFetchDeadlineMs = 10000;

// Fetches `url` on port 80 as HTTP/1.0, never from the cache, and replaces `body`
// with the whole response body, whatever the status. True when at least one byte
// came back. userName and password may be null (no credentials). Shows nothing,
// logs nothing, throws nothing. Connecting, sending and each read give up after
// kFetchDeadlineMs. It blocks: the interface thread calls FetchUrlWaiting instead.
// With `proxy` ("host:port"), the fetch goes through that HTTP proxy whatever
// the system's settings hold; without one, as the system's settings say.
bool FetchUrl(const std::string& url, std::string& body, const char* userName = nullptr,
              const char* password = nullptr, const char* proxy = nullptr);
