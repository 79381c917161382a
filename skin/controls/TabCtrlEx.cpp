#include "TabCtrlEx.h"

#include "WindowKind.h"

#include <algorithm>

namespace Velmora {

namespace {

constexpr char kLeftArrow[] = "tabscrollleft";
constexpr char kRightArrow[] = "tabscrollright";

} // namespace

CTabCtrlEx::CTabCtrlEx(ISkinHost& host, WindowInfo* info)
    : CItemCtrl(host, info, KindNumber(WindowKind::TabCtrlEx)) {}

const TabCtrlExInfo* CTabCtrlEx::Info() const {
    return static_cast<const TabCtrlExInfo*>(m_info);
}

int CTabCtrlEx::Margin() const {
    return Info() ? Info()->margin : 0;
}

int CTabCtrlEx::ItemWidth() const {
    return Info() ? Info()->itemWidth : 0;
}

int CTabCtrlEx::Pitch() const {
    return Margin() + ItemWidth();
}

int CTabCtrlEx::TotalWidth() const {
    return Pitch() * static_cast<int>(m_items.size());
}

int CTabCtrlEx::VisibleWidth() const {
    int arrows = 0;
    for (const char* id : {kLeftArrow, kRightArrow}) {
        if (const EventItem* arrow = Arrow(id))
            arrows += arrow->width;
    }
    return std::max(0, static_cast<int>(ClientRect().right) - arrows);
}

const EventItem* CTabCtrlEx::Arrow(const char* id) const {
    if (!m_info)
        return nullptr;
    for (const auto& event : m_info->eventItems) {
        if (event->id == id)
            return event.get();
    }
    return nullptr;
}

RECT CTabCtrlEx::ItemRect(size_t index) const {
    const RECT client = ClientRect();
    const int left = Margin() + static_cast<int>(index) * Pitch() - m_offset;
    return {left, 0, left + ItemWidth(), client.bottom};
}

CTabCtrlEx::Hit CTabCtrlEx::HitTest(POINT point) const {
    Hit hit;
    const int visible = VisibleWidth();
    for (size_t index = 0; index < m_items.size(); ++index) {
        RECT rect = ItemRect(index);
        if (rect.left >= visible)
            break;
        const RECT frame = rect;
        rect.right = std::min<LONG>(rect.right, visible);
        if (!PtInRect(&rect, point))
            continue;
        hit.index = static_cast<int>(index);
        if (const DrawItemGroup* style = FindItemTemplate(m_items[index].style)) {
            for (const auto& event : style->eventItems) {
                const RECT area = EventItemRect(*event, frame);
                if (event->visible && PtInRect(&area, point)) {
                    hit.event = event.get();
                    break;
                }
            }
        }
        break;
    }
    return hit;
}

bool CTabCtrlEx::OnArrow(const char* id, POINT point) const {
    const EventItem* arrow = Arrow(id);
    if (!arrow)
        return false;
    const RECT rect = EventItemRect(*arrow, ClientRect());
    return PtInRect(&rect, point) != FALSE;
}

int CTabCtrlEx::AddItem(const char* style) {
    const int id = AppendItem(style).id;
    if (Scrolls()) {
        m_offset = TotalWidth() - VisibleWidth();
        m_leftState = STATE_NORMAL;
    }
    m_rightState = STATE_DISABLE;
    m_selected = id;
    Invalidate();
    return id;
}

int CTabCtrlEx::RemoveItem(int id) {
    const int index = IndexOf(id);
    if (index < 0)
        return 0;
    m_items.erase(m_items.begin() + index);
    if (m_hover == id) {
        m_hover = -1;
        m_hoverEvent = nullptr;
    }
    if (m_pressed == id) {
        m_pressed = -1;
        m_pressedEvent = nullptr;
    }
    if (id == m_selected && !m_items.empty()) {
        auto next = std::find_if(m_items.begin(), m_items.end(),
                                 [id](const Item& item) { return item.id > id; });
        m_selected = next != m_items.end() ? next->id : m_items.back().id;
    }
    if (m_offset > ItemWidth())
        m_offset -= ItemWidth();
    if (!Scrolls()) {
        m_offset = 0;
        m_leftState = STATE_DISABLE;
        m_rightState = STATE_DISABLE;
    }
    Invalidate();
    return 1;
}

int CTabCtrlEx::SetItemSelected(int id) {
    m_selected = id;
    Invalidate();
    return 1;
}

void CTabCtrlEx::ClickArrows(POINT point) {
    const int total = TotalWidth();
    const int visible = VisibleWidth();
    if (m_leftState != STATE_DISABLE && OnArrow(kLeftArrow, point)) {
        m_leftState = STATE_DOWN;
        if (m_offset - Margin() > ItemWidth()) {
            m_offset -= Pitch();
        } else {
            m_offset = 0;
            m_leftState = STATE_DISABLE;
        }
        if (total > m_offset + visible)
            m_rightState = STATE_NORMAL;
        Invalidate();
    } else if (m_rightState != STATE_DISABLE && OnArrow(kRightArrow, point)) {
        m_rightState = STATE_DOWN;
        if (total - m_offset - visible - Margin() > ItemWidth()) {
            m_offset += Pitch();
            m_leftState = STATE_NORMAL;
        } else {
            m_offset = total - visible;
            m_rightState = STATE_DISABLE;
            if (m_offset >= 1)
                m_leftState = STATE_NORMAL;
        }
        Invalidate();
    }
}

// Edges measured without the scroll offset.
void CTabCtrlEx::MakeVisible(size_t index) {
    const int visible = VisibleWidth();
    const int left = Margin() + static_cast<int>(index) * Pitch();
    const int right = left + ItemWidth();
    if (left <= m_offset)
        m_offset = left - Margin();
    else if (right >= m_offset + visible)
        m_offset = right - visible;
    m_leftState = m_offset < 1 ? STATE_DISABLE : STATE_NORMAL;
    m_rightState = Margin() + visible + m_offset < TotalWidth() ? STATE_NORMAL : STATE_DISABLE;
}

bool CTabCtrlEx::FollowMouseWithArrows(const POINT* point) {
    bool changed = false;
    for (auto [id, state] : {std::pair{kLeftArrow, &m_leftState}, {kRightArrow, &m_rightState}}) {
        // A pressed arrow keeps its look while the button is held.
        if (*state == STATE_DISABLE || (*state == STATE_DOWN && GetCapture() == m_hwnd))
            continue;
        const int look = point && OnArrow(id, *point) ? STATE_OVER : STATE_NORMAL;
        changed = changed || look != *state;
        *state = look;
    }
    return changed;
}

// The tabs in the width beside the arrows, then the arrows while the tabs do
// not fit.
void CTabCtrlEx::PaintContent(HDC dc, const RECT& client) {
    const int visible = VisibleWidth();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, 0, 0, visible, client.bottom);
    for (size_t index = 0; index < m_items.size(); ++index) {
        const RECT rect = ItemRect(index);
        if (rect.right <= 0)
            continue;
        if (rect.left >= visible)
            break;
        const Item& item = m_items[index];
        const int state = item.id == m_selected ? STATE_DOWN
                          : item.id == m_hover  ? STATE_OVER
                                                : STATE_NORMAL;
        PaintItem(dc, item, state, rect, item.id == m_hover ? m_hoverEvent : nullptr,
                  item.id == m_pressed ? m_pressedEvent : nullptr);
    }
    RestoreDC(dc, saved);
    if (!Scrolls())
        return;
    for (auto [id, state] : {std::pair{kLeftArrow, m_leftState}, {kRightArrow, m_rightState}}) {
        if (const EventItem* arrow = Arrow(id))
            PaintItems(dc, Kind(), arrow->drawItems, state, EventItemRect(*arrow, client), -1, -1,
                       nullptr);
    }
}

LRESULT CTabCtrlEx::OnLButtonDown(POINT point, WPARAM, LPARAM) {
    const Hit hit = HitTest(point);
    if (hit.index >= 0) {
        const int id = m_items[static_cast<size_t>(hit.index)].id;
        if (hit.event) {
            m_pressed = id;
            m_pressedEvent = hit.event;
            PostToParent(kEventItemClicked, MAKEWPARAM(ControlId(), id),
                         reinterpret_cast<LPARAM>(hit.event->id.c_str()));
        } else if (id != m_selected) {
            PostToParent(kSelectionChanged, static_cast<WPARAM>(ControlId()),
                         MAKELPARAM(m_selected, id));
            m_selected = id;
            MakeVisible(static_cast<size_t>(hit.index));
            Invalidate();
        }
    }
    ClickArrows(point);
    SetCapture(m_hwnd);
    return 0;
}

LRESULT CTabCtrlEx::OnLButtonUp(POINT, WPARAM, LPARAM) {
    if (GetCapture() == m_hwnd)
        ReleaseCapture();
    m_pressed = -1;
    m_pressedEvent = nullptr;
    // A released arrow shows "over" or "normal" again.
    POINT point = {};
    GetCursorPos(&point);
    ScreenToClient(m_hwnd, &point);
    FollowMouseWithArrows(&point);
    Invalidate();
    return 0;
}

LRESULT CTabCtrlEx::OnMouseMove(POINT point, WPARAM wParam, LPARAM lParam) {
    const Hit hit = HitTest(point);
    const int hover = hit.index >= 0 ? m_items[static_cast<size_t>(hit.index)].id : -1;
    bool changed = hover != m_hover || hit.event != m_hoverEvent;
    m_hover = hover;
    m_hoverEvent = hit.event;
    changed = FollowMouseWithArrows(&point) || changed;
    if (changed) {
        Invalidate();
        TrackMouseLeave();
    }
    return CallPrevious(WM_MOUSEMOVE, wParam, lParam);
}

LRESULT CTabCtrlEx::OnMouseLeave(WPARAM wParam, LPARAM lParam) {
    m_hover = -1;
    m_hoverEvent = nullptr;
    FollowMouseWithArrows(nullptr);
    Invalidate();
    return CallPrevious(WM_MOUSELEAVE, wParam, lParam);
}

} // namespace Velmora
