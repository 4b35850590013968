// The vendor's signature on a directory reply. It is the reply's last line:
// "Signature=" and the standard base64 (padded) of the 64-byte ECDSA P-256
// signature r||s over SHA-256 of every byte before that line, the previous
// line's break included. The line ends with CR LF or with the text.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

using EcdsaP256Signature = std::array<std::uint8_t, 64>;  // r||s, each big-endian
using EcdsaP256PublicKey = std::array<std::uint8_t, 64>;  // X||Y, each big-endian

struct ReplySignature {
  std::string_view signedText;  // a prefix of the reply
  EcdsaP256Signature signature{};
};

// Nothing when the last line is not a well-formed signature line.
std::optional<ReplySignature> ReadReplySignature(std::string_view reply);

// The pinned key as the build settings write it: 130 hex digits, 04||X||Y.
std::optional<EcdsaP256PublicKey> ParseDirectoryKey(std::string_view hex);

// The system's ECDSA P-256 check of a signature over SHA-256 of `text`.
using EcdsaP256Verify =
    std::function<bool(const EcdsaP256PublicKey& key, std::string_view text, const EcdsaP256Signature& signature)>;

// Whether the reply may be read: only one whose signature line `verify`
// accepts for the pinned key; none when no usable key is pinned. (Reading
// unsigned replies is a build option of its own, never an empty pin.)
bool ReplySignatureAccepted(std::string_view reply, std::string_view pinHex, const EcdsaP256Verify& verify);
