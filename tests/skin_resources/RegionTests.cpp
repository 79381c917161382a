// Window regions cut out of bitmaps of every depth the skin's region images use.
#include "Region.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

using namespace Velmora;

namespace {

// Red and blue differ, so that a clip colour read with the two swapped shows.
const COLORREF kClip = RGB(255, 0, 128);

struct Depth {
    int bitsPerPixel;
    bool rgb555;
};

// The region of a bottom-up DIB section of the given depth, painted by GDI:
// 8 bits get a palette of the colours used; 16 bits are 5-6-5 bit fields
// unless rgb555; the fourth byte of a 32-bit pixel is `fourthByte(x, y)`.
HRGN Cut(CRegion& region, Depth depth, int width, int height,
         const std::function<COLORREF(int, int)>& color,
         const std::function<uint8_t(int, int)>& fourthByte = nullptr) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(depth.bitsPerPixel);
    if (depth.bitsPerPixel == 16 && !depth.rgb555) {
        info.header.biCompression = BI_BITFIELDS;
        const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(info.colors, masks, sizeof(masks));
    }
    for (int y = 0; depth.bitsPerPixel == 8 && y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = color(x, y);
            RGBQUAD* const end = info.colors + info.header.biClrUsed;
            if (std::find_if(info.colors, end, [&](const RGBQUAD& q) {
                    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue) == c;
                }) == end)
                info.colors[info.header.biClrUsed++] = {GetBValue(c), GetGValue(c), GetRValue(c),
                                                        0};
        }
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                      &bits, nullptr, 0);
    EXPECT_NE(nullptr, bitmap);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SetPixelV(dc, x, y, color(x, y));
    SelectObject(dc, previous);
    DeleteDC(dc);
    GdiFlush();
    for (int y = 0; fourthByte && y < height; ++y)
        for (int x = 0; x < width; ++x)
            static_cast<uint8_t*>(bits)[((height - 1 - y) * width + x) * 4 + 3] = fourthByte(x, y);
    HRGN handle = region.CreateFromBitmap(bitmap, kClip);
    DeleteObject(bitmap);
    return handle;
}

class RegionTest : public ::testing::TestWithParam<Depth> {};

} // namespace

// Odd widths so that padded rows are not mistaken for pixels.
TEST_P(RegionTest, ClipColouredPixelsAreCutOut) {
    CRegion region;
    HRGN handle = Cut(region, GetParam(), 7, 5, [](int, int) { return kClip; });
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(handle, region.GetHandle());
    RECT box;
    EXPECT_EQ(NULLREGION, GetRgnBox(handle, &box));

    handle = Cut(region, GetParam(), 7, 5, [](int x, int y) { return RGB(x * 30, y * 40, 100); });
    ASSERT_NE(nullptr, handle);
    HRGN whole = CreateRectRgn(0, 0, 7, 5);
    EXPECT_TRUE(EqualRgn(handle, whole));
    DeleteObject(whole);

    auto clipped = [](int x, int y) {
        return (x >= 2 && x <= 5 && y >= 1 && y <= 3) || x == 8 || (x + 2 * y) % 7 == 0;
    };
    handle = Cut(region, GetParam(), 9, 6, [&](int x, int y) {
        return clipped(x, y) ? kClip : (y % 2 ? RGB(10, 200, 30) : RGB(200, 0, 200 - 8 * x));
    });
    ASSERT_NE(nullptr, handle);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(!clipped(x, y), PtInRegion(handle, x, y) != 0) << x << "," << y;
    EXPECT_FALSE(PtInRegion(handle, 9, 0));
    EXPECT_FALSE(PtInRegion(handle, 0, 6));

    HRGN detached = region.Detach();
    EXPECT_EQ(handle, detached);
    EXPECT_EQ(nullptr, region.GetHandle());
    DeleteObject(detached);
}

INSTANTIATE_TEST_SUITE_P(Depths, RegionTest,
                         ::testing::Values(Depth{8, false}, Depth{16, false}, Depth{16, true},
                                           Depth{24, false}, Depth{32, false}),
                         [](const ::testing::TestParamInfo<Depth>& info) {
                             return std::to_string(info.param.bitsPerPixel) +
                                    (info.param.rgb555 ? "bit555" : "bit");
                         });

TEST(Region32Test, PixelWithAFourthByteNeverMatchesTheClipColourAndNoBitmapNoRegion) {
    CRegion region;
    HRGN handle = Cut(
        region, Depth{32, false}, 4, 2, [](int, int) { return kClip; },
        [](int x, int y) { return static_cast<uint8_t>(x == 1 && y == 0 ? 0x80 : 0); });
    ASSERT_NE(nullptr, handle);
    RECT box;
    const RECT pixel = {1, 0, 2, 1};
    ASSERT_EQ(SIMPLEREGION, GetRgnBox(handle, &box));
    EXPECT_TRUE(EqualRect(&pixel, &box));

    CRegion none;
    EXPECT_EQ(nullptr, none.CreateFromBitmap(nullptr, kClip));
    EXPECT_EQ(nullptr, none.GetHandle());
}
