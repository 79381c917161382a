#include "Animate.h"

#include "WindowKind.h"

namespace Velmora {

CAnimate::CAnimate(ISkinHost& host, WindowInfo* info)
    : CDrawnCtrl(host, info, KindNumber(WindowKind::Animate)) {}

CAnimate::~CAnimate() {
    if (m_playing && m_hwnd)
        KillTimer(m_hwnd, kFrameTimer);
}

const AnimateInfo* CAnimate::Info() const {
    return dynamic_cast<const AnimateInfo*>(m_info);
}

LRESULT CAnimate::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER)
        return OnTimer(wParam, lParam);
    return CDrawnCtrl::WindowProc(message, wParam, lParam);
}

void CAnimate::Play(bool play) {
    if (!play) {
        Stop(false);
        return;
    }
    m_playing = true;
    m_showing = true;
    m_frame = 0;
    RepaintNow();
    // With one frame, or no time between frames, there is nothing to run:
    // the animation shows its first frame instead of repainting as fast as
    // timers go.
    const AnimateInfo* info = Info();
    if (m_hwnd && info && info->frameCount > 1 && info->delayTime > 0)
        SetTimer(m_hwnd, kFrameTimer, static_cast<UINT>(info->delayTime), nullptr);
}

void CAnimate::Stop(bool keepFrame) {
    m_playing = false;
    m_showing = keepFrame;
    if (m_hwnd)
        KillTimer(m_hwnd, kFrameTimer);
    RepaintNow();
}

// The window's own timers are its own.
LRESULT CAnimate::OnTimer(WPARAM wParam, LPARAM lParam) {
    if (wParam != kFrameTimer)
        return CallPrevious(WM_TIMER, wParam, lParam);
    const AnimateInfo* info = Info();
    if (!m_playing || !info)
        return 0;
    if (m_frame >= info->frameCount - 1) {
        if (!info->cycle) {
            Stop(true);
            return 0;
        }
        m_frame = 0;
    } else {
        ++m_frame;
    }
    RepaintNow();
    return 0;
}

void CAnimate::PaintLook(HDC dc, const RECT& client) {
    if (!m_showing)
        return;
    // Every picture of the description is a strip of frames side by side.
    for (const auto& image : m_info->drawItems.Images())
        image->region = {m_frame * m_info->width, 0, m_info->width, m_info->height};
    PaintItems(dc, Kind(), m_info->drawItems, STATE_DISABLE, client, -1, -1, nullptr);
}

} // namespace Velmora
