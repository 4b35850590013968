#include "e2e/ui_fixture.h"

#include "directory/frm_unblock.h"
#include "e2e/app_query_client.h"
#include "wine/test_support.h"

void RunningNimvara::SetUp() {
  ForgetPreviousRuns();
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Nimvara");
  ASSERT_TRUE(CreateDirectoryA(NimvaraDataDir().c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(NimvaraDataDir() + "nimvara.ini", "[Config]\r\nVersion=1.05\r\nFirstRun=0\r\n" + InitialSettings()));
  ASSERT_TRUE(nimvara.Start());
  main = nimvara.WaitForWindow("TfrmMain");
  ASSERT_NE(main, nullptr);
  // Start-up has got as far as it goes with the directory down: the unblock
  // dialog waits for an answer, and the status is busy.
  HWND unblock = nimvara.WaitForDialog(kUnblockCaption);
  ASSERT_NE(unblock, nullptr);
  if (!CloseUnblock()) return;
  ClickDialogButton(unblock, kIdUnblockClose);
  ASSERT_TRUE(WaitFor([&] { return AskNimvara(main, kAskHint) == "Umbrix OFF"; }));
}

void RunningNimvara::TearDown() {
  if (!nimvara.Running() || !main) return;
  EndWindowsSession(main);
  nimvara.WaitForExit();
}

std::string SettingsText() { return ReadFileBytes(NimvaraDataDir() + "nimvara.ini"); }

std::string RunValue() {
  char value[1024] = {};
  DWORD size = sizeof(value);
  if (RegGetValueA(HKEY_CURRENT_USER, kRunKey, "Nimvara", RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return "(none)";
  return value;
}
