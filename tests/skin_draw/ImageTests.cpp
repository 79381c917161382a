// Image items: the five modes at exact coordinates, transparent colour, alpha,
// related placement, per-window values and images read from files on demand.
#include "DrawFixture.h"

#include "Manager.h"
#include "SkinFiles.h"
#include "UiProbe.h"

using namespace Velmora;
using namespace DrawTest;

namespace {

constexpr COLORREF kRed = RGB(250, 0, 0);
constexpr COLORREF kGreen = RGB(0, 200, 0);
constexpr COLORREF kBlue = RGB(0, 0, 250);
constexpr COLORREF kYellow = RGB(240, 240, 0);
constexpr COLORREF kGray = RGB(128, 128, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kKey = RGB(255, 0, 255);

std::function<COLORREF(int, int)> Solid(COLORREF color) {
    return [color](int, int) { return color; };
}

class DrawImageTest : public DrawTestBase {
  protected:
    // Expects the pixels of [left, right) x [top, bottom) to have color.
    void ExpectArea(int left, int top, int right, int bottom, COLORREF color, int tolerance = 0) {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                ASSERT_TRUE(Near(Pixel(x, y), color, tolerance))
                    << "at " << x << "," << y << " found " << std::hex << Pixel(x, y);
            }
        }
    }
};

} // namespace

TEST_F(DrawImageTest, NormalImageAtEdgeRelativeOriginCentredOrSized) {
    AddImage("square", 10, 10, Solid(kRed));
    ImageItem* item = AddImageItem("pic", "square", IMAGEMODE_NORMAL);
    item->left = -10;
    const RECT target = {20, 10, 120, 60};
    Paint(item, DRAWITEM_IMAGE, target);
    PaintedBox box = FindNot(kBackground);
    EXPECT_EQ(box.left, 110);
    EXPECT_EQ(box.top, 10);
    EXPECT_EQ(box.right, 120);
    EXPECT_EQ(box.bottom, 20);
    EXPECT_EQ(box.count, 100);

    Clear();
    item->left = 0;
    item->horzAlign = ALIGN_CENTER;
    item->vertAlign = ALIGN_CENTER;
    Paint(item, DRAWITEM_IMAGE, target);
    box = FindNot(kBackground);
    EXPECT_EQ(box.left, 65);
    EXPECT_EQ(box.top, 30);
    EXPECT_EQ(box.count, 100);

    Clear();
    item->horzAlign = ALIGN_NONE;
    item->vertAlign = ALIGN_NONE;
    item->width = -20;
    item->height = 5;
    Paint(item, DRAWITEM_IMAGE, target);
    box = FindColor(kRed);
    EXPECT_EQ(box.left, 20);
    EXPECT_EQ(box.right, 100);
    EXPECT_EQ(box.bottom, 15);
    EXPECT_EQ(box.count, 80 * 5);
}

TEST_F(DrawImageTest, RegionShowsOneCellOfASheet) {
    const COLORREF cells[] = {kRed, kGreen, kBlue};
    AddImage("row", 30, 10, [&cells](int x, int) { return cells[x / 10]; });
    AddImage("column", 10, 30, [&cells](int, int y) { return cells[y / 10]; });
    ImageItem* item = AddImageItem("pic", "row", IMAGEMODE_NORMAL);
    item->left = 5;
    item->top = 7;
    item->region = {10, 0, 10, 10};
    Paint(item, DRAWITEM_IMAGE, RECT{0, 0, 200, 120});
    PaintedBox box = FindNot(kBackground);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.top, 7);
    EXPECT_EQ(box.count, 100);
    ExpectArea(5, 7, 15, 17, kGreen);

    Clear();
    item->imageId = "column";
    item->region = {0, 20, 10, 10};
    Paint(item, DRAWITEM_IMAGE, RECT{0, 0, 200, 120});
    EXPECT_EQ(FindNot(kBackground).count, 100);
    ExpectArea(5, 7, 15, 17, kBlue);

    // A cell larger than the sheet, or outside it, paints nothing.
    Clear();
    item->region = {0, 0, 40, 10};
    Paint(item, DRAWITEM_IMAGE, RECT{0, 0, 200, 120});
    item->region = {0, 30, 10, 10};
    Paint(item, DRAWITEM_IMAGE, RECT{0, 0, 200, 120});
    EXPECT_EQ(FindNot(kBackground).count, 0);
}

TEST_F(DrawImageTest, TilePaintsOnlyWholeCopies) {
    AddImage("tile", 10, 10, [](int x, int y) { return x == 0 && y == 0 ? kBlue : kRed; });
    ImageItem* item = AddImageItem("pic", "tile", IMAGEMODE_TILE);
    item->left = 0;
    item->top = 0;
    item->right = 25;
    item->bottom = 25;
    Paint(item, DRAWITEM_IMAGE, RECT{10, 10, 190, 110});
    PaintedBox box = FindNot(kBackground);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 10);
    EXPECT_EQ(box.right, 30);
    EXPECT_EQ(box.bottom, 30);
    EXPECT_EQ(box.count, 400);
    EXPECT_EQ(FindColor(kBlue).count, 4);
    EXPECT_EQ(Pixel(20, 20), kBlue);

    // Counted from the right edge: right 0 is the edge itself.
    Clear();
    item->left = -25;
    item->right = 0;
    item->bottom = 10;
    Paint(item, DRAWITEM_IMAGE, RECT{10, 10, 190, 110});
    box = FindNot(kBackground);
    EXPECT_EQ(box.left, 165);
    EXPECT_EQ(box.right, 185);
    EXPECT_EQ(box.count, 200);
    ExpectArea(185, 10, 190, 20, kBackground);
}

TEST_F(DrawImageTest, StretchVertStretchesOnlyTheMiddleBand) {
    const COLORREF bands[] = {kRed, kGreen, kBlue};
    AddImage("bands", 10, 9, [&bands](int, int y) { return bands[y / 3]; });
    ImageItem* item = AddImageItem("pic", "bands", IMAGEMODE_STRETCHVERT);
    item->left = 5;
    item->top = 5;
    item->height = 30;
    item->stretchTop = 3;
    item->stretchBottom = 3;
    Paint(item, DRAWITEM_IMAGE, RECT{20, 10, 190, 110});
    const PaintedBox box = FindNot(kBackground);
    EXPECT_EQ(box.left, 25);
    EXPECT_EQ(box.right, 35);
    EXPECT_EQ(box.top, 15);
    EXPECT_EQ(box.bottom, 45);
    ExpectArea(25, 15, 35, 18, kRed);
    ExpectArea(25, 18, 35, 42, kGreen);
    ExpectArea(25, 42, 35, 45, kBlue);
}

TEST_F(DrawImageTest, StretchHorzReadsTheRegionFrameAndKeepsItsMargins) {
    AddImage("frames", 20, 6, [](int x, int) {
        if (x < 10)
            return kWhite;
        return x < 12 ? kRed : x < 18 ? kGreen : kBlue;
    });
    ImageItem* item = AddImageItem("pic", "frames", IMAGEMODE_STRETCHHORZ);
    item->left = 10;
    item->top = -20;
    item->width = 50;
    item->stretchLeft = 2;
    item->stretchRight = 2;
    item->region = {10, 0, 10, 0};
    Paint(item, DRAWITEM_IMAGE, RECT{0, 0, 200, 120});
    const PaintedBox box = FindNot(kBackground);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.right, 60);
    EXPECT_EQ(box.top, 100);
    EXPECT_EQ(box.bottom, 106);
    ExpectArea(10, 100, 12, 106, kRed);
    ExpectArea(12, 100, 58, 106, kGreen);
    ExpectArea(58, 100, 60, 106, kBlue);
    EXPECT_EQ(FindColor(kWhite).count, 0);
}

TEST_F(DrawImageTest, StretchBothKeepsCornersAtTheirSizeForAnyBox) {
    AddImage("frame", 9, 9, [](int x, int y) {
        const bool left = x < 3, right = x >= 6, top = y < 3, bottom = y >= 6;
        if (top && left)
            return kRed;
        if (top && right)
            return kGreen;
        if (bottom && left)
            return kBlue;
        if (bottom && right)
            return kYellow;
        return left || right || top || bottom ? kGray : kWhite;
    });
    ImageItem* item = AddImageItem("pic", "frame", IMAGEMODE_STRETCHBOTH);
    item->stretchLeft = item->stretchTop = item->stretchRight = item->stretchBottom = 3;
    item->left = 4;
    item->top = 6;
    const SIZE sizes[] = {{9, 9}, {20, 15}, {57, 41}};
    for (const SIZE& size : sizes) {
        SCOPED_TRACE(size.cx);
        Clear();
        item->width = size.cx;
        item->height = size.cy;
        Paint(item, DRAWITEM_IMAGE, RECT{10, 10, 190, 110});
        const int x = 14, y = 16, right = x + size.cx, bottom = y + size.cy;
        EXPECT_EQ(FindNot(kBackground).count, size.cx * size.cy);
        EXPECT_EQ(FindColor(kRed).count, 9);
        EXPECT_EQ(FindColor(kGreen).count, 9);
        EXPECT_EQ(FindColor(kBlue).count, 9);
        EXPECT_EQ(FindColor(kYellow).count, 9);
        ExpectArea(x, y, x + 3, y + 3, kRed);
        ExpectArea(right - 3, y, right, y + 3, kGreen);
        ExpectArea(x, bottom - 3, x + 3, bottom, kBlue);
        ExpectArea(right - 3, bottom - 3, right, bottom, kYellow);
        ExpectArea(x + 3, y, right - 3, y + 3, kGray);
        ExpectArea(x, y + 3, x + 3, bottom - 3, kGray);
        ExpectArea(x + 3, y + 3, right - 3, bottom - 3, kWhite);
    }

    // Width and height 0 fill the target.
    Clear();
    item->left = item->top = item->width = item->height = 0;
    Paint(item, DRAWITEM_IMAGE, RECT{10, 10, 190, 110});
    const PaintedBox box = FindNot(kBackground);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 10);
    EXPECT_EQ(box.right, 190);
    EXPECT_EQ(box.bottom, 110);
    ExpectArea(187, 107, 190, 110, kYellow);
}

TEST_F(DrawImageTest, TransparentColourIsKeyedOutInEveryMode) {
    GDIImage* image = AddImage("keyed", 10, 10, [](int x, int y) {
        return x >= 3 && x < 7 && y >= 3 && y < 7 ? kKey : kRed;
    });
    image->SetTransparentColor(kKey);
    ImageItem* item = AddImageItem("pic", "keyed", IMAGEMODE_NORMAL);
    item->left = 10;
    item->top = 10;
    Paint(item, DRAWITEM_IMAGE, RECT{0, 0, 200, 120});
    EXPECT_EQ(FindColor(kRed).count, 100 - 16);
    ExpectArea(13, 13, 17, 17, kBackground);

    Clear();
    item->mode = IMAGEMODE_TILE;
    item->right = 30;
    item->bottom = 20;
    Paint(item, DRAWITEM_IMAGE, RECT{0, 0, 200, 120});
    EXPECT_EQ(FindColor(kRed).count, 2 * (100 - 16));
    ExpectArea(23, 13, 27, 17, kBackground);

    Clear();
    item->mode = IMAGEMODE_STRETCHBOTH;
    item->width = 30;
    item->height = 30;
    item->stretchLeft = item->stretchTop = item->stretchRight = item->stretchBottom = 3;
    Paint(item, DRAWITEM_IMAGE, RECT{0, 0, 200, 120});
    EXPECT_EQ(Pixel(10, 10), kRed);
    EXPECT_EQ(Pixel(39, 39), kRed);
    EXPECT_EQ(Pixel(25, 25), kBackground);
    EXPECT_EQ(FindColor(kKey).count, 0);
}

TEST_F(DrawImageTest, AlphaIsBlendedOverTheBackground) {
    GDIImage* image = AddImage("glass", 9, 9, Solid(RGB(255, 0, 0)));
    ASSERT_TRUE(image->AlphaCreate());
    for (int y = 0; y < 9; ++y) {
        uint8_t* alpha = image->GetAlphaRow(y);
        for (int x = 0; x < 9; ++x)
            alpha[x] = x == 0 && y == 0 ? 0 : 128;
    }
    const COLORREF background = RGB(0, 0, 200);
    const COLORREF blended = RGB(128, 0, 100);
    Clear(background);
    ImageItem* item = AddImageItem("pic", "glass", IMAGEMODE_NORMAL);
    item->left = 20;
    item->top = 20;
    Paint(item, DRAWITEM_IMAGE, RECT{0, 0, 200, 120});
    EXPECT_EQ(Pixel(20, 20), background);
    ExpectArea(21, 20, 29, 29, blended, 3);
    EXPECT_EQ(Pixel(29, 29), background);

    // Through the copy of the background that the stretch modes paint from.
    Clear(background);
    item->mode = IMAGEMODE_STRETCHBOTH;
    item->width = 40;
    item->height = 30;
    item->stretchLeft = item->stretchTop = item->stretchRight = item->stretchBottom = 3;
    Paint(item, DRAWITEM_IMAGE, RECT{0, 0, 200, 120});
    EXPECT_EQ(Pixel(20, 20), background);
    ExpectArea(21, 20, 60, 50, blended, 3);
    EXPECT_EQ(Pixel(60, 50), background);
}

TEST_F(DrawImageTest, RelatedImageFollowsOrEndsBeforeTheRelatedItem) {
    AddImage("square", 10, 10, Solid(kRed));
    AddImage("mark", 4, 4, Solid(kBlue));
    ImageItem* related = AddImageItem("icon", "square", IMAGEMODE_NORMAL);
    related->left = 50;
    related->top = 20;
    ImageItem* item = AddImageItem("badge", "mark", IMAGEMODE_NORMAL);
    item->relativeId = "icon";
    item->left = 3;
    item->top = 2;
    const RECT target = {10, 10, 190, 110};
    Paint(item, DRAWITEM_IMAGE, target);
    PaintedBox box = FindColor(kBlue);
    EXPECT_EQ(box.left, 10 + 60 + 3);
    EXPECT_EQ(box.top, 10 + 20 + 2);
    EXPECT_EQ(box.count, 16);

    Clear();
    item->relativeAlign = RELATIVE_RIGHT;
    Paint(item, DRAWITEM_IMAGE, target);
    box = FindColor(kBlue);
    EXPECT_EQ(box.right, 10 + 50 - 3);
    EXPECT_EQ(box.top, 32);

    // Without a value the related item places nothing.
    Clear();
    related->imageId.clear();
    Paint(item, DRAWITEM_IMAGE, target);
    EXPECT_EQ(FindNot(kBackground).count, 0);
}

TEST_F(DrawImageTest, WindowRecordsChooseTheImageAndItsVisibility) {
    AddImage("red", 10, 10, Solid(kRed));
    AddImage("green", 10, 10, Solid(kGreen));
    ImageItem* item = AddImageItem("state", "red", IMAGEMODE_NORMAL);
    CManager::Instance()->SetValueRecord(Window(), "state", "green");
    Paint(item, DRAWITEM_IMAGE, RECT{0, 0, 200, 120});
    EXPECT_EQ(FindColor(kGreen).count, 100);
    EXPECT_EQ(FindColor(kRed).count, 0);

    Clear();
    CManager::Instance()->SetVisibleRecord(Window(), "state", false);
    Paint(item, DRAWITEM_IMAGE, RECT{0, 0, 200, 120});
    EXPECT_EQ(FindNot(kBackground).count, 0);

    // A mode beyond the five paints nothing.
    item->mode = 5;
    EXPECT_FALSE(CDrawImageHelper::PaintImage(Window(), 2, Dc(), &m_items, *item,
                                              RECT{0, 0, 200, 120}, SubItem(), false));
    EXPECT_EQ(FindNot(kBackground).count, 0);
}

TEST_F(DrawImageTest, MissingFilePaintsNothingAndIsTriedAgain) {
    const std::string folder = MakeScratchFolder("skin_draw_file_image");
    const std::string path = folder + "\\later.bmp";
    ImageItem* item = AddImageItem("pic", path, IMAGEMODE_NORMAL);
    item->left = 30;
    item->top = 40;
    Paint(item, DRAWITEM_IMAGE, RECT{0, 0, 200, 120});
    EXPECT_EQ(FindNot(kBackground).count, 0);

    ASSERT_TRUE(WriteFileBytes(path, MakeBmpFile(6, 5, kGreen)));
    Paint(item, DRAWITEM_IMAGE, RECT{0, 0, 200, 120});
    const PaintedBox box = FindColor(kGreen);
    EXPECT_EQ(box.left, 30);
    EXPECT_EQ(box.top, 40);
    EXPECT_EQ(box.count, 30);
}

TEST_F(DrawImageTest, ReloadReadsAChangedFileAgain) {
    const std::string folder = MakeScratchFolder("skin_draw_reload");
    const std::string path = folder + "\\picture.bmp";
    ASSERT_TRUE(WriteFileBytes(path, MakeBmpFile(4, 4, kRed)));
    ImageItem* item = AddImageItem("pic", path, IMAGEMODE_NORMAL);
    EXPECT_TRUE(CDrawImageHelper::PaintImage(nullptr, 0, Dc(), nullptr, *item, RECT{0, 0, 200, 120},
                                             SubItem(), false));
    EXPECT_EQ(FindColor(kRed).count, 16);

    ASSERT_TRUE(WriteFileBytes(path, MakeBmpFile(4, 4, kBlue)));
    Clear();
    Paint(item, DRAWITEM_IMAGE, RECT{0, 0, 200, 120});
    EXPECT_EQ(FindColor(kRed).count, 16);
    EXPECT_TRUE(CDrawImageHelper::PaintImage(nullptr, 0, Dc(), nullptr, *item, RECT{0, 0, 200, 120},
                                             SubItem(), true));
    EXPECT_EQ(FindColor(kBlue).count, 16);
}

TEST_F(DrawImageTest, MeasuredImageTakesItsOwnSizeAndPlacesFromTheClientEdges) {
    AddImage("square", 12, 8, Solid(kRed));
    ImageItem* item = AddImageItem("pic", "square", IMAGEMODE_NORMAL);
    item->left = -30;
    item->top = 5;
    RECT rect = MeasureDrawItem(Window(), Dc(), *item, DRAWITEM_IMAGE, false, "square");
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right, 12);
    EXPECT_EQ(rect.bottom, 8);
    item->width = 20;
    rect = MeasureDrawItem(Window(), Dc(), *item, DRAWITEM_IMAGE, true, "square");
    EXPECT_EQ(rect.left, kCanvasWidth - 30);
    EXPECT_EQ(rect.top, 5);
    EXPECT_EQ(rect.right, kCanvasWidth - 10);
    EXPECT_EQ(rect.bottom, 13);
}
