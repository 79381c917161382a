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

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The library interface's operations; ids are the items' own.
    int AddItem(const char* style);
    int RemoveItem(int id);
    int SetItemSelected(int id);

  private:
    const ToolBarExInfo* Info() const;
    RECT ItemRect(size_t index) const;
    // The index of the button under point; -1 for none.
    int HitTest(POINT point) const;

    LRESULT OnPaint();
    LRESULT OnSetCursorOverItems(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);

    int m_hover = -1;
    int m_selected = -1;
};

} // namespace Velmora
