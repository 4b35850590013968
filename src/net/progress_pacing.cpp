#include "net/progress_pacing.h"

bool ProgressPacer::Chunk(std::uint32_t nowMs, std::int64_t readed, std::int32_t total) {
  const bool last = total > 0 && readed >= total;
  // Unsigned difference: right across the clock's wrap.
  if (told_ && !last && nowMs - toldAtMs_ < kProgressIntervalMs) {
    held_ = true;
    return false;
  }
  told_ = true;
  held_ = false;
  toldAtMs_ = nowMs;
  return true;
}
