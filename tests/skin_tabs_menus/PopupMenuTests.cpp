// Popup menus tracked through the exported TrackPopupMenu for a skinned owner:
// their windows, read (and their keys pressed) from a timer inside the modal
// loop, what the owner hears, and the menu afterwards.
#include "GDIFont.h"
#include "Manager.h"
#include "Menu.h"
#include "TabsMenus.h"
#include "Velmora.h"

#include <thread>
#include <utility>

namespace {

// An item's rectangle in its menu window's coordinates.
RECT ItemRect(HWND window, int position) {
    RECT item = {}, place = {};
    GetMenuItemRect(window, Velmora::CMenu::MenuOfWindow(window), static_cast<UINT>(position),
                    &item);
    GetWindowRect(window, &place);
    OffsetRect(&item, -place.left, -place.top);
    return item;
}

// The menu of TabsMenus.rc; its first item carries data of the program's.
class PopupMenuTest : public TabsMenusTest {
  protected:
    void SetUp() override {
        TabsMenusTest::SetUp();
        m_resource = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kPopupMenu));
        m_menu = GetSubMenu(m_resource, 0);
        m_item.cbSize = sizeof(m_item);
        m_item.fMask = MIIM_FTYPE | MIIM_DATA;
        m_item.dwItemData = 0x1234;
        SetMenuItemInfoA(m_menu, 0, TRUE, &m_item);
    }
    void TearDown() override {
        DestroyMenu(m_resource);
        TabsMenusTest::TearDown();
    }
    int Track(UINT flags, const char* id) {
        return VelmoraTrackPopupMenu(m_menu, flags, 100, 100, m_top, id);
    }
    // The type and data of the first item now.
    const MENUITEMINFOA& FirstItem() {
        GetMenuItemInfoA(m_menu, 0, TRUE, &m_item);
        return m_item;
    }
    HMENU m_resource = nullptr;
    HMENU m_menu = nullptr;
    MENUITEMINFOA m_item = {};
};

TEST_F(PopupMenuTest, ItemsAreDrawnFromTheDescription) {
    g_checkOnOpen = 103;
    CMenuScript script({
        [&](const Menus& menus) {
            ASSERT_EQ(menus.size(), 1u);
            HWND menu = menus[0];
            const RECT open = ItemRect(menu, 0);
            EXPECT_EQ(WindowPixel(menu, open.left + 7, open.top + 9), kOpenIcon);
            EXPECT_GT(CountPixels(menu, {open.left + 24, open.top, open.left + 50, open.bottom}, 0),
                      0);
            // The accelerator's last pixels are 20 before the item's right edge.
            int right = open.right;
            while (right > open.left &&
                   !CountPixels(menu, {right - 1, open.top, right, open.bottom}, 0))
                --right;
            EXPECT_TRUE(open.right - right >= 20 && open.right - right <= 23) << right;
            const RECT separator = ItemRect(menu, 1);
            EXPECT_EQ(WindowPixel(menu, separator.left + 10, separator.top + 3), kSeparator);
            // Checked by the program, and by the owner as the menu opened.
            for (int checked : {2, 3})
                EXPECT_EQ(WindowPixel(menu, 7, ItemRect(menu, checked).top + 9), kCheckIcon);
            // The system's frame gives way to the background, whose black
            // frame is cut out of the window.
            EXPECT_EQ(WindowPixel(menu, 1, separator.top + 2), kMenuBack);
            HRGN shape = CreateRectRgn(0, 0, 0, 0);
            EXPECT_NE(GetWindowRgn(menu, shape), ERROR);
            EXPECT_FALSE(PtInRegion(shape, 0, open.top + 5));
            EXPECT_TRUE(PtInRegion(shape, 1, open.top + 5));
            DeleteObject(shape);
            PostKeys(menu, {VK_DOWN});
        },
        [&](const Menus& menus) {
            const RECT open = ItemRect(menus[0], 0);
            EXPECT_EQ(WindowPixel(menus[0], open.left + 60, open.top + 1), kMenuHighlight);
            EXPECT_GT(CountPixels(menus[0], {open.left + 24, open.top, open.left + 50, open.bottom},
                                  RGB(255, 255, 255)),
                      0);
            PostKeys(menus[0], {VK_RETURN});
        },
    });
    EXPECT_EQ(Track(0, "menu"), 1);
    EXPECT_EQ(script.StepsRun(), 2u);
    EXPECT_NE(TakeLog(m_top).find("CMD:101"), std::string::npos);
    // The items are the program's again, with their texts and data.
    EXPECT_EQ(FirstItem().fType, static_cast<UINT>(MFT_STRING));
    EXPECT_EQ(m_item.dwItemData, 0x1234u);
    char text[32] = {};
    GetMenuStringA(m_menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Open\tCtrl+O");
}

// Skinned only through the exported function with a description the skin
// has; shaped only with a clip colour.
TEST_F(PopupMenuTest, LooksByHowTheMenuIsTracked) {
    const struct {
        const char* what;
        std::function<void()> track;
        bool skinned;
    } rows[] = {
        {"the program's own call", [&] { TrackPopupMenu(m_menu, 0, 100, 100, 0, m_top, nullptr); },
         false},
        {"no clip colour", [&] { Track(0, "square"); }, true},
        {"an owner the skin does not know",
         [&] { VelmoraTrackPopupMenu(m_menu, 0, 100, 100, GetDesktopWindow(), "menu"); }, false},
    };
    for (const auto& row : rows) {
        CMenuScript script({[&](const Menus& menus) {
            EXPECT_EQ((FirstItem().fType & MFT_OWNERDRAW) != 0, row.skinned) << row.what;
            EXPECT_EQ(WindowPixel(menus[0], 1, 30) == kMenuBack, row.skinned) << row.what;
            RECT shape = {};
            EXPECT_EQ(GetWindowRgnBox(menus[0], &shape), ERROR) << row.what;
        }});
        row.track();
        EXPECT_EQ(script.StepsRun(), 1u) << row.what;
    }
}

// A menu opened again in one tracking shows its background as it was; a
// second tracking meanwhile (this thread or another) is refused, harmlessly.
TEST_F(PopupMenuTest, ReopenedMenuReusesItsBackgroundAndSecondTrackingIsRefused) {
    auto* back =
        Velmora::CMenu::Instance()->Descriptions().Find("menu")->drawItems.FindSurface("menu.back");
    const auto submenuBack = [](const Menus& menus) {
        return menus.size() == 2 ? WindowPixel(menus[1], 1, 1) : CLR_INVALID;
    };
    int fromThread = -1;
    CMenuScript script({
        [&](const Menus& menus) {
            EXPECT_EQ(Track(0, "menu"), 0);
            std::thread([&] { fromThread = Track(0, "menu"); }).join();
            PostKeys(menus[0], {VK_UP, VK_RIGHT});
        },
        [&](const Menus& menus) {
            EXPECT_EQ(submenuBack(menus), kMenuBack);
            back->fillColor = RGB(255, 0, 0);
            PostKeys(menus.back(), {VK_LEFT});
        },
        [&](const Menus& menus) { PostKeys(menus[0], {VK_RIGHT}); },
        [&](const Menus& menus) {
            EXPECT_EQ(submenuBack(menus), kMenuBack);
            PostKeys(menus.back(), {VK_RETURN});
        },
    });
    EXPECT_EQ(Track(TPM_RETURNCMD, "menu"), 201);
    EXPECT_EQ(script.StepsRun(), 4u);
    EXPECT_EQ(fromThread, 0);
    CMenuScript again(
        {[&](const Menus& menus) { EXPECT_EQ(WindowPixel(menus[0], 1, 1), RGB(255, 0, 0)); }});
    Track(0, "menu");
}

// Label without access-key marks, accelerator text, and 50, in the font.
TEST_F(PopupMenuTest, ItemWidthIsLabelAcceleratorAndFifty) {
    Velmora::CMenu* skin = Velmora::CMenu::Instance();
    ASSERT_TRUE(skin->Install(*Velmora::CManager::Instance(), m_top, nullptr));
    HDC screen = GetDC(nullptr);
    SelectObject(screen, Velmora::CManager::Instance()->FindFont("menufont")->GetFont());
    const auto width = [&](const char* text) {
        SIZE extent = {};
        GetTextExtentPoint32A(screen, text, lstrlenA(text), &extent);
        return static_cast<int>(extent.cx);
    };
    const std::pair<const char*, int> rows[] = {
        {"&Open\tCtrl+O", width("Open") + width("Ctrl+O") + 50},
        {"Save &As", width("Save As") + 50},
        {"Fish && Chips", width("Fish & Chips") + 50},
    };
    for (const auto& [label, expected] : rows) {
        Velmora::MenuItemRecord record;
        record.label = label;
        EXPECT_EQ(skin->MeasureItem(record), expected) << label;
    }
    ReleaseDC(nullptr, screen);
    skin->Remove();
}

} // namespace
