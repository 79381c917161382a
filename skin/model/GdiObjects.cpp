#include "GdiObjects.h"

namespace Velmora {

bool CMemoryCanvas::Create(HDC compatibleWith, int width, int height) {
    Reset();
    if (width <= 0 || height <= 0)
        return false;
    HDC dc = CreateCompatibleDC(compatibleWith);
    if (!dc)
        return false;
    HBITMAP bitmap = CreateCompatibleBitmap(compatibleWith, width, height);
    if (!bitmap) {
        DeleteDC(dc);
        return false;
    }
    Hold(dc, bitmap, width, height);
    return true;
}

bool CMemoryCanvas::Adopt(HDC compatibleWith, HBITMAP bitmap, int width, int height) {
    Reset();
    HDC dc = bitmap ? CreateCompatibleDC(compatibleWith) : nullptr;
    if (!dc) {
        if (bitmap)
            DeleteObject(bitmap);
        return false;
    }
    Hold(dc, bitmap, width, height);
    return true;
}

void CMemoryCanvas::Hold(HDC dc, HBITMAP bitmap, int width, int height) {
    m_dc = dc;
    m_bitmap = bitmap;
    m_previous = SelectObject(dc, bitmap);
    m_width = width;
    m_height = height;
}

void CMemoryCanvas::Reset() {
    if (m_dc) {
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
    }
    if (m_bitmap)
        DeleteObject(m_bitmap);
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_previous = nullptr;
    m_width = 0;
    m_height = 0;
}

} // namespace Velmora
