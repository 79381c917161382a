#include "PixImageBMP.h"

#include "PixBytes.h"

#include <cstring>
#include <limits>

namespace Velmora {

namespace {

constexpr size_t kNoOffset = std::numeric_limits<size_t>::max();
constexpr uint32_t kCompressionRgb = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitFields = 3;
constexpr uint32_t kCompressionAlphaBitFields = 6;

// One colour channel of a bit-field pixel, scaled to eight bits.
struct ChannelMask {
    explicit ChannelMask(uint32_t value) : mask(value) {
        if (!mask)
            return;
        while (!((mask >> shift) & 1))
            ++shift;
        maximum = mask >> shift;
    }
    uint8_t Extract(uint32_t pixel) const {
        if (!maximum)
            return 0;
        const uint64_t value = (pixel & mask) >> shift;
        return static_cast<uint8_t>(value * 255 / maximum);
    }
    uint32_t mask;
    uint32_t shift = 0;
    uint32_t maximum = 0;
};

} // namespace

bool CPixImageBMP::Decode(CPixFile& file) {
    uint8_t fileHeader[14];
    if (!PixReadExact(file, fileHeader, sizeof(fileHeader)) || fileHeader[0] != 'B' ||
        fileHeader[1] != 'M') {
        SetLastError("BMP: not a bitmap file");
        return false;
    }
    std::vector<uint8_t> data;
    if (!PixReadRest(file, data)) {
        SetLastError("BMP: can't read the file");
        return false;
    }
    const uint32_t offBits = PixLoad32(fileHeader + 10);
    const size_t bitsOffset =
        offBits >= sizeof(fileHeader) && offBits - sizeof(fileHeader) < data.size()
            ? offBits - sizeof(fileHeader)
            : kNoOffset;
    return DecodeBitmap(data.data(), data.size(), bitsOffset, false);
}

bool CPixImageBMP::DecodeIconBitmap(const uint8_t* data, size_t size) {
    return DecodeBitmap(data, size, kNoOffset, true);
}

bool CPixImageBMP::DecodeBitmap(const uint8_t* data, size_t size, size_t bitsOffset, bool icon) {
    if (size < 12) {
        SetLastError("BMP: header too short");
        return false;
    }
    const uint32_t headerSize = PixLoad32(data);
    int64_t width = 0;
    int64_t height = 0;
    uint32_t bpp = 0;
    uint32_t compression = kCompressionRgb;
    uint64_t colorsUsed = 0;
    uint32_t masks[4] = {};
    bool hasMasks = false;
    size_t entrySize = 4;
    size_t position = headerSize;
    if (headerSize == 12) {
        width = PixLoad16(data + 4);
        height = PixLoad16(data + 6);
        bpp = PixLoad16(data + 10);
        entrySize = 3;
    } else if (headerSize >= 40 && headerSize <= size) {
        width = static_cast<int32_t>(PixLoad32(data + 4));
        height = static_cast<int32_t>(PixLoad32(data + 8));
        bpp = PixLoad16(data + 14);
        compression = PixLoad32(data + 16);
        colorsUsed = PixLoad32(data + 32);
        if (headerSize >= 52) {
            for (size_t i = 0; i < 4 && 40 + i * 4 + 4 <= headerSize; ++i)
                masks[i] = PixLoad32(data + 40 + i * 4);
            hasMasks = true;
        } else if (compression == kCompressionBitFields ||
                   compression == kCompressionAlphaBitFields) {
            const size_t count = compression == kCompressionBitFields ? 3 : 4;
            if (position + count * 4 > size) {
                SetLastError("BMP: bit fields missing");
                return false;
            }
            for (size_t i = 0; i < count; ++i)
                masks[i] = PixLoad32(data + position + i * 4);
            position += count * 4;
            hasMasks = true;
        }
    } else {
        SetLastError("BMP: unknown header");
        return false;
    }

    const bool topDown = height < 0;
    int64_t rows = topDown ? -height : height;
    if (icon)
        rows /= 2;
    if (width <= 0 || rows <= 0 || rows > std::numeric_limits<int32_t>::max() ||
        (icon && topDown)) {
        SetLastError("BMP: bad image size");
        return false;
    }
    bool supported = false;
    switch (compression) {
    case kCompressionRgb:
        supported = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
        break;
    case kCompressionRle8:
        supported = bpp == 8 && !topDown;
        break;
    case kCompressionRle4:
        supported = bpp == 4 && !topDown;
        break;
    case kCompressionBitFields:
    case kCompressionAlphaBitFields:
        supported = (bpp == 16 || bpp == 32) && hasMasks;
        break;
    default:
        break;
    }
    if (!supported) {
        SetLastError("BMP: unsupported pixel format");
        return false;
    }

    // The palette in the file may be longer than the depth can address.
    const uint64_t fileColors = colorsUsed ? colorsUsed : (bpp <= 8 ? (1u << bpp) : 0);
    if (position > size || fileColors > (size - position) / entrySize) {
        SetLastError("BMP: palette missing");
        return false;
    }
    const size_t paletteStart = position;
    if (bitsOffset == kNoOffset || bitsOffset >= size)
        bitsOffset = paletteStart + static_cast<size_t>(fileColors) * entrySize;

    const uint64_t stride = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
    const bool compressed = compression == kCompressionRle8 || compression == kCompressionRle4;
    if (bitsOffset > size ||
        (!compressed && stride * static_cast<uint64_t>(rows) > size - bitsOffset)) {
        SetLastError("BMP: pixel data truncated");
        return false;
    }
    // Width and rows fit in 32 bits here: the data holds every row.
    if (!Allocate(static_cast<int32_t>(width), static_cast<int32_t>(rows), bpp, PIXFORMAT_BMP))
        return false;

    if (bpp <= 8) {
        const uint32_t colors = GetNumColors();
        const uint64_t used = fileColors < colors ? fileColors : colors;
        for (uint32_t i = 0; i < colors; ++i) {
            if (i < used) {
                const uint8_t* entry = data + paletteStart + i * entrySize;
                SetPaletteColor(i, entry[2], entry[1], entry[0]);
            } else {
                SetPaletteColor(i, 0, 0, 0);
            }
        }
    }

    const int32_t picWidth = GetWidth();
    const int32_t picRows = GetHeight();
    if (compressed) {
        const bool rle4 = compression == kCompressionRle4;
        uint8_t* pixels = GetBits();
        const uint32_t outStride = GetEffWidth();
        int32_t x = 0;
        int32_t y = 0; // counted from the bottom row
        auto put = [&](uint8_t index) {
            if (x < picWidth) {
                uint8_t* row = pixels + static_cast<size_t>(y) * outStride;
                if (rle4) {
                    uint8_t& cell = row[x >> 1];
                    cell = (x & 1) ? static_cast<uint8_t>((cell & 0xF0) | (index & 0x0F))
                                   : static_cast<uint8_t>((cell & 0x0F) | (index << 4));
                } else {
                    row[x] = index;
                }
                ++x;
            }
        };
        size_t p = bitsOffset;
        while (p + 1 < size && y < picRows) {
            const uint8_t count = data[p];
            const uint8_t value = data[p + 1];
            p += 2;
            if (count) {
                for (uint32_t i = 0; i < count; ++i)
                    put(rle4 ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            } else if (value == 0) {
                x = 0;
                ++y;
            } else if (value == 1) {
                break;
            } else if (value == 2) {
                if (p + 1 >= size)
                    break;
                x = x + data[p] < picWidth ? x + data[p] : picWidth;
                y += data[p + 1];
                p += 2;
            } else {
                const size_t bytes = rle4 ? (value + 1u) / 2 : value;
                if (bytes > size - p)
                    break;
                for (uint32_t i = 0; i < value; ++i) {
                    const uint8_t packed = data[p + (rle4 ? i / 2 : i)];
                    put(rle4 ? ((i & 1) ? packed & 0x0F : packed >> 4) : packed);
                }
                p += bytes + (bytes & 1);
            }
        }
    } else {
        uint32_t defaultMasks[4] = {};
        if (bpp == 16) {
            defaultMasks[0] = 0x7C00;
            defaultMasks[1] = 0x03E0;
            defaultMasks[2] = 0x001F;
        } else if (bpp == 32) {
            defaultMasks[0] = 0x00FF0000;
            defaultMasks[1] = 0x0000FF00;
            defaultMasks[2] = 0x000000FF;
            defaultMasks[3] = 0xFF000000;
        }
        const uint32_t* useMasks =
            compression == kCompressionBitFields || compression == kCompressionAlphaBitFields
                ? masks
                : defaultMasks;
        const ChannelMask red(useMasks[0]), green(useMasks[1]), blue(useMasks[2]),
            alpha(useMasks[3]);
        const bool wantAlpha = (bpp == 16 || bpp == 32) && useMasks[3] && AlphaCreate();
        bool anyAlpha = false;
        for (int32_t r = 0; r < picRows; ++r) {
            const uint8_t* source = data + bitsOffset + static_cast<size_t>(r) * stride;
            const int32_t top = topDown ? r : picRows - 1 - r;
            uint8_t* target = GetRow(top);
            if (bpp <= 8 || bpp == 24) {
                std::memcpy(target, source, static_cast<size_t>(stride));
                continue;
            }
            uint8_t* alphaRow = wantAlpha ? GetAlphaRow(top) : nullptr;
            for (int32_t x = 0; x < picWidth; ++x) {
                const uint32_t pixel =
                    bpp == 16 ? PixLoad16(source + x * 2) : PixLoad32(source + x * 4);
                target[x * 3] = blue.Extract(pixel);
                target[x * 3 + 1] = green.Extract(pixel);
                target[x * 3 + 2] = red.Extract(pixel);
                if (alphaRow) {
                    alphaRow[x] = alpha.Extract(pixel);
                    anyAlpha = anyAlpha || alphaRow[x] != 0;
                }
            }
        }
        // Most writers leave the fourth byte zero: such an image is opaque.
        if (wantAlpha && !anyAlpha)
            AlphaDelete();
    }

    if (icon && !HasAlpha()) {
        const uint64_t maskStride = ((static_cast<uint64_t>(picWidth) + 31) / 32) * 4;
        const uint64_t maskStart =
            compressed ? size : bitsOffset + stride * static_cast<uint64_t>(picRows);
        if (maskStart <= size && maskStride * picRows <= size - maskStart && AlphaCreate()) {
            bool anyTransparent = false;
            for (int32_t r = 0; r < picRows; ++r) {
                const uint8_t* mask = data + maskStart + r * maskStride;
                uint8_t* alphaRow = GetAlphaRow(picRows - 1 - r);
                for (int32_t x = 0; x < picWidth; ++x) {
                    const bool transparent = (mask[x >> 3] >> (7 - (x & 7))) & 1;
                    alphaRow[x] = transparent ? 0 : 255;
                    anyTransparent = anyTransparent || transparent;
                }
            }
            if (!anyTransparent)
                AlphaDelete();
        }
    }
    return true;
}

} // namespace Velmora
