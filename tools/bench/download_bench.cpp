// Times the self-update's download: THTTPGet fetching a URL into a file, with
// the update dialog's per-chunk progress shown in a (hidden) progress bar and
// caption, or with no progress handler at all.
//   download_bench <url> <file> progress|quiet   prints "bytes seconds events"
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include <wininet.h>

#include "net/frm_update.h"
#include "net/http_get.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: download_bench <url> <file> progress|quiet\n");
    return 2;
  }
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  HWND owner = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 360, 130, nullptr, nullptr, nullptr, nullptr);
  HWND bar = CreateWindowA(PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 8, 40, 300, 18, owner, nullptr, nullptr, nullptr);
  HWND caption = CreateWindowA("STATIC", "0%", WS_CHILD | WS_VISIBLE, 312, 40, 40, 18, owner, nullptr, nullptr, nullptr);

  long events = 0;
  std::int32_t bytes = -1;
  THTTPGet get;
  get.URL = argv[1];
  get.FileName = argv[2];
  if (std::strcmp(argv[3], "progress") == 0)
    get.OnProgress = [&](THTTPGetThread*, std::int32_t total, std::int32_t readed) {
      ++events;
      ShowDownloadProgress(bar, caption, total, readed);
    };
  get.OnDoneFile = [&](THTTPGet*, const std::string&, std::int32_t size) {
    bytes = size;
    PostQuitMessage(0);
  };
  get.OnError = [&](THTTPGet*) { PostQuitMessage(1); };

  // The program has used WinINet for its directory and version checks long
  // before an update: loading it is not part of the download.
  InternetCloseHandle(InternetOpenA("download_bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));

  const auto started = std::chrono::steady_clock::now();
  get.StartDownload();
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (bytes < 0) {
    std::fprintf(stderr, "download_bench: the download failed\n");
    return 1;
  }
  std::printf("%ld %.3f %ld\n", static_cast<long>(bytes), seconds, events);
  return 0;
}
