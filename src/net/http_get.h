// THTTPGet: downloads one URL into a file on a worker thread (THTTPGetThread),
// reporting its progress (paced) and the outcome on the thread that owns the
// component.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class THTTPGetThread;

using TOnProgressEvent = std::function<void(THTTPGetThread* sender, std::int32_t totalSize, std::int32_t readed)>;

class THTTPGet;
using TOnDoneFileEvent = std::function<void(THTTPGet* sender, const std::string& fileName, std::int32_t fileSize)>;
using TNotifyEvent = std::function<void(THTTPGet* sender)>;

class THTTPGet {
 public:
  THTTPGet();
  // Aborts a running transfer; no event is raised afterwards.
  ~THTTPGet();
  THTTPGet(const THTTPGet&) = delete;
  THTTPGet& operator=(const THTTPGet&) = delete;

  std::string AcceptTypes = "*/*";
  std::string Agent = "Nimvara HTTPGet";
  bool BinaryData = false;
  std::string URL;
  bool UseCache = false;
  std::string FileName;
  std::string UserName;
  std::string Password;
  std::string PostQuery;
  std::string Referer;
  bool WaitThread = false;
  TOnProgressEvent OnProgress;
  TOnDoneFileEvent OnDoneFile;
  TNotifyEvent OnError;

  // Starts a transfer with the current values; ignored while one runs.
  void StartDownload();
  // Stops a running transfer, even one blocked in a read; it ends as a failure.
  void AbortDownload();
  bool Running() const { return worker_ != nullptr; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Complete();

  HWND window_ = nullptr;  // receives the worker's progress and completion
  std::shared_ptr<THTTPGetThread> worker_;
  unsigned transfers_ = 0;
};
