// Parsed draw items of a skin description (text, line, surface, image), the
// list that holds one container's items, and the event, progress and template
// records that carry lists of their own.
#pragma once

#include "SkinValues.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace Velmora {

struct DrawItemHeader {
    std::string id;
    int32_t index = -1;
    bool visible = true;
    int32_t state = STATE_ALL;
    // Only text and image items use these two.
    std::string relativeId;
    int32_t relativeAlign = RELATIVE_LEFT;
};

struct TextItem : DrawItemHeader {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool singleLine = true;
    std::string fontId;
    std::string content;
    uint32_t textColor = kNoColor;
    int32_t horzAlign = ALIGN_NONE;
    int32_t vertAlign = ALIGN_NONE;
};

struct LineItem : DrawItemHeader {
    int32_t startX = 0;
    int32_t startY = 0;
    int32_t endX = 0;
    int32_t endY = 0;
    int32_t width = 0;
    int32_t style = LINESTYLE_SOLID;
    uint32_t lineColor = kNoColor;
};

struct SurfaceItem : DrawItemHeader {
    int32_t type = SURFACE_RECT;
    int32_t borderWidth = 0;
    int32_t borderStyle = LINESTYLE_SOLID;
    uint32_t borderColor = kNoColor;
    uint32_t fillColor = kNoColor;
    int32_t upperLeftX = 0;
    int32_t upperLeftY = 0;
    int32_t lowerRightX = 0;
    int32_t lowerRightY = 0;
    int32_t roundRectWidth = 0;
    int32_t roundRectHeight = 0;
};

// The part of an image an item uses: x, y, width, height.
struct ImageRegion {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

struct ImageItem : DrawItemHeader {
    std::string imageId;
    int32_t mode = IMAGEMODE_NORMAL;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stretchLeft = 0;
    int32_t stretchTop = 0;
    int32_t stretchRight = 0;
    int32_t stretchBottom = 0;
    ImageRegion region;
    int32_t horzAlign = ALIGN_NONE;
    int32_t vertAlign = ALIGN_NONE;
};

// One item found by its index, with the kind that tells its real type.
struct DrawItemRef {
    DrawItemKind kind = DRAWITEM_NONE;
    DrawItemHeader* item = nullptr;
    explicit operator bool() const { return item != nullptr; }
};

// The four kind lists of one container, each in document order. Lookups by
// index and by id are constant-time so that painting a window stays linear in
// its items; of two items with one id the earlier one is found.
class DrawItemList {
  public:
    DrawItemList() = default;
    DrawItemList(const DrawItemList&) = delete;
    DrawItemList& operator=(const DrawItemList&) = delete;
    DrawItemList(DrawItemList&&) = default;
    DrawItemList& operator=(DrawItemList&&) = default;

    // The item keeps the index it carries; indexes must be unique in a list.
    TextItem* Add(std::unique_ptr<TextItem> item);
    LineItem* Add(std::unique_ptr<LineItem> item);
    SurfaceItem* Add(std::unique_ptr<SurfaceItem> item);
    ImageItem* Add(std::unique_ptr<ImageItem> item);

    const std::vector<std::unique_ptr<TextItem>>& Texts() const { return m_texts; }
    const std::vector<std::unique_ptr<LineItem>>& Lines() const { return m_lines; }
    const std::vector<std::unique_ptr<SurfaceItem>>& Surfaces() const { return m_surfaces; }
    const std::vector<std::unique_ptr<ImageItem>>& Images() const { return m_images; }

    TextItem* FindTextItem(const std::string& id) const;
    LineItem* FindLine(const std::string& id) const;
    SurfaceItem* FindSurface(const std::string& id) const;
    ImageItem* FindImage(const std::string& id) const;
    DrawItemHeader* Find(const std::string& id, DrawItemKind kind) const;

    DrawItemRef ItemByIndex(int32_t index) const;
    // One past the highest index held; the paint walk stops at the first gap.
    int32_t IndexLimit() const { return static_cast<int32_t>(m_byIndex.size()); }
    size_t Count() const {
        return m_texts.size() + m_lines.size() + m_surfaces.size() + m_images.size();
    }
    bool Empty() const { return Count() == 0; }

  private:
    void Register(DrawItemKind kind, DrawItemHeader* item);

    std::vector<std::unique_ptr<TextItem>> m_texts;
    std::vector<std::unique_ptr<LineItem>> m_lines;
    std::vector<std::unique_ptr<SurfaceItem>> m_surfaces;
    std::vector<std::unique_ptr<ImageItem>> m_images;
    std::vector<DrawItemRef> m_byIndex;
    std::unordered_map<std::string, DrawItemHeader*> m_firstById[5];
};

struct EventItem {
    DrawItemList drawItems;
    std::string id;
    int32_t event = EVENT_LBUTTONDOWN;
    bool visible = true;
    int32_t state = STATE_ALL;
    std::string cursorId;
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};

struct ProgressItem {
    DrawItemList drawItems;
    std::string id;
    bool visible = true;
    int32_t state = STATE_ALL;
    std::string cursorId;
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t value = 0;
    std::string textFormat;
};

// An item template ("drawitem") that list, tree, tab strip and toolbar entries
// are drawn with.
struct DrawItemGroup {
    std::string id;
    std::vector<std::unique_ptr<EventItem>> eventItems;
    std::vector<std::unique_ptr<ProgressItem>> progressItems;
    DrawItemList drawItems;
};

} // namespace Velmora
