#include "ListCtrl.h"

#include "DrawHelpers.h"
#include "GDICursor.h"
#include "HeaderCtrl.h"
#include "WindowKind.h"

#include <windowsx.h>

#include <algorithm>
#include <unordered_set>

namespace Velmora {

namespace {

constexpr int kListKind = KindNumber(WindowKind::ListCtrl);
constexpr int kHeaderKind = KindNumber(WindowKind::HeaderCtrl);
// Posted to the list's parent when an event item is pressed: wParam holds
// row and column, lParam the event item's id text.
constexpr UINT kEventItemMessage = 0x2B14;
constexpr int kProgressRange = 100;
constexpr char kDefaultStyle[] = "default";

POINT PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

// An event or progress item's place in a cell: a negative left or top counts
// from the cell's right or bottom, a width or height of 0 (or less) reaches
// that far before the cell's right or bottom edge.
RECT PlaceInCell(const RECT& cell, int left, int top, int width, int height) {
    RECT rect;
    rect.left = ResolveNearEdge(left, cell.left, cell.right - cell.left);
    rect.top = ResolveNearEdge(top, cell.top, cell.bottom - cell.top);
    rect.right = width > 0 ? rect.left + width : cell.right + width;
    rect.bottom = height > 0 ? rect.top + height : cell.bottom + height;
    return rect;
}

} // namespace

CListCtrl::Cell* CListCtrl::Row::Find(int column) {
    for (Cell& cell : cells) {
        if (cell.column == column)
            return &cell;
    }
    return nullptr;
}

CListCtrl::CListCtrl(ISkinHost& host, WindowInfo* info) : CWindow(host, info) {}

CListCtrl::~CListCtrl() = default;

// The header is skinned first, so that the list lays it out with the skin's
// height when it measures its rows again.
void CListCtrl::Attach(HWND window) {
    CWindow::Attach(window);
    if (!window || !m_hwnd)
        return;
    if (HWND header = ListView_GetHeader(m_hwnd)) {
        const auto* element = static_cast<const ListCtrlInfo*>(m_info);
        const bool named =
            element && !element->headerCtrlId.empty() &&
            m_host.FindDescription(DescriptionType::HeaderCtrl, element->headerCtrlId);
        m_host.SkinWindow(header, kHeaderKind, named ? element->headerCtrlId.c_str() : nullptr,
                          false);
    }
    if (!(GetWindowLongA(m_hwnd, GWL_STYLE) & LVS_OWNERDRAWFIXED)) {
        AddWindowStyle(LVS_OWNERDRAWFIXED);
        // The list view asks its parent for the rows' height (WM_MEASUREITEM)
        // when it is made and when its size changes, not when it becomes
        // owner-drawn: it is told its size changed, to the size it has.
        RECT rect = {};
        GetWindowRect(m_hwnd, &rect);
        WINDOWPOS place = {m_hwnd,
                           nullptr,
                           0,
                           0,
                           rect.right - rect.left,
                           rect.bottom - rect.top,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE};
        SendMessageA(m_hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&place));
    }
    InstallWindowScrollBars();
}

LRESULT CListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        return OnDestroy(wParam, lParam);
    case WM_PAINT:
        return OnPaint(wParam, lParam);
    case WM_ERASEBKGND:
        return OnEraseBackground();
    case WM_NCPAINT:
        return OnNcPaint(wParam);
    case WM_NOTIFY:
        return OnNotify(wParam, reinterpret_cast<NMHDR*>(lParam));
    case WM_VSCROLL:
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return CallPrevious(message, wParam, lParam);
    case WM_MOUSEMOVE:
        return OnMouseMove(wParam, PointOf(lParam));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
        return OnButtonDown(message, wParam, PointOf(lParam));
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        return OnButtonUp(message, wParam, PointOf(lParam));
    case WM_MOUSELEAVE:
        return OnMouseLeave();
    case WM_SETCURSOR:
        return OnCursor(wParam, lParam);
    case LVM_DELETEITEM:
        return OnDeleteItem(wParam, lParam);
    case LVM_DELETEALLITEMS:
        return OnDeleteAllItems(wParam, lParam);
    default:
        return CallPrevious(message, wParam, lParam);
    }
}

CListCtrl::Row* CListCtrl::RecordOf(int row) const {
    if (!m_hwnd || row < 0)
        return nullptr;
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(m_hwnd, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    auto found = m_rows.find(reinterpret_cast<const Row*>(item.lParam));
    return found == m_rows.end() ? nullptr : found->second.get();
}

CListCtrl::Row* CListCtrl::MakeRecord(int row) {
    if (Row* record = RecordOf(row))
        return record;
    if (!m_hwnd || row < 0 || row >= ListView_GetItemCount(m_hwnd))
        return nullptr;
    // A virtual list stores nothing per row, so it has no place for a record.
    if (GetWindowLongA(m_hwnd, GWL_STYLE) & LVS_OWNERDATA)
        return nullptr;
    auto record = std::make_unique<Row>();
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = reinterpret_cast<LPARAM>(record.get());
    Row* made = record.get();
    m_rows.emplace(made, std::move(record));
    if (!SendMessageA(m_hwnd, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item))) {
        m_rows.erase(made);
        return nullptr;
    }
    return made;
}

CListCtrl::Cell* CListCtrl::MakeCell(int row, int column) {
    if (column < 0)
        return nullptr;
    Row* record = MakeRecord(row);
    if (!record)
        return nullptr;
    if (Cell* cell = record->Find(column))
        return cell;
    record->cells.emplace_back();
    record->cells.back().column = column;
    return &record->cells.back();
}

void CListCtrl::InvalidateRow(int row) {
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    if (SendMessageA(m_hwnd, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds)))
        InvalidateRect(m_hwnd, &bounds, FALSE);
}

int CListCtrl::SetItemStyle(int row, int column, const char* style) {
    Cell* cell = style ? MakeCell(row, column) : nullptr;
    if (!cell)
        return 0;
    cell->style = style;
    InvalidateRow(row);
    return 1;
}

int CListCtrl::SetItemData(int item, DWORD_PTR data) {
    if (Row* record = MakeRecord(item))
        record->data = data;
    return 1;
}

DWORD_PTR CListCtrl::GetItemData(int item) {
    const Row* record = RecordOf(item);
    return record ? record->data : 0;
}

int CListCtrl::SetDrawItemVisibleEx(int row, int column, const char* id, bool visible) {
    Cell* cell = id ? MakeCell(row, column) : nullptr;
    if (!cell)
        return 0;
    cell->overrides.SetVisible(id, visible);
    InvalidateRow(row);
    return 1;
}

int CListCtrl::SetDrawItemValueEx(int row, int column, const char* id, const char* value) {
    Cell* cell = id && value ? MakeCell(row, column) : nullptr;
    if (!cell)
        return 0;
    cell->overrides.SetValue(id, value);
    InvalidateRow(row);
    return 1;
}

int CListCtrl::SetProgressItemPos(int row, int column, int position) {
    Cell* cell = MakeCell(row, column);
    if (!cell)
        return 0;
    cell->progress = std::clamp(position, 0, kProgressRange);
    InvalidateRow(row);
    return 1;
}

std::unique_ptr<SubItemOverride> CListCtrl::GetSubItemValue(int row, int column, const char* id) {
    Row* record = id ? RecordOf(row) : nullptr;
    const Cell* cell = record ? record->Find(column) : nullptr;
    return cell ? cell->overrides.ValueRecord(id) : nullptr;
}

std::unique_ptr<SubItemOverride> CListCtrl::GetSubItemVisible(int row, int column, const char* id) {
    Row* record = id ? RecordOf(row) : nullptr;
    const Cell* cell = record ? record->Find(column) : nullptr;
    return cell ? cell->overrides.VisibleRecord(id) : nullptr;
}

int CListCtrl::ColumnCount() const {
    int columns = 0;
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    while (SendMessageA(m_hwnd, LVM_GETCOLUMNA, columns, reinterpret_cast<LPARAM>(&column)))
        ++columns;
    return columns;
}

// Column 0's sub-item rectangle is the whole row: its cell ends where column
// 1 begins. Cells span the row's height.
RECT CListCtrl::CellRect(int row, int column, const RECT& bounds, int columns) const {
    RECT cell = bounds;
    if (column > 0 || columns > 1) {
        RECT sub = {};
        sub.top = column > 0 ? column : 1;
        sub.left = LVIR_BOUNDS;
        if (SendMessageA(m_hwnd, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&sub))) {
            if (column > 0) {
                cell.left = sub.left;
                cell.right = sub.right;
            } else {
                cell.right = sub.left;
            }
        }
    }
    return cell;
}

int CListCtrl::HeaderBottom() const {
    HWND header = ListView_GetHeader(m_hwnd);
    if (!header || !IsWindowVisible(header))
        return 0;
    RECT rect = {};
    GetWindowRect(header, &rect);
    MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&rect), 2);
    return std::max<LONG>(rect.bottom, 0);
}

LRESULT CListCtrl::OnPaint(WPARAM wParam, LPARAM lParam) {
    {
        CPaintDC paint(m_hwnd);
        RECT client = {};
        GetClientRect(m_hwnd, &client);
        CMemoryCanvas canvas;
        if (paint.Get() && canvas.Create(paint.Get(), client.right, client.bottom)) {
            HDC dc = canvas.GetDC();
            PaintFirstOf(dc, kListKind, "listctrl.back", {DRAWITEM_IMAGE, DRAWITEM_SURFACE},
                         client);
            const int columns = ColumnCount();
            const int top = ListView_GetTopIndex(m_hwnd);
            const int last = top + ListView_GetCountPerPage(m_hwnd);
            RECT lastBounds = {};
            bool painted = false;
            for (int row = top; row <= last; ++row) {
                RECT bounds = {};
                bounds.left = LVIR_BOUNDS;
                if (!SendMessageA(m_hwnd, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds)))
                    break;
                PaintRow(dc, row, bounds, columns);
                lastBounds = bounds;
                painted = true;
            }
            if (painted)
                PaintFirstOf(dc, kListKind, "item.seperator2", {DRAWITEM_LINE, DRAWITEM_IMAGE},
                             lastBounds);
            const int below = HeaderBottom();
            BitBlt(paint.Get(), 0, below, client.right, client.bottom - below, dc, 0, below,
                   SRCCOPY);
        }
    }
    return CallPrevious(WM_PAINT, wParam, lParam);
}

void CListCtrl::PaintRow(HDC dc, int row, const RECT& bounds, int columns) {
    const char* background = "item.normal";
    const auto* element = static_cast<const ListCtrlInfo*>(m_info);
    if (ListView_GetItemState(m_hwnd, row, LVIS_SELECTED) & LVIS_SELECTED)
        background = "item.checked";
    else if (row == m_hoverRow)
        background = "item.over";
    else if (element && element->oddEvenLine)
        background = row % 2 == 0 ? "item.odd" : "item.even";
    PaintFirstOf(dc, kListKind, background, {DRAWITEM_SURFACE}, bounds);
    PaintFirstOf(dc, kListKind, "item.seperator", {DRAWITEM_LINE, DRAWITEM_IMAGE}, bounds);
    for (int column = 0; column < columns; ++column)
        PaintCell(dc, row, column, CellRect(row, column, bounds, columns));
}

// A cell without a record of its own, in a row with or without one, shows
// the style "default" in the look it has in every state.
void CListCtrl::PaintCell(HDC dc, int row, int column, const RECT& rect) {
    Row* record = RecordOf(row);
    const Cell* cell = record ? record->Find(column) : nullptr;
    if (!cell) {
        if (const DrawItemGroup* style = FindItemTemplate(kDefaultStyle))
            PaintItems(dc, kListKind, style->drawItems, STATE_ALL, rect, row, column, nullptr);
        return;
    }
    const DrawItemGroup* style = FindItemTemplate(cell->style);
    if (!style)
        return;
    PaintItems(dc, kListKind, style->drawItems, STATE_NORMAL, rect, row, column, nullptr);
    for (const auto& event : style->eventItems) {
        if (!IsEventVisible(row, column, event->id, event->visible))
            continue;
        int state = STATE_NORMAL;
        if (m_pressed.event && m_pressed.row == row && m_pressed.column == column &&
            m_pressed.event->id == event->id)
            state = STATE_DOWN;
        else if (m_hovered.event && m_hovered.row == row && m_hovered.column == column &&
                 m_hovered.event->id == event->id)
            state = STATE_OVER;
        const RECT at = PlaceInCell(rect, event->left, event->top, event->width, event->height);
        PaintItems(dc, kListKind, event->drawItems, state, at, row, column, nullptr);
    }
    for (const auto& progress : style->progressItems) {
        if (!IsEventVisible(row, column, progress->id, progress->visible))
            continue;
        const RECT at =
            PlaceInCell(rect, progress->left, progress->top, progress->width, progress->height);
        PaintProgress(m_host, m_hwnd, kListKind, dc, progress->drawItems, at,
                      cell->progress != -1 ? cell->progress : progress->value, kProgressRange);
    }
}

// An event or progress item shows (and takes the mouse) by its own flag, or
// by what the program set for its id in the cell.
bool CListCtrl::IsEventVisible(int row, int column, const std::string& id, bool own) const {
    Row* record = RecordOf(row);
    const Cell* cell = record ? record->Find(column) : nullptr;
    const bool* visible = cell ? cell->overrides.FindVisible(id) : nullptr;
    return visible ? *visible : own;
}

// The border surfaces over the frame; without them the system draws its own.
LRESULT CListCtrl::OnNcPaint(WPARAM region) {
    if (!m_info || (!m_info->drawItems.FindSurface("border.outer") &&
                    !m_info->drawItems.FindSurface("border.inner")))
        return CallPrevious(WM_NCPAINT, region, 0);
    CWindowDC dc(m_hwnd);
    if (!dc.Get())
        return 0;
    RECT window = {};
    GetWindowRect(m_hwnd, &window);
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    MapWindowPoints(m_hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -window.left, -window.top);
    OffsetRect(&window, -window.left, -window.top);
    const int saved = SaveDC(dc.Get());
    ExcludeClipRect(dc.Get(), client.left, client.top, client.right, client.bottom);
    PaintFirstOf(dc.Get(), kListKind, "border.outer", {DRAWITEM_SURFACE}, window);
    PaintFirstOf(dc.Get(), kListKind, "border.inner", {DRAWITEM_SURFACE}, window);
    RestoreDC(dc.Get(), saved);
    return 0;
}

// A click on a header item moves the skinned header's sort arrow. The list
// view's header talks to it in Unicode, so both forms are taken.
LRESULT CListCtrl::OnNotify(WPARAM wParam, NMHDR* header) {
    if (header && (header->code == HDN_ITEMCLICKA || header->code == HDN_ITEMCLICKW) &&
        header->hwndFrom == ListView_GetHeader(m_hwnd)) {
        auto* skin = dynamic_cast<CHeaderCtrl*>(
            m_host.FindSkinObject(header->hwndFrom, SkinList::HeaderCtrl));
        if (skin)
            skin->SetSortColumn(reinterpret_cast<NMHEADERA*>(header)->iItem);
    }
    return CallPrevious(WM_NOTIFY, wParam, reinterpret_cast<LPARAM>(header));
}

// Only the rows on the page can be under a point of the client area.
int CListCtrl::RowAt(POINT point) const {
    const int top = ListView_GetTopIndex(m_hwnd);
    const int last = top + ListView_GetCountPerPage(m_hwnd);
    for (int row = top; row <= last; ++row) {
        RECT bounds = {};
        bounds.left = LVIR_BOUNDS;
        if (!SendMessageA(m_hwnd, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds)))
            break;
        if (PtInRect(&bounds, point))
            return row;
    }
    return -1;
}

CListCtrl::Spot CListCtrl::SpotAt(POINT point) const {
    Spot spot;
    spot.row = RowAt(point);
    if (spot.row < 0)
        return spot;
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    SendMessageA(m_hwnd, LVM_GETITEMRECT, spot.row, reinterpret_cast<LPARAM>(&bounds));
    const int columns = ColumnCount();
    RECT cellRect = {};
    for (int column = 0; column < columns && spot.column < 0; ++column) {
        cellRect = CellRect(spot.row, column, bounds, columns);
        if (PtInRect(&cellRect, point))
            spot.column = column;
    }
    Row* record = RecordOf(spot.row);
    const Cell* cell = record && spot.column >= 0 ? record->Find(spot.column) : nullptr;
    const DrawItemGroup* style = cell ? FindItemTemplate(cell->style) : nullptr;
    if (!style)
        return spot;
    for (const auto& event : style->eventItems) {
        const RECT at = PlaceInCell(cellRect, event->left, event->top, event->width, event->height);
        if (PtInRect(&at, point) &&
            IsEventVisible(spot.row, spot.column, event->id, event->visible)) {
            spot.event = event.get();
            break;
        }
    }
    return spot;
}

bool CListCtrl::SetEventCursor(const EventItem* event) const {
    const GDICursor* cursor = event ? m_host.FindCursor(event->cursorId) : nullptr;
    if (!cursor || !cursor->GetCursor())
        return false;
    SetCursor(cursor->GetCursor());
    return true;
}

// The hovered row and event item follow the mouse from cell to cell.
LRESULT CListCtrl::OnMouseMove(WPARAM keys, POINT point) {
    if (!m_tracking) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hwnd, HOVER_DEFAULT};
        m_tracking = TrackMouseEvent(&track) != FALSE;
    }
    const Spot spot = SpotAt(point);
    const Spot hovered = spot.event ? spot : Spot{};
    if (spot.row != m_hoverRow || hovered.row != m_hovered.row ||
        hovered.column != m_hovered.column || hovered.event != m_hovered.event) {
        m_hoverRow = spot.row;
        m_hovered = hovered;
        SetEventCursor(m_hovered.event);
        InvalidateRect(m_hwnd, nullptr, FALSE);
    }
    return CallPrevious(WM_MOUSEMOVE, keys, MAKELPARAM(point.x, point.y));
}

// An event item fires on the press it names: the left button, the right
// button or a double click of the left one. The list view follows a press
// with a loop of its own that takes the release: once the button is up
// again, the press is over.
LRESULT CListCtrl::OnButtonDown(UINT message, WPARAM keys, POINT point) {
    const Spot spot = SpotAt(point);
    if (spot.event) {
        m_pressed = spot;
        SetEventCursor(spot.event);
        const int event = message == WM_RBUTTONDOWN     ? EVENT_RBUTTONDOWN
                          : message == WM_LBUTTONDBLCLK ? EVENT_LBUTTONDBLDOWN
                                                        : EVENT_LBUTTONDOWN;
        if (spot.event->event == event)
            PostMessageA(GetParent(m_hwnd), kEventItemMessage, MAKEWPARAM(spot.row, spot.column),
                         reinterpret_cast<LPARAM>(spot.event->id.c_str()));
    }
    InvalidateRect(m_hwnd, nullptr, FALSE);
    HWND window = m_hwnd;
    const LRESULT result = CallPrevious(message, keys, MAKELPARAM(point.x, point.y));
    const int button = message == WM_RBUTTONDOWN ? VK_RBUTTON : VK_LBUTTON;
    if (IsStillSkinning(window) && m_pressed.event && !(GetKeyState(button) & 0x8000)) {
        m_pressed = Spot{};
        InvalidateRect(m_hwnd, nullptr, FALSE);
    }
    return result;
}

LRESULT CListCtrl::OnButtonUp(UINT message, WPARAM keys, POINT point) {
    m_pressed = Spot{};
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return CallPrevious(message, keys, MAKELPARAM(point.x, point.y));
}

// The program's handlers of what the list view sends while it handles a
// message may destroy the list, and this skin with it.
bool CListCtrl::IsStillSkinning(HWND window) const {
    return IsWindow(window) && CHookWindow::FromHandle(window) == this;
}

void CListCtrl::ForgetMouse() {
    m_hoverRow = -1;
    m_hovered = Spot{};
    m_pressed = Spot{};
}

LRESULT CListCtrl::OnMouseLeave() {
    ForgetMouse();
    m_tracking = false;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return CallPrevious(WM_MOUSELEAVE, 0, 0);
}

// Over an event item its cursor, else the description's.
LRESULT CListCtrl::OnCursor(WPARAM wParam, LPARAM lParam) {
    const EventItem* event = m_pressed.event ? m_pressed.event : m_hovered.event;
    if (LOWORD(lParam) == HTCLIENT && SetEventCursor(event))
        return TRUE;
    return OnSetCursor(wParam, lParam);
}

// A row's record goes with the row; the records of the rows that stay, in
// whatever place they move to, stay theirs.
LRESULT CListCtrl::OnDeleteItem(WPARAM row, LPARAM lParam) {
    const Row* record = RecordOf(static_cast<int>(row));
    HWND window = m_hwnd;
    const LRESULT deleted = CallPrevious(LVM_DELETEITEM, row, lParam);
    if (deleted && IsStillSkinning(window)) {
        ForgetMouse();
        if (record)
            m_rows.erase(record);
    }
    return deleted;
}

LRESULT CListCtrl::OnDeleteAllItems(WPARAM wParam, LPARAM lParam) {
    HWND window = m_hwnd;
    const LRESULT deleted = CallPrevious(LVM_DELETEALLITEMS, wParam, lParam);
    if (deleted && IsStillSkinning(window)) {
        ForgetMouse();
        FreeRecordsOfGoneRows();
    }
    return deleted;
}

// Rows the program's handlers of the deletion's notifications added are
// still there: their records stay.
void CListCtrl::FreeRecordsOfGoneRows() {
    std::unordered_set<const Row*> held;
    const int count = ListView_GetItemCount(m_hwnd);
    for (int row = 0; row < count; ++row) {
        if (const Row* record = RecordOf(row))
            held.insert(record);
    }
    for (auto entry = m_rows.begin(); entry != m_rows.end();) {
        if (held.count(entry->first))
            ++entry;
        else
            entry = m_rows.erase(entry);
    }
}

} // namespace Velmora
