// Popup menus tracked through the exported TrackPopupMenu for a skinned
// owner: what the menu windows show while the menu is open (read from a timer
// inside the modal loop, which also presses the keys), what the owner hears,
// and what is left of the menu afterwards.
#include "GDIFont.h"
#include "Manager.h"
#include "Menu.h"
#include "TabsMenus.h"
#include "Velmora.h"

#include <string>
#include <thread>

namespace {

MENUITEMINFOA ItemInfo(UINT mask) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = mask;
    return info;
}

using Menus = std::vector<HWND>;

// An item's rectangle in its menu window's coordinates.
RECT ItemRect(HWND window, int position) {
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, 0x01E1, 0, 0));
    RECT item = {};
    RECT place = {};
    GetMenuItemRect(window, menu, static_cast<UINT>(position), &item);
    GetWindowRect(window, &place);
    OffsetRect(&item, -place.left, -place.top);
    return item;
}

int Count(HWND window, const RECT& area, COLORREF color) {
    int found = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            found += WindowPixel(window, x, y) == color;
    return found;
}

// Open (icon 101, accelerator), a separator, a checked item, an item the
// owner checks when the menu opens, and a submenu.
class PopupMenuTest : public TabsMenusTest {
  protected:
    void SetUp() override {
        TabsMenusTest::SetUp();
        m_sub = CreatePopupMenu();
        AppendMenuA(m_sub, MF_STRING, 201, "Sub item");
        m_menu = CreatePopupMenu();
        AppendMenuA(m_menu, MF_STRING, 101, "&Open\tCtrl+O");
        AppendMenuA(m_menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(m_menu, MF_STRING | MF_CHECKED, 102, "Checked");
        AppendMenuA(m_menu, MF_STRING, 103, "Checked on opening");
        AppendMenuA(m_menu, MF_POPUP, reinterpret_cast<UINT_PTR>(m_sub), "More");
        MENUITEMINFOA data = ItemInfo(MIIM_DATA);
        data.dwItemData = 0x1234;
        SetMenuItemInfoA(m_menu, 0, TRUE, &data);
    }
    void TearDown() override {
        DestroyMenu(m_menu);
        TabsMenusTest::TearDown();
    }
    int Track(UINT flags, const char* id) {
        return VelmoraTrackPopupMenu(m_menu, flags, 100, 100, m_top, id);
    }
    HMENU m_menu = nullptr;
    HMENU m_sub = nullptr;
};

TEST_F(PopupMenuTest, ItemsAreDrawnFromTheDescription) {
    g_checkOnOpen = 103;
    CMenuScript script({
        [&](const Menus& menus) {
            ASSERT_EQ(menus.size(), 1u);
            HWND menu = menus[0];
            const RECT open = ItemRect(menu, 0);
            EXPECT_EQ(WindowPixel(menu, open.left + 7, open.top + 9), kOpenIcon);
            EXPECT_GT(Count(menu, {open.left + 24, open.top, open.left + 50, open.bottom}, 0), 0);
            // The accelerator's last pixels are 20 before the item's right edge.
            int right = open.right;
            while (right > open.left && !Count(menu, {right - 1, open.top, right, open.bottom}, 0))
                --right;
            EXPECT_GE(open.right - right, 20);
            EXPECT_LE(open.right - right, 23);
            const RECT separator = ItemRect(menu, 1);
            EXPECT_EQ(WindowPixel(menu, separator.left + 10, separator.top + 3), kSeparator);
            for (int checked : {2, 3}) {
                const RECT item = ItemRect(menu, checked);
                EXPECT_EQ(WindowPixel(menu, item.left + 7, item.top + 9), kCheckIcon) << checked;
            }
            // The system's frame gives way to the background; the black frame
            // of the background is cut out of the window.
            EXPECT_EQ(WindowPixel(menu, 1, separator.top + 2), kMenuBack);
            HRGN shape = CreateRectRgn(0, 0, 0, 0);
            EXPECT_NE(GetWindowRgn(menu, shape), ERROR);
            EXPECT_FALSE(PtInRegion(shape, 0, open.top + 5));
            EXPECT_TRUE(PtInRegion(shape, 1, open.top + 5));
            DeleteObject(shape);
            PostKey(menu, VK_DOWN);
        },
        [&](const Menus& menus) {
            ASSERT_EQ(menus.size(), 1u);
            const RECT open = ItemRect(menus[0], 0);
            EXPECT_EQ(WindowPixel(menus[0], open.left + 60, open.top + 1), kMenuHighlight);
            EXPECT_GT(Count(menus[0], {open.left + 24, open.top, open.left + 50, open.bottom},
                            RGB(255, 255, 255)),
                      0);
            PostKey(menus[0], VK_RETURN);
        },
    });
    EXPECT_EQ(Track(0, "menu"), 1);
    EXPECT_EQ(script.StepsRun(), 2u);
    EXPECT_NE(TakeLog(m_top).find("CMD:101"), std::string::npos);
    // The items are the program's again, with their texts and data.
    char text[32] = {};
    MENUITEMINFOA item = ItemInfo(MIIM_FTYPE | MIIM_STRING | MIIM_DATA);
    item.dwTypeData = text;
    item.cch = sizeof text;
    ASSERT_TRUE(GetMenuItemInfoA(m_menu, 0, TRUE, &item));
    EXPECT_EQ(item.fType, static_cast<UINT>(MFT_STRING));
    EXPECT_STREQ(text, "&Open\tCtrl+O");
    EXPECT_EQ(item.dwItemData, 0x1234u);
}

// Skinned only through the exported function with a description the skin
// has; the clip colour gives the region.
TEST_F(PopupMenuTest, LooksByHowTheMenuIsTracked) {
    const struct {
        const char* what;
        std::function<void()> track;
        bool skinned;
        bool shaped;
    } rows[] = {
        {"the program's own call", [&] { TrackPopupMenu(m_menu, 0, 100, 100, 0, m_top, nullptr); },
         false, false},
        {"no such description", [&] { Track(0, "nothing"); }, false, false},
        {"no clip colour", [&] { Track(0, "square"); }, true, false},
        {"clip colour", [&] { Track(0, "menu"); }, true, true},
    };
    for (const auto& row : rows) {
        CMenuScript script({[&](const Menus& menus) {
            ASSERT_EQ(menus.size(), 1u);
            MENUITEMINFOA item = ItemInfo(MIIM_FTYPE);
            GetMenuItemInfoA(m_menu, 0, TRUE, &item);
            EXPECT_EQ((item.fType & MFT_OWNERDRAW) != 0, row.skinned) << row.what;
            EXPECT_EQ(WindowPixel(menus[0], 1, 30) == kMenuBack, row.skinned) << row.what;
            HRGN shape = CreateRectRgn(0, 0, 0, 0);
            EXPECT_EQ(GetWindowRgn(menus[0], shape) != ERROR, row.shaped) << row.what;
            DeleteObject(shape);
        }});
        row.track();
        EXPECT_EQ(script.StepsRun(), 1u) << row.what;
    }
}

TEST_F(PopupMenuTest, ReopenedMenuReusesItsBackground) {
    auto* back =
        Velmora::CMenu::Instance()->Descriptions().Find("menu")->drawItems.FindSurface("menu.back");
    const auto submenuBack = [](const Menus& menus) {
        return menus.size() == 2 ? WindowPixel(menus[1], 1, 1) : CLR_INVALID;
    };
    CMenuScript script({
        [&](const Menus& menus) {
            PostKey(menus[0], VK_UP);
            PostKey(menus[0], VK_RIGHT);
        },
        [&](const Menus& menus) {
            EXPECT_EQ(submenuBack(menus), kMenuBack);
            back->fillColor = RGB(255, 0, 0);
            PostKey(menus.back(), VK_LEFT);
        },
        [&](const Menus& menus) {
            EXPECT_EQ(menus.size(), 1u);
            PostKey(menus[0], VK_RIGHT);
        },
        [&](const Menus& menus) { EXPECT_EQ(submenuBack(menus), kMenuBack); },
    });
    Track(0, "menu");
    EXPECT_EQ(script.StepsRun(), 4u);
    // A new tracking renders anew.
    CMenuScript again(
        {[&](const Menus& menus) { EXPECT_EQ(WindowPixel(menus[0], 1, 1), RGB(255, 0, 0)); }});
    Track(0, "menu");
}

// A second tracking, from this thread while the first runs or from another
// thread, is refused; the first keeps its hook and skins its submenu.
TEST_F(PopupMenuTest, SecondTrackingIsRefusedAndTheFirstStaysSkinned) {
    HMENU other = CreatePopupMenu();
    AppendMenuA(other, MF_STRING, 301, "Other");
    CMenuScript script({
        [&](const Menus& menus) {
            EXPECT_EQ(VelmoraTrackPopupMenu(other, 0, 0, 0, m_top, "menu"), 0);
            int fromThread = -1;
            std::thread([&] {
                fromThread = VelmoraTrackPopupMenu(other, 0, 0, 0, m_top, "menu");
            }).join();
            EXPECT_EQ(fromThread, 0);
            PostKey(menus[0], VK_UP);
            PostKey(menus[0], VK_RIGHT);
        },
        [&](const Menus& menus) {
            ASSERT_EQ(menus.size(), 2u);
            EXPECT_EQ(WindowPixel(menus[1], 1, 1), kMenuBack);
            PostKey(menus[1], VK_RETURN);
        },
    });
    EXPECT_EQ(Track(TPM_RETURNCMD, "menu"), 201);
    DestroyMenu(other);
}

TEST_F(PopupMenuTest, ItemWidthIsLabelAcceleratorAndFifty) {
    Velmora::CMenu* skin = Velmora::CMenu::Instance();
    ASSERT_TRUE(skin->Install(*Velmora::CManager::Instance(), nullptr));
    HDC screen = GetDC(nullptr);
    SelectObject(screen, Velmora::CManager::Instance()->FindFont("menufont")->GetFont());
    const auto width = [&](const char* text) {
        SIZE extent = {};
        GetTextExtentPoint32A(screen, text, lstrlenA(text), &extent);
        return static_cast<int>(extent.cx);
    };
    const struct {
        const char* label;
        int expected;
    } rows[] = {
        {"&Open\tCtrl+O", width("Open") + width("Ctrl+O") + 50},
        {"Save &As", width("Save As") + 50},
        {"Fish && Chips", width("Fish & Chips") + 50},
        {"", 50},
    };
    for (const auto& row : rows) {
        Velmora::MenuItemRecord record;
        record.label = row.label;
        EXPECT_EQ(skin->MeasureItem(record), row.expected) << row.label;
    }
    ReleaseDC(nullptr, screen);
    skin->Remove();
}

} // namespace
