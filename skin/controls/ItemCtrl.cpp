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

const DrawItemGroup* CItemCtrl::StyleOf(const Item& item) const {
    if (!m_info)
        return nullptr;
    for (const auto& style : m_info->itemTemplates) {
        if (style->id == item.style)
            return style.get();
    }
    return nullptr;
}

int CItemCtrl::SetDrawItemVisibleEx(int row, int, const char* id, bool visible) {
    const int index = IndexOf(row);
    if (index < 0 || !id)
        return 0;
    m_items[static_cast<size_t>(index)].visible[id] = visible;
    Invalidate();
    return 1;
}

int CItemCtrl::SetDrawItemValueEx(int row, int, const char* id, const char* value) {
    const int index = IndexOf(row);
    if (index < 0 || !id || !value)
        return 0;
    m_items[static_cast<size_t>(index)].values[id] = value;
    Invalidate();
    return 1;
}

template <class Lookup>
std::unique_ptr<SubItemOverride> CItemCtrl::FindOverride(int row, const char* id,
                                                         Lookup lookup) const {
    const int index = IndexOf(row);
    if (index < 0 || !id)
        return nullptr;
    auto record = std::make_unique<SubItemOverride>();
    record->id = id;
    return lookup(m_items[static_cast<size_t>(index)], *record) ? std::move(record) : nullptr;
}

std::unique_ptr<SubItemOverride> CItemCtrl::GetSubItemValue(int row, int, const char* id) {
    return FindOverride(row, id, [id](const Item& item, SubItemOverride& record) {
        auto found = item.values.find(id);
        if (found == item.values.end())
            return false;
        record.value = found->second;
        return true;
    });
}

std::unique_ptr<SubItemOverride> CItemCtrl::GetSubItemVisible(int row, int, const char* id) {
    return FindOverride(row, id, [id](const Item& item, SubItemOverride& record) {
        auto found = item.visible.find(id);
        if (found == item.visible.end())
            return false;
        record.visible = found->second;
        return true;
    });
}

void CItemCtrl::PaintItem(HDC dc, const Item& item, int state, const RECT& rect,
                          const EventItem* hovered, const EventItem* pressed) {
    const DrawItemGroup* style = StyleOf(item);
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
