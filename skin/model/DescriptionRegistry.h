// One registry of window descriptions: owns its records in load order and finds
// the first record of an id (case counts) in constant time.
#pragma once

#include "WindowInfo.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace Velmora {

class DescriptionRegistry {
  public:
    WindowInfo* Add(std::unique_ptr<WindowInfo> info) {
        WindowInfo* added = info.get();
        m_records.push_back(std::move(info));
        m_firstById.try_emplace(added->id, added);
        return added;
    }

    WindowInfo* Find(const std::string& id) const {
        auto found = m_firstById.find(id);
        return found == m_firstById.end() ? nullptr : found->second;
    }

    const std::vector<std::unique_ptr<WindowInfo>>& Records() const { return m_records; }
    size_t Size() const { return m_records.size(); }

    void Clear() {
        m_firstById.clear();
        m_records.clear();
    }

  private:
    std::vector<std::unique_ptr<WindowInfo>> m_records;
    std::unordered_map<std::string, WindowInfo*> m_firstById;
};

} // namespace Velmora
