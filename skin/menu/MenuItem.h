// The paint of one popup menu while it is tracked with the skin: the
// background of the whole menu window, rendered once from the description's
// "menu.back" items and kept for every window that shows the menu, the
// window region cut out of it, and the menu's owner-drawn items painted over
// it.
#pragma once

#include "GdiObjects.h"
#include "Region.h"
#include "Window.h"

#include <windows.h>

#include <string>

namespace Velmora {

// What the skin keeps of an item it made owner-drawn: the item data the
// system hands back when the item is measured and drawn, and what the item
// was, so that it is given back as it was when the tracking ends.
struct MenuItemRecord {
    UINT commandId = 0;
    bool checked = false;
    bool separator = false;
    // The item's string, at most 512 bytes, accelerator text after a tab.
    std::string label;
    HMENU menu = nullptr;
    UINT position = 0;
    UINT originalType = 0;
    ULONG_PTR originalData = 0;
};

// The label without its access-key marks ("&&" shows one "&") and the
// accelerator text after the first tab.
struct MenuItemText {
    std::string label;
    std::string accelerator;
};
MenuItemText SplitMenuItemText(const std::string& text);

class CMenuItem : public CWindow {
  public:
    // widening: how much wider than the system says an item is drawn, the
    // frame the skin took from the menu windows.
    CMenuItem(ISkinHost& host, MenuInfo* info, HMENU menu, int widening);

    void DrawItem(DRAWITEMSTRUCT* record) override;

    // The frame paint of a window that shows the menu: the first one renders
    // the background; every new window gets it and the region cut from it.
    void ShowIn(HWND window);
    // After the system painted the window: the background over whatever no
    // item covers (the system's own frame and margins).
    void PaintFrame(HWND window, HDC dc) const;
    bool HasBackground() const { return m_look.IsValid(); }

  private:
    const MenuInfo* Info() const;
    bool RenderBackground(HWND window);
    void ShapeWindow(HWND window);
    void CopyBackground(HDC dc, const RECT& rect) const;
    // Paints the description's items of a kind that shows() picks.
    template <class Shows>
    void PaintWhere(HDC dc, DrawItemKind kind, const RECT& rect, Shows shows);
    void PaintNamed(HDC dc, const char* id, DrawItemKind kind, const RECT& rect);
    void PaintOfState(HDC dc, DrawItemKind kind, int state, const RECT& rect);
    void PaintIcon(HDC dc, const MenuItemRecord& record, bool checked, const RECT& rect);
    void PaintText(HDC dc, const MenuItemRecord& record, int state, const RECT& rect);
    void PaintContent(HDC dc, const MenuItemRecord& record, const DRAWITEMSTRUCT& draw, int state,
                      const RECT& rect);

    HMENU m_menu;
    int m_widening;
    CMemoryCanvas m_look;
    // The shape cut out of the background; each window gets a copy.
    CRegion m_shape;
    // Set while the region is being set: the window paints its frame again.
    bool m_settingRegion = false;
};

} // namespace Velmora
