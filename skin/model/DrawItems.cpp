#include "DrawItems.h"

namespace Velmora {

namespace {

template <class Item>
Item* FindFirst(const std::unordered_map<std::string, DrawItemHeader*>& byId,
                const std::string& id) {
    auto found = byId.find(id);
    return found == byId.end() ? nullptr : static_cast<Item*>(found->second);
}

} // namespace

void DrawItemList::Register(DrawItemKind kind, DrawItemHeader* item) {
    m_firstById[kind].try_emplace(item->id, item);
    if (item->index < 0)
        return;
    const size_t slot = static_cast<size_t>(item->index);
    if (slot >= m_byIndex.size())
        m_byIndex.resize(slot + 1);
    if (!m_byIndex[slot])
        m_byIndex[slot] = DrawItemRef{kind, item};
}

TextItem* DrawItemList::Add(std::unique_ptr<TextItem> item) {
    TextItem* added = item.get();
    m_texts.push_back(std::move(item));
    Register(DRAWITEM_TEXT, added);
    return added;
}

LineItem* DrawItemList::Add(std::unique_ptr<LineItem> item) {
    LineItem* added = item.get();
    m_lines.push_back(std::move(item));
    Register(DRAWITEM_LINE, added);
    return added;
}

SurfaceItem* DrawItemList::Add(std::unique_ptr<SurfaceItem> item) {
    SurfaceItem* added = item.get();
    m_surfaces.push_back(std::move(item));
    Register(DRAWITEM_SURFACE, added);
    return added;
}

ImageItem* DrawItemList::Add(std::unique_ptr<ImageItem> item) {
    ImageItem* added = item.get();
    m_images.push_back(std::move(item));
    Register(DRAWITEM_IMAGE, added);
    return added;
}

TextItem* DrawItemList::FindTextItem(const std::string& id) const {
    return FindFirst<TextItem>(m_firstById[DRAWITEM_TEXT], id);
}

LineItem* DrawItemList::FindLine(const std::string& id) const {
    return FindFirst<LineItem>(m_firstById[DRAWITEM_LINE], id);
}

SurfaceItem* DrawItemList::FindSurface(const std::string& id) const {
    return FindFirst<SurfaceItem>(m_firstById[DRAWITEM_SURFACE], id);
}

ImageItem* DrawItemList::FindImage(const std::string& id) const {
    return FindFirst<ImageItem>(m_firstById[DRAWITEM_IMAGE], id);
}

DrawItemHeader* DrawItemList::Find(const std::string& id, DrawItemKind kind) const {
    if (kind < DRAWITEM_LINE || kind > DRAWITEM_IMAGE)
        return nullptr;
    return FindFirst<DrawItemHeader>(m_firstById[kind], id);
}

DrawItemRef DrawItemList::ItemByIndex(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= m_byIndex.size())
        return {};
    return m_byIndex[static_cast<size_t>(index)];
}

} // namespace Velmora
