// What painting reads of the loaded skin, handed to the painters by whoever
// owns the skin: fonts, cursors and images by id, images that items name by
// file path, and the values and visibilities a program set per window or per
// sub-item of a control.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace Velmora {

class CVelmoraImage;
class GDICursor;
class GDIFont;
class GDIImage;

// A sub-item of a list or tree control: row and column of a list cell, or the
// handle of a tree item; -1, -1 and null for a whole window.
struct SubItem {
    int row = -1;
    int column = -1;
    void* handle = nullptr;
    bool IsWhole() const { return row == -1 && column == -1 && handle == nullptr; }
};

// A per-sub-item override of a list, tree, tab strip or toolbar entry.
struct SubItemOverride {
    std::string id;
    std::string value;
    bool visible = true;
};

class ISkinView {
  public:
    virtual GDIFont* FindFont(const std::string& id) const = 0;
    virtual GDICursor* FindCursor(const std::string& id) const = 0;
    virtual GDIImage* FindImage(const std::string& id) const = 0;
    // The on-demand image of a draw item's image id or file path; null when it
    // cannot be had. With reload a cached file image is read again.
    virtual CVelmoraImage* GetFileImage(const std::string& name, bool reload) = 0;
    virtual CVelmoraImage* FindFileImage(const std::string& name) const = 0;

    // What a program set for (window, draw item id); none when it set nothing.
    virtual const std::string* FindValueRecord(HWND window, const std::string& id) const = 0;
    virtual std::optional<bool> FindVisibleRecord(HWND window, const std::string& id) const = 0;
    // What the control skinning window keeps for one of its sub-items; null
    // when it keeps nothing (or the window has no such control skin).
    virtual std::unique_ptr<SubItemOverride> FindSubItemValue(HWND window, int windowKind,
                                                              const SubItem& subItem,
                                                              const std::string& id) = 0;
    virtual std::unique_ptr<SubItemOverride> FindSubItemVisible(HWND window, int windowKind,
                                                                const SubItem& subItem,
                                                                const std::string& id) = 0;

  protected:
    ~ISkinView() = default;
};

} // namespace Velmora
