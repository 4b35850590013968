#include "net/frm_update.h"

#include <gtest/gtest.h>
#include <winsock2.h>

#include <thread>
#include <vector>

#include "base/program.h"
#include "wine/test_support.h"

namespace {

constexpr char kErrorText[] = "Error when download new version!";

// Serves a sample program of the build as /dl/<name> on the test web server.
std::string Serve(const std::string& sample) {
  const std::string name = "served_" + sample;
  CopyFileA((BuildDir() + "signed_samples\\" + sample).c_str(), (BuildDir() + "fetch_server\\files\\" + name).c_str(),
            FALSE);
  return "http://127.0.0.30/dl/" + name;
}

struct UpdateRun {
  ScratchDir dir;
  std::string file = dir.Path() + "nimvara-update.exe";
  std::vector<std::string> log;
  UpdateRun() {
    SetReportSink([this](const std::string& line) { log.push_back(line); });
  }
  ~UpdateRun() { SetReportSink(nullptr); }
  bool Ran() const { return FileExists(file + ".ran"); }
  std::string Log() const {
    std::string all;
    for (const std::string& l : log) all += l + "\n";
    return all;
  }
};

// Clicks the update dialog's button once `ready` holds (or after a bound).
std::thread CloseUpdateWhen(std::function<bool()> ready) {
  return std::thread([ready] {
    WaitFor(ready, std::chrono::seconds(20));
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = FindDialog("Update")) != nullptr; }, std::chrono::seconds(60));
    if (dialog) ClickDialogButton(dialog, IDCANCEL);
  });
}

// The vendor's download address (127.0.0.1, port 80) answered from this
// process, once, with `body`.
class VendorDownload {
 public:
  explicit VendorDownload(std::string body) : body_(std::move(body)) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(80);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    listening_ = bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
                 listen(listener_, 1) == 0;
    if (listening_) thread_ = std::thread([this] { Serve(); });
  }
  ~VendorDownload() {
    closesocket(listener_);  // ends a pending accept
    if (thread_.joinable()) thread_.join();
    WSACleanup();
  }
  bool Listening() const { return listening_; }
  std::string RequestLine() const { return request_.substr(0, request_.find("\r\n")); }

 private:
  void Serve() {
    const SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    char buffer[4096];
    int n;
    while (request_.find("\r\n\r\n") == std::string::npos && (n = recv(client, buffer, sizeof(buffer), 0)) > 0)
      request_.append(buffer, n);
    const std::string reply = "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body_.size()) + "\r\n\r\n" + body_;
    send(client, reply.data(), static_cast<int>(reply.size()), 0);
    closesocket(client);
  }
  std::string body_, request_;
  SOCKET listener_ = INVALID_SOCKET;
  bool listening_ = false;
  std::thread thread_;
};

TEST(ShowUpdateDialog, FetchesTheVendorsInstallerIntoTheDataFolderAndStartsIt) {
  ScratchDir dir;
  const std::string savedDataDir = Paths().DataDir;
  Paths().DataDir = dir.Path();
  VendorDownload vendor(ReadFileBytes(BuildDir() + "signed_samples\\good.exe"));
  ASSERT_TRUE(vendor.Listening());
  EXPECT_TRUE(ShowUpdateDialog(nullptr));
  Paths().DataDir = savedDataDir;
  EXPECT_EQ(vendor.RequestLine(), "GET /download/nimvara.exe HTTP/1.0");
  EXPECT_TRUE(WaitFor([&] { return FileExists(dir.Path() + "nimvara-update.exe.ran"); }));
}

TEST(TfrmUpdate, SignedInstallerIsDownloadedCheckedAndStarted) {
  UpdateRun run;
  WriteFileBytes(run.file, "an installer left by an earlier download");
  TfrmUpdate dialog(Serve("good.exe"), run.file);
  std::thread guard = CloseUpdateWhen([] { return false; });  // only if it hangs
  const bool started = dialog.ShowModal(nullptr);
  guard.detach();
  EXPECT_TRUE(started);
  EXPECT_TRUE(WaitFor([&] { return run.Ran(); })) << "the installer did not run";
  EXPECT_TRUE(run.log.empty()) << run.Log();
}

TEST(TfrmUpdate, FailedOrRefusedDownloadsAreReportedAndNeverRun) {
  struct {
    const char* what;
    std::string url;
    const char* logged;
  } const cases[] = {
      {"a changed byte in the code", Serve("code_changed.exe"), "(file changed after signing)"},
      {"a forged signature", Serve("signature_forged.exe"), "(signature does not verify)"},
      {"another publisher", Serve("other_publisher.exe"), "(not signed by the publisher)"},
      {"no length announced", "http://127.0.0.30/dl/nolength.bin", "download of the new version failed"},
      {"fewer bytes than announced", "http://127.0.0.30/dl/short.bin", "download of the new version failed"},
      {"no server", "http://127.0.0.32/download/nimvara.exe", "download of the new version failed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    UpdateRun run;
    DialogAnswerer errorBox("Nimvara", IDOK);
    TfrmUpdate dialog(c.url, run.file);
    std::thread closer = CloseUpdateWhen([&] { return errorBox.Count() > 0 && !FindDialog("Nimvara"); });
    EXPECT_FALSE(dialog.ShowModal(nullptr));
    closer.join();
    EXPECT_EQ(errorBox.Count(), 1);
    EXPECT_EQ(errorBox.LastText(), kErrorText);
    EXPECT_FALSE(FileExists(run.file));
    ASSERT_EQ(run.log.size(), 1u);
    EXPECT_NE(run.log[0].find(c.logged), std::string::npos) << run.log[0];
    Sleep(300);
    EXPECT_FALSE(run.Ran());
  }
}

TEST(TfrmUpdate, ClosingTheDialogAbortsAStalledDownload) {
  UpdateRun run;
  DialogAnswerer errorBox("Nimvara", IDOK);
  TfrmUpdate dialog("http://127.0.0.30/dl/stall.bin", run.file);
  std::chrono::steady_clock::time_point clicked;
  std::thread closer([&] {
    HWND update = nullptr;
    WaitFor([&] { return (update = FindDialog("Update")) != nullptr && FileExists(run.file); },
            std::chrono::seconds(60));
    Sleep(500);  // the server has gone quiet
    clicked = std::chrono::steady_clock::now();
    ClickDialogButton(update, IDCANCEL);
  });
  EXPECT_FALSE(dialog.ShowModal(nullptr));
  const auto closedAfter = std::chrono::steady_clock::now() - clicked;
  closer.join();
  EXPECT_LT(closedAfter, std::chrono::seconds(2));
  Sleep(300);
  EXPECT_EQ(errorBox.Count(), 0);  // nothing of the closed dialog runs afterwards
  EXPECT_TRUE(WaitFor([&] { return !FileExists(run.file); }, std::chrono::seconds(15)));
}

}  // namespace
