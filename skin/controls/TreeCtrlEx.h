// The library's own tree control: an ordinary child window of the program,
// skinned as a two-level tree that the skin lays out and paints from named
// item styles. The program fills and drives it through the tree functions of
// the library interface, naming items by handles that the tree checks:
// a handle of a deleted item or of another tree is refused.
#pragma once

#include "SubItemOverrides.h"
#include "Window.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace Velmora {

class CTreeCtrlEx : public CWindow {
  public:
    // Compares two items' data (and the caller's value): negative, 0 or positive.
    using Compare = LONG(CALLBACK*)(DWORD_PTR first, DWORD_PTR second, DWORD_PTR user);

    CTreeCtrlEx(ISkinHost& host, WindowInfo* info);
    ~CTreeCtrlEx() override;

    void Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int TreeCtrlExSetDrawItemVisible(void* item, const char* id, bool visible) override;
    int TreeCtrlExSetDrawItemValue(void* item, const char* id, const char* value) override;
    std::unique_ptr<SubItemOverride> GetTreeItemValue(void* item, const char* id) override;
    std::unique_ptr<SubItemOverride> GetTreeItemVisible(void* item, const char* id) override;

    // Null on failure: an unknown parent, or an insert-after item that is
    // not a child of the parent (a top-level item when there is none).
    void* InsertItem(const char* text, const char* style, void* parent, void* insertAfter,
                     DWORD_PTR data);
    // Only items without children are deleted.
    int DeleteItem(void* item);
    int DeleteAllItems();
    // Selecting the selected item again toggles its expansion; Expand keeps it open.
    int SelectItem(void* item);
    int Expand(void* item);
    void* GetSelectedItem() const;
    void* GetRootItem() const;
    void* GetChildItem(void* item) const;
    void* GetNextSiblingItem(void* item) const;
    void* GetParentItem(void* item) const;
    int ItemHasChildren(void* item) const;
    DWORD_PTR GetItemData(void* item) const;
    int SetItemData(void* item, DWORD_PTR data);
    void* HitTest(int x, int y) const;
    // level 0 or 1; mask bits 0-1 set the unselected height, bit 2 the selected one.
    int SetLevelItemHeight(int level, int mask, int height);
    // Orders the children as repeatedly taking the greatest of the rest by
    // compare would (the later one of equals first), in O(n log n) calls.
    int SortChildren(void* parent, Compare compare, DWORD_PTR user);
    // Puts the item first among newParent's children. Refused when
    // newParent is the item itself or one of its descendants.
    int MoveItem(void* item, void* newParent);

  private:
    struct Item {
        uintptr_t handle = 0;
        bool expanded = false;
        bool selected = false;
        DWORD_PTR data = 0;
        Item* parent = nullptr;
        Item* next = nullptr;
        Item* firstChild = nullptr;
        // Of the children: how many, and how many are selected.
        int children = 0;
        int selectedChildren = 0;
        std::string style;
        SubItemOverrides overrides;
    };

    Item* Find(void* handle) const;
    static void* HandleOf(const Item* item);
    // Links an item in after insertAfter, or first among parent's children
    // (the top-level items without a parent), and counts its rows.
    void Link(Item& item, Item* parent, Item* insertAfter);
    void Unlink(Item& item);
    // Adds (sign 1) or takes away (-1) what the item's rows add to the totals.
    void Count(const Item& item, int sign);
    void SetSelected(Item& item, bool selected);
    void SetExpanded(Item& item, bool expanded);
    void Select(Item& item, bool force);
    // The height of all rows the tree shows.
    int TotalHeight() const;
    int RowHeight(const Item& item) const;
    // The rows of a top-level item's shown children.
    int ChildRowsHeight(const Item& item) const;
    // Calls visit(item, row, level) for each row that reaches below y = from,
    // laid out from y = -offset, until it returns false.
    template <class Visit> void ForEachRow(int from, Visit visit) const;
    void PaintRow(HDC dc, const Item& item, const RECT& row);
    void UpdateScrollBar();
    int ClientHeight() const;

    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnVScroll(int code);
    LRESULT OnMouseMove(WPARAM keys, POINT point);
    LRESULT OnLButtonDown(WPARAM keys, POINT point);
    LRESULT OnLButtonUp(WPARAM keys, POINT point);
    LRESULT OnMouseLeave();

    std::unordered_map<uintptr_t, Item> m_items;
    Item* m_first = nullptr;
    Item* m_selected = nullptr;
    Item* m_hover = nullptr;
    // Items whose selected flag is set.
    std::unordered_set<Item*> m_flagged;
    bool m_dragging = false;
    bool m_updatingScrollBar = false;
    int m_offset = 0;
    // [level][selected]
    int m_heights[2][2] = {};
    // Rows shown: top-level items, the selected ones among them, children of
    // expanded top-level items, the selected ones among those.
    int m_topRows = 0;
    int m_selectedTopRows = 0;
    int m_childRows = 0;
    int m_selectedChildRows = 0;
    // Grows whenever rows come, go, move or change their height.
    unsigned m_layoutChanges = 0;
    // Where the last walk over the rows found its first row: a top-level
    // item and the y its rows begin at, counted from the top of all rows.
    // A later walk from there or further down starts at it.
    mutable const Item* m_anchor = nullptr;
    mutable int m_anchorTop = 0;
    mutable unsigned m_anchorChanges = 0;
};

} // namespace Velmora
