#include "UpdateFileList.h"

#include "AppFramework.h"
#include "FileHandle.h"
#include "ManifestReader.h"
#include "Md5.h"

#include <sodium.h>

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <mutex>
#include <functional>
#include <set>

namespace {

std::string WindowsFolderPath() {
    char path[MAX_PATH] = {};
    GetWindowsDirectoryA(path, MAX_PATH);
    return path;
}

std::string SystemFolderPath() {
    char path[MAX_PATH] = {};
    GetSystemDirectoryA(path, MAX_PATH);
    return path;
}

static_assert(sizeof(wchar_t) == sizeof(char16_t), "manifest texts are UTF-16 as the system's");

std::string ToAnsi(const std::u16string& text) {
    if (std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; }))
        return std::string(text.begin(), text.end());
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int wideLength = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide, wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, wideLength, &result[0], length, nullptr, nullptr);
    return result;
}

// Legacy code pages of manifests, decoded by the system's tables.
class CSystemCodePage : public IManifestCodePage {
  public:
    bool Select(unsigned codePage) override {
        // ISO-2022, HZ and UTF-7 switch meaning on escape sequences made of ASCII bytes.
        static const unsigned kShifting[] = {50220, 50221, 50222, 50225,
                                             50227, 50229, 52936, 65000};
        if (std::find(std::begin(kShifting), std::end(kShifting), codePage) !=
                std::end(kShifting) ||
            !IsValidCodePage(codePage))
            return false;
        char ascii[98];
        wchar_t wide[98];
        int count = 0;
        for (char c : {'\t', '\n', '\r'})
            ascii[count++] = c;
        for (char c = ' '; c < 0x7F; ++c)
            ascii[count++] = c;
        if (MultiByteToWideChar(codePage, 0, ascii, count, wide, count) != count)
            return false;
        for (int i = 0; i < count; ++i)
            if (wide[i] != static_cast<unsigned char>(ascii[i]))
                return false;
        m_codePage = codePage;
        return true;
    }

    std::size_t Decode(const unsigned char* bytes, std::size_t available,
                       char32_t& character) override {
        const char* text = reinterpret_cast<const char*>(bytes);
        wchar_t wide[2];
        for (std::size_t length = 1; length <= 4 && length <= available; ++length) {
            const int units = MultiByteToWideChar(m_codePage, MB_ERR_INVALID_CHARS, text,
                                                  static_cast<int>(length), wide, 2);
            if (units == 1 && (wide[0] < 0xD800 || wide[0] > 0xDFFF)) {
                character = wide[0];
                return length;
            }
            if (units == 2 && wide[0] >= 0xD800 && wide[0] <= 0xDBFF && wide[1] >= 0xDC00 &&
                wide[1] <= 0xDFFF) {
                character = 0x10000 + ((wide[0] - 0xD800u) << 10) + (wide[1] - 0xDC00u);
                return length;
            }
        }
        return 0;
    }

  private:
    unsigned m_codePage = 0;
};

// The C runtime's atoi without its undefined overflow: leading blanks, an
// optional sign, digits up to the first other character; clamped to 32 bits.
std::int32_t ParseFileSize(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 0x80000000LL)
            value = 0x80000000LL;
    }
    if (negative)
        value = -value;
    if (value > 0x7FFFFFFFLL)
        value = 0x7FFFFFFFLL;
    return static_cast<std::int32_t>(value);
}

// A manifest path must stay inside its base folder: no root, no drive or
// stream colon, no parent component.
bool StaysInsideBase(const std::string& path) {
    if (path.empty())
        return true;
    if (path[0] == '\\' || path[0] == '/' || path.find(':') != std::string::npos)
        return false;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of("\\/", start);
        if (end == std::string::npos)
            end = path.size();
        // Windows drops trailing dots and blanks, so ".. " and "..." climb too.
        const std::string component = path.substr(start, end - start);
        if (component.find_first_not_of(". ") == std::string::npos &&
            component.find("..") != std::string::npos)
            return false;
        start = end + 1;
    }
    return true;
}

// Files are read in large pieces, one buffer for a whole check; the first piece is
// smaller, because the system's reads cost in proportion to the buffer they are given
// and most files are small.
constexpr std::size_t kHashBufferSize = 1024 * 1024;
constexpr DWORD kFirstPiece = 64 * 1024;

DWORD ReadPiece(HANDLE file, std::vector<unsigned char>& buffer, DWORD size) {
    DWORD read = 0;
    if (!ReadFile(file, buffer.data(), size, &read, nullptr))
        read = 0;
    return read;
}

// Reads an open file to its end, the first piece (`read` of `requested` bytes) already in the
// buffer, and hands each piece to feed; the first short read ends the file.
template <class Feed>
void ReadThrough(HANDLE file, std::vector<unsigned char>& buffer, DWORD read, DWORD requested,
                 Feed feed) {
    for (;;) {
        feed(buffer.data(), read);
        if (read < requested)
            return;
        requested = static_cast<DWORD>(buffer.size());
        read = ReadPiece(file, buffer, requested);
    }
}

// The prefix digest: only whole 512-byte blocks count (pieces are whole blocks but the last).
std::string PrefixDigestOf(HANDLE file, std::vector<unsigned char>& buffer, DWORD read,
                           DWORD requested) {
    CMd5 md5;
    ReadThrough(file, buffer, read, requested, [&md5](const unsigned char* data, DWORD size) {
        md5.Update(data, size / 512 * 512);
    });
    return md5.FinalHex();
}

// The whole file's SHA-256.
std::string Sha256Of(HANDLE file, std::vector<unsigned char>& buffer, DWORD read, DWORD requested) {
    crypto_hash_sha256_state state;
    crypto_hash_sha256_init(&state);
    ReadThrough(file, buffer, read, requested, [&state](const unsigned char* data, DWORD size) {
        crypto_hash_sha256_update(&state, data, size);
    });
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256_final(&state, digest);
    char hex[2 * crypto_hash_sha256_BYTES + 1];
    return sodium_bin2hex(hex, sizeof hex, digest, sizeof digest);
}

bool IsHex(const std::string& text, std::size_t digits) {
    return text.size() == digits && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
           });
}

// Digests are hexadecimal: compared ignoring the case of ASCII letters only.
bool SameDigest(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

bool KeyIs(const std::u16string& name, const char* key) {
    std::size_t i = 0;
    for (; key[i]; ++i) {
        if (i >= name.size())
            return false;
        const char16_t c = name[i];
        const char16_t lower = c >= 'A' && c <= 'Z' ? static_cast<char16_t>(c - 'A' + 'a') : c;
        const char k =
            key[i] >= 'A' && key[i] <= 'Z' ? static_cast<char>(key[i] - 'A' + 'a') : key[i];
        if (lower != static_cast<char16_t>(k))
            return false;
    }
    return i == name.size();
}

void StoreField(CUpdateFileInfo& record, const std::u16string& key, const std::u16string& text) {
    if (KeyIs(key, "FileName"))
        record.fileName = ToAnsi(text);
    else if (KeyIs(key, "FileSize"))
        record.size = ParseFileSize(ToAnsi(text));
    else if (KeyIs(key, "HashCode"))
        record.hashCode = ToAnsi(text);
    else if (KeyIs(key, "Sha256"))
        record.sha256 = ToAnsi(text);
    else if (KeyIs(key, "InstallDir"))
        record.installDir = ToAnsi(text);
    else if (KeyIs(key, "Register"))
        record.registerServer = lstrcmpiA(ToAnsi(text).c_str(), "YES") == 0;
    else if (KeyIs(key, "LocalPath"))
        record.localPath = ToAnsi(text);
    else if (KeyIs(key, "URL"))
        record.url = ToAnsi(text);
}

} // namespace

CUpdateFileList::CUpdateFileList()
    : m_programFolder(framework::ModuleFolder()), m_windowsFolder(WindowsFolderPath()),
      m_systemFolder(SystemFolderPath()) {}

CUpdateFileList::~CUpdateFileList() {
    Clear();
}

const std::string& CUpdateFileList::BaseFolderOf(const CUpdateFileInfo& record) const {
    if (lstrcmpiA(record.installDir.c_str(), "WINDOWSDIR") == 0)
        return m_windowsFolder;
    if (lstrcmpiA(record.installDir.c_str(), "SYSTEMDIR") == 0)
        return m_systemFolder;
    return m_programFolder;
}

std::string CUpdateFileList::TargetPathOf(const CUpdateFileInfo& record) const {
    const std::string& base = BaseFolderOf(record);
    if (record.localPath.empty())
        return base + "\\" + record.fileName;
    return base + "\\" + record.localPath + "\\" + record.fileName;
}

std::string CUpdateFileList::FolderToMake(const CUpdateFileInfo& record) const {
    if (record.localPath.empty() || &BaseFolderOf(record) != &m_programFolder)
        return std::string();
    return m_programFolder + "\\" + record.localPath;
}

namespace {

// Makes one record per "File" element; a path that leaves its base folder refuses the
// manifest. Folders are only noted here: none is made for a manifest that is refused.
class CRecordBuilder : public IManifestHandler {
  public:
    CRecordBuilder(std::list<CUpdateFileInfo>& records, bool requireSha256,
                   std::function<std::string(const CUpdateFileInfo&)> folderToMake)
        : m_records(records), m_requireSha256(requireSha256),
          m_folderToMake(std::move(folderToMake)) {}

    void BeginFile() override {
        m_records.emplace_back();
        m_open.push_back(&m_records.back());
    }
    void Field(const std::u16string& name, const std::u16string& text) override {
        if (!m_open.empty())
            StoreField(*m_open.back(), name, text);
    }
    bool EndFile() override {
        const CUpdateFileInfo& record = *m_open.back();
        m_open.pop_back();
        if (!StaysInsideBase(record.fileName) || !StaysInsideBase(record.localPath))
            return false;
        // A whole-file digest that is given must be one; a signed manifest must give it.
        if (record.sha256.empty() ? m_requireSha256 : !IsHex(record.sha256, 64))
            return false;
        std::string folder = m_folderToMake(record);
        if (!folder.empty())
            m_folders.insert(std::move(folder));
        return true;
    }
    const std::set<std::string>& Folders() const { return m_folders; }

  private:
    std::list<CUpdateFileInfo>& m_records;
    bool m_requireSha256;
    std::function<std::string(const CUpdateFileInfo&)> m_folderToMake;
    // Records whose "File" element is open; fields go to the innermost.
    std::vector<CUpdateFileInfo*> m_open;
    std::set<std::string> m_folders;
};

} // namespace

bool CUpdateFileList::Load(const char* manifestPath) {
    std::lock_guard<CCriticalSection> guard(m_lock);
    m_records.clear();
    CFileView manifest;
    return manifest.Open(manifestPath) && Load(manifest.Data(), manifest.Size());
}

bool CUpdateFileList::Load(const unsigned char* manifest, std::size_t size, bool requireSha256) {
    std::lock_guard<CCriticalSection> guard(m_lock);
    m_records.clear();
    CRecordBuilder builder(m_records, requireSha256,
                           [this](const CUpdateFileInfo& record) { return FolderToMake(record); });
    CSystemCodePage codePages;
    if (!ReadManifest(manifest, size, builder, codePages)) {
        m_records.clear();
        return false;
    }
    // Each folder once, with every missing parent.
    for (const std::string& folder : builder.Folders())
        SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    return true;
}

int CUpdateFileList::FilterNeedsUpdate() {
    std::lock_guard<CCriticalSection> guard(m_lock);
    // One buffer for every file: a fresh megabyte per file costs more than small files do.
    std::vector<unsigned char> buffer(kHashBufferSize);
    int remaining = 0;
    for (auto it = m_records.begin(); it != m_records.end();) {
        if (NeedsUpdate(*it, TargetPathOf(*it), buffer)) {
            ++remaining;
            ++it;
        } else {
            it = m_records.erase(it);
        }
    }
    return remaining;
}

std::uint32_t CUpdateFileList::TotalSize() {
    std::lock_guard<CCriticalSection> guard(m_lock);
    std::uint32_t total = 0;
    for (const auto& record : m_records)
        if (record.needsUpdate)
            total += record.ExpectedSize();
    return total;
}

std::unique_ptr<CUpdateFileInfo> CUpdateFileList::PopFront() {
    std::lock_guard<CCriticalSection> guard(m_lock);
    if (m_records.empty())
        return nullptr;
    auto first = std::make_unique<CUpdateFileInfo>(std::move(m_records.front()));
    m_records.pop_front();
    first->targetPath = TargetPathOf(*first);
    return first;
}

void CUpdateFileList::Clear() {
    std::lock_guard<CCriticalSection> guard(m_lock);
    m_records.clear();
}

int CUpdateFileList::Count() {
    std::lock_guard<CCriticalSection> guard(m_lock);
    return static_cast<int>(m_records.size());
}

bool CUpdateFileList::NeedsUpdate(CUpdateFileInfo& record) {
    std::vector<unsigned char> buffer(kHashBufferSize);
    return NeedsUpdate(record, TargetPathOf(record), buffer);
}

bool CUpdateFileList::NeedsUpdate(CUpdateFileInfo& record, const std::string& targetPath,
                                  std::vector<unsigned char>& buffer) {
    std::lock_guard<CCriticalSection> guard(m_lock);
    // One open serves the size and the digest.
    CFileHandle local = CFileHandle::OpenForReading(targetPath.c_str());
    if (!local.IsValid()) {
        record.needsUpdate = true;
        return true;
    }
    // A first read shorter than the buffer has told the size; only larger files are asked.
    const DWORD first = ReadPiece(local.Get(), buffer, kFirstPiece);
    LARGE_INTEGER localSize = {};
    localSize.QuadPart = first;
    const bool sizeKnown = first < kFirstPiece || GetFileSizeEx(local.Get(), &localSize);
    // The digest covers only whole 512-byte blocks, so a change in the tail of
    // a file would go unnoticed: a size that differs from the manifest's
    // counts as well.
    if (sizeKnown && record.ExpectedSize() != 0 &&
        static_cast<std::uint64_t>(localSize.QuadPart) != record.ExpectedSize()) {
        record.needsUpdate = true;
        return true;
    }
    const bool current =
        record.sha256.empty()
            ? SameDigest(PrefixDigestOf(local.Get(), buffer, first, kFirstPiece), record.hashCode)
            : SameDigest(Sha256Of(local.Get(), buffer, first, kFirstPiece), record.sha256);
    if (!current)
        record.needsUpdate = true;
    return record.needsUpdate;
}

namespace {

// A digest above of a whole file; false when the file cannot be opened.
bool DigestOfFile(const char* path, std::string& digest,
                  std::string (*digestOf)(HANDLE, std::vector<unsigned char>&, DWORD, DWORD)) {
    CFileHandle file = CFileHandle::OpenForReading(path);
    if (!file.IsValid())
        return false;
    std::vector<unsigned char> buffer(kHashBufferSize);
    digest = digestOf(file.Get(), buffer, ReadPiece(file.Get(), buffer, kFirstPiece), kFirstPiece);
    return true;
}

} // namespace

bool CUpdateFileList::ComputeFileHash(const char* path, std::string& digest) {
    return DigestOfFile(path, digest, PrefixDigestOf);
}

bool CUpdateFileList::ComputeFileSha256(const char* path, std::string& digest) {
    return DigestOfFile(path, digest, Sha256Of);
}

bool CUpdateFileList::HasDigest(const char* path, const std::string& hashCode,
                                const std::string& sha256) {
    std::string digest;
    if (!sha256.empty())
        return ComputeFileSha256(path, digest) && SameDigest(digest, sha256);
    return hashCode.empty() || (ComputeFileHash(path, digest) && SameDigest(digest, hashCode));
}
