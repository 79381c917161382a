#include "TestHttpServer.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace {

const DWORD kStartTimeoutMs = 15000;
const DWORD kSocketTimeoutMs = 10000;
const size_t kMaxResponseBytes = 16 * 1024 * 1024;

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool StartWinsock() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

unsigned short ReadPort(const std::string& winePath) {
    std::ifstream in(winePath);
    unsigned port = 0;
    in >> port;
    return port > 0 && port < 65536 ? static_cast<unsigned short>(port) : 0;
}

} // namespace

std::string ToWinePath(const std::string& linuxPath) {
    std::string path = "Z:" + linuxPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

int RecordedRequest::HeaderCount(const std::string& name) const {
    return static_cast<int>(std::count_if(headers.begin(), headers.end(), [&](const auto& header) {
        return EqualsIgnoringCase(header.first, name);
    }));
}

std::string RecordedRequest::Header(const std::string& name) const {
    for (const auto& header : headers) {
        if (EqualsIgnoringCase(header.first, name)) {
            return header.second;
        }
    }
    return std::string();
}

TestHttpServer::TestHttpServer(const std::string& rootLinuxPath) {
    static LONG counter = 0;
    const std::string portFile = "/tmp/tarnwick-http-" + std::to_string(GetCurrentProcessId()) +
                                 "-" + std::to_string(InterlockedIncrement(&counter)) + ".port";
    const std::string portFileWine = ToWinePath(portFile);
    DeleteFileA(portFileWine.c_str());

    // Wine hands a command line that starts with a Linux program to that program; the paths
    // must be free of blanks as they are passed unquoted.
    std::string commandLine = std::string(TEST_PYTHON) + " " + TEST_SUPPORT_DIR +
                              "/http_test_server.py --root " + rootLinuxPath + " --port-file " +
                              portFile + " --idle 120 --lifetime 900";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return;
    }
    CloseHandle(process.hThread);
    m_process = process.hProcess;

    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kStartTimeoutMs) {
        m_port = ReadPort(portFileWine);
        if (m_port != 0) {
            break;
        }
        Sleep(20);
    }
    DeleteFileA(portFileWine.c_str());
}

TestHttpServer::~TestHttpServer() {
    Stop();
}

std::string TestHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

HttpResponse TestHttpServer::Get(const std::string& path) const {
    HttpResponse response;
    if (m_port == 0 || !StartWinsock()) {
        return response;
    }
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        return response;
    }
    const DWORD timeout = kSocketTimeoutMs;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
               sizeof(timeout));
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout),
               sizeof(timeout));
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(m_port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string raw;
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
        const std::string request =
            "GET " + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
        if (send(s, request.data(), static_cast<int>(request.size()), 0) ==
            static_cast<int>(request.size())) {
            char buffer[8192];
            int got = 0;
            while (raw.size() < kMaxResponseBytes &&
                   (got = recv(s, buffer, sizeof(buffer), 0)) > 0) {
                raw.append(buffer, got);
            }
        }
    }
    closesocket(s);

    const size_t headerEnd = raw.find("\r\n\r\n");
    if (raw.compare(0, 5, "HTTP/") != 0 || headerEnd == std::string::npos) {
        return response;
    }
    const size_t blank = raw.find(' ');
    response.status = std::atoi(raw.c_str() + blank + 1);
    response.body = raw.substr(headerEnd + 4);
    return response;
}

std::vector<RecordedRequest> TestHttpServer::Requests() const {
    std::vector<RecordedRequest> requests;
    std::istringstream text(Get("/__requests.txt").body);
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
            if (colon != std::string::npos) {
                requests.back().headers.emplace_back(line.substr(0, colon), line.substr(colon + 2));
            }
        }
    }
    return requests;
}

void TestHttpServer::ClearRequests() const {
    Get("/__clear");
}

void TestHttpServer::Stop() {
    if (m_port != 0) {
        Get("/__quit");
        m_port = 0;
    }
    if (m_process != nullptr) {
        // Wine cannot wait for a Linux child: the server ends by itself on /__quit, and after
        // its idle time when a test dies before it gets there.
        CloseHandle(m_process);
        m_process = nullptr;
    }
}
