#include "net/read_sizing.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The sizes asked for, read after read, when the reads take these times.
std::vector<std::uint32_t> Sizes(const std::vector<double>& tookMs) {
  std::vector<std::uint32_t> sizes{kFirstReadSize};
  for (double took : tookMs) sizes.push_back(NextReadSize(sizes.back(), took));
  return sizes;
}

constexpr std::uint32_t K = 1024;

}  // namespace

TEST(ReadSizing, ReadsFollowTheRateSoThatNoneHoldsTheProgressBack) {
  struct {
    const char* name;
    std::vector<double> tookMs;
    std::vector<std::uint32_t> sizes;
  } const cases[] = {
      {"loopback: up to the largest read and no further", {0.1, 0.2, 0.4, 0.8, 1, 1},
       {64 * K, 128 * K, 256 * K, 512 * K, 1024 * K, 1024 * K, 1024 * K}},
      {"a read within the interval keeps its size", {20, 33}, {64 * K, 64 * K, 64 * K}},
      // 64 KiB in 66 ms: 32 KiB arrive per interval.
      {"a slow read shrinks to what arrives in one interval", {66}, {64 * K, 32 * K}},
      // After a burst the line slows to a trickle: the next read is the smallest at once.
      {"a fast line turns slow", {1, 1, 1, 1, 10000}, {64 * K, 128 * K, 256 * K, 512 * K, 1024 * K, 8 * K}},
      {"and recovers", {10000, 1, 1}, {64 * K, 8 * K, 16 * K, 32 * K}},
  };
  for (const auto& c : cases) EXPECT_EQ(Sizes(c.tookMs), c.sizes) << c.name;
}
