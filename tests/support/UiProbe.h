// Test helpers that look at what a user would see: message boxes of a
// process (found, read and answered by the test), top-level windows and their
// pixels, files and child processes.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SeenMessageBox {
    std::string caption;
    std::string text;
    // The icon shown in the box, or null; comparable with LoadIcon(nullptr, IDI_*)
    // only for boxes of the test's own process.
    HICON icon = nullptr;
    bool hadOwner = false;
    // Visible top-level windows of the box's process while it was shown, the box included.
    std::size_t processWindows = 0;
};

// Waits at most timeoutMs for a message box of process `pid`, reads it and
// presses OK (after beforeAnswer, given the box, when there is one). False
// when none appeared.
bool AnswerMessageBox(DWORD pid, DWORD timeoutMs, SeenMessageBox& seen,
                      const std::function<void(HWND)>& beforeAnswer = nullptr);

// Answers every message box of the test's own process while it lives,
// keeping what the boxes said in order.
class CMessageBoxAnswerer {
  public:
    CMessageBoxAnswerer();
    ~CMessageBoxAnswerer();
    CMessageBoxAnswerer(const CMessageBoxAnswerer&) = delete;
    CMessageBoxAnswerer& operator=(const CMessageBoxAnswerer&) = delete;

    std::vector<SeenMessageBox> Seen();

  private:
    void Watch();

    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<SeenMessageBox> m_seen;
    std::thread m_thread;
};

// Dispatches every message waiting for this thread.
void PumpMessages();
// Drops the quit message a window's run left behind, which would end the next run at once.
void DropQuitMessages();
// A client pixel once the window has painted what it had to, after the messages
// waiting for the thread when pumpFirst.
COLORREF ClientPixel(HWND window, int x, int y, bool pumpFirst = true);
// The client pixels of an area, row by row, once the window has painted what it had to.
std::vector<COLORREF> ClientPixels(HWND window, const RECT& area);
// How many of them have the colour.
int CountClientPixels(HWND window, const RECT& area, COLORREF color);
// A pixel of the whole window, non-client area included (0, 0 is its top left),
// as it is or after the window and its frame were painted anew.
COLORREF WindowPixel(HWND window, int x, int y);
COLORREF RepaintedPixel(HWND window, int x, int y);

// Registers a window class of the test program (arrow cursor) unless it exists; true when it does.
bool RegisterTestClass(const char* name, WNDPROC procedure, HBRUSH background = nullptr);

// Visible top-level windows of a process, message boxes included.
std::vector<HWND> TopLevelWindowsOf(DWORD pid);

// A started process that is ended and closed with the object.
class CChildProcess {
  public:
    CChildProcess() = default;
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    // debugged: this thread becomes the program's debugger and goes on with CallsUntilExit.
    bool Start(const std::string& commandLine, const std::string& folder = std::string(),
               bool debugged = false);
    bool WaitForExit(DWORD timeoutMs);
    // Runs a program started debugged to its end (at most timeoutMs): how often it called
    // the exported function of the DLL; -1 when it did not end.
    int CallsUntilExit(const std::string& dll, const char* function, DWORD timeoutMs);
    DWORD Id() const { return m_info.dwProcessId; }
    HANDLE Handle() const { return m_info.hProcess; }

  private:
    PROCESS_INFORMATION m_info = {};
};

// Module folder of the test executable.
std::string TestProgramFolder();
// A fresh empty folder below Z:\tmp (so Linux tools see it as /tmp/...).
std::string MakeScratchFolder(const std::string& name);
// "Z:\a\b" -> "/a/b", and back: how a Linux path is reached from inside Wine.
std::string ToLinuxPath(const std::string& winePath);
std::string ToWinePath(const std::string& linuxPath);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// Deterministic bytes that differ from seed to seed.
std::string MakeContent(std::size_t size, unsigned seed);
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Waits at most timeoutMs for a file to appear.
bool WaitForFile(const std::string& path, DWORD timeoutMs);
// Removes a file or a folder with all it holds; true when nothing is left.
bool RemoveAll(const std::string& path);
// Runs a Linux command line (via /bin/sh) and waits for it to end.
bool RunLinuxCommand(const std::string& shellCommand, DWORD timeoutMs);
