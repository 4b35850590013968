#include "net/http_get.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "net/http_get_thread.h"
#include "wine/test_support.h"

namespace {

constexpr char kWeb[] = "http://127.0.0.30";
constexpr char kAgent[] = "Mozilla/4.0(compatible; MSIE 7.0;  Windows NT 6.0)";

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
  return bytes;
}

std::vector<std::string> CapturedHead(const std::string& page) {
  std::vector<std::string> lines;
  std::string text = ReadFileBytes(BuildDir() + "fetch_server\\captured\\" + page + ".txt");
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos || end == at) break;
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
  for (const std::string& l : lines)
    if (l == line) return true;
  return false;
}

// Runs this thread's messages until `done` holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

// A component wired to record what it raises.
struct Download {
  explicit Download(const std::string& page, const std::string& file) {
    get.URL = std::string(kWeb) + page;
    get.FileName = file;
    get.Agent = kAgent;
    get.BinaryData = true;
    get.OnProgress = [this](THTTPGetThread* sender, std::int32_t total, std::int32_t readed) {
      EXPECT_NE(sender, nullptr);
      EXPECT_EQ(GetCurrentThreadId(), uiThread);
      EXPECT_EQ(done + errors, 0);  // never after the outcome
      progress.push_back({total, readed});
    };
    get.OnDoneFile = [this](THTTPGet* sender, const std::string& name, std::int32_t size) {
      EXPECT_EQ(sender, &get);
      EXPECT_EQ(GetCurrentThreadId(), uiThread);
      doneName = name;
      doneSize = size;
      ++done;
    };
    get.OnError = [this](THTTPGet* sender) {
      EXPECT_EQ(sender, &get);
      EXPECT_EQ(GetCurrentThreadId(), uiThread);
      ++errors;
    };
  }
  bool Run(std::chrono::seconds timeout = std::chrono::seconds(20)) {
    get.StartDownload();
    return PumpUntil([&] { return done + errors > 0 && !get.Running(); }, timeout);
  }
  struct Step {
    std::int32_t total, readed;
  };
  const DWORD uiThread = GetCurrentThreadId();
  THTTPGet get;
  std::vector<Step> progress;
  std::string doneName;
  std::int32_t doneSize = -1;
  int done = 0, errors = 0;
};

TEST(THTTPGet, DownloadsWithProgressOnTheCallersThread) {
  ScratchDir dir;
  const std::string file = dir.Path() + "nimvara-update.exe";
  WriteFileBytes(file, "an older download, longer than nothing");
  DeleteFileA((BuildDir() + "fetch_server\\captured\\dl_small_bin.txt").c_str());
  Download d("/dl/small.bin", file);
  ASSERT_TRUE(d.Run());
  EXPECT_EQ(d.done, 1);
  EXPECT_EQ(d.errors, 0);
  EXPECT_EQ(d.doneName, file);
  EXPECT_EQ(d.doneSize, 5000);
  EXPECT_TRUE(ReadFileBytes(file) == Pattern(5000));
  // Paced events, rising, each with the announced total; the last at the full length.
  ASSERT_GE(d.progress.size(), 1u);
  std::int32_t last = 0;
  for (const auto& step : d.progress) {
    EXPECT_EQ(step.total, 5000);
    EXPECT_GT(step.readed, last);
    last = step.readed;
  }
  EXPECT_EQ(last, 5000);

  const auto head = CapturedHead("dl_small_bin");
  ASSERT_FALSE(head.empty());
  EXPECT_EQ(head[0], "GET /dl/small.bin HTTP/1.0");
  EXPECT_TRUE(HasLine(head, std::string("User-Agent: ") + kAgent));
  EXPECT_TRUE(HasLine(head, "Accept: Accept: */*"));
}

TEST(THTTPGet, APauseOfTheServerIsWaitedFor) {
  ScratchDir dir;
  Download d("/dl/pause.bin", dir.Path() + "slow.exe");
  ASSERT_TRUE(d.Run());
  EXPECT_EQ(d.done, 1);
  EXPECT_TRUE(ReadFileBytes(dir.Path() + "slow.exe") == Pattern(5000));
}

TEST(THTTPGet, FailedTransfersLeaveNoFile) {
  struct Case {
    const char* page;
    bool binaryData;
  } const cases[] = {
      {"/dl/nolength.bin", true},   // all bytes came, but no length was announced
      {"/dl/short.bin", true},      // fewer bytes than announced
      {"/dl/badlength.bin", true},  // a length that is not a number
      {"/dl/huge.bin", true},       // more than any installer
      {"/dl/nolength.bin", false},  // no length: only an empty body would match
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    ScratchDir dir;
    const std::string file = dir.Path() + "update.exe";
    Download d(c.page, file);
    d.get.BinaryData = c.binaryData;
    ASSERT_TRUE(d.Run());
    EXPECT_EQ(d.errors, 1);
    EXPECT_EQ(d.done, 0);
    EXPECT_FALSE(FileExists(file));
  }
}

TEST(THTTPGet, RefusedLengthWritesNothing) {
  ScratchDir dir;
  const std::string file = dir.Path() + "update.exe";
  WriteFileBytes(file, "kept");
  Download d("/dl/huge.bin", file);
  ASSERT_TRUE(d.Run());
  EXPECT_EQ(d.errors, 1);
  EXPECT_TRUE(d.progress.empty());
  EXPECT_EQ(ReadFileBytes(file), "kept");
}

TEST(THTTPGet, AnnouncedZeroWithEmptyBodyIsASuccess) {
  ScratchDir dir;
  Download d("/dl/empty.bin", dir.Path() + "empty.exe");
  ASSERT_TRUE(d.Run());
  EXPECT_EQ(d.done, 1);
  EXPECT_EQ(d.doneSize, 0);
  EXPECT_TRUE(FileExists(dir.Path() + "empty.exe"));
}

TEST(THTTPGet, NoServerIsAFailure) {
  ScratchDir dir;
  Download d("/dl/small.bin", dir.Path() + "x.exe");
  d.get.URL = "http://127.0.0.32/dl/small.bin";
  ASSERT_TRUE(d.Run());
  EXPECT_EQ(d.errors, 1);
}

TEST(THTTPGet, AbortEndsAReadBlockedOnAStalledServer) {
  ScratchDir dir;
  const std::string file = dir.Path() + "stalled.exe";
  Download d("/dl/stall.bin", file);
  d.get.StartDownload();
  ASSERT_TRUE(PumpUntil([&] { return !d.progress.empty(); }));
  // A second start while one runs is ignored.
  d.get.URL = std::string(kWeb) + "/dl/small.bin";
  DeleteFileA((BuildDir() + "fetch_server\\captured\\dl_small_bin.txt").c_str());
  d.get.StartDownload();
  Sleep(300);  // the server stays quiet: the worker is blocked in its read
  const auto start = std::chrono::steady_clock::now();
  d.get.AbortDownload();
  ASSERT_TRUE(PumpUntil([&] { return d.errors > 0; }, std::chrono::seconds(5)));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_EQ(d.errors, 1);
  EXPECT_EQ(d.done, 0);
  EXPECT_TRUE(PumpUntil([&] { return !FileExists(file); }, std::chrono::seconds(15)));
  EXPECT_TRUE(CapturedHead("dl_small_bin").empty());
}

TEST(THTTPGet, DestroyingTheComponentAbortsAndRaisesNothing) {
  ScratchDir dir;
  const std::string file = dir.Path() + "stalled.exe";
  int events = 0;
  auto get = std::make_unique<THTTPGet>();
  get->URL = std::string(kWeb) + "/dl/stall.bin";
  get->FileName = file;
  get->BinaryData = true;
  bool progressed = false;
  get->OnProgress = [&](THTTPGetThread*, std::int32_t, std::int32_t readed) { progressed = readed > 0; };
  get->OnError = [&](THTTPGet*) { ++events; };
  get->OnDoneFile = [&](THTTPGet*, const std::string&, std::int32_t) { ++events; };
  get->StartDownload();
  ASSERT_TRUE(PumpUntil([&] { return progressed; }));
  Sleep(300);
  const auto start = std::chrono::steady_clock::now();
  get.reset();  // the owner goes away while the worker is blocked in its read
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
  // The partial file goes at the latest when the stalled read returns (under
  // Wine, only once the server gives up).
  EXPECT_TRUE(PumpUntil([&] { return !FileExists(file); }, std::chrono::seconds(15)));
  EXPECT_EQ(events, 0);
}

TEST(THTTPGet, PostWithItsHeaderAndTheCacheAllowed) {
  ScratchDir dir;
  DeleteFileA((BuildDir() + "fetch_server\\captured\\dl_post.txt").c_str());
  Download d("/dl/post", dir.Path() + "post.txt");
  d.get.BinaryData = false;
  d.get.UseCache = true;
  d.get.PostQuery = "a=1&b=2";
  d.get.Referer = "http://127.0.0.30/from";
  d.get.AcceptTypes = "text/plain";
  d.get.Agent = "";
  ASSERT_TRUE(d.Run());
  const auto head = CapturedHead("dl_post");
  ASSERT_FALSE(head.empty());
  EXPECT_EQ(head[0], "POST /dl/post HTTP/1.0");
  EXPECT_TRUE(HasLine(head, "Content-Type: application/x-www-form-urlencoded"));
  EXPECT_TRUE(HasLine(head, "Content-Length: 7"));
  EXPECT_TRUE(HasLine(head, "Referer: http://127.0.0.30/from"));
  EXPECT_TRUE(HasLine(head, "Accept: Accept: text/plain"));
  for (const std::string& line : head) EXPECT_NE(line.rfind("User-Agent:", 0), 0u) << line;
}

TEST(THTTPGet, WaitThreadReturnsAfterTheOutcome) {
  ScratchDir dir;
  Download d("/dl/small.bin", dir.Path() + "w.exe");
  d.get.WaitThread = true;
  d.get.StartDownload();
  EXPECT_EQ(d.done, 1);
  EXPECT_FALSE(d.get.Running());
}

// Loopback speed with a progress round trip after every chunk.
}  // namespace
