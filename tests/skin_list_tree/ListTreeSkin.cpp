#include "ListTreeSkin.h"

#include "GDICursor.h"
#include "GDIImage.h"
#include "Manager.h"
#include "ScrollBarInterception.h"
#include "SkinDescription.h"
#include "SkinFiles.h"
#include "XmlDocument.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

namespace {

constexpr char kHostClass[] = "VelmoraListTreeHost";
std::vector<Posted> g_posted;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == 0x2B14 || message == 0x2B17)
        g_posted.push_back({window, message, wParam, lParam});
    return DefWindowProcA(window, message, wParam, lParam);
}

void AddImage(const char* id, int width, int height,
              const std::function<COLORREF(int x, int y)>& color) {
    auto image = std::make_unique<Velmora::GDIImage>();
    ASSERT_NE(image->Allocate(width, height, 24, 0), nullptr);
    for (int y = 0; y < height; ++y) {
        uint8_t* pixel = image->GetRow(y);
        for (int x = 0; x < width; ++x, pixel += 3) {
            const COLORREF c = color(x, y);
            pixel[0] = GetBValue(c);
            pixel[1] = GetGValue(c);
            pixel[2] = GetRValue(c);
        }
    }
    image->SetId(id);
    Velmora::CManager::Instance()->Images().Add(std::move(image));
}

std::string Color(COLORREF color) {
    return "(" + std::to_string(GetRValue(color)) + "," + std::to_string(GetGValue(color)) + "," +
           std::to_string(GetBValue(color)) + ")";
}

void LoadListTreeSkin() {
    Velmora::CManager* manager = Velmora::CManager::Instance();
    AddImage("header.picture", 4, 24, [](int, int) { return kHeaderBack; });
    AddImage("arrow.up", 6, 6, [](int, int) { return kArrowUp; });
    AddImage("arrow.down", 6, 6, [](int, int) { return kArrowDown; });
    AddImage("stripes", 1, 7, [](int, int y) { return Stripe(y); });
    AddImage("expand", 6, 6, [](int, int) { return kExpandIcon; });
    AddImage("collapse", 6, 6, [](int, int) { return kCollapseIcon; });
    AddImage("sheet", 70, 196, [](int, int) { return RGB(128, 128, 128); });
    const std::string cursorFile = MakeCurFile(32, 32, 0, 0, [](int x, int y) { return x == y; });
    auto cursor = std::make_unique<Velmora::GDICursor>();
    ASSERT_NE(cursor->LoadCursorData(cursorFile.data(), cursorFile.size()), nullptr);
    cursor->SetId("hand");
    manager->Cursors().Add(std::move(cursor));

    const auto fill = [](COLORREF color, const std::string& extra = "") {
        return "<surface fillcolor=\"" + Color(color) + "\" " + extra + "/>";
    };
    const auto state = [&](const char* name, COLORREF color, const std::string& extra = "") {
        return fill(color, "state=\"" + std::string(name) + "\" " + extra);
    };
    const std::string rowWidth = "lowerrightx=\"-50\"";
    const std::string document =
        "<theme><window>"
        "<item type=\"scrollbar\" id=\"bar\"><property width=\"16\" height=\"16\" interval=\"2\"/>"
        "<image id=\"scrollbar.back\" imageid=\"sheet\"/></item>"
        "<item type=\"headerctrl\" id=\"hdr\">"
        "<image id=\"header.bk.normal\" imageid=\"header.picture\" mode=\"stretchboth\"/>" +
        fill(kHeaderOver, "id=\"header.bk.over\"") + fill(kHeaderDown, "id=\"header.bk.down\"") +
        "<text id=\"header.text\" left=\"4\" top=\"4\" textcolor=\"(0,0,0)\"/>"
        "<image id=\"header.sort.arrow.ascend\" imageid=\"arrow.up\"/>"
        "<image id=\"header.sort.arrow.descend\" imageid=\"arrow.down\"/></item>"
        "<item type=\"headerctrl\" id=\"tall\"><property height=\"30\"/>" +
        fill(kTallHeader, "id=\"header.bk.normal\"") +
        "</item>"
        "<item type=\"listctrl\" id=\"list\"><property headerctrl=\"hdr\" scrollbar=\"bar\"/>"
        "<listctrlinfo oddevenline=\"true\">"
        "<drawitem id=\"default\"><text id=\"cell\" left=\"4\" top=\"1\" width=\"30\" "
        "horzalign=\"left\" textcolor=\"" +
        Color(kCellText) +
        "\"/>"
        "<progressitem id=\"bar\" left=\"40\"><surface id=\"progress.back\" fillcolor=\"" +
        Color(kProgressBack) + "\"/><surface id=\"progress.step\" fillcolor=\"" +
        Color(kProgressStep) + "\"/></progressitem></drawitem>" + "<drawitem id=\"red\">" +
        fill(kRedStyle) +
        "</drawitem>"
        "<drawitem id=\"button\">"
        "<eventitem id=\"go\" event=\"LButtonDown\" width=\"20\" cursorid=\"hand\">" +
        state("normal", kGoNormal) + state("over", kGoOver) + state("down", kGoDown) +
        "</eventitem><eventitem id=\"menu\" event=\"RButtonDown\" left=\"30\" width=\"20\">" +
        fill(kMenuItem) +
        "</eventitem></drawitem>"
        "</listctrlinfo>" +
        fill(kListBack, "id=\"listctrl.back\"") + fill(kNormal, "id=\"item.normal\"") +
        fill(kOdd, "id=\"item.odd\"") + fill(kEven, "id=\"item.even\"") +
        fill(kOver, "id=\"item.over\"") + fill(kChecked, "id=\"item.checked\"") +
        "<line id=\"item.seperator\" starty=\"-1\" endx=\"-1\" endy=\"-1\" width=\"1\" "
        "linecolor=\"" +
        Color(kSeparator) + "\"/><surface id=\"border.outer\" borderwidth=\"1\" bordercolor=\"" +
        Color(kBorder) +
        "\"/></item>"
        "<item type=\"listctrl\" id=\"plain\"><property headerctrl=\"tall\"/>" +
        fill(kNormal, "id=\"item.normal\"") + fill(kChecked, "id=\"item.checked\"") +
        "</item>"
        "<item type=\"treectrlex\" id=\"tree\"><property scrollbar=\"bar\"/>"
        "<treectrlexinfo levelindent=\"10\">"
        "<drawitem id=\"a\">" +
        state("normal", kRowA, rowWidth) + state("over", kRowAOver, rowWidth) +
        state("checkednormal", kRowASelected, rowWidth) +
        "<image id=\"expand.icon\" imageid=\"expand\" left=\"2\" top=\"2\"/>"
        "<image id=\"collapse.icon\" imageid=\"collapse\" left=\"2\" top=\"2\"/>"
        "<text id=\"default\" left=\"12\" top=\"2\"/></drawitem>"
        "<drawitem id=\"b\">" +
        fill(kRowB, rowWidth) +
        "</drawitem></treectrlexinfo>"
        "<image id=\"tree.back\" imageid=\"stripes\" mode=\"tile\"/></item>"
        "</window></theme>";
    Velmora::CXmlDocument xml;
    ASSERT_TRUE(xml.SetDocument(document.c_str()));
    ASSERT_EQ(Velmora::ParseSkinDescription(*manager, xml, nullptr, "skin"), 1);
}

} // namespace

COLORREF Stripe(int y) {
    return RGB(10 + 30 * (y % 7), 100, 60);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

COLORREF ClientPixel(HWND window, int x, int y) {
    UpdateWindow(window);
    HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

void ListTreeTest::SetUp() {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    ASSERT_TRUE(Velmora::InstallScrollBarInterception());
    LoadListTreeSkin();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kHostClass;
    RegisterClassA(&windowClass);
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

HWND ListTreeTest::MakeList(const char* id, int rows, int columns, DWORD exStyle) {
    HWND list = CreateWindowExA(exStyle, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10,
                                10, 300, 200, m_top, nullptr, GetModuleHandleA(nullptr), nullptr);
    for (int column = 0; column < columns; ++column) {
        LVCOLUMNA header = {};
        header.mask = LVCF_WIDTH | LVCF_TEXT;
        header.cx = 80;
        std::string caption = "C" + std::to_string(column);
        header.pszText = &caption[0];
        SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&header));
    }
    for (int row = 0; row < rows; ++row) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        std::string text = "r" + std::to_string(row) + "c0";
        item.pszText = &text[0];
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        for (int column = 1; column < columns; ++column) {
            text = "r" + std::to_string(row) + "c" + std::to_string(column);
            item.iSubItem = column;
            SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        }
    }
    EXPECT_EQ(Velmora::CManager::Instance()->SkinWindow(list, 17, id, false), 1);
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
