// Checks an update manifest against the minisign signature published beside it, with the
// publisher's public key: both kinds of signature minisign makes (Ed25519 over the file's bytes,
// and over their BLAKE2b-512 digest) and the global signature over the trusted comment.
#pragma once

#include <cstddef>
#include <string>

// publicKey: the key as minisign prints it ("RW..."); signature: the whole ".minisig" file. True
// only when both are well-formed, name the same key, and both signatures verify.
bool VerifyManifestSignature(const std::string& publicKey, const std::string& signature,
                             const unsigned char* manifest, std::size_t size);
