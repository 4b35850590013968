#include "app/umbrix_status.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/fixed_text.h"
#include "app/tray_menu_items.h"

TEST(StatusLook, BusyAnimatesShowsTheTextAndLeavesTheMenuAlone) {
  const auto look = StatusLookFor(kStatusBusy, "SilentUpdate. Please wait...", "ignored", true);
  ASSERT_TRUE(look);
  EXPECT_TRUE(look->busy);
  EXPECT_EQ(look->hint, "SilentUpdate. Please wait...");
  EXPECT_FALSE(look->items.has_value());
}

TEST(StatusLook, OnShowsTheOnIconAndTheHintOrUmbrixOn) {
  const auto withHint = StatusLookFor(kStatusOn, "Umbrix - Germany #4", "Umbrix - Germany #4", true);
  ASSERT_TRUE(withHint);
  EXPECT_FALSE(withHint->busy);
  EXPECT_EQ(withHint->statusImage, kOnImage);
  EXPECT_EQ(withHint->hint, "Umbrix - Germany #4");
  EXPECT_EQ(withHint->items, (SessionItems{false, true, true}));

  // An empty Hint falls back to "Umbrix ON", whatever the text says.
  const auto empty = StatusLookFor(kStatusOn, "Umbrix ON somewhere", "", true);
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->hint, "Umbrix ON");
  EXPECT_EQ(empty->items, (SessionItems{false, true, true}));
}

TEST(StatusLook, OffAlwaysHintsUmbrixOffAndOffersOnlyUmbrixOnceAServerWasChosen) {
  const auto look = StatusLookFor(kStatusOff, "User stopped Umbrix", "a hint", true);
  ASSERT_TRUE(look);
  EXPECT_FALSE(look->busy);
  EXPECT_EQ(look->statusImage, kOffImage);
  EXPECT_NE(kOffImage, kOnImage);
  EXPECT_EQ(look->hint, "Umbrix OFF");
  EXPECT_EQ(look->items, (SessionItems{true, false, false}));

  // With no server chosen yet there is nothing "&Umbrix" could apply.
  const auto none = StatusLookFor(kStatusOff, "SilentUpdate Failed! Nothing Useful!", "", false);
  ASSERT_TRUE(none);
  EXPECT_EQ(none->hint, "Umbrix OFF");
  EXPECT_EQ(none->items, (SessionItems{false, false, false}));
}

TEST(StatusLook, UnknownStatesChangeNothing) {
  EXPECT_FALSE(StatusLookFor(3, "x", "y", true));
  EXPECT_FALSE(StatusLookFor(-1, "x", "y", true));
  EXPECT_FALSE(StatusLookFor(1000, "", "", false));
}

TEST(Balloon, IsTitledNimvaraForTenSecondsWithItsIcon) {
  const Balloon b = BalloonFor("User stopped Umbrix", kBalloonInformation);
  EXPECT_EQ(b.title, "Nimvara");
  EXPECT_EQ(b.text, "User stopped Umbrix");
  EXPECT_EQ(b.icon, 1);
  EXPECT_EQ(b.timeoutMs, 10000u);
  EXPECT_EQ(BalloonFor("x", kBalloonError).icon, 3);
  EXPECT_EQ(BalloonFor("x", kBalloonNone).icon, 0);
  EXPECT_EQ(BalloonFor("x", 4).icon, 0);
  EXPECT_EQ(BalloonFor("x", -2).icon, 0);
}

TEST(BusyAnimation, RunsThroughSevenFramesAndWraps) {
  int frame = 0;
  std::string seen;
  for (int i = 0; i < 8; ++i) {
    seen += std::to_string(frame);
    frame = NextBusyFrame(frame);
  }
  EXPECT_EQ(seen, "01234560");
}

TEST(TrayMenu, StartsWithTheThreeSessionItemsDisabled) {
  ASSERT_EQ(kTrayMenu.size(), 9u);
  int disabled = 0;
  for (const TrayMenuItem& item : kTrayMenu) disabled += item.enabledAtStart ? 0 : 1;
  EXPECT_EQ(disabled, 3);
  EXPECT_EQ(kSessionItemsAtStart, (SessionItems{false, false, false}));
  // The three session items lead the menu, ids in menu order.
  for (std::size_t i = 0; i < kTrayMenu.size(); ++i) {
    EXPECT_EQ(kTrayMenu[i].enabledAtStart, i >= 3) << kTrayMenu[i].caption;
    if (i > 0) {
      EXPECT_EQ(kTrayMenu[i].id, kTrayMenu[i - 1].id + 1);
    }
  }
}

TEST(CopyBounded, TruncatesToTheBufferAndTerminates) {
  char tip[128];
  const std::string longHint(300, 'h');
  CopyBounded(tip, longHint);
  EXPECT_EQ(std::string(tip), std::string(127, 'h'));

  char title[64];
  std::memset(title, 'x', sizeof(title));
  CopyBounded(title, "Nimvara");
  EXPECT_STREQ(title, "Nimvara");

  char exact[8];
  CopyBounded(exact, "1234567");  // fits with its terminator
  EXPECT_STREQ(exact, "1234567");
  CopyBounded(exact, "12345678");
  EXPECT_STREQ(exact, "1234567");
  CopyBounded(exact, "");
  EXPECT_STREQ(exact, "");

  char untouched = 'u';
  CopyBounded(&untouched, 0, "abc");
  EXPECT_EQ(untouched, 'u');
}
