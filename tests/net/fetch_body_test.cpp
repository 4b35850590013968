#include "net/fetch_body.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Hands out `data` in pieces of at most `piece` bytes, then `end` (0 or -1);
// records every size asked for.
struct Source {
  explicit Source(std::string data, std::size_t piece = kFetchReadSize, long end = 0)
      : data(std::move(data)), piece(piece), end(end) {}
  std::string data;
  std::size_t piece;
  long end;
  std::size_t at = 0;
  std::vector<std::size_t> asked;

  long operator()(char* buffer, std::size_t size) {
    asked.push_back(size);
    if (at == data.size()) return end;
    const std::size_t n = std::min({size, piece, data.size() - at});
    std::memcpy(buffer, data.data() + at, n);
    at += n;
    return static_cast<long>(n);
  }
};

std::string Pattern(std::size_t size) {
  std::string s;
  for (std::size_t i = 0; s.size() < size; ++i) s += std::to_string(i) + ",";
  s.resize(size);
  return s;
}

}  // namespace

TEST(ReadWholeBody, ChunksAreJoinedInOrderAndEachReadAsksFor1025Bytes) {
  Source source(Pattern(5000));
  std::string body = "left from before";
  EXPECT_TRUE(ReadWholeBody(std::ref(source), body));
  EXPECT_EQ(body, Pattern(5000));
  ASSERT_EQ(source.asked.size(), 6u);  // 4 full reads, 904 bytes, then the end
  for (std::size_t size : source.asked) EXPECT_EQ(size, 1025u);
}

TEST(ReadWholeBody, ShortPiecesAreJoinedToo) {
  Source source(Pattern(3000), 7);
  std::string body;
  EXPECT_TRUE(ReadWholeBody(std::ref(source), body));
  EXPECT_EQ(body, Pattern(3000));
}

TEST(ReadWholeBody, NothingReadIsFailureWithAnEmptyBody) {
  Source ended("");
  std::string body = "old";
  EXPECT_FALSE(ReadWholeBody(std::ref(ended), body));
  EXPECT_EQ(body, "");
  Source failed("", kFetchReadSize, -1);
  body = "old";
  EXPECT_FALSE(ReadWholeBody(std::ref(failed), body));
  EXPECT_EQ(body, "");
}

TEST(ReadWholeBody, AFailedReadKeepsWhatCameBefore) {
  Source source("partial answer", kFetchReadSize, -1);
  std::string body;
  EXPECT_TRUE(ReadWholeBody(std::ref(source), body));
  EXPECT_EQ(body, "partial answer");
}

TEST(ReadWholeBody, BodyOverTheLimitFailsAndIsDropped) {
  Source exact(std::string(kFetchBodyLimit, 'x'));
  std::string body;
  EXPECT_TRUE(ReadWholeBody(std::ref(exact), body));
  EXPECT_EQ(body.size(), kFetchBodyLimit);

  Source over(std::string(kFetchBodyLimit + 1, 'x'));
  EXPECT_FALSE(ReadWholeBody(std::ref(over), body));
  EXPECT_EQ(body, "");
  EXPECT_EQ(over.at, kFetchBodyLimit + 1);  // stops reading at once

  long calls = 0;
  auto endless = [&](char* buffer, std::size_t size) -> long {
    ++calls;
    std::memset(buffer, 'y', size);
    return static_cast<long>(size);
  };
  EXPECT_FALSE(ReadWholeBody(endless, body));
  EXPECT_EQ(body, "");
  EXPECT_EQ(static_cast<std::size_t>(calls), kFetchBodyLimit / kFetchReadSize + 1);
}
