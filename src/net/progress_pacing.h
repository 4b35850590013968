// Which of a download's chunk reports reach the interface thread: a 64 KiB
// chunk arrives every few microseconds on loopback, and a bar redrawn for each
// would hold the transfer back. The first report and the one at the end always
// go; between them, at most one per kProgressIntervalMs.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t kProgressIntervalMs = 33;  // about 30 updates a second

class ProgressPacer {
 public:
  // A chunk was read at `nowMs` (a millisecond clock that may wrap), `readed`
  // bytes in all of `total` (0 when unknown): true when the interface is told now.
  bool Chunk(std::uint32_t nowMs, std::int64_t readed, std::int32_t total);
  // The body has ended: true when the last chunk's report was held back and
  // must still go, so that the interface ends on what was really read.
  bool End() const { return held_; }

 private:
  bool told_ = false;
  bool held_ = false;
  std::uint32_t toldAtMs_ = 0;
};
