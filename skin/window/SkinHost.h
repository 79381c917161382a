// What a skinned window reaches of the owner that made it: the loaded skin
// (as the painters see it), the skin objects of other windows, and the end of
// its own window. The manager is the one owner; a skin object is handed it at
// construction and never looks for it anywhere else.
#pragma once

#include "PopupMenuSkin.h"
#include "SkinView.h"
#include "WindowInfo.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace Velmora {

class CWindow;

// The owner's lists of skin objects, one per skin class, in its order.
enum class SkinList : int32_t {
    None = -1, // a window kind that no skin object serves
    CommonCtrl,
    Dialog,
    Button, // push buttons, check boxes and radio boxes
    Static,
    Edit,
    GroupBox,
    ComboBox,
    MenuBar,
    ScrollBar,
    TabCtrl,
    TabCtrlEx,
    ToolBarEx,
    HeaderCtrl,
    ListCtrl,
    Progress,
    Slider,
    SliderEx,
    Animate,
    TreeCtrlEx,
};

constexpr size_t kSkinListCount = 19;

class ISkinHost : public ISkinView {
  public:
    // The description of that type and id (the first loaded one); null when none.
    virtual WindowInfo* FindDescription(DescriptionType type, const std::string& id) const = 0;
    // Skins a window as the library interface's SkinWindow does (kind number,
    // description id or null for the kind's default); 1 when handled.
    virtual int SkinWindow(HWND window, int kind, const char* id, bool recursive) = 0;
    virtual CWindow* FindSkinObject(HWND window, SkinList list) const = 0;
    // Skin objects of the given lists whose windows are children of parent,
    // in the children's Z order.
    virtual std::vector<CWindow*> SkinnedChildren(HWND parent,
                                                  std::initializer_list<SkinList> lists) const = 0;
    // Takes over a skin object that another skin made for one of its own
    // windows (a dialog's command buttons), listed under that window; an
    // object the window had in that list before is deleted.
    virtual CWindow* AddSkinObject(HWND window, SkinList list, std::unique_ptr<CWindow> object) = 0;
    // Style bits a skin added to or removed from its window's style, so that
    // the window keeps the kind it had before.
    virtual void RememberStyleChange(HWND window, LONG added, LONG removed) = 0;
    // The window is being destroyed: its values and visibilities go, then its
    // skin objects, which may be the caller itself.
    virtual void ForgetWindow(HWND window) = 0;
    // The popup-menu skin; null when none was made.
    virtual IPopupMenuSkin* PopupMenuSkin() const = 0;

  protected:
    ~ISkinHost() = default;
};

} // namespace Velmora
