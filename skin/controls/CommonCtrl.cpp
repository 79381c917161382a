#include "CommonCtrl.h"

#include "Button.h"
#include "WindowKind.h"

namespace Velmora {

CCommonCtrl::CCommonCtrl(ISkinHost& host, WindowInfo* info) : CWindow(host, info) {}

void CCommonCtrl::Attach(HWND window) {
    CWindow::Attach(window);
    if (window)
        InstallWindowScrollBars();
}

LRESULT CCommonCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        return OnDestroy(wParam, lParam);
    case WM_SIZE:
        return OnSizeRedraw(wParam, lParam);
    case WM_ERASEBKGND:
        return OnEraseBackground();
    case WM_PAINT:
        return OnPaint();
    case WM_DRAWITEM:
        return OnDrawItem(wParam, lParam);
    case WM_MEASUREITEM:
        return OnMeasureItem(wParam, lParam);
    case WM_INITMENUPOPUP:
        return OnInitMenuPopup(wParam, lParam);
    case WM_NOTIFY:
        return OnNotify(wParam, lParam);
    case WM_CTLCOLORBTN:
        return OnCtlColorButton(wParam, lParam);
    case WM_CTLCOLOREDIT:
        return OnCtlColorEdit(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
        CButton::ToggleClicked(m_host, wParam, lParam);
        NotifyComboBox(HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return CallPrevious(message, wParam, lParam);
    default:
        return CallPrevious(message, wParam, lParam);
    }
}

LRESULT CCommonCtrl::OnPaint() {
    CPaintDC paint(m_hwnd);
    HDC dc = paint.Get();
    if (!dc)
        return 0;
    // Children that paint every pixel of their own are left out, so that the
    // copy below does not flash over them.
    ExcludeOpaqueChildren(dc, {SkinList::CommonCtrl, SkinList::Button, SkinList::MenuBar,
                               SkinList::Edit, SkinList::ComboBox, SkinList::Static,
                               SkinList::TabCtrl, SkinList::TabCtrlEx, SkinList::ToolBarEx,
                               SkinList::ListCtrl, SkinList::Progress, SkinList::Slider,
                               SkinList::SliderEx, SkinList::Animate});

    RECT client = {};
    GetClientRect(m_hwnd, &client);
    if (!m_background.IsValid() &&
        m_background.Create(dc, client.right - client.left, client.bottom - client.top)) {
        if (m_info)
            PaintItems(m_background.GetDC(), KindNumber(WindowKind::Generic), m_info->drawItems,
                       STATE_ALL, client, -1, -1, nullptr);
        LetChildrenCaptureBackground(m_background.GetDC(),
                                     {SkinList::GroupBox, SkinList::Button, SkinList::Static,
                                      SkinList::Edit, SkinList::TabCtrl, SkinList::TabCtrlEx,
                                      SkinList::ToolBarEx, SkinList::MenuBar, SkinList::Progress,
                                      SkinList::Slider, SkinList::SliderEx, SkinList::Animate});
    }
    if (m_background.IsValid())
        BitBlt(dc, 0, 0, m_background.GetWidth(), m_background.GetHeight(), m_background.GetDC(), 0,
               0, SRCCOPY);
    if (m_selfPaint)
        m_selfPaint->OnSelfPaint(dc, m_selfPaintValue);
    return 0;
}

void CCommonCtrl::Redraw(bool rebuild, const RECT* rect) {
    CWindow::Redraw(rebuild, rect);
    if (!rect || !m_hwnd)
        return;
    // Transparent children show this window's look through them: after it
    // changed they paint again over the new background.
    RedrawTransparentChildren(
        {SkinList::GroupBox, SkinList::Static, SkinList::Button, SkinList::Edit}, &m_background);
}

} // namespace Velmora
