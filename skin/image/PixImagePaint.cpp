// Painting of a CPixImage on Win32 device contexts.
#include "PixImage.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace Velmora {

static_assert(sizeof(BITMAPINFOHEADER) == sizeof(PixBitmapInfoHeader), "header layout");
static_assert(sizeof(RGBQUAD) == sizeof(PixRgbQuad), "palette layout");

namespace {

class MemoryDC {
  public:
    explicit MemoryDC(HDC reference) : m_dc(CreateCompatibleDC(reference)) {}
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    ~MemoryDC() {
        if (m_dc)
            DeleteDC(m_dc);
    }
    HDC get() const { return m_dc; }

  private:
    HDC m_dc;
};

class GdiBitmap {
  public:
    explicit GdiBitmap(HBITMAP bitmap) : m_bitmap(bitmap) {}
    GdiBitmap(const GdiBitmap&) = delete;
    GdiBitmap& operator=(const GdiBitmap&) = delete;
    ~GdiBitmap() {
        if (m_bitmap)
            DeleteObject(m_bitmap);
    }
    HBITMAP get() const { return m_bitmap; }

  private:
    HBITMAP m_bitmap;
};

class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (m_previous)
            SelectObject(m_dc, m_previous);
    }

  private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

class SavedDCState {
  public:
    explicit SavedDCState(HDC dc) : m_dc(dc), m_saved(SaveDC(dc)) {}
    SavedDCState(const SavedDCState&) = delete;
    SavedDCState& operator=(const SavedDCState&) = delete;
    ~SavedDCState() {
        if (m_saved)
            RestoreDC(m_dc, m_saved);
    }

  private:
    HDC m_dc;
    int m_saved;
};

// Blends one channel; a is 1 to 254.
inline uint8_t Mix(uint8_t destination, uint8_t source, int a) {
    return static_cast<uint8_t>((destination * (255 - a) + source * a) >> 8);
}

} // namespace

bool CPixImage::PaintBlended(HDC dc, const RECT& rect, const RECT* clip, bool smooth) const {
    return PaintBlended(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                        clip, smooth);
}

bool CPixImage::PaintBlended(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height,
                             const RECT* clip, bool smooth) const {
    if (!IsValid() || !dc)
        return false;
    if (width == 0 || height == 0 || !m_enabled)
        return true;
    if (width < 0)
        width = m_width;
    if (height < 0)
        height = m_height;

    SavedDCState savedState(dc);
    if (clip)
        IntersectClipRect(dc, clip->left, clip->top, clip->right, clip->bottom);
    RECT box;
    const int boxKind = GetClipBox(dc, &box);
    if (boxKind == ERROR)
        return false;
    // Far-off positions must not wrap around the coordinate range.
    const auto edge = [](int32_t start, int32_t length) {
        return static_cast<LONG>(std::min<int64_t>(int64_t{start} + length, INT32_MAX));
    };
    const RECT destination = {x, y, edge(x, width), edge(y, height)};
    RECT area;
    if (boxKind == NULLREGION || !IntersectRect(&area, &destination, &box))
        return true;
    const int areaWidth = area.right - area.left;
    const int areaHeight = area.bottom - area.top;
    const int offsetX = area.left - x;
    const int offsetY = area.top - y;
    const bool sameSize = width == m_width && height == m_height;
    const bool blend = HasAlpha() || HasTransColor() || m_paletteAlpha || m_alphaMax < 255;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(m_block.get());

    if (!blend && sameSize) {
        // Source rows are bottom-up: the source origin is the area's lower-left corner.
        return SetDIBitsToDevice(dc, area.left, area.top, areaWidth, areaHeight, offsetX,
                                 m_height - offsetY - areaHeight, 0, m_height, m_pixels, info,
                                 DIB_RGB_COLORS) != 0;
    }

    BITMAPINFO work = {};
    work.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    work.bmiHeader.biWidth = areaWidth;
    work.bmiHeader.biHeight = -areaHeight;
    work.bmiHeader.biPlanes = 1;
    work.bmiHeader.biBitCount = 24;
    work.bmiHeader.biCompression = BI_RGB;
    MemoryDC memory(dc);
    void* workBits = nullptr;
    GdiBitmap bitmap(CreateDIBSection(memory.get(), &work, DIB_RGB_COLORS, &workBits, nullptr, 0));
    if (!memory.get() || !bitmap.get() || !workBits)
        return false;
    SelectedObject selected(memory.get(), bitmap.get());
    if (blend &&
        !BitBlt(memory.get(), 0, 0, areaWidth, areaHeight, dc, area.left, area.top, SRCCOPY))
        return false;
    GdiFlush();
    const size_t workStride = (static_cast<size_t>(areaWidth) * 3 + 3) & ~static_cast<size_t>(3);
    auto* out = static_cast<uint8_t*>(workBits);
    const int alphaScale = m_alphaMax + 1;
    const bool hasKey = HasTransColor();
    const auto keyRed = static_cast<uint8_t>(m_transColor & 0xFF);
    const auto keyGreen = static_cast<uint8_t>((m_transColor >> 8) & 0xFF);
    const auto keyBlue = static_cast<uint8_t>((m_transColor >> 16) & 0xFF);

    if (sameSize && m_bpp == 24 && !m_paletteAlpha) {
        // The common skin case: a 24-bit image with alpha painted at its own size.
        for (int row = 0; row < areaHeight; ++row) {
            const uint8_t* source = GetRow(offsetY + row) + static_cast<size_t>(offsetX) * 3;
            const uint8_t* alpha =
                m_alpha ? m_alpha.get() +
                              static_cast<size_t>(m_height - 1 - offsetY - row) * m_width + offsetX
                        : nullptr;
            uint8_t* target = out + row * workStride;
            for (int column = 0; column < areaWidth; ++column, source += 3, target += 3) {
                const int a = (alphaScale * (alpha ? alpha[column] : 255)) >> 8;
                if (a == 0 || (hasKey && source[0] == keyBlue && source[1] == keyGreen &&
                               source[2] == keyRed))
                    continue;
                if (a == 255) {
                    target[0] = source[0];
                    target[1] = source[1];
                    target[2] = source[2];
                } else {
                    target[0] = Mix(target[0], source[0], a);
                    target[1] = Mix(target[1], source[1], a);
                    target[2] = Mix(target[2], source[2], a);
                }
            }
        }
    } else {
        // Source positions in 1/256 pixel: destination offset x source size / destination size.
        // Not a vector: the class is exported and must not throw out of memory.
        const std::unique_ptr<int64_t[]> columns(new (std::nothrow)
                                                     int64_t[static_cast<size_t>(areaWidth)]);
        if (!columns)
            return false;
        for (int column = 0; column < areaWidth; ++column)
            columns[column] = static_cast<int64_t>(offsetX + column) * m_width * 256 / width;
        const PixRgbQuad* palette = GetPalette();
        auto index = [this](const uint8_t* row, int32_t sx) -> uint32_t {
            if (m_bpp == 8)
                return row[sx];
            if (m_bpp == 4)
                return (row[sx >> 1] >> ((sx & 1) ? 0 : 4)) & 0x0F;
            return (row[sx >> 3] >> (7 - (sx & 7))) & 1;
        };
        auto color = [&](const uint8_t* row, int32_t sx) -> PixRgbQuad {
            if (m_bpp == 24)
                return PixRgbQuad{row[sx * 3], row[sx * 3 + 1], row[sx * 3 + 2], 255};
            return palette[index(row, sx)];
        };
        auto alphaAt = [this](int32_t sx, int32_t sy) -> int {
            return m_alpha ? m_alpha[static_cast<size_t>(m_height - 1 - sy) * m_width + sx] : 255;
        };
        for (int row = 0; row < areaHeight; ++row) {
            const int64_t fy = static_cast<int64_t>(offsetY + row) * m_height * 256 / height;
            const auto sy = static_cast<int32_t>(std::min<int64_t>(fy >> 8, m_height - 1));
            const int32_t sy1 = std::min(sy + 1, m_height - 1);
            const int wy = static_cast<int>(fy & 255);
            const uint8_t* sourceRow = GetRow(sy);
            const uint8_t* sourceRow1 = GetRow(sy1);
            uint8_t* target = out + row * workStride;
            for (int column = 0; column < areaWidth; ++column, target += 3) {
                const int64_t fx = columns[column];
                const auto sx = static_cast<int32_t>(std::min<int64_t>(fx >> 8, m_width - 1));
                PixRgbQuad pixel = color(sourceRow, sx);
                const uint8_t paletteAlpha = pixel.alpha;
                int a = alphaAt(sx, sy);
                if (blend && hasKey) {
                    const bool keyed =
                        m_bpp == 24 ? pixel.blue == keyBlue && pixel.green == keyGreen &&
                                          pixel.red == keyRed
                                    : index(sourceRow, sx) == static_cast<uint32_t>(m_transColor);
                    if (keyed)
                        continue;
                }
                if (smooth) {
                    const int32_t sx1 = std::min(sx + 1, m_width - 1);
                    const int wx = static_cast<int>(fx & 255);
                    const PixRgbQuad p10 = color(sourceRow, sx1);
                    const PixRgbQuad p01 = color(sourceRow1, sx);
                    const PixRgbQuad p11 = color(sourceRow1, sx1);
                    auto lerp = [wx, wy](int v00, int v10, int v01, int v11) {
                        const int top = v00 * (256 - wx) + v10 * wx;
                        const int bottom = v01 * (256 - wx) + v11 * wx;
                        return (top * (256 - wy) + bottom * wy) >> 16;
                    };
                    pixel.blue =
                        static_cast<uint8_t>(lerp(pixel.blue, p10.blue, p01.blue, p11.blue));
                    pixel.green =
                        static_cast<uint8_t>(lerp(pixel.green, p10.green, p01.green, p11.green));
                    pixel.red = static_cast<uint8_t>(lerp(pixel.red, p10.red, p01.red, p11.red));
                    if (m_alpha)
                        a = lerp(a, alphaAt(sx1, sy), alphaAt(sx, sy1), alphaAt(sx1, sy1));
                }
                if (!blend) {
                    target[0] = pixel.blue;
                    target[1] = pixel.green;
                    target[2] = pixel.red;
                    continue;
                }
                a = (alphaScale * a) >> 8;
                if (m_paletteAlpha && m_bpp != 24)
                    a = ((paletteAlpha + 1) * a) >> 8;
                if (a == 0)
                    continue;
                if (a == 255) {
                    target[0] = pixel.blue;
                    target[1] = pixel.green;
                    target[2] = pixel.red;
                } else {
                    target[0] = Mix(target[0], pixel.blue, a);
                    target[1] = Mix(target[1], pixel.green, a);
                    target[2] = Mix(target[2], pixel.red, a);
                }
            }
        }
    }
    return BitBlt(dc, area.left, area.top, areaWidth, areaHeight, memory.get(), 0, 0, SRCCOPY) != 0;
}

bool CPixImage::PaintStretched(HDC dc, const RECT& rect, uint32_t rop) const {
    return PaintStretched(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                          rop);
}

bool CPixImage::PaintStretched(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height,
                               uint32_t rop) const {
    if (!IsValid() || !dc)
        return false;
    if (width == 0 || height == 0 || !m_enabled)
        return true;
    const int previousMode = SetStretchBltMode(dc, COLORONCOLOR);
    const int lines =
        StretchDIBits(dc, x, y, width, height, 0, 0, m_width, m_height, m_pixels,
                      reinterpret_cast<const BITMAPINFO*>(m_block.get()), DIB_RGB_COLORS, rop);
    if (previousMode)
        SetStretchBltMode(dc, previousMode);
    return lines > 0;
}

bool CPixImage::PaintTiled(HDC dc, const RECT& rect) const {
    // The last copy of each row and column is cut by the rectangle, never scaled.
    return PaintRepeated(dc, rect.left, rect.top, rect);
}

namespace {

// value modulo period, between 0 and period - 1 for negative values too.
int32_t Wrap(int64_t value, int32_t period) {
    const int64_t rest = value % period;
    return static_cast<int32_t>(rest < 0 ? rest + period : rest);
}

// Fills row[0, count) with the period pixels (of size bytes each) of pattern
// starting at its element first, over and over: one period is written, then
// what is written is doubled.
void FillRepeated(uint8_t* row, const uint8_t* pattern, int32_t period, int32_t first,
                  int32_t count, size_t size) {
    const int32_t head = std::min(count, period - first);
    std::memcpy(row, pattern + static_cast<size_t>(first) * size, static_cast<size_t>(head) * size);
    int32_t filled = head;
    if (filled < count) {
        const int32_t tail = std::min(count - filled, first);
        std::memcpy(row + static_cast<size_t>(filled) * size, pattern,
                    static_cast<size_t>(tail) * size);
        filled += tail;
    }
    while (filled < count) {
        const int32_t copied = std::min(filled, count - filled);
        std::memcpy(row + static_cast<size_t>(filled) * size, row,
                    static_cast<size_t>(copied) * size);
        filled += copied;
    }
}

} // namespace

bool CPixImage::MakeRepeated(CPixImage& area, int32_t offsetX, int32_t offsetY, int32_t width,
                             int32_t height, bool withOpacity) const {
    if (!IsValid() || width <= 0 || height <= 0 || offsetX < 0 || offsetY < 0 ||
        offsetX >= m_width || offsetY >= m_height)
        return false;
    // One copy as the painters see it: colours, and the opacity PaintBlended
    // gives each pixel at the image's own size.
    const bool blend = HasAlpha() || HasTransColor() || m_paletteAlpha || m_alphaMax < 255;
    const size_t pixels = static_cast<size_t>(m_width) * static_cast<size_t>(m_height);
    std::vector<uint8_t> colors(pixels * 3);
    std::vector<uint8_t> opacity(withOpacity ? pixels : 0);
    const int alphaScale = m_alphaMax + 1;
    const PixRgbQuad* palette = GetPalette();
    for (int32_t y = 0; y < m_height; ++y) {
        const uint8_t* row = GetRow(y);
        for (int32_t x = 0; x < m_width; ++x) {
            const size_t at = static_cast<size_t>(y) * m_width + x;
            const uint32_t index = m_bpp == 24  ? 0
                                   : m_bpp == 8 ? row[x]
                                   : m_bpp == 4 ? (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F
                                                : (row[x >> 3] >> (7 - (x & 7))) & 1;
            const PixRgbQuad color =
                m_bpp == 24 ? PixRgbQuad{row[x * 3], row[x * 3 + 1], row[x * 3 + 2], 255}
                            : palette[index];
            colors[at * 3] = color.blue;
            colors[at * 3 + 1] = color.green;
            colors[at * 3 + 2] = color.red;
            if (!withOpacity)
                continue;
            const bool keyed =
                HasTransColor() && (m_bpp == 24 ? RGB(color.red, color.green, color.blue) ==
                                                      static_cast<COLORREF>(m_transColor)
                                                : index == static_cast<uint32_t>(m_transColor));
            int a = m_alpha ? m_alpha[static_cast<size_t>(m_height - 1 - y) * m_width + x] : 255;
            if (!blend) {
                a = 255;
            } else if (keyed) {
                a = 0;
            } else {
                a = (alphaScale * a) >> 8;
                if (m_paletteAlpha && m_bpp != 24)
                    a = ((color.alpha + 1) * a) >> 8;
            }
            opacity[at] = static_cast<uint8_t>(a);
        }
    }

    if (!area.AllocateRows(width, height, 24, PIXFORMAT_UNKNOWN) ||
        (withOpacity && !area.AlphaCreateUnfilled()))
        return false;
    // A row repeats the row one image height above it.
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = area.GetRow(y);
        uint8_t* alphaRow = withOpacity ? area.GetAlphaRow(y) : nullptr;
        if (y >= m_height) {
            std::memcpy(row, area.GetRow(y - m_height), static_cast<size_t>(width) * 3);
            if (alphaRow)
                std::memcpy(alphaRow, area.GetAlphaRow(y - m_height), static_cast<size_t>(width));
            continue;
        }
        const size_t source = static_cast<size_t>((offsetY + y) % m_height) * m_width;
        FillRepeated(row, colors.data() + source * 3, m_width, offsetX, width, 3);
        if (alphaRow)
            FillRepeated(alphaRow, opacity.data() + source, m_width, offsetX, width, 1);
    }
    return true;
}

bool CPixImage::PaintRepeated(HDC dc, int32_t originX, int32_t originY, const RECT& box) const {
    if (!IsValid() || !dc)
        return false;
    if (!m_enabled)
        return true;
    // Only what the device shows is made, so a huge box costs no more than that.
    RECT clip;
    RECT visible;
    const int clipKind = GetClipBox(dc, &clip);
    if (clipKind == ERROR)
        return false;
    if (clipKind == NULLREGION || !IntersectRect(&visible, &box, &clip))
        return true;
    const bool blend = HasAlpha() || HasTransColor() || m_paletteAlpha || m_alphaMax < 255;
    CPixImage area;
    try {
        if (!MakeRepeated(area, Wrap(int64_t{visible.left} - originX, m_width),
                          Wrap(int64_t{visible.top} - originY, m_height),
                          visible.right - visible.left, visible.bottom - visible.top, blend))
            return false;
    } catch (const std::bad_alloc&) {
        return false; // exported: out of memory is a paint that did not happen
    }
    return area.PaintBlended(dc, visible.left, visible.top, area.GetWidth(), area.GetHeight());
}

HBITMAP CPixImage::ToDeviceBitmap(HDC dc) const {
    if (!IsValid())
        return nullptr;
    std::optional<MemoryDC> temporary;
    if (!dc)
        dc = temporary.emplace(nullptr).get();
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(m_block.get()),
                                      DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits)
        std::memcpy(bits, m_pixels, GetPixelSize());
    return bitmap;
}

} // namespace Velmora
