// A menu bar for windows whose whole frame the skin draws: a flat toolbar
// child (control id 14422) with one text button per top-level item of a menu,
// painted from a "toolbar" description through its parent's custom-draw
// notifications, driven by mouse and keyboard as a menu bar is. Each button
// opens its item's submenu as a popup menu owned by the parent, skinned with
// a "menu" description, while a message filter lets the mouse and the arrow
// keys move from one dropdown to the next.
#pragma once

#include "GdiObjects.h"
#include "Window.h"

#include <windows.h>

#include <memory>
#include <string>

namespace Velmora {

class CMenuBar : public CWindow {
  public:
    static constexpr int kControlId = 14422;
    // Posted to the bar: open the menu of the current button.
    static constexpr UINT kOpenMenu = 15445;

    // The bar on parent for the top-level items of menu, drawn with the
    // "toolbar" description barId ("menutoolbar" when none), its dropdowns
    // with the "menu" description menuId ("menu" when none); null when its
    // window cannot be made.
    static std::unique_ptr<CMenuBar> Create(ISkinHost& host, HWND parent, HMENU menu,
                                            const char* barId, const char* menuId);
    ~CMenuBar() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT CustomDraw(NMCUSTOMDRAW* record) override;

  private:
    CMenuBar(ISkinHost& host, WindowInfo* info, HWND parent, HMENU menu, const char* menuId);

    void AddButtons();
    void Layout();
    void ShowUnderlines(bool show);
    bool TryAccessKey(UINT key);
    int ButtonAt(POINT client) const;
    void OpenMenu();
    void TrackDropDown(HMENU dropDown);
    void ReleaseButton() const;
    // Ends the open dropdown from the filter; with next, the button the
    // bar moves on to, whose dropdown opens once this one is gone.
    void CloseDropDown(bool switching, int next);
    void TakeKeyboard();
    bool Filter(const MSG& message);
    void PaintButton(HDC dc, int state, const RECT& rect, const TBBUTTON& button);

    LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);

    static LRESULT CALLBACK FilterProc(int code, WPARAM wParam, LPARAM lParam);

    HWND m_parent;
    HMENU m_menu;
    std::string m_menuId;
    CGdiHandle<HFONT> m_font;
    int m_count = 0;
    int m_current = -1;
    bool m_showUnderlines = true;
    bool m_alwaysUnderline = false;
    // Tracking state of the open dropdown.
    bool m_byKeyboard = false;
    bool m_switching = false;
    bool m_closedByFilter = false;
    POINT m_lastPoint = {-1, -1};
    HWND m_savedFocus = nullptr;
    // Set while the bar itself hands the focus on.
    bool m_keepUnderlines = false;
    bool m_tracking = false;
    bool m_destroyedWhileTracking = false;
    bool m_windowEnding = false;

    static inline CMenuBar* s_filterTarget = nullptr;
};

} // namespace Velmora
