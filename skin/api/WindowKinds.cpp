#include "WindowKinds.h"

#include "Animate.h"
#include "AsciiCase.h"
#include "Button.h"
#include "ComboBox.h"
#include "CommonCtrl.h"
#include "Dialog.h"
#include "Edit.h"
#include "GroupBox.h"
#include "HeaderCtrl.h"
#include "ListCtrl.h"
#include "Progress.h"
#include "ScrollBar.h"
#include "Slider.h"
#include "SliderEx.h"
#include "Static.h"
#include "TabCtrl.h"
#include "TabCtrlEx.h"
#include "ToolBarEx.h"
#include "TreeCtrlEx.h"
#include "Velmora.h"

#include <initializer_list>
#include <iterator>

namespace Velmora {

namespace {

constexpr uint32_t ButtonTypes(std::initializer_list<int> types) {
    uint32_t bits = 0;
    for (int type : types)
        bits |= 1u << type;
    return bits;
}

constexpr const char* kButton = "Button";

// In kind order.
constexpr KindRow kKinds[] = {
    {WindowKind::Generic, VELMORA_KIND_GENERIC, nullptr, 0, SkinList::CommonCtrl,
     DescriptionType::CommonCtrl, "commonctrl", true, &MakeSkin<CCommonCtrl>},
    {WindowKind::Dialog, VELMORA_KIND_DIALOG, "#32770", 0, SkinList::Dialog,
     DescriptionType::Dialog, "dialog", true, &MakeSkin<CDialog>},
    {WindowKind::Button, VELMORA_KIND_BUTTON, kButton,
     ButtonTypes({BS_PUSHBUTTON, BS_DEFPUSHBUTTON}), SkinList::Button, DescriptionType::Button,
     "button", true, &MakeSkin<CButton>},
    {WindowKind::CheckBox, VELMORA_KIND_CHECKBOX, kButton,
     ButtonTypes({BS_CHECKBOX, BS_AUTOCHECKBOX}), SkinList::Button, DescriptionType::Button,
     "checkbox", true, &MakeSkin<CButton>},
    {WindowKind::RadioBox, VELMORA_KIND_RADIOBOX, kButton,
     ButtonTypes({BS_RADIOBUTTON, BS_AUTORADIOBUTTON}), SkinList::Button, DescriptionType::Button,
     "radiobox", true, &MakeSkin<CButton>},
    {WindowKind::Static, VELMORA_KIND_STATIC, "Static", 0, SkinList::Static,
     DescriptionType::Static, "static", true, &MakeSkin<CStatic>},
    {WindowKind::Edit, VELMORA_KIND_EDIT, "Edit", 0, SkinList::Edit, DescriptionType::Edit, "edit",
     true, &MakeSkin<CEdit>},
    {WindowKind::GroupBox, VELMORA_KIND_GROUPBOX, kButton, ButtonTypes({BS_GROUPBOX}),
     SkinList::GroupBox, DescriptionType::GroupBox, "groupbox", true, &MakeSkin<CGroupBox>},
    {WindowKind::ComboBox, VELMORA_KIND_COMBOBOX, "ComboBox", 0, SkinList::ComboBox,
     DescriptionType::ComboBox, "combobox", true, &MakeSkin<CComboBox>},
    {WindowKind::ScrollBar, VELMORA_KIND_SCROLLBAR, "ScrollBar", 0, SkinList::ScrollBar,
     DescriptionType::ScrollBar, "scrollbar", true, &MakeSkin<CScrollBar>},
    // The common toolbar is classified but never skinned by SkinWindow.
    {WindowKind::ToolBar, VELMORA_KIND_TOOLBAR, "ToolbarWindow", 0, SkinList::None,
     DescriptionType::ToolBar, nullptr, true, nullptr},
    {WindowKind::ToolBarEx, VELMORA_KIND_TOOLBAREX, nullptr, 0, SkinList::ToolBarEx,
     DescriptionType::ToolBarEx, "toolbarex", false, &MakeSkin<CToolBarEx>},
    {WindowKind::TabCtrl, VELMORA_KIND_TABCTRL, "SysTabControl32", 0, SkinList::TabCtrl,
     DescriptionType::TabCtrl, "tabctrl", true, &MakeSkin<CTabCtrl>},
    {WindowKind::TabCtrlEx, VELMORA_KIND_TABCTRLEX, nullptr, 0, SkinList::TabCtrlEx,
     DescriptionType::TabCtrlEx, "tabctrlex", false, &MakeSkin<CTabCtrlEx>},
    {WindowKind::HeaderCtrl, VELMORA_KIND_HEADERCTRL, "SysHeader32", 0, SkinList::HeaderCtrl,
     DescriptionType::HeaderCtrl, "headerctrl", false, &MakeSkin<CHeaderCtrl>},
    {WindowKind::ListCtrl, VELMORA_KIND_LISTCTRL, "SysListView32", 0, SkinList::ListCtrl,
     DescriptionType::ListCtrl, "listctrl", true, &MakeSkin<CListCtrl>},
    {WindowKind::Progress, VELMORA_KIND_PROGRESS, "msctls_progress32", 0, SkinList::Progress,
     DescriptionType::Progress, "progress", true, &MakeSkin<CProgress>},
    {WindowKind::Slider, VELMORA_KIND_SLIDER, "msctls_trackbar32", 0, SkinList::Slider,
     DescriptionType::Slider, "slider", true, &MakeSkin<CSlider>},
    {WindowKind::SliderEx, VELMORA_KIND_SLIDEREX, nullptr, 0, SkinList::SliderEx,
     DescriptionType::SliderEx, "sliderex", false, &MakeSkin<CSliderEx>},
    {WindowKind::Animate, VELMORA_KIND_ANIMATE, nullptr, 0, SkinList::Animate,
     DescriptionType::Animate, "animate", false, &MakeSkin<CAnimate>},
    // Taken by SkinWindow and left as it is.
    {WindowKind::None, VELMORA_KIND_NONE, nullptr, 0, SkinList::None, DescriptionType::CommonCtrl,
     nullptr, false, nullptr},
    {WindowKind::TreeCtrlEx, VELMORA_KIND_TREECTRLEX, nullptr, 0, SkinList::TreeCtrlEx,
     DescriptionType::TreeCtrlEx, "treectrlex", false, &MakeSkin<CTreeCtrlEx>},
    // A button its program draws itself is never skinned.
    {WindowKind::OwnerDrawButton, VELMORA_KIND_OWNERDRAWBUTTON, kButton,
     ButtonTypes({BS_OWNERDRAW}), SkinList::None, DescriptionType::Button, nullptr, true, nullptr},
};

// The checks that keep the enums, the public numbers and the table in step.
constexpr bool RowsAreInKindOrderWithTheirPublicNumbers() {
    int previous = 0;
    for (const KindRow& row : kKinds) {
        if (KindNumber(row.kind) <= previous || KindNumber(row.kind) != row.publicKind)
            return false;
        previous = KindNumber(row.kind);
    }
    return true;
}

// Every list but the menu bar's (filled by AddMenuBar, not by kind) serves a
// kind; the kinds of one list read one description type; only kinds with a
// list have a default description, from one of the manager's registries.
constexpr bool ListsAndDescriptionsAgree() {
    for (size_t list = 0; list < kSkinListCount; ++list) {
        const KindRow* first = nullptr;
        for (const KindRow& row : kKinds) {
            if (static_cast<size_t>(row.list) != list || row.list == SkinList::None)
                continue;
            if (first && first->descriptionType != row.descriptionType)
                return false;
            first = first ? first : &row;
        }
        if (!first && static_cast<SkinList>(list) != SkinList::MenuBar)
            return false;
    }
    for (const KindRow& row : kKinds) {
        const bool listed = row.list != SkinList::None;
        if (listed != (row.defaultId != nullptr) ||
            static_cast<size_t>(row.descriptionType) >= kDescriptionRegistryCount ||
            (!listed && row.factory))
            return false;
    }
    return true;
}

static_assert(RowsAreInKindOrderWithTheirPublicNumbers(),
              "kind rows must be in kind order and carry their VELMORA_KIND_ numbers");
static_assert(ListsAndDescriptionsAgree(), "every skin list serves kinds of one description type");
static_assert(static_cast<size_t>(SkinList::TreeCtrlEx) + 1 == kSkinListCount,
              "kSkinListCount counts the skin lists");
static_assert(static_cast<size_t>(DescriptionType::Menu) == kDescriptionRegistryCount,
              "menus are the one description type kept apart");

} // namespace

const KindRow* FindKindRow(int kind) {
    for (const KindRow& row : kKinds) {
        if (KindNumber(row.kind) == kind)
            return &row;
    }
    return nullptr;
}

WindowKind KindOfClass(const char* className, LONG style) {
    const uint32_t type = static_cast<uint32_t>(style) & 0xFF;
    for (const KindRow& row : kKinds) {
        if (!row.className || !EqualsIgnoringAsciiCase(className, row.className))
            continue;
        if (!row.buttonTypes || (type < 32 && (row.buttonTypes & (1u << type))))
            return row.kind;
    }
    return WindowKind::Generic;
}

} // namespace Velmora
