// Exported functions of the library's own controls (tab strip, toolbar,
// slider), the animation and the menus. The library has no skin class yet
// for these kinds: no window is ever skinned as one of them, so each
// function gives the result for a window that is not such a control (after the
// argument checks where those give a different result).
#include "Velmora.h"

namespace {

// What the item functions of the tab strip and toolbar give for a window that
// is none of them; a missing window gives 0.
constexpr int kNotThatControl = -1;

} // namespace

extern "C" {

int VELMORA_CALL TabCtrlExAddItem(HWND window, const char*) {
    return window ? kNotThatControl : 0;
}

int VELMORA_CALL TabCtrlExSetItemSelected(HWND, int) {
    return 0;
}

int VELMORA_CALL TabCtrlExGetItemSelectedIndex(HWND) {
    return kNotThatControl;
}

int VELMORA_CALL TabCtrlExRemoveItem(HWND, int) {
    return 0;
}

int VELMORA_CALL ToolBarExAddItem(HWND window, const char*) {
    return window ? kNotThatControl : 0;
}

int VELMORA_CALL ToolBarExSetItemSelected(HWND, int) {
    return 0;
}

int VELMORA_CALL ToolBarExRemoveItem(HWND, int) {
    return 0;
}

int VELMORA_CALL SliderExSetRange(HWND, int, int) {
    return 0;
}

int VELMORA_CALL SliderExSetPos(HWND, int) {
    return 0;
}

int VELMORA_CALL SetAnimatePlay(HWND, int) {
    return 0;
}

// Popup menus and menu bars need the menu skin, which the library does not
// have yet: nothing is shown or created.
int VELMORA_CALL VelmoraTrackPopupMenu(HMENU, UINT, int, int, HWND, const char*) {
    return 0;
}

HWND VELMORA_CALL AddMenuBar(HWND, HMENU, const char*, const char*) {
    return nullptr;
}

} // extern "C"
