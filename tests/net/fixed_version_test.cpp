#include "net/fixed_version.h"

#include <gtest/gtest.h>

namespace {

FixedVersion V(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) { return {a << 16 | b, c << 16 | d}; }

TEST(FixedVersion, OnlyANewerInstallerMayRun) {
  const FixedVersion running = V(1, 0, 5, 0);
  const struct {
    FixedVersion offered;
    bool newer;
  } cases[] = {
      {V(1, 0, 5, 0), false},     {V(1, 0, 4, 65535), false}, {V(0, 99, 0, 0), false}, {V(0, 0, 0, 0), false},
      {V(1, 0, 5, 1), true},      {V(1, 0, 6, 0), true},      {V(1, 1, 0, 0), true},   {V(2, 0, 0, 0), true},
      {V(0, 65535, 65535, 65535), false},  // every lower number at its largest
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsNewerVersion(c.offered, running), c.newer) << FixedVersionText(c.offered);
  EXPECT_EQ(FixedVersionText(V(1, 0, 5, 0)), "1.0.5.0");
  EXPECT_EQ(FixedVersionText(V(65535, 2, 3, 65535)), "65535.2.3.65535");
}

}  // namespace
