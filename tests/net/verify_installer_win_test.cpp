#include "net/verify_installer.h"

#include <gtest/gtest.h>

#include "wine/test_support.h"

namespace {

TEST(VerifyInstaller, TheSignersSignatureIsCheckedOnWindows) {
  struct {
    const char* file;
    SignatureFault fault;
  } const cases[] = {
      {"good.exe", SignatureFault::None},
      // A renewed certificate on the pinned key: crypt32 and the system take it as well.
      {"renewed.exe", SignatureFault::None},
      // Stored digest and signed digest attribute both rewritten: only the
      // signer's public-key signature tells.
      {"signature_forged.exe", SignatureFault::BadSignature},
      // Signed by a certificate with the pinned one's issuer and serial number
      // but another key, and carrying the pinned one: the same.
      {"impostor_key.exe", SignatureFault::BadSignature},
      // The portable checks' own faults are the native Authenticode table's.
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = BuildDir() + "signed_samples\\" + c.file;
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    const std::string bytes = ReadFileBytes(path);
    ASSERT_GT(bytes.size(), 1000u);
    const SignatureFault fault = VerifyInstaller(bytes, file.get(), path);
    EXPECT_EQ(fault, c.fault) << SignatureFaultText(fault);
  }
}

}  // namespace
