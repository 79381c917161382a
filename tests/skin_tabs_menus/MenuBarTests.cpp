// The menu bar on a skinned window: its buttons, its dropdowns opened by the
// mouse and keys (driven and read from a timer inside the modal loops), and
// what its parent hears.
#include "Manager.h"
#include "MenuBar.h"
#include "TabsMenus.h"
#include "Velmora.h"

#include <commctrl.h>

namespace {

// Whether the window covers expected in another's client coordinates.
bool IsPlacedAt(HWND window, HWND relativeTo, const RECT& expected) {
    RECT place = {};
    GetWindowRect(window, &place);
    MapWindowPoints(nullptr, relativeTo, reinterpret_cast<POINT*>(&place), 2);
    return EqualRect(&place, &expected) != FALSE;
}

class MenuBarTest : public TabsMenusTest {
  protected:
    void SetUp() override {
        TabsMenusTest::SetUp();
        SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &m_cues, 0);
        // Access-key underlines show only when the keyboard asks for them.
        SystemParametersInfoA(SPI_SETKEYBOARDCUES, 0, nullptr, 0);
        m_menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kBarMenu));
        m_bar = AddMenuBar(m_top, m_menu, nullptr, nullptr);
        ASSERT_NE(m_bar, nullptr);
        PumpMessages();
    }
    void TearDown() override {
        TabsMenusTest::TearDown();
        DestroyMenu(m_menu);
        SystemParametersInfoA(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(m_cues), 0);
    }
    RECT Button(int index, HWND bar = nullptr) const {
        RECT rect = {};
        SendMessageA(bar ? bar : m_bar, TB_GETITEMRECT, static_cast<WPARAM>(index),
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
    int BlackIn(int index) const { return CountPixels(m_bar, Button(index), RGB(0, 0, 0)); }

    BOOL m_cues = FALSE;
    HMENU m_menu = nullptr;
    HWND m_bar = nullptr;
};

TEST_F(MenuBarTest, ButtonPerTopLevelItemPaintedFromTheDescription) {
    EXPECT_EQ(GetDlgCtrlID(m_bar), Velmora::CMenuBar::kControlId);
    ASSERT_EQ(SendMessageA(m_bar, TB_BUTTONCOUNT, 0, 0), 3);
    for (int index = 0; index < 3; ++index)
        EXPECT_EQ(SendMessageA(m_bar, TB_COMMANDTOINDEX, static_cast<WPARAM>(index), 0), index);
    // On a window that is not a skinned dialog: at 0, 0, as big as its buttons.
    EXPECT_TRUE(IsPlacedAt(m_bar, m_top, {0, 0, Button(2).right, Button(2).bottom}));
    EXPECT_EQ(RepaintedPixel(m_bar, Button(1).left + 2, 2), kBarNormal);
    EXPECT_EQ(AddMenuBar(nullptr, m_menu, nullptr, nullptr), nullptr);
    EXPECT_EQ(AddMenuBar(m_top, nullptr, nullptr, nullptr), nullptr);
    // An item of the bar without a dropdown is a command of its own.
    HMENU plain = CreateMenu();
    AppendMenuA(plain, MF_STRING, 999, "&Quit");
    SendMessageA(AddMenuBar(m_top, plain, nullptr, nullptr), WM_LBUTTONDOWN, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(TakeLog(m_top), "CMD:999");
    DestroyMenu(plain);
}

TEST_F(MenuBarTest, MouseArrowsAndAccessKeysMoveBetweenDropDowns) {
    const int hiddenUnderline = BlackIn(2);
    const auto point = [&](int index) {
        POINT center = {(Button(index).left + Button(index).right) / 2, 5};
        ClientToScreen(m_bar, &center);
        return center;
    };
    // Each step: the dropdown open, its button pressed (-1: a submenu too, -2:
    // none); then keys on the newest menu, or the mouse to another button.
    const auto step = [&](int open, std::vector<UINT> keys, const char* what, int moveTo = -1) {
        return [=](const Menus& menus) {
            if (open == -1)
                EXPECT_EQ(menus.size(), 2u) << what;
            else if (open == -2)
                EXPECT_TRUE(menus.empty()) << what;
            else
                EXPECT_TRUE(DropDownButton(menus) == open &&
                            WindowPixel(m_bar, Button(open).left + 2, 2) == kBarDown)
                    << what;
            for (UINT key : keys)
                PostKeys(menus.back(), {key});
            if (moveTo >= 0) {
                SetCursorPos(point(moveTo).x, point(moveTo).y);
                PostMessageA(menus[0], WM_MOUSEMOVE, 0, 0);
            }
        };
    };
    CMenuScript script({
        step(0, {}, "a click opens", 1),
        step(1, {VK_LEFT}, "the mouse moved to the next button"),
        step(0, {VK_LEFT}, "Left"),
        step(2, {VK_RIGHT}, "Left on the first wraps to the last"),
        step(0, {VK_RIGHT}, "Right on the last wraps to the first"),
        step(1, {VK_DOWN, VK_RIGHT}, "Right"),
        step(-1, {VK_ESCAPE}, "Right on an item with a submenu opens it"),
        step(1, {VK_ESCAPE}, "Esc in the submenu closes only it"),
        step(-2, {}, "Esc on the dropdown closes it"),
    });
    SetCursorPos(point(0).x, point(0).y);
    SendMessageA(m_bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Button(0).left + 2, 5));
    script.RunUntilDone();
    EXPECT_EQ(script.StepsRun(), 9u);
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
            PostKeys(menus[0], {VK_RETURN});
        },
    });
    PostMessageA(m_bar, WM_SYSKEYDOWN, 'H', 0x20000001);
    keys.RunUntilDone();
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
    const RECT last = Button(2, bar);
    EXPECT_TRUE(IsPlacedAt(bar, dialog, {5, 24, last.right + 6, last.bottom + 24}));
    EXPECT_EQ(RepaintedPixel(bar, last.right, 2), kPanel);
    bool skinned = false;
    CMenuScript script({[&](const Menus& menus) {
        skinned = menus.size() == 1 && WindowPixel(menus[0], 1, 1) == kMenuBack;
        PostKeys(menus[0], {VK_RETURN});
    }});
    SetFocus(bar);
    PostMessageA(bar, WM_SYSKEYDOWN, 'F', 0x20000001);
    script.RunUntilDone();
    EXPECT_TRUE(skinned);
    EXPECT_NE(TakeLog(dialog).find("CMD:101"), std::string::npos);
    DestroyWindow(dialog);
}

} // namespace
