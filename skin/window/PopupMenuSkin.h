// What a skinned window asks of the popup-menu skin, which lives in a layer
// above the windows: whether it is tracking a menu on this thread, and the
// conversion, measuring and drawing of the menus' items, which the system
// asks of the menu's owner window.
#pragma once

#include <windows.h>

namespace Velmora {

class IPopupMenuSkin {
  public:
    // Whether a menu is being tracked with the skin on the calling thread.
    virtual bool IsTracking() const = 0;
    // Makes the menu's items (and its submenus') owner-drawn items of the
    // skin; false when the menu could not be changed.
    virtual bool ConvertToOwnerDraw(HMENU menu) = 0;
    // Measure and draw an item the skin converted; false for other items.
    virtual bool MeasureItem(MEASUREITEMSTRUCT& record) = 0;
    virtual bool DrawItem(DRAWITEMSTRUCT& record) = 0;

  protected:
    ~IPopupMenuSkin() = default;
};

} // namespace Velmora
