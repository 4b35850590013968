// SHA-256 (FIPS 180-4), fed in pieces.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
 public:
  Sha256();
  void Update(std::string_view bytes);
  Sha256Digest Final();

 private:
  void Block(const std::uint8_t* p);
  std::uint32_t h_[8];
  std::uint8_t buffer_[64];
  std::size_t buffered_ = 0;
  std::uint64_t length_ = 0;
};

Sha256Digest Sha256Of(std::string_view bytes);
