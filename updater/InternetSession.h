// Small WinInet layer: an internet session, its HTTP connections and their request files, each
// owning its handle. Every WinInet failure is thrown as a heap-allocated CInternetException.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <string>

// Base of the exceptions the updater throws by pointer; the handler that catches one deletes it.
class CFrameworkException {
  public:
    virtual ~CFrameworkException() = default;
    CFrameworkException(const CFrameworkException&) = delete;
    CFrameworkException& operator=(const CFrameworkException&) = delete;

  protected:
    CFrameworkException() = default;
};

// A failed WinInet call: the system error code and the context of the handle involved.
class CInternetException : public CFrameworkException {
  public:
    CInternetException(DWORD error, DWORD_PTR context) : m_error(error), m_context(context) {}

    DWORD Error() const { return m_error; }
    DWORD_PTR Context() const { return m_context; }

  private:
    DWORD m_error;
    DWORD_PTR m_context;
};

// Owns one HINTERNET and closes it.
class CInternetHandle {
  public:
    CInternetHandle() = default;
    explicit CInternetHandle(HINTERNET handle) : m_handle(handle) {}
    ~CInternetHandle() { Close(); }
    CInternetHandle(CInternetHandle&& other) noexcept : m_handle(other.Release()) {}
    CInternetHandle& operator=(CInternetHandle&& other) noexcept;
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;

    HINTERNET Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    HINTERNET Release();
    void Close();

  private:
    HINTERNET m_handle = nullptr;
};

class CHttpConnection;
class CHttpFile;

// One WinInet session (InternetOpenA). Derived classes see status notifications through
// OnStatusCallback once EnableStatusCallback has been called.
class CInternetSession {
  public:
    CInternetSession(const char* agent, DWORD_PTR context, DWORD accessType, const char* proxyName,
                     const char* proxyBypass, DWORD flags);
    virtual ~CInternetSession();
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    void EnableStatusCallback(bool enable = true);
    std::unique_ptr<CHttpConnection> GetHttpConnection(const char* server, INTERNET_PORT port,
                                                       const char* userName = nullptr,
                                                       const char* password = nullptr);
    void Close();

    HINTERNET Handle() const { return m_handle.Get(); }
    DWORD_PTR Context() const { return m_context; }

  protected:
    virtual void OnStatusCallback(DWORD_PTR context, DWORD status, void* statusInformation,
                                  DWORD statusInformationLength);

  private:
    friend class CInternetStatusRouter;

    CInternetHandle m_handle;
    DWORD_PTR m_context;
    bool m_callbackEnabled = false;
};

// A connection to one HTTP server (InternetConnectA); closed before its session.
class CHttpConnection {
  public:
    CHttpConnection(CInternetSession& session, CInternetHandle handle, DWORD_PTR context);
    ~CHttpConnection();
    CHttpConnection(const CHttpConnection&) = delete;
    CHttpConnection& operator=(const CHttpConnection&) = delete;

    std::unique_ptr<CHttpFile> OpenRequest(const char* verb, const char* objectName,
                                           const char* referrer, DWORD_PTR context,
                                           const char** acceptTypes, const char* version,
                                           DWORD flags);
    void Close();

    HINTERNET Handle() const { return m_handle.Get(); }

  private:
    CInternetSession& m_session;
    CInternetHandle m_handle;
    DWORD_PTR m_context;
};

// One HTTP request and its response body (HttpOpenRequestA); closed before its connection.
class CHttpFile {
  public:
    CHttpFile(CInternetSession& session, CInternetHandle handle, DWORD_PTR context);
    ~CHttpFile();
    CHttpFile(const CHttpFile&) = delete;
    CHttpFile& operator=(const CHttpFile&) = delete;

    void AddRequestHeaders(const char* headers, DWORD modifiers);
    void SendRequest();
    DWORD QueryStatusCode();
    // False when the response carries no Content-Length.
    bool QueryContentLength(DWORD& length);
    // The text of one response header (HTTP_QUERY_*); false when the response has none, or one
    // too long to be what that header holds.
    bool QueryHeader(DWORD info, std::string& value);
    // Bytes that can be read without waiting; waits until there is at least one or the response
    // has ended (then 0).
    DWORD QueryDataAvailable();
    // Returns the bytes read; 0 at the end of the response.
    UINT Read(void* buffer, UINT count);
    void Close();

    HINTERNET Handle() const { return m_handle.Get(); }

  private:
    [[noreturn]] void ThrowLastError() const;

    CInternetSession& m_session;
    CInternetHandle m_handle;
    DWORD_PTR m_context;
};
