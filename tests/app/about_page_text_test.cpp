#include "app/about_page_text.h"

#include <gtest/gtest.h>

TEST(AboutPage, NamesTheProgramWithItsVersion) {
  EXPECT_EQ(AppNameCaption("1.05"), "Nimvara 1.05");
  EXPECT_EQ(AppNameCaption(""), "Nimvara ");
}

TEST(AboutPage, CentresTheNameRoundingTowardZero) {
  EXPECT_EQ(CentredLeft(370, 100), 135);
  EXPECT_EQ(CentredLeft(370, 101), 134);  // 134.5
  EXPECT_EQ(CentredLeft(100, 100), 0);
  EXPECT_EQ(CentredLeft(100, 103), -1);   // -1.5 toward zero, not down to -2
  EXPECT_EQ(CentredLeft(0, 0), 0);
}

TEST(AboutPage, LinksPointAtTheirSites) {
  const AboutLink site = WebsiteLink("127.0.0.1");
  EXPECT_EQ(site.url, "http://127.0.0.1/");
  EXPECT_EQ(site.caption, site.url);
  const AboutLink contact = ContactUsLink("127.0.0.1");
  EXPECT_EQ(contact.caption, "Contact Us");
  EXPECT_EQ(contact.url, "http://127.0.0.1/contact.php");
  const AboutLink ipCheck = IpCheckLink("127.0.0.4");
  EXPECT_EQ(ipCheck.caption, "SEE my IP - 127.0.0.4");
  EXPECT_EQ(ipCheck.url, "http://127.0.0.4/");
}

TEST(AboutPage, TheMakerIsNamed) { EXPECT_FALSE(std::string(kMakerName).empty()); }
