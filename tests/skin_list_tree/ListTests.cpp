// Skinned report list views of the common controls and their headers: row
// looks by state read back from the screen, the header's height, looks and
// sort arrow, cells by style with event items and progress items, the rows'
// records through the library's functions, and those records going with
// their rows.
#include "ListCtrl.h"
#include "ListTreeSkin.h"
#include "Manager.h"
#include "Velmora.h"

#include <commctrl.h>

#include <cstring>
#include <functional>

namespace {

constexpr int kList = VELMORA_KIND_LISTCTRL;

RECT RowRect(HWND list, int row) {
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
    return bounds;
}

int Middle(const RECT& rect) {
    return (rect.top + rect.bottom) / 2;
}

int CountPixels(HWND window, const RECT& area, COLORREF color) {
    UpdateWindow(window);
    HDC dc = GetDC(window);
    int found = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x)
            found += GetPixel(dc, x, y) == color ? 1 : 0;
    }
    ReleaseDC(window, dc);
    return found;
}

size_t Records(HWND list) {
    auto* skin = dynamic_cast<Velmora::CListCtrl*>(
        Velmora::CManager::Instance()->FindSkinObject(list, kList));
    return skin ? skin->RowRecordCount() : 0;
}

void Mouse(HWND window, UINT message, int x, int y) {
    SendMessageA(window, message, message == WM_MOUSEMOVE ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
}

// The list view follows a press with a loop of its own that ends at the
// release: the release is queued first. The button counts as held as long
// as the thread's key state says so.
void Press(HWND list, UINT down, UINT up, int x, int y, bool held = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_LBUTTON] = held ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageA(list, up, 0, MAKELPARAM(x, y));
    Mouse(list, down, x, y);
    keys[VK_LBUTTON] = 0;
    SetKeyboardState(keys);
}

TEST_F(ListTreeTest, RowsShowTheirLookByIndexSelectionAndHover) {
    HWND list = MakeList("list", 4, 3);
    HWND plain = MakeList("plain", 2, 1);
    MoveWindow(plain, 10, 220, 300, 100, TRUE);
    const int x = 230;
    const struct {
        const char* what;
        std::function<void()> action;
        COLORREF rows[4];
    } steps[] = {
        {"first row odd", [] {}, {kOdd, kEven, kOdd, kEven}},
        {"selected",
         [&] { ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED); },
         {kOdd, kChecked, kOdd, kEven}},
        {"hovered",
         [&] { Mouse(list, WM_MOUSEMOVE, x, Middle(RowRect(list, 2))); },
         {kOdd, kChecked, kOver, kEven}},
        {"selected and hovered",
         [&] { Mouse(list, WM_MOUSEMOVE, x, Middle(RowRect(list, 1))); },
         {kOdd, kChecked, kOdd, kEven}},
        {"left", [&] { SendMessageA(list, WM_MOUSELEAVE, 0, 0); }, {kOdd, kChecked, kOdd, kEven}},
    };
    for (const auto& step : steps) {
        step.action();
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(ClientPixel(list, x, Middle(RowRect(list, row))), step.rows[row])
                << step.what << ", row " << row;
    }
    const RECT last = RowRect(list, 3);
    EXPECT_EQ(ClientPixel(list, x, last.bottom - 1), kSeparator);
    EXPECT_EQ(ClientPixel(list, x, last.bottom + 5), kListBack);
    EXPECT_EQ(ClientPixel(list, 290, Middle(last)), kListBack);
    EXPECT_EQ(ClientPixel(plain, 50, Middle(RowRect(plain, 1))), kNormal);
}

TEST_F(ListTreeTest, HeaderTakesItsHeightLooksAndSortArrowFromTheSkin) {
    HWND list = MakeList("list", 2, 3);
    HWND plain = MakeList("plain", 2, 1);
    HWND header = ListView_GetHeader(list);
    const auto height = [](HWND window) {
        RECT rect = {};
        GetWindowRect(window, &rect);
        return rect.bottom - rect.top;
    };
    EXPECT_EQ(height(header), 24);
    EXPECT_EQ(RowRect(list, 0).top, 24);
    EXPECT_EQ(height(ListView_GetHeader(plain)), 30);
    EXPECT_EQ(ClientPixel(ListView_GetHeader(plain), 40, 15), kTallHeader);
    EXPECT_NE(GetPropA(list, "Velmora_Prop_ScrollBar"), nullptr);

    // Arrows end 3 pixels before their item's right edge (80 and 160).
    const auto click = [&](int x) {
        Mouse(header, WM_LBUTTONDOWN, x, 12);
        Mouse(header, WM_LBUTTONUP, x, 12);
    };
    const struct {
        const char* what;
        std::function<void()> action;
        COLORREF first, second;
    } steps[] = {
        {"no sort column", [] {}, kHeaderBack, kHeaderBack},
        {"first clicked", [&] { click(30); }, kArrowUp, kHeaderBack},
        {"first again", [&] { click(30); }, kArrowDown, kHeaderBack},
        {"second clicked", [&] { click(110); }, kHeaderBack, kArrowUp},
        {"second again", [&] { click(110); }, kHeaderBack, kArrowDown},
    };
    for (const auto& step : steps) {
        step.action();
        SendMessageA(header, WM_MOUSELEAVE, 0, 0);
        EXPECT_EQ(ClientPixel(header, 74, 12), step.first) << step.what;
        EXPECT_EQ(ClientPixel(header, 154, 12), step.second) << step.what;
    }
    Mouse(header, WM_MOUSEMOVE, 30, 12);
    EXPECT_EQ(ClientPixel(header, 50, 20), kHeaderOver);
    Mouse(header, WM_LBUTTONDOWN, 30, 12);
    EXPECT_EQ(ClientPixel(header, 50, 20), kHeaderDown);
    Mouse(header, WM_LBUTTONUP, 30, 12);
}

TEST_F(ListTreeTest, CellsShowTheirStylesTextsAndProgress) {
    HWND list = MakeList("list", 3, 3);
    const RECT row = RowRect(list, 0);
    const int y = Middle(row);
    const RECT text = {80, row.top, 118, row.bottom - 1};
    // Where the style's look and the progress item of the second cell show.
    const int look = 117;
    const int bar = 130;
    const struct {
        const char* what;
        std::function<int()> action;
        int result;
        COLORREF look, bar;
        bool showsText;
    } steps[] = {
        {"the list's own text", [] { return 1; }, 1, kOdd, kOdd, true},
        // A cell made by the other functions has the style "default".
        {"a text of the program",
         [&] { return SetDrawItemValueEx(list, kList, 0, 1, "cell", "program text"); }, 1, kOdd,
         kProgressBack, true},
        {"text hidden", [&] { return SetDrawItemVisibleEx(list, kList, 0, 1, "cell", 0); }, 1, kOdd,
         kProgressBack, false},
        {"progress at 50", [&] { return SetProgressItemPos(list, kList, 0, 1, 50); }, 1, kOdd,
         kProgressStep, false},
        {"styled red", [&] { return SetItemStyle(list, kList, 0, 1, "red"); }, 1, kRedStyle,
         kRedStyle, false},
        {"no such row", [&] { return SetItemStyle(list, kList, 7, 1, "button"); }, 0, kRedStyle,
         kRedStyle, false},
        {"unknown style", [&] { return SetItemStyle(list, kList, 0, 1, "none"); }, 1, kOdd, kOdd,
         false},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(step.action(), step.result) << step.what;
        EXPECT_EQ(ClientPixel(list, look, y), step.look) << step.what;
        EXPECT_EQ(ClientPixel(list, bar, y), step.bar) << step.what;
        EXPECT_EQ(CountPixels(list, text, kCellText) > 0, step.showsText) << step.what;
    }
    // A cell without a style shows the default style's progress at its position.
    EXPECT_EQ(SetProgressItemPos(list, kList, 1, 2, 25), 1);
    EXPECT_EQ(ClientPixel(list, 205, Middle(RowRect(list, 1))), kProgressStep);
    EXPECT_EQ(ClientPixel(list, 215, Middle(RowRect(list, 1))), kProgressBack);
    EXPECT_GT(CountPixels(list, {0, row.top, 38, row.bottom}, kCellText), 0);

    char buffer[13] = "untouched";
    SetDrawItemValueEx(list, kList, 2, 0, "cell", "twelve chars");
    EXPECT_EQ(GetDrawItemValueEx(list, kList, 2, 0, "cell", buffer, 12), 0);
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(GetDrawItemValueEx(list, kList, 2, 0, "cell", buffer, 13), 1);
    EXPECT_STREQ(buffer, "twelve chars");
    EXPECT_EQ(GetDrawItemValueEx(list, kList, 2, 1, "cell", buffer, 13), 0);
}

TEST_F(ListTreeTest, EventItemsFollowTheMouseAndPostTheirPresses) {
    HWND list = MakeList("list", 3, 3);
    ASSERT_EQ(SetItemStyle(list, kList, 1, 2, "button"), 1);
    const int y = Middle(RowRect(list, 1));
    const int go = 165;
    const int menu = 195;
    const struct {
        const char* what;
        std::function<void()> action;
        COLORREF look;
        const char* posted;
    } steps[] = {
        {"normal", [] {}, kGoNormal, nullptr},
        {"hovered", [&] { Mouse(list, WM_MOUSEMOVE, go, y); }, kGoOver, nullptr},
        {"held down", [&] { Press(list, WM_LBUTTONDOWN, WM_LBUTTONUP, go, y, true); }, kGoDown,
         "go"},
        {"released", [&] { Mouse(list, WM_LBUTTONUP, go, y); }, kGoOver, nullptr},
        {"clicked", [&] { Press(list, WM_LBUTTONDOWN, WM_LBUTTONUP, go, y); }, kGoOver, "go"},
        {"left on the right-press item",
         [&] {
             Mouse(list, WM_MOUSEMOVE, menu, y);
             Press(list, WM_LBUTTONDOWN, WM_LBUTTONUP, menu, y);
         },
         kGoNormal, nullptr},
        {"right on it", [&] { Press(list, WM_RBUTTONDOWN, WM_RBUTTONUP, menu, y); }, kGoNormal,
         "menu"},
        {"into another row", [&] { Mouse(list, WM_MOUSEMOVE, go, Middle(RowRect(list, 0))); },
         kGoNormal, nullptr},
    };
    for (const auto& step : steps) {
        step.action();
        EXPECT_EQ(ClientPixel(list, go, y), step.look) << step.what;
        EXPECT_EQ(ClientPixel(list, menu, y), kMenuItem) << step.what;
        const std::vector<Posted> posted = TakePosted();
        ASSERT_EQ(posted.size(), step.posted ? 1u : 0u) << step.what;
        if (step.posted) {
            EXPECT_EQ(posted[0].to, m_top);
            EXPECT_EQ(posted[0].wParam, MAKEWPARAM(1, 2));
            EXPECT_STREQ(reinterpret_cast<const char*>(posted[0].lParam), step.posted);
        }
    }
    Mouse(list, WM_MOUSEMOVE, go, y);
    SendMessageA(list, WM_SETCURSOR, reinterpret_cast<WPARAM>(list), MAKELPARAM(HTCLIENT, 0));
    EXPECT_EQ(GetCursor(), Velmora::CManager::Instance()->FindCursor("hand")->GetCursor());
}

TEST_F(ListTreeTest, RowRecordsHoldDataAndGoWithTheirRows) {
    HWND list = MakeList("list", 6, 2);
    EXPECT_EQ(GetItemData(list, kList, 0), 0u);
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(SetItemData(list, kList, row, 100 + row), 1);
    EXPECT_EQ(SetItemStyle(list, kList, 2, 1, "red"), 1);
    EXPECT_EQ(GetItemData(list, kList, 2), 102u);
    EXPECT_EQ(SetItemData(list, kList, 9, 5), 1);
    EXPECT_EQ(GetItemData(list, kList, 9), 0u);
    EXPECT_EQ(Records(list), 6u);

    ListView_DeleteItem(list, 1);
    EXPECT_EQ(Records(list), 5u);
    EXPECT_EQ(GetItemData(list, kList, 0), 100u);
    EXPECT_EQ(GetItemData(list, kList, 1), 102u);
    EXPECT_EQ(ClientPixel(list, 100, Middle(RowRect(list, 1))), kRedStyle);
    EXPECT_FALSE(ListView_DeleteItem(list, 40));
    EXPECT_EQ(Records(list), 5u);
    ListView_DeleteAllItems(list);
    EXPECT_EQ(Records(list), 0u);

    // A list that fills and empties itself for hours keeps only its rows' records.
    for (int round = 0; round < 40; ++round) {
        for (int row = 0; row < 25; ++row) {
            LVITEMA item = {};
            item.iItem = row;
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            SetItemStyle(list, kList, row, row % 2, "red");
        }
        if (round % 2)
            ListView_DeleteAllItems(list);
        else
            while (ListView_DeleteItem(list, 0)) {
            }
    }
    EXPECT_EQ(Records(list), 0u);

    // A row whose lParam the program set is not taken for a record.
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.lParam = reinterpret_cast<LPARAM>(list);
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(GetItemData(list, kList, 0), 0u);
    EXPECT_EQ(SetItemData(list, kList, 0, 7), 1);
    EXPECT_EQ(GetItemData(list, kList, 0), 7u);
}

TEST_F(ListTreeTest, BorderIsTheSkinsAndTheCopyLeavesTheHeaderAlone) {
    HWND list = MakeList("list", 2, 3);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    HDC dc = GetWindowDC(list);
    EXPECT_EQ(GetPixel(dc, 0, 0), kBorder);
    EXPECT_EQ(GetPixel(dc, 150, 0), kBorder);
    ReleaseDC(list, dc);
    InvalidateRect(list, nullptr, TRUE);
    EXPECT_EQ(ClientPixel(list, 200, 12), kHeaderBack);
}

} // namespace
