#include "directory/reply_signature.h"

#include "base/hex_digits.h"

namespace {

constexpr std::string_view kSignatureName = "Signature=";
constexpr std::size_t kBase64Size = 88;  // 64 bytes: 21 groups of three, one byte left, "=="

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Exactly the one encoding of 64 bytes: the alphabet, "==" at the end and no
// stray bits before it.
bool DecodeSignature(std::string_view text, EcdsaP256Signature& out) {
  if (text.size() != kBase64Size || text.substr(86) != "==") return false;
  std::uint32_t bits = 0;
  int held = 0;
  std::size_t n = 0;
  for (char c : text.substr(0, 86)) {
    const int v = Base64Value(c);
    if (v < 0) return false;
    bits = bits << 6 | static_cast<std::uint32_t>(v);
    held += 6;
    if (held >= 8) {
      held -= 8;
      out[n++] = static_cast<std::uint8_t>(bits >> held);
      bits &= (1u << held) - 1;
    }
  }
  return n == out.size() && bits == 0;
}

}  // namespace

std::optional<ReplySignature> ReadReplySignature(std::string_view reply) {
  std::string_view rest = reply;
  if (rest.size() >= 2 && rest.substr(rest.size() - 2) == "\r\n") rest.remove_suffix(2);
  const std::size_t lastBreak = rest.find_last_of("\r\n");
  const std::size_t start = lastBreak == std::string_view::npos ? 0 : lastBreak + 1;
  const std::string_view line = rest.substr(start);
  if (line.substr(0, kSignatureName.size()) != kSignatureName) return std::nullopt;
  ReplySignature result;
  if (!DecodeSignature(line.substr(kSignatureName.size()), result.signature)) return std::nullopt;
  result.signedText = reply.substr(0, start);
  return result;
}

std::optional<EcdsaP256PublicKey> ParseDirectoryKey(std::string_view hex) {
  if (hex.substr(0, 2) != "04") return std::nullopt;
  EcdsaP256PublicKey key{};
  if (!ParseHexDigits(hex.substr(2), key.data(), key.size())) return std::nullopt;
  return key;
}

bool ReplySignatureAccepted(std::string_view reply, std::string_view pinHex, const EcdsaP256Verify& verify) {
  const std::optional<EcdsaP256PublicKey> key = ParseDirectoryKey(pinHex);
  const std::optional<ReplySignature> signature = ReadReplySignature(reply);
  return key && signature && verify(*key, signature->signedText, signature->signature);
}
