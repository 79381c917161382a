// Owner of a Win32 file handle, and the one way the updater opens an existing
// file for reading (read sharing, as the digest and the install steps need).
#pragma once

#include <windows.h>

#include <utility>

class CFileHandle {
  public:
    explicit CFileHandle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    ~CFileHandle() { Close(); }
    CFileHandle(CFileHandle&& other) noexcept
        : m_handle(std::exchange(other.m_handle, INVALID_HANDLE_VALUE)) {}
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
