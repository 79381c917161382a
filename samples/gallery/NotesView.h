// The gallery's release notes: a window of the gallery's own class that
// paints lines of text and scrolls them with its window scroll bars, the wheel
// and the keyboard, calling the scroll-bar functions of USER32 as any program
// does, so the skin's window scroll bars take the place of the system's.
#pragma once

#include <windows.h>

constexpr char kNotesViewClass[] = "VelmoraGalleryNotes";

bool RegisterNotesView(HINSTANCE instance);

// Skins the view with the description of the id, which paints its background
// and names its scroll bars; the view's lines then go over that look. A skin
// without the description leaves the view with its own look.
void SkinNotesView(HWND view, const char* descriptionId);

// Scrolls the view so that the line comes first (as far as the range allows).
void ScrollNotesTo(HWND view, int line);
