// Dialogs of the control tests made from their templates (Controls.rc) and
// skinned with the tests' skin, whose every state is a plain colour; pixels
// and messages read back.
#pragma once

#include "Manager.h"
#include "SkinImages.h"
#include "UiProbe.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>

// State colours of the tests' skin, by state code.
constexpr COLORREF kStateColor[8] = {RGB(200, 0, 0),     RGB(0, 200, 0),   RGB(0, 0, 200),
                                     RGB(100, 100, 100), RGB(200, 200, 0), RGB(0, 200, 200),
                                     RGB(200, 0, 200),   RGB(50, 50, 50)};
constexpr COLORREF kBack = RGB(128, 128, 128);
constexpr COLORREF kCommand = RGB(0, 160, 0);
constexpr int kControlsDialog = 100;
constexpr int kFrameDialog = 101;
constexpr int kNoMaximiseDialog = 102;
constexpr int kComboDialog = 103;

inline RECT WindowRectOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

// "x,y widthxheight" of the given place and size, or of a window in the
// client coordinates of relativeTo (none: the screen's).
inline std::string RectText(int x, int y, int width, int height) {
    return std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(width) + "x" +
           std::to_string(height);
}
inline std::string RectText(HWND window, HWND relativeTo = nullptr) {
    RECT rect = WindowRectOf(window);
    MapWindowPoints(nullptr, relativeTo, reinterpret_cast<POINT*>(&rect), 2);
    return RectText(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

// Puts the mouse on the screen point (tracking its leaving runs on timers of
// its own), or far from every window.
inline void MoveMouseTo(int x, int y) {
    SetCursorPos(x, y);
    for (int i = 0; i < 5; ++i, Sleep(20))
        PumpMessages();
}
inline void MoveMouseAway() {
    MoveMouseTo(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

// How often each watched window received 0x3C54, seen under its skin.
inline std::map<HWND, int> g_groupMessages;
inline std::map<HWND, WNDPROC> g_watched;
inline LRESULT CALLBACK CountGroupMessages(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    g_groupMessages[window] += message == 0x3C54;
    return CallWindowProcA(g_watched[window], window, message, wParam, lParam);
}
inline void WatchGroupMessages(HWND window) {
    g_watched[window] = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountGroupMessages)));
}

// The dialog procedure turns the plain check box (id 12) over on its click,
// as its program would, and ends on IDCANCEL.
inline INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND)
        return message == WM_INITDIALOG;
    if (LOWORD(wParam) == IDCANCEL)
        DestroyWindow(dialog);
    else if (LOWORD(wParam) == 12 && HIWORD(wParam) == BN_CLICKED)
        CheckDlgButton(dialog, 12, IsDlgButtonChecked(dialog, 12) ? BST_UNCHECKED : BST_CHECKED);
    return TRUE;
}

class ControlsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(LoadSkinDescription("Z:" TEST_SOURCE_DIR "/skin/controls.xml",
                                        "Z:" TEST_SOURCE_DIR "/skin/controls", nullptr));
        MoveMouseAway();
    }
    void TearDown() override {
        Velmora::CManager::Destroy();
        if (IsWindow(m_dialog))
            DestroyWindow(m_dialog);
        PumpMessages();
        g_groupMessages.clear();
        g_watched.clear();
    }
    void OpenDialog(int templateId) {
        m_dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                                      nullptr, TestDialogProc, 0);
        PumpMessages();
    }
    Velmora::CManager* Manager() const { return Velmora::CManager::Instance(); }

    HWND m_dialog = nullptr;
};
