#include "net/fixed_version.h"

namespace {

std::uint64_t Ordinal(FixedVersion v) { return static_cast<std::uint64_t>(v.ms) << 32 | v.ls; }

}  // namespace

bool IsNewerVersion(FixedVersion offered, FixedVersion running) { return Ordinal(offered) > Ordinal(running); }

std::string FixedVersionText(FixedVersion v) {
  return std::to_string(v.ms >> 16) + "." + std::to_string(v.ms & 0xFFFF) + "." + std::to_string(v.ls >> 16) + "." +
         std::to_string(v.ls & 0xFFFF);
}
