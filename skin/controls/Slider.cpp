#include "Slider.h"

#include "WindowKind.h"

#include <commctrl.h>

namespace Velmora {

CSlider::CSlider(ISkinHost& host, WindowInfo* info)
    : CDrawnCtrl(host, info, KindNumber(WindowKind::Slider)) {}

// When the trackbar moves its thumb (keys, mouse, wheel, its repeat timer, a
// new position or range) it repaints only the thumb's old and new places; the
// fill between them is the skin's, so such a move repaints the whole control.
LRESULT CSlider::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MOUSEWHEEL:
    case WM_TIMER:
    case TBM_SETPOS:
    case TBM_SETRANGE:
    case TBM_SETRANGEMIN:
    case TBM_SETRANGEMAX:
        break;
    default:
        return CDrawnCtrl::WindowProc(message, wParam, lParam);
    }
    const RECT before = ThumbRect();
    const LRESULT result = CDrawnCtrl::WindowProc(message, wParam, lParam);
    const RECT after = ThumbRect();
    if (!EqualRect(&before, &after))
        Invalidate();
    return result;
}

RECT CSlider::ThumbRect() {
    RECT thumb = {};
    if (m_hwnd)
        CallPrevious(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    return thumb;
}

// The release comes to the trackbar wherever the mouse is let go.
LRESULT CSlider::OnLButtonDown(POINT, WPARAM wParam, LPARAM lParam) {
    if (!m_captured) {
        SetCapture(m_hwnd);
        m_captured = true;
    }
    return CallPrevious(WM_LBUTTONDOWN, wParam, lParam);
}

// The trackbar ends its own drag first, with the notifications it sends for
// it; taking the capture away before would end the drag early.
LRESULT CSlider::OnLButtonUp(POINT, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(WM_LBUTTONUP, wParam, lParam);
    if (m_captured) {
        m_captured = false;
        if (GetCapture() == m_hwnd)
            ReleaseCapture();
    }
    return result;
}

void CSlider::PaintLook(HDC dc, const RECT& client) {
    PaintPart(dc, "slider.back", client);
    const RECT thumb = ThumbRect();
    // An upright trackbar fills from its top.
    RECT fill = {0, 0, thumb.left, client.bottom};
    if (GetWindowLongA(m_hwnd, GWL_STYLE) & TBS_VERT)
        fill = {0, 0, client.right, thumb.top};
    if (fill.right > 0 && fill.bottom > 0)
        PaintPart(dc, "slider.fill", fill);
}

} // namespace Velmora
