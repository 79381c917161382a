// The skin of trackbars ("msctls_trackbar32"): a background and a fill up to
// the thumb, while the trackbar keeps its own thumb dragging, keys and
// notifications. The skin paints no thumb: the fill's edge shows the position.
#pragma once

#include "BufferedControl.h"

namespace Velmora {

class CSlider : public CBufferedControl {
  public:
    CSlider(ISkinHost& host, WindowInfo* info);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  protected:
    void PaintContent(HDC dc, const RECT& client) override;

  private:
    LRESULT OnButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonUp(WPARAM wParam, LPARAM lParam);

    bool m_captured = false;
};

} // namespace Velmora
