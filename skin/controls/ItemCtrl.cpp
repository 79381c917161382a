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

bool BeginControlLook(CWindow& skin, int windowKind, HDC paintDc, CMemoryCanvas& canvas) {
    HWND window = skin.GetHwnd();
    RECT client = {};
    GetClientRect(window, &client);
    if (!paintDc || !canvas.Create(paintDc, client.right, client.bottom))
        return false;
    const CMemoryCanvas& background = skin.GetBackground();
    if (background.IsValid())
        BitBlt(canvas.GetDC(), 0, 0, client.right, client.bottom, background.GetDC(), 0, 0,
               SRCCOPY);
    else
        FillRect(canvas.GetDC(), &client, GetSysColorBrush(COLOR_BTNFACE));
    if (const WindowInfo* info = skin.GetInfo())
        skin.PaintItems(canvas.GetDC(), windowKind, info->drawItems, STATE_NORMAL, client, -1, -1,
                        nullptr);
    return true;
}

CItemCtrl::CItemCtrl(ISkinHost& host, WindowInfo* info) : CWindow(host, info) {}

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

std::unique_ptr<SubItemOverride> CItemCtrl::GetSubItemValue(int row, int, const char* id) {
    const int index = IndexOf(row);
    if (index < 0 || !id)
        return nullptr;
    const auto& values = m_items[static_cast<size_t>(index)].values;
    auto found = values.find(id);
    if (found == values.end())
        return nullptr;
    auto record = std::make_unique<SubItemOverride>();
    record->id = id;
    record->value = found->second;
    return record;
}

std::unique_ptr<SubItemOverride> CItemCtrl::GetSubItemVisible(int row, int, const char* id) {
    const int index = IndexOf(row);
    if (index < 0 || !id)
        return nullptr;
    const auto& visible = m_items[static_cast<size_t>(index)].visible;
    auto found = visible.find(id);
    if (found == visible.end())
        return nullptr;
    auto record = std::make_unique<SubItemOverride>();
    record->id = id;
    record->visible = found->second;
    return record;
}

void CItemCtrl::PaintItem(HDC dc, int windowKind, const Item& item, int state, const RECT& rect,
                          const EventItem* hovered, const EventItem* pressed) {
    const DrawItemGroup* style = StyleOf(item);
    if (!style)
        return;
    // Column 0: the painters ask this skin for the item's overrides by its id.
    PaintItems(dc, windowKind, style->drawItems, state, rect, item.id, 0, nullptr);
    for (const auto& event : style->eventItems) {
        if (!event->visible)
            continue;
        const int look = event.get() == pressed   ? STATE_DOWN
                         : event.get() == hovered ? STATE_OVER
                                                  : STATE_NORMAL;
        PaintItems(dc, windowKind, event->drawItems, look, EventItemRect(*event, rect), item.id, 0,
                   nullptr);
    }
}

void CItemCtrl::PostToParent(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (HWND parent = GetParent(m_hwnd))
        PostMessageA(parent, message, wParam, lParam);
}

void CItemCtrl::Invalidate() const {
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

} // namespace Velmora
