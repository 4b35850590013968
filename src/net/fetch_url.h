// The one blocking HTTP GET of the program, through the system's WinINet settings.
#pragma once

#include <string>

// Fetches `url` on port 80 as HTTP/1.0, never from the cache, and replaces `body`
// with the whole response body, whatever the status. True when at least one byte
// came back. userName and password may be null (no credentials). Shows nothing,
// logs nothing, throws nothing. Connecting, sending and each read give up after
// kFetchDeadlineMs. It blocks: the interface thread calls FetchUrlWaiting instead.
bool FetchUrl(const std::string& url, std::string& body, const char* userName = nullptr,
              const char* password = nullptr);
