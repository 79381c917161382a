// The menu bar on a skinned window: its buttons, its dropdowns opened by the
// mouse, the arrow keys and access keys (driven from a timer inside the modal
// menu loops, which also reads the menu windows), and what its parent hears.
#include "Manager.h"
#include "MenuBar.h"
#include "TabsMenus.h"
#include "Velmora.h"

#include <commctrl.h>

#include <string>

namespace {

using Menus = std::vector<HWND>;

// File, Edit (whose Deeper opens a submenu) and Help.
HMENU MakeBarMenu() {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 101, "&Open");
    HMENU deeper = CreatePopupMenu();
    AppendMenuA(deeper, MF_STRING, 121, "Inner");
    HMENU edit = CreatePopupMenu();
    AppendMenuA(edit, MF_POPUP, reinterpret_cast<UINT_PTR>(deeper), "&Deeper");
    HMENU help = CreatePopupMenu();
    AppendMenuA(help, MF_STRING, 131, "&About");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
    return bar;
}

class MenuBarTest : public TabsMenusTest {
  protected:
    void SetUp() override {
        TabsMenusTest::SetUp();
        SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &m_cues, 0);
        // Access-key underlines show only when the keyboard asks for them.
        SystemParametersInfoA(SPI_SETKEYBOARDCUES, 0, nullptr, 0);
        m_menu = MakeBarMenu();
        m_bar = AddMenuBar(m_top, m_menu, nullptr, nullptr);
        ASSERT_NE(m_bar, nullptr);
        UpdateWindow(m_top);
        PumpMessages();
    }
    void TearDown() override {
        TabsMenusTest::TearDown();
        DestroyMenu(m_menu);
        SystemParametersInfoA(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(m_cues), 0);
    }
    RECT Button(int index) const {
        RECT rect = {};
        SendMessageA(m_bar, TB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    // Which button the open dropdown hangs from; -1 for none or another place.
    int DropDownButton(const Menus& menus) const {
        RECT menu = {};
        if (menus.size() != 1 || !GetWindowRect(menus[0], &menu))
            return -1;
        for (int index = 0; index < 3; ++index) {
            RECT button = Button(index);
            MapWindowPoints(m_bar, nullptr, reinterpret_cast<POINT*>(&button), 2);
            if (menu.left == button.left && menu.top == button.bottom)
                return index;
        }
        return -1;
    }
    int BlackIn(int index) const {
        const RECT button = Button(index);
        HDC dc = GetDC(m_bar);
        int black = 0;
        for (int y = button.top; y < button.bottom; ++y)
            for (int x = button.left; x < button.right; ++x)
                black += GetPixel(dc, x, y) == RGB(0, 0, 0);
        ReleaseDC(m_bar, dc);
        return black;
    }
    void RunUntil(const CMenuScript& script, size_t steps) {
        for (int wait = 0; script.StepsRun() < steps && wait < 100; ++wait) {
            PumpMessages();
            Sleep(20);
        }
        PumpMessages();
    }

    BOOL m_cues = FALSE;
    HMENU m_menu = nullptr;
    HWND m_bar = nullptr;
};

TEST_F(MenuBarTest, ButtonPerTopLevelItemPaintedFromTheDescription) {
    EXPECT_EQ(GetDlgCtrlID(m_bar), Velmora::CMenuBar::kControlId);
    ASSERT_EQ(SendMessageA(m_bar, TB_BUTTONCOUNT, 0, 0), 3);
    for (int index = 0; index < 3; ++index) {
        TBBUTTON button = {};
        SendMessageA(m_bar, TB_GETBUTTON, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(button.idCommand, index);
    }
    // On a window that is not a skinned dialog: at 0, 0, as big as its buttons.
    RECT bar = {};
    GetWindowRect(m_bar, &bar);
    MapWindowPoints(nullptr, m_top, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(bar.left, 0);
    EXPECT_EQ(bar.top, 0);
    EXPECT_EQ(bar.right, Button(2).right);
    EXPECT_EQ(PixelOf(m_bar, Button(1).left + 2, 2), kBarNormal);
    EXPECT_GT(BlackIn(1), 0);
    EXPECT_EQ(AddMenuBar(nullptr, m_menu, nullptr, nullptr), nullptr);
    EXPECT_EQ(AddMenuBar(m_top, nullptr, nullptr, nullptr), nullptr);
    // An item of the bar without a dropdown is a command of its own.
    HMENU plain = CreateMenu();
    AppendMenuA(plain, MF_STRING, 999, "&Quit");
    HWND second = AddMenuBar(m_top, plain, nullptr, nullptr);
    SendMessageA(second, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(TakeLog(m_top), "CMD:999");
    DestroyWindow(second);
    DestroyMenu(plain);
}

TEST_F(MenuBarTest, MouseArrowsAndAccessKeysMoveBetweenDropDowns) {
    const int hiddenUnderline = BlackIn(2);
    int pressedColour = 0;
    const auto point = [&](int index) {
        POINT center = {(Button(index).left + Button(index).right) / 2, 5};
        ClientToScreen(m_bar, &center);
        return center;
    };
    CMenuScript script({
        [&](const Menus& menus) {
            EXPECT_EQ(DropDownButton(menus), 0);
            pressedColour = WindowPixel(m_bar, Button(0).left + 2, 2) == kBarDown;
            // The mouse across the bar to the next button.
            const POINT next = point(1);
            SetCursorPos(next.x, next.y);
            PostMessageA(menus[0], WM_MOUSEMOVE, 0, 0);
        },
        [&](const Menus& menus) {
            EXPECT_EQ(DropDownButton(menus), 1);
            PostKey(menus[0], VK_LEFT);
        },
        [&](const Menus& menus) {
            EXPECT_EQ(DropDownButton(menus), 0);
            PostKey(menus[0], VK_LEFT);
        },
        [&](const Menus& menus) {
            EXPECT_EQ(DropDownButton(menus), 2) << "Left on the first wraps to the last";
            PostKey(menus[0], VK_RIGHT);
        },
        [&](const Menus& menus) {
            EXPECT_EQ(DropDownButton(menus), 0) << "Right on the last wraps to the first";
            PostKey(menus[0], VK_RIGHT);
        },
        [&](const Menus& menus) {
            // Right on an item that opens a submenu opens it.
            EXPECT_EQ(DropDownButton(menus), 1);
            PostKey(menus[0], VK_DOWN);
            PostKey(menus[0], VK_RIGHT);
        },
        [&](const Menus& menus) {
            EXPECT_EQ(menus.size(), 2u);
            PostKey(menus.back(), VK_ESCAPE);
        },
        [&](const Menus& menus) {
            // Esc on the dropdown itself leaves the keyboard on the bar.
            EXPECT_EQ(DropDownButton(menus), 1);
            PostKey(menus[0], VK_ESCAPE);
        },
        [&](const Menus& menus) { EXPECT_TRUE(menus.empty()); },
    });
    const POINT first = point(0);
    SetCursorPos(first.x, first.y);
    SendMessageA(m_bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first.x, 5));
    RunUntil(script, 9);
    EXPECT_EQ(script.StepsRun(), 9u);
    EXPECT_TRUE(pressedColour);
    EXPECT_EQ(GetFocus(), m_bar);
    EXPECT_EQ(SendMessageA(m_bar, TB_GETHOTITEM, 0, 0), 1);
    const std::string heard = TakeLog(m_top);
    for (const char* notice : {"SEL:0,8090", "SEL:1,8090", "SEL:2,8090", "SEL:1,FFFF"})
        EXPECT_NE(heard.find(notice), std::string::npos) << notice << " in " << heard;

    // Alt and H: Help opens on its first item, underlined, and its command
    // reaches the parent.
    int shownUnderline = 0;
    bool firstItem = false;
    CMenuScript keys({
        [&](const Menus& menus) {
            EXPECT_EQ(DropDownButton(menus), 2);
            shownUnderline = BlackIn(2);
            firstItem = GetMenuState(GetSubMenu(m_menu, 2), 0, MF_BYPOSITION) & MF_HILITE;
            PostKey(menus[0], VK_RETURN);
        },
    });
    PostMessageA(m_bar, WM_SYSKEYDOWN, 'H', 0x20000001);
    RunUntil(keys, 1);
    EXPECT_GT(shownUnderline, hiddenUnderline);
    EXPECT_TRUE(firstItem);
    EXPECT_NE(TakeLog(m_top).find("CMD:131"), std::string::npos);
}

// In a skinned dialog the bar sits below the caption band, as wide as its
// buttons and the sizing border, on the dialog's look; its dropdowns are
// skinned through the dialog, and their commands reach it.
TEST_F(MenuBarTest, InASkinnedDialog) {
    HWND dialog = OpenDialog();
    HWND bar = AddMenuBar(dialog, m_menu, nullptr, nullptr);
    RECT last = {};
    SendMessageA(bar, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&last));
    RECT place = {};
    GetWindowRect(bar, &place);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, 5);
    EXPECT_EQ(place.top, 24);
    EXPECT_EQ(place.right, last.right + 6);
    EXPECT_EQ(place.bottom - place.top, last.bottom);
    EXPECT_EQ(PixelOf(bar, last.right, 2), kPanel);
    bool skinned = false;
    CMenuScript script({[&](const Menus& menus) {
        skinned = menus.size() == 1 && WindowPixel(menus[0], 1, 1) == kMenuBack;
        PostKey(menus[0], VK_RETURN);
    }});
    SetFocus(bar);
    PostMessageA(bar, WM_SYSKEYDOWN, 'F', 0x20000001);
    RunUntil(script, 1);
    EXPECT_TRUE(skinned);
    EXPECT_NE(TakeLog(dialog).find("CMD:101"), std::string::npos);
    DestroyWindow(dialog);
}

} // namespace
