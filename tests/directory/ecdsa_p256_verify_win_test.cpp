// The system's ECDSA P-256 check (bcrypt) fed known vectors: only the one
// valid signature passes.
#include "directory/ecdsa_p256_verify.h"

#include <gtest/gtest.h>

#include <string>

#include "base/hex_digits.h"

namespace {

// A reply signed by tools/services/directory_reply.py with a throw-away key
// whose public point is kKey.
const std::string kReply = "B=1\r\nC=1\r\nP=6>6>\r\nU=`gc\r\nK=avra\r\n1=1?<9 > > ?>\r\nE=1\r\n";
const char kKey[] =
    "0435dd38c250a72251c095d888e98c96238ca74dfe67ee42d7407fdf8e1acd53a58fc2dd6ff930f690e7a362a1e18a22d204bbbdae3440c37"
    "547a0917abbcc9727";
const std::string kR = "0ba7ecbdfac4a7aecd03ac41bbf3fc9ceb2ae35b64503d124fa3a4f7587dfa0b";
const std::string kS = "faeed6c2fd0a5aeee33cbf86051f4a9dfbcfcd3c5ab7214be705f0946167a6b7";
// Another throw-away key's signature over the same reply.
const std::string kOtherKeys =
    "78893ed08a91fe79c577c1a52718a22b116685fc75f2688416ddc113e1257dcb3e4cfca8ccfac30efeeb4b2168b8250106319d2b23a5cb920be"
    "2226bddcf41e5";
// The order of the P-256 group: r and s must lie below it.
const std::string kN = "ffffffff00000000ffffffffffffffffbce6faada7179e84f3b9cac2fc632551";
const std::string kZero(64, '0');

EcdsaP256Signature Signature(const std::string& hex) {
  EcdsaP256Signature signature{};
  EXPECT_TRUE(ParseHexDigits(hex, signature.data(), signature.size())) << hex;
  return signature;
}

TEST(VerifyEcdsaP256, OnlyTheKeysSignatureOverTheTextPasses) {
  const EcdsaP256PublicKey key = *ParseDirectoryKey(kKey);
  std::string changed = kReply;
  changed[5] ^= 1;  // "C=1" becomes "B=1"
  const struct {
    const char* what;
    std::string text, signature;
    bool valid;
  } cases[] = {
      {"the valid signature", kReply, kR + kS, true},
      {"a changed body", changed, kR + kS, false},
      {"one byte more", kReply + " ", kR + kS, false},
      {"another key's signature", kReply, kOtherKeys, false},
      {"r = 0", kReply, kZero + kS, false},
      {"s = 0", kReply, kR + kZero, false},
      {"r = n", kReply, kN + kS, false},
      {"s = n", kReply, kR + kN, false},
  };
  for (const auto& c : cases) EXPECT_EQ(VerifyEcdsaP256(key, c.text, Signature(c.signature)), c.valid) << c.what;
}

}  // namespace
