// Byte layout of the device-independent bitmap header and palette entries, so
// that the decoders build without windows.h and the block goes to GDI as is.
#pragma once

#include <cstdint>

namespace Velmora {

#pragma pack(push, 1)

// Same layout as BITMAPINFOHEADER.
struct PixBitmapInfoHeader {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t sizeImage;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t clrUsed;
    uint32_t clrImportant;
};

// Same layout as RGBQUAD; the last byte is the entry's alpha.
struct PixRgbQuad {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t alpha;
};

#pragma pack(pop)

static_assert(sizeof(PixBitmapInfoHeader) == 40, "bitmap header must be 40 bytes");
static_assert(sizeof(PixRgbQuad) == 4, "palette entry must be 4 bytes");

} // namespace Velmora
