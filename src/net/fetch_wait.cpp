#include "net/fetch_wait.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <thread>

#include "host/unique_handle.h"
#include "net/fetch_url.h"

namespace {

// What the worker and the waiting thread share. The worker holds it to its end,
// so a wait that gave up leaves it nothing dangling to write into.
struct FetchJob {
  std::string url;
  std::optional<std::string> userName, password, proxy;
  std::string body;
  bool fetched = false;
  UniqueKernelHandle done{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

bool StartWorker(const std::shared_ptr<FetchJob>& job) {
  try {
    std::thread([job] {
      job->fetched = FetchUrl(job->url, job->body, job->userName ? job->userName->c_str() : nullptr,
                              job->password ? job->password->c_str() : nullptr,
                              job->proxy ? job->proxy->c_str() : nullptr);
      SetEvent(job->done.get());
    }).detach();
    return true;
  } catch (...) {
    return false;
  }
}

// As the program's own loops do: Tab, Enter and Escape work in a shown window.
void Dispatch(MSG& msg) {
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (root && IsWindowVisible(root) && IsDialogMessageA(root, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

// Everything queued now; false at WM_QUIT, which is posted again for the outer loop.
bool DispatchQueued() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    Dispatch(msg);
  }
  return true;
}

// True when `done` was set before the deadline.
bool WaitServingMessages(HANDLE done, ULONGLONG deadline) {
  for (;;) {
    // Drained before every wait: a nested modal loop may have left messages
    // that a wait for new input would not see.
    if (!DispatchQueued()) return false;
    if (WaitForSingleObject(done, 0) == WAIT_OBJECT_0) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    const DWORD woke = MsgWaitForMultipleObjectsEx(1, &done, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                                   MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0) return true;
    if (woke == WAIT_FAILED) return false;
  }
}

}  // namespace

bool FetchUrlWaiting(const std::string& url, std::string& body, const char* userName, const char* password,
                     const char* proxy) {
  body.clear();
  auto job = std::make_shared<FetchJob>();
  job->url = url;
  if (userName) job->userName = userName;
  if (password) job->password = password;
  if (proxy) job->proxy = proxy;
  if (!job->done || !StartWorker(job)) return false;
  if (!WaitServingMessages(job->done.get(), GetTickCount64() + kFetchDeadlineMs)) return false;
  body = std::move(job->body);
  return job->fetched;
}
