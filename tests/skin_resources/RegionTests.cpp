// Window regions cut out of bitmaps of every depth the skin's region images use.
#include "Region.h"
#include "ResourceFixtures.h"

#include <gtest/gtest.h>

using namespace Velmora;

namespace {

const COLORREF kClip = RGB(255, 0, 255);

struct Depth {
    int bitsPerPixel;
    bool rgb555;
};

std::string DepthName(const ::testing::TestParamInfo<Depth>& info) {
    return std::to_string(info.param.bitsPerPixel) + (info.param.rgb555 ? "bit555" : "bit");
}

class RegionTest : public ::testing::TestWithParam<Depth> {
  protected:
    // The region of a width x height bitmap whose pixels come from `color`.
    HRGN Cut(CRegion& region, int width, int height, const PixelColor& color,
             const std::function<uint8_t(int, int)>& fourthByte = nullptr) {
        HBITMAP bitmap = MakeDibSection(GetParam().bitsPerPixel, GetParam().rgb555, width, height,
                                        color, fourthByte);
        EXPECT_NE(nullptr, bitmap);
        HRGN handle = region.CreateFromBitmap(bitmap, kClip);
        DeleteObject(bitmap);
        return handle;
    }
};

} // namespace

TEST_P(RegionTest, AllClipColourGivesAnEmptyRegion) {
    CRegion region;
    HRGN handle = Cut(region, 7, 5, [](int, int) { return kClip; });
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(handle, region.GetHandle());
    RECT box;
    EXPECT_EQ(NULLREGION, GetRgnBox(handle, &box));
}

// GDI merges the equal rows into one rectangle.
TEST_P(RegionTest, NoClipColourCoversTheWholeBitmap) {
    CRegion region;
    // Odd width so that padded rows are not mistaken for pixels.
    HRGN handle = Cut(region, 7, 5, [](int x, int y) { return RGB(x * 30, y * 40, 100); });
    ASSERT_NE(nullptr, handle);
    HRGN whole = CreateRectRgn(0, 0, 7, 5);
    EXPECT_TRUE(EqualRgn(handle, whole));
    DeleteObject(whole);
}

TEST_P(RegionTest, ClipColouredPixelsAreCutOut) {
    auto clipped = [](int x, int y) {
        return (x >= 2 && x <= 5 && y >= 1 && y <= 3) || x == 8 || (x + 2 * y) % 7 == 0;
    };
    CRegion region;
    HRGN handle = Cut(region, 9, 6, [&](int x, int y) {
        return clipped(x, y) ? kClip : (y % 2 ? RGB(10, 200, 30) : RGB(200, 0, 200 - 8 * x));
    });
    ASSERT_NE(nullptr, handle);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(!clipped(x, y), PtInRegion(handle, x, y) != 0) << x << "," << y;
    EXPECT_FALSE(PtInRegion(handle, 9, 0));
    EXPECT_FALSE(PtInRegion(handle, 0, 6));

    // A second cut replaces the first region.
    HRGN second = Cut(region, 3, 3, [](int, int) { return RGB(1, 2, 3); });
    ASSERT_NE(nullptr, second);
    RECT box;
    EXPECT_EQ(SIMPLEREGION, GetRgnBox(region.GetHandle(), &box));
    EXPECT_EQ(3, box.right);
    EXPECT_EQ(3, box.bottom);

    HRGN detached = region.Detach();
    EXPECT_EQ(second, detached);
    EXPECT_EQ(nullptr, region.GetHandle());
    EXPECT_NE(0, GetRgnBox(detached, &box));
    DeleteObject(detached);
}

INSTANTIATE_TEST_SUITE_P(Depths, RegionTest,
                         ::testing::Values(Depth{8, false}, Depth{16, false}, Depth{16, true},
                                           Depth{24, false}, Depth{32, false}),
                         DepthName);

TEST(Region32Test, PixelWithAFourthByteNeverMatchesTheClipColour) {
    HBITMAP bitmap = MakeDibSection(
        32, false, 4, 2, [](int, int) { return kClip; },
        [](int x, int y) { return static_cast<uint8_t>(x == 1 && y == 0 ? 0x80 : 0); });
    ASSERT_NE(nullptr, bitmap);
    CRegion region;
    HRGN handle = region.CreateFromBitmap(bitmap, kClip);
    DeleteObject(bitmap);
    ASSERT_NE(nullptr, handle);
    RECT box;
    ASSERT_EQ(SIMPLEREGION, GetRgnBox(handle, &box));
    EXPECT_EQ(1, box.left);
    EXPECT_EQ(0, box.top);
    EXPECT_EQ(2, box.right);
    EXPECT_EQ(1, box.bottom);
}

TEST(RegionNoBitmapTest, NoBitmapGivesNoRegion) {
    CRegion region;
    EXPECT_EQ(nullptr, region.CreateFromBitmap(nullptr, kClip));
    EXPECT_EQ(nullptr, region.GetHandle());
}
