// What the draw-item painters put on a canvas, read back pixel by pixel:
// lines, surfaces, text, the image modes at exact coordinates, and progress.
#include "Canvas.h"
#include "DrawHelpers.h"
#include "GDIImage.h"
#include "Manager.h"
#include "SkinImages.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace Velmora;

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 120;
constexpr RECT kAll = {0, 0, kWidth, kHeight};
constexpr COLORREF kBackground = RGB(10, 20, 30);
constexpr COLORREF kRed = RGB(250, 0, 0);
constexpr COLORREF kGreen = RGB(0, 200, 0);
constexpr COLORREF kBlue = RGB(0, 0, 250);
constexpr COLORREF kYellow = RGB(240, 240, 0);
constexpr COLORREF kGray = RGB(128, 128, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kKey = RGB(255, 0, 255);

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}
// Text is antialiased, so its strokes are only near their colour.
bool Reddish(COLORREF c) {
    return GetRValue(c) > 120 && GetGValue(c) < 90 && GetBValue(c) < 90;
}
bool Bluish(COLORREF c) {
    return GetBValue(c) > 120 && GetRValue(c) < 90 && GetGValue(c) < 90;
}

// The smallest box around the matching pixels, all zero when none match.
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0, count = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    std::array<int, 4> Edges() const { return {left, top, right, bottom}; }
};

class DrawTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_window = CreateWindowExA(0, "STATIC", "Window text", WS_POPUP, 0, 0, kWidth, kHeight,
                                   nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_window, nullptr);
        Clear();
    }
    void TearDown() override {
        CManager::Destroy();
        DestroyWindow(m_window);
    }

    HDC Dc() const { return m_canvas.Dc(); }
    COLORREF Pixel(int x, int y) const { return m_canvas.Pixel(x, y); }
    void Clear(COLORREF color = kBackground) { m_canvas.Fill(color); }
    Box Find(const std::function<bool(COLORREF)>& test) const {
        Box box{kWidth, kHeight, 0, 0, 0};
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (!test(Pixel(x, y)))
                    continue;
                ++box.count;
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
        }
        return box.count ? box : Box();
    }
    Box FindNot(COLORREF color) const {
        return Find([color](COLORREF pixel) { return pixel != color; });
    }
    Box FindColor(COLORREF color) const {
        return Find([color](COLORREF pixel) { return pixel == color; });
    }
    void ExpectArea(const RECT& area, COLORREF color, int tolerance = 0) const {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                ASSERT_TRUE(Near(Pixel(x, y), color, tolerance))
                    << "at " << x << "," << y << " found " << std::hex << Pixel(x, y);
    }
    SIZE Extent(const char* text) const {
        SIZE extent = {};
        GetTextExtentPoint32A(Dc(), text, static_cast<int>(strlen(text)), &extent);
        return extent;
    }

    template <class Item> Item* Add(const std::string& id) {
        auto item = std::make_unique<Item>();
        item->id = id;
        item->index = m_nextIndex++;
        return m_items.Add(std::move(item));
    }
    TextItem* AddText(const std::string& id, const std::string& content, int left, int top,
                      COLORREF color) {
        TextItem* item = Add<TextItem>(id);
        item->content = content;
        item->left = left;
        item->top = top;
        item->textColor = color;
        return item;
    }
    ImageItem* AddImageItem(const std::string& id, const std::string& imageId, int mode) {
        ImageItem* item = Add<ImageItem>(id);
        item->imageId = imageId;
        item->mode = mode;
        return item;
    }

    void Paint(DrawItemHeader* item, DrawItemKind kind, const RECT& target) {
        static const CDrawLineHelper line;
        static const CDrawSurfaceHelper surface;
        static const CDrawTextHelper text;
        static const CDrawImageHelper image;
        const IDraw* painters[] = {nullptr, &line, &surface, &text, &image};
        painters[kind]->Paint(*CManager::Instance(), m_window, 2, Dc(), m_items, item, target,
                              SubItem(), nullptr, item->index);
    }

    HWND m_window = nullptr;
    CCanvas m_canvas{kWidth, kHeight};
    DrawItemList m_items;
    int32_t m_nextIndex = 0;
};

TEST_F(DrawTest, LineAndSurfacesResolveEdgeCountedPointsAndRestoreTheDc) {
    const HGDIOBJ penBefore = GetCurrentObject(Dc(), OBJ_PEN);
    const HGDIOBJ brushBefore = GetCurrentObject(Dc(), OBJ_BRUSH);
    LineItem* line = Add<LineItem>("line");
    line->startX = 10;
    line->startY = 5;
    line->endX = -10;
    line->endY = 5;
    line->width = 1;
    line->lineColor = kRed;
    Paint(line, DRAWITEM_LINE, RECT{20, 10, 120, 60});
    EXPECT_EQ(GetCurrentObject(Dc(), OBJ_PEN), penBefore);
    Box box = FindNot(kBackground);
    // The end point itself stays unpainted.
    EXPECT_EQ(box.Edges(), (std::array<int, 4>{30, 15, 110, 16}));
    EXPECT_EQ(FindColor(kRed).count, 80);

    Clear();
    line->lineColor = kNoColor;
    Paint(line, DRAWITEM_LINE, RECT{20, 10, 120, 60});
    EXPECT_EQ(FindNot(kBackground).count, 0);

    SurfaceItem* filled = Add<SurfaceItem>("filled");
    filled->fillColor = kGreen;
    filled->upperLeftX = 10;
    filled->upperLeftY = -40;
    filled->lowerRightX = 0;
    filled->lowerRightY = -10;
    Paint(filled, DRAWITEM_SURFACE, RECT{20, 10, 120, 60});
    EXPECT_EQ(GetCurrentObject(Dc(), OBJ_PEN), penBefore);
    EXPECT_EQ(GetCurrentObject(Dc(), OBJ_BRUSH), brushBefore);
    box = FindNot(kBackground);
    EXPECT_EQ(box.count, box.Width() * box.Height());
    EXPECT_EQ(Pixel(30, 20), kGreen);
    // Without a pen GDI fills one pixel short of the right and bottom corner.
    EXPECT_EQ(box.Edges(), (std::array<int, 4>{30, 20, 119, 49}));

    Clear();
    SurfaceItem* outline = Add<SurfaceItem>("outline");
    outline->borderColor = kRed;
    outline->borderWidth = 1;
    outline->lowerRightX = 40;
    outline->lowerRightY = 30;
    Paint(outline, DRAWITEM_SURFACE, RECT{10, 10, 190, 110});
    EXPECT_EQ(Pixel(10, 10), kRed);
    EXPECT_EQ(Pixel(49, 39), kRed);
    EXPECT_EQ(Pixel(30, 25), kBackground);
    EXPECT_EQ(Pixel(50, 40), kBackground);

    Clear();
    SurfaceItem* ellipse = Add<SurfaceItem>("ellipse");
    ellipse->type = SURFACE_ROUND;
    ellipse->fillColor = kBlue;
    ellipse->lowerRightX = 40;
    ellipse->lowerRightY = 40;
    Paint(ellipse, DRAWITEM_SURFACE, RECT{10, 10, 190, 110});
    EXPECT_EQ(Pixel(30, 30), kBlue);
    EXPECT_EQ(Pixel(11, 11), kBackground);
    EXPECT_EQ(Pixel(48, 48), kBackground);
}

// Every mode paints exactly the box given, in the colours given, and nothing
// else: a tile's remainder, a cell outside the sheet, a stretch's margins.
TEST_F(DrawTest, ImageModesPaintExactlyTheirBox) {
    const COLORREF cells[] = {kRed, kGreen, kBlue};
    AddSkinImage("square", 10, 10, Solid(kRed));
    AddSkinImage("row", 30, 10, [&cells](int x, int) { return cells[x / 10]; });
    AddSkinImage("column", 10, 30, [&cells](int, int y) { return cells[y / 10]; });
    AddSkinImage("tile", 10, 10, [](int x, int y) { return x == 0 && y == 0 ? kBlue : kRed; });
    AddSkinImage("pair", 2, 1, [](int x, int) { return x == 0 ? kBlue : kRed; });
    AddSkinImage("bands", 10, 9, [&cells](int, int y) { return cells[y / 3]; });
    AddSkinImage("frames", 20, 6, [](int x, int) {
        return x < 10 ? kWhite : x < 12 ? kRed : x < 18 ? kGreen : kBlue;
    });
    AddSkinImage("frame", 9, 9, [](int x, int y) {
        const bool left = x < 3, right = x >= 6, top = y < 3, bottom = y >= 6;
        if (top && (left || right))
            return left ? kRed : kGreen;
        if (bottom && (left || right))
            return left ? kBlue : kYellow;
        return left || right || top || bottom ? kGray : kWhite;
    });

    // Paints an item of the mode and expects the painted box to be filled
    // exactly, with the areas in their colours; an empty box means nothing.
    const auto expect = [this](const std::string& name, const char* image, int mode, int align,
                               int left, int top, int right, int bottom, int width, int height,
                               RECT stretch, ImageRegion region, RECT target, RECT painted,
                               std::vector<std::pair<RECT, COLORREF>> areas) {
        SCOPED_TRACE(name);
        Clear();
        ImageItem* item = AddImageItem(name, image, mode);
        item->horzAlign = item->vertAlign = align;
        item->left = left;
        item->top = top;
        item->right = right;
        item->bottom = bottom;
        item->width = width;
        item->height = height;
        item->stretchLeft = stretch.left;
        item->stretchTop = stretch.top;
        item->stretchRight = stretch.right;
        item->stretchBottom = stretch.bottom;
        item->region = region;
        Paint(item, DRAWITEM_IMAGE, target);
        const Box box = FindNot(kBackground);
        EXPECT_EQ(box.Edges(),
                  (std::array<int, 4>{painted.left, painted.top, painted.right, painted.bottom}));
        EXPECT_EQ(box.count, box.Width() * box.Height());
        for (const auto& [area, color] : areas)
            ExpectArea(area, color);
    };
    const int normal = IMAGEMODE_NORMAL, centre = ALIGN_CENTER, none = ALIGN_NONE;
    const RECT small = {20, 10, 120, 60}, inner = {10, 10, 190, 110};
    expect("normal from the right edge", "square", normal, none, -10, 0, 0, 0, 0, 0, {}, {}, small,
           {110, 10, 120, 20}, {{{110, 10, 120, 20}, kRed}});
    expect("normal centred", "square", normal, centre, 0, 0, 0, 0, 0, 0, {}, {}, small,
           {65, 30, 75, 40}, {{{65, 30, 75, 40}, kRed}});
    expect("normal sized", "square", normal, none, 0, 0, 0, 0, -20, 5, {}, {}, small,
           {20, 10, 100, 15}, {{{20, 10, 100, 15}, kRed}});
    expect("region of a row", "row", normal, none, 5, 7, 0, 0, 0, 0, {}, {10, 0, 10, 10}, kAll,
           {5, 7, 15, 17}, {{{5, 7, 15, 17}, kGreen}});
    expect("region of a column", "column", normal, none, 5, 7, 0, 0, 0, 0, {}, {0, 20, 10, 10},
           kAll, {5, 7, 15, 17}, {{{5, 7, 15, 17}, kBlue}});
    expect("region larger than the sheet", "column", normal, none, 5, 7, 0, 0, 0, 0, {},
           {0, 0, 40, 10}, kAll, {}, {});
    expect("region outside the sheet", "column", normal, none, 5, 7, 0, 0, 0, 0, {},
           {0, 30, 10, 10}, kAll, {}, {});
    expect("a mode beyond the five", "square", 5, none, 0, 0, 0, 0, 0, 0, {}, {}, kAll, {}, {});
    expect("tile", "tile", IMAGEMODE_TILE, none, 0, 0, 25, 25, 0, 0, {}, {}, inner,
           {10, 10, 30, 30},
           {{{10, 10, 11, 11}, kBlue},
            {{20, 20, 21, 21}, kBlue},
            {{11, 11, 20, 20}, kRed},
            {{21, 21, 30, 30}, kRed}});
    expect("tile from the right edge", "tile", IMAGEMODE_TILE, none, -25, 0, 0, 10, 0, 0, {}, {},
           inner, {165, 10, 185, 20}, {{{166, 11, 175, 20}, kRed}});
    expect("tile of a 2 x 1 image", "pair", IMAGEMODE_TILE, none, 3, 4, 30, 9, 0, 0, {}, {}, inner,
           {13, 14, 39, 19},
           {{{13, 14, 14, 19}, kBlue},
            {{14, 14, 15, 19}, kRed},
            {{37, 14, 38, 19}, kBlue},
            {{38, 14, 39, 19}, kRed}});
    expect("stretchvert", "bands", IMAGEMODE_STRETCHVERT, none, 5, 5, 0, 0, 0, 30, {0, 3, 0, 3}, {},
           small, {25, 15, 35, 45},
           {{{25, 15, 35, 18}, kRed}, {{25, 18, 35, 42}, kGreen}, {{25, 42, 35, 45}, kBlue}});
    expect("stretchhorz from a region", "frames", IMAGEMODE_STRETCHHORZ, none, 10, -20, 0, 0, 50, 0,
           {2, 0, 2, 0}, {10, 0, 10, 0}, kAll, {10, 100, 60, 106},
           {{{10, 100, 12, 106}, kRed}, {{12, 100, 58, 106}, kGreen}, {{58, 100, 60, 106}, kBlue}});
    expect("stretchboth filling the target", "frame", IMAGEMODE_STRETCHBOTH, none, 0, 0, 0, 0, 0, 0,
           {3, 3, 3, 3}, {}, inner, inner,
           {{{10, 10, 13, 13}, kRed}, {{187, 107, 190, 110}, kYellow}});
    // Corners keep their size at any box; only edges and middle stretch.
    for (const SIZE size : {SIZE{9, 9}, SIZE{20, 15}, SIZE{57, 41}}) {
        const int x = 14, y = 16, r = x + size.cx, b = y + size.cy;
        expect("stretchboth " + std::to_string(size.cx), "frame", IMAGEMODE_STRETCHBOTH, none, 4, 6,
               0, 0, size.cx, size.cy, {3, 3, 3, 3}, {}, inner, {x, y, r, b},
               {{{x, y, x + 3, y + 3}, kRed},
                {{r - 3, y, r, y + 3}, kGreen},
                {{x, b - 3, x + 3, b}, kBlue},
                {{r - 3, b - 3, r, b}, kYellow},
                {{x + 3, y, r - 3, y + 3}, kGray},
                {{x, y + 3, x + 3, b - 3}, kGray},
                {{r - 3, y + 3, r, b - 3}, kGray},
                {{x + 3, b - 3, r - 3, b}, kGray},
                {{x + 3, y + 3, r - 3, b - 3}, kWhite}});
    }
}

TEST_F(DrawTest, TransparentColourIsKeyedOutAndAlphaBlended) {
    GDIImage* keyed = AddSkinImage("keyed", 10, 10, [](int x, int y) {
        return x >= 3 && x < 7 && y >= 3 && y < 7 ? kKey : kRed;
    });
    keyed->SetTransparentColor(kKey);
    ImageItem* item = AddImageItem("pic", "keyed", IMAGEMODE_NORMAL);
    item->left = 10;
    item->top = 10;
    Paint(item, DRAWITEM_IMAGE, kAll);
    EXPECT_EQ(FindColor(kRed).count, 100 - 16);
    ExpectArea(RECT{13, 13, 17, 17}, kBackground);

    Clear();
    item->mode = IMAGEMODE_TILE;
    item->right = 30;
    item->bottom = 20;
    Paint(item, DRAWITEM_IMAGE, kAll);
    EXPECT_EQ(FindColor(kRed).count, 2 * (100 - 16));
    ExpectArea(RECT{23, 13, 27, 17}, kBackground);

    Clear();
    item->mode = IMAGEMODE_STRETCHBOTH;
    item->width = item->height = 30;
    item->stretchLeft = item->stretchTop = item->stretchRight = item->stretchBottom = 3;
    Paint(item, DRAWITEM_IMAGE, kAll);
    EXPECT_EQ(Pixel(10, 10), kRed);
    EXPECT_EQ(Pixel(39, 39), kRed);
    EXPECT_EQ(Pixel(25, 25), kBackground);
    EXPECT_EQ(FindColor(kKey).count, 0);

    GDIImage* glass = AddSkinImage("glass", 9, 9, Solid(RGB(255, 0, 0)));
    ASSERT_TRUE(glass->AlphaCreate());
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            glass->GetAlphaRow(y)[x] = x == 0 && y == 0 ? 0 : 128;
    const COLORREF background = RGB(0, 0, 200);
    const COLORREF blended = RGB(128, 0, 100);
    Clear(background);
    item = AddImageItem("glassy", "glass", IMAGEMODE_NORMAL);
    item->left = item->top = 20;
    Paint(item, DRAWITEM_IMAGE, kAll);
    EXPECT_EQ(Pixel(20, 20), background);
    ExpectArea(RECT{21, 20, 29, 29}, blended, 3);
    EXPECT_EQ(Pixel(29, 29), background);

    // Tiled copies blend each over its own part of the background.
    Clear(background);
    item->mode = IMAGEMODE_TILE;
    item->right = 38;
    item->bottom = 29;
    Paint(item, DRAWITEM_IMAGE, kAll);
    EXPECT_EQ(Pixel(29, 20), background);
    ExpectArea(RECT{30, 20, 38, 29}, blended, 3);
    EXPECT_EQ(Pixel(38, 21), background);

    // Through the copy of the background that the stretch modes paint from.
    Clear(background);
    item->mode = IMAGEMODE_STRETCHBOTH;
    item->width = 40;
    item->height = 30;
    item->stretchLeft = item->stretchTop = item->stretchRight = item->stretchBottom = 3;
    Paint(item, DRAWITEM_IMAGE, kAll);
    EXPECT_EQ(Pixel(20, 20), background);
    ExpectArea(RECT{21, 20, 60, 50}, blended, 3);
    EXPECT_EQ(Pixel(60, 50), background);
}

TEST_F(DrawTest, RelatedImageFollowsOrEndsBeforeTheRelatedItem) {
    AddSkinImage("square", 10, 10, Solid(kRed));
    AddSkinImage("mark", 4, 4, Solid(kBlue));
    ImageItem* related = AddImageItem("icon", "square", IMAGEMODE_NORMAL);
    related->left = 50;
    related->top = 20;
    ImageItem* item = AddImageItem("badge", "mark", IMAGEMODE_NORMAL);
    item->relativeId = "icon";
    item->left = 3;
    item->top = 2;
    const RECT target = {10, 10, 190, 110};
    Paint(item, DRAWITEM_IMAGE, target);
    Box box = FindColor(kBlue);
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

TEST_F(DrawTest, WindowRecordsWinOverTheItem) {
    AddSkinImage("red", 10, 10, Solid(kRed));
    AddSkinImage("green", 10, 10, Solid(kGreen));
    ImageItem* image = AddImageItem("state", "red", IMAGEMODE_NORMAL);
    CManager::Instance()->SetValueRecord(m_window, "state", "green");
    Paint(image, DRAWITEM_IMAGE, kAll);
    EXPECT_EQ(FindColor(kGreen).count, 100);
    EXPECT_EQ(FindColor(kRed).count, 0);
    Clear();
    CManager::Instance()->SetVisibleRecord(m_window, "state", false);
    Paint(image, DRAWITEM_IMAGE, kAll);
    EXPECT_EQ(FindNot(kBackground).count, 0);

    TextItem* text = AddText("caption", "WWWWWWWW", 0, 0, kRed);
    Paint(text, DRAWITEM_TEXT, kAll);
    const int itemWidth = Find(Reddish).Width();
    CManager::Instance()->SetValueRecord(m_window, "caption", "W");
    Clear();
    Paint(text, DRAWITEM_TEXT, kAll);
    const int recordWidth = Find(Reddish).Width();
    EXPECT_GT(recordWidth, 0);
    EXPECT_LT(recordWidth * 4, itemWidth);
    // Another window keeps the item's own value, and so does a list cell of
    // this window: cells answer through the window's skin object only.
    EXPECT_EQ(GetItemValue(*CManager::Instance(), SubItem(), nullptr, 2, *text, DRAWITEM_TEXT),
              "WWWWWWWW");
    SubItem cell;
    cell.row = 0;
    cell.column = 1;
    EXPECT_EQ(GetItemValue(*CManager::Instance(), cell, m_window, 17, *text, DRAWITEM_TEXT),
              "WWWWWWWW");

    CManager::Instance()->SetVisibleRecord(m_window, "caption", false);
    Clear();
    Paint(text, DRAWITEM_TEXT, kAll);
    EXPECT_EQ(FindNot(kBackground).count, 0);
    text->visible = false;
    CManager::Instance()->SetVisibleRecord(m_window, "caption", true);
    Paint(text, DRAWITEM_TEXT, kAll);
    EXPECT_GT(Find(Reddish).count, 0);
}

TEST_F(DrawTest, TextStartsAtItsEdgeCountedPointWithTransparentBackground) {
    TextItem* item = AddText("t", "HHHH", -60, 5, kRed);
    Paint(item, DRAWITEM_TEXT, RECT{20, 10, 180, 110});
    const SIZE extent = Extent("HHHH");
    const Box box = Find(Reddish);
    ASSERT_GT(box.count, 0);
    EXPECT_LE(box.left, 123);
    // Nothing outside the text's cell is painted, and inside it the
    // background shows through between the strokes.
    const Box any = FindNot(kBackground);
    EXPECT_GE(any.left, 120);
    EXPECT_GE(any.top, 15);
    EXPECT_LE(any.right, 120 + extent.cx);
    EXPECT_LE(any.bottom, 15 + extent.cy);
    EXPECT_LT(any.count, extent.cx * extent.cy / 2);

    // An empty value shows the window's text, and nothing when it has none.
    Clear();
    item->content.clear();
    Paint(item, DRAWITEM_TEXT, kAll);
    EXPECT_GT(Find(Reddish).Width(), Extent("Window").cx);
    Clear();
    SetWindowTextA(m_window, "");
    Paint(item, DRAWITEM_TEXT, kAll);
    EXPECT_EQ(FindNot(kBackground).count, 0);
}

TEST_F(DrawTest, TextAlignmentBoxPlacesTheText) {
    const RECT target = {20, 10, 180, 110};
    // Centring uses the whole target and ignores the related item.
    TextItem* centred = AddText("centred", "MMMM", 0, 0, kRed);
    centred->horzAlign = centred->vertAlign = ALIGN_CENTER;
    centred->relativeId = "missing";
    Paint(centred, DRAWITEM_TEXT, target);
    Box box = Find(Reddish);
    ASSERT_GT(box.count, 0);
    EXPECT_NEAR((box.left + box.right) / 2.0, 100.0, 3.0);
    EXPECT_NEAR((box.top + box.bottom) / 2.0, 60.0, 4.0);

    // Far alignment ends at the edges of the item's own box.
    Clear();
    TextItem* edge = AddText("far", "HH", 10, 10, kRed);
    edge->horzAlign = edge->vertAlign = ALIGN_FAR;
    edge->width = 100;
    edge->height = 40;
    Paint(edge, DRAWITEM_TEXT, target);
    box = Find(Reddish);
    ASSERT_GT(box.count, 0);
    EXPECT_LE(box.right, 130);
    EXPECT_GE(box.right, 126);
    EXPECT_LE(box.bottom, 60);
    EXPECT_GE(box.bottom, 52);
    EXPECT_GE(box.left, 100);
}

TEST_F(DrawTest, RelatedTextPlacesAfterOrEndsBeforeTheRelatedItem) {
    TextItem* related = AddText("name", "AAA", 90, 20, kRed);
    TextItem* after = AddText("after", "BBB", 5, 3, kBlue);
    after->relativeId = "name";
    const RECT target = {10, 10, 190, 110};
    Paint(related, DRAWITEM_TEXT, target);
    Paint(after, DRAWITEM_TEXT, target);
    const int relatedLeft = 100;
    const int relatedRight = relatedLeft + Extent("AAA").cx;
    Box blue = Find(Bluish);
    ASSERT_GT(blue.count, 0);
    EXPECT_LE(Find(Reddish).right, relatedRight);
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

TEST_F(DrawTest, SkinFontIsSelectedWhenFound) {
    TextItem* item = AddText("t", "HHH", 0, 0, kRed);
    Paint(item, DRAWITEM_TEXT, kAll);
    const int plainHeight = Find(Reddish).Height();
    ASSERT_GT(plainHeight, 0);

    auto font = std::make_unique<GDIFont>();
    font->SetId("big");
    ASSERT_NE(font->CreateFontResource("Tahoma", -48, true, false, false), nullptr);
    const HFONT bigFont = font->GetFont();
    CManager::Instance()->Fonts().Add(std::move(font));
    item->fontId = "big";
    Clear();
    Paint(item, DRAWITEM_TEXT, kAll);
    EXPECT_GT(Find(Reddish).Height(), plainHeight + 10);
    // The device context keeps the font for what the window paints next.
    EXPECT_EQ(GetCurrentObject(Dc(), OBJ_FONT), bigFont);
    SelectObject(Dc(), GetStockObject(SYSTEM_FONT));
}

TEST_F(DrawTest, ProgressFillsTheShareOfTheUsableWidthAndShowsThePercentage) {
    constexpr RECT kBar = {0, 0, 104, 40};
    SurfaceItem* back = Add<SurfaceItem>("progress.back");
    back->fillColor = back->borderColor = kGray;
    AddSkinImage("step", 10, 10, Solid(kGreen));
    ImageItem* step = AddImageItem("progress.step", "step", IMAGEMODE_STRETCHHORZ);
    step->right = 4;
    step->stretchLeft = step->stretchRight = 2;
    TextItem* text = AddText("progress.text", "kept", 0, 22, kRed);

    struct Case {
        int position, range;
        int filled; // green columns from the left edge
        const char* text;
    };
    // The share is truncated; a stretched step narrower than its image stays
    // unpainted; without a range only the background is painted.
    const Case cases[] = {{5, 0, 0, "kept"},       {0, 200, 0, "0%"},   {100, 200, 50, "50%"},
                          {200, 200, 100, "100%"}, {1, 3, 33, "33%"},   {300, 200, 100, "150%"},
                          {9, 100, 0, "9%"},       {10, 100, 10, "10%"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Clear();
        PaintProgress(*CManager::Instance(), m_window, 19, Dc(), m_items, kBar, c.position,
                      c.range);
        const Box filled = FindColor(kGreen);
        EXPECT_EQ(filled.left, 0);
        EXPECT_EQ(filled.right, c.filled);
        EXPECT_EQ(filled.Height(), c.filled ? 10 : 0);
        EXPECT_EQ(Pixel(c.filled, 5), kGray);
        EXPECT_EQ(Pixel(103, 5), kGray);
        EXPECT_EQ(text->content, c.text);
        const Box written = Find(Reddish);
        EXPECT_EQ(c.range != 0, written.count > 0 && written.top >= 22);
    }

    // The step's left narrows the usable width as well.
    Clear();
    step->left = 4;
    PaintProgress(*CManager::Instance(), m_window, 19, Dc(), m_items, kBar, 200, 200);
    EXPECT_EQ(FindColor(kGreen).Width(), 96);

    // In another mode any fill is painted: 25 pixels hold two whole copies.
    Clear();
    step->left = step->right = step->bottom = 0;
    step->mode = IMAGEMODE_TILE;
    PaintProgress(*CManager::Instance(), m_window, 19, Dc(), m_items, kBar, 25, 100);
    EXPECT_EQ(FindColor(kGreen).Width(), 20);

    // A surface step fills the whole height of its share.
    DrawItemList items;
    auto surface = std::make_unique<SurfaceItem>();
    surface->id = "progress.step";
    surface->index = 0;
    surface->fillColor = surface->borderColor = kGreen;
    items.Add(std::move(surface));
    Clear();
    PaintProgress(*CManager::Instance(), m_window, 19, Dc(), items, kBar, 3, 4);
    const Box filled = FindColor(kGreen);
    EXPECT_EQ(filled.left, 0);
    EXPECT_EQ(filled.right, 78);
    EXPECT_EQ(filled.bottom, 40);
}

} // namespace
