#include "PixImageICO.h"

#include "PixBytes.h"
#include "PixImageBMP.h"
#include "PixImagePNG.h"

#include <cstring>
#include <vector>

namespace Velmora {

namespace {

const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

struct IconEntry {
    uint32_t pixels = 0;
    uint32_t depth = 0;
    uint32_t offset = 0;
    uint32_t size = 0;
};

} // namespace

bool CPixImageICO::Decode(CPixFile& file) {
    const long start = file.Tell();
    const long fileSize = file.Size();
    uint8_t header[6];
    if (start < 0 || fileSize < start || !PixReadExact(file, header, sizeof(header)) ||
        PixLoad16(header) != 0 || (PixLoad16(header + 2) != 1 && PixLoad16(header + 2) != 2) ||
        PixLoad16(header + 4) == 0) {
        SetLastError("ICO: not an icon file");
        return false;
    }
    const uint32_t count = PixLoad16(header + 4);
    std::vector<uint8_t> directory(count * 16u);
    if (!PixReadExact(file, directory.data(), directory.size())) {
        SetLastError("ICO: directory truncated");
        return false;
    }
    const uint64_t available = static_cast<uint64_t>(fileSize - start);

    // The skin paints an icon at its own size: the largest entry, then the deepest.
    IconEntry best;
    bool found = false;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* raw = directory.data() + i * 16;
        IconEntry entry;
        entry.pixels = (raw[0] ? raw[0] : 256u) * (raw[1] ? raw[1] : 256u);
        entry.size = PixLoad32(raw + 8);
        entry.offset = PixLoad32(raw + 12);
        if (entry.size < 16 || entry.offset > available || entry.size > available - entry.offset)
            continue;
        uint8_t peek[16];
        if (!file.Seek(start + static_cast<long>(entry.offset), SEEK_SET) ||
            !PixReadExact(file, peek, sizeof(peek)))
            continue;
        entry.depth = std::memcmp(peek, kPngSignature, sizeof(kPngSignature)) == 0
                          ? 32u
                          : PixLoad16(peek + 14);
        if (!found || entry.pixels > best.pixels ||
            (entry.pixels == best.pixels && entry.depth > best.depth)) {
            best = entry;
            found = true;
        }
    }
    if (!found) {
        SetLastError("ICO: no usable entry");
        return false;
    }

    std::vector<uint8_t> data(best.size);
    if (!file.Seek(start + static_cast<long>(best.offset), SEEK_SET) ||
        !PixReadExact(file, data.data(), data.size())) {
        SetLastError("ICO: entry truncated");
        return false;
    }
    if (std::memcmp(data.data(), kPngSignature, sizeof(kPngSignature)) == 0) {
        CPixImagePNG png;
        CPixMemFile stream(data.data(), data.size());
        if (!png.Decode(stream)) {
            SetLastError(png.GetLastError());
            return false;
        }
        TakeOver(png);
    } else {
        CPixImageBMP bitmap;
        if (!bitmap.DecodeIconBitmap(data.data(), data.size())) {
            SetLastError(bitmap.GetLastError());
            return false;
        }
        TakeOver(bitmap);
    }
    SetFormat(PIXFORMAT_ICO);
    return true;
}

} // namespace Velmora
