#include "ResourceFixtures.h"

#include <cstring>
#include <vector>

HBITMAP MakeDibSection(int bitsPerPixel, bool rgb555, int width, int height,
                       const PixelColor& color,
                       const std::function<uint8_t(int x, int y)>& fourthByte) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.header.biCompression = BI_RGB;
    if (bitsPerPixel == 16 && !rgb555) {
        info.header.biCompression = BI_BITFIELDS;
        const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(info.colors, masks, sizeof(masks));
    }
    std::vector<COLORREF> palette;
    std::vector<uint8_t> indexes;
    if (bitsPerPixel == 8) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const COLORREF c = color(x, y);
                size_t index = 0;
                while (index < palette.size() && palette[index] != c)
                    ++index;
                if (index == palette.size())
                    palette.push_back(c);
                indexes.push_back(static_cast<uint8_t>(index));
            }
        for (size_t i = 0; i < palette.size(); ++i)
            info.colors[i] =
                RGBQUAD{GetBValue(palette[i]), GetGValue(palette[i]), GetRValue(palette[i]), 0};
        info.header.biClrUsed = static_cast<DWORD>(palette.size());
    }

    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                      &bits, nullptr, 0);
    if (!bitmap)
        return nullptr;
    const int stride = (width * bitsPerPixel + 31) / 32 * 4;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = static_cast<uint8_t*>(bits) + (height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const COLORREF c = color(x, y);
            const uint32_t r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            switch (bitsPerPixel) {
            case 8:
                row[x] = indexes[static_cast<size_t>(y * width + x)];
                break;
            case 16: {
                const uint32_t value = rgb555 ? (r >> 3) << 10 | (g >> 3) << 5 | b >> 3
                                              : (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
                row[x * 2] = static_cast<uint8_t>(value);
                row[x * 2 + 1] = static_cast<uint8_t>(value >> 8);
                break;
            }
            default: {
                const int bytes = bitsPerPixel / 8;
                row[x * bytes] = static_cast<uint8_t>(b);
                row[x * bytes + 1] = static_cast<uint8_t>(g);
                row[x * bytes + 2] = static_cast<uint8_t>(r);
                if (bytes == 4)
                    row[x * 4 + 3] = fourthByte ? fourthByte(x, y) : 0;
            }
            }
        }
    }
    GdiFlush();
    return bitmap;
}
