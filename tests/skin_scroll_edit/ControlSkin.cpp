#include "ControlSkin.h"

#include "Manager.h"
#include "ScrollBarInterception.h"
#include "SkinImages.h"

#include <map>

namespace {

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
    ASSERT_TRUE(LoadSkinDescription("Z:" TEST_SOURCE_DIR "/skin/scroll-edit.xml",
                                    "Z:" TEST_SOURCE_DIR "/skin", nullptr));
}

} // namespace

COLORREF CellColor(int row, int column, CellPart part) {
    return RGB(20 + row * 20, 30 + column * 50, 90 + part * 70);
}

HWND CreateScrollTarget(HWND parent, const RECT& rect, DWORD style, const char* className) {
    const char* name = className ? className : "VelmoraScrollTarget";
    RegisterTestClass(name, TargetProc);
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
