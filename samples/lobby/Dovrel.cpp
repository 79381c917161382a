// Sample lobby program "Dovrel.exe".
//   Dovrel.exe <anything>              appends its command line to Dovrel.log
//                                      next to itself and ends
//   Dovrel.exe --hold <class> <secs>   also holds the mutex "<class>_Mutex" and
//                                      a minimised window of the window class
//                                      "<class>_Mutex" for at most <secs>
//                                      seconds (or until closed); writes
//                                      Dovrel.ready once both exist
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = std::strrchr(path, '\\');
    if (slash)
        *slash = '\0';
    return path;
}

void AppendLine(const std::string& file, const char* text) {
    if (FILE* out = std::fopen(file.c_str(), "ab")) {
        std::fprintf(out, "%s\r\n", text);
        std::fclose(out);
    }
}

LRESULT CALLBACK LobbyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

int HoldLobby(HINSTANCE instance, const std::string& lobbyClass, int seconds) {
    const std::string name = lobbyClass + "_Mutex";
    HANDLE mutex = CreateMutexA(nullptr, TRUE, name.c_str());
    if (!mutex)
        return 2;

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = LobbyWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = name.c_str();
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA(name.c_str(), "Dovrel", WS_OVERLAPPEDWINDOW, 40, 40, 320, 200,
                                nullptr, nullptr, instance, nullptr);
    if (!window) {
        CloseHandle(mutex);
        return 3;
    }
    ShowWindow(window, SW_SHOWMINNOACTIVE);
    SetTimer(window, 1, static_cast<UINT>(seconds) * 1000, nullptr);
    AppendLine(ProgramFolder() + "\\Dovrel.ready", "ready");

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    AppendLine(ProgramFolder() + "\\Dovrel.log", commandLine);

    char lobbyClass[256] = {};
    int seconds = 0;
    if (std::sscanf(commandLine, "--hold %255s %d", lobbyClass, &seconds) == 2 && seconds > 0)
        return HoldLobby(instance, lobbyClass, seconds);
    return 0;
}
