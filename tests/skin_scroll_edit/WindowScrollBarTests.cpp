// Window scroll bars drawn by the skin: where their parts lie and which sprite
// cells they show, what pressing, holding and dragging sends to the window
// (timers driven by sending WM_TIMER), the rules by which the program's own
// scroll-bar calls change them, and the system's bars coming back after.
#include "Manager.h"
#include "ControlSkin.h"
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
class WindowScrollBarTest : public ControlSkinTest {
  protected:
    HWND Skinned(const char* className = nullptr, DWORD style = WS_VSCROLL | WS_HSCROLL,
                 int height = 232) {
        HWND window = CreateScrollTarget(m_top, {10, 10, 226, 10 + height}, style, className);
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
          {208, 16, CellColor(7, 0, kStart)},
          {208, 25, CellColor(8, 0)},
          {208, 33, CellColor(7, 0, kEnd)},
          {208, 34, CellColor(9, 0)},
          {8, 224, CellColor(0, 0)},
          {192, 224, CellColor(1, 0)},
          {57, 224, CellColor(4, 0)},
          {58, 224, CellColor(2, 0, kStart)},
          {70, 224, CellColor(2, 0)},
          {100, 224, CellColor(3, 0)},
          {141, 224, CellColor(2, 0, kEnd)},
          {142, 224, CellColor(4, 0)},
          {208, 224, CellColor(10, 0)}}},
        {"a thumb below 10 pixels gets 10",
         [&] { SetRange(window, SB_VERT, 0, 9999, 10, 0); },
         {{208, 25, CellColor(7, 0, kEnd)}, {208, 26, CellColor(9, 0)}}},
        {"the arrow under the mouse",
         [&] { SendMessageA(window, WM_NCMOUSEMOVE, HTVSCROLL, MAKELPARAM(218, 18)); },
         {{208, 8, CellColor(5, 1)}, {208, 208, CellColor(6, 0)}}},
        {"the mouse on the frame elsewhere",
         [&] { SendMessageA(window, WM_NCMOUSEMOVE, HTBORDER, MAKELPARAM(218, 18)); },
         {{208, 8, CellColor(5, 0)}}},
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
        // Double clicks are swallowed on the bars only.
        {[&] { SendMessageA(window, WM_NCLBUTTONDBLCLK, HTVSCROLL, MAKELPARAM(218, 18)); }, ""},
        {[&] { SendMessageA(window, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(218, 18)); }, "D:2"},
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
        int height;
    } cases[] = {
        // Pressed 4 below the thumb's top at 16; moved 83 of the room 166.
        {nullptr, 0, 0, 20, 103, "V:5,45", "V:4,45 V:8,0", 232},
        {"RichEdit20A", 0, 0, 20, 103, "V:4,45", "V:4,45 V:8,0", 232},
        // Let go where it was pressed: the position it had.
        {nullptr, 0, 30, 75, 75, "", "V:4,30 V:8,0", 232},
        // Dragged to the top of a range from 50 to 149.
        {nullptr, 50, 100, 110, 0, "V:5,50", "V:4,50 V:8,0", 232},
        // A thumb as long as its track has no room to move in.
        {nullptr, 0, 0, 20, 30, "", "V:4,0 V:8,0", 58},
    };
    for (const auto& test : cases) {
        HWND window = Skinned(test.className, WS_VSCROLL | WS_HSCROLL, test.height);
        SetRange(window, SB_VERT, test.minimum, test.minimum + 99, 10, test.position);
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
    // Range, page and position as the program reads them back, and whether
    // the bar shows.
    const auto state = [&] {
        SCROLLINFO read = {sizeof(read), SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(window, SB_VERT, &read);
        return std::to_string(read.nMin) + ".." + std::to_string(read.nMax) + "/" +
               std::to_string(read.nPage) + "@" + std::to_string(read.nPos) +
               (GetWindowLongA(window, GWL_STYLE) & WS_VSCROLL ? " shown" : " hidden");
    };
    const struct {
        const char* what;
        std::function<int()> call;
        int result;
        const char* state;
    } rows[] = {
        {"maximum below minimum is the minimum", [&] { return info(SIF_RANGE, 20, 10, 0, 0); }, 20,
         "20..20/1@20 hidden"},
        {"position past the last page is pulled back", [&] { return info(SIF_ALL, 0, 99, 10, 95); },
         20, "0..99/10@90 shown"},
        {"position alone", [&] { return info(SIF_POS, 0, 0, 0, 200); }, 90, "0..99/10@90 shown"},
        {"page over the range", [&] { return info(SIF_PAGE, 0, 0, 500, 0); }, 0,
         "0..99/100@0 hidden"},
        {"hidden bar without a range", [&] { return info(SIF_POS, 0, 0, 0, 5); }, 0,
         "0..99/100@0 hidden"},
        {"a range shows it again", [&] { return info(SIF_RANGE | SIF_PAGE, 0, 99, 10, 0); }, 0,
         "0..99/10@0 shown"},
        {"no scrolling keeps a shown bar with SIF_DISABLENOSCROLL",
         [&] { return info(SIF_PAGE | SIF_DISABLENOSCROLL, 0, 0, 200, 0); }, 0,
         "0..99/100@0 shown"},
        {"and a page that fits enables it",
         [&] {
             info(SIF_PAGE | SIF_DISABLENOSCROLL, 0, 0, 10, 0);
             return EnableScrollBar(window, SB_VERT, ESB_ENABLE_BOTH);
         },
         0, "0..99/10@0 shown"},
        {"empty range hides", [&] { return SetScrollRange(window, SB_VERT, 0, 0, TRUE); }, 1,
         "0..0/10@0 hidden"},
        {"a range shows it again", [&] { return SetScrollRange(window, SB_VERT, 0, 50, TRUE); }, 1,
         "0..50/10@0 shown"},
        {"position unclamped", [&] { return SetScrollPos(window, SB_VERT, 70, TRUE); }, 0,
         "0..50/10@70 shown"},
        {"SB_CTL refused", [&] { return GetScrollPos(window, SB_CTL); }, 0, "0..50/10@70 shown"},
        {"arrows disabled one by one",
         [&] {
             return EnableScrollBar(window, SB_VERT, ESB_DISABLE_UP) +
                    EnableScrollBar(window, SB_VERT, ESB_DISABLE_DOWN) +
                    EnableScrollBar(window, SB_VERT, ESB_DISABLE_DOWN);
         },
         2, "0..50/10@70 shown"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.call(), row.result) << row.what;
        EXPECT_EQ(state(), row.state) << row.what;
    }
    // Both arrows disabled: the bar shows its disabled cells.
    EXPECT_EQ(WindowPixel(window, 208, 8), CellColor(5, 3));
    SCROLLINFO shortInfo = {sizeof(SCROLLINFO) - 4, SIF_ALL, 0, 0, 0, 0, 0};
    EXPECT_FALSE(GetScrollInfo(window, SB_VERT, &shortInfo));
    EXPECT_TRUE(ShowScrollBar(window, SB_CTL, FALSE));
    EXPECT_FALSE(IsWindowVisible(window));

    // Meanwhile a window without the skin keeps the system's bar for the same calls.
    HWND plain = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 100,
                                 100, m_top, nullptr, nullptr, nullptr);
    EXPECT_TRUE(SetScrollRange(plain, SB_VERT, 0, 300, TRUE));
    EXPECT_EQ(SetScrollPos(plain, SB_VERT, 250, TRUE), 0);
    SCROLLINFO system = {sizeof(system), SIF_ALL, 0, 0, 0, 0, 0};
    EXPECT_TRUE(GetScrollInfo(plain, SB_VERT, &system));
    EXPECT_EQ(std::to_string(system.nMax) + "@" + std::to_string(system.nPos), "300@250");
    EXPECT_EQ(state(), "0..50/10@70 shown");
}

// The skin's bars of a window that sets them through USER32 (a list view of
// the common controls): what the list calls reaches the record; before and
// after, the system's bars hold the values. (The hook tests show every other
// window reaching the system.)
TEST_F(WindowScrollBarTest, ListViewsCallsReachTheRecordAndTheSystemHoldsTheValuesBeforeAndAfter) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER, 10, 10,
                                216, 216, m_top, nullptr, nullptr, nullptr);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 150;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    const auto rows = [&](int count) {
        SCROLLINFO read = {sizeof(read), SIF_RANGE, 0, 0, 0, 0, 0};
        for (int row = 0; row < count; ++row) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT;
            item.pszText = const_cast<char*>("row");
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
        GetScrollInfo(list, SB_VERT, &read);
        return read.nMax;
    };
    EXPECT_EQ(rows(20), 19);
    // Until list views have a skin of their own, their bars are put in directly.
    Velmora::CManager* manager = Velmora::CManager::Instance();
    ASSERT_TRUE(Velmora::SkinnedScrollBars::Install(
        list, *manager,
        *manager->FindDescription(Velmora::DescriptionType::CommonCtrl, "scroller")));
    EXPECT_EQ(rows(0), 19);
    EXPECT_EQ(rows(80), 99);
    EXPECT_EQ(WindowPixel(list, 208, 8), CellColor(5, 0));

    SetScrollPos(list, SB_VERT, 40, FALSE);
    Velmora::SkinnedScrollBars::Release(list);
    PumpMessages();
    EXPECT_EQ(GetScrollPos(list, SB_VERT), 40);
    EXPECT_EQ(GetPropA(list, "Velmora_Prop_ScrollBar"), nullptr);
    EXPECT_NE(WindowPixel(list, 208, 8), CellColor(5, 0));
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
