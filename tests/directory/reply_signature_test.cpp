#include "directory/reply_signature.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

// Made by tools/services/directory_reply.py --signing-key with a throw-away key
// whose public point is kKey.
const std::string kReply = "B=1\r\nC=1\r\nP=6>6>\r\nU=`gc\r\nK=avra\r\n1=1?<9 > > ?>\r\nE=1\r\n";
const std::string kLine =
    "Signature=C6fsvfrEp67NA6xBu/P8nOsq41tkUD0ST6Ok91h9+gv67tbC/Qpa7uM8v4YFH0qd+8/NPFq3IUvnBfCUYWemtw==";
const char kSignatureHex[] =
    "0ba7ecbdfac4a7aecd03ac41bbf3fc9ceb2ae35b64503d124fa3a4f7587dfa0bfaeed6c2fd0a5aeee33cbf86051f4a9dfbcfcd3c5ab7214be7"
    "05f0946167a6b7";
const char kKey[] =
    "0435dd38c250a72251c095d888e98c96238ca74dfe67ee42d7407fdf8e1acd53a58fc2dd6ff930f690e7a362a1e18a22d204bbbdae3440c37"
    "547a0917abbcc9727";

std::string Hex(const EcdsaP256Signature& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (auto b : bytes) text += {digits[b >> 4], digits[b & 15]};
  return text;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

TEST(ReplySignature, OnlyAWellFormedLastLineSignsEverythingBeforeIt) {
  const struct {
    const char* what;
    std::string reply;
    std::optional<std::string> signedText;
  } cases[] = {
      {"as the reply compiler writes it", kReply + kLine + "\r\n", kReply},
      {"ended by the text", kReply + kLine, kReply},
      {"after a lone LF", "B=1\nE=1\n" + kLine, "B=1\nE=1\n"},
      {"after a lone CR", "B=1\rE=1\r" + kLine + "\r\n", "B=1\rE=1\r"},
      {"a line after it", kReply + kLine + "\r\nX=1\r\n", std::nullopt},
      {"an empty line after it", kReply + kLine + "\r\n\r\n", std::nullopt},
      {"ended by a lone LF", kReply + kLine + "\n", std::nullopt},
      {"only inside the text", kLine + "\r\n" + kReply, std::nullopt},
      {"name in another case", kReply + Replace(kLine, "Signature", "signature"), std::nullopt},
      {"blank before the name", kReply + " " + kLine, std::nullopt},
      {"padding missing", kReply + kLine.substr(0, kLine.size() - 2), std::nullopt},
      {"one character short", kReply + Replace(kLine, "emtw", "emw"), std::nullopt},
      {"65 bytes", kReply + Replace(kLine, "emtw==", "emtwAA=="), std::nullopt},
      {"stray bits before the padding", kReply + Replace(kLine, "emtw==", "emtx=="), std::nullopt},
      {"URL-safe alphabet", kReply + Replace(kLine, "+", "-"), std::nullopt},
      {"blank inside", kReply + Replace(kLine, "Qpa7", "Qp a7"), std::nullopt},
      {"no signature", kReply, std::nullopt},
      {"empty", "", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto signature = ReadReplySignature(c.reply);
    ASSERT_EQ(signature.has_value(), c.signedText.has_value()) << c.what;
    if (!signature) continue;
    EXPECT_EQ(signature->signedText, *c.signedText) << c.what;
    EXPECT_EQ(signature->signedText.data(), c.reply.data()) << c.what;  // a prefix of the reply itself
    EXPECT_EQ(Hex(signature->signature), kSignatureHex) << c.what;
  }
}

TEST(ReplySignature, PinnedKeyAndVerdict) {
  EXPECT_TRUE(ParseDirectoryKey(kKey).has_value());
  EXPECT_FALSE(ParseDirectoryKey(std::string("02") + (kKey + 2)).has_value());  // compressed points
  EXPECT_FALSE(ParseDirectoryKey(std::string(kKey).substr(0, 129)).has_value());
  EXPECT_FALSE(ParseDirectoryKey(Replace(kKey, "c2", "g2")).has_value());

  const std::string signedReply = kReply + kLine + "\r\n";
  const struct {
    const char* what;
    std::string reply, pin;
    bool systemSays;
    int calls;
    bool accepted;
  } cases[] = {
      {"no key pinned: nothing is read", signedReply, "", true, 0, false},
      {"the system's verdict: good", signedReply, kKey, true, 1, true},
      {"the system's verdict: wrong", signedReply, kKey, false, 1, false},
      {"no signature line", kReply, kKey, true, 0, false},
      {"an unusable pin", signedReply, "04", true, 0, false},
  };
  for (const auto& c : cases) {
    int calls = 0;
    const bool accepted = ReplySignatureAccepted(
        c.reply, c.pin, [&](const EcdsaP256PublicKey& key, std::string_view text, const EcdsaP256Signature& s) {
          ++calls;
          EXPECT_EQ(key, *ParseDirectoryKey(kKey)) << c.what;
          EXPECT_EQ(text, kReply) << c.what;
          EXPECT_EQ(Hex(s), kSignatureHex) << c.what;
          return c.systemSays;
        });
    EXPECT_EQ(accepted, c.accepted) << c.what;
    EXPECT_EQ(calls, c.calls) << c.what;
  }
}

}  // namespace
