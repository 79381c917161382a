// One registration row per window kind: what classifies a window to it, which
// of the manager's lists holds its skin objects, which descriptions serve it,
// and the factory of its skin class. Adding a control skin is its unit under
// skin/controls (or skin/menu) plus its factory in its row.
#pragma once

#include "SkinHost.h"
#include "Window.h"
#include "WindowInfo.h"
#include "WindowKind.h"

#include <windows.h>

#include <cstdint>
#include <memory>

namespace Velmora {

using SkinFactory = std::unique_ptr<CWindow> (*)(ISkinHost& host, WindowInfo* info);

template <class Skin> std::unique_ptr<CWindow> MakeSkin(ISkinHost& host, WindowInfo* info) {
    return std::make_unique<Skin>(host, info);
}

struct KindRow {
    WindowKind kind;
    // The library interface's number of the kind (VELMORA_KIND_...).
    int publicKind;
    // The window class (any case) that classifies to the kind; none for the
    // generic kind, which takes every window no other row takes.
    const char* className;
    // For the "Button" class: bit n set when a style whose low byte is n
    // classifies to the kind.
    uint32_t buttonTypes;
    // SkinList::None: SkinWindow skins no window as this kind.
    SkinList list;
    DescriptionType descriptionType;
    // The description SkinWindow looks for when it is given no id.
    const char* defaultId;
    // Whether SkinWindow takes a window of this kind only when the window's
    // own kind is the same.
    bool ownKindMustMatch;
    // Null while the library has no skin class for the kind: its windows get
    // no object and stay as they are.
    SkinFactory factory;
};

// The row of a kind number; null for numbers that name no kind.
const KindRow* FindKindRow(int kind);
// The kind of a window of that class whose style (without the bits its skin
// added) is style.
WindowKind KindOfClass(const char* className, LONG style);

} // namespace Velmora
