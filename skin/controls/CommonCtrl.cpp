#include "CommonCtrl.h"

#include "Manager.h"

namespace Velmora {

namespace {

// The window kind the generic skin paints its items as.
constexpr int kCommonCtrlKind = 1;

} // namespace

CCommonCtrl::CCommonCtrl(WindowInfo* info) : CWindow(info) {}

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
    case WM_CTLCOLORBTN:
        return OnCtlColorButton(wParam, lParam);
    default:
        return CallPrevious(message, wParam, lParam);
    }
}

LRESULT CCommonCtrl::OnPaint() {
    PAINTSTRUCT paint = {};
    HDC dc = BeginPaint(m_hwnd, &paint);
    if (!dc)
        return 0;
    CManager* manager = CManager::Instance();

    // Children that paint every pixel of their own are left out, so that the
    // copy below does not flash over them.
    const auto opaque = manager->SkinnedChildren(
        m_hwnd, {SkinList::CommonCtrl, SkinList::Button, SkinList::MenuBar, SkinList::Edit,
                 SkinList::ComboBox, SkinList::Static, SkinList::TabCtrlEx, SkinList::ToolBarEx,
                 SkinList::ListCtrl});
    for (CWindow* child : opaque) {
        HWND childWindow = child->GetHwnd();
        if (!childWindow || !IsWindowVisible(childWindow) || child->IsTransparent())
            continue;
        RECT rect = {};
        GetWindowRect(childWindow, &rect);
        MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&rect), 2);
        ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    }

    RECT client = {};
    GetClientRect(m_hwnd, &client);
    if (!m_background.IsValid() &&
        m_background.Create(dc, client.right - client.left, client.bottom - client.top)) {
        if (m_info)
            PaintItems(m_background.GetDC(), kCommonCtrlKind, m_info->drawItems, STATE_ALL, client,
                       -1, -1, nullptr);
        const auto capturing = manager->SkinnedChildren(
            m_hwnd, {SkinList::GroupBox, SkinList::Button, SkinList::Static, SkinList::Edit,
                     SkinList::ToolBarEx});
        for (CWindow* child : capturing)
            child->CaptureBackground(m_background.GetDC());
    }
    if (m_background.IsValid())
        BitBlt(dc, 0, 0, m_background.GetWidth(), m_background.GetHeight(), m_background.GetDC(), 0,
               0, SRCCOPY);
    if (m_selfPaint)
        m_selfPaint->OnSelfPaint(dc, m_selfPaintValue);
    EndPaint(m_hwnd, &paint);
    return 0;
}

void CCommonCtrl::Redraw(bool rebuild, const RECT* rect) {
    CWindow::Redraw(rebuild, rect);
    if (!rect || !m_hwnd)
        return;
    // Transparent children show this window's look through them: after it
    // changed they paint again over the new background.
    const auto children = CManager::Instance()->SkinnedChildren(
        m_hwnd, {SkinList::GroupBox, SkinList::Static, SkinList::Button, SkinList::Edit});
    for (CWindow* child : children) {
        if (!child->IsTransparent())
            continue;
        child->Redraw(true, nullptr);
        // A child whose rebuild dropped the background it just took from
        // this window's paint takes it again, or it would paint over nothing.
        if (!child->GetBackground().IsValid() && m_background.IsValid()) {
            child->CaptureBackground(m_background.GetDC());
            child->Redraw(false, nullptr);
        }
    }
}

} // namespace Velmora
