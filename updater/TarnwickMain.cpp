// Entry point of Tarnwick.exe: the one application object and WinMain.
#include "TarnwickApp.h"

namespace {
CTarnwickClientApp theApp;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    return theApp.Run(instance, commandLine);
}
