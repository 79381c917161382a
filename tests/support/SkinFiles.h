// Small picture and cursor files that the skin tests write to disk or put into
// skin databases, so that what a skin loads from them can be checked exactly.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// A whole 24-bit .bmp file, stored bottom-up with rows padded to four bytes;
// `color(x, y)` counts from the top left.
std::string MakeBmpFile(int width, int height, const std::function<COLORREF(int x, int y)>& color);
// The same file in one colour.
std::string MakeBmpFile(int width, int height, COLORREF color);

// A single-image monochrome .cur file; `inside(x, y)` (from the top left)
// marks the pixels drawn black, every other pixel is transparent.
std::string MakeCurFile(int width, int height, int hotSpotX, int hotSpotY,
                        const std::function<bool(int x, int y)>& inside);
