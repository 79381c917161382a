// Line, surface and text painting, and the per-window value and visibility
// records that win over an item.
#include "DrawFixture.h"

#include "Manager.h"

#include <commctrl.h>

#include <cstring>

using namespace Velmora;
using namespace DrawTest;

namespace {

constexpr COLORREF kRed = RGB(250, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 250);
constexpr COLORREF kGreen = RGB(0, 200, 0);

bool Reddish(COLORREF c) {
    return GetRValue(c) > 120 && GetGValue(c) < 90 && GetBValue(c) < 90;
}
bool Bluish(COLORREF c) {
    return GetBValue(c) > 120 && GetRValue(c) < 90 && GetGValue(c) < 90;
}

class DrawShapeTest : public DrawTestBase {};
class DrawTextTest : public DrawTestBase {
  protected:
    SIZE Extent(const char* text) const {
        SIZE extent = {};
        GetTextExtentPoint32A(Dc(), text, static_cast<int>(strlen(text)), &extent);
        return extent;
    }
};

} // namespace

TEST_F(DrawShapeTest, LineRunsFromStartToEndCountedFromEdgesAndRestoresThePen) {
    auto line = std::make_unique<LineItem>();
    line->startX = 10;
    line->startY = 5;
    line->endX = -10;
    line->endY = 5;
    line->width = 1;
    line->lineColor = kRed;
    LineItem* item = Add(std::move(line));
    const HGDIOBJ penBefore = GetCurrentObject(Dc(), OBJ_PEN);

    Paint(item, DRAWITEM_LINE, RECT{20, 10, 120, 60});

    EXPECT_EQ(GetCurrentObject(Dc(), OBJ_PEN), penBefore);
    const PaintedBox box = FindNot(kBackground);
    EXPECT_EQ(box.left, 30);
    EXPECT_EQ(box.right, 110); // the end point itself stays unpainted
    EXPECT_EQ(box.top, 15);
    EXPECT_EQ(box.bottom, 16);
    EXPECT_EQ(Pixel(30, 15), kRed);
    EXPECT_EQ(Pixel(109, 15), kRed);

    Clear();
    item->lineColor = kNoColor;
    Paint(item, DRAWITEM_LINE, RECT{20, 10, 120, 60});
    EXPECT_EQ(FindNot(kBackground).count, 0);
}

TEST_F(DrawShapeTest, FilledRectangleWithoutBorderSpansItsResolvedCorners) {
    auto surface = std::make_unique<SurfaceItem>();
    surface->fillColor = kGreen;
    surface->upperLeftX = 10;
    surface->upperLeftY = -40;
    surface->lowerRightX = 0;   // the right edge
    surface->lowerRightY = -10; // 10 above the bottom edge
    SurfaceItem* item = Add(std::move(surface));
    const HGDIOBJ penBefore = GetCurrentObject(Dc(), OBJ_PEN);
    const HGDIOBJ brushBefore = GetCurrentObject(Dc(), OBJ_BRUSH);

    Paint(item, DRAWITEM_SURFACE, RECT{20, 10, 120, 60});

    EXPECT_EQ(GetCurrentObject(Dc(), OBJ_PEN), penBefore);
    EXPECT_EQ(GetCurrentObject(Dc(), OBJ_BRUSH), brushBefore);
    const PaintedBox box = FindNot(kBackground);
    EXPECT_EQ(box.count, box.Width() * box.Height());
    EXPECT_EQ(Pixel(30, 20), kGreen);
    EXPECT_EQ(box.left, 30);
    EXPECT_EQ(box.top, 20);
    // Without a pen GDI fills one pixel short of the right and bottom corner.
    EXPECT_EQ(box.right, 119);
    EXPECT_EQ(box.bottom, 49);
}

TEST_F(DrawShapeTest, BorderOnlyRectangleLeavesItsInsideAndEllipseItsCorners) {
    auto outline = std::make_unique<SurfaceItem>();
    outline->borderColor = kRed;
    outline->borderWidth = 1;
    outline->upperLeftX = 0;
    outline->upperLeftY = 0;
    outline->lowerRightX = 40;
    outline->lowerRightY = 30;
    SurfaceItem* rectangle = Add(std::move(outline));
    Paint(rectangle, DRAWITEM_SURFACE, RECT{10, 10, 190, 110});
    EXPECT_EQ(Pixel(10, 10), kRed);
    EXPECT_EQ(Pixel(49, 39), kRed);
    EXPECT_EQ(Pixel(30, 25), kBackground);
    EXPECT_EQ(Pixel(50, 40), kBackground);

    Clear();
    auto round = std::make_unique<SurfaceItem>();
    round->type = SURFACE_ROUND;
    round->fillColor = kBlue;
    round->upperLeftX = 0;
    round->upperLeftY = 0;
    round->lowerRightX = 40;
    round->lowerRightY = 40;
    SurfaceItem* ellipse = Add(std::move(round));
    Paint(ellipse, DRAWITEM_SURFACE, RECT{10, 10, 190, 110});
    EXPECT_EQ(Pixel(30, 30), kBlue);
    EXPECT_EQ(Pixel(11, 11), kBackground);
    EXPECT_EQ(Pixel(48, 48), kBackground);
}

TEST_F(DrawTextTest, TextOutStartsAtItsEdgeRelativePointWithTransparentBackground) {
    TextItem* item = AddText("t", "HHHH", -60, 5, kRed);
    Paint(item, DRAWITEM_TEXT, RECT{20, 10, 180, 110});

    const SIZE extent = Extent("HHHH");
    const PaintedBox box = Find(Reddish);
    ASSERT_GT(box.count, 0);
    EXPECT_GE(box.left, 120);
    EXPECT_LE(box.left, 123);
    EXPECT_GE(box.top, 15);
    EXPECT_LE(box.right, 120 + extent.cx);
    EXPECT_LE(box.bottom, 15 + extent.cy);
    // Nothing outside the text's cell is painted, and inside it the
    // background shows through between the strokes.
    const PaintedBox any = FindNot(kBackground);
    EXPECT_GE(any.left, 120);
    EXPECT_GE(any.top, 15);
    EXPECT_LE(any.right, 120 + extent.cx);
    EXPECT_LE(any.bottom, 15 + extent.cy);
    EXPECT_LT(any.count, extent.cx * extent.cy / 2);
}

TEST_F(DrawTextTest, AlignmentBoxCentresOverTheWholeTargetAndIgnoresTheRelatedItem) {
    TextItem* item = AddText("t", "MMMM", 0, 0, kRed);
    item->horzAlign = ALIGN_CENTER;
    item->vertAlign = ALIGN_CENTER;
    item->relativeId = "missing";
    Paint(item, DRAWITEM_TEXT, RECT{20, 10, 180, 110});

    const PaintedBox box = Find(Reddish);
    ASSERT_GT(box.count, 0);
    EXPECT_NEAR((box.left + box.right) / 2.0, 100.0, 3.0);
    EXPECT_NEAR((box.top + box.bottom) / 2.0, 60.0, 4.0);
}

TEST_F(DrawTextTest, RightAndBottomAlignmentEndAtTheBoxEdges) {
    TextItem* item = AddText("t", "HH", 10, 10, kRed);
    item->horzAlign = ALIGN_FAR;
    item->vertAlign = ALIGN_FAR;
    item->width = 100;
    item->height = 40;
    Paint(item, DRAWITEM_TEXT, RECT{20, 10, 180, 110});

    const PaintedBox box = Find(Reddish);
    ASSERT_GT(box.count, 0);
    EXPECT_LE(box.right, 130);
    EXPECT_GE(box.right, 126);
    EXPECT_LE(box.bottom, 60);
    EXPECT_GE(box.bottom, 52);
    EXPECT_GE(box.left, 100);
}

TEST_F(DrawTextTest, RelatedTextPlacesAfterOrEndsBeforeTheRelatedItem) {
    TextItem* related = AddText("name", "AAA", 90, 20, kRed);
    TextItem* after = AddText("after", "BBB", 5, 3, kBlue);
    after->relativeId = "name";
    const RECT target = {10, 10, 190, 110};
    Paint(related, DRAWITEM_TEXT, target);
    Paint(after, DRAWITEM_TEXT, target);

    const int relatedLeft = 100;
    const int relatedRight = relatedLeft + Extent("AAA").cx;
    const PaintedBox red = Find(Reddish);
    PaintedBox blue = Find(Bluish);
    ASSERT_GT(blue.count, 0);
    EXPECT_LE(red.right, relatedRight);
    EXPECT_GE(blue.left, relatedRight + 5);
    EXPECT_LE(blue.left, relatedRight + 8);
    EXPECT_GE(blue.top, 33);

    Clear();
    after->relativeAlign = RELATIVE_RIGHT;
    after->left = 8;
    Paint(after, DRAWITEM_TEXT, target);
    blue = Find(Bluish);
    ASSERT_GT(blue.count, 0);
    EXPECT_LE(blue.right, relatedLeft - 8);
    EXPECT_GE(blue.right, relatedLeft - 8 - 3);

    // An empty related value or an unknown related id paints nothing.
    Clear();
    related->content.clear();
    Paint(after, DRAWITEM_TEXT, target);
    after->relativeId = "nothing";
    Paint(after, DRAWITEM_TEXT, target);
    EXPECT_EQ(FindNot(kBackground).count, 0);
}

TEST_F(DrawTextTest, MeasuredTextUsesTheSkinFontOnlyForTheMeasurement) {
    TextItem* item = AddText("t", "HHH", 4, -20, kRed);
    const SIZE plain = Extent("HHH");
    RECT rect = MeasureDrawItem(Window(), Dc(), *item, DRAWITEM_TEXT, true, "HHH");
    EXPECT_EQ(rect.left, 4);
    EXPECT_EQ(rect.top, kCanvasHeight - 20);
    EXPECT_EQ(rect.right - rect.left, plain.cx);
    EXPECT_EQ(rect.bottom - rect.top, plain.cy);

    auto font = std::make_unique<GDIFont>();
    font->SetId("big");
    ASSERT_NE(font->CreateFontResource("Tahoma", -48, false, false, false), nullptr);
    CManager::Instance()->Fonts().Add(std::move(font));
    item->fontId = "big";
    const HGDIOBJ fontBefore = GetCurrentObject(Dc(), OBJ_FONT);
    rect = MeasureDrawItem(Window(), Dc(), *item, DRAWITEM_TEXT, false, "HHH");
    EXPECT_EQ(rect.left, 0);
    EXPECT_GT(rect.bottom, plain.cy + 20);
    EXPECT_EQ(GetCurrentObject(Dc(), OBJ_FONT), fontBefore);
}

TEST_F(DrawTextTest, EmptyValueShowsTheWindowText) {
    TextItem* item = AddText("t", "", 0, 0, kRed);
    Paint(item, DRAWITEM_TEXT, RECT{0, 0, 200, 120});
    const PaintedBox box = Find(Reddish);
    EXPECT_GT(box.count, 0);
    EXPECT_GT(box.Width(), Extent("Window").cx);

    Clear();
    SetWindowTextA(Window(), "");
    Paint(item, DRAWITEM_TEXT, RECT{0, 0, 200, 120});
    EXPECT_EQ(FindNot(kBackground).count, 0);
}

TEST_F(DrawTextTest, ToolBarWithoutTextShowsTheButtonText) {
    InitCommonControls();
    HWND toolBar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | TBSTYLE_LIST, 0, 0, 200, 30,
                                   Window(), nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(toolBar, nullptr);
    SendMessageA(toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    const char strings[] = "Save all\0";
    const LRESULT stringIndex =
        SendMessageA(toolBar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(strings));
    TBBUTTON button = {};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = 401;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON;
    button.iString = stringIndex;
    ASSERT_TRUE(SendMessageA(toolBar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button)));

    TextItem* item = AddText("t", "", 0, 0, kRed);
    const CDrawTextHelper painter;
    painter.Paint(toolBar, 12, Dc(), m_items, item, RECT{0, 0, 200, 120}, SubItem(), &button,
                  item->index);
    const PaintedBox withButton = Find(Reddish);
    EXPECT_GT(withButton.Width(), Extent("Save").cx);

    Clear();
    painter.Paint(toolBar, 12, Dc(), m_items, item, RECT{0, 0, 200, 120}, SubItem(), nullptr,
                  item->index);
    EXPECT_EQ(FindNot(kBackground).count, 0);
    DestroyWindow(toolBar);
}

TEST_F(DrawTextTest, SkinFontIsSelectedWhenFound) {
    TextItem* item = AddText("t", "HHH", 0, 0, kRed);
    Paint(item, DRAWITEM_TEXT, RECT{0, 0, 200, 120});
    const int plainHeight = Find(Reddish).Height();
    ASSERT_GT(plainHeight, 0);

    auto font = std::make_unique<GDIFont>();
    font->SetId("big");
    ASSERT_NE(font->CreateFontResource("Tahoma", -48, true, false, false), nullptr);
    const HFONT bigFont = font->GetFont();
    CManager::Instance()->Fonts().Add(std::move(font));
    item->fontId = "big";
    Clear();
    Paint(item, DRAWITEM_TEXT, RECT{0, 0, 200, 120});
    EXPECT_GT(Find(Reddish).Height(), plainHeight + 10);
    // The device context keeps the font for what the window paints next.
    EXPECT_EQ(GetCurrentObject(Dc(), OBJ_FONT), bigFont);
    SelectObject(Dc(), GetStockObject(SYSTEM_FONT));
}

TEST_F(DrawTextTest, WindowRecordsWinOverTheItem) {
    TextItem* item = AddText("caption", "WWWWWWWW", 0, 0, kRed);
    Paint(item, DRAWITEM_TEXT, RECT{0, 0, 200, 120});
    const int itemWidth = Find(Reddish).Width();

    CManager::Instance()->SetValueRecord(Window(), "caption", "W");
    Clear();
    Paint(item, DRAWITEM_TEXT, RECT{0, 0, 200, 120});
    const int recordWidth = Find(Reddish).Width();
    EXPECT_GT(recordWidth, 0);
    EXPECT_LT(recordWidth * 4, itemWidth);
    EXPECT_EQ(GetItemValue(SubItem(), Window(), 2, *item, DRAWITEM_TEXT), "W");
    // Another window keeps the item's own value, and so does a list cell of
    // this window: cells answer through the window's skin object only.
    EXPECT_EQ(GetItemValue(SubItem(), nullptr, 2, *item, DRAWITEM_TEXT), "WWWWWWWW");
    SubItem cell;
    cell.row = 0;
    cell.column = 1;
    EXPECT_EQ(GetItemValue(cell, Window(), 17, *item, DRAWITEM_TEXT), "WWWWWWWW");

    CManager::Instance()->SetVisibleRecord(Window(), "caption", false);
    Clear();
    Paint(item, DRAWITEM_TEXT, RECT{0, 0, 200, 120});
    EXPECT_EQ(FindNot(kBackground).count, 0);

    item->visible = false;
    CManager::Instance()->SetVisibleRecord(Window(), "caption", true);
    Paint(item, DRAWITEM_TEXT, RECT{0, 0, 200, 120});
    EXPECT_GT(Find(Reddish).count, 0);
    EXPECT_FALSE(IsItemVisible(SubItem(), nullptr, 2, *item));
}

TEST_F(DrawShapeTest, PaintsIntoARealWindow) {
    HWND shown = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 120, 80,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(shown, nullptr);
    UpdateWindow(shown);
    auto surface = std::make_unique<SurfaceItem>();
    surface->fillColor = kGreen;
    surface->borderColor = kRed;
    surface->borderWidth = 1;
    surface->upperLeftX = 10;
    surface->upperLeftY = 10;
    surface->lowerRightX = -10;
    surface->lowerRightY = -10;
    SurfaceItem* item = Add(std::move(surface));

    HDC windowDc = GetDC(shown);
    RECT client;
    GetClientRect(shown, &client);
    const CDrawSurfaceHelper painter;
    painter.Paint(shown, 6, windowDc, m_items, item, client, SubItem(), nullptr, item->index);
    EXPECT_EQ(GetPixel(windowDc, 10, 10), kRed);
    EXPECT_EQ(GetPixel(windowDc, 60, 40), kGreen);
    EXPECT_EQ(GetPixel(windowDc, 109, 69), kRed);
    EXPECT_NE(GetPixel(windowDc, 110, 70), kRed);
    EXPECT_NE(GetPixel(windowDc, 5, 5), kGreen);
    ReleaseDC(shown, windowDc);
    DestroyWindow(shown);
}
