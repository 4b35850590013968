// gtest's main, except that a run that selects no test fails: a filter that
// matches nothing (a renamed test, a name a Windows macro rewrote) must not
// pass silently.
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  if (::testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
    std::fprintf(stderr, "No test matched the filter.\n");
    return 1;
  }
  return result;
}
