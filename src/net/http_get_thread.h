// THTTPGetThread: one transfer of THTTPGet, on a thread of its own, working on
// its own copies of the component's values.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "host/unique_handle.h"
#include "net/http_get.h"

// Posted to the component's window when a chunk's progress is to be shown
// (paced: see progress_pacing.h); wParam is the transfer's number, lParam the
// bytes read so far.
inline constexpr UINT kHttpGetProgressMessage = WM_APP + 40;
// Posted to the component's window when the worker's body has ended; wParam is
// the transfer's number.
inline constexpr UINT kHttpGetDoneMessage = WM_APP + 41;
// A server that sends no byte for this long is given up: the waiting read
// fails, and the transfer with it. Closing the handles does not end such a
// read under Wine; the socket's own time-out does.
inline constexpr DWORD kStallTimeoutMs = 30000;

class THTTPGetThread : public std::enable_shared_from_this<THTTPGetThread> {
 public:
  THTTPGetThread(const THTTPGet& component, HWND notify, unsigned transfer);
  ~THTTPGetThread();
  THTTPGetThread(const THTTPGetThread&) = delete;
  THTTPGetThread& operator=(const THTTPGetThread&) = delete;

  bool Run();
  // From the component's thread: the outcome becomes false, and the open
  // handles are closed so that a blocked read returns.
  void Stop();
  // Waits up to `timeout` ms for the body to end, answering sent messages meanwhile.
  bool WaitEnded(DWORD timeout);
  // At an abort or after the end: a failed transfer leaves no partial file behind.
  void DiscardFailedFile();

  bool Outcome() const { return outcome_; }
  bool Stopped() const { return stop_; }
  std::int32_t FileSize() const { return fileSize_; }
  const std::string& FileName() const { return fileName_; }
  const TOnProgressEvent& OnProgress() const { return onProgress_; }
  unsigned Transfer() const { return transfer_; }

 private:
  static DWORD WINAPI ThreadProc(void* parameter);
  void Execute();
  bool Download();
  bool ReadBody(HINTERNET request);
  void PostProgress(std::int64_t readed);
  // Keeps a freshly opened handle unless a stop came first; false then.
  bool Keep(HINTERNET& slot, HINTERNET handle);
  void CloseHandles();

  const std::string acceptTypes_, agent_, url_, fileName_, userName_, password_, postQuery_, referer_;
  const bool binaryData_, useCache_;
  const TOnProgressEvent onProgress_;
  const HWND notify_;
  const unsigned transfer_;

  std::atomic<bool> stop_{false};
  std::atomic<bool> outcome_{false};
  std::atomic<bool> fileCreated_{false};
  std::atomic<std::int32_t> fileSize_{0};

  CRITICAL_SECTION handlesLock_;  // the handles are closed from both threads
  HINTERNET session_ = nullptr, connection_ = nullptr, request_ = nullptr;
  UniqueKernelHandle thread_;
};
