#include "TabsMenus.h"

#include "Manager.h"
#include "Menu.h"
#include "SkinImages.h"

#include <cstdio>
#include <map>
#include <utility>

namespace {

std::map<HWND, std::string> g_log;

void Note(HWND window, const char* format, unsigned a, unsigned b, unsigned c = 0,
          const char* tail = "") {
    char text[48];
    std::snprintf(text, sizeof text, format, a, b, c);
    std::string& log = g_log[window];
    log += (log.empty() ? "" : " ") + std::string(text) + tail;
}

void NoteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITMENUPOPUP && g_checkOnOpen)
        CheckMenuItem(reinterpret_cast<HMENU>(wParam), g_checkOnOpen, MF_CHECKED);
    else if (message == WM_COMMAND)
        Note(window, "CMD:%u", LOWORD(wParam), 0);
    else if (message == WM_MENUSELECT)
        Note(window, "SEL:%X,%X", LOWORD(wParam), HIWORD(wParam));
    else if (message == 0x2B11)
        Note(window, "%X:%08X,", message, wParam, 0, reinterpret_cast<const char*>(lParam));
    else if (message == 0x2B12 || message == 0x2B13)
        Note(window, "%X:%u,%08X", message, wParam, lParam);
}

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    NoteMessage(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    NoteMessage(dialog, message, wParam, lParam);
    return message == WM_INITDIALOG;
}

HWND CreatePanel() {
    RegisterTestClass("VelmoraTabsMenusPanel", PanelProc);
    return CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "VelmoraTabsMenusPanel", "",
                           WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

CMenuScript* g_script = nullptr;

BOOL CALLBACK CollectMenuWindow(HWND window, LPARAM found) {
    auto* menus = reinterpret_cast<std::vector<HWND>*>(found);
    if (IsWindowVisible(window) && Velmora::CMenu::IsMenuWindow(window))
        menus->insert(menus->begin(), window);
    return TRUE;
}

} // namespace

UINT g_checkOnOpen = 0;

void CMenuScript::RunUntilDone() const {
    for (int wait = 0; m_next < m_steps.size() && wait < 100; ++wait, Sleep(20))
        PumpMessages();
    PumpMessages();
}

int CountPixels(HWND window, const RECT& area, COLORREF color) {
    int found = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            found += WindowPixel(window, x, y) == color;
    return found;
}

void PostKeys(HWND window, std::initializer_list<UINT> keys) {
    for (UINT key : keys) {
        PostMessageA(window, WM_KEYDOWN, key, 1);
        if (key == VK_RETURN)
            PostMessageA(window, WM_CHAR, '\r', 1);
        PostMessageA(window, WM_KEYUP, key, 0xC0000001);
    }
}

CMenuScript::CMenuScript(std::vector<Step> steps)
    : m_steps(std::move(steps)), m_timer(SetTimer(nullptr, 0, 80, &CMenuScript::Tick)) {
    g_script = this;
}

CMenuScript::~CMenuScript() {
    KillTimer(nullptr, m_timer);
    g_script = nullptr;
}

void CALLBACK CMenuScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
    // The visible menu windows, the first opened first.
    std::vector<HWND> menus;
    EnumThreadWindows(GetCurrentThreadId(), CollectMenuWindow, reinterpret_cast<LPARAM>(&menus));
    if (g_script && g_script->m_next < g_script->m_steps.size())
        g_script->m_steps[g_script->m_next++](menus);
    else if (!menus.empty())
        EndMenu();
}

std::string TakeLog(HWND window) {
    PumpMessages();
    return std::exchange(g_log[window], std::string());
}

void TabsMenusTest::SetUp() {
    ASSERT_TRUE(LoadSkinDescription("Z:" TEST_SOURCE_DIR "/skin/tabsmenus.xml",
                                    "Z:" TEST_SOURCE_DIR "/skin/tabsmenus", nullptr));
    SetCursorPos(900, 900); // away from every window the tests make
    m_top = CreatePanel();
    ASSERT_EQ(Velmora::CManager::Instance()->SkinWindow(m_top, 1, "panel", false), 1);
    SetForegroundWindow(m_top);
    PumpMessages();
}

void TabsMenusTest::TearDown() {
    DestroyWindow(m_top);
    PumpMessages();
    Velmora::CManager::Destroy();
    g_log.clear();
    g_checkOnOpen = 0;
}

HWND TabsMenusTest::OpenDialog() {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kDialogTemplate),
                                     nullptr, DialogProc, 0);
    EXPECT_EQ(Velmora::CManager::Instance()->SkinWindow(dialog, 2, "dialog", true), 1);
    PumpMessages();
    return dialog;
}

HWND TabsMenusTest::Control(int kind, const char* id, int x, int y, int width, int height) {
    HWND control =
        CreateWindowExA(0, "VelmoraTabsMenusPanel", "", WS_CHILD | WS_VISIBLE, x, y, width, height,
                        m_top, reinterpret_cast<HMENU>(7), nullptr, nullptr);
    EXPECT_EQ(Velmora::CManager::Instance()->SkinWindow(control, kind, id, false), 1);
    PumpMessages();
    return control;
}
