#include "TabCtrl.h"

#include "GdiObjects.h"
#include "ItemCtrl.h"
#include "WindowKind.h"

namespace Velmora {

CTabCtrl::CTabCtrl(ISkinHost& host, WindowInfo* info) : CWindow(host, info) {}

LRESULT CTabCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        return OnDestroy(wParam, lParam);
    case WM_ERASEBKGND:
        return OnEraseBackground();
    case WM_SIZE:
        return OnSizeRedraw(wParam, lParam);
    case WM_PAINT:
        return OnPaint();
    case WM_SETCURSOR:
        return OnSetCursor(wParam, lParam);
    default:
        return CallPrevious(message, wParam, lParam);
    }
}

LRESULT CTabCtrl::OnPaint() {
    CPaintDC paint(m_hwnd);
    // Painted before its parent let it take its background: it takes it now.
    TakeBackgroundFromParent();
    CMemoryCanvas canvas;
    if (BeginControlLook(*this, KindNumber(WindowKind::TabCtrl), paint.Get(), canvas))
        BitBlt(paint.Get(), 0, 0, canvas.GetWidth(), canvas.GetHeight(), canvas.GetDC(), 0, 0,
               SRCCOPY);
    return 0;
}

} // namespace Velmora
