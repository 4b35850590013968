#include "net/read_sizing.h"

#include <algorithm>

#include "net/progress_pacing.h"

std::uint32_t NextReadSize(std::uint32_t size, double tookMs) {
  constexpr double kInterval = kProgressIntervalMs;
  if (tookMs < kInterval / 4) return std::min(size * 2, kLargestReadSize);
  if (tookMs <= kInterval) return size;
  const double fits = size * (kInterval / tookMs);
  return std::clamp(static_cast<std::uint32_t>(fits), kSmallestReadSize, kLargestReadSize);
}
