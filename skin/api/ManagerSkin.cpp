// The manager's skinning of windows: which kind a window is, which description
// and skin class serve it (both from the kind table), the skin objects of
// every kind, and the forwarding of draw-item values and visibilities to them.
#include "Dialog.h"
#include "Manager.h"
#include "Window.h"
#include "WindowKinds.h"

#include <windows.h>

#include <new>
#include <utility>
#include <vector>

namespace Velmora {

namespace {

// A window that carries this property is left alone by recursive skinning.
constexpr char kNoSkinProperty[] = "#velmora_set_this_hwnd_no_skin";

// The dialog skin's own command buttons carry these control ids.
constexpr int kFirstCommandButtonId = CDialog::kFirstCommandId;
constexpr int kLastCommandButtonId = CDialog::kFirstCommandId + CDialog::kCommandButtonCount - 1;

struct Descendants {
    std::vector<HWND> windows;
    bool complete = true;
};

// Called by the system: running out of memory ends the walk instead of
// unwinding through it.
BOOL CALLBACK CollectWindow(HWND window, LPARAM found) {
    auto* descendants = reinterpret_cast<Descendants*>(found);
    try {
        descendants->windows.push_back(window);
        return TRUE;
    } catch (const std::bad_alloc&) {
        descendants->complete = false;
        return FALSE;
    }
}

bool SkipsRecursiveSkinning(HWND window) {
    const int id = GetDlgCtrlID(window);
    if (id >= kFirstCommandButtonId && id <= kLastCommandButtonId)
        return true;
    // System controls that the library has no skin for draw their own
    // content: the generic skin, which their class would get, paints its
    // background instead and would blank them. (The list of a combo box that
    // shows it inside itself is part of the combo box, which draws its items.)
    // Such a window is skinned only when the program asks for it by name.
    static const char* const kOwnContent[] = {
        "ComboLBox",       "ListBox",        "SysTreeView32",      "RichEdit20A",
        "RichEdit20W",     "RICHEDIT50W",    "msctls_updown32",    "SysDateTimePick32",
        "SysMonthCal32",   "SysIPAddress32", "msctls_hotkey32",    "SysLink",
        "ToolbarWindow32", "ReBarWindow32",  "msctls_statusbar32", "ComboBoxEx32"};
    char className[32] = {};
    if (GetClassNameA(window, className, sizeof(className)) > 0) {
        for (const char* name : kOwnContent) {
            if (lstrcmpiA(className, name) == 0)
                return true;
        }
    }
    return GetPropA(window, kNoSkinProperty) != nullptr;
}

bool Serves(const KindRow* row) {
    return row && row->list != SkinList::None;
}

} // namespace

int CManager::WindowKindOf(HWND window) const {
    if (!window)
        return KindNumber(WindowKind::Unknown);
    char className[256] = {};
    if (GetClassNameA(window, className, sizeof(className)) <= 0)
        return KindNumber(WindowKind::Generic);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    auto changed = m_styleChanges.find(window);
    if (changed != m_styleChanges.end())
        style = (style & ~changed->second.added) | changed->second.removed;
    return KindNumber(KindOfClass(className, style));
}

int CManager::SkinWindow(HWND window, int kind, const char* id, bool recursive) {
    if (kind == KindNumber(WindowKind::None))
        return 1;
    const KindRow* row = FindKindRow(kind);
    // A handle that is no window would leave an object listed under a handle
    // that a later window may get.
    if (!Serves(row) || !IsWindow(window))
        return 0;
    if (row->ownKindMustMatch && WindowKindOf(window) != kind)
        return 0;

    CWindow* object = nullptr;
    if (WindowInfo* info = FindDescription(row->descriptionType, id ? id : row->defaultId)) {
        SkinObjectList& objects = m_skinObjects[static_cast<size_t>(row->list)];
        object = objects.Find(window);
        if (object) {
            object->Attach(nullptr);
            object->SetInfo(info);
        } else if (row->factory) {
            object = objects.Add(window, row->factory(*this, info));
        }
        if (object)
            object->Attach(window);
    }

    if (recursive &&
        (kind == KindNumber(WindowKind::Generic) || kind == KindNumber(WindowKind::Dialog))) {
        // Collected first: skinning a child may create or destroy windows.
        Descendants descendants;
        EnumChildWindows(window, CollectWindow, reinterpret_cast<LPARAM>(&descendants));
        if (!descendants.complete)
            throw std::bad_alloc();
        for (HWND descendant : descendants.windows) {
            if (!IsWindow(descendant) || SkipsRecursiveSkinning(descendant))
                continue;
            // A skinned list has skinned its header with its own header description.
            const int descendantKind = WindowKindOf(descendant);
            if (descendantKind == KindNumber(WindowKind::HeaderCtrl) &&
                FindSkinObject(GetParent(descendant), SkinList::ListCtrl))
                continue;
            SkinWindow(descendant, descendantKind, nullptr, false);
        }
    }
    // A window that was already painted shows its new look at once, and a
    // re-skinned one drops the look it cached from its old description. Its
    // skinned children are in place by now, so its paint can serve them. (The
    // object is looked up again: a child's skinning may have destroyed it.)
    if (object && FindSkinObject(window, row->list) == object)
        object->Redraw(true, nullptr);
    return 1;
}

CWindow* CManager::FindSkinObject(HWND window, int kind) const {
    const KindRow* row = FindKindRow(kind);
    return Serves(row) ? FindSkinObject(window, row->list) : nullptr;
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

CWindow* CManager::AddSkinObject(HWND window, SkinList list, std::unique_ptr<CWindow> object) {
    const size_t slot = static_cast<size_t>(list);
    if (!object || !IsWindow(window) || slot >= m_skinObjects.size())
        return nullptr;
    return m_skinObjects[slot].Add(window, std::move(object));
}

void CManager::RememberStyleChange(HWND window, LONG added, LONG removed) {
    if (!added && !removed)
        return;
    StyleChange& change = m_styleChanges[window];
    change.added = (change.added | added) & ~removed;
    change.removed = (change.removed | removed) & ~added;
}

void CManager::ForgetWindow(HWND window) {
    RemoveWindowValues(window);
    m_styleChanges.erase(window);
    RemoveWindow(window);
}

void CManager::RemoveWindow(HWND window) {
    for (SkinObjectList& objects : m_skinObjects)
        objects.Take(window).reset();
}

int CManager::SetDrawItemValue(HWND window, int kind, const char* id, const char* value) {
    if (!window || !id || !value)
        return 0;
    SetValueRecord(window, id, value);
    if (kind >= KindNumber(WindowKind::Generic) && kind <= KindNumber(WindowKind::GroupBox)) {
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
        kind >= KindNumber(WindowKind::Generic) && kind <= KindNumber(WindowKind::GroupBox)
            ? FindSkinObject(window, kind)
            : nullptr;
    if (!object)
        return 1;
    // Generic windows and edits keep the flag to this window: their look is
    // painted again from the description with the remembered flag applied.
    if (kind == KindNumber(WindowKind::Generic) || kind == KindNumber(WindowKind::Edit))
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
