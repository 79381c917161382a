// Builds the update manifest "UpdateNew.xml" for a release folder: one "File"
// entry per file with its size, the updater's digests, destination and URL.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

struct ManifestEntry {
    std::string relativePath; // UTF-8, '/' separated
    std::uint64_t size = 0;
    std::string hashCode;
    std::string sha256;
    std::string installDir = "CURRENTDIR";
    bool registerServer = false;
};

struct ManifestOptions {
    std::filesystem::path root;
    std::string baseUrl;
    // Relative paths ('/' separated) of files to register with regsvr32.
    std::set<std::string> registered;
    // Relative paths that go to the Windows or the system folder.
    std::set<std::string> windowsFolder;
    std::set<std::string> systemFolder;
    // Relative paths left out (the manifest itself, for instance).
    std::set<std::string> excluded;
};

// The file's digests as the updater computes them: MD5 of the longest prefix
// whose length is a multiple of 512 bytes, and SHA-256 of the whole file;
// false when the file cannot be read.
bool FileDigests(const std::filesystem::path& file, std::string& prefixMd5, std::string& sha256);

// Walks the release folder; entries sorted by relative path. Throws
// std::runtime_error with a reason when a file cannot be read.
std::vector<ManifestEntry> CollectEntries(const ManifestOptions& options);

// The manifest document, UTF-8.
std::string WriteManifest(const std::vector<ManifestEntry>& entries, const std::string& baseUrl);
