// The generic skin of a child window that no more specific skin claims: it
// paints its description's items once into a cached image that its skinned
// children take their backgrounds from.
#pragma once

#include "Window.h"

namespace Velmora {

class CCommonCtrl : public CWindow {
  public:
    CCommonCtrl(ISkinHost& host, WindowInfo* info);

    void Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Redraw(bool rebuild, const RECT* rect) override;

  private:
    LRESULT OnPaint();
};

} // namespace Velmora
