// The frame animation (kind 22): any child window shows the frames of a
// horizontal filmstrip, one frame of the description's width and height each,
// advanced by timer 101 every "delaytime" milliseconds; started and stopped by
// the program. An animation the program stopped shows only its background; one
// that does not cycle stops by itself on its last frame and keeps showing it.
#pragma once

#include "DrawnCtrl.h"

namespace Velmora {

class CAnimate : public CDrawnCtrl {
  public:
    static constexpr UINT_PTR kFrameTimer = 101;

    CAnimate(ISkinHost& host, WindowInfo* info);
    ~CAnimate() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void Play(bool play);
    bool IsPlaying() const { return m_playing; }
    int Frame() const { return m_frame; }

  protected:
    void PaintLook(HDC dc, const RECT& client) override;

  private:
    const AnimateInfo* Info() const;
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    // Ends the frames' timer; keepFrame leaves the frame shown.
    void Stop(bool keepFrame);

    bool m_playing = false;
    bool m_showing = false;
    int m_frame = 0;
};

} // namespace Velmora
