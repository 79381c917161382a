#include "UiProbe.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

// Dialog ids of the parts of a system message box.
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kMessageBoxIconId = 0x0440;

std::string WindowText(HWND window) {
    char text[2048] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

HWND FindMessageBox(DWORD pid) {
    for (HWND window : TopLevelWindowsOf(pid)) {
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        if (lstrcmpA(className, "#32770") == 0 && GetDlgItem(window, kMessageBoxTextId))
            return window;
    }
    return nullptr;
}

SeenMessageBox ReadBox(HWND box) {
    SeenMessageBox seen;
    seen.caption = WindowText(box);
    seen.text = WindowText(GetDlgItem(box, kMessageBoxTextId));
    if (HWND icon = GetDlgItem(box, kMessageBoxIconId))
        seen.icon = reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0));
    seen.hadOwner = GetWindow(box, GW_OWNER) != nullptr;
    DWORD pid = 0;
    GetWindowThreadProcessId(box, &pid);
    seen.processWindows = TopLevelWindowsOf(pid).size();
    return seen;
}

// Reads the process's message box, if it shows one, presses OK and waits a
// while for the box to go.
bool AnswerShownBox(DWORD pid, SeenMessageBox& seen,
                    const std::function<void(HWND)>& beforeAnswer) {
    HWND box = FindMessageBox(pid);
    if (!box)
        return false;
    Sleep(100); // let the box finish painting its text
    seen = ReadBox(box);
    if (beforeAnswer)
        beforeAnswer(box);
    // A box with only an OK button answers IDOK to either command.
    HWND ok = GetDlgItem(box, IDOK);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(ok ? IDOK : IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(ok));
    for (int i = 0; i < 100 && IsWindow(box); ++i)
        Sleep(20);
    return true;
}

} // namespace

bool AnswerMessageBox(DWORD pid, DWORD timeoutMs, SeenMessageBox& seen,
                      const std::function<void(HWND)>& beforeAnswer) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50))
        if (AnswerShownBox(pid, seen, beforeAnswer))
            return true;
    return false;
}

CMessageBoxAnswerer::CMessageBoxAnswerer() : m_thread(&CMessageBoxAnswerer::Watch, this) {}

CMessageBoxAnswerer::~CMessageBoxAnswerer() {
    m_stop = true;
    m_thread.join();
}

std::vector<SeenMessageBox> CMessageBoxAnswerer::Seen() {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_seen;
}

void CMessageBoxAnswerer::Watch() {
    const DWORD pid = GetCurrentProcessId();
    // A box is kept before it is answered: whoever waits for its end finds it among the seen.
    for (SeenMessageBox seen; !m_stop; Sleep(30)) {
        AnswerShownBox(pid, seen, [this, &seen](HWND) {
            std::lock_guard<std::mutex> guard(m_mutex);
            m_seen.push_back(seen);
        });
    }
}

namespace {
struct WindowCollect {
    DWORD pid;
    std::vector<HWND> windows;
};
BOOL CALLBACK CollectWindowOfProcess(HWND window, LPARAM lParam) {
    auto* collect = reinterpret_cast<WindowCollect*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == collect->pid && IsWindowVisible(window))
        collect->windows.push_back(window);
    return TRUE;
}
} // namespace

bool RegisterTestClass(const char* name, WNDPROC procedure, HBRUSH background) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

std::vector<HWND> TopLevelWindowsOf(DWORD pid) {
    WindowCollect collect = {pid, {}};
    EnumWindows(CollectWindowOfProcess, reinterpret_cast<LPARAM>(&collect));
    return collect.windows;
}

CChildProcess::~CChildProcess() {
    if (m_info.hProcess) {
        if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(m_info.hProcess, 1);
        CloseHandle(m_info.hProcess);
        CloseHandle(m_info.hThread);
    }
}

bool CChildProcess::Start(const std::string& commandLine, const std::string& folder,
                          bool debugged) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string mutableLine = commandLine;
    return CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, FALSE,
                          debugged ? DEBUG_ONLY_THIS_PROCESS : 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &m_info) != 0;
}

// A breakpoint on the function's first byte in the module loaded from a file of the
// DLL's size; each hit puts the byte back and lets the thread make the call.
int CChildProcess::CallsUntilExit(const std::string& dll, const char* function, DWORD timeoutMs) {
    HMODULE image = LoadLibraryExA(dll.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    const auto* entry = image ? reinterpret_cast<BYTE*>(GetProcAddress(image, function)) : nullptr;
    WIN32_FILE_ATTRIBUTE_DATA file = {};
    if (!entry || !GetFileAttributesExA(dll.c_str(), GetFileExInfoStandard, &file))
        return -1;
    const BYTE first = *entry, trap = 0xCC;
    const auto offset = entry - reinterpret_cast<BYTE*>(image);
    FreeLibrary(image);
    BYTE* breakpoint = nullptr;
    int calls = 0;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs;) {
        DEBUG_EVENT event;
        if (!WaitForDebugEvent(&event, 100))
            continue;
        DWORD status = DBG_CONTINUE;
        const auto& record = event.u.Exception.ExceptionRecord;
        if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT) {
            CloseHandle(event.u.CreateProcessInfo.hFile);
        } else if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT) {
            BYTE* at = static_cast<BYTE*>(event.u.LoadDll.lpBaseOfDll) + offset;
            BYTE seen = 0;
            if (GetFileSize(event.u.LoadDll.hFile, nullptr) == file.nFileSizeLow && !calls &&
                ReadProcessMemory(m_info.hProcess, at, &seen, 1, nullptr) && seen == first &&
                WriteProcessMemory(m_info.hProcess, at, &trap, 1, nullptr))
                breakpoint = at;
            CloseHandle(event.u.LoadDll.hFile);
        } else if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT &&
                   record.ExceptionCode != EXCEPTION_BREAKPOINT) {
            status = DBG_EXCEPTION_NOT_HANDLED;
        } else if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT && breakpoint &&
                   record.ExceptionAddress == breakpoint) {
            ++calls;
            WriteProcessMemory(m_info.hProcess, breakpoint, &first, 1, nullptr);
            HANDLE thread = OpenThread(THREAD_ALL_ACCESS, FALSE, event.dwThreadId);
            CONTEXT context = {};
            context.ContextFlags = CONTEXT_CONTROL;
            GetThreadContext(thread, &context);
            context.Eip = reinterpret_cast<DWORD>(breakpoint);
            SetThreadContext(thread, &context);
            CloseHandle(thread);
            breakpoint = nullptr;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
        if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT)
            return calls;
    }
    return -1;
}

bool CChildProcess::WaitForExit(DWORD timeoutMs) {
    return m_info.hProcess && WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

std::string TestProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\'));
}

std::string MakeScratchFolder(const std::string& name) {
    char folder[MAX_PATH];
    std::snprintf(folder, sizeof folder, "Z:\\tmp\\tarnwick-test-%lu-%s", GetCurrentProcessId(),
                  name.c_str());
    RemoveAll(folder);
    CreateDirectoryA("Z:\\tmp", nullptr);
    CreateDirectoryA(folder, nullptr);
    return folder;
}

std::string ToLinuxPath(const std::string& winePath) {
    std::string path = winePath;
    if (path.size() >= 2 && (path[0] == 'Z' || path[0] == 'z') && path[1] == ':')
        path.erase(0, 2);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string ToWinePath(const std::string& linuxPath) {
    std::string path = "Z:" + linuxPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written;
}

std::string MakeContent(std::size_t size, unsigned seed) {
    std::string content(size, '\0');
    unsigned state = seed * 2654435761u + 1;
    for (char& c : content) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 16);
    }
    return content;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool FolderExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

bool WaitForFile(const std::string& path, DWORD timeoutMs) {
    for (const DWORD start = GetTickCount(); !FileExists(path); Sleep(50))
        if (GetTickCount() - start >= timeoutMs)
            return false;
    return true;
}

bool RemoveAll(const std::string& path) {
    std::error_code error;
    std::filesystem::remove_all(path, error);
    return !std::filesystem::exists(path, error) && !error;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

COLORREF ClientPixel(HWND window, int x, int y, bool pumpFirst) {
    if (pumpFirst)
        PumpMessages();
    UpdateWindow(window);
    HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

std::vector<COLORREF> ClientPixels(HWND window, const RECT& area) {
    UpdateWindow(window);
    HDC dc = GetDC(window);
    std::vector<COLORREF> pixels;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    }
    ReleaseDC(window, dc);
    return pixels;
}

int CountClientPixels(HWND window, const RECT& area, COLORREF color) {
    const std::vector<COLORREF> pixels = ClientPixels(window, area);
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), color));
}

void DropQuitMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

COLORREF WindowPixel(HWND window, int x, int y) {
    HDC dc = GetWindowDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

COLORREF RepaintedPixel(HWND window, int x, int y) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    return WindowPixel(window, x, y);
}

bool RunLinuxCommand(const std::string& shellCommand, DWORD timeoutMs) {
    // Wine cannot wait for a Linux child, so the command leaves a marker
    // file behind when it has finished.
    static LONG counter = 0;
    char marker[MAX_PATH];
    std::snprintf(marker, sizeof marker, "Z:\\tmp\\tarnwick-done-%lu-%ld", GetCurrentProcessId(),
                  InterlockedIncrement(&counter));
    DeleteFileA(marker);
    const std::string linuxMarker = ToLinuxPath(marker);
    std::string script = "(" + shellCommand + "); echo $? > '" + linuxMarker + ".part'; mv '" +
                         linuxMarker + ".part' '" + linuxMarker + "'";
    std::string quoted;
    for (char c : script) {
        if (c == '"')
            quoted += '\\';
        quoted += c;
    }
    CChildProcess shell;
    if (!shell.Start("/bin/sh -c \"" + quoted + "\""))
        return false;
    if (!WaitForFile(marker, timeoutMs))
        return false;
    const std::string status = ReadFileBytes(marker);
    DeleteFileA(marker);
    return status.compare(0, 2, "0\n") == 0;
}
