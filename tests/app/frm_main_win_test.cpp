// The main window's status setter and tray menu under Wine, in this process:
// the menu states, hint and tray image each status leaves behind.
#include "app/frm_main.h"

#include <gtest/gtest.h>

#include "app/umbrix_status.h"
#include "directory/server_catalogue.h"
#include "e2e/app_query_client.h"
#include "wine/test_support.h"

namespace {

// A server picked in this run, as "&Umbrix" needs one to apply.
struct ChosenServer {
  TServer server{"#4 IP Address Series", "127.0.0.10", 1, 4, false};
  ChosenServer() { Catalogue().CurrentServer = &server; }
  ~ChosenServer() { Catalogue().CurrentServer = nullptr; }
};

struct MainForm : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(form.Create(GetModuleHandleA(nullptr)));
    form.ShowTrayIcon();
  }
  void TearDown() override {
    form.Close();
    // Destroying the main window ends the message loop: take its WM_QUIT away.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  std::string Ask(AppQuestion question, int index = 0) { return AskNimvara(form.Handle(), question, index); }
  std::string SessionItems() { return Ask(kAskMenuItem, 0) + "|" + Ask(kAskMenuItem, 1) + "|" + Ask(kAskMenuItem, 2); }

  TfrmMain form;
};

}  // namespace

TEST_F(MainForm, StartsHiddenWithTheFirstBusyImageStillAndTheSessionItemsOff) {
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
  EXPECT_EQ(Ask(kAskTrayImage), "busy 0");
  EXPECT_EQ(SessionItems(), "0 &Umbrix|0 &Stop Umbrix|0 Select I&P");
  EXPECT_EQ(Ask(kAskPage), "&About");
}

TEST_F(MainForm, OnAndOffSetImageHintAndSessionItems) {
  form.SetUmbrixStatus(kStatusOn, "Umbrix - Germany #4", kBalloonInformation, "Umbrix - Germany #4");
  EXPECT_EQ(Ask(kAskTrayImage), "status 0");
  EXPECT_EQ(Ask(kAskHint), "Umbrix - Germany #4");
  EXPECT_EQ(SessionItems(), "0 &Umbrix|1 &Stop Umbrix|1 Select I&P");

  form.SetUmbrixStatus(kStatusOn, "Umbrix ON", kBalloonInformation, "");
  EXPECT_EQ(Ask(kAskHint), "Umbrix ON");

  form.SetUmbrixStatus(kStatusOff, "SilentUpdate Failed! Nothing Useful!", kBalloonError, "");
  EXPECT_EQ(Ask(kAskTrayImage), "status 1");
  EXPECT_EQ(Ask(kAskHint), "Umbrix OFF");
  EXPECT_EQ(SessionItems(), "0 &Umbrix|0 &Stop Umbrix|0 Select I&P");  // no server to apply yet

  const ChosenServer chosen;
  form.SetUmbrixStatus(kStatusOff, "User stopped Umbrix", kBalloonInformation, "");
  EXPECT_EQ(SessionItems(), "1 &Umbrix|0 &Stop Umbrix|0 Select I&P");
  // The other six items never change.
  EXPECT_EQ(Ask(kAskMenuItem, 3), "1 SEE my &IP...");
  EXPECT_EQ(Ask(kAskMenuItem, 8), "1 &Exit");
}

TEST_F(MainForm, BusyRestartsTheAnimationAndLeavesTheMenuAsItWas) {
  const ChosenServer chosen;
  form.SetUmbrixStatus(kStatusOff, "SilentUpdate Failed!", kBalloonError, "");
  form.SetUmbrixStatus(kStatusBusy, "Please Select an IP Address", kBalloonInformation, "");
  EXPECT_EQ(Ask(kAskTrayImage), "busy 0 animating");
  EXPECT_EQ(Ask(kAskHint), "Please Select an IP Address");
  EXPECT_EQ(SessionItems(), "1 &Umbrix|0 &Stop Umbrix|0 Select I&P");

  // The timer moves the image on; a new busy status starts from the first again.
  WaitFor([&] {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    return Ask(kAskTrayImage) != "busy 0 animating";
  });
  EXPECT_EQ(Ask(kAskTrayImage).rfind("busy ", 0), 0u);
  EXPECT_NE(Ask(kAskTrayImage), "busy 0 animating");
  form.SetUmbrixStatus(kStatusBusy, "Try SilentUpdate-1 ...", kBalloonInformation, "");
  EXPECT_EQ(Ask(kAskTrayImage), "busy 0 animating");
}

TEST_F(MainForm, AnUnknownStateChangesNothing) {
  form.SetUmbrixStatus(kStatusOn, "Umbrix ON", kBalloonInformation, "");
  for (int state : {3, -1, 17}) form.SetUmbrixStatus(state, "nothing", kBalloonError, "nothing");
  EXPECT_EQ(Ask(kAskTrayImage), "status 0");
  EXPECT_EQ(Ask(kAskHint), "Umbrix ON");
  EXPECT_EQ(SessionItems(), "0 &Umbrix|1 &Stop Umbrix|1 Select I&P");
}

TEST_F(MainForm, AFailedRequestCanTakeUmbrixAwayAgain) {
  const ChosenServer chosen;
  form.SetUmbrixStatus(kStatusOff, "SilentUpdate Failed!", kBalloonError, "");
  form.SetUmbrixItemEnabled(false);
  EXPECT_EQ(SessionItems(), "0 &Umbrix|0 &Stop Umbrix|0 Select I&P");
}

TEST_F(MainForm, TheWholeProgramReachesTheStatusThroughTheFreeFunction) {
  ::SetUmbrixStatus(kStatusOff, "User stopped Umbrix", kBalloonInformation, "");
  EXPECT_EQ(Ask(kAskHint), "Umbrix OFF");
}

TEST_F(MainForm, ALongHintKeepsTheIconInTheTray) {
  const std::string longText(200, 'x');
  form.SetUmbrixStatus(kStatusBusy, longText, kBalloonInformation, "");
  // The program keeps the whole text; the shell is given what fits szTip.
  EXPECT_EQ(Ask(kAskHint), longText);
  EXPECT_EQ(Ask(kAskTrayShown), "1");
}
