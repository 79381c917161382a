// Window scroll bars drawn by the skin: where their parts lie and which sprite
// cells they show, what pressing, holding and dragging sends to the window
// (timers driven by sending WM_TIMER), the rules by which the program's own
// scroll-bar calls change them, and the system's bars coming back after.
#include "Manager.h"
#include "ScrollBarSkin.h"
#include "WindowScrollBars.h"

#include <commctrl.h>

#include <functional>
#include <vector>

namespace {

constexpr UINT_PTR kFirstRepeat = 60000;
constexpr UINT_PTR kRepeat = 60001;

// A 216 x 232 window at (10, 10) of the screen: client 200 x 216, its
// vertical bar at x 200..216 and its horizontal bar at y 216..232 (window
// coordinates; the screen's are 10 more).
class WindowScrollBarTest : public ScrollBarTest {
  protected:
    HWND Skinned(const char* className = nullptr, DWORD style = WS_VSCROLL | WS_HSCROLL) {
        HWND window = CreateScrollTarget(m_top, {10, 10, 226, 242}, style, className);
        EXPECT_EQ(Velmora::CManager::Instance()->SkinWindow(window, 1, "scroller", false), 1);
        SetRange(window, SB_VERT, 0, 99, 10, 0);
        PumpMessages();
        return window;
    }
    static void SetRange(HWND window, int bar, int minimum, int maximum, UINT page, int position) {
        SCROLLINFO info = {sizeof(info), SIF_ALL, minimum, maximum, page, position, 0};
        SetScrollInfo(window, bar, &info, TRUE);
    }
    // Window messages as the mouse would send them, at window coordinates.
    static void Press(HWND window, int x, int y) {
        SendMessageA(window, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(x + 10, y + 10));
    }
    static void Move(HWND window, int x, int y, UINT message = WM_MOUSEMOVE) {
        POINT point = {x + 10, y + 10};
        ScreenToClient(window, &point);
        SendMessageA(window, message, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    }
};

TEST_F(WindowScrollBarTest, PartsShowTheirCellsWhereTheyLie) {
    HWND window = Skinned();
    SetRange(window, SB_HORZ, 0, 99, 50, 25);
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 216);
    struct Pixel {
        int x, y;
        COLORREF color;
    };
    const struct {
        const char* what;
        std::function<void()> change;
        std::vector<Pixel> pixels;
    } steps[] = {
        // Track 184, thumb MulDiv(10, 184, 100) = 18 at 16..34, gripper
        // centred; horizontal thumb 84 at 58..142, gripper 92..108.
        {"range 0..99, page 10",
         [] {},
         {{208, 8, CellColor(5, 0)},
          {208, 208, CellColor(6, 0)},
          {208, 16, ThumbStartColor(7, 0)},
          {208, 25, CellColor(8, 0)},
          {208, 33, ThumbEndColor(7, 0)},
          {208, 34, CellColor(9, 0)},
          {8, 224, CellColor(0, 0)},
          {192, 224, CellColor(1, 0)},
          {57, 224, CellColor(4, 0)},
          {58, 224, ThumbStartColor(2, 0)},
          {70, 224, CellColor(2, 0)},
          {100, 224, CellColor(3, 0)},
          {141, 224, ThumbEndColor(2, 0)},
          {142, 224, CellColor(4, 0)},
          {208, 224, CellColor(10, 0)}}},
        {"a thumb below 10 pixels gets 10",
         [&] { SetRange(window, SB_VERT, 0, 9999, 10, 0); },
         {{208, 25, ThumbEndColor(7, 0)}, {208, 26, CellColor(9, 0)}}},
        {"the arrow under the mouse",
         [&] { SendMessageA(window, WM_NCMOUSEMOVE, HTVSCROLL, MAKELPARAM(218, 18)); },
         {{208, 8, CellColor(5, 1)}, {208, 208, CellColor(6, 0)}}},
        {"disabled: no thumb",
         [&] { EnableScrollBar(window, SB_VERT, ESB_DISABLE_BOTH); },
         {{208, 8, CellColor(5, 3)}, {208, 20, CellColor(9, 0)}, {208, 208, CellColor(6, 3)}}},
        {"left scroll bar",
         [&] {
             SetWindowLongA(window, GWL_EXSTYLE, WS_EX_LEFTSCROLLBAR);
             PumpMessages();
         },
         {{8, 8, CellColor(5, 3)}, {8, 224, CellColor(10, 0)}, {24, 224, CellColor(0, 0)}}},
    };
    for (const auto& step : steps) {
        step.change();
        for (const Pixel& pixel : step.pixels)
            EXPECT_EQ(WindowPixel(window, pixel.x, pixel.y), pixel.color)
                << step.what << " at " << pixel.x << "," << pixel.y;
    }
}

TEST_F(WindowScrollBarTest, HeldArrowRepeatsOnTheTimersAndWaitsOffThePart) {
    HWND window = Skinned();
    SetFollows(window, true);
    Press(window, 208, 208);
    EXPECT_EQ(TakeScrolls(window), "V:1,0");
    EXPECT_EQ(WindowPixel(window, 208, 208), CellColor(6, 2));
    const struct {
        std::function<void()> action;
        const char* scrolls;
    } steps[] = {
        {[&] { SendMessageA(window, WM_TIMER, kFirstRepeat, 0); }, ""},
        {[&] { SendMessageA(window, WM_TIMER, kRepeat, 0); }, "V:1,0"},
        {[&] { SendMessageA(window, WM_TIMER, kRepeat, 0); }, "V:1,0"},
        {[&] { Move(window, 100, 100); }, ""},
        {[&] { SendMessageA(window, WM_TIMER, kRepeat, 0); }, ""},
        {[&] { Move(window, 208, 208); }, ""},
        {[&] { SendMessageA(window, WM_TIMER, kRepeat, 0); }, "V:1,0"},
        {[&] { Move(window, 208, 208, WM_LBUTTONUP); }, "V:8,0"},
        {[&] { SendMessageA(window, WM_TIMER, kRepeat, 0); }, ""},
        // Another window taking the mouse ends a press as the button would.
        {[&] { Press(window, 208, 8); }, "V:0,0"},
        {[&] { SetCapture(m_top); }, "V:8,0"},
        {[&] { SendMessageA(window, WM_TIMER, kRepeat, 0); }, ""},
    };
    for (const auto& step : steps) {
        step.action();
        EXPECT_EQ(TakeScrolls(window), step.scrolls);
    }
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 3);
}

TEST_F(WindowScrollBarTest, HeldPageStopsWhenTheThumbReachesTheCursor) {
    HWND window = Skinned();
    SetFollows(window, true);
    // The thumb (18 of 184) ends at 16 + MulDiv(pos, 166, 90) + 18: past
    // y = 150 from position 70 on, after the press and six repeats.
    Press(window, 208, 150);
    PlaceCursor(218, 160);
    SendMessageA(window, WM_TIMER, kFirstRepeat, 0);
    for (int tick = 0; tick < 10; ++tick)
        SendMessageA(window, WM_TIMER, kRepeat, 0);
    EXPECT_EQ(TakeScrolls(window), "V:3,0 V:3,0 V:3,0 V:3,0 V:3,0 V:3,0 V:3,0");
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 70);
}

TEST_F(WindowScrollBarTest, DraggedThumbSendsPositionsCountedFromTheRangesStart) {
    const struct {
        const char* className;
        int minimum, position;
        int pressY, moveY;
        const char* drag;
        const char* release;
    } cases[] = {
        // Pressed 4 below the thumb's top at 16; moved 83 of the room 166.
        {nullptr, 0, 0, 20, 103, "V:5,45", "V:4,45 V:8,0"},
        {"RichEdit20A", 0, 0, 20, 103, "V:4,45", "V:4,45 V:8,0"},
        // Let go where it was pressed: the position it had.
        {nullptr, 0, 30, 75, 75, "", "V:4,30 V:8,0"},
        // Dragged to the top of a range from 50 to 149.
        {nullptr, 50, 100, 110, 0, "V:5,50", "V:4,50 V:8,0"},
    };
    for (const auto& test : cases) {
        HWND window = Skinned(test.className);
        SetRange(window, SB_VERT, test.minimum, test.minimum + 99, 10, test.position);
        SetFollows(window, true);
        Press(window, 208, test.pressY);
        Move(window, 208, test.moveY);
        EXPECT_EQ(TakeScrolls(window), test.drag) << test.pressY;
        Move(window, 208, test.moveY, WM_LBUTTONUP);
        EXPECT_EQ(TakeScrolls(window), test.release) << test.pressY;
        DestroyWindow(window);
    }
}

TEST_F(WindowScrollBarTest, ProgramsScrollCallsFollowTheBarsRules) {
    HWND window = Skinned(nullptr, WS_VSCROLL);
    const auto info = [&](UINT mask, int minimum, int maximum, UINT page, int position) {
        SCROLLINFO given = {sizeof(given), mask, minimum, maximum, page, position, 0};
        return SetScrollInfo(window, SB_VERT, &given, TRUE);
    };
    const struct {
        const char* what;
        std::function<int()> call;
        int result;
        int minimum, maximum;
        UINT page;
        int position;
        bool shown;
    } rows[] = {
        {"maximum below minimum is the minimum", [&] { return info(SIF_RANGE, 20, 10, 0, 0); }, 20,
         20, 20, 1, 20, false},
        {"position past the last page is pulled back", [&] { return info(SIF_ALL, 0, 99, 10, 95); },
         20, 0, 99, 10, 90, true},
        {"position alone", [&] { return info(SIF_POS, 0, 0, 0, 200); }, 90, 0, 99, 10, 90, true},
        {"page over the range", [&] { return info(SIF_PAGE, 0, 0, 500, 0); }, 0, 0, 99, 100, 0,
         false},
        {"hidden bar without a range", [&] { return info(SIF_POS, 0, 0, 0, 5); }, 0, 0, 99, 100, 0,
         false},
        {"a range shows it again", [&] { return info(SIF_RANGE | SIF_PAGE, 0, 99, 10, 0); }, 0, 0,
         99, 10, 0, true},
        {"no scrolling keeps a shown bar with SIF_DISABLENOSCROLL",
         [&] { return info(SIF_PAGE | SIF_DISABLENOSCROLL, 0, 0, 200, 0); }, 0, 0, 99, 100, 0,
         true},
        {"and a page that fits enables it",
         [&] {
             info(SIF_PAGE | SIF_DISABLENOSCROLL, 0, 0, 10, 0);
             return EnableScrollBar(window, SB_VERT, ESB_ENABLE_BOTH);
         },
         0, 0, 99, 10, 0, true},
        {"empty range hides", [&] { return SetScrollRange(window, SB_VERT, 0, 0, TRUE); }, 1, 0, 0,
         10, 0, false},
        {"a range shows it again", [&] { return SetScrollRange(window, SB_VERT, 0, 50, TRUE); }, 1,
         0, 50, 10, 0, true},
        {"position unclamped", [&] { return SetScrollPos(window, SB_VERT, 70, TRUE); }, 0, 0, 50,
         10, 70, true},
        {"SB_CTL refused", [&] { return GetScrollPos(window, SB_CTL); }, 0, 0, 50, 10, 70, true},
        {"arrows disabled one by one",
         [&] {
             return EnableScrollBar(window, SB_VERT, ESB_DISABLE_UP) +
                    EnableScrollBar(window, SB_VERT, ESB_DISABLE_DOWN) +
                    EnableScrollBar(window, SB_VERT, ESB_DISABLE_DOWN);
         },
         2, 0, 50, 10, 70, true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.call(), row.result) << row.what;
        SCROLLINFO read = {sizeof(read), SIF_ALL, 0, 0, 0, 0, 0};
        EXPECT_TRUE(GetScrollInfo(window, SB_VERT, &read)) << row.what;
        EXPECT_EQ(read.nMin, row.minimum) << row.what;
        EXPECT_EQ(read.nMax, row.maximum) << row.what;
        EXPECT_EQ(read.nPage, row.page) << row.what;
        EXPECT_EQ(read.nPos, row.position) << row.what;
        EXPECT_EQ((GetWindowLongA(window, GWL_STYLE) & WS_VSCROLL) != 0, row.shown) << row.what;
    }
    // Both arrows disabled: the bar shows its disabled cells.
    EXPECT_EQ(WindowPixel(window, 208, 8), CellColor(5, 3));
    SCROLLINFO shortInfo = {sizeof(SCROLLINFO) - 4, SIF_ALL, 0, 0, 0, 0, 0};
    EXPECT_FALSE(GetScrollInfo(window, SB_VERT, &shortInfo));
    EXPECT_TRUE(ShowScrollBar(window, SB_CTL, FALSE));
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(WindowScrollBarTest, CallsReachTheRecordOfSkinnedWindowsAndTheSystemForOthers) {
    // List views of the common controls set their bars through USER32's
    // functions; one is skinned, one is not.
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    HWND lists[2];
    const auto addRows = [&](HWND list, int count) {
        for (int row = 0; row < count; ++row) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.pszText = const_cast<char*>("row");
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
    };
    for (int i = 0; i < 2; ++i) {
        lists[i] = CreateWindowExA(0, WC_LISTVIEWA, "",
                                   WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER,
                                   10 + 250 * i, 10, 216, 216, m_top, nullptr, nullptr, nullptr);
        LVCOLUMNA column = {};
        column.mask = LVCF_WIDTH;
        column.cx = 150;
        SendMessageA(lists[i], LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        addRows(lists[i], 20);
    }
    // Until list views have a skin of their own, their bars are put in directly.
    Velmora::CManager* manager = Velmora::CManager::Instance();
    ASSERT_TRUE(Velmora::SkinnedScrollBars::Install(
        lists[0], *manager,
        *manager->FindDescription(Velmora::DescriptionType::CommonCtrl, "scroller")));
    PumpMessages();
    // What the list set before it was skinned stays.
    EXPECT_EQ(GetScrollPos(lists[0], SB_VERT), 0);
    SCROLLINFO read = {sizeof(read), SIF_RANGE, 0, 0, 0, 0, 0};
    EXPECT_TRUE(GetScrollInfo(lists[0], SB_VERT, &read));
    EXPECT_EQ(read.nMax, 19);
    for (int i = 0; i < 2; ++i) {
        addRows(lists[i], 80);
        EXPECT_TRUE(GetScrollInfo(lists[i], SB_VERT, &read));
        EXPECT_EQ(read.nMax, 99) << i;
    }
    // Only the skinned list's bar shows the sheet.
    EXPECT_EQ(WindowPixel(lists[0], 208, 8), CellColor(5, 0));
    EXPECT_NE(WindowPixel(lists[1], 208, 8), CellColor(5, 0));

    // Once the skin lets go, the system's bar holds what the record held.
    SetScrollPos(lists[0], SB_VERT, 40, FALSE);
    Velmora::SkinnedScrollBars::Release(lists[0]);
    PumpMessages();
    EXPECT_EQ(GetScrollPos(lists[0], SB_VERT), 40);
    EXPECT_EQ(GetPropA(lists[0], "Velmora_Prop_ScrollBar"), nullptr);
    EXPECT_NE(WindowPixel(lists[0], 208, 8), CellColor(5, 0));
}

TEST_F(WindowScrollBarTest, SkinnedAgainKeepsTheValuesAndLeavesTheChainAsItWas) {
    HWND window = Skinned();
    const LONG ownProc = GetClassLongA(window, GCL_WNDPROC);
    SetScrollPos(window, SB_VERT, 33, TRUE);
    ASSERT_EQ(Velmora::CManager::Instance()->SkinWindow(window, 1, "scroller", false), 1);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 33);
    EXPECT_EQ(WindowPixel(window, 208, 8), CellColor(5, 0));
    Velmora::CManager::Destroy();
    EXPECT_EQ(GetWindowLongA(window, GWL_WNDPROC), ownProc);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 33);
    // The system's own bars have their own width again.
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 216 - GetSystemMetrics(SM_CXVSCROLL));
}

} // namespace
