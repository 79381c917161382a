// Fonts and cursors of a skin: a font object's handles, and cursors made from
// .cur files that icotool wrote, read from their bytes or from the file.
#include "Canvas.h"
#include "GDICursor.h"
#include "GDIFont.h"
#include "SkinFiles.h"
#include "UiProbe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Velmora;

namespace {

// The L shape of the cursor pictures, black on transparent (make-pictures.sh).
bool InShape(int x, int y) {
    return x >= 2 && y >= 1 && y <= 13 && (x <= 4 || (x <= 12 && y >= 11));
}

// Checks the hot spot, then draws the cursor on white and compares every pixel.
void ExpectCursor(HCURSOR cursor, int size, DWORD hotX, DWORD hotY) {
    ASSERT_NE(nullptr, cursor);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(hotX * 100 + hotY, info.xHotspot * 100 + info.yHotspot);
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    CCanvas canvas(32, 32);
    ASSERT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, cursor, size, size, 0, nullptr, DI_NORMAL));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            ASSERT_EQ(InShape(x, y) ? RGB(0, 0, 0) : RGB(255, 255, 255), canvas.Pixel(x, y))
                << "pixel " << x << "," << y;
}

} // namespace

// A second creation replaces the first font, which is deleted, as Release deletes the last.
TEST(GDIFontTest, EachCreationDeletesTheFontBefore) {
    GDIFont font;
    ASSERT_NE(nullptr, font.CreateFontResource("Arial", -12, true, true, false));
    const HFONT first = font.GetFont();
    ASSERT_NE(nullptr, font.CreateFontResource("Tahoma", 16, false, false, true));
    EXPECT_EQ(0u, GetObjectType(first));
    LOGFONTA logFont = {};
    ASSERT_TRUE(GetObjectA(font.GetFont(), sizeof(logFont), &logFont));
    EXPECT_EQ((std::vector<int>{16, 400, 1, 0}),
              (std::vector<int>{logFont.lfHeight, logFont.lfWeight, logFont.lfItalic,
                                logFont.lfUnderline}));
    const HFONT second = font.GetFont();
    font.Release();
    EXPECT_EQ(nullptr, font.GetFont());
    EXPECT_EQ(0u, GetObjectType(second));
}

// The 16-pixel cursor matters: its rows are stored 4 bytes wide but handed on word-wide.
TEST(CursorTest, CursorFromBytesOrFileHasItsHotSpotAndShape) {
    const struct {
        const char* file;
        int size;
        DWORD hotX, hotY;
    } cursors[] = {{"arrow-32.cur", 32, 9, 3}, {"arrow-16.cur", 16, 4, 7}};
    for (const auto& c : cursors) {
        SCOPED_TRACE(c.file);
        const std::string bytes = PictureBytes(c.file);
        GDICursor cursor;
        const HCURSOR handle = cursor.LoadCursorData(bytes.data(), bytes.size());
        EXPECT_EQ(handle, cursor.GetCursor());
        ExpectCursor(handle, c.size, c.hotX, c.hotY);
        ExpectCursor(cursor.LoadCursorFile(PicturePath(c.file).c_str()), c.size, c.hotX, c.hotY);
    }
    GDICursor cursor;
    EXPECT_EQ(nullptr, cursor.LoadCursorFile(PicturePath("missing.cur").c_str()));
    EXPECT_EQ(nullptr, cursor.GetCursor());
}

TEST(CursorTest, TruncatedOrMalformedBytesAreRefused) {
    const std::string good = PictureBytes("arrow-32.cur");
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
