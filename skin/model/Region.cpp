#include "Region.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace Velmora {

namespace {

// Room for the bitmap header and either three colour masks or 256 palette entries.
struct DibHeader {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

class CDisplayInfoContext {
  public:
    CDisplayInfoContext() : m_dc(CreateICA("DISPLAY", nullptr, nullptr, nullptr)) {}
    ~CDisplayInfoContext() {
        if (m_dc)
            DeleteDC(m_dc);
    }
    CDisplayInfoContext(const CDisplayInfoContext&) = delete;
    CDisplayInfoContext& operator=(const CDisplayInfoContext&) = delete;
    HDC Get() const { return m_dc; }

  private:
    HDC m_dc;
};

// A colour byte in the bit field `mask` of a 16-bit pixel, from its top bits.
uint32_t PackChannel(uint32_t value, uint32_t mask) {
    if (!mask)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    int bits = 0;
    while (bits < 8 && ((mask >> (shift + bits)) & 1))
        ++bits;
    return (value >> (8 - bits)) << shift;
}

// The clip colour as the DIB stores a pixel of that colour. 16-bit rows come
// as 5-6-5 fields unless GDI kept a 5-5-5 bitmap's own layout; the masks it
// reports say which.
uint32_t ClipPixelValue(COLORREF clipColor, const BITMAPINFOHEADER& header, const RGBQUAD* colors) {
    const uint32_t red = GetRValue(clipColor);
    const uint32_t green = GetGValue(clipColor);
    const uint32_t blue = GetBValue(clipColor);
    if (header.biBitCount != 16)
        return red << 16 | green << 8 | blue;
    DWORD masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (header.biCompression == BI_BITFIELDS)
        std::memcpy(masks, colors, sizeof(masks));
    return PackChannel(red, masks[0]) | PackChannel(green, masks[1]) | PackChannel(blue, masks[2]);
}

uint32_t PixelValue(const uint8_t* row, int32_t x, WORD bitCount, const RGBQUAD* palette) {
    switch (bitCount) {
    case 8: {
        const RGBQUAD& entry = palette[row[x]];
        return static_cast<uint32_t>(entry.rgbRed) << 16 |
               static_cast<uint32_t>(entry.rgbGreen) << 8 | entry.rgbBlue |
               static_cast<uint32_t>(entry.rgbReserved) << 24;
    }
    case 16:
        return static_cast<uint32_t>(row[x * 2]) | static_cast<uint32_t>(row[x * 2 + 1]) << 8;
    case 24:
        return static_cast<uint32_t>(row[x * 3]) | static_cast<uint32_t>(row[x * 3 + 1]) << 8 |
               static_cast<uint32_t>(row[x * 3 + 2]) << 16;
    default: {
        uint32_t value;
        std::memcpy(&value, row + x * 4, sizeof(value));
        return value;
    }
    }
}

} // namespace

CRegion::~CRegion() {
    if (m_region)
        DeleteObject(m_region);
}

HRGN CRegion::Detach() {
    HRGN region = m_region;
    m_region = nullptr;
    return region;
}

HRGN CRegion::CreateFromBitmap(HBITMAP bitmap, COLORREF clipColor) {
    if (!bitmap)
        return nullptr;
    if (m_region) {
        DeleteObject(m_region);
        m_region = nullptr;
    }

    BITMAP info = {};
    if (!GetObjectA(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight == 0)
        return nullptr;
    const int32_t width = info.bmWidth;
    const int32_t height = std::abs(info.bmHeight);

    CDisplayInfoContext context;
    if (!context.Get())
        return nullptr;
    DibHeader dib = {};
    dib.header.biSize = sizeof(BITMAPINFOHEADER);
    if (!GetDIBits(context.Get(), bitmap, 0, static_cast<UINT>(height), nullptr,
                   reinterpret_cast<BITMAPINFO*>(&dib), DIB_RGB_COLORS))
        return nullptr;
    const WORD bitCount = dib.header.biBitCount;
    if (bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return nullptr;

    // The rows are asked for bottom-up, 16-bit pixels as 5-6-5 bit fields.
    dib.header.biWidth = width;
    dib.header.biHeight = height;
    dib.header.biPlanes = 1;
    dib.header.biCompression = BI_RGB;
    if (bitCount == 16) {
        dib.header.biCompression = BI_BITFIELDS;
        const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(dib.colors, masks, sizeof(masks));
    }
    const size_t stride = ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
    const size_t pixelBytes = stride * static_cast<size_t>(height);
    dib.header.biSizeImage = static_cast<DWORD>(pixelBytes);
    std::vector<uint8_t> pixels(pixelBytes + 4);
    if (GetDIBits(context.Get(), bitmap, 0, static_cast<UINT>(height), pixels.data(),
                  reinterpret_cast<BITMAPINFO*>(&dib), DIB_RGB_COLORS) != height)
        return nullptr;

    const uint32_t clipValue = ClipPixelValue(clipColor, dib.header, dib.colors);
    std::vector<RECT> rects;
    rects.reserve(static_cast<size_t>(height));
    for (int32_t top = 0; top < height; ++top) {
        const uint8_t* row = pixels.data() + static_cast<size_t>(height - 1 - top) * stride;
        int32_t runStart = -1;
        for (int32_t x = 0; x < width; ++x) {
            const bool opaque = PixelValue(row, x, bitCount, dib.colors) != clipValue;
            if (opaque && runStart < 0) {
                runStart = x;
            } else if (!opaque && runStart >= 0) {
                rects.push_back(RECT{runStart, top, x, top + 1});
                runStart = -1;
            }
        }
        if (runStart >= 0)
            rects.push_back(RECT{runStart, top, width, top + 1});
    }

    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* region = reinterpret_cast<RGNDATA*>(data.data());
    region->rdh.dwSize = sizeof(RGNDATAHEADER);
    region->rdh.iType = RDH_RECTANGLES;
    region->rdh.nCount = static_cast<DWORD>(rects.size());
    if (!rects.empty())
        std::memcpy(region->Buffer, rects.data(), rects.size() * sizeof(RECT));
    m_region = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), region);
    return m_region;
}

} // namespace Velmora
