#include "SubItemOverrides.h"

namespace Velmora {

namespace {

template <class Value>
void Set(std::vector<std::pair<std::string, Value>>& entries, const std::string& id, Value value) {
    for (auto& entry : entries) {
        if (entry.first == id) {
            entry.second = std::move(value);
            return;
        }
    }
    entries.emplace_back(id, std::move(value));
}

template <class Value>
const Value* Find(const std::vector<std::pair<std::string, Value>>& entries,
                  const std::string& id) {
    for (const auto& entry : entries) {
        if (entry.first == id)
            return &entry.second;
    }
    return nullptr;
}

} // namespace

void SubItemOverrides::SetVisible(const std::string& id, bool visible) {
    Set(m_visible, id, visible);
}

void SubItemOverrides::SetValue(const std::string& id, std::string value) {
    Set(m_values, id, std::move(value));
}

const bool* SubItemOverrides::FindVisible(const std::string& id) const {
    return Find(m_visible, id);
}

const std::string* SubItemOverrides::FindValue(const std::string& id) const {
    return Find(m_values, id);
}

std::unique_ptr<SubItemOverride> SubItemOverrides::VisibleRecord(const std::string& id) const {
    const bool* visible = FindVisible(id);
    if (!visible)
        return nullptr;
    auto record = std::make_unique<SubItemOverride>();
    record->id = id;
    record->visible = *visible;
    return record;
}

std::unique_ptr<SubItemOverride> SubItemOverrides::ValueRecord(const std::string& id) const {
    const std::string* value = FindValue(id);
    if (!value)
        return nullptr;
    auto record = std::make_unique<SubItemOverride>();
    record->id = id;
    record->value = *value;
    return record;
}

} // namespace Velmora
