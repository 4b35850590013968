// A program file's fixed version (the version resource's VS_FIXEDFILEINFO):
// four 16-bit numbers, most significant first, as two 32-bit halves.
#pragma once

#include <cstdint>
#include <string>

struct FixedVersion {
  std::uint32_t ms = 0;  // first and second number
  std::uint32_t ls = 0;  // third and fourth
};

// An installer may replace the running program only when it is newer: an
// equal or older one would roll a user back to holes fixed since.
bool IsNewerVersion(FixedVersion offered, FixedVersion running);

// "1.0.5.0", for the log.
std::string FixedVersionText(FixedVersion version);
