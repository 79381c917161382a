#include "RegistrationJournal.h"

#include "AppFramework.h"
#include "FileHandle.h"

#include <shellapi.h>

#include <algorithm>

namespace {

// A registration that takes longer than this is left to the next start.
const DWORD kRegisterTimeoutMs = 60000;

// Waits for a process while handling the thread's messages, so that a window stays drawn. A
// quit message is put back for the loop it belongs to.
bool WaitPumping(HANDLE process, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    bool quit = false;
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) {
            return false;
        }
        const DWORD woken =
            quit ? WaitForSingleObject(process, timeoutMs - elapsed)
                 : MsgWaitForMultipleObjects(1, &process, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) {
            return true;
        }
        if (woken != WAIT_OBJECT_0 + 1) {
            return false;
        }
        MSG msg;
        while (!quit && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                quit = true;
            } else {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
}

} // namespace

std::string CRegistrationJournal::DefaultPath() {
    return framework::ModuleFolder() + "\\Tarnwick.journal";
}

std::vector<std::string> CRegistrationJournal::Pending() const {
    std::vector<std::string> lines;
    CFileHandle file = CFileHandle::OpenForReading(m_path.c_str());
    if (!file.IsValid()) {
        return lines;
    }
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read != 0) {
        text.append(buffer, read);
    }
    std::string::size_type begin = 0;
    while (begin < text.size()) {
        const std::string::size_type end = std::min(text.find("\r\n", begin), text.size());
        if (end > begin) {
            lines.push_back(text.substr(begin, end - begin));
        }
        begin = end + 2;
    }
    return lines;
}

bool CRegistrationJournal::Add(const std::string& target) {
    std::vector<std::string> lines = Pending();
    lines.push_back(target);
    return Write(lines);
}

void CRegistrationJournal::Remove(const std::string& target) {
    std::vector<std::string> lines = Pending();
    const auto found = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return lstrcmpiA(line.c_str(), target.c_str()) == 0;
    });
    if (found != lines.end()) {
        lines.erase(found);
        Write(lines);
    }
}

void CRegistrationJournal::RunPending() {
    for (const std::string& target : Pending()) {
        if (RegisterServer(target)) {
            Remove(target);
        }
    }
}

bool CRegistrationJournal::Write(const std::vector<std::string>& lines) const {
    if (lines.empty()) {
        return DeleteFileA(m_path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    // Written whole beside the journal, then moved over it: the journal is always either the
    // old list or the new one.
    const std::string next = m_path + ".new";
    CFileHandle file(CreateFileA(next.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
    DWORD written = 0;
    const bool complete =
        file.IsValid() &&
        WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size() && FlushFileBuffers(file.Get());
    file.Close();
    if (!complete || !MoveFileExA(next.c_str(), m_path.c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(next.c_str());
        return false;
    }
    return true;
}

bool RegisterServer(const std::string& path) {
    const std::string parameters = "/s \"" + path + "\"";
    SHELLEXECUTEINFOA run = {};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    run.lpFile = "regsvr32";
    run.lpParameters = parameters.c_str();
    run.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&run) || run.hProcess == nullptr) {
        return false;
    }
    const bool ended = WaitPumping(run.hProcess, kRegisterTimeoutMs);
    CloseHandle(run.hProcess);
    return ended;
}
