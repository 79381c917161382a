#include "ManifestWriter.h"

#include "Md5.h"

#include <sodium.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

bool FileDigests(const fs::path& file, std::string& prefixMd5, std::string& sha256) {
    std::ifstream in(file, std::ios::binary);
    if (!in || sodium_init() < 0)
        return false;
    constexpr std::size_t kBufferSize = 1 << 20;
    std::vector<char> buffer(kBufferSize);
    CMd5 md5;
    bool shortRead = false;
    crypto_hash_sha256_state state;
    crypto_hash_sha256_init(&state);
    for (;;) {
        in.read(buffer.data(), static_cast<std::streamsize>(kBufferSize));
        const std::size_t read = static_cast<std::size_t>(in.gcount());
        // Whole 512-byte blocks up to the first short read count for the prefix digest.
        if (!shortRead)
            md5.Update(buffer.data(), read / 512 * 512);
        shortRead = shortRead || read < kBufferSize;
        crypto_hash_sha256_update(&state, reinterpret_cast<const unsigned char*>(buffer.data()),
                                  read);
        if (read == 0)
            break;
    }
    if (in.bad())
        return false;
    prefixMd5 = md5.FinalHex();
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256_final(&state, digest);
    char hex[2 * crypto_hash_sha256_BYTES + 1];
    sha256 = sodium_bin2hex(hex, sizeof hex, digest, sizeof digest);
    return true;
}

namespace {

std::string Relative(const fs::path& root, const fs::path& file) {
    std::string text = file.lexically_relative(root).generic_u8string();
    return text;
}

std::string XmlEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// URL path: unreserved characters stay, '/' separates, the rest is %XX.
std::string UrlEncodePath(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '_' || c == '.' || c == '~' || c == '/') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string WindowsSeparators(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

} // namespace

std::vector<ManifestEntry> CollectEntries(const ManifestOptions& options) {
    std::vector<ManifestEntry> entries;
    for (const fs::directory_entry& item : fs::recursive_directory_iterator(options.root)) {
        if (!item.is_regular_file())
            continue;
        ManifestEntry entry;
        entry.relativePath = Relative(options.root, item.path());
        if (options.excluded.count(entry.relativePath))
            continue;
        entry.size = item.file_size();
        if (entry.size > 0x7FFFFFFFu)
            throw std::runtime_error("file too large for a manifest entry: " + entry.relativePath);
        if (!FileDigests(item.path(), entry.hashCode, entry.sha256))
            throw std::runtime_error("cannot read " + entry.relativePath);
        entry.registerServer = options.registered.count(entry.relativePath) > 0;
        if (options.windowsFolder.count(entry.relativePath))
            entry.installDir = "WINDOWSDIR";
        else if (options.systemFolder.count(entry.relativePath))
            entry.installDir = "SYSTEMDIR";
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), [](const ManifestEntry& a, const ManifestEntry& b) {
        return a.relativePath < b.relativePath;
    });
    return entries;
}

std::string WriteManifest(const std::vector<ManifestEntry>& entries, const std::string& baseUrl) {
    std::string base = baseUrl;
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Update>\r\n";
    for (const ManifestEntry& entry : entries) {
        const std::string::size_type slash = entry.relativePath.rfind('/');
        const std::string name =
            slash == std::string::npos ? entry.relativePath : entry.relativePath.substr(slash + 1);
        const std::string folder =
            slash == std::string::npos ? std::string() : entry.relativePath.substr(0, slash);
        xml += "  <File>\r\n";
        xml += "    <FileName>" + XmlEscape(name) + "</FileName>\r\n";
        xml += "    <FileSize>" + std::to_string(entry.size) + "</FileSize>\r\n";
        xml += "    <HashCode>" + entry.hashCode + "</HashCode>\r\n";
        xml += "    <Sha256>" + entry.sha256 + "</Sha256>\r\n";
        xml += "    <InstallDir>" + entry.installDir + "</InstallDir>\r\n";
        xml += "    <LocalPath>" + XmlEscape(WindowsSeparators(folder)) + "</LocalPath>\r\n";
        xml +=
            "    <URL>" + XmlEscape(base + "/" + UrlEncodePath(entry.relativePath)) + "</URL>\r\n";
        xml += std::string("    <Register>") + (entry.registerServer ? "YES" : "NO") +
               "</Register>\r\n";
        xml += "  </File>\r\n";
    }
    xml += "</Update>\r\n";
    return xml;
}
