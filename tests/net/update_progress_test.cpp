#include "net/update_progress.h"

#include <gtest/gtest.h>

TEST(UpdateProgress, CaptionIsTheShareRead) {
  struct {
    std::int32_t total, readed;
    const char* caption;
  } const cases[] = {
      {0, 0, "0%"},           {0, 5000, "0%"},       {5000, 0, "0%"},         {5000, 1025, "20%"},
      {5000, 4999, "99%"},    {5000, 5000, "100%"},  {5000, 6000, "100%"},
      // No overflow near the largest length an installer may have.
      {268435456, 268435455, "99%"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ProgressCaption(c.total, c.readed), c.caption) << c.total << " " << c.readed;
}
