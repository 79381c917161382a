// Layout of a skin database file (".sdb"): an 8-byte header (unpacked size,
// index length, little-endian) and one zlib stream holding the index XML and
// the entries' bytes back to back. Checks every size a file claims before
// anything is read with it; no Win32, so it builds natively for fuzzing.
#pragma once

#include "SkinEntry.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Velmora {

constexpr size_t kSkinDatabaseHeaderSize = 8;
// Larger claims are refused before any allocation.
constexpr uint32_t kMaxSkinUnpackedSize = 256u << 20;
// Entry names, prefixes and paths are kept below MAX_PATH (260) characters.
constexpr size_t kMaxSkinNameLength = 259;

struct SkinDatabaseHeader {
    uint32_t unpackedSize = 0;
    uint32_t indexLength = 0;
};

struct SkinDatabaseContent {
    std::unique_ptr<uint8_t[]> unpacked;
    uint32_t unpackedSize = 0;
    uint32_t indexLength = 0;
};

// One item of the index as read: the size is still text.
struct SkinIndexItem {
    std::string name;
    std::string size;
};

// Where an index item's bytes lie in the unpacked data, and its kind.
struct SkinEntrySpan {
    std::string name;
    size_t offset = 0;
    uint32_t size = 0;
    EntryKind kind = ENTRY_UNKNOWN;
};

// False when the data is shorter than the header, claims more than
// kMaxSkinUnpackedSize, or puts the index past the unpacked data.
bool ReadSkinDatabaseHeader(const uint8_t* data, size_t size, SkinDatabaseHeader& header);

// Checks the header and inflates the rest; false unless the stream inflates to
// exactly the unpacked size the header claims.
bool InflateSkinDatabase(const uint8_t* data, size_t size, SkinDatabaseContent& content);

// A size attribute: decimal digits only, at most 4294967295.
bool ParseSkinEntrySize(const std::string& text, uint32_t& size);

// Lays the items out after the index in order. False, with spans left empty,
// when any size is not a number, any entry runs past the unpacked data, or any
// name is longer than kMaxSkinNameLength: a database is taken whole or not at all.
bool LayOutSkinEntries(const std::vector<SkinIndexItem>& items, size_t unpackedSize,
                       uint32_t indexLength, std::vector<SkinEntrySpan>& spans);

} // namespace Velmora
