// The skin of a report-style list view ("SysListView32"): the skin paints the
// whole list, every row by its state and every cell by a named item style of
// the description (draw items, event items the mouse can press, progress
// items), skins the list's header, draws the list's border and scroll bars.
// The records of the styled rows live in the rows' lParam and go with them.
#pragma once

#include "SubItemOverrides.h"
#include "Window.h"

#include <commctrl.h>
#include <windows.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace Velmora {

class CListCtrl : public CWindow {
  public:
    CListCtrl(ISkinHost& host, WindowInfo* info);
    ~CListCtrl() override;

    void Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int SetItemStyle(int row, int column, const char* style) override;
    int SetItemData(int item, DWORD_PTR data) override;
    DWORD_PTR GetItemData(int item) override;
    int SetDrawItemVisibleEx(int row, int column, const char* id, bool visible) override;
    int SetDrawItemValueEx(int row, int column, const char* id, const char* value) override;
    int SetProgressItemPos(int row, int column, int position) override;
    std::unique_ptr<SubItemOverride> GetSubItemValue(int row, int column, const char* id) override;
    std::unique_ptr<SubItemOverride> GetSubItemVisible(int row, int column,
                                                       const char* id) override;

    // The rows that carry a record of the skin.
    size_t RowRecordCount() const { return m_rows.size(); }

  private:
    struct Cell {
        int column = 0;
        std::string style = "default";
        // Position of the cell's progress items, 0 to 100; -1 for their own.
        int progress = -1;
        SubItemOverrides overrides;
    };
    struct Row {
        DWORD_PTR data = 0;
        std::vector<Cell> cells;
        Cell* Find(int column);
    };
    // A cell of the list and what the mouse is over in it.
    struct Spot {
        int row = -1;
        int column = -1;
        const EventItem* event = nullptr;
    };

    // The skin's record of a row; null when it has none (or no such row).
    Row* RecordOf(int row) const;
    // The record of a row, made and stored in the row's lParam when it has
    // none; null when the list has no such row.
    Row* MakeRecord(int row);
    // The cell's record, made with the row's when missing; null as MakeRecord.
    Cell* MakeCell(int row, int column);
    void InvalidateRow(int row);
    int ColumnCount() const;
    RECT CellRect(int row, int column, const RECT& bounds, int columns) const;
    int RowAt(POINT point) const;
    Spot SpotAt(POINT point) const;
    bool IsEventVisible(int row, int column, const std::string& id, bool own) const;
    // The list's client area below its header.
    int HeaderBottom() const;

    void PaintRow(HDC dc, int row, const RECT& bounds, int columns);
    void PaintCell(HDC dc, int row, int column, const RECT& rect);
    // The row records that no row holds any more are freed.
    void FreeRecordsOfGoneRows();
    void ForgetMouse();
    bool IsStillSkinning(HWND window) const;

    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcPaint(WPARAM region);
    LRESULT OnNotify(WPARAM wParam, NMHDR* header);
    LRESULT OnMouseMove(WPARAM keys, POINT point);
    LRESULT OnButtonDown(UINT message, WPARAM keys, POINT point);
    LRESULT OnButtonUp(UINT message, WPARAM keys, POINT point);
    LRESULT OnMouseLeave();
    LRESULT OnCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteItem(WPARAM row, LPARAM lParam);
    LRESULT OnDeleteAllItems(WPARAM wParam, LPARAM lParam);
    bool SetEventCursor(const EventItem* event) const;

    int m_hoverRow = -1;
    bool m_tracking = false;
    Spot m_hovered;
    Spot m_pressed;
    // Every row record, by the address that is its row's lParam: an lParam
    // the skin did not make is never taken for a record.
    std::unordered_map<const Row*, std::unique_ptr<Row>> m_rows;
};

} // namespace Velmora
