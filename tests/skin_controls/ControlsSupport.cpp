#include "ControlsSupport.h"

#include "SkinDescription.h"
#include "XmlDocument.h"

#include <map>

namespace {

std::map<HWND, int> g_groupMessages;
std::map<HWND, WNDPROC> g_watched;

LRESULT CALLBACK CountGroupMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == 0x3C54)
        ++g_groupMessages[window];
    return CallWindowProcA(g_watched[window], window, message, wParam, lParam);
}

INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND)
        return message == WM_INITDIALOG;
    if (LOWORD(wParam) == IDCANCEL)
        DestroyWindow(dialog);
    else if (LOWORD(wParam) == 12 && HIWORD(wParam) == BN_CLICKED)
        CheckDlgButton(dialog, 12, IsDlgButtonChecked(dialog, 12) ? BST_UNCHECKED : BST_CHECKED);
    return TRUE;
}

} // namespace

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

COLORREF PixelOf(HWND window, int x, int y) {
    PumpMessages();
    UpdateWindow(window);
    HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

void MoveMouseTo(int x, int y) {
    SetCursorPos(x, y);
    // Tracking of the mouse's leaving runs on timers of its own.
    for (int i = 0; i < 5; ++i) {
        Sleep(20);
        PumpMessages();
    }
}

void MoveMouseAway() {
    MoveMouseTo(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

int GroupMessagesTo(HWND window) {
    return g_groupMessages[window];
}

void WatchGroupMessages(HWND window) {
    g_watched[window] = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountGroupMessages)));
}

void ControlsTest::SetUp() {
    Velmora::CXmlDocument document;
    ASSERT_TRUE(document.LoadFile("Z:" TEST_SOURCE_DIR "/skin/controls.xml"));
    ASSERT_EQ(Velmora::ParseSkinDescription(*Manager(), document,
                                            "Z:" TEST_SOURCE_DIR "/skin/controls", nullptr),
              1);
    MoveMouseAway();
}

void ControlsTest::TearDown() {
    Velmora::CManager::Destroy();
    if (IsWindow(m_dialog))
        DestroyWindow(m_dialog);
    PumpMessages();
    g_groupMessages.clear();
    g_watched.clear();
}

HWND ControlsTest::OpenDialog(int templateId) {
    m_dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), nullptr,
                                  TestDialogProc, 0);
    PumpMessages();
    return m_dialog;
}
