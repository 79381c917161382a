#include "TarnwickApp.h"

#include "RegistrationJournal.h"
#include "SkinBinding.h"
#include "TarnwickClientDlg.h"
#include "res/resource.h"

#include <commctrl.h>
#include <objbase.h>

#include <vector>

std::string CTarnwickClientApp::ConfigFilePath() {
    return framework::ModuleFolder() + "\\Platform.ini";
}

BOOL CTarnwickClientApp::ReadUpdateUrl() {
    std::vector<char> buffer(1024, '\0');
    GetPrivateProfileStringA("Update", "UpdateUrl", "", buffer.data(),
                             static_cast<DWORD>(buffer.size()), ConfigFilePath().c_str());
    m_updateUrl = buffer.data();
    return !m_updateUrl.empty();
}

BOOL CTarnwickClientApp::ReadPublicKey() {
    std::vector<char> buffer(1024, '\0');
    const int length = LoadStringA(GetModuleHandleA(nullptr), IDS_UPDATE_PUBLIC_KEY, buffer.data(),
                                   static_cast<int>(buffer.size()));
    if (length <= 0)
        GetPrivateProfileStringA("Update", "PublicKey", "", buffer.data(),
                                 static_cast<DWORD>(buffer.size()), ConfigFilePath().c_str());
    m_publicKey = buffer.data();
    return !m_publicKey.empty();
}

bool CTarnwickClientApp::LobbyIsRunning() {
    char lobbyClass[256] = {};
    GetPrivateProfileStringA("Platform", "DovrelClass", "", lobbyClass, sizeof lobbyClass,
                             ConfigFilePath().c_str());
    const std::string name = std::string(lobbyClass) + "_Mutex";

    // The updater only probes the mutex; it never keeps it.
    HANDLE mutex = CreateMutexA(nullptr, TRUE, name.c_str());
    const bool alreadyExists = GetLastError() == ERROR_ALREADY_EXISTS;
    if (mutex)
        CloseHandle(mutex);
    if (!alreadyExists)
        return false;

    MessageBoxA(nullptr, "游戏大厅已经运行！", "系统提示", MB_ICONINFORMATION);
    if (HWND lobby = FindWindowA(name.c_str(), nullptr)) {
        if (IsIconic(lobby))
            ShowWindow(lobby, SW_RESTORE);
        SetActiveWindow(lobby);
        BringWindowToTop(lobby);
        SetForegroundWindow(lobby);
    }
    return true;
}

BOOL CTarnwickClientApp::InitInstance() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    // Registrations an ended run left undone come first, whatever this start goes on to do.
    CRegistrationJournal(CRegistrationJournal::DefaultPath()).RunPending();

    if (*CommandLine() == '\0' && LobbyIsRunning())
        return FALSE;

    m_comInitialized = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));

    if (!SocketsStartup()) {
        framework::AppMessageBox("初始化网络失败, 请检查您的网络设置!");
        return FALSE;
    }
    SetRegistryKey("Tarnwick");

    if (!ReadUpdateUrl()) {
        framework::AppMessageBox("获取升级文件失败，请到官方游戏网站重新下载安装游戏",
                                 MB_ICONERROR);
        return FALSE;
    }

    // A missing or bad skin leaves the window plain; the run does not care.
    Skin().LoadSkin("Tarnwick.sdb", 2);

    UpdaterSettings settings;
    settings.updateUrl = m_updateUrl;
    ReadPublicKey();
    settings.publicKey = m_publicKey;
    settings.mainProgramFile = m_mainProgramFile;
    settings.mainProgramArgument = m_mainProgramArgument;
    {
        CTarnwickClientDlg dialog(settings);
        dialog.DoModal();
    }
    SetMainWindow(nullptr);
    return FALSE;
}

int CTarnwickClientApp::ExitInstance() {
    Skin().Cleanup();
    if (m_comInitialized) {
        CoUninitialize();
        m_comInitialized = false;
    }
    return CWinAppBase::ExitInstance();
}
