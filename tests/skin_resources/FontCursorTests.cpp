// Fonts and cursors of a skin: the font GDI makes from a font item, and
// cursors made from .cur bytes or files.
#include "Canvas.h"
#include "GDICursor.h"
#include "GDIFont.h"
#include "SkinFiles.h"
#include "UiProbe.h"

#include <gtest/gtest.h>

#include <string>

using namespace Velmora;

namespace {

LOGFONTA FontOf(const GDIFont& font) {
    LOGFONTA logFont = {};
    EXPECT_EQ(static_cast<int>(sizeof(logFont)),
              GetObjectA(font.GetFont(), sizeof(logFont), &logFont));
    return logFont;
}

// Differs from its mirror images, so flipped or shifted rows show.
bool InArrow(int x, int y) {
    return x >= 2 && x < 2 + (y < 12 ? y : 12) && y >= 1 && y < 20;
}

// Checks the hot spot, then draws the cursor on white and compares every pixel.
void ExpectCursor(HCURSOR cursor, int size, DWORD hotX, DWORD hotY) {
    ASSERT_NE(nullptr, cursor);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(hotX, info.xHotspot);
    EXPECT_EQ(hotY, info.yHotspot);
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    CCanvas canvas(32, 32);
    ASSERT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, cursor, size, size, 0, nullptr, DI_NORMAL));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            ASSERT_EQ(InArrow(x, y) ? RGB(0, 0, 0) : RGB(255, 255, 255), canvas.Pixel(x, y))
                << "pixel " << x << "," << y;
}

} // namespace

TEST(GDIFontTest, CreatesTheFontOfTheFontItem) {
    GDIFont font;
    ASSERT_NE(nullptr, font.CreateFontResource("Arial", -12, true, true, false));
    LOGFONTA logFont = FontOf(font);
    EXPECT_EQ(-12, logFont.lfHeight);
    EXPECT_EQ(700, logFont.lfWeight);
    EXPECT_EQ(0, logFont.lfItalic);
    EXPECT_EQ(1, logFont.lfUnderline);
    EXPECT_EQ(0, logFont.lfStrikeOut);
    EXPECT_EQ(DEFAULT_CHARSET, logFont.lfCharSet);
    EXPECT_EQ(OUT_STRING_PRECIS, logFont.lfOutPrecision);
    EXPECT_EQ(CLIP_CHARACTER_PRECIS, logFont.lfClipPrecision);
    EXPECT_EQ(DEFAULT_QUALITY, logFont.lfQuality);
    EXPECT_STREQ("Arial", logFont.lfFaceName);

    // A second creation replaces the first font, which is deleted.
    const HFONT first = font.GetFont();
    ASSERT_NE(nullptr, font.CreateFontResource("Tahoma", 16, false, false, true));
    EXPECT_EQ(0u, GetObjectType(first));
    logFont = FontOf(font);
    EXPECT_EQ(16, logFont.lfHeight);
    EXPECT_EQ(400, logFont.lfWeight);
    EXPECT_EQ(1, logFont.lfItalic);
    EXPECT_EQ(0, logFont.lfUnderline);

    const HFONT second = font.GetFont();
    font.Release();
    EXPECT_EQ(nullptr, font.GetFont());
    EXPECT_EQ(0u, GetObjectType(second));
}

// The 16-pixel cursor matters: its rows are stored 4 bytes wide but handed on word-wide.
TEST(CursorTest, CursorFromBytesOrFileHasItsHotSpotAndShape) {
    for (int size : {32, 16}) {
        SCOPED_TRACE(size);
        const std::string bytes = MakeCurFile(size, size, size / 4, 7, InArrow);
        GDICursor cursor;
        const HCURSOR handle = cursor.LoadCursorData(bytes.data(), bytes.size());
        EXPECT_EQ(handle, cursor.GetCursor());
        ExpectCursor(handle, size, size / 4, 7);
    }

    const std::string path = MakeScratchFolder("skin-cursor") + "\\arrow.cur";
    ASSERT_TRUE(WriteFileBytes(path, MakeCurFile(32, 32, 9, 3, InArrow)));
    GDICursor cursor;
    ExpectCursor(cursor.LoadCursorFile(path.c_str()), 32, 9, 3);
    EXPECT_EQ(nullptr, cursor.LoadCursorFile((path + ".missing").c_str()));
    EXPECT_EQ(nullptr, cursor.GetCursor());
}

TEST(CursorTest, TruncatedOrMalformedBytesAreRefused) {
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
