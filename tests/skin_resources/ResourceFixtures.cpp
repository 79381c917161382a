#include "ResourceFixtures.h"

#include <cstring>
#include <vector>

namespace {

void PutWord(std::string& out, uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void PutDword(std::string& out, uint32_t value) {
    PutWord(out, value & 0xFFFF);
    PutWord(out, value >> 16);
}

void PutBitmapHeader(std::string& out, int width, int height, int bitCount, uint32_t imageSize) {
    PutDword(out, 40);
    PutDword(out, static_cast<uint32_t>(width));
    PutDword(out, static_cast<uint32_t>(height));
    PutWord(out, 1);
    PutWord(out, static_cast<uint32_t>(bitCount));
    PutDword(out, 0);
    PutDword(out, imageSize);
    PutDword(out, 0);
    PutDword(out, 0);
    PutDword(out, 0);
    PutDword(out, 0);
}

} // namespace

std::string MakeBmpFile(int width, int height, const PixelColor& color) {
    const int stride = (width * 3 + 3) / 4 * 4;
    const uint32_t imageSize = static_cast<uint32_t>(stride * height);
    std::string out = "BM";
    PutDword(out, 54 + imageSize);
    PutDword(out, 0);
    PutDword(out, 54);
    PutBitmapHeader(out, width, height, 24, imageSize);
    for (int row = height - 1; row >= 0; --row) {
        std::string line(static_cast<size_t>(stride), '\0');
        for (int x = 0; x < width; ++x) {
            const COLORREF c = color(x, row);
            line[x * 3] = static_cast<char>(GetBValue(c));
            line[x * 3 + 1] = static_cast<char>(GetGValue(c));
            line[x * 3 + 2] = static_cast<char>(GetRValue(c));
        }
        out += line;
    }
    return out;
}

std::string MakeCurFile(int width, int height, int hotSpotX, int hotSpotY,
                        const std::function<bool(int x, int y)>& inside) {
    const uint32_t maskBytes = static_cast<uint32_t>(height * 4);
    std::string out;
    PutWord(out, 0);
    PutWord(out, 2);
    PutWord(out, 1);
    out.push_back(static_cast<char>(width));
    out.push_back(static_cast<char>(height));
    out.push_back(2);
    out.push_back(0);
    PutWord(out, static_cast<uint32_t>(hotSpotX));
    PutWord(out, static_cast<uint32_t>(hotSpotY));
    PutDword(out, 48 + 2 * maskBytes);
    PutDword(out, 22);
    PutBitmapHeader(out, width, height * 2, 1, 2 * maskBytes);
    PutDword(out, 0x00000000);
    PutDword(out, 0x00FFFFFF);
    // XOR mask all zero; AND mask set where the screen shows through. Rows bottom-up.
    out.append(maskBytes, '\0');
    for (int row = height - 1; row >= 0; --row) {
        uint8_t line[4] = {0, 0, 0, 0};
        for (int x = 0; x < 32; ++x)
            if (x >= width || !inside(x, row))
                line[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.append(reinterpret_cast<const char*>(line), 4);
    }
    return out;
}

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

CCanvas::CCanvas(int width, int height) : m_width(width), m_height(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<uint32_t*>(bits);
    m_previous = SelectObject(m_dc, m_bitmap);
    Fill(RGB(255, 255, 255));
}

CCanvas::~CCanvas() {
    SelectObject(m_dc, m_previous);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

void CCanvas::Fill(COLORREF color) {
    const uint32_t value = GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color);
    for (int i = 0; i < m_width * m_height; ++i)
        m_bits[i] = value;
}

COLORREF CCanvas::Pixel(int x, int y) const {
    GdiFlush();
    const uint32_t value = m_bits[y * m_width + x];
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}
