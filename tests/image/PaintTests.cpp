// Painting on real device contexts (DIB sections and a window), read back.
#include "Canvas.h"
#include "PixImage.h"
#include "UiProbe.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

using namespace Velmora;

namespace {

// Every pixel of a small picture a different colour.
COLORREF Pattern(int x, int y) {
    return RGB(x * 17 + y * 3, y * 29 + x, x * y * 7 + 40);
}

// Whether `got` shows `over` at opacity alpha (0 to 255) on `under`: each channel
// within the rounding of an integer blend of the exact mix.
bool IsBlend(COLORREF got, COLORREF under, COLORREF over, int alpha) {
    auto within = [alpha](int g, int d, int v) {
        return std::abs(g * 255 - (d * (255 - alpha) + v * alpha)) < 2 * 255;
    };
    return within(GetRValue(got), GetRValue(under), GetRValue(over)) &&
           within(GetGValue(got), GetGValue(under), GetGValue(over)) &&
           within(GetBValue(got), GetBValue(under), GetBValue(over));
}

// A 24-bit image with the pattern and, when given, an alpha plane.
std::unique_ptr<CPixImage> MakeImage(int width, int height,
                                     const std::function<int(int, int)>& alpha = nullptr) {
    auto image = std::make_unique<CPixImage>();
    EXPECT_NE(image->Allocate(width, height, 24, PIXFORMAT_UNKNOWN), nullptr);
    EXPECT_TRUE(!alpha || image->AlphaCreate());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = Pattern(x, y);
            uint8_t* pixel = image->GetRow(y) + x * 3;
            pixel[0] = GetBValue(c);
            pixel[1] = GetGValue(c);
            pixel[2] = GetRValue(c);
            if (alpha)
                image->GetAlphaRow(y)[x] = static_cast<uint8_t>(alpha(x, y));
        }
    return image;
}

const COLORREF kBackground = RGB(10, 200, 60);

struct Canvas : CCanvas {
    Canvas(int width, int height, COLORREF fill) : CCanvas(width, height) { Fill(fill); }
};

// Every pixel of the canvas as expected(x, y) gives it.
void ExpectPixels(const CCanvas& canvas, const std::function<COLORREF(int, int)>& expected) {
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            ASSERT_EQ(canvas.Pixel(x, y), expected(x, y)) << x << "," << y;
}

} // namespace

TEST(PaintBlended, AlphaZeroLeavesTheDestinationAndOpaqueReplacesIt) {
    Canvas canvas(30, 20, kBackground);
    auto image = MakeImage(8, 6, [](int x, int) { return x < 4 ? 0 : 255; });
    ASSERT_TRUE(image->PaintBlended(canvas.Dc(), 5, 4, -1, -1));
    ExpectPixels(canvas, [](int x, int y) {
        const bool opaque = x >= 9 && x < 13 && y >= 4 && y < 10;
        return opaque ? Pattern(x - 5, y - 4) : kBackground;
    });
}

TEST(PaintBlended, BlendsEveryChannelWithTheDestination) {
    Canvas canvas(12, 12, RGB(100, 50, 250));
    auto alpha = [](int x, int y) { return 10 + (x * 20 + y * 7) % 240; };
    auto image = MakeImage(12, 12, alpha);
    ASSERT_TRUE(image->PaintBlended(canvas.Dc(), 0, 0, 12, 12));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_TRUE(IsBlend(canvas.Pixel(x, y), RGB(100, 50, 250), Pattern(x, y), alpha(x, y)))
                << x << "," << y;
}

TEST(PaintBlended, AlphaMax254BlendsAnOpaquePixel) {
    for (bool withPlane : {false, true}) {
        SCOPED_TRACE(withPlane ? "with alpha plane" : "without alpha plane");
        Canvas canvas(6, 6, RGB(0, 0, 0));
        auto image = withPlane ? MakeImage(6, 6, [](int, int) { return 255; }) : MakeImage(6, 6);
        image->SetAlphaMax(254);
        ASSERT_TRUE(image->PaintBlended(canvas.Dc(), 0, 0, -1, -1));
        // Blended, not copied.
        EXPECT_TRUE(IsBlend(canvas.Pixel(5, 5), RGB(0, 0, 0), Pattern(5, 5), 254));
        EXPECT_NE(canvas.Pixel(5, 5), Pattern(5, 5));
    }
}

TEST(PaintBlended, TransparentColourIsSkipped) {
    Canvas canvas(8, 8, kBackground);
    auto image = MakeImage(8, 8);
    image->SetTransColor(Pattern(2, 3));
    ASSERT_TRUE(image->PaintBlended(canvas.Dc(), 0, 0, -1, -1));
    EXPECT_EQ(canvas.Pixel(2, 3), kBackground);
    EXPECT_EQ(canvas.Pixel(3, 3), Pattern(3, 3));

    // A palette image keys on the index, even where another entry has the same colour.
    Canvas indexed(4, 1, kBackground);
    CPixImage palette;
    ASSERT_NE(palette.Allocate(4, 1, 8, PIXFORMAT_UNKNOWN), nullptr);
    palette.SetPaletteColor(1, 1, 2, 3);
    palette.SetPaletteColor(2, 1, 2, 3);
    std::memcpy(palette.GetRow(0), "\1\2\1\2", 4);
    palette.SetTransColor(2);
    ASSERT_TRUE(palette.PaintBlended(indexed.Dc(), 0, 0, -1, -1));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(indexed.Pixel(x, 0), x % 2 ? kBackground : RGB(1, 2, 3)) << x;
}

TEST(PaintBlended, PaletteAlphaScalesOpacity) {
    Canvas canvas(2, 1, RGB(0, 0, 0));
    CPixImage image;
    ASSERT_NE(image.Allocate(2, 1, 8, PIXFORMAT_UNKNOWN), nullptr);
    image.SetPaletteColor(0, 200, 100, 40, 127);
    image.SetPaletteColor(1, 200, 100, 40, 255);
    image.GetRow(0)[1] = 1;
    image.SetPaletteAlpha(true);
    ASSERT_TRUE(image.PaintBlended(canvas.Dc(), 0, 0, -1, -1));
    EXPECT_TRUE(IsBlend(canvas.Pixel(0, 0), RGB(0, 0, 0), RGB(200, 100, 40), 127));
    EXPECT_EQ(canvas.Pixel(1, 0), RGB(200, 100, 40));
}

TEST(PaintBlended, DisabledImageClipAndOffscreenAreas) {
    Canvas canvas(10, 10, kBackground);
    auto image = MakeImage(10, 10);
    image->SetEnabled(false);
    EXPECT_TRUE(image->PaintBlended(canvas.Dc(), 0, 0, -1, -1));
    EXPECT_EQ(canvas.Pixel(4, 4), kBackground);
    image->SetEnabled(true);

    const RECT clip = {2, 3, 5, 7};
    ASSERT_TRUE(image->PaintBlended(canvas.Dc(), 0, 0, -1, -1, &clip));
    ExpectPixels(canvas, [](int x, int y) {
        return x >= 2 && x < 5 && y >= 3 && y < 7 ? Pattern(x, y) : kBackground;
    });
    // The clip was taken out again: a second paint covers everything.
    ASSERT_TRUE(image->PaintBlended(canvas.Dc(), -4, -4, -1, -1));
    EXPECT_EQ(canvas.Pixel(0, 0), Pattern(4, 4));
    EXPECT_EQ(canvas.Pixel(5, 5), Pattern(9, 9));
    EXPECT_TRUE(image->PaintBlended(canvas.Dc(), 50, 50, -1, -1));

    CPixImage empty;
    EXPECT_FALSE(empty.PaintBlended(canvas.Dc(), 0, 0, -1, -1));
    EXPECT_FALSE(image->PaintBlended(nullptr, 0, 0, -1, -1));
}

TEST(PaintBlended, ScaledNearestAndSmoothSampling) {
    auto image = MakeImage(5, 4, [](int, int) { return 255; });
    Canvas nearest(10, 8, kBackground);
    ASSERT_TRUE(image->PaintBlended(nearest.Dc(), 0, 0, 10, 8, nullptr, false));
    ExpectPixels(nearest, [](int x, int y) { return Pattern(x / 2, y / 2); });

    // Black to white across two pixels, stretched to eight: smooth sampling passes
    // through greys, nearest sampling does not.
    CPixImage ramp;
    ASSERT_NE(ramp.Allocate(2, 1, 24, PIXFORMAT_UNKNOWN), nullptr);
    std::memset(ramp.GetRow(0) + 3, 255, 3);
    for (bool smooth : {true, false}) {
        Canvas canvas(8, 1, kBackground);
        ASSERT_TRUE(ramp.PaintBlended(canvas.Dc(), 0, 0, 8, 1, nullptr, smooth));
        int previous = -1, greys = 0;
        for (int x = 0; x < 8; ++x) {
            const int red = GetRValue(canvas.Pixel(x, 0));
            EXPECT_GE(red, previous);
            EXPECT_TRUE(smooth || red == (x < 4 ? 0 : 255)) << x;
            previous = red;
            greys += red > 0 && red < 255;
        }
        EXPECT_TRUE(!smooth || greys >= 2);
    }
}

TEST(PaintTiled, CopiesWithCutEdgesAndOnlyWhatTheDeviceShows) {
    Canvas canvas(40, 40, kBackground);
    auto image = MakeImage(10, 10, [](int, int) { return 255; });
    // Ten by ten into twenty-five: nine copies, the outer ones cut.
    const RECT rect = {3, 2, 28, 27};
    ASSERT_TRUE(image->PaintTiled(canvas.Dc(), rect));
    ExpectPixels(canvas, [](int x, int y) {
        const bool inside = x >= 3 && x < 28 && y >= 2 && y < 27;
        return inside ? Pattern((x - 3) % 10, (y - 2) % 10) : kBackground;
    });
    const RECT empty = {5, 5, 5, 9};
    EXPECT_TRUE(image->PaintTiled(canvas.Dc(), empty));

    auto plain = MakeImage(10, 10);
    const RECT huge = {-95, -95, 2000000000, 2000000000};
    ASSERT_TRUE(plain->PaintTiled(canvas.Dc(), huge));
    ExpectPixels(canvas, [](int x, int y) { return Pattern((x + 95) % 10, (y + 95) % 10); });
    const RECT everything = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    EXPECT_TRUE(plain->PaintTiled(canvas.Dc(), everything));
}

TEST(PaintStretched, IgnoresAlphaAndTransparency) {
    Canvas canvas(12, 8, kBackground);
    auto image = MakeImage(6, 4, [](int, int) { return 0; });
    image->SetTransColor(0);
    SetStretchBltMode(canvas.Dc(), HALFTONE);
    ASSERT_TRUE(image->PaintStretched(canvas.Dc(), 0, 0, 12, 8, SRCCOPY));
    ExpectPixels(canvas, [](int x, int y) { return Pattern(x / 2, y / 2); });
    EXPECT_EQ(GetStretchBltMode(canvas.Dc()), HALFTONE);
}

TEST(ToDeviceBitmap, CopiesThePixels) {
    auto image = MakeImage(7, 5);
    for (bool withDc : {false, true}) {
        Canvas canvas(1, 1, kBackground);
        HBITMAP bitmap = image->ToDeviceBitmap(withDc ? canvas.Dc() : nullptr);
        ASSERT_NE(bitmap, nullptr);
        Canvas reader(7, 5, kBackground);
        HDC source = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(source, bitmap);
        ASSERT_TRUE(BitBlt(reader.Dc(), 0, 0, 7, 5, source, 0, 0, SRCCOPY));
        SelectObject(source, previous);
        DeleteDC(source);
        DeleteObject(bitmap);
        ExpectPixels(reader, Pattern);
    }
}

TEST(PaintBlended, OnAWindowDeviceContext) {
    RegisterTestClass("PixImagePaintTest", DefWindowProcA,
                      static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "PixImagePaintTest", "", WS_POPUP | WS_VISIBLE, 0,
                                  0, 64, 64, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    UpdateWindow(window);
    PumpMessages();
    HDC dc = GetDC(window);
    RECT all = {0, 0, 64, 64};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    auto image = MakeImage(16, 16, [](int x, int) { return x < 8 ? 128 : 255; });
    ASSERT_TRUE(image->PaintBlended(dc, 20, 20, -1, -1));
    const COLORREF blended = GetPixel(dc, 22, 22);
    const COLORREF opaque = GetPixel(dc, 30, 25);
    const COLORREF outside = GetPixel(dc, 5, 5);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    EXPECT_TRUE(IsBlend(blended, RGB(0, 0, 0), Pattern(2, 2), 128));
    EXPECT_EQ(opaque, Pattern(10, 5));
    EXPECT_EQ(outside, RGB(0, 0, 0));
}
