// The Authenticode signature of a downloaded installer, read from its bytes:
// where it lies, what it claims and whether the file matches the claim. The
// check of the signer's public-key signature itself is the caller's (crypt32).
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "net/sha256.h"

enum class SignatureFault {
  None,
  NotPe,                  // no PE image
  Unsigned,               // no signature table
  BadTable,               // the table is not one signature ending the file
  Malformed,              // the signature's structure cannot be read
  UnsupportedDigest,      // a digest other than SHA-256
  PeHashMismatch,         // the file's code differs from what was signed
  ContentDigestMismatch,  // the signed attributes do not cover the stated digest
  WrongPublisher,         // signed, but not with a pinned publisher key
  BadSignature,           // the signer's signature does not verify
  UnsignedData,           // data beside the signed parts of the signature
};

// A short English reason for the activity log.
const char* SignatureFaultText(SignatureFault fault);

struct PeLayout {
  std::size_t checksumOffset = 0;       // 4 bytes, left out of the hash
  std::size_t securityEntryOffset = 0;  // 8 bytes, left out of the hash
  std::size_t tableOffset = 0;          // the signature table; 0 when unsigned
  std::size_t tableSize = 0;
};

std::optional<PeLayout> ReadPeLayout(std::string_view file);

// The Authenticode PE hash: the whole file but the checksum, the security
// directory entry and the signature table.
Sha256Digest PeHash(std::string_view file, const PeLayout& layout);

struct AuthenticodeSignature {
  std::string_view signedMessage;      // the PKCS #7 message the file carries
  std::string_view signerCertificate;  // DER of the certificate that signed it
};

// Every check that needs no public-key operation: one signature table that
// ends the file and carries nothing unsigned, SHA-256 throughout, the PE hash
// equal to the signed one, the signed attributes' digest equal to that of the
// signed content, and the signer's certificate carrying a pinned key: the
// SHA-256 of its SubjectPublicKeyInfo is one of `publisherPins`. A renewed
// certificate on the same key keeps its pin.
SignatureFault CheckAuthenticode(std::string_view file, const std::vector<Sha256Digest>& publisherPins,
                                 AuthenticodeSignature& signature);

// The whole DER of a certificate's SubjectPublicKeyInfo; empty when the
// certificate cannot be read that far.
std::string_view SubjectPublicKeyInfo(std::string_view certificate);

// A digest as written in the build settings: 64 hexadecimal digits.
std::optional<Sha256Digest> ParseSha256Hex(std::string_view text);
// The build's list of pins, separated by ";": nothing when any of them is
// malformed or none is given.
std::vector<Sha256Digest> ParsePublisherPins(std::string_view text);
