#include "net/split_url.h"

#include <gtest/gtest.h>

namespace {
struct Split {
  std::string host, path;
};
Split Cut(std::string_view url) {
  Split s{"stale host", "stale path"};
  SplitUrl(url, s.host, s.path);
  return s;
}
}  // namespace

TEST(SplitUrl, HostAndPathOfAPlainUrl) {
  Split s = Cut("http://127.0.0.4/ok.htm");
  EXPECT_EQ(s.host, "127.0.0.4");
  EXPECT_EQ(s.path, "/ok.htm");
  s = Cut("http://dir.example/update-nimvara.php?id=0102&i=a/b");
  EXPECT_EQ(s.host, "dir.example");
  EXPECT_EQ(s.path, "/update-nimvara.php?id=0102&i=a/b");  // query kept whole, unescaped
  s = Cut("http://host/");
  EXPECT_EQ(s.host, "host");
  EXPECT_EQ(s.path, "/");
}

TEST(SplitUrl, SchemeIsRecognisedWhateverItsCase) {
  Split s = Cut("HTTP://127.0.0.4/ok.htm");
  EXPECT_EQ(s.host, "127.0.0.4");
  EXPECT_EQ(s.path, "/ok.htm");
  s = Cut("hTtP://Host/Path");
  EXPECT_EQ(s.host, "Host");
  EXPECT_EQ(s.path, "/Path");
}

TEST(SplitUrl, SecureSchemeIsLeftAlone) {
  const Split s = Cut("https://127.0.0.4/ok.htm");
  EXPECT_EQ(s.host, "https:");
  EXPECT_EQ(s.path, "//127.0.0.4/ok.htm");
}

TEST(SplitUrl, SchemeAnywhereRemovesTheFirstSevenCharacters) {
  // The scheme is assumed at the front: "xx/http" goes, not "http://".
  const Split s = Cut("xx/http://a/b");
  EXPECT_EQ(s.host, ":");
  EXPECT_EQ(s.path, "//a/b");
}

TEST(SplitUrl, PortStaysPartOfTheHost) {
  const Split s = Cut("http://127.0.0.4:8080/ok.htm");
  EXPECT_EQ(s.host, "127.0.0.4:8080");
  EXPECT_EQ(s.path, "/ok.htm");
}

TEST(SplitUrl, NoSlashGivesAnEmptyHost) {
  Split s = Cut("http://127.0.0.4");
  EXPECT_EQ(s.host, "");
  EXPECT_EQ(s.path, "127.0.0.4");
  s = Cut("");
  EXPECT_EQ(s.host, "");
  EXPECT_EQ(s.path, "");
}
