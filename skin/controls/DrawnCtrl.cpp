#include "DrawnCtrl.h"

#include "GDIImage.h"
#include "GdiObjects.h"

#include <windowsx.h>

namespace Velmora {

CDrawnCtrl::CDrawnCtrl(ISkinHost& host, WindowInfo* info, int windowKind)
    : CWindow(host, info), m_kind(windowKind) {}

LRESULT CDrawnCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_DESTROY:
        return OnDestroy(wParam, lParam);
    case WM_ERASEBKGND:
        return OnEraseBackground();
    case WM_MOVE:
    case WM_SIZE:
        // The background held lies under the former place.
        return OnPlaceChanged(message, wParam, lParam);
    case WM_PAINT:
        return OnPaint();
    case WM_SETCURSOR:
        return OnCursor(wParam, lParam);
    case WM_LBUTTONDOWN:
        return OnLButtonDown(point, wParam, lParam);
    case WM_LBUTTONUP:
        return OnLButtonUp(point, wParam, lParam);
    case WM_MOUSEMOVE:
        return OnMouseMove(point, wParam, lParam);
    case WM_MOUSELEAVE:
        return OnMouseLeave(wParam, lParam);
    default:
        return CallPrevious(message, wParam, lParam);
    }
}

void CDrawnCtrl::PaintLook(HDC dc, const RECT& client) {
    PaintItems(dc, m_kind, m_info->drawItems, STATE_NORMAL, client, -1, -1, nullptr);
}

void CDrawnCtrl::PaintContent(HDC, const RECT&) {}

LRESULT CDrawnCtrl::OnCursor(WPARAM wParam, LPARAM lParam) {
    return OnSetCursor(wParam, lParam);
}

LRESULT CDrawnCtrl::OnLButtonDown(POINT, WPARAM wParam, LPARAM lParam) {
    return CallPrevious(WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT CDrawnCtrl::OnLButtonUp(POINT, WPARAM wParam, LPARAM lParam) {
    return CallPrevious(WM_LBUTTONUP, wParam, lParam);
}

LRESULT CDrawnCtrl::OnMouseMove(POINT, WPARAM wParam, LPARAM lParam) {
    return CallPrevious(WM_MOUSEMOVE, wParam, lParam);
}

LRESULT CDrawnCtrl::OnMouseLeave(WPARAM wParam, LPARAM lParam) {
    return CallPrevious(WM_MOUSELEAVE, wParam, lParam);
}

RECT CDrawnCtrl::ClientRect() const {
    RECT client = {};
    if (m_hwnd)
        GetClientRect(m_hwnd, &client);
    return client;
}

void CDrawnCtrl::Invalidate() const {
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

void CDrawnCtrl::RepaintNow() const {
    if (!m_hwnd)
        return;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    UpdateWindow(m_hwnd);
}

bool CDrawnCtrl::PaintPart(HDC dc, const char* id, const RECT& rect) {
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

const GDIImage* CDrawnCtrl::PartImage(const char* id) const {
    const ImageItem* item = m_info ? m_info->drawItems.FindImage(id) : nullptr;
    if (!item)
        return nullptr;
    return FindItemImage(
        m_host, GetItemValue(m_host, SubItem(), m_hwnd, m_kind, *item, DRAWITEM_IMAGE), false);
}

// Into a canvas first, shown at once: what lies under the control (the
// background it took from its parent, else the system's face colour), the
// look, then the derived skin's content.
LRESULT CDrawnCtrl::OnPaint() {
    CPaintDC paint(m_hwnd);
    // Painted before its parent let it take its background: it takes it now.
    TakeBackgroundFromParent();
    const RECT client = ClientRect();
    CMemoryCanvas canvas;
    if (!paint.Get() || !canvas.Create(paint.Get(), client.right, client.bottom))
        return 0;
    HDC dc = canvas.GetDC();
    if (m_background.IsValid())
        BitBlt(dc, 0, 0, client.right, client.bottom, m_background.GetDC(), 0, 0, SRCCOPY);
    else
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (m_info)
        PaintLook(dc, client);
    PaintContent(dc, client);
    BitBlt(paint.Get(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    return 0;
}

} // namespace Velmora
