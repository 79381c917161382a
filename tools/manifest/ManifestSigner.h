// Signs a manifest as minisign does (its default, prehashed kind: Ed25519 over the file's
// BLAKE2b-512 digest, plus the global signature over the trusted comment) with a secret key
// file made by "minisign -G": unencrypted (-W) or protected by a password (scrypt).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

struct MinisignSecretKey {
    std::array<std::uint8_t, 8> keyId;
    std::array<std::uint8_t, 64> secretKey; // libsodium's form: seed, then public key
};

// Reads the text of a secret key file; password() is called only for an encrypted key. Throws
// std::runtime_error with the reason (malformed file, wrong password, out of memory).
MinisignSecretKey ReadSecretKey(const std::string& keyFileText,
                                const std::function<std::string()>& password);

// The text of the ".minisig" file for data.
std::string SignManifest(const MinisignSecretKey& key, const std::string& data,
                         const std::string& trustedComment);
