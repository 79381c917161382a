#include "ManifestSignature.h"

#include <sodium.h>

#include <cstring>

namespace {

constexpr std::size_t kAlgorithmBytes = 2;
constexpr std::size_t kKeyIdBytes = 8;
constexpr std::size_t kKeyBytes = kAlgorithmBytes + kKeyIdBytes + crypto_sign_PUBLICKEYBYTES;
constexpr std::size_t kSignatureBytes = kAlgorithmBytes + kKeyIdBytes + crypto_sign_BYTES;

std::string Trim(const std::string& text) {
    const char* const blanks = " \t\r\n";
    const std::size_t begin = text.find_first_not_of(blanks);
    if (begin == std::string::npos)
        return std::string();
    return text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
}

bool DecodeBase64(const std::string& text, unsigned char* out, std::size_t expected) {
    std::size_t length = 0;
    return sodium_base642bin(out, expected, text.data(), text.size(), nullptr, &length, nullptr,
                             sodium_base64_VARIANT_ORIGINAL) == 0 &&
           length == expected;
}

// The four lines of a signature file, each ended by a line feed (the last may lack it), a
// carriage return before it dropped; nothing but white space may follow them.
bool SplitLines(const std::string& text, std::string lines[4]) {
    std::size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) {
            if (i < 3 || pos >= text.size())
                return false;
            end = text.size();
        }
        lines[i] = text.substr(pos, end - pos);
        if (!lines[i].empty() && lines[i].back() == '\r')
            lines[i].pop_back();
        pos = end < text.size() ? end + 1 : end;
    }
    return Trim(text.substr(pos)).empty();
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

} // namespace

bool VerifyManifestSignature(const std::string& publicKey, const std::string& signature,
                             const unsigned char* manifest, std::size_t size) {
    static const char kUntrusted[] = "untrusted comment: ";
    static const char kTrusted[] = "trusted comment: ";
    unsigned char key[kKeyBytes], fileSignature[kSignatureBytes], global[crypto_sign_BYTES];
    std::string lines[4];
    if (sodium_init() < 0 || !DecodeBase64(Trim(publicKey), key, kKeyBytes) ||
        std::memcmp(key, "Ed", kAlgorithmBytes) != 0 || !SplitLines(signature, lines) ||
        !StartsWith(lines[0], kUntrusted) || !StartsWith(lines[2], kTrusted) ||
        !DecodeBase64(lines[1], fileSignature, kSignatureBytes) ||
        !DecodeBase64(lines[3], global, crypto_sign_BYTES) ||
        std::memcmp(fileSignature + kAlgorithmBytes, key + kAlgorithmBytes, kKeyIdBytes) != 0)
        return false;

    const unsigned char* signedKey = key + kAlgorithmBytes + kKeyIdBytes;
    const unsigned char* signatureBytes = fileSignature + kAlgorithmBytes + kKeyIdBytes;
    static const unsigned char kNothing = 0;
    const unsigned char* message = manifest ? manifest : &kNothing;
    if (std::memcmp(fileSignature, "ED", kAlgorithmBytes) == 0) {
        // Prehashed: the signature covers the file's BLAKE2b-512 digest.
        unsigned char digest[crypto_generichash_BYTES_MAX];
        if (crypto_generichash(digest, sizeof digest, message, size, nullptr, 0) != 0 ||
            crypto_sign_verify_detached(signatureBytes, digest, sizeof digest, signedKey) != 0)
            return false;
    } else if (std::memcmp(fileSignature, "Ed", kAlgorithmBytes) != 0 ||
               crypto_sign_verify_detached(signatureBytes, message, size, signedKey) != 0) {
        return false;
    }
    // The global signature binds the trusted comment to the file's signature.
    std::string bound(reinterpret_cast<const char*>(signatureBytes), crypto_sign_BYTES);
    bound += lines[2].substr(sizeof kTrusted - 1);
    return crypto_sign_verify_detached(global, reinterpret_cast<const unsigned char*>(bound.data()),
                                       bound.size(), signedKey) == 0;
}
