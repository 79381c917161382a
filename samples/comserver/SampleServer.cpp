// Sample self-registering server. DllRegisterServer adds the DLL's own path as
// one line to "<dll>.registered", so every registration is on record;
// DllUnregisterServer removes that file.
#include <windows.h>

#include <string>

namespace {

HMODULE g_module = nullptr;

std::string ModulePath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(g_module, path, MAX_PATH);
    return path;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        g_module = instance;
    return TRUE;
}

extern "C" HRESULT WINAPI DllRegisterServer() {
    const std::string line = ModulePath() + "\r\n";
    HANDLE note = CreateFileA((ModulePath() + ".registered").c_str(), FILE_APPEND_DATA, 0, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (note == INVALID_HANDLE_VALUE)
        return E_FAIL;
    DWORD written = 0;
    WriteFile(note, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(note);
    return S_OK;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    DeleteFileA((ModulePath() + ".registered").c_str());
    return S_OK;
}
