// The fetch of the interface thread: FetchUrl on a worker, with a deadline,
// while the caller's messages keep being served.
#pragma once

#include <string>

#include "net/fetch_url.h"

// FetchUrl on a worker thread, with connect/send/receive time-outs set and an overall
// deadline (kFetchDeadlineMs). Meanwhile the calling (interface) thread keeps
// dispatching its messages, as a modal loop does. Returns false with an empty body when the
// fetch failed, when the deadline passed (the worker is then abandoned, never waited for,
// and its late result dropped), or when WM_QUIT arrived (it is posted again for the outer loop).
bool FetchUrlWaiting(const std::string& url, std::string& body, const char* userName = nullptr,
                     const char* password = nullptr, const char* proxy = nullptr);
