#include "directory/directory_request.h"

#include <gtest/gtest.h>

#include <vector>

#include "directory/silent_update.h"

TEST(VersionDigits, TakesTheLeadingDigitsAndDots) {
  const struct {
    const char* text;
    const char* digits;
  } cases[] = {{"1.05", "1.05"}, {"1.05 beta", "1.05"}, {"2.1.3b7", "2.1.3"}, {".5x", ".5"},
               {"v1.05", ""},    {"", ""},              {"12", "12"},         {"1,05", "1"}};
  for (const auto& c : cases) EXPECT_EQ(VersionDigits(c.text), c.digits) << c.text;
}

TEST(UpdateVerify, WantsBothMarkersAnywhere) {
  const struct {
    const char* reply;
    bool accepted;
  } cases[] = {
      {"B=1\r\nC=0\r\nE=1\r\n", true},
      {"E=1\nB=1", true},             // order does not matter
      {"XB=10\nKE=123", true},        // markers inside longer tokens count
      {"B=1\r\nC=2\r\n1=1abc", false},  // cut off before the end marker
      {"E=1", false},
      {"b=1\ne=1", false},            // case matters
      {"B = 1\nE=1", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(UpdateVerify(c.reply), c.accepted) << c.reply;
}

TEST(DirectoryRequestUrl, JoinsThePiecesInOrder) {
  const DirectoryQuery query{"123456789012345678901234", "1.0577", 1033};
  EXPECT_EQ(DirectoryRequestUrl("http://127.0.0.2", query, 1),
            "http://127.0.0.2/update-nimvara.php?id=123456789012345678901234&productid=4&version=1.0577"
            "&language=1033&i=1");
  EXPECT_EQ(DirectoryRequestUrl("http://h", DirectoryQuery{"9", "1.0577", 65535}, 2),
            "http://h/update-nimvara.php?id=9&productid=4&version=1.0577&language=65535&i=2");
}

namespace {

// One run against scripted servers: each attempt either fails or returns a body.
struct Scripted {
  std::vector<std::pair<bool, std::string>> answers;  // per attempt
  bool unblockTakesOver = false;
  std::size_t closedDuringFetch = 0;  // 1-based; 0: never
  std::uint64_t highestSerial = 0;
  std::vector<std::string> events;
  std::vector<std::string> urls;

  std::string Run() {
    SilentUpdateHooks hooks;
    hooks.report = [this](const std::string& s) { events.push_back(s); };
    hooks.installId = [this] {
      events.push_back("<id>");
      return std::string("555");
    };
    hooks.language = [] { return 1031u; };
    hooks.statusBusy = [this](const std::string& s) { events.push_back("busy: " + s); };
    hooks.statusOff = [this](const std::string& s) { events.push_back("off: " + s); };
    hooks.directAccess = [this] { events.push_back("<direct>"); };
    hooks.fetch = [this](const std::string& url, std::string& body) {
      urls.push_back(url);
      const auto& a = answers.at(urls.size() - 1);
      body = a.second;
      return a.first;
    };
    // A refused signature's place in the run is the end-to-end test's, with the real check.
    hooks.signedByVendor = [](const std::string&) { return true; };
    hooks.now = [] { return std::int64_t{1800000000}; };
    hooks.highestSerial = [this] { return highestSerial; };
    hooks.keepSerial = [this](std::uint64_t serial) {
      events.push_back("<keep " + std::to_string(serial) + ">");
      highestSerial = serial;
    };
    hooks.stopped = [this] { return closedDuringFetch != 0 && urls.size() >= closedDuringFetch; };
    hooks.showUnblock = [this] {
      events.push_back("<unblock>");
      return unblockTakesOver;
    };
    hooks.disableUmbrix = [this] { events.push_back("<umbrix off>"); };
    return RunSilentUpdate({"http://a", "http://b", "http://c"}, "1.05", hooks);
  }
};

// Marked as the vendor marks a current reply.
const std::string kFresh = "B=1\nSerial=5\nExpires=1800000100\nE=1";

const std::vector<std::string> kPrologue = {"Init settings...", "<id>", "Done", "SilentUpdate...",
                                            "busy: SilentUpdate. Please wait...", "<direct>"};

std::vector<std::string> WithPrologue(std::vector<std::string> tail) {
  std::vector<std::string> all = kPrologue;
  all.insert(all.end(), tail.begin(), tail.end());
  return all;
}

}  // namespace

TEST(RunSilentUpdate, LogsEveryAttemptAndStopsAtTheFirstAcceptedReply) {
  const struct {
    const char* name;
    std::vector<std::pair<bool, std::string>> answers;
    bool unblockTakesOver;
    std::vector<std::string> tail;
    std::string reply;
    std::size_t closedDuringFetch = 0;
  } cases[] = {
      {"first server cut off, second good",
       {{true, "B=1\nC=0"}, {true, kFresh}},
       false,
       {"SilentUpdate-0 ...", "SilentUpdate-0 OK", "UpdateVerify-0 Failed", "busy: Try SilentUpdate-1 ...",
        "SilentUpdate-1 ...", "SilentUpdate-1 OK", "<keep 5>", "UpdateVerify-1 OK"},
       kFresh},
      {"first unreachable, second good",
       {{false, ""}, {true, kFresh}},
       false,
       {"SilentUpdate-0 ...", "SilentUpdate-0 Failed", "busy: Try SilentUpdate-1 ...", "SilentUpdate-1 ...",
        "SilentUpdate-1 OK", "<keep 5>", "UpdateVerify-1 OK"},
       kFresh},
      {"a replayed, an expired and an unmarked reply: each a failed attempt",
       {{true, "B=1\nSerial=3\nExpires=1800000100\nE=1"}, {true, "B=1\nSerial=6\nExpires=1700000000\nE=1"},
        {true, "B=1\nE=1"}},
       false,
       {"SilentUpdate-0 ...", "SilentUpdate-0 OK", "Reply older than one already read", "UpdateVerify-0 Failed",
        "busy: Try SilentUpdate-1 ...", "SilentUpdate-1 ...", "SilentUpdate-1 OK", "Reply expired",
        "UpdateVerify-1 Failed", "busy: Try SilentUpdate-2 ...", "SilentUpdate-2 ...", "SilentUpdate-2 OK",
        "Reply has no serial or expiry", "UpdateVerify-2 Failed", "SilentUpdate Failed!", "Please unblock Nimvara",
        "<unblock>", "off: SilentUpdate Failed!", "<umbrix off>"},
       ""},
      {"the serial read before is read again, and not kept anew",
       {{true, "B=1\nSerial=4\nExpires=1800000100\nE=1"}},
       false,
       {"SilentUpdate-0 ...", "SilentUpdate-0 OK", "UpdateVerify-0 OK"},
       "B=1\nSerial=4\nExpires=1800000100\nE=1"},
      {"all three fail",
       {{false, ""}, {true, "<html>"}, {false, ""}},
       false,
       {"SilentUpdate-0 ...", "SilentUpdate-0 Failed", "busy: Try SilentUpdate-1 ...", "SilentUpdate-1 ...",
        "SilentUpdate-1 OK", "UpdateVerify-1 Failed", "busy: Try SilentUpdate-2 ...", "SilentUpdate-2 ...",
        "SilentUpdate-2 Failed", "SilentUpdate Failed!", "Please unblock Nimvara", "<unblock>",
        "off: SilentUpdate Failed!", "<umbrix off>"},
       ""},
      {"all fail, a Reconnect got a reply",
       {{false, ""}, {false, ""}, {false, ""}},
       true,
       {"SilentUpdate-0 ...", "SilentUpdate-0 Failed", "busy: Try SilentUpdate-1 ...", "SilentUpdate-1 ...",
        "SilentUpdate-1 Failed", "busy: Try SilentUpdate-2 ...", "SilentUpdate-2 ...", "SilentUpdate-2 Failed",
        "SilentUpdate Failed!", "Please unblock Nimvara", "<unblock>"},
       ""},
      {"the program closes during the second fetch: nothing more, not even its result",
       {{false, ""}, {true, kFresh}},
       false,
       {"SilentUpdate-0 ...", "SilentUpdate-0 Failed", "busy: Try SilentUpdate-1 ...", "SilentUpdate-1 ..."},
       "",
       2},
  };
  for (const auto& c : cases) {
    Scripted run{c.answers, c.unblockTakesOver, c.closedDuringFetch, 4, {}, {}};
    EXPECT_EQ(run.Run(), c.reply) << c.name;
    EXPECT_EQ(run.events, WithPrologue(c.tail)) << c.name;
    for (std::size_t k = 0; k < run.urls.size(); ++k)
      EXPECT_EQ(run.urls[k], std::string("http://") + "abc"[k] +
                                 "/update-nimvara.php?id=555&productid=4&version=1.0577&language=1031&i=" +
                                 std::to_string(k))
          << c.name;
  }
}
