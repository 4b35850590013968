// "NewVersion" in the directory's reply: the real program downloads the
// vendor's installer from the stand-in, checks its signature and starts it.
#include <gtest/gtest.h>

#include "e2e/nimvara_process.h"
#include "wine/test_support.h"

namespace {

// The signed reply names the installer it serves by its SHA-256.
const char kNewVersionCatalogue[] =
    "new-version download/nimvara.exe\nport 8080\nuser nim\npassword vara\nserver 1 127.0.0.10\n";

// The stand-in directory (see directory_server.py) with server 0, the vendor
// host, up and serving `sample` as the installer; all down again at the end.
struct VendorWithNewVersion {
  explicit VendorWithNewVersion(const std::string& sample) {
    CreateDirectoryA((Dir() + "download").c_str(), nullptr);
    CopyFileA((BuildDir() + "signed_samples\\" + sample).c_str(), (Dir() + "download\\nimvara.exe").c_str(), FALSE);
    WriteFileBytes(Dir() + "catalogue.txt", kNewVersionCatalogue);
    Modes("good down down");
  }
  ~VendorWithNewVersion() {
    Modes("down down down");
    DeleteFileA((Dir() + "download\\nimvara.exe").c_str());
  }
  static std::string Dir() { return BuildDir() + "directory_service\\"; }
  static void Modes(const std::string& modes) {
    WriteFileBytes(Dir() + "modes", modes + "\n");
    Sleep(300);  // the servers look at the file every 50 ms
  }
};

struct SelfUpdate : ::testing::Test {
  void SetUp() override {
    ForgetPreviousRuns();
    ASSERT_TRUE(CreateDirectoryA(NimvaraDataDir().c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(NimvaraDataDir() + "nimvara.ini", "[Config]\r\nVersion=1.05\r\nFirstRun=0\r\n"));
  }
  void TearDown() override {
    HWND main = nimvara.FindWindowOfClass("TfrmMain");
    if (!nimvara.Running() || !main) return;
    EndWindowsSession(main);
    nimvara.WaitForExit();
  }
  std::string Installer() const { return NimvaraDataDir() + "nimvara-update.exe"; }
  // The vendor offers `sample`: the error is shown, the file deleted, never run, and the reason logged.
  void ExpectRefused(const std::string& sample, const std::string& reason) {
    VendorWithNewVersion vendor(sample);
    DialogAnswerer errorBox("Nimvara", IDOK);
    ASSERT_TRUE(nimvara.Start());
    ASSERT_TRUE(WaitFor([&] { return errorBox.Count() > 0; }, std::chrono::seconds(60)));
    EXPECT_EQ(errorBox.LastText(), "Error when download new version!");
    HWND update = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (update = FindDialog("Update")) != nullptr && !FindDialog("Nimvara"); }));
    ClickDialogButton(update, IDCANCEL);
    EXPECT_TRUE(WaitFor([&] { return !FindDialog("Update"); }));
    EXPECT_TRUE(nimvara.Running());
    EXPECT_FALSE(FileExists(Installer()));
    EXPECT_FALSE(FileExists(Installer() + ".ran"));
    EXPECT_NE(Report().find("Update: the downloaded file was refused " + reason), std::string::npos) << Report();
  }
  std::string Report() const { return ReadFileBytes(NimvaraDataDir() + "report.txt"); }
  NimvaraProcess nimvara;
};

TEST_F(SelfUpdate, TheSignedInstallerIsStartedToRelaunchAndTheProgramEnds) {
  VendorWithNewVersion vendor("good.exe");
  ASSERT_TRUE(nimvara.Start());
  EXPECT_EQ(nimvara.WaitForExit(std::chrono::seconds(60)), 0);
  // The stand-in installer leaves a mark beside itself when it runs.
  // It was asked to start the new version at its end.
  EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(Installer() + ".ran").find(" /Relaunch") != std::string::npos; }));
  const std::string report = Report();
  EXPECT_EQ(report.substr(report.rfind("] ") + 2), "Closing...\r\n");
}

TEST_F(SelfUpdate, ATamperedInstallerNeverRunsAndTheProgramGoesOn) {
  ExpectRefused("code_changed.exe", "(file changed after signing)");
}

TEST_F(SelfUpdate, AnOlderSignedInstallerIsRefusedAsATamperedOne) {
  // Signed by the publisher, but a rollback to an older version.
  ExpectRefused("older.exe", "(version 0.99.0.0 is not newer than 1.0.5.0)");  // the build's samples
}

}  // namespace
