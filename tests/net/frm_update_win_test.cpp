#include "net/frm_update.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "base/program.h"
#include "net/http_get_thread.h"
#include "net/sha256.h"
#include "wine/test_support.h"

namespace {

constexpr char kErrorText[] = "Error when download new version!";

std::string SamplePath(const std::string& sample) { return BuildDir() + "signed_samples\\" + sample; }

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
};

// Clicks the update dialog's button once `ready` holds (or after a bound).
std::thread CloseUpdateWhen(std::function<bool()> ready, std::chrono::seconds bound = std::chrono::seconds(20)) {
  return std::thread([ready, bound] {
    WaitFor(ready, bound);
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = FindDialog("Update")) != nullptr; }, std::chrono::seconds(60));
    if (dialog) ClickDialogButton(dialog, IDCANCEL);
  });
}

TEST(TfrmUpdate, FailedOrRefusedDownloadsAreReportedAndNeverRun) {
  const Sha256Digest good = Sha256Of(ReadFileBytes(SamplePath("good.exe")));
  struct {
    const char* what;
    std::string url;
    Sha256Digest named;
    const char* logged;
  } const cases[] = {
      // Which files are refused is the signature check's table; here, that a refusal is told and
      // the file never runs.
      {"a changed byte in the code", Serve("code_changed.exe"), Sha256Of(ReadFileBytes(SamplePath("code_changed.exe"))),
       "(file changed after signing)"},
      // Signed by the publisher and newer, but not the release the signed reply named.
      {"another signed installer", Serve("next_key.exe"), good, "(not the installer the directory named)"},
      // The length rule itself is the downloader's; here only that a failed transfer is reported.
      {"fewer bytes than announced", "http://127.0.0.30/dl/short.bin", good, "download of the new version failed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    UpdateRun run;
    DialogAnswerer errorBox("Nimvara", IDOK);
    TfrmUpdate dialog(c.url, run.file, c.named);
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
  TfrmUpdate dialog("http://127.0.0.30/dl/stall.bin", run.file, Sha256Digest{});
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

TEST(TfrmUpdate, AServerSilentFor30sIsGivenUpWithTheErrorAndLeavesNoFile) {
  UpdateRun run;
  DialogAnswerer errorBox("Nimvara", IDOK);
  TfrmUpdate dialog("http://127.0.0.30/dl/silent.bin", run.file, Sha256Digest{});
  std::thread closer =
      CloseUpdateWhen([&] { return errorBox.Count() > 0 && !FindDialog("Nimvara"); }, std::chrono::seconds(60));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(dialog.ShowModal(nullptr));
  const auto waited = std::chrono::steady_clock::now() - start;
  closer.join();
  EXPECT_GE(waited, std::chrono::milliseconds(kStallTimeoutMs - 1000));
  EXPECT_LT(waited, std::chrono::milliseconds(kStallTimeoutMs + 8000));  // the server stays silent for 45 s
  EXPECT_EQ(errorBox.Count(), 1);
  EXPECT_EQ(errorBox.LastText(), kErrorText);
  EXPECT_FALSE(FileExists(run.file));
  ASSERT_EQ(run.log.size(), 1u);
  EXPECT_NE(run.log[0].find("download of the new version failed"), std::string::npos) << run.log[0];
}

}  // namespace
