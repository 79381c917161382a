// The library's own slider (kind 21): any child window becomes a horizontal
// slider drawn and driven entirely by the skin, with a back, a fill up to the
// thumb and the thumb ("sliderex.back", "sliderex.fill", "sliderex.thumb").
// It tells its parent of a drag (0x2B15) and of a position taken (0x2B16),
// with its control id and the position.
#pragma once

#include "DrawnCtrl.h"

namespace Velmora {

class CSliderEx : public CDrawnCtrl {
  public:
    static constexpr UINT kDragMessage = 0x2B15;
    static constexpr UINT kPositionMessage = 0x2B16;

    CSliderEx(ISkinHost& host, WindowInfo* info);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // No check: a range whose ends are equal or crossed shows the back only.
    void SetRange(int minimum, int maximum);
    // Ignored while the user drags the thumb; otherwise clamped to the range.
    void SetPos(int position);

  protected:
    void PaintLook(HDC dc, const RECT& client) override;
    LRESULT OnLButtonDown(POINT point, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnMouseMove(POINT point, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnLButtonUp(POINT point, WPARAM wParam, LPARAM lParam) override;

  private:
    // Thumb width and client width; none when the slider has no room to move
    // (client not wider than its thumb) or no range.
    struct Track {
        int thumb = 0;
        int width = 0;
    };
    bool GetTrack(Track& track) const;
    // Thumb centre of a position, and the position of a thumb centre.
    int CentreOf(const Track& track, int position) const;
    int PositionAt(const Track& track, int x) const;
    int Clamped(int position) const;
    void Notify(UINT message, int position) const;
    void EndDrag();

    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);

    int m_minimum = 0;
    int m_maximum = 0;
    int m_position = 0;
    bool m_dragging = false;
    // From the press point to the thumb centre, in pixels.
    int m_dragOffset = 0;
};

} // namespace Velmora
