// The library's own tab strip (kind 15): a row of tabs painted from the item
// styles of its "tabctrlex" element, scrolled by the arrows "tabscrollleft"
// and "tabscrollright" when the tabs do not fit. It posts 0x2B12 to its parent
// when a tab is chosen and 0x2B11 when an event item of a tab is clicked.
#pragma once

#include "ItemCtrl.h"

namespace Velmora {

class CTabCtrlEx : public CItemCtrl {
  public:
    static constexpr UINT kEventItemClicked = 0x2B11;
    static constexpr UINT kSelectionChanged = 0x2B12;

    CTabCtrlEx(ISkinHost& host, WindowInfo* info);

    // The library interface's operations; ids are the items' own.
    int AddItem(const char* style);
    int RemoveItem(int id);
    int SetItemSelected(int id);
    int GetItemSelected() const { return m_selected; }

  private:
    struct Hit {
        int index = -1;
        const EventItem* event = nullptr;
    };

    const TabCtrlExInfo* Info() const;
    int Margin() const;
    int ItemWidth() const;
    int Pitch() const;
    int TotalWidth() const;
    int VisibleWidth() const;
    // The arrows are shown, and can be pressed, while the tabs do not fit.
    bool Scrolls() const { return TotalWidth() > VisibleWidth(); }
    const EventItem* Arrow(const char* id) const;
    // The tab at index in client coordinates, scrolled.
    RECT ItemRect(size_t index) const;
    Hit HitTest(POINT point) const;
    bool OnArrow(const char* id, POINT point) const;
    void ClickArrows(POINT point);
    void MakeVisible(size_t index);
    // Arrows that can be pressed show "over" under the mouse, else "normal".
    bool FollowMouseWithArrows(const POINT* point);

    void PaintContent(HDC dc, const RECT& client) override;
    LRESULT OnLButtonDown(POINT point, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnLButtonUp(POINT point, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnMouseMove(POINT point, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam) override;

    int m_offset = 0;
    int m_selected = 0;
    int m_hover = -1;
    const EventItem* m_hoverEvent = nullptr;
    int m_pressed = -1;
    const EventItem* m_pressedEvent = nullptr;
    int m_leftState = STATE_DISABLE;
    int m_rightState = STATE_DISABLE;
};

} // namespace Velmora
