#include "host/install_id_choice.h"

#include <gtest/gtest.h>

#include <cctype>

#include "host/md5.h"

namespace {

// A "Pass" value in memory that counts how it is used.
class FakePass : public PassStore {
 public:
  explicit FakePass(std::string value = {}) : value(std::move(value)) {}
  std::string Read() override {
    ++reads;
    return value;
  }
  void Write(const std::string& digest) override {
    ++writes;
    value = digest;
  }
  std::string value;
  int reads = 0;
  int writes = 0;
};

const std::string kMacA = "00-1A-2B-3C-4D-5E";
const std::string kMacB = "02-FC-00-00-00-01";
const std::string kMacC = "AA-BB-CC-DD-EE-FF";
const std::string kDigitsA = "000001100211031204130514";
const std::string kDigitsB = "000215120000000000000001";
const std::string kDigitsC = "101011111212131314141515";

}  // namespace

TEST(InstallIdChoice, NoEthernetRowGivesTheNinesAndLeavesPassAlone) {
  FakePass pass(MD5Hex(kMacA));
  EXPECT_EQ(InstallIdFrom({}, {kMacA, kMacB}, pass), "999999999999999999999999");
  EXPECT_EQ(pass.reads, 0);
  EXPECT_EQ(pass.writes, 0);
  EXPECT_EQ(pass.value, MD5Hex(kMacA));
}

TEST(InstallIdChoice, EmptyPassPinsTheLastAdapterOfTheSecondList) {
  FakePass pass;
  // The interface table lists the adapters in another order: the second list decides.
  EXPECT_EQ(InstallIdFrom({kMacB, kMacC, kMacA}, {kMacA, kMacC, kMacB}, pass), kDigitsB);
  EXPECT_EQ(pass.writes, 1);
  EXPECT_EQ(pass.value, MD5Hex(kMacB));
  EXPECT_EQ(pass.value.size(), 32u);
}

TEST(InstallIdChoice, PinnedAdapterStillPresentIsKeptWithoutWriting) {
  FakePass pass(MD5Hex(kMacA));
  EXPECT_EQ(InstallIdFrom({kMacC, kMacA, kMacB}, {kMacC, kMacB}, pass), kDigitsA);
  EXPECT_EQ(pass.reads, 1);
  EXPECT_EQ(pass.writes, 0);
  // Present only in the second list does not count: the interface table decides.
  FakePass gone(MD5Hex(kMacA));
  EXPECT_EQ(InstallIdFrom({kMacC}, {kMacA, kMacB}, gone), kDigitsB);
  EXPECT_EQ(gone.value, MD5Hex(kMacB));
}

TEST(InstallIdChoice, PassIsComparedExactly) {
  std::string lower = MD5Hex(kMacA);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  FakePass pass(lower);
  EXPECT_EQ(InstallIdFrom({kMacA}, {kMacC}, pass), kDigitsC);
  EXPECT_EQ(pass.writes, 1);
  EXPECT_EQ(pass.value, MD5Hex(kMacC));
  // The digest of the lower-case text is not the digest of the adapter's text.
  FakePass spelledLower(MD5Hex("00-1a-2b-3c-4d-5e"));
  EXPECT_EQ(InstallIdFrom({kMacA}, {kMacC}, spelledLower), kDigitsC);
}

TEST(InstallIdChoice, PinnedAddressAppearingTwiceMatches) {
  FakePass pass(MD5Hex(kMacA));
  EXPECT_EQ(InstallIdFrom({kMacA, kMacB, kMacA}, {kMacC}, pass), kDigitsA);
  EXPECT_EQ(pass.writes, 0);
}

TEST(InstallIdChoice, EmptySecondListFallsBackToTheLastInterface) {
  FakePass pass;
  EXPECT_EQ(InstallIdFrom({kMacA, kMacC}, {}, pass), kDigitsC);
  EXPECT_EQ(pass.value, MD5Hex(kMacC));
  // Next run, same machine: the pin holds, nothing is rewritten.
  EXPECT_EQ(InstallIdFrom({kMacA, kMacC}, {}, pass), kDigitsC);
  EXPECT_EQ(pass.writes, 1);
}

TEST(InstallIdChoice, RepinsWhenThePinnedAdapterIsGone) {
  FakePass pass;
  EXPECT_EQ(InstallIdFrom({kMacA, kMacB}, {kMacA, kMacB}, pass), kDigitsB);
  EXPECT_EQ(InstallIdFrom({kMacA, kMacC}, {kMacC, kMacA}, pass), kDigitsA);
  EXPECT_EQ(pass.value, MD5Hex(kMacA));
  EXPECT_EQ(pass.writes, 2);
}

TEST(InstallIdChoice, AnAddressWithoutDigitsGivesTheNines) {
  // A lower-case text has no digit that survives when it holds only letters.
  FakePass pass;
  EXPECT_EQ(InstallIdFrom({"aa-bb"}, {"aa-bb"}, pass), "999999999999999999999999");
  EXPECT_EQ(pass.value, MD5Hex("aa-bb"));
}
