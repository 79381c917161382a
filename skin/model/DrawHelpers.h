// Painting of draw items: the painter interface with one painter per kind, the
// lookups through which per-window and per-sub-item values and visibilities
// reach the drawing, measuring, and the shared progress painter. Everything
// here reads the loaded skin through the view its caller hands it.
#pragma once

#include "DrawItems.h"
#include "GdiObjects.h"
#include "SkinView.h"

#include <windows.h>

#include <string>

namespace Velmora {

class GDIImage;

class IDraw {
  public:
    virtual ~IDraw() = default;
    // Paints one item into target (device-context coordinates). extra is the
    // caller's record (the toolbar passes its button), null for none.
    virtual void Paint(ISkinView& skin, HWND window, int windowKind, HDC dc,
                       const DrawItemList& list, DrawItemHeader* item, const RECT& target,
                       const SubItem& subItem, void* extra, int index) const = 0;
};

class CDrawTextHelper : public IDraw {
  public:
    void Paint(ISkinView& skin, HWND window, int windowKind, HDC dc, const DrawItemList& list,
               DrawItemHeader* item, const RECT& target, const SubItem& subItem, void* extra,
               int index) const override;
};

class CDrawLineHelper : public IDraw {
  public:
    void Paint(ISkinView& skin, HWND window, int windowKind, HDC dc, const DrawItemList& list,
               DrawItemHeader* item, const RECT& target, const SubItem& subItem, void* extra,
               int index) const override;
};

class CDrawSurfaceHelper : public IDraw {
  public:
    void Paint(ISkinView& skin, HWND window, int windowKind, HDC dc, const DrawItemList& list,
               DrawItemHeader* item, const RECT& target, const SubItem& subItem, void* extra,
               int index) const override;
};

class CDrawImageHelper : public IDraw {
  public:
    void Paint(ISkinView& skin, HWND window, int windowKind, HDC dc, const DrawItemList& list,
               DrawItemHeader* item, const RECT& target, const SubItem& subItem, void* extra,
               int index) const override;
    // Paints an image item into target; reload reads a cached file image again.
    // Returns whether an image was found and painted.
    static bool PaintImage(ISkinView& skin, HWND window, int windowKind, HDC dc,
                           const DrawItemList* list, const ImageItem& item, const RECT& target,
                           const SubItem& subItem, bool reload);
};

// Edge-relative coordinates inside a span that starts at start and is extent
// long: a left/top value below 0 counts from the far edge, a right/bottom value
// of 0 or below too, so that right 0 is the far edge itself.
inline int ResolveNearEdge(int value, int start, int extent) {
    return value >= 0 ? start + value : start + extent + value;
}
inline int ResolveFarEdge(int value, int start, int extent) {
    return value > 0 ? start + value : start + extent + value;
}

// The image an image item names: the skin image of that id, else the file
// image cache's (loaded on first use; with reload read again); null when none.
GDIImage* FindItemImage(ISkinView& skin, const std::string& id, bool reload);
DrawItemHeader* FindDrawItem(const std::string& id, const DrawItemList& list, DrawItemKind kind);
DrawItemRef ItemByIndex(const DrawItemList& list, int index);
bool IsItemVisible(ISkinView& skin, const SubItem& subItem, HWND window, int windowKind,
                   const DrawItemHeader& item);
std::string GetItemValue(ISkinView& skin, const SubItem& subItem, HWND window, int windowKind,
                         const DrawItemHeader& item, DrawItemKind kind);
// The item's rectangle in client coordinates; placed puts it at its left/top.
RECT MeasureDrawItem(ISkinView& skin, HWND window, HDC dc, const DrawItemHeader& item,
                     DrawItemKind kind, bool placed, const std::string& text);
// The rectangle of the item that item's relativeid names (a text item of list,
// else an image item) placed inside target; false when there is none or its
// value is empty.
bool FindRelatedRect(ISkinView& skin, const SubItem& subItem, HWND window, int windowKind, HDC dc,
                     const DrawItemList& list, const DrawItemHeader& item, const RECT& target,
                     RECT& related);
// Paints "progress.back", "progress.step" and "progress.text" of list for value of maximum.
void PaintProgress(ISkinView& skin, HWND window, int windowKind, HDC dc, DrawItemList& list,
                   const RECT& target, int value, int maximum);

} // namespace Velmora
