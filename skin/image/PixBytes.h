// Little helpers the decoders share for reading little-endian fields and whole
// blocks from a stream.
#pragma once

#include "PixFile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Velmora {

inline uint16_t PixLoad16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t PixLoad32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline bool PixReadExact(CPixFile& file, void* buffer, size_t size) {
    return file.Read(buffer, 1, size) == size;
}

// Reads from the current position to the end of the stream, never more than the
// stream holds.
inline bool PixReadRest(CPixFile& file, std::vector<uint8_t>& data) {
    const long position = file.Tell();
    const long size = file.Size();
    if (position < 0 || size < position)
        return false;
    data.resize(static_cast<size_t>(size - position));
    return PixReadExact(file, data.data(), data.size());
}

} // namespace Velmora
