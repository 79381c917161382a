// Scroll bars that the skin draws in place of a window's own WS_HSCROLL and
// WS_VSCROLL bars. One record per window keeps both bars' scroll information,
// paints them in the window's non-client area from a "scrollbar" element's
// sprite sheet, and drives them with the mouse through a second subclassing
// of the window. The window carries the record as the property
// "Velmora_Prop_ScrollBar", by which the library's interception of the
// system's eight scroll-bar functions finds it.
#pragma once

#include "ScrollBarSprite.h"
#include "SkinHost.h"
#include "WindowInfo.h"

#include <windows.h>

#include <cstdint>

namespace Velmora {

constexpr char kScrollBarProperty[] = "Velmora_Prop_ScrollBar";

class SkinnedScrollBars {
  public:
    SkinnedScrollBars(const SkinnedScrollBars&) = delete;
    SkinnedScrollBars& operator=(const SkinnedScrollBars&) = delete;

    // Puts the bars of the "scrollbar" element that owner's "scrollbar"
    // property names in place of the window's own. False, and the window
    // keeps the bars it has, when the element, its "scrollbar.back" image
    // item or that item's image is missing. A window that had a record
    // before keeps its values and gives up the old record.
    static bool Install(HWND window, ISkinHost& host, const WindowInfo& owner);
    // Gives the window its own bars back, set to the record's values, and
    // takes the record out of the window's procedure chain.
    static void Release(HWND window);
    // The record of a window that carries one, for calls on the window's own
    // thread; null otherwise.
    static SkinnedScrollBars* Of(HWND window);

    // The system's scroll-bar functions, answered from the record. SB_CTL
    // and unknown bars are refused (ShowScrollBar shows or hides the window
    // for SB_CTL).
    int SetScrollInfo(int bar, const SCROLLINFO* info, BOOL redraw);
    BOOL GetScrollInfo(int bar, SCROLLINFO* info) const;
    int SetScrollPos(int bar, int position, BOOL redraw);
    int GetScrollPos(int bar) const;
    BOOL SetScrollRange(int bar, int minimum, int maximum, BOOL redraw);
    BOOL GetScrollRange(int bar, int* minimum, int* maximum) const;
    BOOL ShowScrollBar(int bar, BOOL show);
    BOOL EnableScrollBar(UINT bars, UINT arrows);

  private:
    // Where a bar and its parts lie, in screen coordinates; positions along
    // the bar are x for the horizontal bar and y for the vertical one.
    struct Layout {
        RECT rect{}; // empty when the bar is not shown
        bool vertical = false;
        int arrow = 0;
        int trackStart = 0;
        int secondArrow = 0;
        int track = 0;
        bool thumbAllowed = false;
        // Both 0 when there is no thumb.
        int thumbStart = 0;
        int thumbEnd = 0;
    };

    SkinnedScrollBars() = default;

    static LRESULT CALLBACK ScrollBarsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam);
    // The previous procedure's handling with the window's bar styles taken
    // away, so that the system neither reserves nor paints its own bars.
    LRESULT CallWithoutBarStyles(UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT OnNcCalcSize(bool validRects, LPARAM lParam);
    LRESULT OnNcPaint(WPARAM region);
    LRESULT OnNcHitTest(POINT screen, LPARAM lParam);
    LRESULT OnNcMouseMove(int hitCode, POINT screen, LPARAM lParam);
    LRESULT OnNcLButtonDown(int hitCode, POINT screen, LPARAM lParam);
    LRESULT OnTimer(UINT_PTR id);
    LRESULT OnMouseMove(UINT keys, POINT client, LPARAM lParam);
    LRESULT OnLButtonUp(UINT keys, POINT client, LPARAM lParam);
    LRESULT OnCaptureChanged(HWND gainer);
    LRESULT OnNcMouseLeave();
    LRESULT OnStyleChanged(int which, const STYLESTRUCT* change, LPARAM lParam);

    Layout LayoutOf(int bar) const;
    int HitTest(int bar, POINT screen) const;
    int Column(int bar, int part) const;
    unsigned DisabledArrows(int bar) const;
    bool IsShown(int bar) const;
    bool SetShown(int bar, bool shown);
    void RecalculateFrame() const;
    void PaintBar(HDC dc, int bar, POINT origin);
    // Paints the shown bars and the corner between them, now.
    void Repaint();
    void SendScroll(int bar, int code, int position = 0);
    void EndTracking();
    void HandBackToSystem();
    int CellWidth() const { return m_sprite.CellWidth(); }
    int CellHeight() const { return m_sprite.CellHeight(); }

    HWND m_window = nullptr;
    unsigned m_disabledArrows = 0;
    SCROLLINFO m_info[2] = {};
    WNDPROC m_previousProc = nullptr;
    bool m_leftScrollBar = false;
    bool m_changingStyle = false;
    bool m_leaveTracking = false;
    bool m_tracking = false;
    bool m_richEdit = false;
    int m_pressed = 0;
    int m_hot = 0;
    int m_dragTrackPos = 0;
    int m_dragOffset = 0;
    int m_command = -1;
    CScrollBarSprite m_sprite;
    // Messages of the window being handled here right now; a record let go
    // of meanwhile is deleted when the last of them returns.
    int m_busy = 0;
    bool m_released = false;
    bool m_inChain = false;
};

} // namespace Velmora
