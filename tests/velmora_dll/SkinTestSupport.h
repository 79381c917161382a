// Skins and windows for the tests of the manager and of Velmora.dll: the
// painting skin, a plain window class, and pixels read back.
#pragma once

#include "UiProbe.h"

#include <windows.h>

#include <string>

// The painting skin filled with "red" or "green", committed in fixtures/ (see
// tests/skin_loading/fixtures/make-databases.sh): "commonctrl" fills the window
// (item "fill"), draws a blue line at y = 30 (item "rule") and shows the image
// "red" at 40,40 in 20x20 (item "pic"); the images "red" and "green" are 4x4
// bitmaps. "plain" fills with green; "dialogonly" exists only as a dialog.
std::string PaintingSkinDatabase(const std::string& fill);

// A visible topmost popup of a plain window class (white background).
HWND CreateTopWindow(int width, int height);
HWND CreateChildWindow(HWND parent, int x, int y, int width, int height, int id = 0);
// Whether the window procedure is no longer the plain class's.
bool IsHooked(HWND window);

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
