#include "BufferedControl.h"

#include "GDIImage.h"

namespace Velmora {

CBufferedControl::CBufferedControl(ISkinHost& host, WindowInfo* info, int windowKind)
    : CWindow(host, info), m_kind(windowKind) {}

bool CBufferedControl::RouteShared(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_DESTROY:
        result = OnDestroy(wParam, lParam);
        return true;
    case WM_ERASEBKGND:
        result = OnEraseBackground();
        return true;
    case WM_PAINT:
        result = OnPaint();
        return true;
    case WM_SETCURSOR:
        result = OnSetCursor(wParam, lParam);
        return true;
    case WM_MOVE:
    case WM_SIZE:
        // The background held lies under the former place.
        result = OnPlaceChanged(message, wParam, lParam);
        return true;
    default:
        return false;
    }
}

LRESULT CBufferedControl::OnPaint() {
    CPaintDC paint(m_hwnd);
    HDC dc = paint.Get();
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    if (!dc || client.right <= 0 || client.bottom <= 0)
        return 0;
    if (m_image.GetWidth() != client.right || m_image.GetHeight() != client.bottom)
        m_image.Reset();
    if (!m_image.IsValid() && !m_image.Create(dc, client.right, client.bottom))
        return 0;
    HDC image = m_image.GetDC();
    TakeBackgroundFromParent();
    if (m_background.IsValid())
        BitBlt(image, 0, 0, client.right, client.bottom, m_background.GetDC(), 0, 0, SRCCOPY);
    else
        FillRect(image, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (m_info)
        PaintContent(image, client);
    BitBlt(dc, 0, 0, client.right, client.bottom, image, 0, 0, SRCCOPY);
    return 0;
}

bool CBufferedControl::PaintPart(HDC dc, const char* id, const RECT& rect) {
    if (!m_info)
        return false;
    DrawItemList& items = m_info->drawItems;
    if (ImageItem* image = items.FindImage(id)) {
        m_imageHelper.Paint(m_host, m_hwnd, m_kind, dc, items, image, rect, SubItem(), nullptr,
                            image->index);
        return true;
    }
    if (SurfaceItem* surface = items.FindSurface(id)) {
        m_surfaceHelper.Paint(m_host, m_hwnd, m_kind, dc, items, surface, rect, SubItem(), nullptr,
                              surface->index);
        return true;
    }
    return false;
}

const GDIImage* CBufferedControl::PartImage(const char* id) const {
    const ImageItem* item = m_info ? m_info->drawItems.FindImage(id) : nullptr;
    if (!item)
        return nullptr;
    return FindItemImage(
        m_host, GetItemValue(m_host, SubItem(), m_hwnd, m_kind, *item, DRAWITEM_IMAGE), false);
}

void CBufferedControl::RepaintNow() {
    if (!m_hwnd)
        return;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    UpdateWindow(m_hwnd);
}

} // namespace Velmora
