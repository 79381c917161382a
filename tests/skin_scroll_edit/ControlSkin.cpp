#include "ControlSkin.h"

#include "GDIImage.h"
#include "Manager.h"
#include "ScrollBarInterception.h"
#include "SkinDescription.h"
#include "XmlDocument.h"

#include <map>
#include <memory>

namespace {

constexpr int kGap = 2;
constexpr int kRows = 11;
constexpr int kColumns = 4;

// What each target window received.
std::map<HWND, std::string> g_scrolls;

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    std::string& scrolls = g_scrolls[window];
    if (message == WM_NCLBUTTONDBLCLK)
        scrolls += "D:" + std::to_string(wParam);
    if (message != WM_VSCROLL && message != WM_HSCROLL)
        return DefWindowProcA(window, message, wParam, lParam);
    const int code = LOWORD(wParam);
    const int position = static_cast<short>(HIWORD(wParam));
    scrolls += (scrolls.empty() ? "" : " ") + std::string(message == WM_VSCROLL ? "V:" : "H:") +
               std::to_string(code) + "," + std::to_string(position);
    const int bar = message == WM_VSCROLL ? SB_VERT : SB_HORZ;
    SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(window, bar, &info))
        return 0;
    const int steps[] = {-1, 1, -static_cast<int>(info.nPage), static_cast<int>(info.nPage)};
    info.fMask = SIF_POS;
    if (code <= SB_PAGEDOWN)
        info.nPos += steps[code];
    else if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION)
        info.nPos = position;
    SetScrollInfo(window, bar, &info, TRUE);
    return 0;
}

// The sheet, "bar" and the descriptions the tests skin their windows with.
void LoadControlSkin() {
    Velmora::CManager* manager = Velmora::CManager::Instance();
    auto sheet = std::make_unique<Velmora::GDIImage>();
    const int width = kColumns * (kCell + kGap) - kGap;
    const int height = kRows * (kCell + kGap) - kGap;
    ASSERT_NE(sheet->Allocate(width, height, 24, 0), nullptr);
    for (int y = 0; y < height; ++y) {
        uint8_t* pixel = sheet->GetRow(y);
        for (int x = 0; x < width; ++x, pixel += 3) {
            const int row = y / (kCell + kGap);
            const int column = x / (kCell + kGap);
            const int inX = x % (kCell + kGap);
            const int inY = y % (kCell + kGap);
            const bool thumb = row == 2 || row == 7;
            const int along = row == 7 ? inY : inX;
            const CellPart part = !thumb               ? kBody
                                  : along < 2          ? kStart
                                  : along >= kCell - 2 ? kEnd
                                                       : kBody;
            const COLORREF color =
                inX < kCell && inY < kCell ? CellColor(row, column, part) : RGB(0, 0, 0);
            pixel[0] = GetBValue(color);
            pixel[1] = GetGValue(color);
            pixel[2] = GetRValue(color);
        }
    }
    sheet->SetId("sprite");
    manager->Images().Add(std::move(sheet));
    const char document[] = R"xml(<theme><window>
  <item type="scrollbar" id="bar"><property width="16" height="16" interval="2"/>
    <image id="scrollbar.back" imageid="sprite"/></item>
  <item type="commonctrl" id="scroller"><property scrollbar="bar"/></item>
  <item type="commonctrl" id="panel"/>
  <item type="edit" id="edit"><property textcolor="(0,0,128)"/>
    <surface state="normal" bordercolor="(200,0,0)" borderwidth="1" fillcolor="(250,250,200)"/>
    <surface state="over" bordercolor="(0,160,0)" borderwidth="1" fillcolor="(200,250,250)"/>
    <surface state="disable" fillcolor="(180,180,180)"/>
    <text id="edittips" content="type here" textcolor="(255,0,0)"/></item>
  <item type="edit" id="plain"><surface state="normal" fillcolor="(250,250,200)"/></item>
  <item type="edit" id="bare"><text id="edittips" content="cue"/></item>
  <item type="combobox" id="combo">
    <surface state="normal" fillcolor="(10,10,200)" lowerrightx="0" lowerrighty="0"/>
    <surface state="over" fillcolor="(10,200,10)" lowerrightx="0" lowerrighty="0"/>
    <surface state="down" fillcolor="(200,10,10)" lowerrightx="0" lowerrighty="0"/></item>
</window></theme>)xml";
    Velmora::CXmlDocument xml;
    ASSERT_TRUE(xml.SetDocument(document));
    ASSERT_EQ(Velmora::ParseSkinDescription(*manager, xml, nullptr, "skin"), 1);
}

} // namespace

COLORREF CellColor(int row, int column, CellPart part) {
    return RGB(20 + row * 20, 30 + column * 50, 90 + part * 70);
}

HWND CreateScrollTarget(HWND parent, const RECT& rect, DWORD style, const char* className) {
    const char* name = className ? className : "VelmoraScrollTarget";
    WNDCLASSA windowClass = {};
    if (!GetClassInfoA(GetModuleHandleA(nullptr), name, &windowClass)) {
        windowClass.lpfnWndProc = TargetProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = name;
        RegisterClassA(&windowClass);
    }
    HWND window = CreateWindowExA(parent ? 0 : WS_EX_TOPMOST | WS_EX_TOOLWINDOW, name, "",
                                  (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE | style, rect.left,
                                  rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    g_scrolls[window].clear();
    return window;
}

std::string TakeScrolls(HWND window) {
    std::string scrolls;
    scrolls.swap(g_scrolls[window]);
    return scrolls;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

COLORREF WindowPixel(HWND window, int x, int y) {
    HDC dc = GetWindowDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

void PlaceCursor(int x, int y) {
    SetCursorPos(x, y);
    PostMessageA(nullptr, WM_NULL, 0, 0);
    MSG message;
    PeekMessageA(&message, nullptr, WM_NULL, WM_NULL, PM_REMOVE);
}

void ControlSkinTest::SetUp() {
    ASSERT_TRUE(Velmora::InstallScrollBarInterception());
    LoadControlSkin();
    m_top = CreateScrollTarget(nullptr, {0, 0, 500, 400}, 0);
    ASSERT_EQ(Velmora::CManager::Instance()->SkinWindow(m_top, 1, "panel", false), 1);
    SetForegroundWindow(m_top);
    PumpMessages();
}

void ControlSkinTest::TearDown() {
    DestroyWindow(m_top);
    PumpMessages();
    Velmora::CManager::Destroy();
    Velmora::RemoveScrollBarInterception();
    g_scrolls.clear();
}
