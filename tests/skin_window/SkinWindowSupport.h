// Real windows for the skinned-window tests: a window class whose own
// procedure records what reaches it, top-level and child windows of it, and
// builders of window descriptions.
#pragma once

#include "WindowInfo.h"

#include <windows.h>

#include <memory>
#include <string>

// What the test class's own procedure saw for one window.
struct WindowRecord {
    int paints = 0;
    RECT lastPaint = {};
    // The window procedure installed while WM_NCDESTROY reached the class procedure.
    WNDPROC procAtNcDestroy = nullptr;
    bool ncDestroyed = false;
};

// Results the class procedure gives for messages a skin passes on unchanged.
constexpr LRESULT kAppResult = 42;
constexpr LRESULT kDrawItemResult = 55;
constexpr LRESULT kCtlColorResult = 77;

WNDPROC TestWindowProc();
WindowRecord& RecordOf(HWND window);
void ForgetRecords();

// A visible, topmost popup whose client area is width x height at (x, y).
HWND CreateTopWindow(int x, int y, int width, int height);
HWND CreateChildWindow(HWND parent, int x, int y, int width, int height, DWORD extraStyle = 0);
// Handles every message waiting for this thread.
void PumpMessages();
// The window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window);
// Validates the whole window and forgets its paints, so that only what comes
// next is seen.
void ResetPaints(HWND window);
COLORREF PixelOf(HWND window, int x, int y);

std::unique_ptr<Velmora::TextItem> MakeText(const std::string& id, int index, int left, int top,
                                            int width, int height);
std::unique_ptr<Velmora::ImageItem> MakeImage(const std::string& id, int index, int left, int top,
                                              int width, int height);
// A filled rectangle without border from (left, top) to (right, bottom) as
// the surface syntax counts them (0 or less counts from the far edge).
std::unique_ptr<Velmora::SurfaceItem> MakeFill(const std::string& id, int index, int left, int top,
                                               int right, int bottom, COLORREF color,
                                               int state = Velmora::STATE_ALL);
std::unique_ptr<Velmora::LineItem> MakeLine(const std::string& id, int index, int x1, int y1,
                                            int x2, int y2, COLORREF color);
