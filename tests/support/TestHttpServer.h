// Runs tests/support/http_test_server.py (a Linux program) from a test under Wine, and reads
// what the server received from the server's own log, independent of the HTTP client under test.
#pragma once

#include <string>
#include <cstddef>
#include <utility>
#include <vector>

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

    // The requests received since the server started or since ClearRequests.
    std::vector<RecordedRequest> Requests() const;
    void ClearRequests();
    void Stop();

  private:
    std::string m_files; // the Linux path of the port, log and quit files, less the ending
    std::size_t m_logStart = 0;
    unsigned short m_port = 0;
};
