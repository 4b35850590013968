#include "net/http_get.h"

#include "net/http_get_thread.h"

namespace {

constexpr char kWindowClass[] = "NimvaraHTTPGet";
// How long an abort waits for the worker to end. Closing its handles ends a
// blocked read on Windows; Wine's WinINet keeps such a read waiting for the
// server, so the worker is then left to end alone: it deletes its partial file
// when its read returns, and nothing it posts reaches a handler any more.
constexpr DWORD kAbortWait = 1000;

void RegisterWindowClass(WNDPROC proc) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kWindowClass;
  RegisterClassExA(&wc);  // fails harmlessly when already registered
}

}  // namespace

THTTPGet::THTTPGet() {
  RegisterWindowClass(WindowProc);
  window_ = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                            nullptr);
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

THTTPGet::~THTTPGet() {
  if (worker_) worker_->Stop();
  // Without the window, nothing the worker still sends or posts reaches a handler.
  SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
  if (worker_ && worker_->WaitEnded(kAbortWait)) worker_->DiscardFailedFile();
}

void THTTPGet::StartDownload() {
  if (worker_) return;  // one transfer at a time
  auto worker = std::make_shared<THTTPGetThread>(*this, window_, ++transfers_);
  worker_ = worker;
  if (!worker->Run()) {
    worker_.reset();
    if (OnError) OnError(this);
    return;
  }
  if (!WaitThread) return;
  while (worker_) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (worker_) WaitMessage();
  }
}

void THTTPGet::AbortDownload() {
  if (!worker_) return;
  worker_->Stop();
  if (!worker_->WaitEnded(kAbortWait)) Complete();
}

void THTTPGet::Complete() {
  const std::shared_ptr<THTTPGetThread> worker = std::move(worker_);
  if (!worker) return;
  // The done message is the body's last act; an abort may not wait for it.
  const bool ended = worker->WaitEnded(worker->Stopped() ? 0 : INFINITE);
  const bool ok = ended && worker->Outcome() && !worker->Stopped();
  if (!ok) worker->DiscardFailedFile();
  if (ok && OnDoneFile)
    OnDoneFile(this, worker->FileName(), worker->FileSize());
  else if (!ok && OnError)
    OnError(this);
}

LRESULT CALLBACK THTTPGet::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<THTTPGet*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self && message == kHttpGetProgressMessage) {
    THTTPGetThread* sender = self->worker_.get();
    if (sender && sender->Transfer() == wParam && !sender->Stopped() && sender->OnProgress())
      sender->OnProgress()(sender, sender->FileSize(), static_cast<std::int32_t>(lParam));
    return 0;
  }
  if (self && message == kHttpGetDoneMessage) {
    if (self->worker_ && self->worker_->Transfer() == wParam) self->Complete();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
