#include "ComboBox.h"

#include "GdiObjects.h"
#include "WindowKind.h"

namespace Velmora {

CComboBox::CComboBox(ISkinHost& host, WindowInfo* info) : CWindow(host, info) {}

void CComboBox::Attach(HWND window) {
    CWindow::Attach(window);
    if (window && m_hwnd)
        AddWindowStyle(CBS_OWNERDRAWFIXED);
}

LRESULT CComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        return OnDestroy(wParam, lParam);
    case WM_SIZE:
    case WM_MOVE:
        return OnPlaceChanged(message, wParam, lParam);
    case WM_PAINT:
        return OnPaint();
    case WM_ERASEBKGND:
        return OnEraseBackground();
    case WM_MOUSEMOVE:
        return OnMouseMove(wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return OnButton(message, wParam, lParam);
    case WM_MOUSELEAVE:
        return OnMouseLeave();
    default:
        return CallPrevious(message, wParam, lParam);
    }
}

void CComboBox::SetDroppedDown(bool dropped) {
    m_droppedDown = dropped;
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

// The skin's look of the state, with the current item drawn by the combo box
// itself inside its item rectangle only.
LRESULT CComboBox::OnPaint() {
    CPaintDC paint(m_hwnd);
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    CMemoryCanvas canvas;
    if (!paint.Get() || !canvas.Create(paint.Get(), client.right, client.bottom))
        return 0;
    HDC dc = canvas.GetDC();
    // What the skin's look leaves uncovered (rounded corners) shows the
    // parent's look.
    TakeBackgroundFromParent();
    if (m_background.IsValid())
        BitBlt(dc, 0, 0, client.right, client.bottom, m_background.GetDC(), 0, 0, SRCCOPY);
    int state = STATE_NORMAL;
    if (m_hovering || m_droppedDown)
        state = m_pressed ? STATE_DOWN : STATE_OVER;
    if (m_info)
        PaintItems(dc, KindNumber(WindowKind::ComboBox), m_info->drawItems, state, client, -1, -1,
                   nullptr);
    COMBOBOXINFO combo = {};
    combo.cbSize = sizeof(combo);
    if (GetComboBoxInfo(m_hwnd, &combo)) {
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, combo.rcItem.left, combo.rcItem.top, combo.rcItem.right,
                          combo.rcItem.bottom);
        CallPrevious(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), 0);
        RestoreDC(dc, saved);
    }
    BitBlt(paint.Get(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    return 0;
}

LRESULT CComboBox::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    if (!m_leaveTracking) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hwnd, 0};
        m_leaveTracking = TrackMouseEvent(&track) != FALSE;
    }
    if (!m_hovering) {
        m_hovering = true;
        InvalidateRect(m_hwnd, nullptr, FALSE);
    }
    return CallPrevious(WM_MOUSEMOVE, wParam, lParam);
}

LRESULT CComboBox::OnButton(UINT message, WPARAM wParam, LPARAM lParam) {
    m_pressed = message == WM_LBUTTONDOWN;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return CallPrevious(message, wParam, lParam);
}

LRESULT CComboBox::OnMouseLeave() {
    m_hovering = false;
    m_leaveTracking = false;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return 0;
}

} // namespace Velmora
