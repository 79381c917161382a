#include "WindowScrollBars.h"

#include "AsciiCase.h"
#include "DrawHelpers.h"
#include "ErrorBarrier.h"
#include "GdiObjects.h"

#include <windowsx.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <unordered_map>

namespace Velmora {

namespace {

constexpr UINT_PTR kFirstRepeatTimer = 60000;
constexpr UINT kFirstRepeatDelay = 400;
constexpr UINT_PTR kRepeatTimer = 60001;
constexpr UINT kRepeatDelay = 50;
constexpr LONG kBarStyles = WS_HSCROLL | WS_VSCROLL;
constexpr int kMinThumb = 10;
constexpr UINT kFrameChanged =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

// Parts of a bar, in the low four bits of the pressed and hot codes; the
// vertical bar's codes carry kVertical as well.
enum Part : int {
    PART_NONE = 0,
    PART_FIRST_ARROW = 1,
    PART_SECOND_ARROW = 2,
    PART_THUMB = 3,
    PART_PAGE_BACK = 4,
    PART_PAGE_FORWARD = 5,
};
constexpr int kPartMask = 0x0F;
constexpr int kVertical = 0x10;

// Records whose procedure is in their window's procedure chain.
std::unordered_map<HWND, SkinnedScrollBars*>& Records() {
    static std::unordered_map<HWND, SkinnedScrollBars*> records;
    return records;
}

// Windows that carry a record: while there are none, the intercepted
// functions go straight to the system.
std::atomic<int> g_carried{0};

bool IsBar(int bar) {
    return bar == SB_HORZ || bar == SB_VERT;
}

LONG StyleOf(int bar) {
    return bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
}

int BarOf(int code) {
    return (code & kVertical) ? SB_VERT : SB_HORZ;
}

int CodeOf(int bar, int part) {
    return part == PART_NONE ? 0 : part | (bar == SB_VERT ? kVertical : 0);
}

int CommandOf(int part) {
    switch (part) {
    case PART_FIRST_ARROW:
        return SB_LINEUP;
    case PART_SECOND_ARROW:
        return SB_LINEDOWN;
    case PART_PAGE_BACK:
        return SB_PAGEUP;
    default:
        return SB_PAGEDOWN;
    }
}

POINT PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

// MulDiv in 64 bits: rounded to the nearest, -1 for a zero divisor.
int64_t MulDiv64(int64_t value, int64_t multiplier, int64_t divisor) {
    if (divisor == 0)
        return -1;
    const int64_t product = value * multiplier;
    const bool negative = (product < 0) != (divisor < 0);
    const int64_t magnitude = product < 0 ? -product : product;
    const int64_t by = divisor < 0 ? -divisor : divisor;
    const int64_t quotient = (magnitude + by / 2) / by;
    return negative ? -quotient : quotient;
}

int64_t Range(const SCROLLINFO& info) {
    return int64_t{info.nMax} - info.nMin + 1;
}

} // namespace

bool SkinnedScrollBars::Install(HWND window, ISkinHost& host, const WindowInfo& owner) {
    if (!IsWindow(window) || owner.scrollBarId.empty())
        return false;
    const auto* element = static_cast<const ScrollBarInfo*>(
        host.FindDescription(DescriptionType::ScrollBar, owner.scrollBarId));
    const ImageItem* back = element ? element->drawItems.FindImage("scrollbar.back") : nullptr;
    GDIImage* image = back ? FindItemImage(host, back->imageId, false) : nullptr;
    if (!image)
        return false;

    std::unique_ptr<SkinnedScrollBars> bars(new SkinnedScrollBars());
    bars->m_window = window;
    bars->m_sprite.Set(element, image);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    for (int bar : {SB_HORZ, SB_VERT}) {
        SCROLLINFO& info = bars->m_info[bar];
        SCROLLINFO from = {sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
        if (SkinnedScrollBars* old = Of(window)) {
            // A window skinned again keeps what its shown bars held.
            if (style & StyleOf(bar))
                from = old->m_info[bar];
        } else {
            // What the window set before it was skinned stays.
            ::GetScrollInfo(window, bar, &from);
        }
        info = from;
        info.cbSize = sizeof(SCROLLINFO);
        info.fMask = SIF_ALL;
    }
    if (Of(window))
        Release(window);
    bars->m_leftScrollBar = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    char className[32] = {};
    GetClassNameA(window, className, sizeof(className));
    bars->m_richEdit = EqualsIgnoringAsciiCase(className, "RichEdit20A") ||
                       EqualsIgnoringAsciiCase(className, "RichEdit20W");

    SkinnedScrollBars* record = bars.get();
    Records()[window] = record;
    record->m_inChain = true;
    bars.release();
    record->m_previousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG>(&ScrollBarsProc)));
    SetPropA(window, kScrollBarProperty, record);
    ++g_carried;
    // The bars take their place in the non-client area now, not at the
    // window's next change of size.
    record->RecalculateFrame();
    return true;
}

void SkinnedScrollBars::Release(HWND window) {
    auto found = Records().find(window);
    if (found == Records().end() || found->second->m_released)
        return;
    SkinnedScrollBars* bars = found->second;
    bars->m_released = true;
    --g_carried;
    RemovePropA(window, kScrollBarProperty);
    KillTimer(window, kFirstRepeatTimer);
    KillTimer(window, kRepeatTimer);
    if (bars->m_tracking && GetCapture() == window) {
        bars->m_tracking = false;
        ReleaseCapture();
    }
    // A procedure that someone else hooked in above this one cannot be taken
    // out: the record stays in the chain, passing every message on, until
    // the window ends.
    if (GetWindowLongA(window, GWL_WNDPROC) == reinterpret_cast<LONG>(&ScrollBarsProc)) {
        SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG>(bars->m_previousProc));
        Records().erase(found);
        bars->m_inChain = false;
    }
    if (IsWindow(window)) {
        bars->HandBackToSystem();
        bars->RecalculateFrame();
    }
    if (bars->m_busy == 0 && !bars->m_inChain)
        delete bars;
}

SkinnedScrollBars* SkinnedScrollBars::Of(HWND window) {
    if (g_carried.load() == 0 || !window)
        return nullptr;
    // The records belong to the thread that skins the windows; a call from
    // another thread is the system's business.
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
        return nullptr;
    auto found = Records().find(window);
    return found == Records().end() || found->second->m_released ? nullptr : found->second;
}

// The property is gone by now, so these reach the system.
void SkinnedScrollBars::HandBackToSystem() {
    for (int bar : {SB_HORZ, SB_VERT}) {
        const bool shown = IsShown(bar);
        SCROLLINFO info = m_info[bar];
        info.cbSize = sizeof(SCROLLINFO);
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        ::SetScrollInfo(m_window, bar, &info, FALSE);
        ::ShowScrollBar(m_window, bar, shown);
        ::EnableScrollBar(m_window, bar, DisabledArrows(bar));
    }
}

LRESULT CALLBACK SkinnedScrollBars::ScrollBarsProc(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
    auto found = Records().find(window);
    if (found == Records().end())
        return DefWindowProcA(window, message, wParam, lParam);
    SkinnedScrollBars* bars = found->second;
    const WNDPROC previous = bars->m_previousProc;
    const auto windowsOwn = [=] {
        return CallWindowProcA(previous, window, message, wParam, lParam);
    };

    if (message == WM_NCDESTROY) {
        // The window ends: the record leaves its chain and goes.
        if (!bars->m_released) {
            bars->m_released = true;
            --g_carried;
            RemovePropA(window, kScrollBarProperty);
        }
        if (GetWindowLongA(window, GWL_WNDPROC) == reinterpret_cast<LONG>(&ScrollBarsProc))
            SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG>(previous));
        Records().erase(found);
        bars->m_inChain = false;
        const LRESULT result = CallGuarded(LRESULT{0}, windowsOwn);
        if (bars->m_busy == 0)
            delete bars;
        return result;
    }
    if (bars->m_released)
        return windowsOwn();

    ++bars->m_busy;
    LRESULT result = 0;
    try {
        result = bars->Dispatch(message, wParam, lParam);
    } catch (...) {
        result = CallGuarded(LRESULT{0}, windowsOwn);
    }
    // Let go of while its messages were being handled.
    if (--bars->m_busy == 0 && bars->m_released && !bars->m_inChain)
        delete bars;
    return result;
}

LRESULT SkinnedScrollBars::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCALCSIZE:
        return OnNcCalcSize(wParam != FALSE, lParam);
    case WM_NCPAINT:
        return OnNcPaint(wParam);
    case WM_NCHITTEST:
        return OnNcHitTest(PointOf(lParam), lParam);
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTVSCROLL || LOWORD(lParam) == HTHSCROLL) {
            SetCursor(LoadCursor(nullptr, IDC_ARROW));
            return TRUE;
        }
        break;
    case WM_NCMOUSEMOVE:
        return OnNcMouseMove(static_cast<int>(wParam), PointOf(lParam), lParam);
    case WM_NCLBUTTONDOWN:
        return OnNcLButtonDown(static_cast<int>(wParam), PointOf(lParam), lParam);
    case WM_TIMER:
        if (wParam == kFirstRepeatTimer || wParam == kRepeatTimer)
            return OnTimer(wParam);
        break;
    case WM_MOUSEMOVE:
        return OnMouseMove(static_cast<UINT>(wParam), PointOf(lParam), lParam);
    case WM_LBUTTONUP:
        return OnLButtonUp(static_cast<UINT>(wParam), PointOf(lParam), lParam);
    case WM_CAPTURECHANGED:
        return OnCaptureChanged(reinterpret_cast<HWND>(lParam));
    case WM_NCMOUSELEAVE:
        return OnNcMouseLeave();
    case WM_STYLECHANGED:
        return OnStyleChanged(static_cast<int>(wParam), reinterpret_cast<STYLESTRUCT*>(lParam),
                              lParam);
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDBLCLK:
        // Only on a bar: the system would start its own tracking there.
        if (wParam == HTHSCROLL || wParam == HTVSCROLL)
            return 0;
        break;
    default:
        break;
    }
    return CallPrevious(message, wParam, lParam);
}

LRESULT SkinnedScrollBars::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(m_previousProc, m_window, message, wParam, lParam);
}

LRESULT SkinnedScrollBars::CallWithoutBarStyles(UINT message, WPARAM wParam, LPARAM lParam) {
    const LONG bars = GetWindowLongA(m_window, GWL_STYLE) & kBarStyles;
    if (!bars)
        return CallPrevious(message, wParam, lParam);
    // The style changes of this round trip are not the window's business.
    struct Restore {
        SkinnedScrollBars& self;
        LONG bars;
        ~Restore() {
            SetWindowLongA(self.m_window, GWL_STYLE,
                           GetWindowLongA(self.m_window, GWL_STYLE) | bars);
            self.m_changingStyle = false;
        }
    };
    m_changingStyle = true;
    Restore restore{*this, bars};
    SetWindowLongA(m_window, GWL_STYLE, GetWindowLongA(m_window, GWL_STYLE) & ~bars);
    return CallPrevious(message, wParam, lParam);
}

LRESULT SkinnedScrollBars::OnNcCalcSize(bool validRects, LPARAM lParam) {
    const LRESULT result = CallWithoutBarStyles(WM_NCCALCSIZE, validRects, lParam);
    RECT* client = validRects ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                              : reinterpret_cast<RECT*>(lParam);
    if (!client)
        return result;
    const LONG style = GetWindowLongA(m_window, GWL_STYLE);
    if ((style & WS_HSCROLL) && client->bottom - client->top > CellHeight())
        client->bottom -= CellHeight();
    if ((style & WS_VSCROLL) && client->right - client->left > CellWidth()) {
        if (m_leftScrollBar)
            client->left += CellWidth();
        else
            client->right -= CellWidth();
    }
    return result;
}

LRESULT SkinnedScrollBars::OnNcPaint(WPARAM region) {
    if (!IsWindowVisible(m_window))
        return 0;
    const LRESULT result = CallWithoutBarStyles(WM_NCPAINT, region, 0);
    Repaint();
    return result;
}

LRESULT SkinnedScrollBars::OnNcHitTest(POINT screen, LPARAM lParam) {
    const RECT vertical = LayoutOf(SB_VERT).rect;
    if (PtInRect(&vertical, screen))
        return HTVSCROLL;
    const RECT horizontal = LayoutOf(SB_HORZ).rect;
    if (PtInRect(&horizontal, screen))
        return HTHSCROLL;
    return CallPrevious(WM_NCHITTEST, 0, lParam);
}

LRESULT SkinnedScrollBars::OnNcMouseMove(int hitCode, POINT screen, LPARAM lParam) {
    if (!m_leaveTracking && !m_tracking) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_NONCLIENT | TME_LEAVE, m_window, 0};
        m_leaveTracking = TrackMouseEvent(&track) != FALSE;
    }
    int hot = 0;
    if (hitCode == HTHSCROLL || hitCode == HTVSCROLL) {
        const int bar = hitCode == HTVSCROLL ? SB_VERT : SB_HORZ;
        if (!LayoutOf(bar).thumbAllowed)
            return 0;
        hot = CodeOf(bar, HitTest(bar, screen));
        if (!hot)
            return 0;
    }
    // Anywhere else on the frame (the size box among it) no part is hot.
    if (hot != m_hot) {
        m_hot = hot;
        Repaint();
    }
    return CallPrevious(WM_NCMOUSEMOVE, static_cast<WPARAM>(hitCode), lParam);
}

LRESULT SkinnedScrollBars::OnNcLButtonDown(int hitCode, POINT screen, LPARAM lParam) {
    if (hitCode != HTHSCROLL && hitCode != HTVSCROLL)
        return CallPrevious(WM_NCLBUTTONDOWN, static_cast<WPARAM>(hitCode), lParam);
    const int bar = hitCode == HTVSCROLL ? SB_VERT : SB_HORZ;
    const Layout layout = LayoutOf(bar);
    const int part = layout.thumbAllowed ? HitTest(bar, screen) : PART_NONE;
    if (part == PART_NONE)
        return 0;
    m_hot = m_pressed = CodeOf(bar, part);
    m_tracking = true;
    SCROLLINFO& info = m_info[bar];
    if (part == PART_THUMB) {
        info.nTrackPos = info.nPos;
        // A thumb let go where it was pressed stays where it was.
        m_dragTrackPos = info.nPos;
        m_dragOffset = (layout.vertical ? screen.y : screen.x) - layout.thumbStart;
    }
    SetCapture(m_window);
    Repaint();
    if (part != PART_THUMB) {
        m_command = CommandOf(part);
        SetTimer(m_window, kFirstRepeatTimer, kFirstRepeatDelay, nullptr);
        SendScroll(bar, m_command);
    }
    return 0;
}

LRESULT SkinnedScrollBars::OnTimer(UINT_PTR id) {
    if (id == kFirstRepeatTimer) {
        KillTimer(m_window, kFirstRepeatTimer);
        SetTimer(m_window, kRepeatTimer, kRepeatDelay, nullptr);
        return 0;
    }
    if (!m_pressed) {
        KillTimer(m_window, kRepeatTimer);
        return 0;
    }
    // The mouse is off the pressed part: the repetition waits for it.
    if (m_hot != m_pressed)
        return 0;
    const int bar = BarOf(m_pressed);
    const int part = m_pressed & kPartMask;
    if (part == PART_FIRST_ARROW || part == PART_SECOND_ARROW) {
        SendScroll(bar, m_command);
    } else if (part == PART_PAGE_BACK || part == PART_PAGE_FORWARD) {
        // Paging ends once the thumb has reached the cursor.
        const POINT cursor = PointOf(static_cast<LPARAM>(GetMessagePos()));
        const Layout layout = LayoutOf(bar);
        const int along = layout.vertical ? cursor.y : cursor.x;
        if ((part == PART_PAGE_BACK && layout.thumbStart <= along) ||
            (part == PART_PAGE_FORWARD && layout.thumbEnd >= along))
            KillTimer(m_window, kRepeatTimer);
        else
            SendScroll(bar, m_command);
    }
    return 0;
}

LRESULT SkinnedScrollBars::OnMouseMove(UINT keys, POINT client, LPARAM lParam) {
    if (!m_tracking || !(keys & MK_LBUTTON))
        return CallPrevious(WM_MOUSEMOVE, keys, lParam);
    POINT screen = client;
    ClientToScreen(m_window, &screen);
    const int bar = BarOf(m_pressed);
    const int part = m_pressed & kPartMask;
    if (part != PART_THUMB) {
        const int hot = HitTest(bar, screen) == part ? m_pressed : 0;
        if (hot != m_hot) {
            m_hot = hot;
            Repaint();
        }
        return 0;
    }
    const Layout layout = LayoutOf(bar);
    SCROLLINFO& info = m_info[bar];
    const int64_t range = Range(info);
    // The track room the thumb moves in; none, and the thumb cannot move.
    const int64_t room = layout.track - (layout.thumbEnd - layout.thumbStart);
    if (range <= 0 || room <= 0 || layout.thumbEnd == layout.thumbStart)
        return 0;
    const int along = layout.vertical ? screen.y : screen.x;
    const int64_t moved = std::clamp<int64_t>(along - m_dragOffset - layout.trackStart, 0, room);
    // Counted from the range's start, which need not be 0.
    const auto position =
        static_cast<int>(info.nMin + MulDiv64(moved, range - int64_t{info.nPage}, room));
    if (position != info.nPos) {
        info.nTrackPos = position;
        m_dragTrackPos = position;
        // A rich edit scrolls only on SB_THUMBPOSITION.
        SendScroll(bar, m_richEdit ? SB_THUMBPOSITION : SB_THUMBTRACK, position);
    }
    return 0;
}

LRESULT SkinnedScrollBars::OnLButtonUp(UINT keys, POINT client, LPARAM lParam) {
    if (!m_tracking || !m_pressed)
        return CallPrevious(WM_LBUTTONUP, keys, lParam);
    const int bar = BarOf(m_pressed);
    const int part = m_pressed & kPartMask;
    // Cleared first: the capture that ends now is not a capture lost.
    m_tracking = false;
    ReleaseCapture();
    KillTimer(m_window, kFirstRepeatTimer);
    KillTimer(m_window, kRepeatTimer);
    if (part == PART_THUMB) {
        SendScroll(bar, SB_THUMBPOSITION, m_dragTrackPos);
        SendScroll(bar, SB_ENDSCROLL);
        POINT screen = client;
        ClientToScreen(m_window, &screen);
        m_hot = CodeOf(bar, HitTest(bar, screen));
    } else {
        SendScroll(bar, SB_ENDSCROLL);
    }
    m_dragOffset = 0;
    m_command = -1;
    m_pressed = 0;
    m_dragTrackPos = 0;
    Repaint();
    return 0;
}

// Another window took the mouse (a menu, a dialog): the press ends as if the
// button had come up, so that nothing repeats on its own afterwards.
LRESULT SkinnedScrollBars::OnCaptureChanged(HWND gainer) {
    if (m_tracking && gainer != m_window)
        EndTracking();
    return CallPrevious(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(gainer));
}

void SkinnedScrollBars::EndTracking() {
    const int bar = BarOf(m_pressed);
    KillTimer(m_window, kFirstRepeatTimer);
    KillTimer(m_window, kRepeatTimer);
    m_tracking = false;
    m_pressed = 0;
    m_hot = 0;
    m_command = -1;
    m_dragOffset = 0;
    m_dragTrackPos = 0;
    Repaint();
    SendScroll(bar, SB_ENDSCROLL);
}

LRESULT SkinnedScrollBars::OnNcMouseLeave() {
    m_leaveTracking = false;
    if (!m_tracking && m_hot) {
        m_hot = 0;
        Repaint();
    }
    return 0;
}

LRESULT SkinnedScrollBars::OnStyleChanged(int which, const STYLESTRUCT* change, LPARAM lParam) {
    if (m_changingStyle)
        return 0;
    if (which == GWL_EXSTYLE && change &&
        ((change->styleOld ^ change->styleNew) & WS_EX_LEFTSCROLLBAR)) {
        m_leftScrollBar = (change->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
        RecalculateFrame();
    }
    return CallPrevious(WM_STYLECHANGED, static_cast<WPARAM>(which), lParam);
}

SkinnedScrollBars::Layout SkinnedScrollBars::LayoutOf(int bar) const {
    Layout layout;
    layout.vertical = bar == SB_VERT;
    const LONG style = GetWindowLongA(m_window, GWL_STYLE);
    RECT client = {};
    GetClientRect(m_window, &client);
    MapWindowPoints(m_window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    int start = 0;
    int end = 0;
    if (!layout.vertical) {
        if (style & WS_HSCROLL)
            layout.rect = {client.left, client.bottom, client.right, client.bottom + CellHeight()};
        layout.arrow = CellHeight();
        start = layout.rect.left;
        end = layout.rect.right;
    } else {
        if ((style & WS_VSCROLL) && m_leftScrollBar)
            layout.rect = {client.left - CellWidth(), client.top, client.left, client.bottom};
        else if (style & WS_VSCROLL)
            layout.rect = {client.right, client.top, client.right + CellWidth(), client.bottom};
        layout.arrow = CellWidth();
        start = layout.rect.top;
        end = layout.rect.bottom;
    }
    layout.trackStart = start + layout.arrow;
    layout.secondArrow = end - layout.arrow;
    layout.track = end - start - 2 * layout.arrow;

    const SCROLLINFO& info = m_info[bar];
    layout.thumbAllowed =
        info.nPage != 0 && info.nMax > info.nMin && int64_t{info.nMax} >= int64_t{info.nPage};
    if (!layout.thumbAllowed || IsRectEmpty(&layout.rect))
        return layout;
    const int64_t range = Range(info);
    const int64_t thumb = std::max<int64_t>(MulDiv64(info.nPage, layout.track, range), kMinThumb);
    const int64_t room = layout.track - thumb;
    const int64_t offset =
        MulDiv64(int64_t{info.nPos} - info.nMin, room, range - std::max<int64_t>(info.nPage, 1));
    layout.thumbStart =
        layout.trackStart +
        static_cast<int>(std::clamp<int64_t>(offset, 0, std::max<int64_t>(room, 0)));
    layout.thumbEnd = layout.thumbStart + static_cast<int>(thumb);
    return layout;
}

int SkinnedScrollBars::HitTest(int bar, POINT screen) const {
    const Layout layout = LayoutOf(bar);
    const RECT& rect = layout.rect;
    if (IsRectEmpty(&rect) || screen.x < rect.left || screen.x > rect.right ||
        screen.y < rect.top || screen.y > rect.bottom)
        return PART_NONE;
    const int along = layout.vertical ? screen.y : screen.x;
    const bool hasThumb = layout.thumbEnd > layout.thumbStart;
    int part = PART_NONE;
    if (along < layout.trackStart)
        part = PART_FIRST_ARROW;
    else if (layout.trackStart < along && along < layout.thumbStart)
        part = PART_PAGE_BACK;
    else if (hasThumb && layout.thumbStart <= along && along <= layout.thumbEnd)
        part = PART_THUMB;
    else if (along > layout.thumbEnd && along < layout.secondArrow)
        part = PART_PAGE_FORWARD;
    else if (along >= layout.secondArrow)
        part = PART_SECOND_ARROW;
    // A bar with a disabled arrow still lets its thumb be dragged.
    if (DisabledArrows(bar) && part != PART_THUMB)
        part = PART_NONE;
    return part;
}

int SkinnedScrollBars::Column(int bar, int part) const {
    if (DisabledArrows(bar))
        return SPRITE_DISABLED;
    if (m_hot == CodeOf(bar, part))
        return m_tracking ? SPRITE_DOWN : SPRITE_OVER;
    return SPRITE_NORMAL;
}

unsigned SkinnedScrollBars::DisabledArrows(int bar) const {
    return bar == SB_VERT ? (m_disabledArrows >> 2) & ESB_DISABLE_BOTH
                          : m_disabledArrows & ESB_DISABLE_BOTH;
}

bool SkinnedScrollBars::IsShown(int bar) const {
    return (GetWindowLongA(m_window, GWL_STYLE) & StyleOf(bar)) != 0;
}

bool SkinnedScrollBars::SetShown(int bar, bool shown) {
    const LONG style = GetWindowLongA(m_window, GWL_STYLE);
    const LONG wanted = shown ? style | StyleOf(bar) : style & ~StyleOf(bar);
    if (wanted == style)
        return false;
    SetWindowLongA(m_window, GWL_STYLE, wanted);
    return true;
}

void SkinnedScrollBars::RecalculateFrame() const {
    SetWindowPos(m_window, nullptr, 0, 0, 0, 0, kFrameChanged);
}

void SkinnedScrollBars::SendScroll(int bar, int code, int position) {
    SendMessageA(m_window, bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL,
                 MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(position)), 0);
}

void SkinnedScrollBars::PaintBar(HDC dc, int bar, POINT origin) {
    const Layout layout = LayoutOf(bar);
    if (IsRectEmpty(&layout.rect))
        return;
    RECT rect = layout.rect;
    OffsetRect(&rect, -origin.x, -origin.y);
    RECT first = rect;
    RECT second = rect;
    RECT track = rect;
    RECT thumb = rect;
    if (layout.vertical) {
        first.bottom = track.top = rect.top + layout.arrow;
        second.top = track.bottom = rect.bottom - layout.arrow;
        thumb.top = layout.thumbStart - origin.y;
        thumb.bottom = layout.thumbEnd - origin.y;
    } else {
        first.right = track.left = rect.left + layout.arrow;
        second.left = track.right = rect.right - layout.arrow;
        thumb.left = layout.thumbStart - origin.x;
        thumb.right = layout.thumbEnd - origin.x;
    }
    const int thumbColumn = Column(bar, PART_THUMB);
    const bool drawThumb = layout.thumbEnd > layout.thumbStart && thumbColumn != SPRITE_DISABLED &&
                           layout.track >= layout.thumbEnd - layout.thumbStart;
    // The track goes round the thumb, so nothing under the thumb flickers.
    const int saved = SaveDC(dc);
    if (drawThumb)
        ExcludeClipRect(dc, thumb.left, thumb.top, thumb.right, thumb.bottom);
    m_sprite.PaintCell(dc, layout.vertical ? SPRITE_VERT_TRACK : SPRITE_HORZ_TRACK, SPRITE_NORMAL,
                       track);
    RestoreDC(dc, saved);
    if (drawThumb)
        m_sprite.PaintThumb(dc, layout.vertical, thumbColumn, thumb);
    m_sprite.PaintCell(dc, layout.vertical ? SPRITE_UP_ARROW : SPRITE_LEFT_ARROW,
                       Column(bar, PART_FIRST_ARROW), first);
    m_sprite.PaintCell(dc, layout.vertical ? SPRITE_DOWN_ARROW : SPRITE_RIGHT_ARROW,
                       Column(bar, PART_SECOND_ARROW), second);
}

void SkinnedScrollBars::Repaint() {
    if (m_released || !IsWindowVisible(m_window))
        return;
    CWindowDC dc(m_window);
    if (!dc.Get())
        return;
    RECT window = {};
    GetWindowRect(m_window, &window);
    const POINT origin = {window.left, window.top};
    PaintBar(dc.Get(), SB_VERT, origin);
    PaintBar(dc.Get(), SB_HORZ, origin);
    if (IsShown(SB_HORZ) && IsShown(SB_VERT)) {
        RECT corner = LayoutOf(SB_VERT).rect;
        corner.top = corner.bottom;
        corner.bottom += CellWidth();
        OffsetRect(&corner, -origin.x, -origin.y);
        m_sprite.PaintCell(dc.Get(), SPRITE_CORNER, SPRITE_NORMAL, corner);
    }
}

int SkinnedScrollBars::SetScrollInfo(int bar, const SCROLLINFO* given, BOOL redraw) {
    if (!IsBar(bar) || !given ||
        (given->cbSize != sizeof(SCROLLINFO) &&
         given->cbSize != sizeof(SCROLLINFO) - sizeof(given->nTrackPos)))
        return 0;
    const bool paint = redraw && IsWindowVisible(m_window);
    const UINT mask = given->fMask;
    SCROLLINFO& info = m_info[bar];
    const bool wasShown = IsShown(bar);
    if (!(mask & SIF_RANGE) && !wasShown)
        return 0;

    const int before = info.nPos;
    bool changed = false;
    bool checkPage = false;
    bool checkPosition = false;
    if (mask & SIF_RANGE) {
        const int maximum = std::max(given->nMax, given->nMin);
        if (given->nMin != info.nMin || maximum != info.nMax) {
            info.nMin = given->nMin;
            info.nMax = maximum;
            changed = checkPage = checkPosition = true;
        }
    }
    const bool pageGiven = (mask & SIF_PAGE) != 0;
    if (pageGiven || checkPage) {
        const uint64_t page = std::min<uint64_t>(pageGiven ? given->nPage : info.nPage,
                                                 static_cast<uint64_t>(Range(info)));
        if (page != info.nPage) {
            info.nPage = static_cast<UINT>(page);
            changed = checkPosition = true;
        }
    }
    if ((mask & SIF_POS) || checkPosition) {
        const int64_t highest = std::max<int64_t>(
            int64_t{info.nMax} - std::max<int64_t>(int64_t{info.nPage} - 1, 0), info.nMin);
        const auto position = static_cast<int>(
            std::clamp<int64_t>((mask & SIF_POS) ? given->nPos : info.nPos, info.nMin, highest));
        if (position != info.nPos) {
            info.nPos = position;
            changed = true;
        }
    }
    if ((mask & SIF_TRACKPOS) && given->cbSize == sizeof(SCROLLINFO))
        info.nTrackPos = given->nTrackPos;

    const int64_t span = int64_t{info.nMax} - info.nMin;
    bool shown = wasShown;
    if (mask & SIF_RANGE)
        shown = info.nMin != info.nMax && int64_t{info.nPage} <= span;
    else if (pageGiven)
        shown = int64_t{info.nPage} <= span;
    const int earlyResult = (mask & SIF_POS) ? before : info.nPos;

    if (changed || (mask & SIF_DISABLENOSCROLL)) {
        if (mask & SIF_DISABLENOSCROLL) {
            // Shown bars stay, disabled while there is nothing to scroll.
            shown = shown || wasShown;
            if (SetShown(bar, shown))
                RecalculateFrame();
            if (shown)
                EnableScrollBar(bar,
                                int64_t{info.nPage} <= span ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
        } else if (shown != wasShown) {
            SetShown(bar, shown);
            RecalculateFrame();
            return earlyResult;
        }
    } else if (!wasShown || !paint) {
        return earlyResult;
    }
    if (IsShown(bar)) {
        if (paint)
            Repaint();
    } else if (LayoutOf(bar).thumbAllowed) {
        RecalculateFrame();
    }
    return info.nPos;
}

BOOL SkinnedScrollBars::GetScrollInfo(int bar, SCROLLINFO* info) const {
    if (!IsBar(bar) || !info || info->cbSize != sizeof(SCROLLINFO))
        return FALSE;
    const SCROLLINFO& own = m_info[bar];
    if (info->fMask & SIF_PAGE)
        info->nPage = own.nPage;
    if (info->fMask & SIF_POS)
        info->nPos = own.nPos;
    if (info->fMask & SIF_TRACKPOS)
        info->nTrackPos = own.nTrackPos;
    if (info->fMask & SIF_RANGE) {
        info->nMin = own.nMin;
        info->nMax = own.nMax;
    }
    return (info->fMask & SIF_ALL) != 0;
}

int SkinnedScrollBars::SetScrollPos(int bar, int position, BOOL redraw) {
    if (!IsBar(bar))
        return 0;
    const int previous = m_info[bar].nPos;
    m_info[bar].nPos = position;
    if (redraw)
        Repaint();
    return previous;
}

int SkinnedScrollBars::GetScrollPos(int bar) const {
    return IsBar(bar) ? m_info[bar].nPos : 0;
}

BOOL SkinnedScrollBars::SetScrollRange(int bar, int minimum, int maximum, BOOL redraw) {
    if (!IsBar(bar))
        return FALSE;
    m_info[bar].nMin = minimum;
    m_info[bar].nMax = maximum;
    // An empty range hides the bar; a bar hidden that way comes back with a
    // range again, as the system's own bars do.
    if (minimum == 0 && maximum == 0)
        ShowScrollBar(bar, FALSE);
    else if (!IsShown(bar))
        ShowScrollBar(bar, TRUE);
    else if (redraw)
        Repaint();
    return TRUE;
}

BOOL SkinnedScrollBars::GetScrollRange(int bar, int* minimum, int* maximum) const {
    if (!IsBar(bar) || !minimum || !maximum)
        return FALSE;
    *minimum = m_info[bar].nMin;
    *maximum = m_info[bar].nMax;
    return TRUE;
}

BOOL SkinnedScrollBars::ShowScrollBar(int bar, BOOL show) {
    if (bar == SB_CTL) {
        ShowWindow(m_window, show ? SW_SHOW : SW_HIDE);
        return TRUE;
    }
    if (!IsBar(bar) && bar != SB_BOTH)
        return FALSE;
    bool changed = false;
    if (bar == SB_HORZ || bar == SB_BOTH)
        changed |= SetShown(SB_HORZ, show != FALSE);
    if (bar == SB_VERT || bar == SB_BOTH)
        changed |= SetShown(SB_VERT, show != FALSE);
    if (changed)
        RecalculateFrame();
    return TRUE;
}

BOOL SkinnedScrollBars::EnableScrollBar(UINT bars, UINT arrows) {
    if (bars != SB_HORZ && bars != SB_VERT && bars != SB_BOTH)
        return FALSE;
    const unsigned before = m_disabledArrows;
    const auto apply = [&](int shift) {
        if (arrows)
            m_disabledArrows |= (arrows & ESB_DISABLE_BOTH) << shift;
        else
            m_disabledArrows &= ~(ESB_DISABLE_BOTH << shift);
    };
    if (bars == SB_HORZ || bars == SB_BOTH)
        apply(0);
    if (bars == SB_VERT || bars == SB_BOTH)
        apply(2);
    const bool horizontalChanged = ((before ^ m_disabledArrows) & 3) != 0;
    const bool verticalChanged = ((before ^ m_disabledArrows) & 12) != 0;
    if ((horizontalChanged && IsShown(SB_HORZ)) || (verticalChanged && IsShown(SB_VERT)))
        Repaint();
    return before != m_disabledArrows;
}

} // namespace Velmora
