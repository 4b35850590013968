#include "net/download_length.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct LengthCase {
  const char* name;
  std::optional<std::string_view> announced;
  bool binaryData;
  bool proceed;
  std::int32_t fileSize;
};

const LengthCase kLengthCases[] = {
    {"plain number", "1048576", true, true, 1048576},
    {"zero", "0", true, true, 0},
    {"leading zeros", "000123", true, true, 123},
    {"largest allowed", "268435456", true, true, kMaxDownloadSize},
    {"one beyond the largest", "268435457", true, false, 0},
    {"beyond 32 bits", "4294967297", true, false, 0},
    {"eleven digits", "00000000001", true, false, 0},
    {"negative", "-5", true, false, 0},
    {"plus sign", "+5", true, false, 0},
    {"not a number", "abc", true, false, 0},
    {"number with text", "12kb", true, false, 0},
    {"blank", " 12", true, false, 0},
    {"empty text", "", true, false, 0},
    {"missing, binary data", std::nullopt, true, false, 0},
    {"missing, text data", std::nullopt, false, true, 0},
    {"not a number, text data", "x", false, false, 0},
};

TEST(DownloadLength, AnnouncedLengthDecidesWhetherTheTransferGoesOn) {
  for (const LengthCase& c : kLengthCases) {
    SCOPED_TRACE(c.name);
    const LengthDecision d = DecideLength(c.announced, c.binaryData);
    EXPECT_EQ(d.proceed, c.proceed);
    EXPECT_EQ(d.fileSize, c.fileSize);
  }
}

TEST(DownloadLength, CompleteExactlyWhenTheCountsMatch) {
  struct {
    std::int64_t readed;
    std::int32_t fileSize;
    bool complete, tooMuch;
  } const cases[] = {
      {0, 0, true, false},     {100, 100, true, false}, {99, 100, false, false},
      {101, 100, false, true}, {1, 0, false, true},     {kMaxDownloadSize + 1LL, kMaxDownloadSize, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.readed) + " of " + std::to_string(c.fileSize));
    EXPECT_EQ(DownloadComplete(c.readed, c.fileSize), c.complete);
    EXPECT_EQ(ReadTooMuch(c.readed, c.fileSize), c.tooMuch);
  }
}

}  // namespace
