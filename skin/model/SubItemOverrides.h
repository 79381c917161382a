// The values and visibilities a program set for the draw items of one
// sub-item of a control (a list cell, a tree item), by draw item id: the
// records the control answers the painters' lookups with.
#pragma once

#include "SkinView.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Velmora {

class SubItemOverrides {
  public:
    // Replaces what was set for the id before.
    void SetVisible(const std::string& id, bool visible);
    void SetValue(const std::string& id, std::string value);
    // Null when nothing was set for the id.
    const bool* FindVisible(const std::string& id) const;
    const std::string* FindValue(const std::string& id) const;
    // The same as the records the painters' lookups take.
    std::unique_ptr<SubItemOverride> VisibleRecord(const std::string& id) const;
    std::unique_ptr<SubItemOverride> ValueRecord(const std::string& id) const;

  private:
    // Few per sub-item: a list searched in order keeps them small.
    std::vector<std::pair<std::string, bool>> m_visible;
    std::vector<std::pair<std::string, std::string>> m_values;
};

} // namespace Velmora
