// What the skin of a window that holds skinned controls (a dialog, a generic
// window) does with their WM_COMMAND before the window's own procedure sees it.
#pragma once

#include "SkinHost.h"

#include <windows.h>

namespace Velmora {

// A click (BN_CLICKED) of a skinned check or radio box turns it over; the
// opening and closing of a skinned combo box's list (CBN_DROPDOWN,
// CBN_CLOSEUP) are told to its skin.
void RouteChildCommand(ISkinHost& host, WPARAM wParam, LPARAM lParam);

} // namespace Velmora
