// An ordered, owning list of skin resources of one kind; a lookup finds the
// first resource of an id (case counts) without walking the list.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace Velmora {

template <class Resource> class ResourceList {
  public:
    // Refuses (and returns null) when the id is already taken: the first definition wins.
    Resource* Add(std::unique_ptr<Resource> resource) {
        Resource* added = resource.get();
        // Room first, so that running out of memory leaves no id behind
        // whose resource was not kept.
        if (m_items.size() == m_items.capacity())
            m_items.reserve(m_items.size() * 2 + 1);
        if (!m_byId.emplace(added->GetId(), added).second)
            return nullptr;
        m_items.push_back(std::move(resource));
        return added;
    }

    Resource* Find(const std::string& id) const {
        auto found = m_byId.find(id);
        return found == m_byId.end() ? nullptr : found->second;
    }
    bool Contains(const std::string& id) const { return m_byId.count(id) != 0; }

    const std::vector<std::unique_ptr<Resource>>& Items() const { return m_items; }
    size_t Size() const { return m_items.size(); }

    void Clear() {
        m_byId.clear();
        m_items.clear();
    }

  private:
    std::vector<std::unique_ptr<Resource>> m_items;
    std::unordered_map<std::string, Resource*> m_byId;
};

} // namespace Velmora
