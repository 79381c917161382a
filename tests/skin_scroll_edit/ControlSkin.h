// A loaded skin (skin/scroll-edit.xml) whose "scrollbar" element "bar" paints
// from a sprite sheet drawn by ImageMagick (skin/make-sheet.sh), every cell in a
// colour of its own (thumb cells with their two end pixels in two more), with
// edit and combo box descriptions, and real windows that record the scroll
// messages they receive.
#pragma once

#include "UiProbe.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

// The sheet's cell (row, column) colour; in the thumb rows the first and last
// two pixels along the thumb (kStart, kEnd) have colours of their own.
enum CellPart { kBody, kStart, kEnd };
COLORREF CellColor(int row, int column, CellPart part = kBody);

// A window of its own class (or the class name given, registered on first
// use), a popup without a parent, that records WM_HSCROLL, WM_VSCROLL and
// WM_NCLBUTTONDBLCLK and moves its bar's position as a program would.
HWND CreateScrollTarget(HWND parent, const RECT& rect, DWORD style,
                        const char* className = nullptr);
// The messages received since the last call: "V:1,0 V:8,0" is WM_VSCROLL
// SB_LINEDOWN and then SB_ENDSCROLL, each with its position; "D:2" a double
// click with hit code HTCAPTION.
std::string TakeScrolls(HWND window);

// Makes (x, y) on the screen the position GetMessagePos reports.
void PlaceCursor(int x, int y);

// Loads the skin (the sheet, "bar", the "commonctrl" items "scroller",
// naming "bar", and "panel", the edit and combo box descriptions), makes a top
// window skinned as "panel", and leaves nothing behind.
class ControlSkinTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    HWND m_top = nullptr;
};
