// One named entry of a loaded skin database, with a copy of its bytes, and the
// kind its name's ending gives it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace Velmora {

enum EntryKind : int32_t {
    ENTRY_UNKNOWN = 0,
    ENTRY_XML = 1,
    ENTRY_BMP = 2,
    ENTRY_PNG = 3,
    ENTRY_ICO = 4,
    ENTRY_CUR = 5,
    ENTRY_GIF = 6,
    ENTRY_JPG = 7,
};

// The kind of a name from its last "." on, ignoring case; endings of 32
// characters or more, and names without ".", are ENTRY_UNKNOWN.
EntryKind EntryKindOfName(const std::string& name);

struct SkinEntry {
    std::unique_ptr<uint8_t[]> data;
    size_t size = 0;
    std::string name;
    EntryKind kind = ENTRY_UNKNOWN;
};

} // namespace Velmora
