#include "net/http_get_thread.h"

#include <chrono>
#include <optional>
#include <vector>

#include "net/download_length.h"
#include "net/progress_pacing.h"
#include "net/read_sizing.h"
#include "net/split_url.h"

namespace {

// Without the cache, nothing is written to it either: copying every byte of a
// download into it cost half the transfer's speed.
constexpr DWORD kNoCacheFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
constexpr char kPostHeader[] = "Content-Type: application/x-www-form-urlencoded";

// WinINet's own read buffer: when it is full, more may be waiting behind it.
constexpr DWORD kWinInetBuffer = 8192;

// While the bytes come faster than WinINet's buffer holds, as much as the rate
// allows; otherwise only what has arrived, which never waits.
DWORD ChunkToRead(DWORD available, DWORD sized) { return available >= kWinInetBuffer ? sized : available; }

double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

// On the session for the handles made from it, and on the request itself.
void SetStallTimeout(HINTERNET handle) {
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    DWORD ms = kStallTimeoutMs;
    InternetSetOptionA(handle, option, &ms, sizeof(ms));
  }
}

std::optional<std::string> ContentLength(HINTERNET request) {
  char buffer[1024] = {};
  DWORD size = sizeof(buffer) - 1;
  if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, buffer, &size, nullptr)) return std::nullopt;
  return std::string(buffer, size);
}

}  // namespace

THTTPGetThread::THTTPGetThread(const THTTPGet& c, HWND notify, unsigned transfer)
    : acceptTypes_(c.AcceptTypes),
      agent_(c.Agent),
      url_(c.URL),
      fileName_(c.FileName),
      userName_(c.UserName),
      password_(c.Password),
      postQuery_(c.PostQuery),
      referer_(c.Referer),
      binaryData_(c.BinaryData),
      useCache_(c.UseCache),
      onProgress_(c.OnProgress),
      notify_(notify),
      transfer_(transfer) {
  InitializeCriticalSection(&handlesLock_);
}

THTTPGetThread::~THTTPGetThread() {
  CloseHandles();
  DeleteCriticalSection(&handlesLock_);
}

bool THTTPGetThread::Run() {
  // The thread keeps its own reference: it may outlive a component that gave up waiting.
  auto* self = new std::shared_ptr<THTTPGetThread>(shared_from_this());
  thread_.reset(CreateThread(nullptr, 0, ThreadProc, self, 0, nullptr));
  if (!thread_) delete self;
  return static_cast<bool>(thread_);
}

DWORD WINAPI THTTPGetThread::ThreadProc(void* parameter) {
  std::unique_ptr<std::shared_ptr<THTTPGetThread>> self(static_cast<std::shared_ptr<THTTPGetThread>*>(parameter));
  (*self)->Execute();
  return 0;
}

void THTTPGetThread::Execute() {
  bool ok = false;
  try {
    ok = Download();
  } catch (...) {
    ok = false;
  }
  CloseHandles();
  if (!ok || stop_) outcome_ = false;
  DiscardFailedFile();
  PostMessageA(notify_, kHttpGetDoneMessage, transfer_, 0);
}

bool THTTPGetThread::Keep(HINTERNET& slot, HINTERNET handle) {
  EnterCriticalSection(&handlesLock_);
  const bool keep = !stop_;
  if (keep) slot = handle;
  LeaveCriticalSection(&handlesLock_);
  if (!keep && handle) InternetCloseHandle(handle);
  return keep;
}

void THTTPGetThread::CloseHandles() {
  EnterCriticalSection(&handlesLock_);
  // Request first, then connection, then session.
  for (HINTERNET* h : {&request_, &connection_, &session_}) {
    if (*h) InternetCloseHandle(*h);
    *h = nullptr;
  }
  LeaveCriticalSection(&handlesLock_);
}

void THTTPGetThread::Stop() {
  stop_ = true;
  outcome_ = false;
  CloseHandles();
  // A read that Wine keeps blocked holds the file open: deleted now, it goes
  // when that handle closes, even if the process ends first.
  DiscardFailedFile();
}

bool THTTPGetThread::Download() {
  std::string host, path;
  SplitUrl(url_, host, path);
  if (stop_) return false;

  if (!Keep(session_, InternetOpenA(OrNull(agent_), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)))
    return false;
  SetStallTimeout(session_);
  if (!Keep(connection_, InternetConnectA(session_, host.c_str(), INTERNET_DEFAULT_HTTP_PORT, OrNull(userName_),
                                          OrNull(password_), INTERNET_SERVICE_HTTP, 0, 0)))
    return false;
  const std::string acceptEntry = "Accept: " + acceptTypes_;
  const char* acceptTypes[] = {acceptEntry.c_str(), nullptr};
  const bool post = !postQuery_.empty();
  if (!Keep(request_, HttpOpenRequestA(connection_, post ? "POST" : "GET", path.c_str(), "HTTP/1.0",
                                       OrNull(referer_), acceptTypes, useCache_ ? 0 : kNoCacheFlags, 0)))
    return false;
  const HINTERNET request = request_;
  SetStallTimeout(request);
  if (post)
    HttpSendRequestA(request, kPostHeader, sizeof(kPostHeader) - 1, const_cast<char*>(postQuery_.data()),
                     static_cast<DWORD>(postQuery_.size()));
  else
    HttpSendRequestA(request, nullptr, 0, nullptr, 0);
  if (stop_) return false;

  const std::optional<std::string> announced = ContentLength(request);
  if (stop_) return false;
  const LengthDecision length = DecideLength(announced, binaryData_);
  if (!length.proceed) return false;
  fileSize_ = length.fileSize;
  return ReadBody(request);
}

bool THTTPGetThread::ReadBody(HINTERNET request) {
  // Deletable while open, so that an abort need not wait for the worker.
  UniqueFile file(CreateFileA(fileName_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  fileCreated_ = true;
  std::vector<char> buffer(kLargestReadSize);
  ProgressPacer pacer;
  DWORD sized = kFirstReadSize;
  std::int64_t total = 0;
  for (;;) {
    if (stop_) return false;
    DWORD available = 0, got = 0;
    if (!InternetQueryDataAvailable(request, &available, 0, 0) || available == 0) break;
    const DWORD asked = ChunkToRead(available, sized);
    const auto started = std::chrono::steady_clock::now();
    if (!InternetReadFile(request, buffer.data(), asked, &got) || got == 0) break;
    if (asked == sized) sized = NextReadSize(sized, MsSince(started));
    DWORD written = 0;
    if (!WriteFile(file.get(), buffer.data(), got, &written, nullptr) || written != got) return false;
    total += got;
    if (ReadTooMuch(total, fileSize_)) return false;
    if (pacer.Chunk(GetTickCount(), total, fileSize_)) PostProgress(total);
  }
  if (stop_) return false;
  if (pacer.End()) PostProgress(total);
  outcome_ = DownloadComplete(total, fileSize_);
  return outcome_;
}

void THTTPGetThread::PostProgress(std::int64_t readed) {
  // Posted, not sent: the worker never waits for the interface. The done
  // message comes after it in the same queue, so the last report is shown first.
  if (onProgress_) PostMessageA(notify_, kHttpGetProgressMessage, transfer_, static_cast<LPARAM>(readed));
}

bool THTTPGetThread::WaitEnded(DWORD timeout) {
  if (!thread_) return true;
  const DWORD until = GetTickCount() + timeout;
  for (;;) {
    const DWORD now = GetTickCount();
    const DWORD left = timeout == INFINITE ? INFINITE : static_cast<LONG>(until - now) > 0 ? until - now : 0;
    const HANDLE handle = thread_.get();
    const DWORD r = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_SENDMESSAGE);
    if (r == WAIT_OBJECT_0) return true;
    if (r != WAIT_OBJECT_0 + 1) return false;
    // Messages sent to this thread meanwhile are answered.
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void THTTPGetThread::DiscardFailedFile() {
  // Once only: a later transfer may have made a new file of the same name.
  if (!outcome_ && fileCreated_.exchange(false)) DeleteFileA(fileName_.c_str());
}
