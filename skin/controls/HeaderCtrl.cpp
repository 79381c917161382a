#include "HeaderCtrl.h"

#include "DrawHelpers.h"
#include "GDIImage.h"
#include "WindowKind.h"

#include <windowsx.h>

namespace Velmora {

namespace {

constexpr int kHeaderKind = KindNumber(WindowKind::HeaderCtrl);
constexpr int kCaptionRoom = 256;
// The sort arrow keeps this far from the item's right edge.
constexpr int kArrowMargin = 3;

constexpr char kBackNormal[] = "header.bk.normal";
constexpr char kBackOver[] = "header.bk.over";
constexpr char kBackDown[] = "header.bk.down";
constexpr char kSeparator[] = "header.separator";
constexpr char kCaption[] = "header.text";
constexpr char kArrowAscend[] = "header.sort.arrow.ascend";
constexpr char kArrowDescend[] = "header.sort.arrow.descend";

POINT PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

} // namespace

CHeaderCtrl::CHeaderCtrl(ISkinHost& host, WindowInfo* info) : CWindow(host, info) {}

LRESULT CHeaderCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        return OnDestroy(wParam, lParam);
    case WM_PAINT:
        return OnPaint();
    case WM_ERASEBKGND:
        return OnEraseBackground();
    case WM_MOUSEMOVE:
        return OnMouseMove(wParam, PointOf(lParam));
    case WM_LBUTTONDOWN:
        return OnLButtonDown(wParam, PointOf(lParam));
    case WM_LBUTTONUP:
        return OnLButtonUp(wParam, PointOf(lParam));
    case WM_MOUSELEAVE:
        return OnMouseLeave();
    case HDM_LAYOUT:
        return OnLayout(reinterpret_cast<HDLAYOUT*>(lParam));
    default:
        return CallPrevious(message, wParam, lParam);
    }
}

void CHeaderCtrl::SetSortColumn(int column) {
    if (column == m_sortColumn) {
        m_ascending = !m_ascending;
    } else {
        m_sortColumn = column;
        m_ascending = true;
    }
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

int CHeaderCtrl::HitTest(POINT point) const {
    const int count = static_cast<int>(SendMessageA(m_hwnd, HDM_GETITEMCOUNT, 0, 0));
    for (int item = 0; item < count; ++item) {
        RECT rect = {};
        if (SendMessageA(m_hwnd, HDM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&rect)) &&
            PtInRect(&rect, point))
            return item;
    }
    return -1;
}

int CHeaderCtrl::ImageWidth(const ImageItem& item) const {
    const GDIImage* image = FindItemImage(
        m_host, GetItemValue(m_host, SubItem{}, m_hwnd, kHeaderKind, item, DRAWITEM_IMAGE), false);
    return image ? image->GetWidth() : 0;
}

int CHeaderCtrl::ImageHeight(const ImageItem& item) const {
    const GDIImage* image = FindItemImage(
        m_host, GetItemValue(m_host, SubItem{}, m_hwnd, kHeaderKind, item, DRAWITEM_IMAGE), false);
    return image ? image->GetHeight() : 0;
}

int CHeaderCtrl::SkinHeight() const {
    if (!m_info)
        return 0;
    if (const ImageItem* back = m_info->drawItems.FindImage(kBackNormal)) {
        if (const int height = ImageHeight(*back))
            return height;
    }
    return m_info->height;
}

LRESULT CHeaderCtrl::OnPaint() {
    CPaintDC paint(m_hwnd);
    if (!paint.Get())
        return 0;
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    CMemoryCanvas canvas;
    if (!canvas.Create(paint.Get(), client.right, client.bottom))
        return 0;
    HDC dc = canvas.GetDC();
    PaintFirstOf(dc, kHeaderKind, kBackNormal, {DRAWITEM_IMAGE, DRAWITEM_SURFACE}, client);
    const int count = static_cast<int>(SendMessageA(m_hwnd, HDM_GETITEMCOUNT, 0, 0));
    for (int item = 0; item < count; ++item) {
        RECT rect = {};
        if (SendMessageA(m_hwnd, HDM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&rect)))
            PaintItem(dc, item, rect);
    }
    BitBlt(paint.Get(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    return 0;
}

void CHeaderCtrl::PaintItem(HDC dc, int index, RECT rect) {
    if (!m_info)
        return;
    const DrawItemList& items = m_info->drawItems;
    // A surface background leaves a pixel at either side, for the separators.
    if (!PaintFirstOf(dc, kHeaderKind, kBackNormal, {DRAWITEM_IMAGE}, rect)) {
        InflateRect(&rect, -1, 0);
        PaintFirstOf(dc, kHeaderKind, kBackNormal, {DRAWITEM_SURFACE}, rect);
    }

    if (const ImageItem* separator = items.FindImage(kSeparator)) {
        RECT at = rect;
        at.left = rect.right - ImageWidth(*separator);
        PaintFirstOf(dc, kHeaderKind, kSeparator, {DRAWITEM_IMAGE}, at);
    } else if (const LineItem* line = items.FindLine(kSeparator)) {
        const RECT at = {rect.right - line->width, rect.top, rect.right + line->width, rect.bottom};
        PaintFirstOf(dc, kHeaderKind, kSeparator, {DRAWITEM_LINE}, at);
    }

    if (index == m_pressed)
        PaintFirstOf(dc, kHeaderKind, kBackDown, {DRAWITEM_IMAGE, DRAWITEM_SURFACE}, rect);
    else if (index == m_hover)
        PaintFirstOf(dc, kHeaderKind, kBackOver, {DRAWITEM_IMAGE, DRAWITEM_SURFACE}, rect);

    if (const TextItem* caption = items.FindTextItem(kCaption)) {
        char text[kCaptionRoom] = {};
        HDITEMA header = {};
        header.mask = HDI_TEXT;
        header.pszText = text;
        header.cchTextMax = kCaptionRoom;
        SendMessageA(m_hwnd, HDM_GETITEMA, index, reinterpret_cast<LPARAM>(&header));
        // The item's own caption in a copy: the description stays as it is
        // for the other headers that share it.
        TextItem copy = *caption;
        copy.content = text;
        m_textHelper.Paint(m_host, m_hwnd, kHeaderKind, dc, items, &copy, rect, SubItem{}, nullptr,
                           copy.index);
    }

    if (index == m_sortColumn) {
        const char* id = m_ascending ? kArrowAscend : kArrowDescend;
        if (const ImageItem* arrow = items.FindImage(id)) {
            const int width = ImageWidth(*arrow);
            const int height = ImageHeight(*arrow);
            RECT at = rect;
            at.left = rect.right - width - kArrowMargin;
            at.top = (rect.bottom - rect.top - height) / 2;
            at.bottom = at.top + height;
            PaintFirstOf(dc, kHeaderKind, id, {DRAWITEM_IMAGE}, at);
        }
    }
}

void CHeaderCtrl::SetHover(int item) {
    if (item == m_hover)
        return;
    m_hover = item;
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

LRESULT CHeaderCtrl::OnMouseMove(WPARAM keys, POINT point) {
    const int item = HitTest(point);
    if (item != m_hover) {
        SetHover(item);
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hwnd, HOVER_DEFAULT};
        TrackMouseEvent(&track);
    }
    return CallPrevious(WM_MOUSEMOVE, keys, MAKELPARAM(point.x, point.y));
}

LRESULT CHeaderCtrl::OnLButtonDown(WPARAM keys, POINT point) {
    const int item = HitTest(point);
    if (item >= 0) {
        m_pressed = item;
        InvalidateRect(m_hwnd, nullptr, FALSE);
    }
    return CallPrevious(WM_LBUTTONDOWN, keys, MAKELPARAM(point.x, point.y));
}

LRESULT CHeaderCtrl::OnLButtonUp(WPARAM keys, POINT point) {
    m_pressed = -1;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return CallPrevious(WM_LBUTTONUP, keys, MAKELPARAM(point.x, point.y));
}

LRESULT CHeaderCtrl::OnMouseLeave() {
    m_hover = -1;
    m_pressed = -1;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return CallPrevious(WM_MOUSELEAVE, 0, 0);
}

// The system lays the header out first; the skin then gives it its own
// height. A hidden header and a skin without a height keep the system's.
LRESULT CHeaderCtrl::OnLayout(HDLAYOUT* layout) {
    const LRESULT result = CallPrevious(HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(layout));
    const bool hidden = (GetWindowLongA(m_hwnd, GWL_STYLE) & HDS_HIDDEN) != 0;
    const int height = SkinHeight();
    if (result && layout && layout->prc && layout->pwpos && !hidden && height > 0) {
        layout->pwpos->cy = height;
        layout->prc->top = layout->pwpos->y + height;
    }
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return result;
}

} // namespace Velmora
