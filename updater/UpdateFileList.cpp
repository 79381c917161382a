#include "UpdateFileList.h"

#include "AppFramework.h"
#include "ComPtr.h"
#include "FileHandle.h"
#include "Md5.h"

#include <windows.h>

#include <msxml.h>
#include <shlobj.h>

#include <cstdio>
#include <mutex>
#include <vector>

namespace {

// The MSXML DOM document: class and interface as the system registers them.
const CLSID kDomDocumentClass = {
    0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kDomDocumentInterface = {
    0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

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

std::string ToAnsi(const wchar_t* text) {
    if (!text || !*text)
        return std::string();
    int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return std::string();
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &result[0], length, nullptr, nullptr);
    result.resize(static_cast<std::size_t>(length - 1));
    return result;
}

std::wstring FromThreadCodePage(const char* text) {
    int length = MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, &result[0], length);
    result.resize(static_cast<std::size_t>(length - 1));
    return result;
}

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

// Large reads; only whole 512-byte blocks up to the first short read count.
constexpr std::size_t kHashBufferSize = 1024 * 1024;

std::string PrefixDigestOf(HANDLE file, std::vector<unsigned char>& buffer) {
    constexpr DWORD kBlock = 512;
    const DWORD size = static_cast<DWORD>(buffer.size());
    CMd5 md5;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer.data(), size, &read, nullptr))
            read = 0;
        md5.Update(buffer.data(), read / kBlock * kBlock);
        if (read < size)
            break;
    }
    return md5.FinalHex();
}

void StoreField(CUpdateFileInfo& record, const wchar_t* key, const std::string& value) {
    if (_wcsicmp(key, L"FileName") == 0)
        record.fileName = value;
    else if (_wcsicmp(key, L"FileSize") == 0)
        record.size = ParseFileSize(value);
    else if (_wcsicmp(key, L"HashCode") == 0)
        record.hashCode = value;
    else if (_wcsicmp(key, L"InstallDir") == 0)
        record.installDir = value;
    else if (_wcsicmp(key, L"Register") == 0)
        record.registerServer = lstrcmpiA(value.c_str(), "YES") == 0;
    else if (_wcsicmp(key, L"LocalPath") == 0)
        record.localPath = value;
    else if (_wcsicmp(key, L"URL") == 0)
        record.url = value;
}

} // namespace

CUpdateFileList::CUpdateFileList()
    : m_programFolder(framework::ModuleFolder()), m_windowsFolder(WindowsFolderPath()),
      m_systemFolder(SystemFolderPath()) {}

CUpdateFileList::~CUpdateFileList() {
    Clear();
}

std::string CUpdateFileList::TargetPathOf(const CUpdateFileInfo& record) const {
    const char* base = m_programFolder.c_str();
    bool programFolder = false;
    if (lstrcmpiA(record.installDir.c_str(), "WINDOWSDIR") == 0)
        base = m_windowsFolder.c_str();
    else if (lstrcmpiA(record.installDir.c_str(), "SYSTEMDIR") == 0)
        base = m_systemFolder.c_str();
    else
        programFolder = true;

    std::vector<char> path(MAX_PATH * 4, '\0');
    if (record.localPath.empty()) {
        std::snprintf(path.data(), path.size(), "%s\\%s", base, record.fileName.c_str());
    } else {
        if (programFolder) {
            std::string folder = m_programFolder + "\\" + record.localPath;
            SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
        }
        std::snprintf(path.data(), path.size(), "%s\\%s\\%s", base, record.localPath.c_str(),
                      record.fileName.c_str());
    }
    return path.data();
}

bool CUpdateFileList::Load(const char* manifestPath) {
    std::lock_guard<CCriticalSection> guard(m_lock);
    m_records.clear();

    ComPtr<IXMLDOMDocument> document;
    if (FAILED(CoCreateInstance(kDomDocumentClass, nullptr, CLSCTX_INPROC_SERVER,
                                kDomDocumentInterface, document.PutVoid())) ||
        !document)
        return false;
    document->put_async(VARIANT_FALSE);

    CBstr pathText(FromThreadCodePage(manifestPath).c_str());
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = pathText.Get();
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (FAILED(document->load(source, &loaded)) || loaded != VARIANT_TRUE)
        return false;

    ComPtr<IXMLDOMElement> root;
    if (FAILED(document->get_documentElement(root.Put())) || !root)
        return false;
    CBstr fileTag(L"File");
    ComPtr<IXMLDOMNodeList> files;
    if (FAILED(root->getElementsByTagName(fileTag.Get(), files.Put())) || !files)
        return false;
    long count = 0;
    if (FAILED(files->get_length(&count)))
        return false;

    for (long index = 0; index < count; ++index) {
        ComPtr<IXMLDOMNode> item;
        if (FAILED(files->get_item(index, item.Put())) || !item)
            continue;
        auto record = std::make_unique<CUpdateFileInfo>();
        ComPtr<IXMLDOMNode> child;
        item->get_firstChild(child.Put());
        while (child) {
            CBstr name, text;
            if (SUCCEEDED(child->get_nodeName(name.Put())) && name.Get() &&
                SUCCEEDED(child->get_text(text.Put())))
                StoreField(*record, name.Get(), ToAnsi(text.Get()));
            ComPtr<IXMLDOMNode> next;
            child->get_nextSibling(next.Put());
            child.Swap(next);
        }
        if (!StaysInsideBase(record->fileName) || !StaysInsideBase(record->localPath)) {
            m_records.clear();
            return false;
        }
        record->targetPath = TargetPathOf(*record);
        m_records.push_back(std::move(record));
    }
    return true;
}

int CUpdateFileList::FilterNeedsUpdate() {
    std::lock_guard<CCriticalSection> guard(m_lock);
    // One buffer for every file: a fresh megabyte per file costs more than small files do.
    std::vector<unsigned char> buffer(kHashBufferSize);
    int remaining = 0;
    for (auto it = m_records.begin(); it != m_records.end();) {
        if (NeedsUpdate(**it, buffer)) {
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
        if (record->needsUpdate)
            total += record->ExpectedSize();
    return total;
}

std::unique_ptr<CUpdateFileInfo> CUpdateFileList::PopFront() {
    std::lock_guard<CCriticalSection> guard(m_lock);
    if (m_records.empty())
        return nullptr;
    std::unique_ptr<CUpdateFileInfo> first = std::move(m_records.front());
    m_records.pop_front();
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
    return NeedsUpdate(record, buffer);
}

bool CUpdateFileList::NeedsUpdate(CUpdateFileInfo& record, std::vector<unsigned char>& buffer) {
    std::lock_guard<CCriticalSection> guard(m_lock);
    // One open serves the size and the digest.
    CFileHandle local = CFileHandle::OpenForReading(record.targetPath.c_str());
    if (!local.IsValid()) {
        record.needsUpdate = true;
        return true;
    }
    LARGE_INTEGER localSize = {};
    const bool sizeKnown = GetFileSizeEx(local.Get(), &localSize) != 0;
    // The digest covers only whole 512-byte blocks, so a change in the tail of
    // a file would go unnoticed: a size that differs from the manifest's
    // counts as well.
    if (sizeKnown && record.ExpectedSize() != 0 &&
        static_cast<std::uint64_t>(localSize.QuadPart) != record.ExpectedSize()) {
        record.needsUpdate = true;
        return true;
    }
    if (lstrcmpiA(PrefixDigestOf(local.Get(), buffer).c_str(), record.hashCode.c_str()) != 0)
        record.needsUpdate = true;
    return record.needsUpdate;
}

bool CUpdateFileList::ComputeFileHash(const char* path, std::string& digest) {
    CFileHandle file = CFileHandle::OpenForReading(path);
    if (!file.IsValid())
        return false;
    std::vector<unsigned char> buffer(kHashBufferSize);
    digest = PrefixDigestOf(file.Get(), buffer);
    return true;
}
