#include "ScrollBarSkin.h"

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

struct Target {
    bool follows = false;
    std::string scrolls;
};
std::map<HWND, Target> g_targets;

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_VSCROLL && message != WM_HSCROLL)
        return DefWindowProcA(window, message, wParam, lParam);
    Target& target = g_targets[window];
    const int code = LOWORD(wParam);
    const int position = static_cast<short>(HIWORD(wParam));
    target.scrolls += (target.scrolls.empty() ? "" : " ") +
                      std::string(message == WM_VSCROLL ? "V:" : "H:") + std::to_string(code) +
                      "," + std::to_string(position);
    const int bar = message == WM_VSCROLL ? SB_VERT : SB_HORZ;
    SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
    if (!target.follows || !GetScrollInfo(window, bar, &info))
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

} // namespace

COLORREF CellColor(int row, int column) {
    return RGB(20 + row * 20, 30 + column * 50, 90);
}

COLORREF ThumbStartColor(int row, int column) {
    return RGB(20 + row * 20, 30 + column * 50, 160);
}

COLORREF ThumbEndColor(int row, int column) {
    return RGB(20 + row * 20, 30 + column * 50, 230);
}

void LoadScrollBarSkin(const std::string& windowItems) {
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
            COLORREF color = RGB(0, 0, 0);
            if (inX < kCell && inY < kCell) {
                const int along = row == 7 ? inY : inX;
                const bool thumb = row == 2 || row == 7;
                color = thumb && along < 2            ? ThumbStartColor(row, column)
                        : thumb && along >= kCell - 2 ? ThumbEndColor(row, column)
                                                      : CellColor(row, column);
            }
            pixel[0] = GetBValue(color);
            pixel[1] = GetGValue(color);
            pixel[2] = GetRValue(color);
        }
    }
    sheet->SetId("sprite");
    manager->Images().Add(std::move(sheet));
    const std::string document = R"(<theme><window>
  <item type="scrollbar" id="bar"><property width="16" height="16" interval="2"/>
    <image id="scrollbar.back" imageid="sprite"/></item>
  <item type="commonctrl" id="scroller"><property scrollbar="bar"/></item>)" +
                                 windowItems + "</window></theme>";
    Velmora::CXmlDocument xml;
    ASSERT_TRUE(xml.SetDocument(document.c_str()));
    ASSERT_EQ(Velmora::ParseSkinDescription(*manager, xml, nullptr, "skin"), 1);
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
    HWND window = CreateWindowExA(0, name, "", WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    g_targets[window] = Target();
    return window;
}

void SetFollows(HWND window, bool follows) {
    g_targets[window].follows = follows;
}

std::string TakeScrolls(HWND window) {
    std::string scrolls;
    scrolls.swap(g_targets[window].scrolls);
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

void ScrollBarTest::SetUp() {
    ASSERT_TRUE(Velmora::InstallScrollBarInterception());
    LoadScrollBarSkin();
    m_top = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Static", "", WS_POPUP | WS_VISIBLE,
                            0, 0, 500, 400, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    PumpMessages();
}

void ScrollBarTest::TearDown() {
    DestroyWindow(m_top);
    PumpMessages();
    Velmora::CManager::Destroy();
    Velmora::RemoveScrollBarInterception();
    g_targets.clear();
}
