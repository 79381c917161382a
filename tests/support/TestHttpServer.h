// Runs tests/support/http_test_server.py (a Linux program) from a test under Wine, and reads
// what the server received over plain sockets, independent of the HTTP client under test.
#pragma once

#include <string>
#include <utility>
#include <vector>

// "/a/b" -> "Z:\a\b": how a Linux path is reached from inside Wine.
std::string ToWinePath(const std::string& linuxPath);

struct RecordedRequest {
    std::string requestLine;
    std::string method;
    std::string target;
    std::vector<std::pair<std::string, std::string>> headers;

    // Number of headers with this name, ignoring case.
    int HeaderCount(const std::string& name) const;
    // Value of the first header with this name, ignoring case; empty when there is none.
    std::string Header(const std::string& name) const;
};

struct HttpResponse {
    int status = 0;
    std::string body;
};

class TestHttpServer {
  public:
    // Serves the Linux folder rootLinuxPath; check Running() before use.
    explicit TestHttpServer(const std::string& rootLinuxPath);
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    bool Running() const { return m_port != 0; }
    unsigned short Port() const { return m_port; }
    // "http://127.0.0.1:<port>" + path
    std::string Url(const std::string& path) const;

    // A GET over a plain socket; status 0 when the server could not be reached.
    HttpResponse Get(const std::string& path) const;
    std::vector<RecordedRequest> Requests() const;
    void ClearRequests() const;
    void Stop();

  private:
    void* m_process = nullptr;
    unsigned short m_port = 0;
};
