#include "AsciiCase.h"
#include "Manager.h"
#include "SkinDatabase.h"
#include "SkinDescription.h"
#include "XmlDocument.h"

#include <windows.h>

#include <cstring>
#include <limits>
#include <new>

namespace Velmora {

namespace {

// Names are compared ignoring the case of ASCII letters only; the trail byte of
// a double-byte character can look like a letter and must be kept as it is.
std::string FoldEntryName(const char* name) {
    std::string folded;
    for (const char* p = name; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (IsDBCSLeadByte(c) && p[1]) {
            folded += *p;
            folded += *++p;
            continue;
        }
        folded += AsciiLower(*p);
    }
    return folded;
}

struct FileHandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, FileHandleCloser>;

struct FindHandleCloser {
    void operator()(HANDLE handle) const { FindClose(handle); }
};
using FindHandle = std::unique_ptr<void, FindHandleCloser>;

// Joins the program's folder and parts with backslashes; empty when the
// folder is unknown (a relative path would name the current folder instead)
// or the path would not fit in MAX_PATH.
std::string ModulePath(std::initializer_list<const char*> parts) {
    std::string path = CManager::GetModuleDirectory();
    if (path.empty())
        return path;
    for (const char* part : parts) {
        path += '\\';
        path += part;
    }
    return path.size() > kMaxSkinNameLength ? std::string() : path;
}

// Converts one run of non-ASCII UTF-8 bytes through UTF-16 to the ANSI code page.
void AppendUtf8AsAnsi(const char* text, int length, std::string& ansi) {
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, text, length, nullptr, 0);
    if (wideLength <= 0)
        return;
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, length, wide.data(), wideLength);
    const int ansiLength =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (ansiLength <= 0)
        return;
    const size_t at = ansi.size();
    ansi.resize(at + static_cast<size_t>(ansiLength));
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, &ansi[at], ansiLength, nullptr,
                        nullptr);
}

// A description is UTF-8 on disk and ANSI once read. ASCII bytes are the same
// in both and never part of a UTF-8 sequence, so only the runs between them
// go through the system's conversion. A leading byte-order mark has no ANSI
// form and would hide the document's first element.
std::string Utf8ToAnsi(const uint8_t* bytes, size_t size) {
    if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        bytes += 3;
        size -= 3;
    }
    const char* text = reinterpret_cast<const char*>(bytes);
    std::string ansi;
    ansi.reserve(size);
    size_t at = 0;
    while (at < size) {
        size_t end = at;
        while (end < size && bytes[end] < 0x80)
            ++end;
        ansi.append(text + at, end - at);
        at = end;
        while (end < size && bytes[end] >= 0x80)
            ++end;
        if (end > at) {
            if (end - at > static_cast<size_t>(std::numeric_limits<int>::max()))
                return std::string();
            AppendUtf8AsAnsi(text + at, static_cast<int>(end - at), ansi);
            at = end;
        }
    }
    return ansi;
}

// The image layer's format id for a database entry, from its name's ending.
uint32_t ImageFormatOfEntry(EntryKind kind) {
    switch (kind) {
    case ENTRY_BMP:
        return PIXFORMAT_BMP;
    case ENTRY_GIF:
        return PIXFORMAT_GIF;
    case ENTRY_JPG:
        return PIXFORMAT_JPG;
    case ENTRY_PNG:
        return PIXFORMAT_PNG;
    default:
        return PIXFORMAT_UNKNOWN;
    }
}

// The index's items in document order; none when it has no "file" root.
std::vector<SkinIndexItem> ReadIndexItems(const uint8_t* unpacked, uint32_t indexLength) {
    const std::string indexText(reinterpret_cast<const char*>(unpacked), indexLength);
    CXmlDocument index;
    index.SetDocument(indexText.c_str());
    std::vector<SkinIndexItem> items;
    if (!index.FindElement("file"))
        return items;
    index.IntoElement();
    while (index.FindElement("item"))
        items.push_back({index.GetAttribute("name"), index.GetAttribute("size")});
    index.OutOfElement();
    return items;
}

} // namespace

void CManager::AddSkinEntry(std::unique_ptr<SkinEntry> entry) {
    m_entryByFoldedName.emplace(FoldEntryName(entry->name.c_str()), entry.get());
    m_entries.push_back(std::move(entry));
}

bool CManager::FindEntry(const std::string& name, SkinEntryData& entry) const {
    const SkinEntry* found = FindSkinEntry(name.c_str());
    if (!found)
        return false;
    entry.bytes = found->data.get();
    entry.size = found->size;
    entry.imageFormat = ImageFormatOfEntry(found->kind);
    return true;
}

const SkinEntry* CManager::FindSkinEntry(const char* name) const {
    if (!name)
        return nullptr;
    auto found = m_entryByFoldedName.find(FoldEntryName(name));
    return found == m_entryByFoldedName.end() ? nullptr : found->second;
}

std::string CManager::GetModuleDirectory() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    std::string directory(path, length);
    const size_t separator = directory.find_last_of("\\/");
    directory.resize(separator == std::string::npos ? 0 : separator);
    return directory;
}

int CManager::LoadSkinFolder(const char* folderName) {
    // What was read before memory ran out stays loaded, as it does when a
    // later description fails.
    try {
        return LoadFolderDescriptions(folderName);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int CManager::LoadFolderDescriptions(const char* folderName) {
    if (!folderName)
        return 0;
    const std::string pattern = ModulePath({folderName, "*.*"});
    if (pattern.empty())
        return 0;
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA(pattern.c_str(), &found));
    if (search.get() == INVALID_HANDLE_VALUE) {
        search.release();
        return 0;
    }
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (EntryKindOfName(found.cFileName) != ENTRY_XML)
            continue;
        const std::string path = ModulePath({folderName, found.cFileName});
        if (path.empty())
            return 0;
        const std::string resourceFolder = path.substr(0, path.size() - 4);
        // Any folder will do, whatever other attributes (read-only, archive...)
        // it carries; only a missing folder or a file of that name stops.
        const DWORD attributes = GetFileAttributesA(resourceFolder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return 0;
        CXmlDocument description;
        if (!description.LoadFile(path.c_str()))
            return 0;
        if (!ParseSkinDescription(*this, description, resourceFolder.c_str(), ""))
            return 0;
    } while (FindNextFileA(search.get(), &found));
    return 1;
}

int CManager::LoadSkinFile(const char* fileName) {
    if (!fileName)
        return 0;
    const std::string path = ModulePath({fileName});
    if (path.empty())
        return 0;
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return 0;
    }
    LARGE_INTEGER fileSize;
    // Deflate's stored blocks add a few bytes per 64 KiB at most, so a file far
    // beyond the unpacked cap cannot hold a valid database.
    constexpr LONGLONG kMaxFileSize = LONGLONG(kMaxSkinUnpackedSize) + (1 << 20);
    if (!GetFileSizeEx(file.get(), &fileSize) || fileSize.QuadPart > kMaxFileSize)
        return 0;
    const size_t size = static_cast<size_t>(fileSize.QuadPart);
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size + 1]());
    if (!buffer)
        return 0;
    size_t done = 0;
    while (done < size) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer.get() + done, static_cast<DWORD>(size - done), &read,
                      nullptr) ||
            read == 0)
            return 0;
        done += read;
    }
    return LoadSkinFromSkinDBFileBuf(buffer.get(), size);
}

int CManager::LoadSkinFromResource(const char* resourceName, const char* resourceType) {
    try {
        HRSRC resource = FindResourceA(nullptr, resourceName, resourceType);
        if (!resource)
            throw "FindResource failed";
        const DWORD size = SizeofResource(nullptr, resource);
        if (size == 0)
            throw "SizeofResource equal 0";
        HGLOBAL loaded = LoadResource(nullptr, resource);
        if (!loaded)
            throw "LoadResource failed";
        const void* bytes = LockResource(loaded);
        if (!bytes)
            throw "LockResource failed";
        if (!LoadSkinFromSkinDBFileBuf(bytes, size))
            throw "LoadSkinFromSkinDBFileBuf failed";
        return 1;
    } catch (const char*) {
        return 0;
    }
}

int CManager::LoadSkinFromSkinDBFileBuf(const void* buffer, size_t size) {
    try {
        SkinDatabaseContent content;
        if (!InflateSkinDatabase(static_cast<const uint8_t*>(buffer), size, content))
            return 0;
        return LoadSkinEntries(content.unpacked.get(), content.unpackedSize, content.indexLength);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int CManager::LoadSkinEntries(const uint8_t* unpacked, size_t unpackedSize, uint32_t indexLength) {
    if (!unpacked || indexLength > unpackedSize)
        return 0;
    std::vector<SkinEntrySpan> spans;
    if (!LayOutSkinEntries(ReadIndexItems(unpacked, indexLength), unpackedSize, indexLength, spans))
        return 0;
    // Every copy is made before the first is added, so that running out of
    // memory half-way leaves the list as it was.
    std::vector<std::unique_ptr<SkinEntry>> entries;
    for (const SkinEntrySpan& span : spans) {
        if (span.kind == ENTRY_UNKNOWN)
            continue;
        auto entry = std::make_unique<SkinEntry>();
        entry->data.reset(new uint8_t[span.size + 1u]);
        std::memcpy(entry->data.get(), unpacked + span.offset, span.size);
        entry->size = span.size;
        entry->name = span.name;
        entry->kind = span.kind;
        entries.push_back(std::move(entry));
    }
    m_entries.reserve(m_entries.size() + entries.size());
    for (std::unique_ptr<SkinEntry>& entry : entries)
        AddSkinEntry(std::move(entry));
    return LoadDescriptionEntries();
}

// Only descriptions not read before: a second database must not register the
// first one's windows again.
int CManager::LoadDescriptionEntries() {
    for (; m_entriesDescribed < m_entries.size(); ++m_entriesDescribed) {
        const SkinEntry& entry = *m_entries[m_entriesDescribed];
        if (entry.kind != ENTRY_XML)
            continue;
        const std::string text = Utf8ToAnsi(entry.data.get(), entry.size);
        CXmlDocument description;
        description.SetDocument(text.c_str());
        const std::string prefix = entry.name.substr(0, entry.name.rfind('.'));
        ParseSkinDescription(*this, description, "", prefix.c_str());
    }
    return 1;
}

} // namespace Velmora
