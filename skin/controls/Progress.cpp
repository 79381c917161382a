#include "Progress.h"

#include "WindowKind.h"

#include <commctrl.h>

#include <cstdint>

namespace Velmora {

CProgress::CProgress(ISkinHost& host, WindowInfo* info)
    : CDrawnCtrl(host, info, KindNumber(WindowKind::Progress)) {}

void CProgress::Attach(HWND window) {
    CWindow::Attach(window);
    if (!window || GetHwnd() != window)
        return;
    // The skin's look is the whole bar: the sunken edge goes, and the client
    // area grows into its place.
    ChangeWindowStyle(window, GWL_EXSTYLE, WS_EX_STATICEDGE, 0);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CProgress::PaintLook(HDC dc, const RECT& client) {
    PBRANGE range = {};
    CallPrevious(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    const auto position = static_cast<int>(CallPrevious(PBM_GETPOS, 0, 0));
    // The share of the range the bar has covered, so that a range that does
    // not start at 0 shows empty at its start; a range of the whole int span
    // is halved until it fits the painter's numbers.
    int64_t span = int64_t{range.iHigh} - range.iLow;
    int64_t done = int64_t{position} - range.iLow;
    while (span > INT32_MAX) {
        span /= 2;
        done /= 2;
    }
    PaintProgress(m_host, m_hwnd, Kind(), dc, m_info->drawItems, client, static_cast<int>(done),
                  static_cast<int>(span));
}

} // namespace Velmora
