#include "net/frm_update.h"

#include <gtest/gtest.h>

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

TEST(TfrmUpdate, FailedOrRefusedDownloadsAreReportedAndNeverRun) {
  struct {
    const char* what;
    std::string url;
    const char* logged;
  } const cases[] = {
      // Which files are refused is the signature check's table; here, that a refusal is told and
      // the file never runs.
      {"a changed byte in the code", Serve("code_changed.exe"), "(file changed after signing)"},
      // The length rule itself is the downloader's; here only that a failed transfer is reported.
      {"fewer bytes than announced", "http://127.0.0.30/dl/short.bin", "download of the new version failed"},
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
