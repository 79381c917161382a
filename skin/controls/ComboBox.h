// The skin of a combo box ("ComboBox"): painted by the skin in its normal,
// over and down looks, with the system drawing only the current item into the
// item rectangle. A dropped-down list keeps the over look whatever the mouse
// does; the parent's skin reports it.
#pragma once

#include "Window.h"

#include <windows.h>

namespace Velmora {

class CComboBox : public CWindow {
  public:
    CComboBox(ISkinHost& host, WindowInfo* info);

    void Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void SetDroppedDown(bool dropped) override;

  private:
    LRESULT OnPaint();
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnButton(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave();

    bool m_hovering = false;
    bool m_pressed = false;
    bool m_leaveTracking = false;
    bool m_droppedDown = false;
};

} // namespace Velmora
