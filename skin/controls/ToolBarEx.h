// The library's own toolbar (kind 13): a row or column of buttons painted
// from the item styles of its "toolbarex" element. A click posts 0x2B13 to
// its parent; with "checked" the clicked button stays selected.
#pragma once

#include "ItemCtrl.h"

namespace Velmora {

class CToolBarEx : public CItemCtrl {
  public:
    static constexpr UINT kItemClicked = 0x2B13;

    CToolBarEx(ISkinHost& host, WindowInfo* info);

    // The library interface's operations; ids are the items' own.
    int AddItem(const char* style);
    int RemoveItem(int id);
    int SetItemSelected(int id);

  private:
    const ToolBarExInfo* Info() const;
    RECT ItemRect(size_t index) const;
    // The index of the button under point; -1 for none.
    int HitTest(POINT point) const;

    void PaintContent(HDC dc, const RECT& client) override;
    // The element's cursor over a button, the window's own elsewhere.
    LRESULT OnCursor(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnLButtonDown(POINT point, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnLButtonUp(POINT point, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnMouseMove(POINT point, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam) override;

    int m_hover = -1;
    int m_selected = -1;
};

} // namespace Velmora
