#include "ManifestSigner.h"

#include <sodium.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

// The decoded secret key file: algorithms, key derivation, then the key number that an
// encrypted file keeps XORed with the derived stream.
constexpr std::size_t kSaltOffset = 6;
constexpr std::size_t kOpsLimitOffset = kSaltOffset + 32;
constexpr std::size_t kMemLimitOffset = kOpsLimitOffset + 8;
constexpr std::size_t kKeyNumberOffset = kMemLimitOffset + 8;
constexpr std::size_t kKeyNumberBytes = 8 + 64 + 32; // key id, secret key, checksum
constexpr std::size_t kKeyFileBytes = kKeyNumberOffset + kKeyNumberBytes;

std::uint64_t LittleEndian64(const std::uint8_t* bytes) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

std::string Base64(const std::uint8_t* data, std::size_t size) {
    std::vector<char> text(sodium_base64_ENCODED_LEN(size, sodium_base64_VARIANT_ORIGINAL));
    return sodium_bin2base64(text.data(), text.size(), data, size, sodium_base64_VARIANT_ORIGINAL);
}

std::string SecondLine(const std::string& text) {
    const std::size_t first = text.find('\n');
    if (first == std::string::npos)
        return std::string();
    std::string line = text.substr(first + 1, text.find('\n', first + 1) - first - 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

} // namespace

MinisignSecretKey ReadSecretKey(const std::string& keyFileText,
                                const std::function<std::string()>& password) {
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot start");
    const std::string line = SecondLine(keyFileText);
    std::uint8_t file[kKeyFileBytes];
    std::size_t length = 0;
    if (keyFileText.compare(0, 19, "untrusted comment: ") != 0 ||
        sodium_base642bin(file, sizeof file, line.data(), line.size(), nullptr, &length, nullptr,
                          sodium_base64_VARIANT_ORIGINAL) != 0 ||
        length != sizeof file || std::memcmp(file, "Ed", 2) != 0 ||
        std::memcmp(file + 4, "B2", 2) != 0)
        throw std::runtime_error("not a minisign secret key file");

    std::uint8_t* keyNumber = file + kKeyNumberOffset;
    const bool encrypted = std::memcmp(file + 2, "Sc", 2) == 0;
    if (encrypted) {
        const std::string secret = password();
        std::uint8_t stream[kKeyNumberBytes];
        if (crypto_pwhash_scryptsalsa208sha256(
                stream, sizeof stream, secret.data(), secret.size(), file + kSaltOffset,
                LittleEndian64(file + kOpsLimitOffset),
                static_cast<std::size_t>(LittleEndian64(file + kMemLimitOffset))) != 0)
            throw std::runtime_error("cannot derive the key from the password (out of memory?)");
        for (std::size_t i = 0; i < kKeyNumberBytes; ++i)
            keyNumber[i] ^= stream[i];
        sodium_memzero(stream, sizeof stream);
    } else if (file[2] != 0 || file[3] != 0) {
        throw std::runtime_error("unknown key derivation in the secret key file");
    }

    MinisignSecretKey key;
    std::memcpy(key.keyId.data(), keyNumber, key.keyId.size());
    std::memcpy(key.secretKey.data(), keyNumber + 8, key.secretKey.size());
    // The checksum: BLAKE2b-256 of the algorithm, key id and secret key (an unencrypted key
    // may carry none). The key's public half must follow from its seed either way.
    std::uint8_t checksum[32], expected[32];
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, sizeof checksum);
    crypto_generichash_update(&state, file, 2);
    crypto_generichash_update(&state, keyNumber, 8 + 64);
    crypto_generichash_final(&state, checksum, sizeof checksum);
    std::memcpy(expected, keyNumber + 72, sizeof expected);
    const bool noChecksum = !encrypted && sodium_is_zero(expected, sizeof expected);
    std::uint8_t publicKey[crypto_sign_PUBLICKEYBYTES], derived[crypto_sign_SECRETKEYBYTES];
    crypto_sign_seed_keypair(publicKey, derived, key.secretKey.data());
    const bool consistent = std::memcmp(publicKey, key.secretKey.data() + 32, 32) == 0;
    sodium_memzero(derived, sizeof derived);
    sodium_memzero(file, sizeof file);
    if ((!noChecksum && sodium_memcmp(checksum, expected, sizeof checksum) != 0) || !consistent)
        throw std::runtime_error(encrypted ? "wrong password for the secret key"
                                           : "damaged secret key file");
    return key;
}

std::string SignManifest(const MinisignSecretKey& key, const std::string& data,
                         const std::string& trustedComment) {
    std::uint8_t digest[crypto_generichash_BYTES_MAX];
    crypto_generichash(digest, sizeof digest, reinterpret_cast<const std::uint8_t*>(data.data()),
                       data.size(), nullptr, 0);
    std::uint8_t signature[2 + 8 + crypto_sign_BYTES];
    std::memcpy(signature, "ED", 2);
    std::memcpy(signature + 2, key.keyId.data(), 8);
    crypto_sign_detached(signature + 10, nullptr, digest, sizeof digest, key.secretKey.data());

    std::vector<std::uint8_t> bound(signature + 10, signature + sizeof signature);
    bound.insert(bound.end(), trustedComment.begin(), trustedComment.end());
    std::uint8_t global[crypto_sign_BYTES];
    crypto_sign_detached(global, nullptr, bound.data(), bound.size(), key.secretKey.data());

    return "untrusted comment: signature made by MakeManifest\n" +
           Base64(signature, sizeof signature) + "\ntrusted comment: " + trustedComment + "\n" +
           Base64(global, sizeof global) + "\n";
}
