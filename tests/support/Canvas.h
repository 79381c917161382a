// A 32-bit top-down DIB section in a memory device context: tests paint into
// it and read every pixel back.
#pragma once

#include <windows.h>

#include <cstdint>

class CCanvas {
  public:
    // Starts filled with white.
    CCanvas(int width, int height);
    ~CCanvas();
    CCanvas(const CCanvas&) = delete;
    CCanvas& operator=(const CCanvas&) = delete;

    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void Fill(COLORREF color);
    COLORREF Pixel(int x, int y) const;

  private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    uint32_t* m_bits = nullptr;
};
