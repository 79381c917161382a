// The kinds by which the library classifies windows, as the library interface
// numbers them (the manager's kind table checks the numbers against it).
#pragma once

#include <cstdint>

namespace Velmora {

enum class WindowKind : int32_t {
    Unknown = 0,
    Generic = 1,
    Dialog = 2,
    Button = 3,
    CheckBox = 4,
    RadioBox = 5,
    Static = 6,
    Edit = 7,
    GroupBox = 8,
    ComboBox = 9,
    ScrollBar = 11,
    ToolBar = 12,
    ToolBarEx = 13,
    TabCtrl = 14,
    TabCtrlEx = 15,
    HeaderCtrl = 16,
    ListCtrl = 17,
    Progress = 19,
    Slider = 20,
    SliderEx = 21,
    Animate = 22,
    None = 23,
    TreeCtrlEx = 24,
    OwnerDrawButton = 100,
};

constexpr int KindNumber(WindowKind kind) {
    return static_cast<int>(kind);
}

} // namespace Velmora
