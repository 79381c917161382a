#include "ItemCtrl.h"

#include "DrawHelpers.h"

namespace Velmora {

RECT EventItemRect(const EventItem& item, const RECT& frame) {
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT rect;
    rect.left = ResolveNearEdge(item.left, frame.left, width);
    rect.top = ResolveNearEdge(item.top, frame.top, height);
    rect.right = item.width > 0 ? rect.left + item.width : frame.right + item.width;
    rect.bottom = item.height > 0 ? rect.top + item.height : frame.bottom + item.height;
    return rect;
}

CItemCtrl::CItemCtrl(ISkinHost& host, WindowInfo* info, int windowKind)
    : CDrawnCtrl(host, info, windowKind) {}

CItemCtrl::Item& CItemCtrl::AppendItem(const char* style) {
    Item item;
    item.id = m_nextId;
    item.style = style ? style : "";
    m_items.push_back(std::move(item));
    ++m_nextId;
    return m_items.back();
}

int CItemCtrl::IndexOf(int id) const {
    for (size_t index = 0; index < m_items.size(); ++index) {
        if (m_items[index].id == id)
            return static_cast<int>(index);
    }
    return -1;
}

int CItemCtrl::SetDrawItemVisibleEx(int row, int, const char* id, bool visible) {
    const int index = IndexOf(row);
    if (index < 0 || !id)
        return 0;
    m_items[static_cast<size_t>(index)].overrides.SetVisible(id, visible);
    Invalidate();
    return 1;
}

int CItemCtrl::SetDrawItemValueEx(int row, int, const char* id, const char* value) {
    const int index = IndexOf(row);
    if (index < 0 || !id || !value)
        return 0;
    m_items[static_cast<size_t>(index)].overrides.SetValue(id, value);
    Invalidate();
    return 1;
}

std::unique_ptr<SubItemOverride> CItemCtrl::GetSubItemValue(int row, int, const char* id) {
    const int index = IndexOf(row);
    return index < 0 || !id ? nullptr
                            : m_items[static_cast<size_t>(index)].overrides.ValueRecord(id);
}

std::unique_ptr<SubItemOverride> CItemCtrl::GetSubItemVisible(int row, int, const char* id) {
    const int index = IndexOf(row);
    return index < 0 || !id ? nullptr
                            : m_items[static_cast<size_t>(index)].overrides.VisibleRecord(id);
}

void CItemCtrl::PaintItem(HDC dc, const Item& item, int state, const RECT& rect,
                          const EventItem* hovered, const EventItem* pressed) {
    const DrawItemGroup* style = FindItemTemplate(item.style);
    if (!style)
        return;
    // Column 0: the painters ask this skin for the item's overrides by its id.
    PaintItems(dc, Kind(), style->drawItems, state, rect, item.id, 0, nullptr);
    for (const auto& event : style->eventItems) {
        if (!event->visible)
            continue;
        const int look = event.get() == pressed   ? STATE_DOWN
                         : event.get() == hovered ? STATE_OVER
                                                  : STATE_NORMAL;
        PaintItems(dc, Kind(), event->drawItems, look, EventItemRect(*event, rect), item.id, 0,
                   nullptr);
    }
}

void CItemCtrl::PostToParent(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (HWND parent = GetParent(m_hwnd))
        PostMessageA(parent, message, wParam, lParam);
}

} // namespace Velmora
