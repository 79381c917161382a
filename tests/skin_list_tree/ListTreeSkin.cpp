#include "ListTreeSkin.h"

#include "GDICursor.h"
#include "GDIImage.h"
#include "Manager.h"
#include "ScrollBarInterception.h"
#include "SkinFiles.h"
#include "SkinImages.h"

#include <commctrl.h>

#include <memory>
#include <string>

namespace {

constexpr char kHostClass[] = "VelmoraListTreeHost";
std::vector<Posted> g_posted;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == 0x2B14 || message == 0x2B17)
        g_posted.push_back({window, message, wParam, lParam});
    if (message == WM_MEASUREITEM) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kRowHeight;
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

COLORREF Stripe(int y) {
    return RGB(10 + 30 * (y % 7), 100, 60);
}

void Mouse(HWND window, UINT message, int x, int y) {
    SendMessageA(window, message, message == WM_MOUSEMOVE ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
}

void ListTreeTest::SetUp() {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    ASSERT_TRUE(Velmora::InstallScrollBarInterception());
    Velmora::CManager* manager = Velmora::CManager::Instance();
    AddSkinImage("header.picture", 4, 24, Solid(kHeaderBack));
    AddSkinImage("arrow.up", 6, 6, Solid(kArrowUp));
    AddSkinImage("arrow.down", 6, 6, Solid(kArrowDown));
    AddSkinImage("stripes", 1, 7, [](int, int y) { return Stripe(y); });
    AddSkinImage("expand", 6, 6, Solid(kExpandIcon));
    AddSkinImage("collapse", 6, 6, Solid(kCollapseIcon));
    AddSkinImage("sheet", 70, 196, Solid(RGB(128, 128, 128)));
    auto cursor = std::make_unique<Velmora::GDICursor>();
    ASSERT_NE(cursor->LoadCursorFile(PicturePath("arrow-32.cur").c_str()), nullptr);
    cursor->SetId("hand");
    manager->Cursors().Add(std::move(cursor));
    ASSERT_TRUE(LoadSkinDescription("Z:" TEST_SOURCE_DIR "/ListTreeSkin.xml", nullptr, "skin"));

    RegisterTestClass(kHostClass, HostProc);
    m_top = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kHostClass, "", WS_POPUP | WS_VISIBLE,
                            0, 0, 560, 440, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(m_top);
    PumpMessages();
    g_posted.clear();
}

void ListTreeTest::TearDown() {
    DestroyWindow(m_top);
    PumpMessages();
    Velmora::CManager::Destroy();
    Velmora::RemoveScrollBarInterception();
    g_posted.clear();
}

HWND ListTreeTest::MakeList(const char* id, int rows, int columns) {
    HWND list =
        CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10,
                        10, 300, 200, m_top, nullptr, GetModuleHandleA(nullptr), nullptr);
    for (int column = 0; column < columns; ++column) {
        LVCOLUMNA header = {};
        header.mask = LVCF_WIDTH;
        header.cx = 80;
        SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&header));
    }
    for (int row = 0; row < rows; ++row) {
        LVITEMA item = {};
        item.iItem = row;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        for (item.iSubItem = 0; item.iSubItem < columns; ++item.iSubItem) {
            std::string text = "r" + std::to_string(row) + "c" + std::to_string(item.iSubItem);
            item.pszText = &text[0];
            SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        }
    }
    if (id) {
        EXPECT_EQ(Velmora::CManager::Instance()->SkinWindow(list, 17, id, false), 1);
    }
    PumpMessages();
    return list;
}

HWND ListTreeTest::MakeTree(int height) {
    HWND tree = CreateWindowExA(0, kHostClass, "", WS_CHILD | WS_VISIBLE, 320, 10, 200, height,
                                m_top, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(Velmora::CManager::Instance()->SkinWindow(tree, 24, "tree", false), 1);
    PumpMessages();
    return tree;
}

std::vector<Posted> ListTreeTest::TakePosted() {
    PumpMessages();
    std::vector<Posted> posted;
    posted.swap(g_posted);
    return posted;
}
