#include "directory/directory_reply.h"

#include <gtest/gtest.h>

#include <random>

#include "directory/catalogue_build.h"
#include "proxy/proxy_address.h"

using namespace std::string_literals;

TEST(ReplyKeys, FollowsTheLineGrammar) {
  const struct {
    std::string reply;
    const char* name;
    const char* value;
  } cases[] = {
      {"B=1\r\nC=2\r\nE=1", "C", "2"},
      {"B=1\rC=3\rE=1", "C", "3"},         // lone CR
      {"B=1\nC=4\nE=1", "C", "4"},         // lone LF
      {"B=1\n\rC=5", "C", "5"},            // LF CR is two breaks
      {"c=6\nC=7", "C", "6"},              // any case, first line wins
      {"C=8\nc=9", "c", "8"},
      {"K=a=b=\n", "K", "a=b="},           // "=" inside the value
      {"=x\nC=1", "", "x"},                // an empty name is a name
      {" C=1", "C", ""},                   // no trimming
      {"C=1\0\nU=2"s, "U", ""},            // NUL ends the text
      {"C=12\0"s, "C", "12"},
      {"NoEquals\nC", "C", ""},
      {"C=", "C", ""},
      {"U=x\r\n", "U", "x"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReplyKeys(c.reply).Value(c.name), c.value) << c.reply << " / " << c.name;
}

TEST(ReplyKeys, FlagsAreSetOnlyByExactlyOne) {
  const struct {
    const char* reply;
    bool set;
  } cases[] = {{"NewVersion=1", true},  {"newversion=1", true}, {"NewVersion=yes", false},
               {"NewVersion=1 ", false}, {"NewVersion=01", false}, {"NewVersion=", false}, {"", false}};
  for (const auto& c : cases) EXPECT_EQ(ReplyKeys(c.reply).IsSet("NewVersion"), c.set) << c.reply;
}

TEST(Unscramble, KeepsBandsAndIsItsOwnInverse) {
  EXPECT_EQ(Unscramble("", "N"), "");
  EXPECT_EQ(Unscramble("abc", ""), "");
  // 'N' is 0x4E: bands 32-63 take 0x0E, 64-127 take 0x0E, 128-255 take 0x4E.
  EXPECT_EQ(Unscramble("1", "N"), "?");  // 0x31 ^ 0x0E
  EXPECT_EQ(Unscramble("a", "N"), "o");  // 0x61 ^ 0x0E
  EXPECT_EQ(Unscramble("\x80", "N"), "\xCE");
  EXPECT_EQ(Unscramble("\x01\x1f", "N"), "\x01\x1f");  // control characters stay
  EXPECT_EQ(Unscramble("aa", "AB"), "`c");              // the key repeats by position
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  for (const char* key : {"N", "\x7f", "\xff", "Zq9"}) {
    const std::string once = Unscramble(all, key);
    EXPECT_EQ(Unscramble(once, key), all) << key;
    for (int c = 0; c < 256; ++c) {
      const int band = c < 32 ? 0 : c < 64 ? 1 : c < 128 ? 2 : 3;
      const int u = static_cast<unsigned char>(once[c]);
      EXPECT_EQ(band, u < 32 ? 0 : u < 64 ? 1 : u < 128 ? 2 : 3) << c;
    }
  }
}

TEST(HalfReverse, ReversesTheFirstHalf) {
  const struct {
    const char* text;
    const char* result;
  } cases[] = {{"abcdef", "cbadef"}, {"abcde", "bacde"}, {"ab", "ab"}, {"a", "a"}, {"", ""},
               {"abcd", "bacd"}};
  for (const auto& c : cases) {
    EXPECT_EQ(HalfReverse(c.text), c.result) << c.text;
    EXPECT_EQ(HalfReverse(HalfReverse(c.text)), c.text);
  }
}

namespace {

const std::string kKey = "N";
std::string S(const std::string& text) { return Unscramble(text, kKey); }

// A reply as the directory writes it, with extra lines after the shared values.
std::string Reply(const std::string& count, const std::string& lines) {
  return "B=1\r\nC=" + count + "\r\nP=" + S("8080") + "\r\nU=" + S("user") + "\r\nK=" + HalfReverse("secret") +
         "\r\n" + lines + "E=1\r\n";
}

struct Row {
  int number, country;
  std::string address;
  bool operator==(const Row&) const = default;
};

// Entries first..last, each with the value `value`.
std::string Entries(int first, int last, const std::string& value) {
  std::string lines;
  for (int n = first; n <= last; ++n) lines += std::to_string(n) + "=" + value + "\r\n";
  return lines;
}
std::vector<Row> GoodRows(int first, int last, const std::string& address) {
  std::vector<Row> rows;
  for (int n = first; n <= last; ++n) rows.push_back({n, 1, address});
  return rows;
}
std::vector<std::string> Notes(int first, int last, const std::string& why, const std::string& total) {
  std::vector<std::string> notes;
  for (int n = first; n <= last; ++n) notes.push_back("Catalogue entry #" + std::to_string(n) + " skipped: " + why);
  if (!total.empty()) notes.push_back("Catalogue entries skipped in all: " + total);
  return notes;
}

std::vector<Row> Rows(const CatalogueBuild& b) {
  std::vector<Row> rows;
  for (const TServer& s : b.Servers) {
    EXPECT_EQ(s.Caption, EntryCaption(s.Number));
    EXPECT_FALSE(s.IsCountryRow);
    rows.push_back({s.Number, s.Country, s.Address});
  }
  return rows;
}

}  // namespace

TEST(BuildCatalogue, KeepsGoodEntriesAndSkipsBadOnes) {
  const struct {
    const char* name;
    std::string reply;
    std::vector<Row> rows;
    std::vector<std::string> notes;
  } cases[] = {
      {"two good entries", Reply("2", "1=1" + S("10.0.0.1") + "\r\n2=2" + S("proxy.example") + "\r\n"),
       {{1, 1, "10.0.0.1"}, {2, 2, "proxy.example"}}, {}},
      {"lower-case c and keys in any order", "c=2\n2=0" + S("b") + "\nP=" + S("1") + "\n1=3" + S("a"),
       {{1, 3, "a"}, {2, 0, "b"}}, {}},
      {"no count", Reply("", "1=1" + S("a") + "\r\n"), {}, {}},
      {"count zero", Reply("0", "1=1" + S("a") + "\r\n"), {}, {}},
      {"entries beyond the count are ignored", Reply("1", "1=1" + S("a") + "\r\n2=1" + S("b") + "\r\n"),
       {{1, 1, "a"}}, {}},
      {"empty, digitless and hostile entries skipped, numbers kept",
       Reply("6", "1=\r\n2=x" + S("a") + "\r\n3=1" + S("a;b") + "\r\n4=1" + S("a\"b") + "\r\n5=1\r\n6=2" +
                      S("ok") + "\r\n"),
       {{6, 2, "ok"}},
       {"Catalogue entry #1 skipped: empty", "Catalogue entry #2 skipped: no country digit",
        "Catalogue entry #3 skipped: not a host address", "Catalogue entry #4 skipped: not a host address",
        "Catalogue entry #5 skipped: not a host address"}},
      {"ten skipped entries are named, no total", Reply("10", Entries(1, 10, "")), {},
       Notes(1, 10, "empty", "")},
      {"100 000 bad entries make eleven notes",
       Reply("100001", Entries(1, 100000, "1" + S("a;b")) + "100001=1" + S("a") + "\r\n"), {{100001, 1, "a"}},
       Notes(1, 10, "not a host address", "100000")},
      {"at most 10 000 entries, the rest skipped", Reply("10002", Entries(1, 10002, "1" + S("a"))),
       GoodRows(1, 10000, "a"), Notes(10001, 10002, "the catalogue is full", "")},
      {"a missing entry is noted", Reply("3", "1=1" + S("a") + "\r\n3=1" + S("c") + "\r\n"),
       {{1, 1, "a"}, {3, 1, "c"}}, {"Catalogue entries missing: 1"}},
      {"a huge count costs nothing", Reply("2000000000", "1=1" + S("a") + "\r\n2=1" + S("b") + "\r\n"),
       {{1, 1, "a"}, {2, 1, "b"}}, {"Catalogue entries missing: 1999999998"}},
      {"a count beyond 64 bits is a huge count", Reply("99999999999999999999999", "7=1" + S("a") + "\r\n"),
       {{7, 1, "a"}}, {"Catalogue entries missing: 922337203685477579"}},
      {"keys with leading zeros are not entries", Reply("1", "01=1" + S("a") + "\r\n"), {},
       {"Catalogue entries missing: 1"}},
      {"count not a number", Reply("2x", "1=1" + S("a") + "\r\n"), {},
       {"Catalogue refused: the server count is not a number"}},
      {"negative count", Reply("-1", "1=1" + S("a") + "\r\n"), {},
       {"Catalogue refused: the server count is not a number"}},
      {"port out of range", "C=1\nP=" + S("65536") + "\n1=1" + S("a"), {},
       {"Catalogue refused: the proxy port is not 1 to 65535"}},
      {"port missing", "C=1\n1=1" + S("a"), {}, {"Catalogue refused: the proxy port is not 1 to 65535"}},
  };
  for (const auto& c : cases) {
    const CatalogueBuild b = BuildCatalogue(ReplyKeys(c.reply), kKey);
    EXPECT_EQ(Rows(b), c.rows) << c.name;
    EXPECT_EQ(b.Notes, c.notes) << c.name;
  }
  const CatalogueBuild good = BuildCatalogue(ReplyKeys(Reply("1", "1=1" + S("a") + "\r\n")), kKey);
  EXPECT_EQ(good.ProxyPort, "8080");
  EXPECT_EQ(good.ProxyUser, "user");
  EXPECT_EQ(good.ProxyPassword, "secret");
}

TEST(ServiceNotices, InTheirOrderAndOnlyWhenSet) {
  EXPECT_EQ(ServiceNotices(ReplyKeys("ServiceNotAvailable-2=1\nservicenotavailable-1=1")),
            (std::vector<std::string>{"Service #1 NOT available! Please contact us at once!",
                                      "Service #2 NOT available! Please contact us at once!"}));
  EXPECT_TRUE(ServiceNotices(ReplyKeys("ServiceNotAvailable-1=yes\nServiceNotAvailable-3=1")).empty());
  EXPECT_EQ(NewVersionNotice("1.05"), "New version of Nimvara is needed! Your current version is: 1.05");
}

// Random replies built from the grammar's pieces, then with a few bytes
// changed: nothing may crash or trip a sanitizer, and every kept entry must
// pass the host check.
TEST(BuildCatalogue, RandomRepliesKeepOnlyCheckedHosts) {
  std::mt19937 random(20261208);
  const auto pick = [&](const auto& list) { return list[std::uniform_int_distribution<std::size_t>(0, std::size(list) - 1)(random)]; };
  const std::string names[] = {"C", "c", "P", "U", "K", "1", "2", "3", "01", "2000000000", "B", "E", ""};
  const std::string values[] = {"1", "2", "0", "-1", "2000000000", "99999999999999999999", S("8080"), S("0"),
                                "1" + S("10.0.0.1"), "2" + S("a.b-c"), "1" + S("a b"), "1" + S("x:1"), "x" + S("a"),
                                "1", "", "\xff\x80", "=="};
  const std::string breaks[] = {"\r\n", "\r", "\n", "\n\r", std::string(1, '\0')};
  std::size_t kept = 0;
  for (int run = 0; run < 10000; ++run) {
    // Half the replies start with a usable count and port, so entries get checked.
    std::string reply = run % 2 ? "" : "C=3\nP=" + S("8080") + "\n";
    const int lines = std::uniform_int_distribution<int>(0, 12)(random);
    for (int i = 0; i < lines; ++i) reply += pick(names) + "=" + pick(values) + pick(breaks);
    const int flips = reply.empty() ? 0 : std::uniform_int_distribution<int>(0, 3)(random);
    for (int i = 0; i < flips; ++i)
      reply[std::uniform_int_distribution<std::size_t>(0, reply.size() - 1)(random)] =
          static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random));
    const CatalogueBuild b = BuildCatalogue(ReplyKeys(reply), kKey);
    for (const TServer& server : b.Servers) ASSERT_TRUE(IsValidProxyHost(server.Address)) << reply;
    if (!b.Servers.empty()) {
      ASSERT_TRUE(IsValidProxyPort(b.ProxyPort)) << reply;
    }
    kept += b.Servers.size();
  }
  EXPECT_GT(kept, 100u);  // the pieces do make catalogues, so the checks above ran
}
