#include "PixFile.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <new>

namespace Velmora {

bool CPixFile::PutC(uint8_t c) {
    return Write(&c, 1, 1) == 1;
}

CPixIOFile::CPixIOFile(FILE* stream) : m_stream(stream) {}

CPixIOFile::~CPixIOFile() {
    Close();
}

bool CPixIOFile::Open(const char* name, const char* mode) {
    Close();
    if (!name || !mode)
        return false;
    m_stream = std::fopen(name, mode);
    m_owned = m_stream != nullptr;
    return m_stream != nullptr;
}

bool CPixIOFile::Close() {
    if (!m_stream)
        return false;
    bool ok = true;
    if (m_owned)
        ok = std::fclose(m_stream) == 0;
    m_stream = nullptr;
    m_owned = false;
    return ok;
}

size_t CPixIOFile::Read(void* buffer, size_t size, size_t count) {
    if (!m_stream || !buffer || size == 0)
        return 0;
    return std::fread(buffer, size, count, m_stream);
}

size_t CPixIOFile::Write(const void* buffer, size_t size, size_t count) {
    if (!m_stream || !buffer || size == 0)
        return 0;
    return std::fwrite(buffer, size, count, m_stream);
}

bool CPixIOFile::Seek(long offset, int origin) {
    return m_stream && std::fseek(m_stream, offset, origin) == 0;
}

long CPixIOFile::Tell() {
    return m_stream ? std::ftell(m_stream) : -1;
}

long CPixIOFile::Size() {
    if (!m_stream)
        return -1;
    const long position = std::ftell(m_stream);
    if (position < 0 || std::fseek(m_stream, 0, SEEK_END) != 0)
        return -1;
    const long size = std::ftell(m_stream);
    std::fseek(m_stream, position, SEEK_SET);
    return size;
}

bool CPixIOFile::Flush() {
    return m_stream && std::fflush(m_stream) == 0;
}

bool CPixIOFile::Eof() {
    return !m_stream || std::feof(m_stream) != 0;
}

long CPixIOFile::Error() {
    return m_stream ? std::ferror(m_stream) : 1;
}

bool CPixIOFile::PutC(uint8_t c) {
    return m_stream && std::fputc(c, m_stream) != EOF;
}

long CPixIOFile::GetC() {
    return m_stream ? std::fgetc(m_stream) : EOF;
}

char* CPixIOFile::GetS(char* buffer, int length) {
    return m_stream ? std::fgets(buffer, length, m_stream) : nullptr;
}

long CPixIOFile::Scanf(const char* format, void* output) {
    return m_stream ? std::fscanf(m_stream, format, output) : EOF;
}

CPixMemFile::CPixMemFile(const void* data, size_t size)
    : m_data(static_cast<const uint8_t*>(data)), m_size(data ? size : 0) {}

bool CPixMemFile::Open() {
    m_storage.clear();
    m_data = nullptr;
    m_size = 0;
    m_position = 0;
    m_owned = true;
    return true;
}

bool CPixMemFile::Close() {
    m_storage.clear();
    m_storage.shrink_to_fit();
    m_data = nullptr;
    m_size = 0;
    m_position = 0;
    m_owned = false;
    return true;
}

size_t CPixMemFile::Read(void* buffer, size_t size, size_t count) {
    if (!buffer || size == 0 || m_position >= m_size)
        return 0;
    const size_t available = (m_size - m_position) / size;
    const size_t elements = count < available ? count : available;
    std::memcpy(buffer, m_data + m_position, elements * size);
    m_position += elements * size;
    return elements;
}

size_t CPixMemFile::Write(const void* buffer, size_t size, size_t count) {
    if (!m_owned || !buffer || size == 0 || count > std::numeric_limits<size_t>::max() / size)
        return 0;
    const size_t bytes = size * count;
    if (bytes > std::numeric_limits<size_t>::max() - m_position)
        return 0;
    if (m_position + bytes > m_storage.size()) {
        try {
            m_storage.resize(m_position + bytes);
        } catch (const std::bad_alloc&) {
            return 0; // an exported class: a full memory is a failed write
        }
    }
    std::memcpy(m_storage.data() + m_position, buffer, bytes);
    m_position += bytes;
    m_data = m_storage.data();
    if (m_position > m_size)
        m_size = m_position;
    return count;
}

bool CPixMemFile::Seek(long offset, int origin) {
    long base = 0;
    if (origin == SEEK_CUR)
        base = static_cast<long>(m_position);
    else if (origin == SEEK_END)
        base = static_cast<long>(m_size);
    else if (origin != SEEK_SET)
        return false;
    if ((offset > 0 && base > std::numeric_limits<long>::max() - offset) || base + offset < 0)
        return false;
    const size_t target = static_cast<size_t>(base + offset);
    if (target > m_size)
        return false;
    m_position = target;
    return true;
}

long CPixMemFile::Tell() {
    return static_cast<long>(m_position);
}

long CPixMemFile::Size() {
    return static_cast<long>(m_size);
}

bool CPixMemFile::Flush() {
    return true;
}

bool CPixMemFile::Eof() {
    return m_position >= m_size;
}

long CPixMemFile::Error() {
    return 0;
}

long CPixMemFile::GetC() {
    if (m_position >= m_size)
        return EOF;
    return m_data[m_position++];
}

char* CPixMemFile::GetS(char* buffer, int length) {
    if (!buffer || length <= 0 || m_position >= m_size)
        return nullptr;
    int written = 0;
    while (written < length - 1 && m_position < m_size) {
        const char c = static_cast<char>(m_data[m_position++]);
        buffer[written++] = c;
        if (c == '\n')
            break;
    }
    buffer[written] = '\0';
    return buffer;
}

long CPixMemFile::Scanf(const char* format, void* output) {
    if (!format || m_position >= m_size)
        return EOF;
    // sscanf needs a terminated string; a short window is enough for one field.
    const size_t window = m_size - m_position < 255 ? m_size - m_position : 255;
    char text[256];
    std::memcpy(text, m_data + m_position, window);
    text[window] = '\0';
    char counted[256];
    if (std::snprintf(counted, sizeof(counted), "%s%%n", format) >= int{sizeof(counted)})
        return EOF;
    int consumed = 0;
    const int fields = std::sscanf(text, counted, output, &consumed);
    if (fields > 0)
        m_position += static_cast<size_t>(consumed);
    return fields;
}

} // namespace Velmora
