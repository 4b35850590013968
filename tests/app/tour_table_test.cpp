#include "app/tour_table.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string PathFor(const std::string& browser) { return TourFor(browser).pagePath; }
}  // namespace

TEST(TourTable, PicksTheRowOfTheDefaultBrowserIgnoringCase) {
  EXPECT_EQ(PathFor("C:\\PROGRA~1\\MOZILL~1\\FIREFOX.EXE -url %1"), "/umbrix-with-firefox.htm");
  EXPECT_EQ(PathFor("\"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE\" -nohome"),
            "/umbrix-with-internet-explorer.htm");
  EXPECT_EQ(PathFor("\"C:\\Program Files\\Opera\\Opera.exe\" \"%1\""), "/umbrix-with-opera.htm");
  EXPECT_EQ(PathFor("\"C:\\Chrome\\chrome.exe\" -- \"%1\""), "/umbrix-with-other-browser.htm");
}

TEST(TourTable, TakesTheFirstMatchingRow) {
  EXPECT_EQ(PathFor("iexplore.exe --via firefox"), "/umbrix-with-firefox.htm");
  EXPECT_EQ(PathFor("opera iexplore"), "/umbrix-with-internet-explorer.htm");
  // Anywhere in the text, not only as the program's name.
  EXPECT_EQ(PathFor("C:\\tools\\launch.exe --profile=firefoxish"), "/umbrix-with-firefox.htm");
}

TEST(TourTable, AnEmptyOrUnknownBrowserGetsTheOtherBrowserNotice) {
  const TourRow& row = TourFor("");
  EXPECT_STREQ(row.pagePath, "/umbrix-with-other-browser.htm");
  EXPECT_STREQ(row.notice,
               "Nimvara detected you default browser is other browser. We'll show you how to use Nimvara with "
               "other browser.");
  EXPECT_STREQ(TourFor("fire fox").pagePath, "/umbrix-with-other-browser.htm");
}

TEST(TourTable, NoticesNameTheBrowser) {
  EXPECT_STREQ(TourFor("firefox").notice,
               "Nimvara detected you default browser is Firefox. We'll show you how to use Nimvara with Firefox.");
  EXPECT_STREQ(TourFor("IEXPLORE").notice,
               "Nimvara detected you default browser is Internet Explorer. We'll show you how to use Nimvara "
               "with Internet Explorer.");
  EXPECT_STREQ(TourFor("OPERA").notice,
               "Nimvara detected you default browser is Opera. We'll show you how to use Nimvara with Opera.");
}

TEST(TourTable, OnlyAsciiLettersAreFolded) {
  // 0xC6 is not an upper-case "f" in any code page the program meets.
  EXPECT_STREQ(TourFor("\xC6IREFOX").pagePath, "/umbrix-with-other-browser.htm");
}

TEST(VendorPageUrl, JoinsHostAndPath) {
  EXPECT_EQ(VendorPageUrl("127.0.0.1", "/umbrix-with-opera.htm"), "http://127.0.0.1/umbrix-with-opera.htm");
  EXPECT_EQ(VendorPageUrl("www.example.test", "/contact.php"), "http://www.example.test/contact.php");
}
