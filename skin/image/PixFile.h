// Byte streams the image decoders read through: an abstract file, one over a
// stdio stream and one over a memory block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace Velmora {

class CPixFile {
  public:
    CPixFile() = default;
    CPixFile(const CPixFile&) = delete;
    CPixFile& operator=(const CPixFile&) = delete;
    virtual ~CPixFile() = default;

    virtual bool Close() = 0;
    // Returns the number of whole elements read or written.
    virtual size_t Read(void* buffer, size_t size, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t size, size_t count) = 0;
    virtual bool Seek(long offset, int origin) = 0;
    virtual long Tell() = 0;
    virtual long Size() = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() = 0;
    virtual long Error() = 0;
    virtual bool PutC(uint8_t c);
    // Returns the byte read, or EOF at the end.
    virtual long GetC() = 0;
    virtual char* GetS(char* buffer, int length) = 0;
    virtual long Scanf(const char* format, void* output) = 0;
};

// A stdio stream; closes it only when it opened the stream itself.
class CPixIOFile : public CPixFile {
  public:
    explicit CPixIOFile(FILE* stream = nullptr);
    ~CPixIOFile() override;

    bool Open(const char* name, const char* mode);
    bool Close() override;
    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(long offset, int origin) override;
    long Tell() override;
    long Size() override;
    bool Flush() override;
    bool Eof() override;
    long Error() override;
    bool PutC(uint8_t c) override;
    long GetC() override;
    char* GetS(char* buffer, int length) override;
    long Scanf(const char* format, void* output) override;

  private:
    FILE* m_stream;
    bool m_owned = false;
};

// A memory block: either borrowed (read only, fixed size) or owned and grown
// by writes.
class CPixMemFile : public CPixFile {
  public:
    CPixMemFile() = default;
    CPixMemFile(const void* data, size_t size);
    ~CPixMemFile() override = default;

    // Starts an empty owned buffer, dropping whatever the file held.
    bool Open();
    const uint8_t* GetBuffer() const { return m_data; }

    bool Close() override;
    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(long offset, int origin) override;
    long Tell() override;
    long Size() override;
    bool Flush() override;
    bool Eof() override;
    long Error() override;
    long GetC() override;
    char* GetS(char* buffer, int length) override;
    long Scanf(const char* format, void* output) override;

  private:
    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_position = 0;
    bool m_owned = false;
    std::vector<uint8_t> m_storage;
};

} // namespace Velmora
