// Feeds arbitrary bytes to the skin database checks. The first byte chooses
// whether the rest is a database file as it stands, or unpacked data (index
// length first) that is compressed here, so that mutations reach the index
// and entry layout past zlib's checksum.
#include "SkinDatabase.h"
#include "SkinPacker.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace Velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    std::string database;
    if (data[0] & 1) {
        if (size < 5)
            return 0;
        uint32_t indexLength;
        std::memcpy(&indexLength, data + 1, 4);
        const std::string unpacked(reinterpret_cast<const char*>(data + 5), size - 5);
        database = CompressSkinDatabase(unpacked, indexLength);
    } else {
        database.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    }

    std::vector<PackEntry> entries;
    std::string error;
    if (!ReadSkinDatabase(database, entries, error))
        return 0;
    size_t total = 0;
    for (const PackEntry& entry : entries) {
        total += entry.bytes.size();
        if (entry.name.size() > kMaxSkinNameLength)
            __builtin_trap();
        IsSafeEntryName(entry.name);
        EntryKindOfName(entry.name);
    }
    if (total > kMaxSkinUnpackedSize)
        __builtin_trap();
    return 0;
}
