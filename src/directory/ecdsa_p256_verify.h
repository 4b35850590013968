// ECDSA P-256 with SHA-256, checked by the system's own cryptography (bcrypt).
#pragma once

#include <string_view>

#include "directory/reply_signature.h"

// True when `signature` is the key's signature over SHA-256 of `text`.
bool VerifyEcdsaP256(const EcdsaP256PublicKey& key, std::string_view text, const EcdsaP256Signature& signature);
