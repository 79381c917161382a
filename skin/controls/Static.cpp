#include "Static.h"

#include "WindowKind.h"

namespace Velmora {

CStatic::CStatic(ISkinHost& host, WindowInfo* info) : CWindow(host, info) {}

LRESULT CStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        return OnDestroy(wParam, lParam);
    case WM_SIZE:
    case WM_MOVE:
        return OnPlaceChanged(message, wParam, lParam);
    case WM_PAINT:
        return OnPaint();
    case WM_SETCURSOR:
        return OnSetCursor(wParam, lParam);
    case WM_NCHITTEST:
        // Without SS_NOTIFY a static lets the mouse through; skinned, it shows
        // over and down all the same.
        return HTCLIENT;
    case WM_MOUSEMOVE:
        if (m_hovering)
            return CallPrevious(message, wParam, lParam);
        m_hovering = true;
        TrackMouseLeave();
        return Repainted(message, wParam, lParam);
    case WM_MOUSELEAVE:
        m_hovering = false;
        return Repainted(message, wParam, lParam);
    case WM_LBUTTONDOWN:
        m_pressed = true;
        SetCapture(m_hwnd);
        return Repainted(message, wParam, lParam);
    case WM_LBUTTONUP:
        m_pressed = false;
        ReleaseCapture();
        return Repainted(message, wParam, lParam);
    case WM_SETTEXT:
    case WM_ENABLE:
        // The system paints a static's new text or state at once, in its own
        // look; the skin paints over it.
        return Repainted(message, wParam, lParam);
    default:
        return CallPrevious(message, wParam, lParam);
    }
}

LRESULT CStatic::Repainted(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(message, wParam, lParam);
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return result;
}

LRESULT CStatic::OnPaint() {
    CPaintDC paint(m_hwnd);
    HDC dc = paint.Get();
    if (!dc)
        return 0;
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    CMemoryCanvas image;
    if (!image.Create(dc, client.right, client.bottom))
        return 0;
    TakeBackgroundFromParent();
    if (m_background.IsValid())
        BitBlt(image.GetDC(), 0, 0, client.right, client.bottom, m_background.GetDC(), 0, 0,
               SRCCOPY);
    int state = STATE_NORMAL;
    if (!IsWindowEnabled(m_hwnd))
        state = STATE_DISABLE;
    else if (m_hovering)
        state = m_pressed ? STATE_DOWN : STATE_OVER;
    if (m_info)
        PaintItems(image.GetDC(), KindNumber(WindowKind::Static), m_info->drawItems, state, client,
                   -1, -1, nullptr);
    BitBlt(dc, 0, 0, client.right, client.bottom, image.GetDC(), 0, 0, SRCCOPY);
    if (m_selfPaint)
        m_selfPaint->OnSelfPaint(dc, m_selfPaintValue);
    return 0;
}

} // namespace Velmora
