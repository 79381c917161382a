// Real windows for the skinned-window tests: a window class whose own
// procedure records what reaches it, the tests' descriptions, and builders of
// window descriptions.
#pragma once

#include "WindowInfo.h"

#include <gtest/gtest.h>
#include "UiProbe.h"

#include <windows.h>

#include <memory>
#include <string>

// What the test class's own procedure saw for one window.
struct WindowRecord {
    int paints = 0;
    RECT lastPaint = {};
    // The window procedure installed while WM_NCDESTROY reached the class
    // procedure; null when it never did.
    WNDPROC procAtNcDestroy = nullptr;
};

// What the class procedure answers to WM_APP.
constexpr LRESULT kAppResult = 42;

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
WindowRecord& RecordOf(HWND window);

// Reads looks.xml, the tests' descriptions, into the manager.
bool LoadLooks();

// Without a parent: a visible, topmost popup that does not take the focus.
HWND CreateTestWindow(HWND parent, int x, int y, int width, int height, DWORD extraStyle = 0);

// Leaves no window, record or manager state behind for the next test.
class SkinWindowFixture : public ::testing::Test {
  protected:
    void TearDown() override;
    HWND m_top = nullptr;
};

template <class Item>
std::unique_ptr<Item> MakeBox(const std::string& id, int index, int left, int top, int width,
                              int height) {
    auto item = std::make_unique<Item>();
    item->id = id;
    item->index = index;
    item->left = left;
    item->top = top;
    item->width = width;
    item->height = height;
    return item;
}
