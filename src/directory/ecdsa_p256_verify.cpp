#include "directory/ecdsa_p256_verify.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstring>

#include "host/unique_handle.h"
#include "net/sha256.h"

bool VerifyEcdsaP256(const EcdsaP256PublicKey& key, std::string_view text, const EcdsaP256Signature& signature) {
  UniqueBcryptAlgorithm algorithm;
  if (BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0) != 0) return false;
  // BCRYPT_ECCPUBLIC_BLOB: the header, then X and Y.
  unsigned char blob[sizeof(BCRYPT_ECCKEY_BLOB) + 64];
  BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
  std::memcpy(blob, &header, sizeof(header));
  std::memcpy(blob + sizeof(header), key.data(), key.size());
  UniqueBcryptKey publicKey;
  if (BCryptImportKeyPair(algorithm.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, publicKey.put(), blob, sizeof(blob), 0) != 0)
    return false;
  Sha256Digest digest = Sha256Of(text);
  EcdsaP256Signature rs = signature;
  return BCryptVerifySignature(publicKey.get(), nullptr, digest.data(), static_cast<ULONG>(digest.size()), rs.data(),
                               static_cast<ULONG>(rs.size()), 0) == 0;
}
