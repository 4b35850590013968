#include "directory/server_list.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// Entries 1..n of the given countries, as the reply makes them.
std::vector<TServer> CatalogueOf(const std::vector<int>& countries) {
  std::vector<TServer> servers;
  for (std::size_t i = 0; i < countries.size(); ++i) {
    const int n = static_cast<int>(i) + 1;
    servers.push_back({"#" + std::to_string(n) + " IP Address Series", "127.0.0." + std::to_string(9 + n),
                       countries[i], n, false});
  }
  return servers;
}

std::vector<std::string> Texts(const std::vector<ServerListRow>& rows) {
  std::vector<std::string> texts;
  for (const ServerListRow& row : rows) texts.push_back(row.Text);
  return texts;
}

}  // namespace

TEST(ServerListRows, HeadingsOpenEveryRunOfOneCountry) {
  const struct {
    std::vector<int> countries;
    std::vector<std::string> texts;
  } cases[] = {
      {{1, 1, 2, 2, 2},
       {"United States", "  #1 IP Address Series", "  #2 IP Address Series", "United Kingdom",
        "  #3 IP Address Series", "  #4 IP Address Series", "  #5 IP Address Series"}},
      {{1, 2, 1},
       {"United States", "  #1 IP Address Series", "United Kingdom", "  #2 IP Address Series", "United States",
        "  #3 IP Address Series"}},
      {{0, 3}, {"Unknown", "  #1 IP Address Series", "Unknown", "  #2 IP Address Series"}},
      {{}, {}},
  };
  for (const auto& c : cases) {
    const std::vector<TServer> servers = CatalogueOf(c.countries);
    EXPECT_EQ(Texts(ServerListRows(servers)), c.texts) << c.countries.size() << " entries";
  }
}

TEST(ServerListRows, HeadingsAreMadeForTheRowEntriesAreTheCataloguesOwn) {
  const std::vector<TServer> servers = CatalogueOf({1, 1, 2, 2, 2});
  const std::vector<ServerListRow> rows = ServerListRows(servers);
  ASSERT_EQ(rows.size(), 7u);
  const std::array<int, 7> entryOfRow{-1, 0, 1, -1, 2, 3, 4};
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const TServer& object = rows[r].Object();
    if (entryOfRow[r] < 0) {
      EXPECT_EQ(rows[r].Entry, nullptr);
      EXPECT_TRUE(object.IsCountryRow);
      EXPECT_EQ(object.Country, r == 0 ? 1 : 2);
      EXPECT_EQ(object.Number, 0);
      EXPECT_EQ(object.Caption, "");
      EXPECT_EQ(object.Address, "");
    } else {
      EXPECT_EQ(&object, &servers[entryOfRow[r]]) << "row " << r;
    }
  }
}

TEST(ServerLabel, CountryNameThenTheWholeNumber) {
  std::vector<TServer> servers = CatalogueOf({1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2});
  EXPECT_EQ(ServerLabel(servers[2]), "United States #3");
  EXPECT_EQ(ServerLabel(servers[11]), "United Kingdom #12");
  servers[0].Country = 7;
  EXPECT_EQ(ServerLabel(servers[0]), "Unknown #1");
}

TEST(FirstCountryRun, OnlyTheFirstRunOfTheCountry) {
  const struct {
    std::vector<int> countries;
    int country;
    std::optional<CountryRun> run;
  } cases[] = {
      {{1, 1, 2, 2, 2}, 2, CountryRun{2, 4}},
      {{1, 1, 2, 2, 2}, 1, CountryRun{0, 1}},
      {{1, 2, 1}, 1, CountryRun{0, 0}},  // entry 3 is never picked
      {{2, 1, 1, 2, 1}, 1, CountryRun{1, 2}},
      {{1, 2, 2}, 2, CountryRun{1, 2}},  // the run ends with the catalogue
      {{1, 1, 2, 2, 2}, 3, std::nullopt},
      {{1, 1, 2, 2, 2}, 0, std::nullopt},
      {{}, 1, std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FirstCountryRun(CatalogueOf(c.countries), c.country), c.run)
        << "country " << c.country << " of " << c.countries.size() << " entries";
}

TEST(DrawInRun, EveryPositionOfTheRunAlikeAndNothingOutside) {
  const CountryRun run{2, 4};
  std::array<int, 3> counts{};
  constexpr int kDraws = 3000;
  for (std::uint64_t seed = 0; seed < kDraws; ++seed) {
    const std::size_t at = DrawInRun(run, seed * 7919);
    ASSERT_GE(at, run.First);
    ASSERT_LE(at, run.Last);
    ++counts[at - run.First];
  }
  for (int count : counts) {
    EXPECT_GT(count, kDraws / 3 - 150);
    EXPECT_LT(count, kDraws / 3 + 150);
  }
  EXPECT_EQ(DrawInRun(CountryRun{5, 5}, 12345), 5u);
}
