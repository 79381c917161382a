// The skin of trackbars ("msctls_trackbar32"): a background and a fill up to
// the thumb, while the trackbar keeps its own thumb dragging, keys and
// notifications. The skin paints no thumb: the fill's edge shows the position.
#pragma once

#include "DrawnCtrl.h"

namespace Velmora {

class CSlider : public CDrawnCtrl {
  public:
    CSlider(ISkinHost& host, WindowInfo* info);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  protected:
    void PaintLook(HDC dc, const RECT& client) override;
    LRESULT OnLButtonDown(POINT point, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnLButtonUp(POINT point, WPARAM wParam, LPARAM lParam) override;

  private:
    RECT ThumbRect();

    bool m_captured = false;
};

} // namespace Velmora
