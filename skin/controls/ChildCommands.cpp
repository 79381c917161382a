#include "ChildCommands.h"

#include "Button.h"

namespace Velmora {

void RouteChildCommand(ISkinHost& host, WPARAM wParam, LPARAM lParam) {
    HWND control = reinterpret_cast<HWND>(lParam);
    if (!control)
        return;
    switch (HIWORD(wParam)) {
    case BN_CLICKED:
        if (auto* button = dynamic_cast<CButton*>(host.FindSkinObject(control, SkinList::Button)))
            button->Toggle();
        break;
    case CBN_DROPDOWN:
    case CBN_CLOSEUP:
        if (CWindow* comboBox = host.FindSkinObject(control, SkinList::ComboBox))
            comboBox->SetDroppedDown(HIWORD(wParam) == CBN_DROPDOWN);
        break;
    default:
        break;
    }
}

} // namespace Velmora
