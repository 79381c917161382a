#include "ScrollBar.h"

#include "DrawHelpers.h"
#include "GdiObjects.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <cstdint>

namespace Velmora {

namespace {

constexpr UINT_PTR kRepeatTimer = 100;
constexpr UINT kRepeatPeriod = 100;
// The first ticks of a held arrow only wait.
constexpr int kQuietTicks = 2;

POINT PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

// Toward zero, as a conversion would, but defined for every float.
int Truncate(float value) {
    if (!(value == value))
        return 0;
    if (value >= 2147483648.0f)
        return INT_MAX;
    if (value <= -2147483648.0f)
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace

CScrollBar::CScrollBar(ISkinHost& host, WindowInfo* info) : CWindow(host, info) {}

CScrollBar::~CScrollBar() {
    if (m_hwnd && IsWindow(m_hwnd))
        KillTimer(m_hwnd, kRepeatTimer);
}

// Only the size follows the element: its cells are the bar's thickness. The
// element's position is not applied.
void CScrollBar::Attach(HWND window) {
    if (!window) {
        CWindow::Attach(nullptr);
        return;
    }
    auto* element = static_cast<ScrollBarInfo*>(m_info);
    const ImageItem* back = element ? element->drawItems.FindImage("scrollbar.back") : nullptr;
    m_sprite.Set(element, back ? FindItemImage(m_host, back->imageId, false) : nullptr);
    if (element && element->width && element->height && IsWindow(window)) {
        RECT client = {};
        GetClientRect(window, &client);
        const LONG orientation = GetWindowLongA(window, GWL_STYLE) & 0xFF;
        int width = 0;
        int height = 0;
        if (orientation == SBS_HORZ) {
            width = client.right;
            height = element->height;
        } else if (orientation == SBS_VERT) {
            width = element->width;
            height = client.bottom;
        }
        SetWindowPos(window, nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    CHookWindow::Attach(window);
}

LRESULT CScrollBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        return OnDestroy(wParam, lParam);
    case WM_SETFOCUS:
        if (HWND parent = GetParent(m_hwnd))
            SetFocus(parent);
        return 0;
    case WM_PAINT:
        return OnPaint();
    case WM_ERASEBKGND:
        return OnEraseBackground();
    case WM_SETCURSOR:
        return OnSetCursor(wParam, lParam);
    case WM_NCPAINT:
    case WM_KEYUP:
        return 0;
    case SBM_SETSCROLLINFO:
    case SBM_SETPOS:
    case SBM_SETRANGEREDRAW:
        return PassOnWithoutDrawing(message, wParam, lParam);
    case WM_KEYDOWN:
        return OnKeyDown(static_cast<UINT>(wParam));
    case WM_TIMER:
        return OnTimer(wParam);
    case WM_MOUSEMOVE:
        return OnMouseMove(PointOf(lParam));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return OnLButtonDown(PointOf(lParam));
    case WM_LBUTTONUP:
        return OnLButtonUp(PointOf(lParam));
    case WM_MOUSELEAVE:
        return OnMouseLeave();
    case WM_CAPTURECHANGED:
        return OnCaptureChanged(reinterpret_cast<HWND>(lParam), lParam);
    default:
        return CallPrevious(message, wParam, lParam);
    }
}

int CScrollBar::Orientation() const {
    return static_cast<int>(GetWindowLongA(m_hwnd, GWL_STYLE) & 0xFF);
}

SIZE CScrollBar::Client() const {
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    return {client.right, client.bottom};
}

// The thumb's size from the share of the range a page takes. A page as large
// as the range or larger leaves nothing to scroll: the thumb fills the track.
void CScrollBar::MeasureThumb() {
    SCROLLINFO info = {sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(m_hwnd, SB_CTL, &info) || info.nMax == info.nMin || info.nPage == 0)
        return;
    const uint32_t pages =
        (static_cast<uint32_t>(info.nMax) - static_cast<uint32_t>(info.nMin)) / info.nPage;
    const SIZE client = Client();
    const auto share = [pages](int track) {
        return std::max(0, pages ? static_cast<int>(int64_t{track} / pages) : track);
    };
    if (Orientation() == SBS_HORZ)
        m_thumb = {share(client.cx - 2 * m_sprite.CellWidth()), m_sprite.CellHeight()};
    else
        m_thumb = {m_sprite.CellWidth(), share(client.cy - 2 * m_sprite.CellHeight())};
}

// Pixels from the end of the first arrow to the thumb for the raw position.
// Without room to scroll (a page as large as the range) the thumb starts at
// the track's start.
int CScrollBar::ThumbOffset() const {
    SCROLLINFO info = {sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(m_hwnd, SB_CTL, &info))
        return 0;
    const int64_t divisor = int64_t{info.nMax} - int64_t{info.nPage} - info.nMin;
    if (divisor <= 0)
        return 0;
    const float share =
        static_cast<float>(info.nPos) / static_cast<float>(static_cast<uint32_t>(divisor));
    const SIZE client = Client();
    const int room = Orientation() == SBS_HORZ ? client.cx - 2 * m_sprite.CellWidth() - m_thumb.cx
                                               : client.cy - 2 * m_sprite.CellHeight() - m_thumb.cy;
    return Truncate(static_cast<float>(room) * share);
}

// The position for a thumb dragged to start at pixel; not clamped. None when
// the thumb fills the track and cannot be dragged.
std::optional<int> CScrollBar::PositionAt(int pixel) const {
    SCROLLINFO info = {sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(m_hwnd, SB_CTL, &info))
        return std::nullopt;
    const SIZE client = Client();
    const bool horizontal = Orientation() == SBS_HORZ;
    const int arrow = horizontal ? m_sprite.CellWidth() : m_sprite.CellHeight();
    const int room =
        horizontal ? client.cx - 2 * arrow - m_thumb.cx : client.cy - 2 * arrow - m_thumb.cy;
    if (room <= 0)
        return std::nullopt;
    const auto range = static_cast<float>(int64_t{info.nMax} - info.nMin - int64_t{info.nPage});
    return Truncate(static_cast<float>(pixel - arrow) / static_cast<float>(room) * range);
}

int CScrollBar::HitTest(POINT point) {
    const int orientation = Orientation();
    if (orientation != SBS_HORZ && orientation != SBS_VERT)
        return PART_NONE;
    const SIZE client = Client();
    const int cw = m_sprite.CellWidth();
    const int ch = m_sprite.CellHeight();
    const int offset = ThumbOffset();
    struct Area {
        RECT rect;
        int part;
    };
    Area areas[5];
    if (orientation == SBS_HORZ) {
        const int x = cw + offset;
        areas[0] = {{0, 0, cw, ch}, PART_LEFT};
        areas[1] = {{client.cx - cw, 0, client.cx, ch}, PART_RIGHT};
        areas[2] = {{x, 0, x + m_thumb.cx, ch}, PART_THUMB};
        areas[3] = {{cw + 1, 0, x - 1, ch}, PART_PAGE_LEFT};
        areas[4] = {{x + m_thumb.cx + 1, 0, client.cx - cw - 1, ch}, PART_PAGE_RIGHT};
    } else {
        const int y = ch + offset;
        areas[0] = {{0, 0, cw, ch}, PART_UP};
        areas[1] = {{0, client.cy - ch, cw, client.cy}, PART_DOWN};
        areas[2] = {{0, y, cw, y + m_thumb.cy}, PART_THUMB};
        areas[3] = {{0, ch + 1, cw, y - 1}, PART_PAGE_UP};
        areas[4] = {{0, y + m_thumb.cy + 1, cw, client.cy - ch - 1}, PART_PAGE_DOWN};
    }
    for (const Area& area : areas) {
        if (!PtInRect(&area.rect, point))
            continue;
        const bool page = area.part >= PART_PAGE_DOWN;
        InvalidateRect(m_hwnd, page ? nullptr : &area.rect, page ? TRUE : FALSE);
        return area.part;
    }
    return PART_NONE;
}

LRESULT CScrollBar::OnPaint() {
    {
        CPaintDC paint(m_hwnd);
        const int orientation = Orientation();
        const SIZE client = Client();
        CMemoryCanvas canvas;
        if (paint.Get() && (orientation == SBS_HORZ || orientation == SBS_VERT) &&
            canvas.Create(paint.Get(), client.cx, client.cy)) {
            MeasureThumb();
            HDC dc = canvas.GetDC();
            const bool vertical = orientation == SBS_VERT;
            const int cw = m_sprite.CellWidth();
            const int ch = m_sprite.CellHeight();
            const RECT all = {0, 0, client.cx, client.cy};
            m_sprite.PaintCell(dc, vertical ? SPRITE_VERT_TRACK : SPRITE_HORZ_TRACK, SPRITE_NORMAL,
                               all);
            // A pressed arrow or thumb shows pressed and nothing else hot;
            // otherwise the arrow or thumb under the mouse shows over.
            const bool pressedShows = m_pressedPart >= PART_UP && m_pressedPart <= PART_THUMB;
            const auto column = [&](int part) {
                if (pressedShows)
                    return part == m_pressedPart ? SPRITE_DOWN : SPRITE_NORMAL;
                return part == m_hoverPart ? SPRITE_OVER : SPRITE_NORMAL;
            };
            const int offset = ThumbOffset();
            if (vertical) {
                m_sprite.PaintCell(dc, SPRITE_UP_ARROW, column(PART_UP), {0, 0, cw, ch});
                m_sprite.PaintCell(dc, SPRITE_DOWN_ARROW, column(PART_DOWN),
                                   {0, client.cy - ch, cw, client.cy});
                if (m_thumb.cy > 0)
                    m_sprite.PaintThumb(dc, true, column(PART_THUMB),
                                        {0, ch + offset, cw, ch + offset + m_thumb.cy});
            } else {
                m_sprite.PaintCell(dc, SPRITE_LEFT_ARROW, column(PART_LEFT), {0, 0, cw, ch});
                m_sprite.PaintCell(dc, SPRITE_RIGHT_ARROW, column(PART_RIGHT),
                                   {client.cx - cw, 0, client.cx, ch});
                if (m_thumb.cx > 0)
                    m_sprite.PaintThumb(dc, false, column(PART_THUMB),
                                        {cw + offset, 0, cw + offset + m_thumb.cx, ch});
            }
            BitBlt(paint.Get(), 0, 0, client.cx, client.cy, dc, 0, 0, SRCCOPY);
        }
    }
    return CallPrevious(WM_PAINT, 0, 0);
}

LRESULT CScrollBar::OnLButtonDown(POINT point) {
    SetCapture(m_hwnd);
    m_tracking = true;
    m_ticks = 0;
    SetTimer(m_hwnd, kRepeatTimer, kRepeatPeriod, nullptr);
    const int part = HitTest(point);
    if (part != PART_NONE)
        m_pressedPart = part;
    if (m_pressedPart == PART_THUMB)
        m_dragOffset = Orientation() == SBS_HORZ ? point.x - m_sprite.CellWidth() - ThumbOffset()
                                                 : point.y - m_sprite.CellHeight() - ThumbOffset();
    SendScroll(m_pressedPart);
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return 0;
}

LRESULT CScrollBar::OnTimer(UINT_PTR id) {
    if (id != kRepeatTimer)
        return 0;
    if (++m_ticks <= kQuietTicks)
        return 0;
    // Only arrows repeat; a page area sent its one message at the press.
    if (m_pressedPart >= PART_UP && m_pressedPart <= PART_RIGHT) {
        SendScroll(m_pressedPart);
        InvalidateRect(m_hwnd, nullptr, FALSE);
    }
    return 0;
}

LRESULT CScrollBar::OnMouseMove(POINT point) {
    if (m_hoverPart == PART_NONE) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hwnd, HOVER_DEFAULT};
        TrackMouseEvent(&track);
    }
    if (!m_tracking) {
        const int part = HitTest(point);
        if (part != PART_NONE)
            m_hoverPart = part;
    } else if (m_pressedPart == PART_THUMB) {
        const bool horizontal = Orientation() == SBS_HORZ;
        if (const auto position = PositionAt((horizontal ? point.x : point.y) - m_dragOffset)) {
            SendToParent(horizontal ? WM_HSCROLL : WM_VSCROLL, SB_THUMBTRACK, *position);
            InvalidateRect(m_hwnd, nullptr, FALSE);
            UpdateWindow(m_hwnd);
        }
    }
    return 0;
}

// No SB_THUMBPOSITION or SB_ENDSCROLL: the parent has had every position.
LRESULT CScrollBar::OnLButtonUp(POINT point) {
    KillTimer(m_hwnd, kRepeatTimer);
    m_tracking = false;
    ReleaseCapture();
    m_pressedPart = PART_NONE;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    const int part = HitTest(point);
    if (part != PART_NONE)
        m_hoverPart = part;
    return 0;
}

LRESULT CScrollBar::OnMouseLeave() {
    m_hoverPart = PART_NONE;
    m_pressedPart = PART_NONE;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return 0;
}

LRESULT CScrollBar::OnKeyDown(UINT key) {
    const bool horizontal = Orientation() == SBS_HORZ;
    int code = -1;
    switch (key) {
    case VK_LEFT:
        code = horizontal ? SB_LINELEFT : -1;
        break;
    case VK_RIGHT:
        code = horizontal ? SB_LINERIGHT : -1;
        break;
    case VK_UP:
        code = horizontal ? -1 : SB_LINEUP;
        break;
    case VK_DOWN:
        code = horizontal ? -1 : SB_LINEDOWN;
        break;
    case VK_PRIOR:
        code = SB_PAGEUP;
        break;
    case VK_NEXT:
        code = SB_PAGEDOWN;
        break;
    default:
        break;
    }
    if (code >= 0)
        SendToParent(horizontal ? WM_HSCROLL : WM_VSCROLL, code, 0);
    else
        InvalidateRect(m_hwnd, nullptr, FALSE);
    return 0;
}

// Another window took the mouse during a press: the press ends, and a held
// arrow stops repeating.
LRESULT CScrollBar::OnCaptureChanged(HWND gainer, LPARAM lParam) {
    if (m_tracking && gainer != m_hwnd) {
        KillTimer(m_hwnd, kRepeatTimer);
        m_tracking = false;
        m_pressedPart = PART_NONE;
        InvalidateRect(m_hwnd, nullptr, FALSE);
    }
    return CallPrevious(WM_CAPTURECHANGED, 0, lParam);
}

// The system hands SetScrollInfo, SetScrollPos and SetScrollRange of the
// control to it as these messages; the control keeps the values, and the
// skin, not the control, paints them.
LRESULT CScrollBar::PassOnWithoutDrawing(UINT message, WPARAM wParam, LPARAM lParam) {
    bool redraw = false;
    LRESULT result = 0;
    if (message == SBM_SETSCROLLINFO) {
        redraw = wParam != FALSE;
        result = CallPrevious(message, FALSE, lParam);
    } else if (message == SBM_SETPOS) {
        redraw = lParam != FALSE;
        result = CallPrevious(message, wParam, FALSE);
    } else {
        redraw = true;
        result = CallPrevious(SBM_SETRANGE, wParam, lParam);
    }
    if (redraw)
        InvalidateRect(m_hwnd, nullptr, FALSE);
    return result;
}

// The line and page parts send their scroll code; the thumb sends nothing.
void CScrollBar::SendScroll(int part) {
    static const struct {
        int part;
        UINT message;
        int code;
    } kCommands[] = {
        {PART_LEFT, WM_HSCROLL, SB_LINELEFT},      {PART_RIGHT, WM_HSCROLL, SB_LINERIGHT},
        {PART_PAGE_LEFT, WM_HSCROLL, SB_PAGELEFT}, {PART_PAGE_RIGHT, WM_HSCROLL, SB_PAGERIGHT},
        {PART_UP, WM_VSCROLL, SB_LINEUP},          {PART_DOWN, WM_VSCROLL, SB_LINEDOWN},
        {PART_PAGE_UP, WM_VSCROLL, SB_PAGEUP},     {PART_PAGE_DOWN, WM_VSCROLL, SB_PAGEDOWN},
    };
    for (const auto& command : kCommands) {
        if (command.part == part)
            SendToParent(command.message, command.code, 0);
    }
}

void CScrollBar::SendToParent(UINT message, int code, int position) {
    SendMessageA(GetParent(m_hwnd), message,
                 MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(position)),
                 reinterpret_cast<LPARAM>(m_hwnd));
}

} // namespace Velmora
