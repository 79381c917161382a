// The skin of a scroll bar control ("ScrollBar"): painted from the sprite
// sheet of its "scrollbar" element, with its whole mouse and keyboard
// handling replaced, sending WM_HSCROLL and WM_VSCROLL to its parent.
#pragma once

#include "ScrollBarSprite.h"
#include "Window.h"

#include <windows.h>

#include <optional>

namespace Velmora {

class CScrollBar : public CWindow {
  public:
    CScrollBar(ISkinHost& host, WindowInfo* info);
    ~CScrollBar() override;

    void Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // Parts of the control.
    enum Part : int {
        PART_NONE = -1,
        PART_UP = 0,
        PART_DOWN = 1,
        PART_LEFT = 2,
        PART_RIGHT = 3,
        PART_THUMB = 4,
        PART_PAGE_DOWN = 5,
        PART_PAGE_UP = 6,
        PART_PAGE_LEFT = 7,
        PART_PAGE_RIGHT = 8,
    };

    LRESULT OnPaint();
    LRESULT OnLButtonDown(POINT point);
    LRESULT OnTimer(UINT_PTR id);
    LRESULT OnMouseMove(POINT point);
    LRESULT OnLButtonUp(POINT point);
    LRESULT OnMouseLeave();
    LRESULT OnKeyDown(UINT key);
    LRESULT OnCaptureChanged(HWND gainer, LPARAM lParam);
    // Lets the control take new scroll values without painting its own look
    // over the skin's.
    LRESULT PassOnWithoutDrawing(UINT message, WPARAM wParam, LPARAM lParam);

    // Style low byte: SBS_HORZ 0, SBS_VERT 1; others are not painted.
    int Orientation() const;
    SIZE Client() const;
    void MeasureThumb();
    int ThumbOffset() const;
    std::optional<int> PositionAt(int pixel) const;
    int HitTest(POINT point);
    void SendScroll(int part);
    void SendToParent(UINT message, int code, int position);

    CScrollBarSprite m_sprite;
    bool m_tracking = false;
    int m_hoverPart = PART_NONE;
    int m_pressedPart = PART_NONE;
    SIZE m_thumb = {};
    int m_ticks = 0;
    int m_dragOffset = 0;
};

} // namespace Velmora
