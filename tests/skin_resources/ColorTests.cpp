// The colour adjustment: HSL conversions, re-colouring of one image from its
// decoded colours, and the manager's adjustment of the whole skin.
#include "ColorAdjust.h"
#include "GDIImage.h"
#include "Manager.h"
#include "ResourceFixtures.h"
#include "SkinFiles.h"
#include "UiProbe.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

using namespace Velmora;

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kColors[] = {RGB(201, 100, 50), RGB(10, 20, 31),   RGB(255, 255, 254),
                            RGB(30, 200, 90),  RGB(90, 60, 220),  kMagenta,
                            RGB(0, 0, 0),      RGB(128, 128, 128)};
constexpr int kColorCount = sizeof(kColors) / sizeof(kColors[0]);

COLORREF ColorOf(const PixRgbQuad& quad) {
    return RGB(quad.red, quad.green, quad.blue);
}

// A 24-bit image with one pixel of each test colour in a row.
std::unique_ptr<GDIImage> MakeTrueColorImage(const char* id) {
    auto image = std::make_unique<GDIImage>();
    image->SetId(id);
    EXPECT_NE(nullptr, image->Allocate(kColorCount, 1, 24, 0));
    uint8_t* row = image->GetRow(0);
    for (int x = 0; x < kColorCount; ++x) {
        row[x * 3] = GetBValue(kColors[x]);
        row[x * 3 + 1] = GetGValue(kColors[x]);
        row[x * 3 + 2] = GetRValue(kColors[x]);
    }
    return image;
}

// An 8-bit image whose palette holds the test colours, pixel x showing entry x.
std::unique_ptr<GDIImage> MakePaletteImage(const char* id) {
    auto image = std::make_unique<GDIImage>();
    image->SetId(id);
    EXPECT_NE(nullptr, image->Allocate(kColorCount, 1, 8, 0));
    for (int i = 0; i < kColorCount; ++i) {
        image->SetPaletteColor(static_cast<uint32_t>(i), GetRValue(kColors[i]),
                               GetGValue(kColors[i]), GetBValue(kColors[i]));
        image->GetRow(0)[i] = static_cast<uint8_t>(i);
    }
    return image;
}

std::vector<COLORREF> Colors(const GDIImage& image) {
    std::vector<COLORREF> colors;
    for (int x = 0; x < image.GetWidth(); ++x)
        colors.push_back(ColorOf(image.GetPixelColor(x, 0)));
    return colors;
}

const std::vector<COLORREF> kDecoded(kColors, kColors + kColorCount);

} // namespace

TEST(HslTest, KnownColours) {
    const HslColor green = RgbToHsl(0, 255, 0);
    EXPECT_FLOAT_EQ(120.0f, green.hue);
    EXPECT_FLOAT_EQ(1.0f, green.saturation);
    EXPECT_FLOAT_EQ(0.5f, green.lightness);
    EXPECT_FLOAT_EQ(240.0f, RgbToHsl(0, 0, 255).hue);
    EXPECT_FLOAT_EQ(360.0f, RgbToHsl(255, 0, 0).hue);
    const HslColor grey = RgbToHsl(100, 100, 100);
    EXPECT_EQ(0.0f, grey.hue);
    EXPECT_EQ(0.0f, grey.saturation);

    EXPECT_EQ(RGB(255, 0, 0), HslToRgb(0.0f, 1.0f, 0.5f));
    EXPECT_EQ(RGB(0, 0, 255), HslToRgb(240.0f, 1.0f, 0.5f));
    // Lightness and saturation above 1 are cut to 1.
    EXPECT_EQ(RGB(255, 255, 255), HslToRgb(10.0f, 3.0f, 2.0f));
    EXPECT_EQ(0, HueToChannel(0.0f, 1.0f, 300.0f));
    EXPECT_EQ(255, HueToChannel(0.0f, 1.0f, 480.0f));
    EXPECT_EQ(127, HueToChannel(0.0f, 1.0f, -330.0f));
}

TEST(HslTest, RoundTripsWithinOnePerChannel) {
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
    std::unique_ptr<GDIImage> image = MakeTrueColorImage("grey");
    image->AdjustHSL(0, 0, 100);
    const std::vector<COLORREF> colors = Colors(*image);
    EXPECT_EQ(RGB(125, 125, 125), colors[0]); // 251 / 510 * 255 = 125.5
    EXPECT_EQ(RGB(20, 20, 20), colors[1]);    // 41 / 510 * 255 = 20.5
    EXPECT_EQ(RGB(254, 254, 254), colors[2]); // 509 / 510 * 255 = 254.5
    image->AdjustHSL(0, 0, 50);
    EXPECT_EQ(RGB(62, 62, 62), Colors(*image)[0]); // 125.5 / 2
}

TEST(AdjustHslTest, TrueColourAndPaletteImagesAdjustFromTheirDecodedColours) {
    std::unique_ptr<GDIImage> images[] = {MakeTrueColorImage("true"), MakePaletteImage("palette")};
    for (const auto& image : images) {
        SCOPED_TRACE(image->GetId());
        image->SetTransparentColor(kMagenta);
        image->AdjustHSL(30, 100, 100);
        const std::vector<COLORREF> once = Colors(*image);
        EXPECT_EQ(kMagenta, once[5]);
        EXPECT_NE(kDecoded[0], once[0]);
        EXPECT_NE(kDecoded[3], once[3]);

        image->AdjustHSL(30, 100, 100);
        EXPECT_EQ(once, Colors(*image));
        image->AdjustHSL(-120, 150, 60);
        image->AdjustHSL(30, 100, 100);
        EXPECT_EQ(once, Colors(*image));

        image->AdjustHSL(0, 100, 100);
        EXPECT_EQ(kDecoded, Colors(*image));
    }
}

TEST(AdjustHslTest, ImageThatMustNotBeAdjustedNeverChanges) {
    std::unique_ptr<GDIImage> images[] = {MakeTrueColorImage("true"), MakePaletteImage("palette")};
    for (const auto& image : images) {
        image->SetAdjust(false);
        image->AdjustHSL(90, 0, 150);
        EXPECT_EQ(kDecoded, Colors(*image)) << image->GetId();
    }
}

class AdjustColorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CManager* manager = CManager::Instance();
        m_trueColor = manager->Images().Add(MakeTrueColorImage("true"));
        m_palette = manager->Images().Add(MakePaletteImage("palette"));
        m_trueColor->SetTransparentColor(kMagenta);
    }
    void TearDown() override { CManager::Destroy(); }

    void ExpectDefaultAndDecoded() {
        EXPECT_EQ(ColorAdjustment{}, CManager::Instance()->GetColorAdjustment());
        EXPECT_EQ(kDecoded, Colors(*m_trueColor));
        EXPECT_EQ(kDecoded, Colors(*m_palette));
    }

    GDIImage* m_trueColor = nullptr;
    GDIImage* m_palette = nullptr;
};

TEST_F(AdjustColorTest, ValuesOutOfRangeChangeNothing) {
    CManager* manager = CManager::Instance();
    EXPECT_EQ(0, manager->AdjustColor(-181, 100, 100));
    EXPECT_EQ(0, manager->AdjustColor(181, 100, 100));
    EXPECT_EQ(0, manager->AdjustColor(0, 201, 100));
    EXPECT_EQ(0, manager->AdjustColor(0, -1, 100));
    EXPECT_EQ(0, manager->AdjustColor(0, 100, 201));
    EXPECT_EQ(0, manager->AdjustColor(0, 100, -1));
    ExpectDefaultAndDecoded();
}

TEST_F(AdjustColorTest, AppliesToEveryImageAndResetsToTheDefault) {
    CManager* manager = CManager::Instance();
    ASSERT_EQ(1, manager->AdjustColor(180, 200, 0));
    EXPECT_EQ((ColorAdjustment{180, 200, 0}), manager->GetColorAdjustment());
    std::vector<COLORREF> black(kColorCount, RGB(0, 0, 0));
    EXPECT_EQ(black, Colors(*m_palette));
    black[5] = kMagenta; // the transparent colour of the true-colour image
    EXPECT_EQ(black, Colors(*m_trueColor));

    ASSERT_EQ(1, manager->AdjustColor(-1, 50, 50));
    ExpectDefaultAndDecoded();
}

TEST_F(AdjustColorTest, TheAdjustmentInForceIsNotAppliedAgain) {
    CManager* manager = CManager::Instance();
    // A pixel changed behind the adjustment's back shows whether it ran.
    uint8_t& blue = m_trueColor->GetRow(0)[0];
    blue = 1;
    EXPECT_EQ(1, manager->AdjustColor(0, 100, 100));
    EXPECT_EQ(1, blue);
    blue = GetBValue(kColors[0]);

    ASSERT_EQ(1, manager->AdjustColor(30, 100, 100));
    blue = 1;
    EXPECT_EQ(1, manager->AdjustColor(30, 100, 100));
    EXPECT_EQ(1, blue);
    EXPECT_EQ(1, manager->AdjustColor(0, 100, 100));
    ExpectDefaultAndDecoded();
}

TEST_F(AdjustColorTest, FileImagesAreNotAdjusted) {
    CManager* manager = CManager::Instance();
    const std::string path = MakeScratchFolder("skin-adjust") + "\\red.bmp";
    ASSERT_TRUE(WriteFileBytes(path, MakeBmpFile(2, 2, [](int, int) { return RGB(200, 0, 0); })));
    CVelmoraImage* fileImage = manager->GetFileImage(path, false);
    ASSERT_NE(nullptr, fileImage);
    ASSERT_EQ(1, manager->AdjustColor(120, 100, 100));
    EXPECT_EQ(RGB(200, 0, 0), ColorOf(fileImage->GetImage()->GetPixelColor(1, 1)));
    EXPECT_NE(kDecoded, Colors(*m_trueColor));
}
