// A control the skin draws whole: what lies under it, its element's draw
// items of state "normal" (or the derived skin's own layout of its items) and
// whatever the derived skin paints over them.
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
    // Paints the look over what lies under the control (client-sized canvas):
    // the element's items of state "normal" unless the derived skin lays out
    // its items itself.
    virtual void PaintLook(HDC dc, const RECT& client);
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
    // Repaints the whole control now.
    void RepaintNow() const;
    // Paints the image item of the id, else its surface item, over rect; false
    // when the element has neither.
    bool PaintPart(HDC dc, const char* id, const RECT& rect);
    // The picture of the image item of the id; null when there is none.
    const GDIImage* PartImage(const char* id) const;

  private:
    LRESULT OnPaint();

    int m_kind;
};

} // namespace Velmora
