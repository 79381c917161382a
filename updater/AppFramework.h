// The small application framework the updater is built on: an application
// object with InitInstance/ExitInstance, a modal dialog from a template, and
// message boxes whose default caption is the program's name.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

// Module file name of the running program, and its folder (cut at the last
// backslash). Both are taken from the module, never from the current folder.
std::string ModuleFileName();
std::string ModuleFolder();
// The program's name: the module file name without folder and extension.
std::string ApplicationName();

// Message box with the application name as caption (the framework's form).
int AppMessageBox(const char* text, UINT type = MB_OK, HWND owner = nullptr);

// Base of the one application object. WinMain runs InitInstance; when it
// returns false the program goes straight to ExitInstance and ends.
class CWinAppBase {
  public:
    CWinAppBase();
    virtual ~CWinAppBase();
    CWinAppBase(const CWinAppBase&) = delete;
    CWinAppBase& operator=(const CWinAppBase&) = delete;

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance();

    // Entry point for WinMain: runs the whole life of the program.
    int Run(HINSTANCE instance, const char* commandLine);

    HINSTANCE Instance() const { return m_instance; }
    const char* CommandLine() const { return m_commandLine.c_str(); }
    void SetMainWindow(HWND window) { m_mainWindow = window; }
    HWND MainWindow() const { return m_mainWindow; }

    static CWinAppBase* Current() { return s_current; }

  protected:
    // Windows Sockets 2.2 for the process; false when unavailable.
    BOOL SocketsStartup();
    // Name under which settings would be kept; remembered only.
    void SetRegistryKey(const char* key) { m_registryKey = key; }
    const std::string& RegistryKey() const { return m_registryKey; }

  private:
    static CWinAppBase* s_current;
    HINSTANCE m_instance = nullptr;
    std::string m_commandLine;
    std::string m_registryKey;
    HWND m_mainWindow = nullptr;
    bool m_socketsStarted = false;
};

// Modal dialog from a dialog template of the program's resources.
class CModalDialog {
  public:
    CModalDialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}
    virtual ~CModalDialog() = default;
    CModalDialog(const CModalDialog&) = delete;
    CModalDialog& operator=(const CModalDialog&) = delete;

    // Runs the dialog until EndDialog or a quit message; returns the result.
    INT_PTR DoModal();
    HWND GetSafeHwnd() const { return m_hwnd; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hwnd, id); }

  protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    // Messages not handled here get default dialog processing (FALSE).
    virtual INT_PTR WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnOK() { EndDialog(m_hwnd, IDOK); }
    virtual void OnCancel() { EndDialog(m_hwnd, IDCANCEL); }

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    HWND m_parent;
    HWND m_hwnd = nullptr;
};

} // namespace framework
