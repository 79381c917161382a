#include "TestHttpServer.h"

#include "UiProbe.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

const DWORD kStartTimeoutMs = 15000;

} // namespace

int RecordedRequest::HeaderCount(const std::string& name) const {
    return static_cast<int>(std::count_if(headers.begin(), headers.end(), [&](const auto& header) {
        return lstrcmpiA(header.first.c_str(), name.c_str()) == 0;
    }));
}

std::string RecordedRequest::Header(const std::string& name) const {
    const auto header = std::find_if(headers.begin(), headers.end(), [&](const auto& header) {
        return lstrcmpiA(header.first.c_str(), name.c_str()) == 0;
    });
    return header != headers.end() ? header->second : std::string();
}

TestHttpServer::TestHttpServer(const std::string& rootLinuxPath) {
    static LONG counter = 0;
    m_files = "/tmp/tarnwick-http-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(InterlockedIncrement(&counter));
    for (const char* ending : {".port", ".log", ".quit"})
        DeleteFileA(ToWinePath(m_files + ending).c_str());

    // Wine hands a command line that starts with a Linux program to that program; the paths
    // must be free of blanks as they are passed unquoted.
    std::string commandLine = std::string(TEST_PYTHON) + " " + TEST_SUPPORT_DIR +
                              "/http_test_server.py --root " + rootLinuxPath + " --port-file " +
                              m_files + ".port --log " + m_files + ".log --quit-file " + m_files +
                              ".quit --idle 120 --lifetime 900";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return;
    // Wine cannot wait for a Linux child: the server ends by itself when the quit file
    // appears, and after its idle time when a test dies before it gets there.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const std::string portFile = ToWinePath(m_files + ".port");
    for (const DWORD start = GetTickCount(); !m_port && GetTickCount() - start < kStartTimeoutMs;
         Sleep(20)) {
        const unsigned long port = std::strtoul(ReadFileBytes(portFile).c_str(), nullptr, 10);
        m_port = port < 65536 ? static_cast<unsigned short>(port) : 0;
    }
    DeleteFileA(portFile.c_str());
}

TestHttpServer::~TestHttpServer() {
    Stop();
}

std::string TestHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<RecordedRequest> TestHttpServer::Requests() const {
    std::vector<RecordedRequest> requests;
    std::istringstream text(ReadFileBytes(ToWinePath(m_files + ".log")).substr(m_logStart));
    std::string line;
    while (std::getline(text, line)) {
        if (line.compare(0, 2, "> ") == 0) {
            RecordedRequest request;
            request.requestLine = line.substr(2);
            std::istringstream words(request.requestLine);
            words >> request.method >> request.target;
            requests.push_back(request);
        } else if (!line.empty() && !requests.empty()) {
            const size_t colon = line.find(": ");
            if (colon != std::string::npos)
                requests.back().headers.emplace_back(line.substr(0, colon), line.substr(colon + 2));
        }
    }
    return requests;
}

void TestHttpServer::ClearRequests() {
    m_logStart = ReadFileBytes(ToWinePath(m_files + ".log")).size();
}

void TestHttpServer::Stop() {
    if (m_port != 0) {
        DeleteFileA(ToWinePath(m_files + ".log").c_str());
        WriteFileBytes(ToWinePath(m_files + ".quit"), "");
        m_port = 0;
    }
}
