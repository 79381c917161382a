// One entry of the update manifest: what the server offers for one file and
// where it goes on this machine.
#pragma once

#include <cstdint>
#include <string>

struct CUpdateFileInfo {
    // "FileSize"; its low 32 bits, read as unsigned, are the expected download size.
    std::int64_t size = 0;
    std::string fileName;
    bool registerServer = false;
    std::string installDir = "CURRENTDIR";
    std::string localPath;
    // Expected digest of the file (or the digest of a local file).
    std::string hashCode;
    // "Sha256": the whole file's SHA-256 as 64 hex digits; when given, it decides instead of
    // hashCode.
    std::string sha256;
    std::string targetPath;
    std::string url;
    bool needsUpdate = false;

    std::uint32_t ExpectedSize() const { return static_cast<std::uint32_t>(size); }
    // Whether a download can be checked before it is installed (and so may be resumed).
    bool HasDigest() const { return !hashCode.empty() || !sha256.empty(); }
};
