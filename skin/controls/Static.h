// The skin of static controls: painted in the state the mouse gives it (over,
// pressed) or disabled, whether or not the static notifies its parent.
#pragma once

#include "Window.h"

namespace Velmora {

class CStatic : public CWindow {
  public:
    CStatic(ISkinHost& host, WindowInfo* info);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    LRESULT OnPaint();
    LRESULT Repainted(UINT message, WPARAM wParam, LPARAM lParam);

    bool m_hovering = false;
    bool m_pressed = false;
};

} // namespace Velmora
