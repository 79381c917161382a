/* Velmora.h as a C program includes it; the popup-menu function is reached
   through its renamed declaration, as any program that links the library. */
#include "Velmora.h"

int CallTrackPopupMenuFromC(HWND owner) {
    VelmoraTreeSort sort = {0, 0, 0};
    (void)sort;
    return VelmoraTrackPopupMenu(NULL, 0, 0, 0, owner, "menu");
}
