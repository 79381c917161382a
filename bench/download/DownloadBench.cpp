// One timed download for run.sh, without a window:
//   download_bench.exe job <url> <windows target path> <expected size>
//     a file download job as the updater makes it (the data goes to "<target>.tmp");
//   download_bench.exe wininet <url> <windows target path> <expected size>
//     the plain WinInet read loop it is measured against: the same session, connection and
//     request options and headers, 256 KiB reads straight into the file.
// Prints the seconds from the start of the transfer to its end, or a failure on stderr.
#include "BenchClock.h"
#include "InetFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

double TimeJob(const char* url, const char* target, uint32_t size) {
    CInetFile job;
    job.SetStatusCallback(true);
    job.SetKind(CInetFile::KindFile);
    job.SetUrl(url);
    job.SetTargetPath(target);
    job.SetExpectedSize(size);
    const double start = Seconds();
    if (!job.Start())
        return -1;
    job.WaitForCompletion();
    const double elapsed = Seconds() - start;
    return job.ErrorText().empty() && job.Received() == size ? elapsed : -1;
}

double TimeWinInet(const char* url, const char* target, uint32_t size) {
    const double start = Seconds();
    char host[256] = {};
    char path[2048] = {};
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof path;
    if (!InternetCrackUrlA(url, 0, 0, &parts))
        return -1;
    DWORD timeout = CInetFile::kDefaultStallTimeoutMs;
    HINTERNET session = InternetOpenA("Brisco Update Client v1.0", INTERNET_OPEN_TYPE_PRECONFIG,
                                      nullptr, nullptr, 0);
    HINTERNET connection = InternetConnectA(session, host, parts.nPort, nullptr, nullptr,
                                            INTERNET_SERVICE_HTTP, 0, 1);
    for (HINTERNET handle : {session, connection})
        for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                             INTERNET_OPTION_RECEIVE_TIMEOUT})
            InternetSetOptionA(handle, option, &timeout, sizeof timeout);
    HINTERNET request = HttpOpenRequestA(connection, "GET", path, nullptr, nullptr, nullptr,
                                         INTERNET_FLAG_RELOAD, 1);
    const char headers[] = "Accept: */*\r\nUser-Agent: Brisco Update Client\r\n";
    HttpAddRequestHeadersA(request, headers, static_cast<DWORD>(-1), HTTP_ADDREQ_FLAG_ADD_IF_NEW);
    DWORD status = 0;
    DWORD statusSize = sizeof status;
    uint32_t received = 0;
    if (HttpSendRequestA(request, nullptr, 0, nullptr, 0) &&
        HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                       &statusSize, nullptr) &&
        status == 200) {
        HANDLE file = CreateFileA(target, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        std::vector<char> buffer(256 * 1024);
        DWORD read = 0;
        DWORD written = 0;
        while (file != INVALID_HANDLE_VALUE &&
               InternetReadFile(request, buffer.data(), static_cast<DWORD>(buffer.size()),
                                &read) &&
               read != 0 && WriteFile(file, buffer.data(), read, &written, nullptr))
            received += read;
        CloseHandle(file);
    }
    InternetCloseHandle(request);
    InternetCloseHandle(connection);
    InternetCloseHandle(session);
    const double elapsed = Seconds() - start;
    return received == size ? elapsed : -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5 || (std::strcmp(argv[1], "job") != 0 && std::strcmp(argv[1], "wininet") != 0)) {
        std::fprintf(stderr, "usage: download_bench job|wininet <url> <target> <expected size>\n");
        return 2;
    }
    const auto size = static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10));
    const double seconds = std::strcmp(argv[1], "job") == 0 ? TimeJob(argv[2], argv[3], size)
                                                            : TimeWinInet(argv[2], argv[3], size);
    if (seconds < 0) {
        std::fprintf(stderr, "%s download failed\n", argv[1]);
        return 1;
    }
    std::printf("%.4f\n", seconds);
    return 0;
}
