#include "ui/tray_art.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFrames = 7;
constexpr int kSubsamples = 4;  // per axis, for smooth edges at 16 pixels
constexpr double kPi = 3.14159265358979323846;

struct Rgb {
  double r, g, b;
};

struct Palette {
  Rgb rim, fill;
};

Palette PaletteFor(TrayArt art) {
  switch (art) {
    case TrayArt::On: return {{14, 58, 23}, {46, 158, 68}};
    case TrayArt::Off: return {{40, 40, 40}, {138, 138, 138}};
    case TrayArt::Busy: break;
  }
  return {{11, 36, 71}, {43, 108, 196}};
}

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{211, 47, 47};

struct Sample {
  Rgb colour;
  bool covered;
};

struct Geometry {
  double radius;       // of the disc, in units of half the icon
  double rim;          // width of the dark rim
  double line;         // half-width of the white lines
  double meridian[2];  // where the two front meridians cross the equator (signed)
};

Sample SampleAt(TrayArt art, const Geometry& g, const Palette& p, double u, double v) {
  const double r = std::sqrt(u * u + v * v);
  if (r > g.radius) return {{0, 0, 0}, false};
  if (r > g.radius - g.rim) return {p.rim, true};
  const double inner = g.radius - g.rim;
  if (art == TrayArt::Off && std::fabs(u - v) / std::sqrt(2.0) < g.line * 1.7) return {kRed, true};
  if (std::fabs(v) < g.line) return {kWhite, true};  // the equator
  const double height = std::sqrt(std::max(0.0, 1.0 - (v * v) / (inner * inner)));
  for (double a : g.meridian)
    if (std::fabs(u - a * height) < g.line) return {kWhite, true};
  return {p.fill, true};
}

Geometry GeometryFor(TrayArt art, int frame, int size) {
  const double half = size / 2.0;
  Geometry g{};
  g.radius = 1.0 - 0.4 / half;  // leave a hair of transparent margin
  g.rim = std::max(1.0, size / 16.0) / half;
  g.line = std::max(0.55, size / 22.0) / half;
  // Meridians every quarter turn, only the front ones drawn, so the globe turns
  // one way. The busy globe turns a quarter turn over the seven frames: the last
  // frame leads smoothly into the first.
  const double turn = art == TrayArt::Busy ? (kPi / 2.0) * ((frame % kFrames + kFrames) % kFrames) / kFrames
                                           : kPi / 6.0;
  const double inner = g.radius - g.rim;
  g.meridian[0] = inner * std::sin(turn);
  g.meridian[1] = -inner * std::cos(turn);
  return g;
}

std::uint8_t Channel(double value) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 255.0)));
}

}  // namespace

std::vector<std::uint32_t> DrawTrayArt(TrayArt art, int frame, int size) {
  if (size <= 0) return {};
  const Geometry g = GeometryFor(art, frame, size);
  const Palette palette = PaletteFor(art);
  const double half = size / 2.0;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size, 0);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      Rgb sum{0, 0, 0};
      int covered = 0;
      for (int sy = 0; sy < kSubsamples; ++sy) {
        for (int sx = 0; sx < kSubsamples; ++sx) {
          const double u = (x + (sx + 0.5) / kSubsamples - half) / half;
          const double v = (y + (sy + 0.5) / kSubsamples - half) / half;
          const Sample s = SampleAt(art, g, palette, u, v);
          if (!s.covered) continue;
          ++covered;
          sum.r += s.colour.r;
          sum.g += s.colour.g;
          sum.b += s.colour.b;
        }
      }
      if (covered == 0) continue;
      const double alpha = 255.0 * covered / (kSubsamples * kSubsamples);
      pixels[static_cast<std::size_t>(y) * size + x] =
          (std::uint32_t{Channel(alpha)} << 24) | (std::uint32_t{Channel(sum.r / covered)} << 16) |
          (std::uint32_t{Channel(sum.g / covered)} << 8) | Channel(sum.b / covered);
    }
  }
  return pixels;
}
