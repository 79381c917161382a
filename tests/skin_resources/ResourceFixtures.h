// Bitmaps and drawing surfaces that the skin resource tests make in code, so
// that what comes back can be checked pixel by pixel.
#pragma once

#include "Canvas.h"

#include <windows.h>

#include <cstdint>
#include <functional>

using PixelColor = std::function<COLORREF(int x, int y)>;

// A DIB section of the given depth. 8 bits get a palette of the colours used;
// 16 bits are 5-6-5 bit fields, or 5-5-5 with rgb555; the fourth byte of a
// 32-bit pixel is `fourthByte(x, y)` when given.
HBITMAP MakeDibSection(int bitsPerPixel, bool rgb555, int width, int height,
                       const PixelColor& color,
                       const std::function<uint8_t(int x, int y)>& fourthByte = nullptr);
