#include "ui/tray_art.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

int Alpha(std::uint32_t p) { return static_cast<int>(p >> 24); }
int Luma(std::uint32_t p) {
  return (299 * static_cast<int>((p >> 16) & 0xFF) + 587 * static_cast<int>((p >> 8) & 0xFF) +
          114 * static_cast<int>(p & 0xFF)) / 1000;
}

}  // namespace

TEST(TrayArt, FillsTheSizeAskedForWithTransparentCorners) {
  for (int size : {16, 20, 24, 32}) {
    for (TrayArt art : {TrayArt::Busy, TrayArt::On, TrayArt::Off}) {
      const auto px = DrawTrayArt(art, 0, size);
      ASSERT_EQ(px.size(), static_cast<std::size_t>(size * size));
      EXPECT_EQ(Alpha(px[0]), 0);
      EXPECT_EQ(Alpha(px[size - 1]), 0);
      EXPECT_EQ(Alpha(px[(size - 1) * size]), 0);
      EXPECT_EQ(Alpha(px[size * size - 1]), 0);
      EXPECT_EQ(Alpha(px[(size / 2) * size + size / 2]), 255) << size;
    }
  }
  EXPECT_TRUE(DrawTrayArt(TrayArt::On, 0, 0).empty());
}

TEST(TrayArt, HasADarkRimAndLightLinesForAnyTaskbar) {
  for (int size : {16, 32}) {
    for (TrayArt art : {TrayArt::Busy, TrayArt::On, TrayArt::Off}) {
      const auto px = DrawTrayArt(art, 2, size);
      int dark = 0, light = 0;
      for (std::uint32_t p : px) {
        if (Alpha(p) < 200) continue;
        if (Luma(p) < 70) ++dark;
        if (Luma(p) > 200) ++light;
      }
      EXPECT_GE(dark, size) << size;   // about a pixel ring around the disc
      EXPECT_GE(light, size / 2) << size;
    }
  }
}

TEST(TrayArt, TheBusyGlobeTurnsFrameByFrameAndComesRound) {
  for (int frame = 0; frame < 7; ++frame)
    EXPECT_NE(DrawTrayArt(TrayArt::Busy, frame, 16), DrawTrayArt(TrayArt::Busy, frame + 1, 16)) << frame;
  EXPECT_EQ(DrawTrayArt(TrayArt::Busy, 7, 16), DrawTrayArt(TrayArt::Busy, 0, 16));
  EXPECT_EQ(DrawTrayArt(TrayArt::Busy, -1, 16), DrawTrayArt(TrayArt::Busy, 6, 16));
}

TEST(TrayArt, OnAndOffLookDifferentFromEachOtherAndFromBusy) {
  const auto on = DrawTrayArt(TrayArt::On, 0, 16);
  const auto off = DrawTrayArt(TrayArt::Off, 0, 16);
  EXPECT_NE(on, off);
  for (int frame = 0; frame < 7; ++frame) {
    EXPECT_NE(on, DrawTrayArt(TrayArt::Busy, frame, 16));
    EXPECT_NE(off, DrawTrayArt(TrayArt::Busy, frame, 16));
  }
  // The on and off images do not move.
  EXPECT_EQ(DrawTrayArt(TrayArt::On, 3, 16), on);
}
