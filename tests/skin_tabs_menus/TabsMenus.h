// The skin the tab strip, toolbar and menu tests share, made of plain
// surfaces in colours of their own; a top window skinned as a generic panel
// that writes down what its children post and send to it; pixels read back.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

// Tab and toolbar looks.
constexpr COLORREF kPanel = RGB(240, 240, 240);
constexpr COLORREF kNormal = RGB(0, 0, 200);
constexpr COLORREF kOver = RGB(0, 200, 0);
constexpr COLORREF kDown = RGB(200, 0, 0);
constexpr COLORREF kEventNormal = RGB(200, 200, 0);
constexpr COLORREF kEventOver = RGB(0, 200, 200);
constexpr COLORREF kEventDown = RGB(200, 0, 200);
constexpr COLORREF kArrowNormal = RGB(10, 10, 10);
constexpr COLORREF kArrowOver = RGB(60, 60, 60);
constexpr COLORREF kArrowDown = RGB(110, 110, 110);
constexpr COLORREF kArrowDisabled = RGB(160, 160, 160);

void PumpMessages();
// A pixel of the window's client area after it painted again.
COLORREF PixelOf(HWND window, int x, int y);
// What the window received since the last call, e.g. "2B12:1,0001.0002".
std::string TakeLog(HWND window);

class TabsMenusTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // A child control of the panel skinned as kind with the description id.
    HWND Control(int kind, const char* id, int x, int y, int width, int height);

    HWND m_top = nullptr;
};
