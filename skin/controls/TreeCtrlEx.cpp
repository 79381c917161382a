#include "TreeCtrlEx.h"

#include "DrawHelpers.h"
#include "GdiObjects.h"
#include "WindowKind.h"

#include <windowsx.h>

#include <algorithm>

namespace Velmora {

namespace {

constexpr int kTreeKind = KindNumber(WindowKind::TreeCtrlEx);
// Posted to the tree itself after a dragged item was dropped: wParam the
// item dropped on, lParam the item moved.
constexpr UINT kDropMessage = 0x2B17;
constexpr char kDefaultText[] = "default";
constexpr char kExpandIcon[] = "expand.icon";
constexpr char kCollapseIcon[] = "collapse.icon";

// Handles are numbers no tree hands out twice in a process: a deleted item's
// handle, or another tree's, never names an item.
uintptr_t g_lastHandle = 0;

POINT PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

} // namespace

CTreeCtrlEx::CTreeCtrlEx(ISkinHost& host, WindowInfo* info) : CWindow(host, info) {}

CTreeCtrlEx::~CTreeCtrlEx() = default;

void CTreeCtrlEx::Attach(HWND window) {
    CWindow::Attach(window);
    if (window && m_hwnd) {
        InstallWindowScrollBars();
        UpdateScrollBar();
    }
}

LRESULT CTreeCtrlEx::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        return OnDestroy(wParam, lParam);
    case WM_PAINT:
        return OnPaint(wParam, lParam);
    case WM_ERASEBKGND:
        return OnEraseBackground();
    case WM_SIZE:
        CallPrevious(message, wParam, lParam);
        UpdateScrollBar();
        return 0;
    case WM_VSCROLL:
        return OnVScroll(LOWORD(wParam));
    case WM_MOUSEWHEEL:
        OnVScroll(GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? SB_LINEUP : SB_LINEDOWN);
        return 0;
    case WM_MOUSEMOVE:
        return OnMouseMove(wParam, PointOf(lParam));
    case WM_LBUTTONDOWN:
        return OnLButtonDown(wParam, PointOf(lParam));
    case WM_LBUTTONUP:
        return OnLButtonUp(wParam, PointOf(lParam));
    case WM_MOUSELEAVE:
        return OnMouseLeave();
    case WM_CAPTURECHANGED:
        m_dragging = false;
        return CallPrevious(message, wParam, lParam);
    default:
        return CallPrevious(message, wParam, lParam);
    }
}

CTreeCtrlEx::Item* CTreeCtrlEx::Find(void* handle) const {
    auto found = m_items.find(reinterpret_cast<uintptr_t>(handle));
    return found == m_items.end() ? nullptr : const_cast<Item*>(&found->second);
}

void* CTreeCtrlEx::HandleOf(const Item* item) {
    return item ? reinterpret_cast<void*>(item->handle) : nullptr;
}

int CTreeCtrlEx::RowHeight(const Item& item) const {
    return m_heights[item.parent ? 1 : 0][item.selected ? 1 : 0];
}

int CTreeCtrlEx::ChildRowsHeight(const Item& item) const {
    if (!item.expanded)
        return 0;
    return (item.children - item.selectedChildren) * m_heights[1][0] +
           item.selectedChildren * m_heights[1][1];
}

int CTreeCtrlEx::TotalHeight() const {
    return (m_topRows - m_selectedTopRows) * m_heights[0][0] + m_selectedTopRows * m_heights[0][1] +
           (m_childRows - m_selectedChildRows) * m_heights[1][0] +
           m_selectedChildRows * m_heights[1][1];
}

void CTreeCtrlEx::Count(const Item& item, int sign) {
    ++m_layoutChanges;
    if (!item.parent) {
        m_topRows += sign;
        m_selectedTopRows += item.selected ? sign : 0;
        if (item.expanded) {
            m_childRows += sign * item.children;
            m_selectedChildRows += sign * item.selectedChildren;
        }
        return;
    }
    Item& parent = *item.parent;
    parent.children += sign;
    parent.selectedChildren += item.selected ? sign : 0;
    if (!parent.parent && parent.expanded) {
        m_childRows += sign;
        m_selectedChildRows += item.selected ? sign : 0;
    }
}

void CTreeCtrlEx::SetSelected(Item& item, bool selected) {
    if (item.selected == selected)
        return;
    Count(item, -1);
    item.selected = selected;
    Count(item, 1);
    if (selected)
        m_flagged.insert(&item);
    else
        m_flagged.erase(&item);
}

void CTreeCtrlEx::SetExpanded(Item& item, bool expanded) {
    if (item.expanded == expanded)
        return;
    Count(item, -1);
    item.expanded = expanded;
    Count(item, 1);
}

void CTreeCtrlEx::Link(Item& item, Item* parent, Item* insertAfter) {
    item.parent = parent;
    if (insertAfter) {
        item.next = insertAfter->next;
        insertAfter->next = &item;
    } else {
        Item*& first = parent ? parent->firstChild : m_first;
        item.next = first;
        first = &item;
    }
    Count(item, 1);
}

void CTreeCtrlEx::Unlink(Item& item) {
    Count(item, -1);
    Item** link = item.parent ? &item.parent->firstChild : &m_first;
    while (*link && *link != &item)
        link = &(*link)->next;
    if (*link)
        *link = item.next;
    item.next = nullptr;
    item.parent = nullptr;
}

void* CTreeCtrlEx::InsertItem(const char* text, const char* style, void* parent, void* insertAfter,
                              DWORD_PTR data) {
    Item* parentItem = Find(parent);
    Item* afterItem = Find(insertAfter);
    if ((parent && !parentItem) || (insertAfter && (!afterItem || afterItem->parent != parentItem)))
        return nullptr;
    uintptr_t handle = g_lastHandle;
    do {
        handle = handle == UINTPTR_MAX ? 1 : handle + 1;
    } while (m_items.count(handle));
    // Made whole before it joins the tree.
    Item made;
    made.handle = handle;
    made.data = data;
    made.style = style ? style : kDefaultText;
    made.overrides.SetValue(kDefaultText, text ? text : "");
    Item& item = m_items.emplace(handle, std::move(made)).first->second;
    g_lastHandle = handle;
    Link(item, parentItem, afterItem);
    UpdateScrollBar();
    return HandleOf(&item);
}

int CTreeCtrlEx::DeleteItem(void* handle) {
    Item* item = Find(handle);
    if (!item || item->firstChild)
        return 0;
    if (m_hover == item)
        m_hover = item->next;
    if (m_selected == item)
        m_selected = item->next;
    Unlink(*item);
    m_flagged.erase(item);
    const uintptr_t gone = item->handle;
    m_items.erase(gone);
    UpdateScrollBar();
    return 1;
}

int CTreeCtrlEx::DeleteAllItems() {
    m_items.clear();
    m_flagged.clear();
    m_first = m_selected = m_hover = nullptr;
    m_topRows = m_selectedTopRows = m_childRows = m_selectedChildRows = 0;
    ++m_layoutChanges;
    UpdateScrollBar();
    return 1;
}

// A newly selected item leaves the one selected before expanded as it was.
void CTreeCtrlEx::Select(Item& item, bool force) {
    if (&item != m_selected && m_selected) {
        const std::vector<Item*> flagged(m_flagged.begin(), m_flagged.end());
        for (Item* other : flagged)
            SetSelected(*other, false);
    } else if (&item == m_selected) {
        for (Item* child = item.firstChild; child; child = child->next)
            SetSelected(*child, false);
    }
    m_selected = &item;
    SetExpanded(item, force || !item.expanded);
    SetSelected(item, true);
    UpdateScrollBar();
}

int CTreeCtrlEx::SelectItem(void* handle) {
    Item* item = Find(handle);
    if (!item)
        return 0;
    Select(*item, false);
    return 1;
}

int CTreeCtrlEx::Expand(void* handle) {
    Item* item = Find(handle);
    if (!item)
        return 0;
    Select(*item, true);
    return 1;
}

void* CTreeCtrlEx::GetSelectedItem() const {
    return HandleOf(m_selected);
}

void* CTreeCtrlEx::GetRootItem() const {
    return HandleOf(m_first);
}

void* CTreeCtrlEx::GetChildItem(void* handle) const {
    const Item* item = Find(handle);
    return item ? HandleOf(item->firstChild) : nullptr;
}

void* CTreeCtrlEx::GetNextSiblingItem(void* handle) const {
    const Item* item = Find(handle);
    return item ? HandleOf(item->next) : nullptr;
}

void* CTreeCtrlEx::GetParentItem(void* handle) const {
    const Item* item = Find(handle);
    return item ? HandleOf(item->parent) : nullptr;
}

int CTreeCtrlEx::ItemHasChildren(void* handle) const {
    const Item* item = Find(handle);
    return item && item->firstChild ? 1 : 0;
}

DWORD_PTR CTreeCtrlEx::GetItemData(void* handle) const {
    const Item* item = Find(handle);
    return item ? item->data : 0;
}

int CTreeCtrlEx::SetItemData(void* handle, DWORD_PTR data) {
    Item* item = Find(handle);
    if (!item)
        return 0;
    item->data = data;
    return 1;
}

void* CTreeCtrlEx::HitTest(int x, int y) const {
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    const POINT point = {x, y};
    const Item* hit = nullptr;
    ForEachRow(y, [&](const Item& item, const RECT& row, int) {
        const RECT whole = {client.left, row.top, client.right, row.bottom};
        if (PtInRect(&whole, point))
            hit = &item;
        return !hit && row.top <= y;
    });
    return HandleOf(hit);
}

int CTreeCtrlEx::SetLevelItemHeight(int level, int mask, int height) {
    if (level < 0 || level > 1 || height < 0)
        return 0;
    if (mask & 3)
        m_heights[level][0] = height;
    if (mask & 4)
        m_heights[level][1] = height;
    ++m_layoutChanges;
    UpdateScrollBar();
    return 1;
}

// Taking the greatest of the rest each time, with a later equal one taking
// the place of an earlier, orders the children greatest first and equal ones
// in reverse: a stable sort of the reversed children, greater first, gives
// the same order. Handles and data are sorted as copies and the tree is
// relinked only if the compare function left its children as they were.
int CTreeCtrlEx::SortChildren(void* parentHandle, Compare compare, DWORD_PTR user) {
    Item* parent = Find(parentHandle);
    if (!parent || !compare)
        return 0;
    std::vector<std::pair<uintptr_t, DWORD_PTR>> children;
    children.reserve(static_cast<size_t>(parent->children));
    for (Item* child = parent->firstChild; child; child = child->next)
        children.emplace_back(child->handle, child->data);
    if (children.size() < 2)
        return 1;
    std::reverse(children.begin(), children.end());
    std::stable_sort(children.begin(), children.end(), [&](const auto& first, const auto& second) {
        return compare(first.second, second.second, user) > 0;
    });
    parent = Find(parentHandle);
    if (!parent || parent->children != static_cast<int>(children.size()))
        return 0;
    std::vector<Item*> order;
    order.reserve(children.size());
    for (const auto& child : children) {
        Item* item = Find(reinterpret_cast<void*>(child.first));
        if (!item || item->parent != parent)
            return 0;
        order.push_back(item);
    }
    for (size_t i = 0; i < order.size(); ++i)
        order[i]->next = i + 1 < order.size() ? order[i + 1] : nullptr;
    parent->firstChild = order.front();
    ++m_layoutChanges;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return 1;
}

int CTreeCtrlEx::MoveItem(void* handle, void* newParentHandle) {
    Item* item = Find(handle);
    Item* newParent = Find(newParentHandle);
    if (!item || !newParent)
        return 0;
    for (const Item* above = newParent; above; above = above->parent) {
        if (above == item)
            return 0;
    }
    if (item->parent == newParent)
        return 1;
    Unlink(*item);
    Link(*item, newParent, nullptr);
    UpdateScrollBar();
    return 1;
}

int CTreeCtrlEx::TreeCtrlExSetDrawItemVisible(void* handle, const char* id, bool visible) {
    Item* item = Find(handle);
    if (!item || !id)
        return 0;
    item->overrides.SetVisible(id, visible);
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return 1;
}

int CTreeCtrlEx::TreeCtrlExSetDrawItemValue(void* handle, const char* id, const char* value) {
    Item* item = Find(handle);
    if (!item || !id || !value)
        return 0;
    item->overrides.SetValue(id, value);
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return 1;
}

std::unique_ptr<SubItemOverride> CTreeCtrlEx::GetTreeItemValue(void* handle, const char* id) {
    const Item* item = Find(handle);
    return item && id ? item->overrides.ValueRecord(id) : nullptr;
}

std::unique_ptr<SubItemOverride> CTreeCtrlEx::GetTreeItemVisible(void* handle, const char* id) {
    const Item* item = Find(handle);
    return item && id ? item->overrides.VisibleRecord(id) : nullptr;
}

// A top-level item whose rows all end above `from` is passed over at once,
// its children with it; the walk starts at the anchor when that lies above.
template <class Visit> void CTreeCtrlEx::ForEachRow(int from, Visit visit) const {
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    const Item* top = m_first;
    int y = -m_offset;
    if (m_anchor && m_anchorChanges == m_layoutChanges && m_anchorTop - m_offset <= from) {
        top = m_anchor;
        y = m_anchorTop - m_offset;
    }
    bool anchored = false;
    for (; top; top = top->next) {
        const int height = RowHeight(*top);
        const int block = height + ChildRowsHeight(*top);
        if (y + block <= from) {
            y += block;
            continue;
        }
        if (!anchored) {
            m_anchor = top;
            m_anchorTop = y + m_offset;
            m_anchorChanges = m_layoutChanges;
            anchored = true;
        }
        if (!visit(*top, RECT{0, y, client.right, y + height}, 0))
            return;
        y += height;
        if (!top->expanded)
            continue;
        for (const Item* child = top->firstChild; child; child = child->next) {
            const int childHeight = RowHeight(*child);
            if (y + childHeight > from &&
                !visit(*child, RECT{0, y, client.right, y + childHeight}, 1))
                return;
            y += childHeight;
        }
    }
}

int CTreeCtrlEx::ClientHeight() const {
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    return client.bottom;
}

// The bar is drawn again with the window's next paint: redrawing it at once
// for every item a program inserts would cost more than the insert itself.
void CTreeCtrlEx::UpdateScrollBar() {
    if (!m_hwnd)
        return;
    // Showing or hiding the bar resizes the client area, which comes back here.
    if (!m_updatingScrollBar) {
        m_updatingScrollBar = true;
        const int total = TotalHeight();
        const int height = ClientHeight();
        SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
        const bool scrolls = height <= total;
        if (scrolls) {
            if (m_offset + height >= total)
                m_offset = total - height;
            info.nMax = total;
            info.nPage = static_cast<UINT>(height);
            info.nPos = m_offset;
        } else {
            m_offset = 0;
        }
        SetScrollInfo(m_hwnd, SB_VERT, &info, FALSE);
        ShowScrollBar(m_hwnd, SB_VERT, scrolls);
        m_updatingScrollBar = false;
    }
    RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

// The style's items of the row's state, then the icon of its expansion.
void CTreeCtrlEx::PaintRow(HDC dc, const Item& item, const RECT& row) {
    const DrawItemGroup* style = FindItemTemplate(item.style);
    if (!style)
        return;
    const int state = item.selected      ? STATE_CHECKEDNORMAL
                      : &item == m_hover ? STATE_OVER
                                         : STATE_NORMAL;
    RECT target = row;
    if (item.parent)
        target.left += static_cast<const TreeCtrlExInfo*>(m_info)->levelIndent;
    SubItem subItem;
    subItem.handle = HandleOf(&item);
    const DrawItemList& items = style->drawItems;
    const auto paint = [&](DrawItemRef ref) {
        if (const IDraw* painter = PainterOf(ref.kind))
            painter->Paint(m_host, m_hwnd, kTreeKind, dc, items, ref.item, target, subItem, nullptr,
                           ref.item->index);
    };
    const auto isIcon = [](const DrawItemRef& ref) {
        return ref.kind == DRAWITEM_IMAGE &&
               (ref.item->id == kExpandIcon || ref.item->id == kCollapseIcon);
    };
    for (int32_t index = 0;; ++index) {
        const DrawItemRef ref = items.ItemByIndex(index);
        if (!ref)
            break;
        if ((ref.item->state == state || ref.item->state == STATE_ALL) && !isIcon(ref))
            paint(ref);
    }
    const char* icon = item.expanded ? kExpandIcon : kCollapseIcon;
    for (const auto& image : items.Images()) {
        if (image->id == icon && (image->state == state || image->state == STATE_ALL)) {
            paint(DrawItemRef{DRAWITEM_IMAGE, image.get()});
            break;
        }
    }
}

// Only the rows on screen are painted, into an image of the client's size;
// the background is laid over all rows, as tall as they are together, and
// shows the part that is scrolled to.
LRESULT CTreeCtrlEx::OnPaint(WPARAM wParam, LPARAM lParam) {
    {
        CPaintDC paint(m_hwnd);
        RECT client = {};
        GetClientRect(m_hwnd, &client);
        CMemoryCanvas canvas;
        if (paint.Get() && canvas.Create(paint.Get(), client.right, client.bottom)) {
            HDC dc = canvas.GetDC();
            const RECT all = {0, -m_offset, client.right,
                              -m_offset + std::max<int>(client.bottom, TotalHeight())};
            if (m_info)
                PaintItems(dc, kTreeKind, m_info->drawItems, STATE_NORMAL, all, -1, -1, nullptr);
            ForEachRow(0, [&](const Item& item, const RECT& row, int) {
                if (row.top >= client.bottom)
                    return false;
                PaintRow(dc, item, row);
                return true;
            });
            BitBlt(paint.Get(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
        }
    }
    return CallPrevious(WM_PAINT, wParam, lParam);
}

// A bar without a page (no range to scroll) keeps the offset at 0.
LRESULT CTreeCtrlEx::OnVScroll(int code) {
    SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(m_hwnd, SB_VERT, &info);
    const int line = m_heights[0][0];
    const int page = ClientHeight();
    int offset = m_offset;
    switch (code) {
    case SB_LINEUP:
        offset -= line;
        break;
    case SB_LINEDOWN:
        offset += line;
        break;
    case SB_PAGEUP:
        offset -= page;
        break;
    case SB_PAGEDOWN:
        offset += page;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        offset = info.nTrackPos;
        break;
    default:
        break;
    }
    const int last = info.nPage ? info.nMax - static_cast<int>(info.nPage - 1) : 0;
    if (offset > m_offset)
        offset = std::min(offset, std::max(last, 0));
    if (offset < m_offset)
        offset = std::max(offset, 0);
    m_offset = offset;
    SetScrollPos(m_hwnd, SB_VERT, m_offset, TRUE);
    InvalidateRect(m_hwnd, nullptr, TRUE);
    return 0;
}

LRESULT CTreeCtrlEx::OnMouseMove(WPARAM keys, POINT point) {
    if (!m_hover) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hwnd, HOVER_DEFAULT};
        TrackMouseEvent(&track);
    }
    Item* hit = Find(HitTest(point.x, point.y));
    if (hit != m_hover) {
        m_hover = hit;
        InvalidateRect(m_hwnd, nullptr, TRUE);
    }
    return CallPrevious(WM_MOUSEMOVE, keys, MAKELPARAM(point.x, point.y));
}

// Pressing a second-level item starts dragging it.
LRESULT CTreeCtrlEx::OnLButtonDown(WPARAM keys, POINT point) {
    SetFocus(m_hwnd);
    Item* hit = Find(HitTest(point.x, point.y));
    if (hit && hit->parent) {
        m_dragging = true;
        SetCapture(m_hwnd);
    }
    if (hit)
        Select(*hit, false);
    return CallPrevious(WM_LBUTTONDOWN, keys, MAKELPARAM(point.x, point.y));
}

LRESULT CTreeCtrlEx::OnLButtonUp(WPARAM keys, POINT point) {
    if (m_dragging) {
        Item* target = Find(HitTest(point.x, point.y));
        if (target && !target->parent) {
            void* moved = HandleOf(m_selected);
            MoveItem(moved, HandleOf(target));
            Select(*target, true);
            PostMessageA(m_hwnd, kDropMessage, reinterpret_cast<WPARAM>(HandleOf(target)),
                         reinterpret_cast<LPARAM>(moved));
        }
        m_dragging = false;
        ReleaseCapture();
    }
    return CallPrevious(WM_LBUTTONUP, keys, MAKELPARAM(point.x, point.y));
}

LRESULT CTreeCtrlEx::OnMouseLeave() {
    m_hover = nullptr;
    InvalidateRect(m_hwnd, nullptr, TRUE);
    return CallPrevious(WM_MOUSELEAVE, 0, 0);
}

} // namespace Velmora
