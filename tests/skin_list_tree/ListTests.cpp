// Skinned report list views of the common controls and their headers: row
// looks by state, the border, the header's height, looks and sort arrow,
// cells by style with their texts, event items and progress items, read back
// from the screen; the rows' records through the library's functions, and
// those records going with their rows.
#include "ListCtrl.h"
#include "ListTreeSkin.h"
#include "Manager.h"
#include "Velmora.h"

#include <commctrl.h>

#include <functional>

namespace {

constexpr int kList = VELMORA_KIND_LISTCTRL;

RECT RowRect(HWND list, int row) {
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
    return bounds;
}

int Middle(HWND list, int row) {
    const RECT bounds = RowRect(list, row);
    return (bounds.top + bounds.bottom) / 2;
}

size_t Records(HWND list) {
    auto* skin = dynamic_cast<Velmora::CListCtrl*>(
        Velmora::CManager::Instance()->FindSkinObject(list, kList));
    return skin ? skin->RowRecordCount() : 0;
}

// The list view follows a press with a loop of its own that ends at the
// release, so the release is queued first; the left button counts as held
// while the thread's key state says so.
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
    HWND list = MakeList("listctrl", 4, 3);
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
         [&] { Mouse(list, WM_MOUSEMOVE, 230, Middle(list, 2)); },
         {kOdd, kChecked, kOver, kEven}},
        {"selected and hovered",
         [&] { Mouse(list, WM_MOUSEMOVE, 230, Middle(list, 1)); },
         {kOdd, kChecked, kOdd, kEven}},
    };
    for (const auto& step : steps) {
        step.action();
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(ClientPixel(list, 230, Middle(list, row), false), step.rows[row])
                << step.what << ", row " << row;
    }
    const RECT last = RowRect(list, 3);
    EXPECT_EQ(last.bottom - last.top, kRowHeight);
    EXPECT_EQ(ClientPixel(list, 230, last.bottom - 1, false), kSeparator);
    EXPECT_EQ(ClientPixel(list, 230, last.bottom + 5, false), kListBack);
    // The frame is the skin's; the copy of the rows leaves the header alone.
    EXPECT_EQ(RepaintedPixel(list, 150, 0), kBorder);
    EXPECT_EQ(ClientPixel(list, 270, 12, false), kHeaderBack);
}

TEST_F(ListTreeTest, HeaderTakesItsHeightLooksAndSortArrowFromTheSkin) {
    // Skinned with its parent, the list skins its header as its description says.
    HWND list = MakeList(nullptr, 2, 3);
    Velmora::CManager::Instance()->SkinWindow(m_top, 1, nullptr, true);
    HWND plain = MakeList("plain", 2, 1);
    MoveWindow(plain, 10, 220, 300, 100, TRUE);
    HWND header = ListView_GetHeader(list);
    RECT rect = {};
    GetClientRect(header, &rect);
    EXPECT_EQ(rect.bottom, 24);
    EXPECT_EQ(RowRect(list, 0).top, 24);
    GetClientRect(ListView_GetHeader(plain), &rect);
    EXPECT_EQ(rect.bottom, 30);
    EXPECT_EQ(ClientPixel(ListView_GetHeader(plain), 40, 15, false), kTallHeader);
    EXPECT_EQ(ClientPixel(plain, 50, Middle(plain, 1), false), kNormal);
    EXPECT_NE(GetPropA(list, "Velmora_Prop_ScrollBar"), nullptr);

    // Arrows end 3 pixels before their item's right edge (80 and 160).
    const struct {
        int click;
        COLORREF first, second;
    } clicks[] = {{-1, kHeaderBack, kHeaderBack},
                  {30, kArrowUp, kHeaderBack},
                  {30, kArrowDown, kHeaderBack},
                  {110, kHeaderBack, kArrowUp},
                  {110, kHeaderBack, kArrowDown}};
    for (const auto& click : clicks) {
        if (click.click >= 0) {
            Mouse(header, WM_LBUTTONDOWN, click.click, 12);
            Mouse(header, WM_LBUTTONUP, click.click, 12);
        }
        SendMessageA(header, WM_MOUSELEAVE, 0, 0);
        EXPECT_EQ(ClientPixel(header, 74, 12, false), click.first) << click.click;
        EXPECT_EQ(ClientPixel(header, 154, 12, false), click.second) << click.click;
    }
    Mouse(header, WM_MOUSEMOVE, 30, 12);
    EXPECT_EQ(ClientPixel(header, 50, 20, false), kHeaderOver);
    Mouse(header, WM_LBUTTONDOWN, 30, 12);
    EXPECT_EQ(ClientPixel(header, 50, 20, false), kHeaderDown);
    Mouse(header, WM_LBUTTONUP, 30, 12);
}

TEST_F(ListTreeTest, CellsShowTheirStylesTextsAndProgress) {
    HWND list = MakeList("listctrl", 3, 3);
    const RECT row = RowRect(list, 0);
    const int y = Middle(list, 0);
    // The second cell's text, its style's look and its progress item.
    const RECT text = {80, row.top, 118, row.bottom - 1};
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
        EXPECT_EQ(ClientPixel(list, 117, y, false), step.look) << step.what;
        EXPECT_EQ(ClientPixel(list, 130, y, false), step.bar) << step.what;
        EXPECT_EQ(CountClientPixels(list, text, kCellText) > 0, step.showsText) << step.what;
    }
    // A cell without a style shows the default style's progress at its position.
    EXPECT_EQ(SetProgressItemPos(list, kList, 1, 2, 25), 1);
    EXPECT_EQ(ClientPixel(list, 207, Middle(list, 1), false), kProgressStep);
    EXPECT_EQ(ClientPixel(list, 212, Middle(list, 1), false), kProgressBack);
    EXPECT_GT(CountClientPixels(list, {0, row.top, 38, row.bottom}, kCellText), 0);

    char buffer[13] = "untouched";
    SetDrawItemValueEx(list, kList, 2, 0, "cell", "twelve chars");
    EXPECT_EQ(GetDrawItemValueEx(list, kList, 2, 0, "cell", buffer, 12), 0);
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(GetDrawItemValueEx(list, kList, 2, 0, "cell", buffer, 13), 1);
    EXPECT_STREQ(buffer, "twelve chars");
}

TEST_F(ListTreeTest, EventItemsFollowTheMouseAndPostTheirPresses) {
    HWND list = MakeList("listctrl", 3, 3);
    ASSERT_EQ(SetItemStyle(list, kList, 1, 2, "button"), 1);
    const int y = Middle(list, 1);
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
        {"right on the right-press item",
         [&] { Press(list, WM_RBUTTONDOWN, WM_RBUTTONUP, menu, y); }, kGoOver, "menu"},
    };
    for (const auto& step : steps) {
        step.action();
        EXPECT_EQ(ClientPixel(list, go, y, false), step.look) << step.what;
        EXPECT_EQ(ClientPixel(list, menu, y, false), kMenuItem) << step.what;
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
    HWND list = MakeList("listctrl", 6, 2);
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
    EXPECT_EQ(ClientPixel(list, 100, Middle(list, 1), false), kRedStyle);
    EXPECT_FALSE(ListView_DeleteItem(list, 40));
    EXPECT_EQ(Records(list), 5u);
    // A list that fills and empties itself for hours keeps only its rows' records.
    for (int round = 0; round < 20; ++round) {
        for (int row = 0; row < 20; ++row) {
            LVITEMA item = {};
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            SetItemStyle(list, kList, 0, row % 2, "red");
        }
        while (round % 2 && ListView_DeleteItem(list, 0)) {
        }
        ListView_DeleteAllItems(list);
        EXPECT_EQ(Records(list), 0u);
    }
    // A row whose lParam the program set is not taken for a record.
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.lParam = reinterpret_cast<LPARAM>(list);
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(GetItemData(list, kList, 0), 0u);
    EXPECT_EQ(SetItemData(list, kList, 0, 7), 1);
    EXPECT_EQ(GetItemData(list, kList, 0), 7u);
}

} // namespace
