#include "SliderEx.h"

#include "GDIImage.h"
#include "WindowKind.h"

#include <algorithm>
#include <cstdlib>

namespace Velmora {

CSliderEx::CSliderEx(ISkinHost& host, WindowInfo* info)
    : CDrawnCtrl(host, info, KindNumber(WindowKind::SliderEx)) {}

LRESULT CSliderEx::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST:
        // Whatever window it is made of (a static lets the mouse through), the
        // slider takes the mouse.
        return HTCLIENT;
    case WM_CAPTURECHANGED:
        return OnCaptureChanged(wParam, lParam);
    default:
        return CDrawnCtrl::WindowProc(message, wParam, lParam);
    }
}

void CSliderEx::SetRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, TRUE);
}

void CSliderEx::SetPos(int position) {
    if (m_dragging)
        return;
    m_position = Clamped(position);
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, TRUE);
}

int CSliderEx::Clamped(int position) const {
    return std::max(std::min(position, m_maximum), m_minimum);
}

bool CSliderEx::GetTrack(Track& track) const {
    const GDIImage* thumb = PartImage("sliderex.thumb");
    RECT client = {};
    if (m_hwnd)
        GetClientRect(m_hwnd, &client);
    track.thumb = thumb ? thumb->GetWidth() : 0;
    track.width = client.right;
    return m_maximum > m_minimum && track.width > track.thumb;
}

int CSliderEx::CentreOf(const Track& track, int position) const {
    const double share = (static_cast<double>(Clamped(position)) - m_minimum) /
                         (static_cast<double>(m_maximum) - m_minimum);
    return track.thumb / 2 + static_cast<int>(share * (track.width - track.thumb));
}

int CSliderEx::PositionAt(const Track& track, int x) const {
    const double share =
        (static_cast<double>(x) - track.thumb / 2) / static_cast<double>(track.width - track.thumb);
    const double span = static_cast<double>(m_maximum) - m_minimum;
    // Kept in the range before it becomes an int: an odd thumb width lets x
    // reach a hair past the end.
    const double position =
        std::min(std::max(share * span + m_minimum, static_cast<double>(m_minimum)),
                 static_cast<double>(m_maximum));
    return static_cast<int>(position);
}

void CSliderEx::Notify(UINT message, int position) const {
    PostMessageA(GetParent(m_hwnd), message, static_cast<WPARAM>(GetDlgCtrlID(m_hwnd)),
                 static_cast<LPARAM>(position));
}

void CSliderEx::PaintLook(HDC dc, const RECT& client) {
    PaintPart(dc, "sliderex.back", client);
    Track track;
    if (!GetTrack(track))
        return;
    const int centre = CentreOf(track, m_position);
    if (centre > 0)
        PaintPart(dc, "sliderex.fill", {0, 0, centre, client.bottom});
    PaintPart(dc, "sliderex.thumb",
              {centre - track.thumb / 2, 0, centre + track.thumb / 2, client.bottom});
}

LRESULT CSliderEx::OnLButtonDown(POINT point, WPARAM wParam, LPARAM lParam) {
    Track track;
    if (GetTrack(track)) {
        const int x = static_cast<int>(point.x);
        const int centre = CentreOf(track, m_position);
        if (std::abs(x - centre) > track.thumb / 2) {
            // Beside the thumb: the position under the mouse, taken at once.
            const int half = track.thumb / 2;
            const int position = PositionAt(track, std::min(std::max(x, half), track.width - half));
            Notify(kPositionMessage, position);
            if (!m_dragging)
                m_position = position;
        } else {
            m_dragging = true;
            SetCapture(m_hwnd);
            m_dragOffset = x - centre;
        }
        InvalidateRect(m_hwnd, nullptr, TRUE);
    }
    return CallPrevious(WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT CSliderEx::OnMouseMove(POINT point, WPARAM wParam, LPARAM lParam) {
    Track track;
    if (m_dragging && GetTrack(track)) {
        const int half = track.thumb / 2;
        const int x =
            std::min(std::max(static_cast<int>(point.x) - m_dragOffset, half), track.width - half);
        if (x != CentreOf(track, m_position)) {
            m_position = PositionAt(track, x);
            InvalidateRect(m_hwnd, nullptr, TRUE);
            Notify(kDragMessage, m_position);
        }
    }
    return CallPrevious(WM_MOUSEMOVE, wParam, lParam);
}

LRESULT CSliderEx::OnLButtonUp(POINT, WPARAM wParam, LPARAM lParam) {
    if (m_dragging) {
        EndDrag();
        ReleaseCapture();
    }
    return CallPrevious(WM_LBUTTONUP, wParam, lParam);
}

// A drag whose capture another window took (a message box, a menu) ends
// where it is, as if the button had been let go there; otherwise the slider
// would ignore its program's positions for good.
LRESULT CSliderEx::OnCaptureChanged(WPARAM wParam, LPARAM lParam) {
    if (m_dragging && reinterpret_cast<HWND>(lParam) != m_hwnd)
        EndDrag();
    return CallPrevious(WM_CAPTURECHANGED, wParam, lParam);
}

void CSliderEx::EndDrag() {
    m_dragging = false;
    InvalidateRect(m_hwnd, nullptr, TRUE);
    Notify(kPositionMessage, m_position);
}

} // namespace Velmora
