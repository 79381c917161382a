// The manager's skinning of windows: which kind a window is, which description
// and skin class serve it, the skin objects of every kind, and the forwarding
// of draw-item values and visibilities to them.
#include "AsciiCase.h"
#include "CommonCtrl.h"
#include "Manager.h"
#include "Window.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace Velmora {

namespace {

// A window that carries this property is left alone by recursive skinning.
constexpr char kNoSkinProperty[] = "#velmora_set_this_hwnd_no_skin";

// The dialog skin's own command buttons carry these control ids.
constexpr int kFirstCommandButtonId = 14416;
constexpr int kLastCommandButtonId = 14419;

constexpr int kKindGeneric = 1;
constexpr int kKindDialog = 2;
constexpr int kKindButtonFirst = 3;
constexpr int kKindEdit = 7;
constexpr int kKindGroupBox = 8;
constexpr int kKindToolbar = 12;
constexpr int kKindNothing = 23;
constexpr int kKindOwnerDrawButton = 100;
constexpr int kKindLast = 24;

// What the manager uses for one window kind.
struct KindSetup {
    SkinList list;
    DescriptionType registry;
    const char* defaultId;
    // Whether the window's own kind must equal the requested one.
    bool checkOwnKind;
};

// Indexed by kind; kinds without an entry (0, 10, 12, 18, 23) are not skinned.
const KindSetup* SetupOfKind(int kind) {
    static const KindSetup kSetups[kKindLast + 1] = {
        {},
        {SkinList::CommonCtrl, DescriptionType::CommonCtrl, "commonctrl", true},
        {SkinList::Dialog, DescriptionType::Dialog, "dialog", true},
        {SkinList::Button, DescriptionType::Button, "button", true},
        {SkinList::Button, DescriptionType::Button, "checkbox", true},
        {SkinList::Button, DescriptionType::Button, "radiobox", true},
        {SkinList::Static, DescriptionType::Static, "static", true},
        {SkinList::Edit, DescriptionType::Edit, "edit", true},
        {SkinList::GroupBox, DescriptionType::GroupBox, "groupbox", true},
        {SkinList::ComboBox, DescriptionType::ComboBox, "combobox", true},
        {},
        {SkinList::ScrollBar, DescriptionType::ScrollBar, "scrollbar", true},
        {},
        {SkinList::ToolBarEx, DescriptionType::ToolBarEx, "toolbarex", false},
        {SkinList::TabCtrl, DescriptionType::TabCtrl, "tabctrl", true},
        {SkinList::TabCtrlEx, DescriptionType::TabCtrlEx, "tabctrlex", false},
        {SkinList::HeaderCtrl, DescriptionType::HeaderCtrl, "headerctrl", false},
        {SkinList::ListCtrl, DescriptionType::ListCtrl, "listctrl", true},
        {},
        {SkinList::Progress, DescriptionType::Progress, "progress", true},
        {SkinList::Slider, DescriptionType::Slider, "slider", true},
        {SkinList::SliderEx, DescriptionType::SliderEx, "sliderex", false},
        {SkinList::Animate, DescriptionType::Animate, "animate", false},
        {},
        {SkinList::TreeCtrlEx, DescriptionType::TreeCtrlEx, "treectrlex", false},
    };
    if (kind < 1 || kind > kKindLast || !kSetups[kind].defaultId)
        return nullptr;
    return &kSetups[kind];
}

// The skin class of a list, made for a description. Kinds whose skin class the
// library does not have get no object and their windows stay as they are.
std::unique_ptr<CWindow> CreateSkinObject(SkinList list, WindowInfo* info) {
    switch (list) {
    case SkinList::CommonCtrl:
        return std::make_unique<CCommonCtrl>(info);
    default:
        return nullptr;
    }
}

int ButtonKindOfStyle(LONG style) {
    switch (style & 0xFF) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        return kKindButtonFirst;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
        return 4;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return 5;
    case BS_GROUPBOX:
        return kKindGroupBox;
    case BS_OWNERDRAW:
        return kKindOwnerDrawButton;
    default:
        return kKindGeneric;
    }
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

bool SkipsRecursiveSkinning(HWND window) {
    const int id = GetDlgCtrlID(window);
    if (id >= kFirstCommandButtonId && id <= kLastCommandButtonId)
        return true;
    return GetPropA(window, kNoSkinProperty) != nullptr;
}

} // namespace

int CManager::WindowKindOf(HWND window) {
    if (!window)
        return 0;
    char className[256] = {};
    if (GetClassNameA(window, className, sizeof(className)) <= 0)
        return kKindGeneric;
    struct ClassKind {
        const char* name;
        int kind;
    };
    static const ClassKind kClassKinds[] = {
        {"#32770", kKindDialog},
        {"Static", 6},
        {"Edit", 7},
        {"ToolbarWindow", kKindToolbar},
        {"ScrollBar", 11},
        {"ComboBox", 9},
        {"SysTabControl32", 14},
        {"SysListView32", 17},
        {"SysHeader32", 16},
        {"msctls_progress32", 19},
        {"msctls_trackbar32", 20},
    };
    if (EqualsIgnoringAsciiCase(className, "Button"))
        return ButtonKindOfStyle(GetWindowLongA(window, GWL_STYLE));
    for (const ClassKind& entry : kClassKinds) {
        if (EqualsIgnoringAsciiCase(className, entry.name))
            return entry.kind;
    }
    return kKindGeneric;
}

int CManager::SkinWindow(HWND window, int kind, const char* id, bool recursive) {
    if (kind == kKindNothing)
        return 1;
    const KindSetup* setup = SetupOfKind(kind);
    // A handle that is no window would leave an object listed under a handle
    // that a later window may get.
    if (!setup || !IsWindow(window))
        return 0;
    if (setup->checkOwnKind && WindowKindOf(window) != kind)
        return 0;

    CWindow* object = nullptr;
    if (WindowInfo* info = FindDescription(setup->registry, id ? id : setup->defaultId)) {
        SkinObjectList& objects = m_skinObjects[static_cast<size_t>(setup->list)];
        object = objects.Find(window);
        if (object) {
            object->Attach(nullptr);
            object->SetInfo(info);
        } else if (std::unique_ptr<CWindow> created = CreateSkinObject(setup->list, info)) {
            object = objects.Add(window, std::move(created));
        }
        if (object)
            object->Attach(window);
    }

    if (recursive && (kind == kKindGeneric || kind == kKindDialog)) {
        // Collected first: skinning a child may create or destroy windows.
        std::vector<HWND> descendants;
        EnumChildWindows(window, CollectWindow, reinterpret_cast<LPARAM>(&descendants));
        for (HWND descendant : descendants) {
            if (IsWindow(descendant) && !SkipsRecursiveSkinning(descendant))
                SkinWindow(descendant, WindowKindOf(descendant), nullptr, false);
        }
    }
    // A window that was already painted shows its new look at once, and a
    // re-skinned one drops the look it cached from its old description. Its
    // skinned children are in place by now, so its paint can serve them. (The
    // object is looked up again: a child's skinning may have destroyed it.)
    if (object && FindSkinObject(window, setup->list) == object)
        object->Redraw(true, nullptr);
    return 1;
}

CWindow* CManager::FindSkinObject(HWND window, int kind) const {
    const KindSetup* setup = SetupOfKind(kind);
    return setup ? FindSkinObject(window, setup->list) : nullptr;
}

CWindow* CManager::FindSkinObject(HWND window, SkinList list) const {
    const size_t slot = static_cast<size_t>(list);
    return slot < m_skinObjects.size() ? m_skinObjects[slot].Find(window) : nullptr;
}

std::vector<CWindow*> CManager::SkinnedChildren(HWND parent,
                                                std::initializer_list<SkinList> lists) const {
    std::vector<CWindow*> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        for (SkinList list : lists) {
            if (CWindow* object = FindSkinObject(child, list)) {
                children.push_back(object);
                break;
            }
        }
    }
    return children;
}

void CManager::RemoveWindow(HWND window) {
    for (SkinObjectList& objects : m_skinObjects)
        objects.Take(window).reset();
}

int CManager::SetDrawItemValue(HWND window, int kind, const char* id, const char* value) {
    if (!window || !id || !value)
        return 0;
    SetValueRecord(window, id, value);
    if (kind >= kKindGeneric && kind <= kKindGroupBox) {
        if (CWindow* object = FindSkinObject(window, kind))
            object->SetDrawItemValue(id, value);
    }
    return 1;
}

int CManager::SetDrawItemVisible(HWND window, int kind, const char* id, bool visible) {
    if (!window || !id)
        return 0;
    SetVisibleRecord(window, id, visible);
    CWindow* object =
        kind >= kKindGeneric && kind <= kKindGroupBox ? FindSkinObject(window, kind) : nullptr;
    if (!object)
        return 1;
    // Generic windows and edits keep the flag to this window: their look is
    // painted again from the description with the remembered flag applied.
    if (kind == kKindGeneric || kind == kKindEdit)
        object->Redraw(true, nullptr);
    else
        object->SetDrawItemVisible(id, visible);
    return 1;
}

int CManager::SetSelfPaint(HWND window, ISelfPaint* handler, int value) {
    for (SkinList list : {SkinList::CommonCtrl, SkinList::Dialog, SkinList::Static}) {
        if (CWindow* object = FindSkinObject(window, list)) {
            object->SetSelfPaint(handler, value);
            return 1;
        }
    }
    return 0;
}

void CManager::RedrawSkinnedWindows() {
    for (SkinObjectList& objects : m_skinObjects) {
        for (const SkinObjectList::Entry& entry : objects.Entries())
            entry.object->Redraw(true, nullptr);
    }
}

} // namespace Velmora
