// The colour adjustment: HSL conversions, re-colouring of one image from its
// decoded colours, and the manager's adjustment of the whole skin.
#include "ColorAdjust.h"
#include "GDIImage.h"
#include "Manager.h"
#include "SkinFiles.h"
#include "VelmoraImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

using namespace Velmora;

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);
const std::vector<COLORREF> kDecoded = {RGB(201, 100, 50), RGB(10, 20, 31),   RGB(255, 255, 254),
                                        RGB(30, 200, 90),  RGB(90, 60, 220),  kMagenta,
                                        RGB(0, 0, 0),      RGB(128, 128, 128)};
const int kCount = static_cast<int>(kDecoded.size());

COLORREF ColorOf(const PixRgbQuad& quad) {
    return RGB(quad.red, quad.green, quad.blue);
}

// One pixel of each test colour in a row: 24-bit, or 8-bit with the colours as palette.
std::unique_ptr<GDIImage> MakeImage(const char* id, int bits) {
    auto image = std::make_unique<GDIImage>();
    image->SetId(id);
    EXPECT_NE(nullptr, image->Allocate(kCount, 1, bits, 0));
    uint8_t* row = image->GetRow(0);
    for (int x = 0; x < kCount; ++x) {
        const COLORREF c = kDecoded[x];
        if (bits == 8) {
            image->SetPaletteColor(static_cast<uint32_t>(x), GetRValue(c), GetGValue(c),
                                   GetBValue(c));
            row[x] = static_cast<uint8_t>(x);
        } else {
            row[x * 3] = GetBValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetRValue(c);
        }
    }
    return image;
}

std::vector<COLORREF> Colors(const GDIImage& image) {
    std::vector<COLORREF> colors;
    for (int x = 0; x < image.GetWidth(); ++x)
        colors.push_back(ColorOf(image.GetPixelColor(x, 0)));
    return colors;
}

} // namespace

TEST(HslTest, KnownColoursAndRoundTripWithinOnePerChannel) {
    const HslColor green = RgbToHsl(0, 255, 0);
    EXPECT_FLOAT_EQ(120.0f, green.hue);
    EXPECT_FLOAT_EQ(1.0f, green.saturation);
    EXPECT_FLOAT_EQ(0.5f, green.lightness);
    EXPECT_FLOAT_EQ(360.0f, RgbToHsl(255, 0, 0).hue);
    EXPECT_EQ(0.0f, RgbToHsl(100, 100, 100).saturation);
    // Lightness and saturation above 1 are cut to 1.
    EXPECT_EQ(RGB(255, 255, 255), HslToRgb(10.0f, 3.0f, 2.0f));
    EXPECT_EQ(127, HueToChannel(0.0f, 1.0f, -330.0f));

    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 51) {
                const HslColor hsl = RgbToHsl(static_cast<uint8_t>(r), static_cast<uint8_t>(g),
                                              static_cast<uint8_t>(b));
                const COLORREF back = HslToRgb(hsl.hue, hsl.saturation, hsl.lightness);
                ASSERT_LE(std::abs(GetRValue(back) - r), 1) << r << "," << g << "," << b;
                ASSERT_LE(std::abs(GetGValue(back) - g), 1) << r << "," << g << "," << b;
                ASSERT_LE(std::abs(GetBValue(back) - b), 1) << r << "," << g << "," << b;
            }
}

TEST(AdjustHslTest, SaturationZeroGivesGreyOfTheLightness) {
    std::unique_ptr<GDIImage> image = MakeImage("grey", 24);
    image->AdjustHSL(0, 0, 100);
    const std::vector<COLORREF> colors = Colors(*image);
    EXPECT_EQ(RGB(125, 125, 125), colors[0]); // 251 / 510 * 255 = 125.5
    EXPECT_EQ(RGB(20, 20, 20), colors[1]);    // 41 / 510 * 255 = 20.5
    EXPECT_EQ(RGB(254, 254, 254), colors[2]); // 509 / 510 * 255 = 254.5
    image->AdjustHSL(0, 0, 50);
    EXPECT_EQ(RGB(62, 62, 62), Colors(*image)[0]); // 125.5 / 2
}

TEST(AdjustHslTest, ImagesAdjustFromTheirDecodedColoursUnlessTheyMustNot) {
    for (int bits : {24, 8}) {
        SCOPED_TRACE(bits);
        std::unique_ptr<GDIImage> image = MakeImage("image", bits);
        image->SetTransparentColor(kMagenta);
        image->AdjustHSL(30, 100, 100);
        const std::vector<COLORREF> once = Colors(*image);
        EXPECT_EQ(kMagenta, once[5]);
        EXPECT_NE(kDecoded[0], once[0]);
        EXPECT_NE(kDecoded[3], once[3]);

        image->AdjustHSL(-120, 150, 60);
        image->AdjustHSL(30, 100, 100);
        EXPECT_EQ(once, Colors(*image));
        image->AdjustHSL(0, 100, 100);
        EXPECT_EQ(kDecoded, Colors(*image));

        std::unique_ptr<GDIImage> fixed = MakeImage("fixed", bits);
        fixed->SetAdjust(false);
        fixed->AdjustHSL(90, 0, 150);
        EXPECT_EQ(kDecoded, Colors(*fixed));
    }
}

TEST(AdjustColorTest, ManagerAdjustsEveryImageInRangeOnceAndRestores) {
    struct Destroy {
        ~Destroy() { CManager::Destroy(); }
    } destroy;
    CManager* manager = CManager::Instance();
    GDIImage* trueColor = manager->Images().Add(MakeImage("true", 24));
    GDIImage* palette = manager->Images().Add(MakeImage("palette", 8));
    trueColor->SetTransparentColor(kMagenta);
    CVelmoraImage* fileImage = manager->GetFileImage(PicturePath("red-2x2.bmp"), false);
    ASSERT_NE(nullptr, fileImage);
    auto expectDefaultAndDecoded = [&] {
        EXPECT_EQ(ColorAdjustment{}, manager->GetColorAdjustment());
        EXPECT_EQ(kDecoded, Colors(*trueColor));
        EXPECT_EQ(kDecoded, Colors(*palette));
    };

    const int outOfRange[][3] = {{-181, 100, 100}, {181, 100, 100}, {0, 201, 100},
                                 {0, -1, 100},     {0, 100, 201},   {0, 100, -1}};
    for (const auto& v : outOfRange)
        EXPECT_EQ(0, manager->AdjustColor(v[0], v[1], v[2])) << v[0] << "," << v[1] << "," << v[2];
    expectDefaultAndDecoded();

    ASSERT_EQ(1, manager->AdjustColor(180, 200, 0));
    EXPECT_EQ((ColorAdjustment{180, 200, 0}), manager->GetColorAdjustment());
    std::vector<COLORREF> black(kCount, RGB(0, 0, 0));
    EXPECT_EQ(black, Colors(*palette));
    black[5] = kMagenta;
    EXPECT_EQ(black, Colors(*trueColor));
    // Pictures read from files keep their colours.
    EXPECT_EQ(RGB(255, 0, 0), ColorOf(fileImage->GetImage()->GetPixelColor(1, 1)));
    ASSERT_EQ(1, manager->AdjustColor(-1, 50, 50));
    expectDefaultAndDecoded();

    // A pixel changed behind the adjustment's back shows whether it ran again.
    uint8_t& blue = trueColor->GetRow(0)[0];
    blue = 1;
    EXPECT_EQ(1, manager->AdjustColor(0, 100, 100));
    EXPECT_EQ(1, blue);
    blue = GetBValue(kDecoded[0]);
    ASSERT_EQ(1, manager->AdjustColor(30, 100, 100));
    blue = 1;
    EXPECT_EQ(1, manager->AdjustColor(30, 100, 100));
    EXPECT_EQ(1, blue);
    EXPECT_EQ(1, manager->AdjustColor(0, 100, 100));
    expectDefaultAndDecoded();
}
