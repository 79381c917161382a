#include "Canvas.h"

CCanvas::CCanvas(int width, int height) : m_width(width), m_height(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<uint32_t*>(bits);
    m_previous = SelectObject(m_dc, m_bitmap);
    Fill(RGB(255, 255, 255));
}

CCanvas::~CCanvas() {
    SelectObject(m_dc, m_previous);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

void CCanvas::Fill(COLORREF color) {
    GdiFlush();
    const uint32_t value = GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color);
    for (int i = 0; i < m_width * m_height; ++i)
        m_bits[i] = value;
}

COLORREF CCanvas::Pixel(int x, int y) const {
    GdiFlush();
    const uint32_t value = m_bits[y * m_width + x];
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}
