#include <winsock2.h>

#include "AppFramework.h"

namespace framework {

std::string ModuleFileName() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}

std::string ModuleFolder() {
    std::string path = ModuleFileName();
    std::string::size_type slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string ApplicationName() {
    std::string name = ModuleFileName();
    std::string::size_type slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    std::string::size_type dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

int AppMessageBox(const char* text, UINT type, HWND owner) {
    if (!owner && CWinAppBase::Current())
        owner = CWinAppBase::Current()->MainWindow();
    if (owner && !IsWindow(owner))
        owner = nullptr;
    return MessageBoxA(owner, text, ApplicationName().c_str(), type);
}

CWinAppBase* CWinAppBase::s_current = nullptr;

CWinAppBase::CWinAppBase() {
    s_current = this;
}

CWinAppBase::~CWinAppBase() {
    if (s_current == this)
        s_current = nullptr;
}

int CWinAppBase::ExitInstance() {
    if (m_socketsStarted) {
        WSACleanup();
        m_socketsStarted = false;
    }
    return 0;
}

BOOL CWinAppBase::SocketsStartup() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return FALSE;
    m_socketsStarted = true;
    return TRUE;
}

int CWinAppBase::Run(HINSTANCE instance, const char* commandLine) {
    m_instance = instance;
    m_commandLine = commandLine ? commandLine : "";
    // Leading blanks are not an argument.
    m_commandLine.erase(0, m_commandLine.find_first_not_of(" \t"));
    if (InitInstance()) {
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return ExitInstance();
}

INT_PTR CModalDialog::DoModal() {
    HINSTANCE instance =
        CWinAppBase::Current() ? CWinAppBase::Current()->Instance() : GetModuleHandleA(nullptr);
    INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(m_templateId), m_parent,
                                     &CModalDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_hwnd = nullptr;
    return result;
}

INT_PTR CModalDialog::WindowProc(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
    }
    return FALSE;
}

INT_PTR CALLBACK CModalDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Nothing may unwind into the system's frames: a handler that throws
    // leaves the message to the dialog manager's default processing.
    try {
        return Dispatch(hwnd, message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

INT_PTR CModalDialog::Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CModalDialog*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        dialog->m_hwnd = hwnd;
        return dialog->OnInitDialog();
    }
    auto* dialog = reinterpret_cast<CModalDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!dialog)
        return FALSE;
    return dialog->WindowProc(message, wParam, lParam);
}

} // namespace framework
