// The skin of a header control ("SysHeader32"), on its own or as the header
// of a skinned list: it paints the background, the items with their hover and
// pressed looks, the separators, the captions and the sort arrow, and gives
// the header the height of its background picture or of its description.
#pragma once

#include "Window.h"

#include <commctrl.h>
#include <windows.h>

namespace Velmora {

class CHeaderCtrl : public CWindow {
  public:
    CHeaderCtrl(ISkinHost& host, WindowInfo* info);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The column the list is sorted by: the same column again flips the
    // direction, another one is taken ascending.
    void SetSortColumn(int column);

  private:
    // The item under a client point, -1 for none.
    int HitTest(POINT point) const;
    // The skin's height of the header; 0 when the skin gives none.
    int SkinHeight() const;
    // The width of the picture an image item of the description shows; 0 when none.
    int ImageWidth(const ImageItem& item) const;
    int ImageHeight(const ImageItem& item) const;
    void PaintItem(HDC dc, int index, RECT rect);

    LRESULT OnPaint();
    LRESULT OnMouseMove(WPARAM keys, POINT point);
    LRESULT OnLButtonDown(WPARAM keys, POINT point);
    LRESULT OnLButtonUp(WPARAM keys, POINT point);
    LRESULT OnMouseLeave();
    LRESULT OnLayout(HDLAYOUT* layout);
    void SetHover(int item);

    bool m_ascending = true;
    int m_sortColumn = -1;
    int m_hover = -1;
    int m_pressed = -1;
};

} // namespace Velmora
