// The fetch of the interface thread: FetchUrl on a worker, with a deadline,
// while the caller's messages keep being served.
#pragma once

#include <string>

// No fetch of the program takes longer than this in all; the connect, send and
// receive time-outs of FetchUrl are the same. A directory reply or the IP-check
// page comes well within it on any working line, and three dead directory
// servers then cost half a minute, not three.
inline constexpr unsigned kFetchDeadlineMs = 10000;

// FetchUrl on a worker thread, with connect/send/receive time-outs set and an overall
// deadline (kFetchDeadlineMs). Meanwhile the calling (interface) thread keeps
// dispatching its messages, as a modal loop does. Returns false with an empty body when the
// fetch failed, when the deadline passed (the worker is then abandoned, never waited for,
// and its late result dropped), or when WM_QUIT arrived (it is posted again for the outer loop).
bool FetchUrlWaiting(const std::string& url, std::string& body, const char* userName = nullptr,
                     const char* password = nullptr);
