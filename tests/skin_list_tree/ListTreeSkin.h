// The skin of ListTreeSkin.xml, whose list, header and tree looks each have a
// colour of their own (below), real list views and tree windows skinned with
// it, and the messages the skinned controls post.
#pragma once

#include "UiProbe.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

constexpr COLORREF kListBack = RGB(240, 240, 240);
constexpr COLORREF kNormal = RGB(250, 250, 250);
constexpr COLORREF kOdd = RGB(200, 230, 200);
constexpr COLORREF kEven = RGB(230, 200, 230);
constexpr COLORREF kOver = RGB(200, 200, 250);
constexpr COLORREF kChecked = RGB(250, 200, 150);
constexpr COLORREF kSeparator = RGB(90, 90, 90);
constexpr COLORREF kBorder = RGB(255, 0, 255);
constexpr COLORREF kCellText = RGB(0, 0, 255);
constexpr COLORREF kRedStyle = RGB(200, 0, 0);
constexpr COLORREF kProgressBack = RGB(60, 60, 60);
constexpr COLORREF kProgressStep = RGB(0, 200, 0);
constexpr COLORREF kGoNormal = RGB(0, 0, 150);
constexpr COLORREF kGoOver = RGB(0, 150, 150);
constexpr COLORREF kGoDown = RGB(150, 150, 0);
constexpr COLORREF kMenuItem = RGB(0, 80, 0);
constexpr COLORREF kHeaderBack = RGB(180, 180, 120);
constexpr COLORREF kHeaderOver = RGB(120, 180, 180);
constexpr COLORREF kHeaderDown = RGB(180, 120, 180);
constexpr COLORREF kArrowUp = RGB(255, 128, 0);
constexpr COLORREF kArrowDown = RGB(0, 128, 255);
constexpr COLORREF kTallHeader = RGB(90, 90, 140);
constexpr COLORREF kRowA = RGB(200, 0, 0);
constexpr COLORREF kRowAOver = RGB(250, 100, 100);
constexpr COLORREF kRowASelected = RGB(255, 255, 0);
constexpr COLORREF kRowB = RGB(0, 0, 200);
constexpr COLORREF kExpandIcon = RGB(0, 255, 0);
constexpr COLORREF kCollapseIcon = RGB(0, 255, 255);
// The owner-drawn list's rows, as their parent measures them.
constexpr int kRowHeight = 18;
// The tree's background at y from the top of all rows.
COLORREF Stripe(int y);

struct Posted {
    HWND to;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

void Mouse(HWND window, UINT message, int x, int y);

class ListTreeTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // A report list view of rows x columns (80 wide, texts "r<row>c<column>")
    // at (10, 10), 300 x 200, skinned with the description id (when given).
    HWND MakeList(const char* id, int rows, int columns);
    // A plain child window skinned as the tree, 200 wide, at (320, 10).
    HWND MakeTree(int height);
    // The messages 0x2B14 and 0x2B17 posted since the last call.
    std::vector<Posted> TakePosted();
    HWND m_top = nullptr;
};
