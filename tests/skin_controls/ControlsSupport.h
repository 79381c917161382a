// Dialogs of the control tests made from their templates and skinned with the
// tests' skin, whose every state is a plain colour; pixels and messages read
// back.
#pragma once

#include "Manager.h"

#include <gtest/gtest.h>
#include <windows.h>

// State colours of the tests' skin, by state code.
constexpr COLORREF kStateColor[8] = {RGB(200, 0, 0),   RGB(0, 200, 0),   RGB(0, 0, 200),
                                     RGB(100, 100, 100), RGB(200, 200, 0), RGB(0, 200, 200),
                                     RGB(200, 0, 200), RGB(50, 50, 50)};
constexpr COLORREF kBack = RGB(128, 128, 128);
constexpr COLORREF kCommand = RGB(0, 160, 0);

// Dialog templates of Controls.rc.
constexpr int kControlsDialog = 100;
constexpr int kFrameDialog = 101;
constexpr int kNoMaximiseDialog = 102;

void PumpMessages();
COLORREF PixelOf(HWND window, int x, int y);
// Puts the mouse on the screen point, or far from every window.
void MoveMouseTo(int x, int y);
void MoveMouseAway();
// Times the window received 0x3C54 since it was watched.
int GroupMessagesTo(HWND window);
void WatchGroupMessages(HWND window);

// Loads the skin; the dialog procedure toggles the plain check box (id 12)
// on its click, as its program would, and ends on IDCANCEL.
class ControlsTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    HWND OpenDialog(int templateId);
    Velmora::CManager* Manager() const { return Velmora::CManager::Instance(); }

    HWND m_dialog = nullptr;
};
