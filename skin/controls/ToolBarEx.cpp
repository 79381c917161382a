#include "ToolBarEx.h"

#include "WindowKind.h"

namespace Velmora {

CToolBarEx::CToolBarEx(ISkinHost& host, WindowInfo* info)
    : CItemCtrl(host, info, KindNumber(WindowKind::ToolBarEx)) {}

const ToolBarExInfo* CToolBarEx::Info() const {
    return static_cast<const ToolBarExInfo*>(m_info);
}

int CToolBarEx::AddItem(const char* style) {
    const int id = AppendItem(style).id;
    Invalidate();
    return id;
}

// The counter goes back only when the item held the highest id, so that ids
// stay unique; an item added after removing the last one reuses its id.
int CToolBarEx::RemoveItem(int id) {
    const int index = IndexOf(id);
    if (index < 0)
        return 0;
    m_items.erase(m_items.begin() + index);
    if (id == m_nextId - 1)
        --m_nextId;
    // A later item that gets this id again is not selected or hot by it.
    if (m_selected == id)
        m_selected = -1;
    if (m_hover == id)
        m_hover = -1;
    Invalidate();
    return 1;
}

int CToolBarEx::SetItemSelected(int id) {
    if (id < 0)
        return 0;
    m_selected = id;
    Invalidate();
    return 1;
}

RECT CToolBarEx::ItemRect(size_t index) const {
    const RECT client = ClientRect();
    const ToolBarExInfo* info = Info();
    if (!info)
        return {};
    const int place = static_cast<int>(index);
    if (info->horzLayout) {
        const int left = info->startX + place * (info->margin + info->itemWidth);
        return {left, 0, left + info->itemWidth, client.bottom};
    }
    const int top = info->startY + place * (info->margin + info->itemHeight);
    return {0, top, client.right, top + info->itemHeight};
}

int CToolBarEx::HitTest(POINT point) const {
    for (size_t index = 0; index < m_items.size(); ++index) {
        const RECT rect = ItemRect(index);
        if (PtInRect(&rect, point))
            return static_cast<int>(index);
    }
    return -1;
}

void CToolBarEx::PaintContent(HDC dc, const RECT&) {
    for (size_t index = 0; index < m_items.size(); ++index) {
        const Item& item = m_items[index];
        const int state = item.id == m_selected ? STATE_DOWN
                          : item.id == m_hover  ? STATE_OVER
                                                : STATE_NORMAL;
        PaintItem(dc, item, state, ItemRect(index), nullptr, nullptr);
    }
}

LRESULT CToolBarEx::OnCursor(WPARAM wParam, LPARAM lParam) {
    POINT point = {};
    GetCursorPos(&point);
    ScreenToClient(m_hwnd, &point);
    if (HitTest(point) >= 0)
        return OnSetCursor(wParam, lParam);
    return CallPrevious(WM_SETCURSOR, wParam, lParam);
}

LRESULT CToolBarEx::OnLButtonDown(POINT point, WPARAM wParam, LPARAM lParam) {
    const int index = HitTest(point);
    if (index >= 0) {
        const int id = m_items[static_cast<size_t>(index)].id;
        const bool checked = Info() && Info()->checked;
        if (!checked || id != m_selected)
            PostToParent(kItemClicked, static_cast<WPARAM>(ControlId()),
                         MAKELPARAM(m_selected, id));
        if (checked && id != m_selected) {
            m_selected = id;
            Invalidate();
        }
        SetCapture(m_hwnd);
    }
    return CallPrevious(WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT CToolBarEx::OnLButtonUp(POINT, WPARAM wParam, LPARAM lParam) {
    if (GetCapture() == m_hwnd)
        ReleaseCapture();
    Invalidate();
    return CallPrevious(WM_LBUTTONUP, wParam, lParam);
}

LRESULT CToolBarEx::OnMouseMove(POINT point, WPARAM wParam, LPARAM lParam) {
    const int index = HitTest(point);
    const int hover = index >= 0 ? m_items[static_cast<size_t>(index)].id : -1;
    if (hover != m_hover) {
        m_hover = hover;
        Invalidate();
        TrackMouseLeave();
    }
    return CallPrevious(WM_MOUSEMOVE, wParam, lParam);
}

LRESULT CToolBarEx::OnMouseLeave(WPARAM wParam, LPARAM lParam) {
    m_hover = -1;
    Invalidate();
    return CallPrevious(WM_MOUSELEAVE, wParam, lParam);
}

} // namespace Velmora
