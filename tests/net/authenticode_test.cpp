#include "net/authenticode.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "nimvara_config.h"

namespace {

std::string Sample(const std::string& name) {
  std::ifstream in(std::string(NIMVARA_SAMPLES_DIR) + "/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string Hex(const Sha256Digest& d) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (auto b : d) text += {digits[b >> 4], digits[b & 15]};
  return text;
}

std::vector<Sha256Digest> Pins() { return ParsePublisherPins(nimvara::config::kPublisherKeySha256); }

TEST(Sha256, KnownDigests) {
  EXPECT_EQ(Hex(Sha256Of("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Hex(Sha256Of("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Hex(Sha256Of("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  // A million "a", fed in uneven pieces across block boundaries.
  Sha256 hash;
  const std::string piece(997, 'a');
  for (int i = 0; i < 1003; ++i) hash.Update(piece);
  hash.Update(std::string(1000000 - 997 * 1003, 'a'));
  EXPECT_EQ(Hex(hash.Final()), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Authenticode, PinFromTheBuildSettings) {
  EXPECT_FALSE(ParseSha256Hex("").has_value());
  EXPECT_FALSE(ParseSha256Hex(std::string(63, 'a')).has_value());
  EXPECT_FALSE(ParseSha256Hex(std::string(63, 'a') + "g").has_value());
  const auto pin = ParseSha256Hex("00FFa0" + std::string(58, '1'));
  ASSERT_TRUE(pin.has_value());
  EXPECT_EQ((*pin)[0], 0x00);
  EXPECT_EQ((*pin)[1], 0xFF);
  EXPECT_EQ((*pin)[2], 0xA0);
  EXPECT_EQ((*pin)[3], 0x11);
  // The build's list: the test key in use and the next one named in advance.
  EXPECT_EQ(Pins().size(), 2u);
  const std::string a(64, 'a'), b = "00FFa0" + std::string(58, '1');
  EXPECT_EQ(ParsePublisherPins(a + ";" + b), (std::vector<Sha256Digest>{*ParseSha256Hex(a), *pin}));
  EXPECT_EQ(ParsePublisherPins(a).size(), 1u);
  for (const std::string& bad : {std::string(), a + ";", a + ";;" + b, a + ";" + b.substr(1), ";" + a})
    EXPECT_TRUE(ParsePublisherPins(bad).empty()) << bad;
}

TEST(Authenticode, SigningLeavesThePeHashAsItWas) {
  const std::string unsigned_ = Sample("unsigned.exe"), good = Sample("good.exe");
  const auto before = ReadPeLayout(unsigned_), after = ReadPeLayout(good);
  ASSERT_TRUE(before && after);
  EXPECT_EQ(before->tableOffset, 0u);
  EXPECT_EQ(after->tableOffset + after->tableSize, good.size());
  EXPECT_EQ(PeHash(unsigned_, *before), PeHash(good, *after));
}

TEST(Authenticode, DecisionOnFilesMadeByTheBuild) {
  struct {
    const char* file;
    SignatureFault fault;
  } const cases[] = {
      {"good.exe", SignatureFault::None},
      // A renewed certificate on the pinned key, and the next key named in advance.
      {"renewed.exe", SignatureFault::None},
      {"next_key.exe", SignatureFault::None},
      {"unsigned.exe", SignatureFault::Unsigned},
      {"other_publisher.exe", SignatureFault::WrongPublisher},
      {"code_changed.exe", SignatureFault::PeHashMismatch},
      {"bytes_appended.exe", SignatureFault::BadTable},
      {"signature_moved.exe", SignatureFault::PeHashMismatch},
      {"digest_rewritten.exe", SignatureFault::ContentDigestMismatch},
      // Data beside the signed parts, where bytes could be smuggled in.
      {"unsigned_attributes.exe", SignatureFault::UnsignedData},
      {"certificate_bag_extra.exe", SignatureFault::UnsignedData},
      {"crl_content.exe", SignatureFault::UnsignedData},
      {"after_encapsulated.exe", SignatureFault::UnsignedData},
      {"after_signer_info.exe", SignatureFault::UnsignedData},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string bytes = Sample(c.file);
    ASSERT_GT(bytes.size(), 1000u);
    AuthenticodeSignature signature;
    EXPECT_EQ(CheckAuthenticode(bytes, Pins(), signature), c.fault);
    EXPECT_EQ(signature.signedMessage.empty(), c.fault != SignatureFault::None);
  }
}

TEST(Authenticode, GoodSignatureNamesThePinnedCertificate) {
  const std::string good = Sample("good.exe");
  AuthenticodeSignature signature;
  ASSERT_EQ(CheckAuthenticode(good, Pins(), signature), SignatureFault::None);
  EXPECT_EQ(Sha256Of(SubjectPublicKeyInfo(signature.signerCertificate)), Pins()[0]);
  // The message lies inside the file's signature table.
  EXPECT_GT(signature.signedMessage.data(), good.data());
  EXPECT_LE(signature.signedMessage.data() + signature.signedMessage.size(), good.data() + good.size());
}

TEST(Authenticode, CutOrNotAProgram) {
  const std::string good = Sample("good.exe");
  AuthenticodeSignature signature;
  EXPECT_EQ(CheckAuthenticode("", Pins(), signature), SignatureFault::NotPe);
  EXPECT_EQ(CheckAuthenticode("<html>No such file</html>", Pins(), signature), SignatureFault::NotPe);
  // Every cut of the file is refused, and read within its bounds.
  for (std::size_t size = 0; size < good.size(); size += size < 512 ? 1 : 97)
    EXPECT_NE(CheckAuthenticode(std::string_view(good).substr(0, size), Pins(), signature), SignatureFault::None)
        << size;
  const auto layout = ReadPeLayout(good);
  for (std::size_t size = layout->tableOffset; size < good.size(); ++size)
    EXPECT_NE(CheckAuthenticode(std::string_view(good).substr(0, size), Pins(), signature), SignatureFault::None)
        << size;
}

}  // namespace
