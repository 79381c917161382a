// A loaded skin whose list, header and tree looks each have a colour of their
// own, real list views and tree windows to skin with it, and the messages the
// skinned controls post to their parents and to themselves.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The list ("list": odd and even rows; "plain": normal rows, its header "tall").
constexpr COLORREF kListBack = RGB(240, 240, 240);
constexpr COLORREF kNormal = RGB(250, 250, 250);
constexpr COLORREF kOdd = RGB(200, 230, 200);
constexpr COLORREF kEven = RGB(230, 200, 230);
constexpr COLORREF kOver = RGB(200, 200, 250);
constexpr COLORREF kChecked = RGB(250, 200, 150);
constexpr COLORREF kSeparator = RGB(90, 90, 90);
constexpr COLORREF kBorder = RGB(255, 0, 255);
// The style "default" shows the cell's text in its first 34 pixels and its
// progress item from 40 pixels on.
constexpr COLORREF kCellText = RGB(0, 0, 255);
constexpr COLORREF kRedStyle = RGB(200, 0, 0);
constexpr COLORREF kProgressBack = RGB(60, 60, 60);
constexpr COLORREF kProgressStep = RGB(0, 200, 0);
// The event item "go" (LButtonDown) by state, and "menu" (RButtonDown).
constexpr COLORREF kGoNormal = RGB(0, 0, 150);
constexpr COLORREF kGoOver = RGB(0, 150, 150);
constexpr COLORREF kGoDown = RGB(150, 150, 0);
constexpr COLORREF kMenuItem = RGB(0, 80, 0);
// The headers: "hdr" from a 24-pixel picture, "tall" 30 from its description.
constexpr COLORREF kHeaderBack = RGB(180, 180, 120);
constexpr COLORREF kHeaderOver = RGB(120, 180, 180);
constexpr COLORREF kHeaderDown = RGB(180, 120, 180);
constexpr COLORREF kArrowUp = RGB(255, 128, 0);
constexpr COLORREF kArrowDown = RGB(0, 128, 255);
constexpr COLORREF kTallHeader = RGB(90, 90, 140);
// The tree: rows of style "a" (by state) and "b" cover all but the right 50
// pixels, where the background of seven stripes shows, tiled over all rows.
constexpr COLORREF kRowA = RGB(200, 0, 0);
constexpr COLORREF kRowAOver = RGB(250, 100, 100);
constexpr COLORREF kRowASelected = RGB(255, 255, 0);
constexpr COLORREF kRowB = RGB(0, 0, 200);
constexpr COLORREF kExpandIcon = RGB(0, 255, 0);
constexpr COLORREF kCollapseIcon = RGB(0, 255, 255);
COLORREF Stripe(int y);

struct Posted {
    HWND to;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

void PumpMessages();
// A client pixel after the window painted what it had to.
COLORREF ClientPixel(HWND window, int x, int y);

class ListTreeTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // A report list view of rows x columns (columns 80 wide, texts "r<row>c<column>")
    // on the top window at (10, 10), 300 x 200, skinned with the description id.
    HWND MakeList(const char* id, int rows, int columns, DWORD exStyle = WS_EX_CLIENTEDGE);
    // A plain child window skinned as the tree, 200 wide, at (320, 10).
    HWND MakeTree(int height);
    // The messages 0x2B14 and 0x2B17 posted since the last call.
    std::vector<Posted> TakePosted();
    HWND m_top = nullptr;
};
