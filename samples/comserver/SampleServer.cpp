// Sample self-registering server. DllRegisterServer writes the DLL's own path
// to "<dll>.registered"; DllUnregisterServer removes that file.
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
    const std::string path = ModulePath();
    HANDLE note = CreateFileA((path + ".registered").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (note == INVALID_HANDLE_VALUE)
        return E_FAIL;
    DWORD written = 0;
    WriteFile(note, path.data(), static_cast<DWORD>(path.size()), &written, nullptr);
    CloseHandle(note);
    return S_OK;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    DeleteFileA((ModulePath() + ".registered").c_str());
    return S_OK;
}
