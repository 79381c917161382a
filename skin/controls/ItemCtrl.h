// What the library's own tab strip and toolbar share: their items (an id from
// a counter, the name of the item style they are painted with, and the
// program's per-item overrides of the style's draw items) and the lookups the
// painters make for those overrides.
#pragma once

#include "DrawnCtrl.h"
#include "SubItemOverrides.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace Velmora {

class CItemCtrl : public CDrawnCtrl {
  public:
    CItemCtrl(ISkinHost& host, WindowInfo* info, int windowKind);

    // The row is the item's id; the column is not used.
    int SetDrawItemVisibleEx(int row, int column, const char* id, bool visible) override;
    int SetDrawItemValueEx(int row, int column, const char* id, const char* value) override;
    std::unique_ptr<SubItemOverride> GetSubItemValue(int row, int column, const char* id) override;
    std::unique_ptr<SubItemOverride> GetSubItemVisible(int row, int column,
                                                       const char* id) override;

  protected:
    struct Item {
        int id = 0;
        std::string style;
        SubItemOverrides overrides;
    };

    // Appends an item with the next id; returns it.
    Item& AppendItem(const char* style);
    // The index of the item with that id in the list; -1 when there is none.
    int IndexOf(int id) const;
    // Paints an item's style in state over rect, then its event items: the
    // pressed one (if any) "down", the hovered one "over", the others "normal".
    void PaintItem(HDC dc, const Item& item, int state, const RECT& rect, const EventItem* hovered,
                   const EventItem* pressed);
    // The control's id and parent, for the messages it posts.
    void PostToParent(UINT message, WPARAM wParam, LPARAM lParam) const;
    int ControlId() const { return GetDlgCtrlID(m_hwnd); }

    std::vector<Item> m_items;
    int m_nextId = 0;
};

// The rectangle of an event item inside frame: a negative left or top counts
// from the frame's right or bottom edge, a width or height of 0 or less
// reaches that far from the frame's right or bottom edge.
RECT EventItemRect(const EventItem& item, const RECT& frame);

} // namespace Velmora
