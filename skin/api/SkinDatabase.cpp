#include "SkinDatabase.h"

#include <zlib.h>

#include <limits>
#include <new>

namespace Velmora {

namespace {

uint32_t ReadLittleEndian32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// Deflate cannot expand one input byte into more than 1032 output bytes (a
// 258-byte match coded in two bits), so a larger claim is a lie that would
// only cost a large allocation to find out.
constexpr uint64_t kMaxInflateRatio = 1032;

} // namespace

bool ReadSkinDatabaseHeader(const uint8_t* data, size_t size, SkinDatabaseHeader& header) {
    if (!data || size < kSkinDatabaseHeaderSize)
        return false;
    const uint32_t unpackedSize = ReadLittleEndian32(data);
    const uint32_t indexLength = ReadLittleEndian32(data + 4);
    if (unpackedSize > kMaxSkinUnpackedSize || indexLength > unpackedSize)
        return false;
    header.unpackedSize = unpackedSize;
    header.indexLength = indexLength;
    return true;
}

bool InflateSkinDatabase(const uint8_t* data, size_t size, SkinDatabaseContent& content) {
    SkinDatabaseHeader header;
    if (!ReadSkinDatabaseHeader(data, size, header))
        return false;
    const size_t compressedSize = size - kSkinDatabaseHeaderSize;
    if (header.unpackedSize > compressedSize * kMaxInflateRatio)
        return false;
    if (compressedSize > std::numeric_limits<uLong>::max())
        return false;

    // One spare byte so that even an empty database has a buffer to hand to zlib.
    std::unique_ptr<uint8_t[]> unpacked(new (std::nothrow) uint8_t[header.unpackedSize + 1u]);
    if (!unpacked)
        return false;
    uLongf inflated = header.unpackedSize;
    const int result = uncompress(unpacked.get(), &inflated, data + kSkinDatabaseHeaderSize,
                                  static_cast<uLong>(compressedSize));
    if (result != Z_OK || inflated != header.unpackedSize)
        return false;

    content.unpacked = std::move(unpacked);
    content.unpackedSize = header.unpackedSize;
    content.indexLength = header.indexLength;
    return true;
}

bool ParseSkinEntrySize(const std::string& text, uint32_t& size) {
    if (text.empty())
        return false;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > std::numeric_limits<uint32_t>::max())
            return false;
    }
    size = static_cast<uint32_t>(value);
    return true;
}

bool LayOutSkinEntries(const std::vector<SkinIndexItem>& items, size_t unpackedSize,
                       uint32_t indexLength, std::vector<SkinEntrySpan>& spans) {
    spans.clear();
    if (indexLength > unpackedSize)
        return false;
    std::vector<SkinEntrySpan> laidOut;
    laidOut.reserve(items.size());
    size_t offset = indexLength;
    for (const SkinIndexItem& item : items) {
        SkinEntrySpan span;
        if (item.name.size() > kMaxSkinNameLength || !ParseSkinEntrySize(item.size, span.size))
            return false;
        if (span.size > unpackedSize - offset)
            return false;
        span.name = item.name;
        span.offset = offset;
        span.kind = EntryKindOfName(item.name);
        offset += span.size;
        laidOut.push_back(std::move(span));
    }
    spans = std::move(laidOut);
    return true;
}

} // namespace Velmora
