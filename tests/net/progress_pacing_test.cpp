#include "net/progress_pacing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Chunk {
  std::uint32_t ms;
  std::int64_t readed;
};

// The reports that reach the interface, as "readed" values; "end" when the
// pacer asks for one more after the body.
std::string Told(std::int32_t total, const std::vector<Chunk>& chunks) {
  ProgressPacer pacer;
  std::string told;
  for (const Chunk& c : chunks)
    if (pacer.Chunk(c.ms, c.readed, total)) told += std::to_string(c.readed) + " ";
  if (pacer.End()) told += "end";
  return told;
}

}  // namespace

TEST(ProgressPacing, FirstAndLastAlwaysAtMostOneReportPerInterval) {
  struct {
    const char* name;
    std::int32_t total;
    std::vector<Chunk> chunks;
    const char* told;
  } const cases[] = {
      {"one chunk is the whole file", 100, {{5, 100}}, "100 "},
      {"a burst: first and last only", 400, {{0, 100}, {1, 200}, {2, 300}, {3, 400}}, "100 400 "},
      {"one report per interval", 500, {{0, 100}, {32, 200}, {33, 300}, {40, 400}, {66, 450}, {70, 500}},
       "100 300 450 500 "},
      // Unknown length: the held-back last chunk is asked for after the body.
      {"no length, last held", 0, {{0, 100}, {1, 200}}, "100 end"},
      {"no length, last told", 0, {{0, 100}, {50, 200}}, "100 200 "},
      {"the clock wraps", 300, {{0xFFFFFFF0u, 100}, {0x11u, 200}, {0x12u, 250}, {0x13u, 300}}, "100 200 300 "},
  };
  for (const auto& c : cases) EXPECT_EQ(Told(c.total, c.chunks), c.told) << c.name;
}
