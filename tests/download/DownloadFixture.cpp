#include "DownloadFixture.h"

namespace {

const std::string kServedLinux = std::string(TEST_BINARY_DIR) + "/served";
const std::string kOutLinux = std::string(TEST_BINARY_DIR) + "/out";

void EmptyFolder(const std::string& winePath) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((winePath + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            DeleteFileA((winePath + "\\" + found.cFileName).c_str());
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

} // namespace

NotifyWindow::NotifyWindow() {
    m_window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
}

NotifyWindow::~NotifyWindow() {
    if (m_window != nullptr) {
        DestroyWindow(m_window);
    }
}

bool NotifyWindow::Collect(UINT wanted) {
    bool seen = false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.hwnd == m_window &&
            (msg.message == WM_INETFILE_PROGRESS || msg.message == WM_INETFILE_FINISHED)) {
            m_messages.push_back({msg.message, msg.wParam, msg.lParam});
            seen = seen || msg.message == wanted;
        } else {
            DispatchMessageA(&msg);
        }
    }
    return seen;
}

bool NotifyWindow::WaitFor(UINT message, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (Collect(message)) {
            return true;
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_POSTMESSAGE);
    }
}

bool NotifyWindow::WaitForFinished(DWORD timeoutMs) {
    return WaitFor(WM_INETFILE_FINISHED, timeoutMs);
}

bool NotifyWindow::WaitForProgress(DWORD timeoutMs) {
    return WaitFor(WM_INETFILE_PROGRESS, timeoutMs);
}

void NotifyWindow::Drain() {
    Collect(0);
}

std::vector<JobMessage> NotifyWindow::Progress() const {
    std::vector<JobMessage> result;
    for (const auto& m : m_messages) {
        if (m.message == WM_INETFILE_PROGRESS) {
            result.push_back(m);
        }
    }
    return result;
}

std::vector<JobMessage> NotifyWindow::Finished() const {
    std::vector<JobMessage> result;
    for (const auto& m : m_messages) {
        if (m.message == WM_INETFILE_FINISHED) {
            result.push_back(m);
        }
    }
    return result;
}

uint32_t NotifyWindow::ProgressBytes() const {
    uint32_t total = 0;
    for (const auto& m : Progress()) {
        total += LOWORD(m.wParam);
    }
    return total;
}

std::unique_ptr<TestHttpServer> DownloadTest::s_server;
std::string DownloadTest::s_small;
std::string DownloadTest::s_big;

void DownloadTest::SetUpTestSuite() {
    CreateDirectoryA(ToWinePath(kServedLinux).c_str(), nullptr);
    CreateDirectoryA(ToWinePath(kServedLinux + "/dir").c_str(), nullptr);
    CreateDirectoryA(ToWinePath(kOutLinux).c_str(), nullptr);
    s_small = MakeContent(5000, 1);
    s_big = MakeContent(200 * 1024, 2);
    WriteFileBytes(ServedPath("small.bin"), s_small);
    WriteFileBytes(ServedPath("dir\\small.bin"), s_small);
    WriteFileBytes(ServedPath("big.bin"), s_big);
    s_server = std::make_unique<TestHttpServer>(kServedLinux);
}

void DownloadTest::TearDownTestSuite() {
    s_server.reset();
}

void DownloadTest::SetUp() {
    ASSERT_TRUE(s_server != nullptr && s_server->Running()) << "the test server did not start";
    ASSERT_NE(m_window.Handle(), nullptr);
    EmptyFolder(ToWinePath(kOutLinux));
    s_server->ClearRequests();
}

std::unique_ptr<CInetFile> DownloadTest::MakeJob(const std::string& url,
                                                 const std::string& targetName, int32_t kind,
                                                 HWND window) {
    auto job = std::make_unique<CInetFile>();
    job->SetStatusCallback(true);
    job->SetUrl(url);
    job->SetTargetPath(OutPath(targetName));
    job->SetFileName(targetName);
    job->SetKind(kind);
    job->SetNotifyWindow(window);
    return job;
}

int DownloadTest::RunJob(CInetFile& job, NotifyWindow& window) {
    if (!job.Start() || !window.WaitForFinished()) {
        return -1;
    }
    const auto finished = window.Finished();
    return finished.empty() ? -1 : LOWORD(finished.back().wParam);
}

std::string DownloadTest::ServedPath(const std::string& name) {
    return ToWinePath(kServedLinux) + "\\" + name;
}

std::string DownloadTest::OutPath(const std::string& name) {
    return ToWinePath(kOutLinux) + "\\" + name;
}
