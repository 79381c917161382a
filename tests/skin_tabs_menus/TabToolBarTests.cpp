// The tab strip, toolbar and system tab control skins in a skinned panel:
// their pixels after the mouse and the exports acted, and what they posted.
#include "Manager.h"
#include "TabsMenus.h"
#include "Velmora.h"

#include <commctrl.h>

#include <cstdio>
#include <map>
#include <utility>

namespace {

// A click, or the one message sent (none: 0).
enum Act : UINT { kNothing, kClick, kMove = WM_MOUSEMOVE, kLeave = WM_MOUSELEAVE };

// The mouse's act and point, the pixels then ("x,y=C"), what the parent heard.
struct Step {
    const char* what;
    UINT act;
    int x, y;
    const char* pixels;
    const char* posted;
};

// Items normal, over, down; event items the same; arrows normal, over, disabled.
const std::map<char, COLORREF> kColors = {{'N', RGB(0, 0, 200)},     {'O', RGB(0, 200, 0)},
                                          {'D', RGB(200, 0, 0)},     {'e', RGB(200, 200, 0)},
                                          {'E', RGB(0, 200, 200)},   {'V', RGB(200, 0, 200)},
                                          {'a', RGB(10, 10, 10)},    {'A', RGB(60, 60, 60)},
                                          {'x', RGB(160, 160, 160)}, {'P', kPanel}};

class TabToolBarTest : public TabsMenusTest {
  protected:
    void Run(HWND control, const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            const LPARAM point = MAKELPARAM(step.x, step.y);
            if (step.act == kClick)
                SendMessageA(control, WM_LBUTTONDOWN, 0, point);
            SendMessageA(control, step.act == kClick ? WM_LBUTTONUP : step.act, 0, point);
            ExpectPixels(control, step.pixels, step.what);
            EXPECT_EQ(TakeLog(m_top), step.posted) << step.what;
        }
    }
    static void ExpectPixels(HWND control, const char* pixels, const char* what) {
        int x = 0, y = 0, used = 0;
        char color = 0;
        const char* at = pixels;
        for (; std::sscanf(at, " %d,%d=%c%n", &x, &y, &color, &used) == 3; at += used)
            EXPECT_EQ(RepaintedPixel(control, x, y), kColors.at(color))
                << what << " at " << x << "," << y;
        EXPECT_STREQ(at, "") << what;
    }
};

// Three tabs of 80 with margin 4 in a strip of 200 whose arrows are 16 wide:
// pitch 84, total 252, visible 168. Tab n starts at 4 + 84 n - offset; its
// event item ("close") at 84 n - offset + 70, 2.
TEST_F(TabToolBarTest, TabStripScrollsSelectsAndPosts) {
    HWND tabs = Control(VELMORA_KIND_TABCTRLEX, "tabs", 10, 10, 200, 24);
    for (int id = 0; id < 3; ++id)
        ASSERT_EQ(TabCtrlExAddItem(tabs, "tab"), id);
    Run(tabs,
        {
            {"third added: offset 84, tab 2 chosen", kNothing, 0, 0,
             "2,20=P 10,20=N 100,20=D 73,6=e 175,10=a 190,10=x", ""},
            {"a click on the chosen tab", kClick, 100, 20, "100,20=D", ""},
            {"hovering tab 1", kMove, 10, 20, "10,20=O", ""},
            {"hovering its event item", kMove, 73, 6, "10,20=O 73,6=E", ""},
            {"pressing the event item", WM_LBUTTONDOWN, 73, 6, "73,6=V 100,20=D",
             "2B11:00010007,close"},
            {"releasing it", WM_LBUTTONUP, 73, 6, "73,6=E", ""},
            {"choosing tab 1", kClick, 10, 20, "10,20=D 100,20=N 175,10=a", "2B12:7,00010002"},
            {"hovering the right arrow, which cannot scroll", kMove, 190, 10, "190,10=x", ""},
            {"hovering the left arrow", kMove, 175, 10, "175,10=A", ""},
            {"the mouse leaving the strip", kLeave, 0, 0, "175,10=a 10,20=D", ""},
            {"left arrow: back to the start", kClick, 175, 10, "10,20=N 100,20=D 175,10=x 190,10=a",
             ""},
            {"left arrow again does nothing", kClick, 175, 10, "10,20=N 175,10=x", ""},
            {"right arrow: to the end", kClick, 190, 10, "10,20=D 100,20=N 175,10=a 190,10=x", ""},
        });
    // The chosen tab goes: the choice passes on, the rest fit, the arrows go.
    EXPECT_EQ(TabCtrlExRemoveItem(tabs, 1), 1);
    ExpectPixels(tabs, "10,20=N 100,20=D 175,10=P 190,10=P", "after removing");
    EXPECT_EQ(TabCtrlExGetItemSelectedIndex(tabs), 2);
    // Per-tab overrides of the style's items, by the tab's id.
    EXPECT_EQ(SetDrawItemVisibleEx(tabs, VELMORA_KIND_TABCTRLEX, 0, 0, "face", 0), 1);
    ExpectPixels(tabs, "10,20=P", "face hidden");
    EXPECT_EQ(SetDrawItemValueEx(tabs, VELMORA_KIND_TABCTRLEX, 2, 0, "label", "abc"), 1);
    EXPECT_EQ(SetDrawItemValueEx(tabs, VELMORA_KIND_TABCTRLEX, 1, 0, "label", "gone"), 0);
    char label[8] = {};
    EXPECT_EQ(GetDrawItemValueEx(tabs, VELMORA_KIND_TABCTRLEX, 2, 0, "label", label, 8), 1);
    EXPECT_STREQ(label, "abc");
}

// Two tabs of 86 with margin 4: 180 is more than the 168 beside the arrows,
// though less than the strip's 200.
TEST_F(TabToolBarTest, ArrowsShowWheneverTheTabsDoNotFit) {
    HWND tabs = Control(VELMORA_KIND_TABCTRLEX, "tabs.wide", 10, 40, 200, 24);
    TabCtrlExAddItem(tabs, "tab");
    TabCtrlExAddItem(tabs, "tab");
    ExpectPixels(tabs, "175,10=a 190,10=x", "two wide tabs");
}

// Buttons of the row at x 5, 37, 69 (30 wide); of the column at y 3, 25, 47.
TEST_F(TabToolBarTest, ToolBarsPostClicksAndKeepChoicesAsTheirElementSays) {
    HWND row = Control(VELMORA_KIND_TOOLBAREX, "tools", 10, 10, 200, 24);
    HWND column = Control(VELMORA_KIND_TOOLBAREX, "tools.checked", 10, 40, 60, 100);
    for (int i = 0; i < 3; ++i) {
        ToolBarExAddItem(row, "button");
        ToolBarExAddItem(column, "button");
    }
    Run(row, {
                 {"unchecked: a click posts, the look stays", kClick, 50, 10,
                  "50,10=N 20,10=N 3,10=P", "2B13:7,0001FFFF"},
                 {"again", kClick, 50, 10, "50,10=N", "2B13:7,0001FFFF"},
                 {"hovered", kMove, 80, 10, "80,10=O 50,10=N", ""},
                 {"left", kLeave, 0, 0, "80,10=N", ""},
             });
    EXPECT_EQ(ToolBarExSetItemSelected(row, 2), 1);
    ExpectPixels(row, "80,10=D", "chosen by the program");
    Run(column, {
                    {"checked: a click chooses", kClick, 30, 50, "30,50=D 30,10=N 30,24=P",
                     "2B13:7,0002FFFF"},
                    {"the chosen one again posts nothing", kClick, 30, 50, "30,50=D", ""},
                    {"another", kClick, 30, 10, "30,10=D 30,50=N", "2B13:7,00000002"},
                });
    // A removed button is chosen no more, not even by the one that gets its id.
    ToolBarExRemoveItem(column, 0);
    ToolBarExAddItem(column, "button");
    ExpectPixels(column, "30,10=N 30,50=N", "after removing the chosen one");
    // Over a button the element's cursor, elsewhere the window's.
    HCURSOR hand = Velmora::CManager::Instance()->FindCursor("hand")->GetCursor();
    for (const auto& [x, expected] : {std::pair{20, true}, {3, false}}) {
        POINT point = {x, 10};
        ClientToScreen(row, &point);
        SetCursorPos(point.x, point.y);
        SetCursor(nullptr);
        SendMessageA(row, WM_SETCURSOR, reinterpret_cast<WPARAM>(row), HTCLIENT);
        EXPECT_EQ(GetCursor() == hand, expected) << x;
    }
}

// The newest item's id comes back when it is removed; another's does not, so
// no two items share an id. And what the item functions take.
TEST_F(TabToolBarTest, ItemIdsStayUniqueAndArgumentsAreChecked) {
    HWND tools = Control(VELMORA_KIND_TOOLBAREX, "tools", 10, 10, 200, 24);
    HWND tabs = Control(VELMORA_KIND_TABCTRLEX, "tabs", 10, 40, 200, 24);
    const std::pair<int, int> rows[] = {
        {TabCtrlExAddItem(tabs, nullptr), -1},   {TabCtrlExGetItemSelectedIndex(tabs), 0},
        {TabCtrlExSetItemSelected(tabs, -1), 0}, {ToolBarExSetItemSelected(tools, -1), 0},
        {TabCtrlExRemoveItem(tabs, 5), 0},       {ToolBarExRemoveItem(tools, 3), 0},
    };
    for (size_t row = 0; row < std::size(rows); ++row)
        EXPECT_EQ(rows[row].first, rows[row].second) << "row " << row;
    for (int id = 0; id < 3; ++id)
        ASSERT_EQ(ToolBarExAddItem(tools, "button"), id);
    const std::pair<int, int> removedThenAdded[] = {{2, 2}, {0, 3}, {3, 3}};
    for (const auto& [removed, added] : removedThenAdded) {
        EXPECT_EQ(ToolBarExRemoveItem(tools, removed), 1);
        EXPECT_EQ(ToolBarExAddItem(tools, "button"), added) << "after removing " << removed;
    }
}

TEST_F(TabToolBarTest, SystemTabControlShowsOnlyWhatLiesUnderIt) {
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_TAB_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&classes));
    HWND tab = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 100,
                               m_top, nullptr, nullptr, nullptr);
    TCITEMA item = {TCIF_TEXT, 0, 0, const_cast<char*>("First"), 0, 0, 0};
    SendMessageA(tab, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_NE(RepaintedPixel(tab, 5, 5), kPanel);
    Velmora::CManager::Instance()->SkinWindow(tab, VELMORA_KIND_TABCTRL, "tabctrl", false);
    ExpectPixels(tab, "5,5=P 100,60=P", "skinned");
}

} // namespace
