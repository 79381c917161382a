#include "InternetSession.h"

#include <map>

namespace {

[[noreturn]] void ThrowInternetException(DWORD_PTR context) {
    throw new CInternetException(GetLastError(), context);
}

} // namespace

// WinInet calls one plain function for every handle of a session; the router finds the session
// that a handle belongs to. Handles are registered while the layer owns them, so notifications
// for handles being created or closed reach nobody.
class CInternetStatusRouter {
  public:
    static void Register(HINTERNET handle, CInternetSession* session) {
        AcquireSRWLockExclusive(&s_lock);
        Sessions()[handle] = session;
        ReleaseSRWLockExclusive(&s_lock);
    }

    static void Unregister(HINTERNET handle) {
        AcquireSRWLockExclusive(&s_lock);
        Sessions().erase(handle);
        ReleaseSRWLockExclusive(&s_lock);
    }

    static void CALLBACK Route(HINTERNET handle, DWORD_PTR context, DWORD status,
                               LPVOID statusInformation, DWORD statusInformationLength) {
        CInternetSession* session = nullptr;
        AcquireSRWLockShared(&s_lock);
        const auto found = Sessions().find(handle);
        if (found != Sessions().end()) {
            session = found->second;
        }
        ReleaseSRWLockShared(&s_lock);
        if (session != nullptr && session->m_callbackEnabled) {
            // Called from WinInet's frames, which nothing may unwind through.
            try {
                session->OnStatusCallback(context, status, statusInformation,
                                          statusInformationLength);
            } catch (...) {
            }
        }
    }

  private:
    static std::map<HINTERNET, CInternetSession*>& Sessions() {
        static std::map<HINTERNET, CInternetSession*> sessions;
        return sessions;
    }

    static SRWLOCK s_lock;
};

SRWLOCK CInternetStatusRouter::s_lock = SRWLOCK_INIT;

CInternetHandle& CInternetHandle::operator=(CInternetHandle&& other) noexcept {
    if (this != &other) {
        Close();
        m_handle = other.Release();
    }
    return *this;
}

HINTERNET CInternetHandle::Release() {
    HINTERNET handle = m_handle;
    m_handle = nullptr;
    return handle;
}

void CInternetHandle::Close() {
    if (m_handle != nullptr) {
        InternetCloseHandle(m_handle);
        m_handle = nullptr;
    }
}

CInternetSession::CInternetSession(const char* agent, DWORD_PTR context, DWORD accessType,
                                   const char* proxyName, const char* proxyBypass, DWORD flags)
    : m_context(context) {
    m_handle = CInternetHandle(InternetOpenA(agent, accessType, proxyName, proxyBypass, flags));
    if (!m_handle) {
        ThrowInternetException(context);
    }
    CInternetStatusRouter::Register(m_handle.Get(), this);
}

CInternetSession::~CInternetSession() {
    Close();
}

void CInternetSession::EnableStatusCallback(bool enable) {
    INTERNET_STATUS_CALLBACK callback = enable ? &CInternetStatusRouter::Route : nullptr;
    if (InternetSetStatusCallback(m_handle.Get(), callback) == INTERNET_INVALID_STATUS_CALLBACK) {
        ThrowInternetException(m_context);
    }
    m_callbackEnabled = enable;
}

std::unique_ptr<CHttpConnection> CInternetSession::GetHttpConnection(const char* server,
                                                                     INTERNET_PORT port,
                                                                     const char* userName,
                                                                     const char* password) {
    CInternetHandle connection(InternetConnectA(m_handle.Get(), server, port, userName, password,
                                                INTERNET_SERVICE_HTTP, 0, m_context));
    if (!connection) {
        ThrowInternetException(m_context);
    }
    return std::make_unique<CHttpConnection>(*this, std::move(connection), m_context);
}

void CInternetSession::Close() {
    if (m_handle) {
        CInternetStatusRouter::Unregister(m_handle.Get());
        m_handle.Close();
    }
}

void CInternetSession::OnStatusCallback(DWORD_PTR, DWORD, void*, DWORD) {}

CHttpConnection::CHttpConnection(CInternetSession& session, CInternetHandle handle,
                                 DWORD_PTR context)
    : m_session(session), m_handle(std::move(handle)), m_context(context) {
    CInternetStatusRouter::Register(m_handle.Get(), &m_session);
}

CHttpConnection::~CHttpConnection() {
    Close();
}

std::unique_ptr<CHttpFile> CHttpConnection::OpenRequest(const char* verb, const char* objectName,
                                                        const char* referrer, DWORD_PTR context,
                                                        const char** acceptTypes,
                                                        const char* version, DWORD flags) {
    CInternetHandle request(HttpOpenRequestA(m_handle.Get(), verb, objectName, version, referrer,
                                             acceptTypes, flags, context));
    if (!request) {
        ThrowInternetException(context);
    }
    return std::make_unique<CHttpFile>(m_session, std::move(request), context);
}

void CHttpConnection::Close() {
    if (m_handle) {
        CInternetStatusRouter::Unregister(m_handle.Get());
        m_handle.Close();
    }
}

CHttpFile::CHttpFile(CInternetSession& session, CInternetHandle handle, DWORD_PTR context)
    : m_session(session), m_handle(std::move(handle)), m_context(context) {
    CInternetStatusRouter::Register(m_handle.Get(), &m_session);
}

CHttpFile::~CHttpFile() {
    Close();
}

void CHttpFile::AddRequestHeaders(const char* headers, DWORD modifiers) {
    if (!HttpAddRequestHeadersA(m_handle.Get(), headers, static_cast<DWORD>(-1), modifiers)) {
        ThrowLastError();
    }
}

void CHttpFile::SendRequest() {
    if (!HttpSendRequestA(m_handle.Get(), nullptr, 0, nullptr, 0)) {
        ThrowLastError();
    }
}

DWORD CHttpFile::QueryStatusCode() {
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfoA(m_handle.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                        &size, nullptr)) {
        ThrowLastError();
    }
    return status;
}

bool CHttpFile::QueryContentLength(DWORD& length) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (!HttpQueryInfoA(m_handle.Get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &value,
                        &size, nullptr)) {
        if (GetLastError() == ERROR_HTTP_HEADER_NOT_FOUND) {
            return false;
        }
        ThrowLastError();
    }
    length = value;
    return true;
}

bool CHttpFile::QueryHeader(DWORD info, std::string& value) {
    char text[256];
    DWORD size = sizeof(text);
    if (!HttpQueryInfoA(m_handle.Get(), info, text, &size, nullptr)) {
        if (GetLastError() == ERROR_HTTP_HEADER_NOT_FOUND ||
            GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            return false;
        }
        ThrowLastError();
    }
    value.assign(text, size);
    return true;
}

DWORD CHttpFile::QueryDataAvailable() {
    DWORD available = 0;
    if (!InternetQueryDataAvailable(m_handle.Get(), &available, 0, 0)) {
        ThrowLastError();
    }
    return available;
}

UINT CHttpFile::Read(void* buffer, UINT count) {
    DWORD read = 0;
    if (!InternetReadFile(m_handle.Get(), buffer, count, &read)) {
        ThrowLastError();
    }
    return read;
}

void CHttpFile::Close() {
    if (m_handle) {
        CInternetStatusRouter::Unregister(m_handle.Get());
        m_handle.Close();
    }
}

void CHttpFile::ThrowLastError() const {
    ThrowInternetException(m_context);
}
