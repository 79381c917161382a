#include "Slider.h"

#include "WindowKind.h"

#include <commctrl.h>

namespace Velmora {

CSlider::CSlider(ISkinHost& host, WindowInfo* info)
    : CDrawnCtrl(host, info, KindNumber(WindowKind::Slider)) {}

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
    RECT thumb = {};
    CallPrevious(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    // An upright trackbar fills from its top.
    RECT fill = {0, 0, thumb.left, client.bottom};
    if (GetWindowLongA(m_hwnd, GWL_STYLE) & TBS_VERT)
        fill = {0, 0, client.right, thumb.top};
    if (fill.right > 0 && fill.bottom > 0)
        PaintPart(dc, "slider.fill", fill);
}

} // namespace Velmora
