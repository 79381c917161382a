// Entry point of Tarnwick.exe: the one application object and WinMain, with
// the skin calls bound to Velmora.dll.
#include "SkinBinding.h"
#include "TarnwickApp.h"

namespace {
CTarnwickClientApp theApp;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    SetSkinBinding(&VelmoraSkin());
    return theApp.Run(instance, commandLine);
}
