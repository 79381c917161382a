// Velmora.dll as a program sees it: loaded by name, its functions found by
// their plain names, skins made in the test, real windows, pixels read back.
// What the exports only pass on (the kinds SkinWindow refuses, the colour
// ranges) is checked in the manager's and the resources' tests.
#include "Canvas.h"
#include "SkinTestSupport.h"
#include "UiProbe.h"
#include "Velmora.h"

#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

extern "C" int CallTrackPopupMenuFromC(HWND owner);

namespace {

// Every export of the library interface.
const char* const kExportNames[] = {
    "LoadSkin", "LoadSkinFromResource", "SkinWindow", "Cleanup", "SetDrawItemValue",
    "SetDrawItemVisible", "SetDrawItemValueEx", "SetDrawItemVisibleEx", "GetDrawItemValueEx",
    "SetProgressItemPos", "SetItemStyle", "SetItemData", "GetItemData", "AdjustColor", "DrawImage",
    "TrackPopupMenu", "AddMenuBar", "SetAnimatePlay", "SetSelfPaint", "TabCtrlExAddItem",
    "TabCtrlExSetItemSelected", "TabCtrlExGetItemSelectedIndex", "TabCtrlExRemoveItem",
    "ToolBarExAddItem", "ToolBarExSetItemSelected", "ToolBarExRemoveItem", "SliderExSetRange",
    "SliderExSetPos", "TreeCtrlExInsertItem", "TreeCtrlExInsertItem2",
    "TreeCtrlExSetLevelItemHeight", "TreeCtrlExSetDrawItemVisible", "TreeCtrlExSetDrawItemValue",
    "TreeCtrlExHitTest", "TreeCtrlExGetSelectedItem", "TreeCtrlExGetItemData",
    "TreeCtrlExSetItemData", "TreeCtrlExItemHasChildren", "TreeCtrlExGetRootItem",
    "TreeCtrlExGetChildItem", "TreeCtrlExGetNextSiblingItem", "TreeCtrlExGetParentItem",
    "TreeCtrlExExpand", "TreeCtrlExDeleteItem", "TreeCtrlExSelectItem", "TreeCtrlExDeleteAllItems",
    "TreeCtrlExSortChildrenCB", "TreeCtrlExMoveItem",
    // The exported classes: a constructor, destructor or virtual table of each.
    "_ZN7Velmora18CVelmoraWindowPropC1EP6HWND__", "_ZN7Velmora18CVelmoraWindowPropD1Ev",
    "_ZNK7Velmora18CVelmoraWindowProp5IsSetEv", "_ZN7Velmora9CPixImageC1Ev",
    "_ZTVN7Velmora9CPixImageE", "_ZN7Velmora10CPixIOFile4OpenEPKcS2_",
    "_ZTVN7Velmora11CPixMemFileE", "_ZTVN7Velmora8CPixFileE"};

// The library's functions, found by name as a program that loads it would.
HMODULE Dll() {
    static HMODULE module = LoadLibraryA("Velmora.dll");
    return module;
}

template <class Function> Function* Get(const char* name) {
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(Dll(), name)));
}

#define VELMORA_FUNCTION(name) Get<decltype(::name)>(#name)

class VelmoraDllTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(Dll(), nullptr);
        m_top = CreateTopWindow(160, 120);
        ASSERT_NE(m_top, nullptr);
    }
    void TearDown() override {
        VELMORA_FUNCTION(Cleanup)();
        DestroyWindow(m_top);
        PumpMessages();
    }

    // Writes the painting skin next to the program, where the library looks for skins.
    static std::string SkinFile(const std::string& fill) {
        static int count = 0;
        const std::string name = "velmora-test-skin" + std::to_string(++count) + ".sdb";
        EXPECT_TRUE(WriteFileBytes(TestProgramFolder() + "\\" + name, PaintingSkinDatabase(fill)));
        return name;
    }
    static int LoadSkin(const std::string& path, int mode) {
        return VELMORA_FUNCTION(LoadSkin)(path.c_str(), mode);
    }
    static void SkinWindow(HWND window, int kind, const char* id = nullptr, int recursive = 0) {
        VELMORA_FUNCTION(SkinWindow)(window, kind, id, recursive);
    }
    static int SetValue(HWND window, int kind, const char* id, const char* value) {
        return VELMORA_FUNCTION(SetDrawItemValue)(window, kind, id, value);
    }
    static int SetVisible(HWND window, int kind, const char* id, int visible) {
        return VELMORA_FUNCTION(SetDrawItemVisible)(window, kind, id, visible);
    }

    HWND m_top = nullptr;
};

// The first bytes of a USER32 scroll-bar function, which the interception patches.
std::string EntryBytes(const char* function) {
    const auto* entry =
        reinterpret_cast<const char*>(GetProcAddress(GetModuleHandleA("user32.dll"), function));
    return entry ? std::string(entry, 8) : std::string();
}

TEST(VelmoraDllExports, EveryFunctionAndClassIsFoundByItsPlainName) {
    ASSERT_NE(Dll(), nullptr);
    for (const char* name : kExportNames)
        EXPECT_NE(GetProcAddress(Dll(), name), nullptr) << name;
}

// Loading installs the scroll-bar interception even when no skin is read;
// Cleanup removes it.
TEST_F(VelmoraDllTest, LoadSkinModesAndResources) {
    const std::string original = EntryBytes("SetScrollInfo");
    ASSERT_FALSE(original.empty());
    EXPECT_EQ(LoadSkin(SkinFile("red"), 3), 0);
    SkinWindow(m_top, VELMORA_KIND_GENERIC);
    EXPECT_FALSE(IsHooked(m_top));
    EXPECT_EQ(EntryBytes("SetScrollInfo"), original);
    EXPECT_EQ(VELMORA_FUNCTION(LoadSkin)(nullptr, VELMORA_SKIN_FILE), 0);
    EXPECT_EQ(VELMORA_FUNCTION(LoadSkinFromResource)(nullptr, "SKIN"), 0);
    EXPECT_EQ(VELMORA_FUNCTION(LoadSkinFromResource)("SKIN", nullptr), 0);

    EXPECT_EQ(LoadSkin("velmora-no-such-skin.sdb", VELMORA_SKIN_FILE), 1);
    EXPECT_NE(EntryBytes("SetScrollInfo"), original);
    SkinWindow(m_top, VELMORA_KIND_GENERIC);
    EXPECT_FALSE(IsHooked(m_top));
    EXPECT_EQ(ClientPixel(m_top, 5, 5), kWhite);
    VELMORA_FUNCTION(Cleanup)();
    EXPECT_EQ(EntryBytes("SetScrollInfo"), original);
    EXPECT_EQ(VELMORA_FUNCTION(LoadSkinFromResource)("NOSUCHSKIN", "SKIN"), 0);
    EXPECT_NE(EntryBytes("SetScrollInfo"), original);

    EXPECT_EQ(VELMORA_FUNCTION(LoadSkinFromResource)("VELMORA_TEST_SKIN", "SKIN"), 1);
    SkinWindow(m_top, VELMORA_KIND_GENERIC);
    EXPECT_EQ(ClientPixel(m_top, 5, 5), kBlue);
}

TEST_F(VelmoraDllTest, GenericWindowPaintsAndRepaintsAtOnceWhenItemsChange) {
    ASSERT_EQ(LoadSkin(SkinFile("green"), VELMORA_SKIN_FILE), 1);
    SkinWindow(m_top, VELMORA_KIND_GENERIC);
    EXPECT_TRUE(IsHooked(m_top));
    EXPECT_EQ(ClientPixel(m_top, 5, 5), kGreen);
    EXPECT_EQ(ClientPixel(m_top, 150, 110), kGreen);
    EXPECT_EQ(ClientPixel(m_top, 50, 30), kBlue);
    EXPECT_EQ(ClientPixel(m_top, 120, 30), kGreen);
    EXPECT_EQ(ClientPixel(m_top, 50, 50), kRed);

    EXPECT_EQ(SetValue(m_top, VELMORA_KIND_GENERIC, "pic", "green"), 1);
    EXPECT_EQ(ClientPixel(m_top, 50, 50), kGreen);
    EXPECT_EQ(SetVisible(m_top, VELMORA_KIND_GENERIC, "fill", 0), 1);
    // The skin paints every pixel: without the fill there is no green left.
    EXPECT_NE(ClientPixel(m_top, 5, 5), kGreen);
    EXPECT_EQ(SetVisible(m_top, VELMORA_KIND_GENERIC, "fill", 1), 1);
    EXPECT_EQ(ClientPixel(m_top, 5, 5), kGreen);
}

TEST_F(VelmoraDllTest, OverridesSetBeforeSkinningShowWhenPainted) {
    EXPECT_EQ(SetValue(nullptr, 1, "pic", "green"), 0);
    EXPECT_EQ(SetValue(m_top, 1, nullptr, "green"), 0);
    EXPECT_EQ(SetValue(m_top, 1, "pic", nullptr), 0);
    EXPECT_EQ(SetVisible(nullptr, 1, "pic", 0), 0);
    EXPECT_EQ(SetVisible(m_top, 1, nullptr, 0), 0);
    SkinWindow(nullptr, VELMORA_KIND_GENERIC);

    ASSERT_EQ(LoadSkin(SkinFile("green"), VELMORA_SKIN_FILE), 1);
    HWND other = CreateChildWindow(m_top, 100, 60, 50, 50);
    EXPECT_EQ(SetVisible(m_top, VELMORA_KIND_GENERIC, "rule", 0), 1);
    EXPECT_EQ(SetValue(m_top, VELMORA_KIND_GENERIC, "pic", "green"), 1);
    SkinWindow(m_top, VELMORA_KIND_GENERIC);
    SkinWindow(other, VELMORA_KIND_GENERIC);
    EXPECT_EQ(ClientPixel(m_top, 50, 30), kGreen);
    EXPECT_EQ(ClientPixel(m_top, 50, 50), kGreen);
    // The other window keeps the description's line.
    EXPECT_EQ(ClientPixel(other, 10, 30), kBlue);
}

TEST_F(VelmoraDllTest, FunctionsOfControlsThatAreNotSkinnedRefuse) {
    auto getValue = VELMORA_FUNCTION(GetDrawItemValueEx);
    char buffer[8] = "keep";
    EXPECT_EQ(getValue(nullptr, 17, 0, 0, "id", buffer, sizeof buffer), 0);
    EXPECT_EQ(getValue(m_top, 17, 0, 0, "id", nullptr, sizeof buffer), 0);
    EXPECT_EQ(getValue(m_top, 17, -1, 0, "id", buffer, sizeof buffer), 0);
    EXPECT_EQ(getValue(m_top, 17, 0, 0, "id", buffer, 0), 0);
    EXPECT_EQ(getValue(m_top, 17, 0, 0, "id", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "keep");
    EXPECT_EQ(VELMORA_FUNCTION(SetDrawItemValueEx)(m_top, 17, -1, 0, "id", "v"), 0);
    EXPECT_EQ(VELMORA_FUNCTION(SetDrawItemValueEx)(m_top, 17, 0, 0, "id", nullptr), 0);
    EXPECT_EQ(VELMORA_FUNCTION(SetDrawItemVisibleEx)(m_top, 16, 0, 0, "id", 1), 0);
    auto progress = VELMORA_FUNCTION(SetProgressItemPos);
    EXPECT_EQ(progress(m_top, 17, 0, 0, 101), 0);
    EXPECT_EQ(progress(m_top, 17, 0, 0, -1), 0);
    EXPECT_EQ(progress(nullptr, 17, 0, 0, 100), 0);
    EXPECT_EQ(VELMORA_FUNCTION(SetItemStyle)(m_top, 1, 0, 0, "style"), 1);
    EXPECT_EQ(VELMORA_FUNCTION(SetItemStyle)(m_top, 1, 0, 0, nullptr), 0);
    EXPECT_EQ(VELMORA_FUNCTION(SetItemStyle)(m_top, 17, 0, 0, "style"), 0);
    EXPECT_EQ(VELMORA_FUNCTION(SetItemData)(m_top, 17, 0, 5), 1);
    EXPECT_EQ(VELMORA_FUNCTION(SetItemData)(nullptr, 1, 0, 5), 0);
    EXPECT_EQ(VELMORA_FUNCTION(GetItemData)(m_top, 17, 0), 0u);

    EXPECT_EQ(VELMORA_FUNCTION(TabCtrlExAddItem)(nullptr, "tab"), 0);
    EXPECT_EQ(VELMORA_FUNCTION(TabCtrlExAddItem)(m_top, "tab"), -1);
    EXPECT_EQ(VELMORA_FUNCTION(ToolBarExAddItem)(m_top, "button"), -1);
    EXPECT_EQ(VELMORA_FUNCTION(TreeCtrlExGetRootItem)(m_top), nullptr);
    EXPECT_EQ(VELMORA_FUNCTION(AddMenuBar)(m_top, nullptr, nullptr, nullptr), nullptr);
    HMENU menu = CreatePopupMenu();
    auto trackPopupMenu = Get<decltype(::VelmoraTrackPopupMenu)>("TrackPopupMenu");
    ASSERT_NE(trackPopupMenu, nullptr);
    EXPECT_EQ(trackPopupMenu(nullptr, 0, 0, 0, m_top, "menu"), 0);
    EXPECT_EQ(trackPopupMenu(menu, 0, 0, 0, nullptr, "menu"), 0);
    // Without a menu description the system tracks the (empty) menu alone.
    EXPECT_EQ(trackPopupMenu(menu, 0, 0, 0, m_top, "menu"), 1);
    DestroyMenu(menu);
    // Velmora.h as a C program includes it.
    EXPECT_EQ(CallTrackPopupMenuFromC(m_top), 0);
}

// The ranges are the manager's (skin_resources tests).
TEST_F(VelmoraDllTest, AdjustedColoursShowAtOnce) {
    auto adjust = VELMORA_FUNCTION(AdjustColor);
    ASSERT_EQ(LoadSkin(SkinFile("green"), VELMORA_SKIN_FILE), 1);
    ASSERT_EQ(adjust(0, 100, 100), 1);
    SkinWindow(m_top, VELMORA_KIND_GENERIC);
    ASSERT_EQ(ClientPixel(m_top, 50, 50), kRed);
    // A third of the colour circle turns red into green.
    ASSERT_EQ(adjust(120, 100, 100), 1);
    const COLORREF adjusted = ClientPixel(m_top, 50, 50);
    EXPECT_LT(GetRValue(adjusted), 40) << std::hex << adjusted;
    EXPECT_GT(GetGValue(adjusted), 200) << std::hex << adjusted;
}

TEST_F(VelmoraDllTest, DrawImagePaintsASkinImageIntoADeviceContext) {
    ASSERT_EQ(LoadSkin(SkinFile("green"), VELMORA_SKIN_FILE), 1);
    auto drawImage = VELMORA_FUNCTION(DrawImage);
    CCanvas canvas(40, 40);
    const RECT whole = {0, 0, 20, 20};
    EXPECT_EQ(drawImage("red", canvas.Dc(), &whole, nullptr, 0), 1);
    EXPECT_EQ(canvas.Pixel(10, 10), kRed);
    EXPECT_EQ(canvas.Pixel(30, 30), kWhite);
    // Same size as the source: the image as it is.
    const RECT cell = {20, 20, 24, 24};
    const RECT source = {0, 0, 4, 4};
    EXPECT_EQ(drawImage("green", canvas.Dc(), &cell, &source, 0), 1);
    EXPECT_EQ(canvas.Pixel(21, 21), kGreen);
    EXPECT_EQ(canvas.Pixel(30, 30), kWhite);

    EXPECT_EQ(drawImage(nullptr, canvas.Dc(), &whole, nullptr, 0), 0);
    EXPECT_EQ(drawImage("red", nullptr, &whole, nullptr, 0), 0);
    EXPECT_EQ(drawImage("red", canvas.Dc(), nullptr, nullptr, 0), 0);
    EXPECT_EQ(drawImage("Z:\\tmp\\velmora-no-such-image.bmp", canvas.Dc(), &whole, nullptr, 0), 0);
}

// Keeps what the skin had painted when the handler was called.
struct CountingSelfPaint : Velmora::ISelfPaint {
    void OnSelfPaint(HDC dc, int value) override {
        ++calls;
        lastValue = value;
        lastDcPixel = GetPixel(dc, 5, 5);
    }
    int calls = 0, lastValue = 0;
    COLORREF lastDcPixel = 0;
};

TEST_F(VelmoraDllTest, SelfPaintHandlerRunsAfterTheSkinPainted) {
    ASSERT_EQ(LoadSkin(SkinFile("green"), VELMORA_SKIN_FILE), 1);
    CountingSelfPaint handler;
    auto setSelfPaint = VELMORA_FUNCTION(SetSelfPaint);
    EXPECT_EQ(setSelfPaint(m_top, &handler, 7), 0);
    SkinWindow(m_top, VELMORA_KIND_GENERIC);
    EXPECT_EQ(setSelfPaint(nullptr, &handler, 7), 0);
    EXPECT_EQ(setSelfPaint(m_top, nullptr, 7), 0);
    EXPECT_EQ(setSelfPaint(m_top, &handler, 7), 1);
    InvalidateRect(m_top, nullptr, FALSE);
    PumpMessages();
    UpdateWindow(m_top);
    EXPECT_GE(handler.calls, 1);
    EXPECT_EQ(handler.lastValue, 7);
    EXPECT_EQ(handler.lastDcPixel, kGreen);
}

TEST_F(VelmoraDllTest, WindowMarkIsTakenAwayOnlyByItsSetter) {
    HWND window = CreateChildWindow(m_top, 0, 0, 20, 20);
    const char* property = VELMORA_NO_SKIN_PROPERTY;
    {
        Velmora::CVelmoraWindowProp unset;
        EXPECT_EQ(unset.IsSet(), 0);
        Velmora::CVelmoraWindowProp first(window);
        EXPECT_NE(first.IsSet(), 0);
        EXPECT_EQ(GetPropA(window, property), static_cast<HANDLE>(window));
        {
            Velmora::CVelmoraWindowProp second(window);
            EXPECT_EQ(second.IsSet(), 0);
        }
        EXPECT_EQ(GetPropA(window, property), static_cast<HANDLE>(window));
        Velmora::CVelmoraWindowProp copy;
        copy = first;
        EXPECT_NE(copy.IsSet(), 0);
    }
    EXPECT_EQ(GetPropA(window, property), nullptr);

    Velmora::CVelmoraWindowProp later;
    later.SetPropA(window);
    EXPECT_NE(later.IsSet(), 0);
    SetPropA(window, property, nullptr);
    RemovePropA(window, property);
    EXPECT_EQ(later.IsSet(), 0);
    later.SetPropA(nullptr);
    EXPECT_EQ(later.IsSet(), 0);
}

// The highest slot of a handle table that a burst of new objects reaches:
// freed slots are reused first, so objects leaked in between push it up.
// (GetGuiResources counts nothing under Wine.)
template <class Create, class Destroy> unsigned HandleHighWater(Create create, Destroy destroy) {
    std::vector<decltype(create())> handles;
    unsigned highest = 0;
    for (int i = 0; i < 2000; ++i) {
        handles.push_back(create());
        highest = std::max(
            highest, static_cast<unsigned>(LOWORD(reinterpret_cast<ULONG_PTR>(handles.back()))));
    }
    for (auto handle : handles)
        destroy(handle);
    return highest;
}

unsigned GdiHighWater() {
    return HandleHighWater([] { return CreateSolidBrush(RGB(1, 2, 3)); },
                           [](HBRUSH brush) { DeleteObject(brush); });
}

// Cursors and windows live in the same table as menus.
unsigned UserHighWater() {
    return HandleHighWater([] { return CreateMenu(); }, [](HMENU menu) { DestroyMenu(menu); });
}

TEST_F(VelmoraDllTest, CleanupReleasesEverything) {
    const std::string path = SkinFile("green");
    HWND child = CreateChildWindow(m_top, 10, 10, 40, 40);
    auto cycle = [&] {
        ASSERT_EQ(LoadSkin(path, VELMORA_SKIN_FILE), 1);
        SkinWindow(m_top, VELMORA_KIND_GENERIC, nullptr, 1);
        SetValue(m_top, VELMORA_KIND_GENERIC, "pic", "green");
        ASSERT_EQ(ClientPixel(m_top, 100, 100), kGreen);
        ASSERT_TRUE(IsHooked(child));
        VELMORA_FUNCTION(Cleanup)();
        ASSERT_FALSE(IsHooked(m_top));
        ASSERT_FALSE(IsHooked(child));
    };
    cycle();
    const unsigned gdiHighWaterBefore = GdiHighWater();
    const unsigned userHighWaterBefore = UserHighWater();
    for (int i = 0; i < 50; ++i)
        cycle();
    EXPECT_EQ(GdiHighWater(), gdiHighWaterBefore);
    EXPECT_EQ(UserHighWater(), userHighWaterBefore);
}

// The system's Find dialog (comdlg32's, which nothing of this project made),
// skinned recursively through the exports with the gallery's sample skin,
// works as before: typed text, check and radio boxes and its buttons reach
// its owner, Cancel ends it; twenty rounds leave the handle tables as they were.
struct FindRecord {
    DWORD flags = 0;
    std::string what;
} g_find;

LRESULT CALLBACK FindOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static const UINT findMessage = RegisterWindowMessageA(FINDMSGSTRINGA);
    if (message == findMessage) {
        const auto* find = reinterpret_cast<const FINDREPLACEA*>(lParam);
        g_find = {find->Flags, find->lpstrFindWhat};
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(VelmoraDllTest, SystemFindDialogSkinnedKeepsWorking) {
    ASSERT_EQ(LoadSkin(GALLERY_SKIN, VELMORA_SKIN_FOLDER), 1);
    SetWindowLongPtrA(m_top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FindOwnerProc));
    char what[64] = {};
    FINDREPLACEA request = {};
    request.lStructSize = sizeof(request);
    request.hwndOwner = m_top;
    request.lpstrFindWhat = what;
    request.wFindWhatLen = sizeof(what);
    auto click = [](HWND find, int id) { SendMessageA(GetDlgItem(find, id), BM_CLICK, 0, 0); };
    auto round = [&](bool look) {
        request.Flags = FR_DOWN | FR_MATCHCASE;
        HWND find = FindTextA(&request);
        ASSERT_NE(find, nullptr);
        SkinWindow(find, VELMORA_KIND_DIALOG, nullptr, 1);
        PumpMessages();
        ASSERT_TRUE(IsHooked(find));
        HWND edit = GetDlgItem(find, edt1);
        SetFocus(edit);
        for (char c : std::string("Velmora"))
            SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(c), 0);
        click(find, IDOK);
        EXPECT_EQ(g_find.what, "Velmora");
        EXPECT_EQ(g_find.flags & (FR_FINDNEXT | FR_DOWN | FR_MATCHCASE),
                  DWORD(FR_FINDNEXT | FR_DOWN | FR_MATCHCASE));
        if (look) {
            // The skin's title band where the system's caption was.
            EXPECT_EQ(ClientPixel(find, 8, 40), RGB(15, 17, 23));
            // "Up", then match case off: the dialog reads both as its owner asks.
            click(find, rad1);
            click(find, chx2);
            click(find, IDOK);
            EXPECT_EQ(g_find.flags & (FR_DOWN | FR_MATCHCASE), 0u);
        }
        click(find, IDCANCEL);
        EXPECT_FALSE(IsWindow(find));
        EXPECT_TRUE(g_find.flags & FR_DIALOGTERM);
    };
    round(true);
    const unsigned gdiBefore = GdiHighWater();
    const unsigned userBefore = UserHighWater();
    for (int i = 0; i < 20; ++i)
        round(false);
    EXPECT_EQ(GdiHighWater(), gdiBefore);
    EXPECT_EQ(UserHighWater(), userBefore);
}

} // namespace
