// A control the skin draws whole: what lies under it, its element's draw
// items of state "normal" and whatever the derived skin paints over them.
// The mouse messages go to handlers that the derived skin may take over; by
// default they reach the window's own procedure, and the cursor is the
// element's.
#pragma once

#include "Window.h"

#include <windows.h>

namespace Velmora {

class CDrawnCtrl : public CWindow {
  public:
    CDrawnCtrl(ISkinHost& host, WindowInfo* info, int windowKind);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  protected:
    // Paints over the look (client-sized canvas), before it is shown.
    virtual void PaintContent(HDC dc, const RECT& client);
    virtual LRESULT OnCursor(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnLButtonDown(POINT point, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnLButtonUp(POINT point, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMouseMove(POINT point, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);

    int Kind() const { return m_kind; }
    RECT ClientRect() const;
    void Invalidate() const;

  private:
    LRESULT OnPaint();

    int m_kind;
};

} // namespace Velmora
