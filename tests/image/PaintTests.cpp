// Painting on real device contexts (DIB sections and a window), read back.
#include "ImageFixtures.h"
#include "PixImage.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <memory>

using namespace Velmora;

namespace {

struct Color {
    uint8_t red, green, blue;
    bool operator==(const Color& other) const {
        return red == other.red && green == other.green && blue == other.blue;
    }
};

std::ostream& operator<<(std::ostream& out, const Color& c) {
    return out << "(" << int(c.red) << "," << int(c.green) << "," << int(c.blue) << ")";
}

// A memory device context with a top-down 24-bit DIB section to paint on and read.
class Canvas {
  public:
    Canvas(int width, int height, Color fill) : m_width(width), m_height(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits),
                                    nullptr, 0);
        m_previous = SelectObject(m_dc, m_bitmap);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                Set(x, y, fill);
    }
    ~Canvas() {
        SelectObject(m_dc, m_previous);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC dc() const { return m_dc; }
    Color At(int x, int y) const {
        GdiFlush();
        const uint8_t* p = Pixel(x, y);
        return Color{p[2], p[1], p[0]};
    }
    void Set(int x, int y, Color c) {
        uint8_t* p = Pixel(x, y);
        p[0] = c.blue;
        p[1] = c.green;
        p[2] = c.red;
    }

  private:
    uint8_t* Pixel(int x, int y) const {
        const int stride = (m_width * 3 + 3) & ~3;
        return m_bits + y * stride + x * 3;
    }
    int m_width, m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
    uint8_t* m_bits = nullptr;
};

Color Pattern(int x, int y) {
    const ImageFixtures::Rgba c = ImageFixtures::PatternColor(x, y);
    return Color{c.red, c.green, c.blue};
}

// A 24-bit image with the pattern and, when given, an alpha plane.
std::unique_ptr<CPixImage> MakeImage(int width, int height,
                                     const std::function<int(int, int)>& alpha = nullptr) {
    auto image = std::make_unique<CPixImage>();
    EXPECT_NE(image->Allocate(width, height, 24, PIXFORMAT_UNKNOWN), nullptr);
    if (alpha) {
        EXPECT_TRUE(image->AlphaCreate());
    }
    for (int y = 0; y < height; ++y) {
        uint8_t* row = image->GetRow(y);
        for (int x = 0; x < width; ++x) {
            const Color c = Pattern(x, y);
            row[x * 3] = c.blue;
            row[x * 3 + 1] = c.green;
            row[x * 3 + 2] = c.red;
            if (alpha)
                image->GetAlphaRow(y)[x] = static_cast<uint8_t>(alpha(x, y));
        }
    }
    return image;
}

const Color kBackground{10, 200, 60};

} // namespace

TEST(PaintBlended, AlphaZeroLeavesTheDestinationAndOpaqueReplacesIt) {
    Canvas canvas(30, 20, kBackground);
    auto image = MakeImage(8, 6, [](int x, int) { return x < 4 ? 0 : 255; });
    ASSERT_TRUE(image->PaintBlended(canvas.dc(), 5, 4, -1, -1));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool opaque = x >= 9 && x < 13 && y >= 4 && y < 10;
            ASSERT_EQ(canvas.At(x, y), opaque ? Pattern(x - 5, y - 4) : kBackground)
                << x << "," << y;
        }
}

TEST(PaintBlended, HalfAlphaOverBlackGivesSourceTimes128Over256) {
    Canvas canvas(12, 12, Color{0, 0, 0});
    auto image = MakeImage(12, 12, [](int, int) { return 128; });
    ASSERT_TRUE(image->PaintBlended(canvas.dc(), 0, 0, 12, 12));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const Color s = Pattern(x, y);
            ASSERT_EQ(canvas.At(x, y),
                      (Color{uint8_t(s.red * 128 / 256), uint8_t(s.green * 128 / 256),
                             uint8_t(s.blue * 128 / 256)}));
        }
}

TEST(PaintBlended, BlendsEveryChannelWithTheDestination) {
    Canvas canvas(4, 4, Color{100, 50, 250});
    auto image = MakeImage(4, 4, [](int x, int) { return 60 * x + 10; });
    ASSERT_TRUE(image->PaintBlended(canvas.dc(), 0, 0, -1, -1));
    for (int x = 0; x < 4; ++x) {
        const int a = 60 * x + 10;
        const Color s = Pattern(x, 1);
        EXPECT_EQ(canvas.At(x, 1), (Color{uint8_t((100 * (255 - a) + s.red * a) >> 8),
                                          uint8_t((50 * (255 - a) + s.green * a) >> 8),
                                          uint8_t((250 * (255 - a) + s.blue * a) >> 8)}));
    }
}

TEST(PaintBlended, AlphaMax254BlendsAnOpaquePixel) {
    for (bool withPlane : {false, true}) {
        SCOPED_TRACE(withPlane ? "with alpha plane" : "without alpha plane");
        Canvas canvas(6, 6, Color{0, 0, 0});
        auto image = withPlane ? MakeImage(6, 6, [](int, int) { return 255; }) : MakeImage(6, 6);
        image->SetAlphaMax(254);
        ASSERT_TRUE(image->PaintBlended(canvas.dc(), 0, 0, -1, -1));
        const Color s = Pattern(5, 5);
        // a = (255 x 255) >> 8 = 254: blended, not copied.
        EXPECT_EQ(canvas.At(5, 5), (Color{uint8_t(s.red * 254 >> 8), uint8_t(s.green * 254 >> 8),
                                          uint8_t(s.blue * 254 >> 8)}));
    }
}

TEST(PaintBlended, TransparentColourIsSkipped) {
    Canvas canvas(8, 8, kBackground);
    auto image = MakeImage(8, 8);
    const Color key = Pattern(2, 3);
    image->SetTransColor(key.red | (key.green << 8) | (key.blue << 16));
    ASSERT_TRUE(image->PaintBlended(canvas.dc(), 0, 0, -1, -1));
    EXPECT_EQ(canvas.At(2, 3), kBackground);
    EXPECT_EQ(canvas.At(3, 3), Pattern(3, 3));

    // A palette image keys on the index, even where another entry has the same colour.
    Canvas indexed(4, 1, kBackground);
    CPixImage palette;
    ASSERT_NE(palette.Allocate(4, 1, 8, PIXFORMAT_UNKNOWN), nullptr);
    palette.SetPaletteColor(1, 1, 2, 3);
    palette.SetPaletteColor(2, 1, 2, 3);
    uint8_t* row = palette.GetRow(0);
    row[0] = 1;
    row[1] = 2;
    row[2] = 1;
    row[3] = 2;
    palette.SetTransColor(2);
    ASSERT_TRUE(palette.PaintBlended(indexed.dc(), 0, 0, -1, -1));
    EXPECT_EQ(indexed.At(0, 0), (Color{1, 2, 3}));
    EXPECT_EQ(indexed.At(1, 0), kBackground);
    EXPECT_EQ(indexed.At(2, 0), (Color{1, 2, 3}));
    EXPECT_EQ(indexed.At(3, 0), kBackground);
}

TEST(PaintBlended, PaletteAlphaScalesOpacity) {
    Canvas canvas(2, 1, Color{0, 0, 0});
    CPixImage image;
    ASSERT_NE(image.Allocate(2, 1, 8, PIXFORMAT_UNKNOWN), nullptr);
    image.SetPaletteColor(0, 200, 100, 40, 127);
    image.SetPaletteColor(1, 200, 100, 40, 255);
    image.GetRow(0)[1] = 1;
    image.SetPaletteAlpha(true);
    ASSERT_TRUE(image.PaintBlended(canvas.dc(), 0, 0, -1, -1));
    // a = (128 x 255) >> 8 = 127.
    EXPECT_EQ(canvas.At(0, 0), (Color{200 * 127 >> 8, 100 * 127 >> 8, 40 * 127 >> 8}));
    EXPECT_EQ(canvas.At(1, 0), (Color{200, 100, 40}));
}

TEST(PaintBlended, DisabledImageClipAndOffscreenAreas) {
    Canvas canvas(10, 10, kBackground);
    auto image = MakeImage(10, 10);
    image->SetEnabled(false);
    EXPECT_TRUE(image->PaintBlended(canvas.dc(), 0, 0, -1, -1));
    EXPECT_EQ(canvas.At(4, 4), kBackground);
    image->SetEnabled(true);

    const RECT clip = {2, 3, 5, 7};
    ASSERT_TRUE(image->PaintBlended(canvas.dc(), 0, 0, -1, -1, &clip));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x < 5 && y >= 3 && y < 7;
            ASSERT_EQ(canvas.At(x, y), inside ? Pattern(x, y) : kBackground);
        }
    // The clip was taken out again: a second paint covers everything.
    ASSERT_TRUE(image->PaintBlended(canvas.dc(), -4, -4, -1, -1));
    EXPECT_EQ(canvas.At(0, 0), Pattern(4, 4));
    EXPECT_EQ(canvas.At(5, 5), Pattern(9, 9));
    EXPECT_TRUE(image->PaintBlended(canvas.dc(), 50, 50, -1, -1));

    CPixImage empty;
    EXPECT_FALSE(empty.PaintBlended(canvas.dc(), 0, 0, -1, -1));
    EXPECT_FALSE(image->PaintBlended(nullptr, 0, 0, -1, -1));
}

TEST(PaintBlended, ScaledNearestAndSmoothSampling) {
    auto image = MakeImage(5, 4, [](int, int) { return 255; });
    Canvas nearest(10, 8, kBackground);
    ASSERT_TRUE(image->PaintBlended(nearest.dc(), 0, 0, 10, 8, nullptr, false));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(nearest.At(x, y), Pattern(x / 2, y / 2));

    // Black to white across two pixels, stretched to eight: smooth sampling passes
    // through greys, nearest sampling does not.
    CPixImage ramp;
    ASSERT_NE(ramp.Allocate(2, 1, 24, PIXFORMAT_UNKNOWN), nullptr);
    std::memset(ramp.GetRow(0) + 3, 255, 3);
    Canvas smooth(8, 1, kBackground);
    ASSERT_TRUE(ramp.PaintBlended(smooth.dc(), 0, 0, 8, 1, nullptr, true));
    int previous = -1;
    int greys = 0;
    for (int x = 0; x < 8; ++x) {
        const Color c = smooth.At(x, 0);
        EXPECT_GE(c.red, previous);
        previous = c.red;
        greys += c.red > 0 && c.red < 255;
    }
    EXPECT_GE(greys, 2);
    Canvas blocky(8, 1, kBackground);
    ASSERT_TRUE(ramp.PaintBlended(blocky.dc(), 0, 0, 8, 1, nullptr, false));
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(blocky.At(x, 0).red, x < 4 ? 0 : 255);
}

TEST(PaintTiled, TenByTenIntoTwentyFiveGivesNineCopiesWithCutEdges) {
    Canvas canvas(40, 40, kBackground);
    auto image = MakeImage(10, 10, [](int, int) { return 255; });
    const RECT rect = {3, 2, 28, 27};
    ASSERT_TRUE(image->PaintTiled(canvas.dc(), rect));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 3 && x < 28 && y >= 2 && y < 27;
            ASSERT_EQ(canvas.At(x, y), inside ? Pattern((x - 3) % 10, (y - 2) % 10) : kBackground)
                << x << "," << y;
        }
    const RECT empty = {5, 5, 5, 9};
    EXPECT_TRUE(image->PaintTiled(canvas.dc(), empty));
}

TEST(PaintTiled, HugeRectanglePaintsOnlyWhatTheDeviceShows) {
    Canvas canvas(40, 40, kBackground);
    auto image = MakeImage(10, 10);
    const RECT huge = {-95, -95, 2000000000, 2000000000};
    ASSERT_TRUE(image->PaintTiled(canvas.dc(), huge));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(canvas.At(x, y), Pattern((x + 95) % 10, (y + 95) % 10)) << x << "," << y;
    const RECT everything = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    EXPECT_TRUE(image->PaintTiled(canvas.dc(), everything));
}

TEST(PaintStretched, IgnoresAlphaAndTransparency) {
    Canvas canvas(12, 8, kBackground);
    auto image = MakeImage(6, 4, [](int, int) { return 0; });
    image->SetTransColor(0);
    SetStretchBltMode(canvas.dc(), HALFTONE);
    ASSERT_TRUE(image->PaintStretched(canvas.dc(), 0, 0, 12, 8, SRCCOPY));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(canvas.At(x, y), Pattern(x / 2, y / 2));
    EXPECT_EQ(GetStretchBltMode(canvas.dc()), HALFTONE);
}

TEST(ToDeviceBitmap, CopiesThePixels) {
    auto image = MakeImage(7, 5);
    for (bool withDc : {false, true}) {
        Canvas canvas(1, 1, kBackground);
        HBITMAP bitmap = image->ToDeviceBitmap(withDc ? canvas.dc() : nullptr);
        ASSERT_NE(bitmap, nullptr);
        Canvas reader(7, 5, kBackground);
        HDC source = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(source, bitmap);
        ASSERT_TRUE(BitBlt(reader.dc(), 0, 0, 7, 5, source, 0, 0, SRCCOPY));
        SelectObject(source, previous);
        DeleteDC(source);
        DeleteObject(bitmap);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                ASSERT_EQ(reader.At(x, y), Pattern(x, y));
    }
}

TEST(PaintBlended, OnAWindowDeviceContext) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "PixImagePaintTest";
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "PixImagePaintTest", "", WS_POPUP | WS_VISIBLE, 0,
                                  0, 64, 64, nullptr, nullptr, instance, nullptr);
    ASSERT_NE(window, nullptr);
    UpdateWindow(window);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    HDC dc = GetDC(window);
    RECT all = {0, 0, 64, 64};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    auto image = MakeImage(16, 16, [](int x, int) { return x < 8 ? 128 : 255; });
    ASSERT_TRUE(image->PaintBlended(dc, 20, 20, -1, -1));
    const Color half = Pattern(2, 2);
    const COLORREF blended = GetPixel(dc, 22, 22);
    const COLORREF opaque = GetPixel(dc, 30, 25);
    const COLORREF outside = GetPixel(dc, 5, 5);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    EXPECT_EQ(blended, RGB(half.red * 128 / 256, half.green * 128 / 256, half.blue * 128 / 256));
    const Color full = Pattern(10, 5);
    EXPECT_EQ(opaque, RGB(full.red, full.green, full.blue));
    EXPECT_EQ(outside, RGB(0, 0, 0));
}
