#include "base/message_box_text.h"

#include <gtest/gtest.h>

namespace {
std::vector<int> Results(unsigned set) {
  std::vector<int> r;
  for (const ButtonSpec& b : ButtonsInOrder(set)) r.push_back(b.result);
  return r;
}
}  // namespace

TEST(ButtonsInOrder, FollowsTheFixedOrderWhateverTheSet) {
  EXPECT_EQ(Results(mbOK), std::vector<int>{1});
  EXPECT_EQ(Results(mbCancel | mbOK), (std::vector<int>{1, 2}));
  EXPECT_EQ(Results(mbYesToAll | mbNo | mbYes | mbNoToAll), (std::vector<int>{6, 7, 9, 10}));
  EXPECT_EQ(Results(mbIgnore | mbRetry | mbAbort), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(Results(0x3FF), (std::vector<int>{6, 7, 1, 2, 3, 4, 5, 8, 9, 10}));
  EXPECT_TRUE(Results(0).empty());
}

TEST(ButtonsInOrder, OnlyTheLastThreeHaveLiteralCaptions) {
  for (const ButtonSpec& b : ButtonsInOrder(0x3FF))
    EXPECT_EQ(b.systemStringIndex < 0, b.result >= 8) << b.result;
}

TEST(MessageBoxClipboardText, LaysOutCaptionTextAndButtons) {
  const std::string rule(27, '-');
  EXPECT_EQ(MessageBoxClipboardText("Nimvara", "Verify failed. Please restart Nimvara!", {"OK"}),
            rule + "\r\nNimvara\r\n" + rule + "\r\nVerify failed. Please restart Nimvara!\r\n" + rule +
                "\r\nOK\r\n" + rule);
  EXPECT_EQ(MessageBoxClipboardText("T", "x", {"&Yes", "&No", "Cancel"}),
            rule + "\r\nT\r\n" + rule + "\r\nx\r\n" + rule + "\r\nYes   No   Cancel\r\n" + rule);
}

TEST(LayOutMessageBox, ButtonsSitBelowTheTallerOfIconAndText) {
  // A one-line text beside the icon: the icon is the lower one.
  MessageBoxLayout a = LayOutMessageBox(true, 200, 13, 1);
  EXPECT_EQ(a.buttons.at(0).top, a.icon.bottom() + 20);
  // A tall text: the text is the lower one.
  MessageBoxLayout b = LayOutMessageBox(true, 200, 90, 2);
  EXPECT_EQ(b.buttons.at(0).top, b.text.bottom() + 20);
  EXPECT_EQ(b.buttons.at(1).top, b.buttons.at(0).top);
}

TEST(LayOutMessageBox, ButtonsAre73By25And93ApartAtTheRight) {
  MessageBoxLayout l = LayOutMessageBox(true, 300, 40, 3);
  ASSERT_EQ(l.buttons.size(), 3u);
  for (const BoxRect& r : l.buttons) {
    EXPECT_EQ(r.width, 73);
    EXPECT_EQ(r.height, 25);
  }
  EXPECT_EQ(l.buttons[1].left - l.buttons[0].left, 93);
  EXPECT_EQ(l.buttons[2].left - l.buttons[1].left, 93);
  EXPECT_EQ(l.buttons[2].right(), l.clientWidth - kBoxMargin);
  EXPECT_GE(l.buttons[0].left, kBoxMargin);
  EXPECT_EQ(l.clientHeight, l.buttons[0].bottom() + kBoxMargin);
}

TEST(LayOutMessageBox, WithoutAnIconTheTextMovesToTheLeftEdge) {
  MessageBoxLayout with = LayOutMessageBox(true, 100, 13, 1);
  MessageBoxLayout without = LayOutMessageBox(false, 100, 13, 1);
  EXPECT_EQ(without.icon.width, 0);
  EXPECT_EQ(without.text.left, kBoxMargin);
  EXPECT_GT(with.text.left, with.icon.right());
}

TEST(LayOutMessageBox, ABoxIsWideEnoughForItsButtons) {
  MessageBoxLayout l = LayOutMessageBox(false, 10, 13, 4);
  EXPECT_EQ(l.buttons.front().left, kBoxMargin);
  EXPECT_GE(l.clientWidth, 3 * 93 + 73 + 2 * kBoxMargin);
}
