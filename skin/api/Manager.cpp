#include "Manager.h"

#include "Menu.h"
#include "Window.h"
#include "WindowKinds.h"

namespace Velmora {

SkinObjectList::SkinObjectList() = default;

SkinObjectList::~SkinObjectList() {
    Clear();
}

CWindow* SkinObjectList::Find(HWND window) const {
    auto found = m_byWindow.find(window);
    return found == m_byWindow.end() ? nullptr : found->second->object.get();
}

// Either both containers take the object or neither does (running out of
// memory in between would leave an entry that Take never finds).
CWindow* SkinObjectList::Add(HWND window, std::unique_ptr<CWindow> object) {
    CWindow* added = object.get();
    Take(window).reset();
    auto slot = m_byWindow.try_emplace(window).first;
    try {
        m_objects.push_back({window, std::move(object)});
    } catch (...) {
        m_byWindow.erase(slot);
        throw;
    }
    slot->second = std::prev(m_objects.end());
    return added;
}

std::unique_ptr<CWindow> SkinObjectList::Take(HWND window) {
    auto found = m_byWindow.find(window);
    if (found == m_byWindow.end())
        return nullptr;
    std::unique_ptr<CWindow> object = std::move(found->second->object);
    m_objects.erase(found->second);
    m_byWindow.erase(found);
    return object;
}

void SkinObjectList::Clear() {
    while (!m_objects.empty()) {
        std::unique_ptr<CWindow> object = std::move(m_objects.front().object);
        m_byWindow.erase(m_objects.front().window);
        m_objects.pop_front();
        object.reset();
    }
}

CManager::CManager() = default;

// The popup-menu skin paints with the resources and goes first. Resources go
// before the descriptions that name them, the database entries after the
// descriptions that were read from them. Skin objects point at descriptions
// and so go before them.
CManager::~CManager() {
    CMenu::Destroy();
    m_fileImageByName.clear();
    m_fileImages.clear();
    m_fonts.Clear();
    m_cursors.Clear();
    m_images.Clear();
    for (SkinObjectList& objects : m_skinObjects)
        objects.Clear();
    for (DescriptionRegistry& registry : m_descriptions)
        registry.Clear();
    m_entryByFoldedName.clear();
    m_entries.clear();
    m_values.clear();
    m_visibilities.clear();
}

DescriptionRegistry& CManager::Descriptions(DescriptionType type) {
    if (type == DescriptionType::Menu)
        return CMenu::Instance()->Descriptions();
    return m_descriptions[static_cast<size_t>(type)];
}

WindowInfo* CManager::FindDescription(DescriptionType type, const std::string& id) const {
    if (type == DescriptionType::Menu)
        return CMenu::Existing() ? CMenu::Existing()->Descriptions().Find(id) : nullptr;
    const size_t slot = static_cast<size_t>(type);
    return slot < m_descriptions.size() ? m_descriptions[slot].Find(id) : nullptr;
}

IPopupMenuSkin* CManager::PopupMenuSkin() const {
    return CMenu::Existing();
}

void CManager::SetValueRecord(HWND window, const std::string& id, const std::string& value) {
    m_values[window][id] = value;
}

void CManager::SetVisibleRecord(HWND window, const std::string& id, bool visible) {
    m_visibilities[window][id] = visible;
}

const std::string* CManager::FindValueRecord(HWND window, const std::string& id) const {
    auto byWindow = m_values.find(window);
    if (byWindow == m_values.end())
        return nullptr;
    auto found = byWindow->second.find(id);
    return found == byWindow->second.end() ? nullptr : &found->second;
}

std::optional<bool> CManager::FindVisibleRecord(HWND window, const std::string& id) const {
    auto byWindow = m_visibilities.find(window);
    if (byWindow == m_visibilities.end())
        return std::nullopt;
    auto found = byWindow->second.find(id);
    if (found == byWindow->second.end())
        return std::nullopt;
    return found->second;
}

void CManager::RemoveWindowValues(HWND window) {
    m_values.erase(window);
    m_visibilities.erase(window);
}

std::unique_ptr<SubItemOverride> CManager::FindSubItemValue(HWND window, int windowKind,
                                                            const SubItem& subItem,
                                                            const std::string& id) {
    return FindSubItemOverride(window, windowKind, subItem, id, false);
}

std::unique_ptr<SubItemOverride> CManager::FindSubItemVisible(HWND window, int windowKind,
                                                              const SubItem& subItem,
                                                              const std::string& id) {
    return FindSubItemOverride(window, windowKind, subItem, id, true);
}

// A tree item is asked by its handle, a list cell by its row and column.
std::unique_ptr<SubItemOverride> CManager::FindSubItemOverride(HWND window, int windowKind,
                                                               const SubItem& subItem,
                                                               const std::string& id,
                                                               bool visibility) const {
    CWindow* skin = FindSkinObject(window, windowKind);
    if (!skin)
        return nullptr;
    if (subItem.handle)
        return visibility ? skin->GetTreeItemVisible(subItem.handle, id.c_str())
                          : skin->GetTreeItemValue(subItem.handle, id.c_str());
    return visibility ? skin->GetSubItemVisible(subItem.row, subItem.column, id.c_str())
                      : skin->GetSubItemValue(subItem.row, subItem.column, id.c_str());
}

} // namespace Velmora
