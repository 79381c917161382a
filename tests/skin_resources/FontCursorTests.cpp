// Fonts and cursors of a skin: the font GDI makes from a font item, exact-id
// lookups, and cursors made from .cur bytes or files.
#include "GDICursor.h"
#include "GDIFont.h"
#include "Manager.h"
#include "ResourceFixtures.h"
#include "SkinFiles.h"
#include "UiProbe.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace Velmora;

namespace {

class ManagerTest : public ::testing::Test {
  protected:
    void TearDown() override { CManager::Destroy(); }
};

LOGFONTA FontOf(const GDIFont& font) {
    LOGFONTA logFont = {};
    EXPECT_EQ(static_cast<int>(sizeof(logFont)),
              GetObjectA(font.GetFont(), sizeof(logFont), &logFont));
    return logFont;
}

std::unique_ptr<GDIFont> MakeFont(const std::string& id, int height) {
    auto font = std::make_unique<GDIFont>();
    font->SetId(id);
    EXPECT_NE(nullptr, font->CreateFontResource("Arial", height, false, false, false));
    return font;
}

// An arrow-like shape that differs from its mirror images, so flipped or
// shifted rows show.
bool InArrow(int x, int y) {
    return x >= 2 && x < 2 + (y < 12 ? y : 12) && y >= 1 && y < 20;
}

} // namespace

TEST(GDIFontTest, CreatesTheFontOfTheFontItem) {
    GDIFont bold;
    ASSERT_NE(nullptr, bold.CreateFontResource("Arial", -12, true, true, false));
    LOGFONTA logFont = FontOf(bold);
    EXPECT_EQ(-12, logFont.lfHeight);
    EXPECT_EQ(0, logFont.lfWidth);
    EXPECT_EQ(0, logFont.lfEscapement);
    EXPECT_EQ(0, logFont.lfOrientation);
    EXPECT_EQ(700, logFont.lfWeight);
    EXPECT_EQ(0, logFont.lfItalic);
    EXPECT_EQ(1, logFont.lfUnderline);
    EXPECT_EQ(0, logFont.lfStrikeOut);
    EXPECT_EQ(DEFAULT_CHARSET, logFont.lfCharSet);
    EXPECT_EQ(OUT_STRING_PRECIS, logFont.lfOutPrecision);
    EXPECT_EQ(CLIP_CHARACTER_PRECIS, logFont.lfClipPrecision);
    EXPECT_EQ(DEFAULT_QUALITY, logFont.lfQuality);
    EXPECT_EQ(0, logFont.lfPitchAndFamily);
    EXPECT_STREQ("Arial", logFont.lfFaceName);

    // A second creation replaces the first font, which is deleted.
    const HFONT first = bold.GetFont();
    ASSERT_NE(nullptr, bold.CreateFontResource("Tahoma", 16, false, false, true));
    EXPECT_EQ(0u, GetObjectType(first));
    logFont = FontOf(bold);
    EXPECT_EQ(16, logFont.lfHeight);
    EXPECT_EQ(400, logFont.lfWeight);
    EXPECT_EQ(1, logFont.lfItalic);
    EXPECT_EQ(0, logFont.lfUnderline);

    const HFONT second = bold.GetFont();
    bold.Release();
    EXPECT_EQ(nullptr, bold.GetFont());
    EXPECT_EQ(0u, GetObjectType(second));
}

TEST_F(ManagerTest, ResourceIdsAreExactAndTheFirstDefinitionWins) {
    CManager* manager = CManager::Instance();
    GDIFont* upper = manager->Fonts().Add(MakeFont("Title", 10));
    GDIFont* lower = manager->Fonts().Add(MakeFont("title", 20));
    ASSERT_NE(nullptr, upper);
    ASSERT_NE(nullptr, lower);
    EXPECT_EQ(nullptr, manager->Fonts().Add(MakeFont("Title", 30)));

    EXPECT_EQ(upper, manager->FindFont("Title"));
    EXPECT_EQ(lower, manager->FindFont("title"));
    EXPECT_EQ(nullptr, manager->FindFont("TITLE"));
    EXPECT_EQ(nullptr, manager->FindFont("Title "));
    EXPECT_EQ(10, FontOf(*manager->FindFont("Title")).lfHeight);
    EXPECT_EQ(2u, manager->Fonts().Size());
}

class CursorTest : public ::testing::Test {
  protected:
    // Draws the cursor on white and checks every pixel against the shape.
    static void ExpectShape(HCURSOR cursor, int width, int height) {
        CCanvas canvas(32, 32);
        ASSERT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, cursor, width, height, 0, nullptr, DI_NORMAL));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(InArrow(x, y) ? RGB(0, 0, 0) : RGB(255, 255, 255), canvas.Pixel(x, y))
                    << "pixel " << x << "," << y;
    }

    static void ExpectHotSpot(HCURSOR cursor, DWORD x, DWORD y) {
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(cursor, &info));
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(x, info.xHotspot);
        EXPECT_EQ(y, info.yHotspot);
        DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
    }
};

TEST_F(CursorTest, CursorFromBytesHasItsHotSpotAndShape) {
    const std::string bytes = MakeCurFile(32, 32, 5, 7, InArrow);
    GDICursor cursor;
    const HCURSOR handle = cursor.LoadCursorData(bytes.data(), bytes.size());
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(handle, cursor.GetCursor());
    ExpectHotSpot(handle, 5, 7);
    ExpectShape(handle, 32, 32);
}

// Rows of a narrow cursor are stored 4 bytes wide but handed on word-wide.
TEST_F(CursorTest, NarrowCursorKeepsItsShape) {
    const std::string bytes = MakeCurFile(16, 16, 1, 2, InArrow);
    GDICursor cursor;
    ASSERT_NE(nullptr, cursor.LoadCursorData(bytes.data(), bytes.size()));
    ExpectHotSpot(cursor.GetCursor(), 1, 2);
    ExpectShape(cursor.GetCursor(), 16, 16);
}

TEST_F(CursorTest, TruncatedOrMalformedBytesAreRefused) {
    const std::string good = MakeCurFile(32, 32, 0, 0, InArrow);
    auto with = [&](size_t offset, char value) {
        std::string bytes = good;
        bytes[offset] = value;
        return bytes;
    };
    const std::string cases[] = {
        std::string(),
        good.substr(0, 69),
        good.substr(0, 70),
        good.substr(0, good.size() - 1), // odd mask size
        good.substr(0, good.size() - 8), // fewer rows than the height
        good + std::string(8, '\0'),     // more rows than the height
        with(0, 1),                      // reserved word
        with(2, 1),                      // an icon, not a cursor
        with(4, 2),                      // two images
        with(6, 64),                     // wider than a 4-byte row
        with(7, 0),                      // no height
        with(18, 30),                    // picture not after the entry
        with(22 + 14, 4),                // not monochrome
    };
    GDICursor cursor;
    for (const std::string& bytes : cases) {
        ASSERT_NE(nullptr, cursor.LoadCursorData(good.data(), good.size()));
        EXPECT_EQ(nullptr, cursor.LoadCursorData(bytes.data(), bytes.size())) << bytes.size();
        EXPECT_EQ(nullptr, cursor.GetCursor());
    }
    EXPECT_EQ(nullptr, cursor.LoadCursorData(nullptr, 100));
}

TEST_F(CursorTest, CursorFromFileOnDisk) {
    const std::string path = MakeScratchFolder("skin-cursor") + "\\arrow.cur";
    ASSERT_TRUE(WriteFileBytes(path, MakeCurFile(32, 32, 9, 3, InArrow)));
    GDICursor cursor;
    ASSERT_NE(nullptr, cursor.LoadCursorFile(path.c_str()));
    ExpectHotSpot(cursor.GetCursor(), 9, 3);
    ExpectShape(cursor.GetCursor(), 32, 32);

    EXPECT_EQ(nullptr, cursor.LoadCursorFile((path + ".missing").c_str()));
    EXPECT_EQ(nullptr, cursor.GetCursor());
}
