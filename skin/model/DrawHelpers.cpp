#include "DrawHelpers.h"

#include "GDIFont.h"
#include "GDIImage.h"
#include "VelmoraImage.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace Velmora {

namespace {

// The related item's rectangle has its width and height here, at 0, 0.
RECT MeasureSize(ISkinView& skin, HDC dc, const DrawItemHeader& item, DrawItemKind kind,
                 const std::string& text, int frameWidth, int frameHeight) {
    RECT size = {0, 0, 0, 0};
    if (kind == DRAWITEM_TEXT) {
        if (!dc)
            return size;
        const auto& textItem = static_cast<const TextItem&>(item);
        const GDIFont* font = skin.FindFont(textItem.fontId);
        CSelectObject selected(dc, font ? font->GetFont() : nullptr);
        SIZE extent = {0, 0};
        if (GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent)) {
            size.right = extent.cx;
            size.bottom = extent.cy;
        }
    } else if (kind == DRAWITEM_IMAGE) {
        const auto& imageItem = static_cast<const ImageItem&>(item);
        int width = imageItem.width;
        int height = imageItem.height;
        if (width == 0 || height == 0) {
            const GDIImage* image =
                FindItemImage(skin, text.empty() ? imageItem.imageId : text, false);
            if (width == 0)
                width = image ? image->GetWidth() : 0;
            if (height == 0)
                height = image ? image->GetHeight() : 0;
        }
        // A negative size counts from the frame's size, as the image painter does.
        size.right = width < 0 ? std::max(0, frameWidth + width) : width;
        size.bottom = height < 0 ? std::max(0, frameHeight + height) : height;
    }
    return size;
}

// The item's rectangle inside a frame of the given size, at its left and top.
RECT PlaceInFrame(ISkinView& skin, HDC dc, const DrawItemHeader& item, DrawItemKind kind,
                  const std::string& text, int frameWidth, int frameHeight) {
    RECT rect = MeasureSize(skin, dc, item, kind, text, frameWidth, frameHeight);
    int left = 0;
    int top = 0;
    if (kind == DRAWITEM_TEXT) {
        left = static_cast<const TextItem&>(item).left;
        top = static_cast<const TextItem&>(item).top;
    } else if (kind == DRAWITEM_IMAGE) {
        left = static_cast<const ImageItem&>(item).left;
        top = static_cast<const ImageItem&>(item).top;
    }
    OffsetRect(&rect, ResolveNearEdge(left, 0, frameWidth), ResolveNearEdge(top, 0, frameHeight));
    return rect;
}

} // namespace

GDIImage* FindItemImage(ISkinView& skin, const std::string& id, bool reload) {
    if (id.empty())
        return nullptr;
    GDIImage* image = skin.FindImage(id);
    if (!image) {
        CVelmoraImage* fileImage = skin.GetFileImage(id, reload);
        image = fileImage ? fileImage->GetImage() : nullptr;
    }
    return image && image->IsValid() ? image : nullptr;
}

DrawItemHeader* FindDrawItem(const std::string& id, const DrawItemList& list, DrawItemKind kind) {
    return list.Find(id, kind);
}

DrawItemRef ItemByIndex(const DrawItemList& list, int index) {
    return list.ItemByIndex(index);
}

bool IsItemVisible(ISkinView& skin, const SubItem& subItem, HWND window, int windowKind,
                   const DrawItemHeader& item) {
    if (subItem.IsWhole()) {
        if (std::optional<bool> visible = skin.FindVisibleRecord(window, item.id))
            return *visible;
    } else if (auto record = skin.FindSubItemVisible(window, windowKind, subItem, item.id)) {
        return record->visible;
    }
    return item.visible;
}

std::string GetItemValue(ISkinView& skin, const SubItem& subItem, HWND window, int windowKind,
                         const DrawItemHeader& item, DrawItemKind kind) {
    if (subItem.IsWhole()) {
        if (const std::string* value = skin.FindValueRecord(window, item.id))
            return *value;
    } else if (auto record = skin.FindSubItemValue(window, windowKind, subItem, item.id)) {
        return record->value;
    }
    if (kind == DRAWITEM_TEXT)
        return static_cast<const TextItem&>(item).content;
    if (kind == DRAWITEM_IMAGE)
        return static_cast<const ImageItem&>(item).imageId;
    return std::string();
}

RECT MeasureDrawItem(ISkinView& skin, HWND window, HDC dc, const DrawItemHeader& item,
                     DrawItemKind kind, bool placed, const std::string& text) {
    RECT client = {0, 0, 0, 0};
    if (window)
        GetClientRect(window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (!placed)
        return MeasureSize(skin, dc, item, kind, text, width, height);
    return PlaceInFrame(skin, dc, item, kind, text, width, height);
}

bool FindRelatedRect(ISkinView& skin, const SubItem& subItem, HWND window, int windowKind, HDC dc,
                     const DrawItemList& list, const DrawItemHeader& item, const RECT& target,
                     RECT& related) {
    if (item.relativeId.empty())
        return false;
    DrawItemKind kind = DRAWITEM_TEXT;
    const DrawItemHeader* other = list.Find(item.relativeId, DRAWITEM_TEXT);
    if (!other) {
        kind = DRAWITEM_IMAGE;
        other = list.Find(item.relativeId, DRAWITEM_IMAGE);
    }
    if (!other)
        return false;
    const std::string value = GetItemValue(skin, subItem, window, windowKind, *other, kind);
    if (value.empty())
        return false;
    // Placed in the target itself, so that a related item counted from the far
    // edge of a list cell stays inside that cell.
    related = PlaceInFrame(skin, dc, *other, kind, value, target.right - target.left,
                           target.bottom - target.top);
    OffsetRect(&related, target.left, target.top);
    return true;
}

void PaintProgress(ISkinView& skin, HWND window, int windowKind, HDC dc, DrawItemList& list,
                   const RECT& target, int value, int maximum) {
    const SubItem whole;
    const CDrawImageHelper imagePainter;
    const CDrawSurfaceHelper surfacePainter;
    const CDrawTextHelper textPainter;

    if (ImageItem* back = list.FindImage("progress.back"))
        imagePainter.Paint(skin, window, windowKind, dc, list, back, target, whole, nullptr,
                           back->index);
    else if (SurfaceItem* back = list.FindSurface("progress.back"))
        surfacePainter.Paint(skin, window, windowKind, dc, list, back, target, whole, nullptr,
                             back->index);
    // Without a range there is no share to show.
    if (maximum <= 0)
        return;

    RECT box = target;
    ImageItem* step = list.FindImage("progress.step");
    int available = target.right - target.left;
    if (step) {
        box.left += step->left;
        available = target.right - step->right - box.left;
    }
    const int64_t share = int64_t{value} * available / maximum;
    // A position beyond the range fills the bar, never more.
    const auto filled = static_cast<int>(std::clamp<int64_t>(share, 0, std::max(available, 0)));
    box.right = box.left + filled;
    if (filled != 0) {
        if (step) {
            bool fits = true;
            if (step->mode == IMAGEMODE_STRETCHHORZ) {
                const GDIImage* image = FindItemImage(
                    skin, GetItemValue(skin, whole, window, windowKind, *step, DRAWITEM_IMAGE),
                    false);
                fits = image && filled >= image->GetWidth();
            }
            if (fits)
                imagePainter.Paint(skin, window, windowKind, dc, list, step, box, whole, nullptr,
                                   step->index);
        } else if (SurfaceItem* surfaceStep = list.FindSurface("progress.step")) {
            surfacePainter.Paint(skin, window, windowKind, dc, list, surfaceStep, box, whole,
                                 nullptr, surfaceStep->index);
        }
    }

    if (auto* text = static_cast<TextItem*>(list.Find("progress.text", DRAWITEM_TEXT))) {
        const int64_t percent = int64_t{value} * 100 / maximum;
        char formatted[32];
        std::snprintf(formatted, sizeof(formatted), "%d%%",
                      static_cast<int>(std::clamp<int64_t>(percent, INT32_MIN, INT32_MAX)));
        text->content = formatted;
        textPainter.Paint(skin, window, windowKind, dc, list, text, target, whole, nullptr,
                          text->index);
    }
}

} // namespace Velmora
