// The library's tab strip and toolbar and the system tab control's skin in a
// skinned panel: what each shows after the mouse and the exported functions
// acted on it, read back pixel by pixel, and what it posted to its parent.
#include "Manager.h"
#include "TabsMenus.h"
#include "Velmora.h"

#include <commctrl.h>

#include <functional>
#include <utility>
#include <vector>

namespace {

using Pixels = std::vector<std::pair<POINT, COLORREF>>;

struct Step {
    const char* what;
    std::function<void()> action;
    Pixels pixels;
    const char* posted;
};

void Click(HWND window, int x, int y) {
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void Move(HWND window, int x, int y) {
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

class TabToolBarTest : public TabsMenusTest {
  protected:
    void Run(HWND control, const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            step.action();
            for (const auto& [point, color] : step.pixels)
                EXPECT_EQ(PixelOf(control, point.x, point.y), color)
                    << step.what << " at " << point.x << "," << point.y;
            EXPECT_EQ(TakeLog(m_top), step.posted) << step.what;
        }
    }
};

// Three tabs of 80 with margin 4 in a strip of 200 whose arrows are 16 wide:
// pitch 84, total 252, visible 168. Tab n starts at 4 + 84 n - offset.
TEST_F(TabToolBarTest, TabStripScrollsSelectsAndPosts) {
    SetCursorPos(900, 900);
    HWND tabs = Control(VELMORA_KIND_TABCTRLEX, "tabs", 10, 10, 200, 24);
    for (int id = 0; id < 3; ++id)
        ASSERT_EQ(TabCtrlExAddItem(tabs, "tab"), id);
    Run(tabs,
        {
            {"third added: offset 84, tab 2 chosen",
             [] {},
             {{{2, 20}, kPanel},
              {{10, 20}, kNormal},
              {{100, 20}, kDown},
              {{73, 6}, kEventNormal},
              {{175, 10}, kArrowNormal},
              {{190, 10}, kArrowDisabled}},
             ""},
            {"a click on the chosen tab", [&] { Click(tabs, 100, 20); }, {{{100, 20}, kDown}}, ""},
            {"hovering tab 1", [&] { Move(tabs, 10, 20); }, {{{10, 20}, kOver}}, ""},
            {"hovering its event item",
             [&] { Move(tabs, 73, 6); },
             {{{10, 20}, kOver}, {{73, 6}, kEventOver}},
             ""},
            {"pressing the event item",
             [&] { SendMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(73, 6)); },
             {{{73, 6}, kEventDown}, {{100, 20}, kDown}},
             "2B11:00010007,close"},
            {"releasing it",
             [&] { SendMessageA(tabs, WM_LBUTTONUP, 0, MAKELPARAM(73, 6)); },
             {{{73, 6}, kEventOver}},
             ""},
            {"choosing tab 1",
             [&] { Click(tabs, 10, 20); },
             {{{10, 20}, kDown}, {{100, 20}, kNormal}, {{175, 10}, kArrowNormal}},
             "2B12:7,00010002"},
            {"hovering the right arrow, which cannot scroll",
             [&] { Move(tabs, 190, 10); },
             {{{190, 10}, kArrowDisabled}},
             ""},
            {"hovering the left arrow",
             [&] { Move(tabs, 175, 10); },
             {{{175, 10}, kArrowOver}},
             ""},
            {"the mouse leaving the strip",
             [&] { SendMessageA(tabs, WM_MOUSELEAVE, 0, 0); },
             {{{175, 10}, kArrowNormal}, {{10, 20}, kDown}},
             ""},
            {"left arrow: back to the start",
             [&] { Click(tabs, 175, 10); },
             {{{10, 20}, kNormal},
              {{100, 20}, kDown},
              {{175, 10}, kArrowDisabled},
              {{190, 10}, kArrowNormal}},
             ""},
            {"left arrow again does nothing",
             [&] { Click(tabs, 175, 10); },
             {{{10, 20}, kNormal}, {{175, 10}, kArrowDisabled}},
             ""},
            {"right arrow: to the end",
             [&] { Click(tabs, 190, 10); },
             {{{10, 20}, kDown},
              {{100, 20}, kNormal},
              {{175, 10}, kArrowNormal},
              {{190, 10}, kArrowDisabled}},
             ""},
            {"removing the chosen tab passes the choice on and fits the rest",
             [&] { EXPECT_EQ(TabCtrlExRemoveItem(tabs, 1), 1); },
             {{{10, 20}, kNormal}, {{100, 20}, kDown}, {{175, 10}, kPanel}, {{190, 10}, kPanel}},
             ""},
        });
    EXPECT_EQ(TabCtrlExGetItemSelectedIndex(tabs), 2);
    // Per-tab overrides of the style's items, by the tab's id.
    EXPECT_EQ(SetDrawItemVisibleEx(tabs, VELMORA_KIND_TABCTRLEX, 0, 0, "face", 0), 1);
    EXPECT_EQ(PixelOf(tabs, 10, 20), kPanel);
    EXPECT_EQ(SetDrawItemValueEx(tabs, VELMORA_KIND_TABCTRLEX, 2, 0, "label", "abc"), 1);
    EXPECT_EQ(SetDrawItemValueEx(tabs, VELMORA_KIND_TABCTRLEX, 1, 0, "label", "gone"), 0);
    char label[8] = {};
    EXPECT_EQ(GetDrawItemValueEx(tabs, VELMORA_KIND_TABCTRLEX, 2, 0, "label", label, 8), 1);
    EXPECT_STREQ(label, "abc");
    EXPECT_EQ(PixelOf(tabs, 150, 20), kDown);
    int white = 0;
    for (int x = 88; x < 120; ++x)
        for (int y = 12; y < 24; ++y)
            white += PixelOf(tabs, x, y) == RGB(255, 255, 255);
    EXPECT_GT(white, 0);
}

TEST_F(TabToolBarTest, ArrowsShowWheneverTheTabsDoNotFit) {
    // Two tabs of 86 with margin 4: 180 is more than the 168 left beside the
    // arrows, though less than the strip's 200.
    HWND tabs = Control(VELMORA_KIND_TABCTRLEX, "tabs.wide", 10, 40, 200, 24);
    TabCtrlExAddItem(tabs, "tab");
    TabCtrlExAddItem(tabs, "tab");
    EXPECT_EQ(PixelOf(tabs, 175, 10), kArrowNormal);
    EXPECT_EQ(PixelOf(tabs, 190, 10), kArrowDisabled);
}

TEST_F(TabToolBarTest, ExportedItemFunctionsCheckTheirArguments) {
    HWND tabs = Control(VELMORA_KIND_TABCTRLEX, "tabs", 10, 10, 200, 24);
    HWND tools = Control(VELMORA_KIND_TOOLBAREX, "tools", 10, 40, 200, 24);
    const struct {
        const char* what;
        int result;
        int expected;
    } rows[] = {
        {"tab added to no window", TabCtrlExAddItem(nullptr, "tab"), 0},
        {"tab added to another window", TabCtrlExAddItem(m_top, "tab"), -1},
        {"tab without a style", TabCtrlExAddItem(tabs, nullptr), -1},
        {"choice of no window", TabCtrlExGetItemSelectedIndex(nullptr), -1},
        {"choice of another window", TabCtrlExGetItemSelectedIndex(m_top), -1},
        {"choice before any tab", TabCtrlExGetItemSelectedIndex(tabs), 0},
        {"negative tab chosen", TabCtrlExSetItemSelected(tabs, -1), 0},
        {"unknown tab removed", TabCtrlExRemoveItem(tabs, 5), 0},
        {"button added to a tab strip", ToolBarExAddItem(tabs, "button"), -1},
        {"button added", ToolBarExAddItem(tools, "button"), 0},
        {"negative button chosen", ToolBarExSetItemSelected(tools, -1), 0},
        {"unknown button removed", ToolBarExRemoveItem(tools, 3), 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.result, row.expected) << row.what;
}

TEST_F(TabToolBarTest, ToolBarsPostClicksAndKeepChoicesAsTheirElementSays) {
    SetCursorPos(900, 900);
    HWND row = Control(VELMORA_KIND_TOOLBAREX, "tools", 10, 10, 200, 24);
    HWND column = Control(VELMORA_KIND_TOOLBAREX, "tools.checked", 10, 40, 60, 100);
    for (int i = 0; i < 3; ++i) {
        ToolBarExAddItem(row, "button");
        ToolBarExAddItem(column, "button");
    }
    // Buttons of the row at x 5, 37, 69 (30 wide); of the column at y 3, 25, 47.
    Run(row,
        {
            {"unchecked: every click posts, the look stays",
             [&] { Click(row, 50, 10); },
             {{{50, 10}, kNormal}, {{20, 10}, kNormal}, {{3, 10}, kPanel}},
             "2B13:7,0001FFFF"},
            {"again", [&] { Click(row, 50, 10); }, {{{50, 10}, kNormal}}, "2B13:7,0001FFFF"},
            {"hovered", [&] { Move(row, 80, 10); }, {{{80, 10}, kOver}, {{50, 10}, kNormal}}, ""},
            {"left", [&] { SendMessageA(row, WM_MOUSELEAVE, 0, 0); }, {{{80, 10}, kNormal}}, ""},
            {"chosen by the program",
             [&] { EXPECT_EQ(ToolBarExSetItemSelected(row, 2), 1); },
             {{{80, 10}, kDown}},
             ""},
        });
    Run(column, {
                    {"checked: a click chooses",
                     [&] { Click(column, 30, 50); },
                     {{{30, 50}, kDown}, {{30, 10}, kNormal}, {{30, 24}, kPanel}},
                     "2B13:7,0002FFFF"},
                    {"the chosen one again posts nothing",
                     [&] { Click(column, 30, 50); },
                     {{{30, 50}, kDown}},
                     ""},
                    {"another",
                     [&] { Click(column, 30, 10); },
                     {{{30, 10}, kDown}, {{30, 50}, kNormal}},
                     "2B13:7,00000002"},
                    {"its removal leaves none chosen, not its successor",
                     [&] {
                         ToolBarExRemoveItem(column, 0);
                         ToolBarExAddItem(column, "button");
                     },
                     {{{30, 10}, kNormal}, {{30, 50}, kNormal}},
                     ""},
                });
    // Over a button the element's cursor, elsewhere the window's.
    HCURSOR hand = Velmora::CManager::Instance()->FindCursor("hand")->GetCursor();
    for (const auto& [x, expected] : {std::pair{20, true}, {3, false}}) {
        POINT point = {x, 10};
        ClientToScreen(row, &point);
        SetCursorPos(point.x, point.y);
        SetCursor(nullptr);
        SendMessageA(row, WM_SETCURSOR, reinterpret_cast<WPARAM>(row),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor() == hand, expected) << x;
    }
}

// The last item's id comes back when it is removed; another item's does not,
// so no two items share an id.
TEST_F(TabToolBarTest, ToolBarIdsStayUniqueWhenItemsAreRemoved) {
    HWND tools = Control(VELMORA_KIND_TOOLBAREX, "tools", 10, 10, 200, 24);
    for (int id = 0; id < 3; ++id)
        ASSERT_EQ(ToolBarExAddItem(tools, "button"), id);
    EXPECT_EQ(ToolBarExRemoveItem(tools, 2), 1);
    EXPECT_EQ(ToolBarExAddItem(tools, "button"), 2);
    EXPECT_EQ(ToolBarExRemoveItem(tools, 0), 1);
    EXPECT_EQ(ToolBarExAddItem(tools, "button"), 3);
    EXPECT_EQ(ToolBarExRemoveItem(tools, 3), 1);
    EXPECT_EQ(ToolBarExRemoveItem(tools, 2), 1);
    EXPECT_EQ(ToolBarExAddItem(tools, "button"), 2);
}

TEST_F(TabToolBarTest, SystemTabControlShowsOnlyWhatLiesUnderIt) {
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_TAB_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&classes));
    HWND tab = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 100,
                               m_top, nullptr, nullptr, nullptr);
    TCITEMA item = {TCIF_TEXT, 0, 0, const_cast<char*>("First"), 0, 0, 0};
    SendMessageA(tab, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    const COLORREF unskinned = PixelOf(tab, 5, 5);
    Velmora::CManager::Instance()->SkinWindow(tab, VELMORA_KIND_TABCTRL, "tabctrl", false);
    for (const POINT& point : {POINT{5, 5}, POINT{100, 60}})
        EXPECT_EQ(PixelOf(tab, point.x, point.y), kPanel);
    EXPECT_NE(unskinned, kPanel);
}

} // namespace
