// Owner of a Win32 file handle, and the one way the updater opens an existing
// file for reading (read sharing, as the digest and the install steps need);
// a read-only view of a whole file.
#pragma once

#include <windows.h>

#include <cstddef>
#include <utility>

class CFileHandle {
  public:
    explicit CFileHandle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    ~CFileHandle() { Close(); }
    CFileHandle(CFileHandle&& other) noexcept
        : m_handle(std::exchange(other.m_handle, INVALID_HANDLE_VALUE)) {}
    CFileHandle& operator=(CFileHandle&& other) noexcept {
        if (this != &other) {
            Close();
            m_handle = std::exchange(other.m_handle, INVALID_HANDLE_VALUE);
        }
        return *this;
    }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    bool IsValid() const { return m_handle != INVALID_HANDLE_VALUE; }
    void Close() {
        if (IsValid())
            CloseHandle(std::exchange(m_handle, INVALID_HANDLE_VALUE));
    }

    static CFileHandle OpenForReading(const char* path) {
        return CFileHandle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    }

  private:
    HANDLE m_handle;
};

// A whole file mapped for reading. Nobody may write the file while the view
// is open, and its pages are the file's own, not the process's memory.
class CFileView {
  public:
    CFileView() = default;
    ~CFileView() {
        if (m_view)
            UnmapViewOfFile(m_view);
        if (m_mapping)
            CloseHandle(m_mapping);
    }
    CFileView(const CFileView&) = delete;
    CFileView& operator=(const CFileView&) = delete;

    // False when the file cannot be opened or mapped; an empty file gives an empty view.
    bool Open(const char* path) {
        m_file = CFileHandle::OpenForReading(path);
        LARGE_INTEGER size = {};
        if (!m_file.IsValid() || !GetFileSizeEx(m_file.Get(), &size) ||
            static_cast<unsigned long long>(size.QuadPart) > (~std::size_t(0) >> 1))
            return false;
        m_size = static_cast<std::size_t>(size.QuadPart);
        if (m_size == 0)
            return true;
        m_mapping = CreateFileMappingA(m_file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (m_mapping)
            m_view = MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, 0);
        return m_view != nullptr;
    }
    const unsigned char* Data() const { return static_cast<const unsigned char*>(m_view); }
    std::size_t Size() const { return m_size; }

  private:
    CFileHandle m_file;
    HANDLE m_mapping = nullptr;
    void* m_view = nullptr;
    std::size_t m_size = 0;
};
