#include "InetFile.h"

#include "FileHandle.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

const char kAgent[] = "Brisco Update Client v1.0";
const char kRequestHeaders[] = "Accept: */*\r\nUser-Agent: Brisco Update Client\r\n";
const DWORD_PTR kContext = 1;
const UINT kBlockSize = 1024;
const UINT kMinChunkSize = 8 * 1024;
const UINT kMaxChunkSize = 256 * 1024;
const DWORD kFastChunkMs = 50;
const DWORD kStatusRangeNotSatisfiable = 416;

struct HttpTarget {
    std::string server;
    std::string object;
    INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
};

// Splits a plain HTTP URL; false for anything else, https included.
bool SplitHttpUrl(const std::string& url, HttpTarget& target) {
    // No part of a URL is longer than the URL itself.
    const DWORD capacity = static_cast<DWORD>(url.size() + 1);
    std::vector<char> host(capacity);
    std::vector<char> path(capacity);
    std::vector<char> extra(capacity);
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host.data();
    parts.dwHostNameLength = capacity;
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = capacity;
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = capacity;
    if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) {
        return false;
    }
    if (parts.nScheme != INTERNET_SCHEME_HTTP || parts.dwHostNameLength == 0) {
        return false;
    }
    target.server.assign(host.data(), parts.dwHostNameLength);
    target.object.assign(path.data(), parts.dwUrlPathLength);
    target.object.append(extra.data(), parts.dwExtraInfoLength);
    if (target.object.empty()) {
        target.object = "/";
    }
    target.port = parts.nPort;
    return true;
}

const char* ErrorTextOf(DWORD code) {
    switch (code) {
    case CInetFile::CodeBadUrl:
        return "URL解析错误, 请选择其他服务器进行尝试";
    case CInetFile::CodeConnectionFailed:
        return "服务器拒绝连接, 请选择其他服务器进行尝试";
    case CInetFile::CodeRedirectFailed:
        return "重定向失败, 请选择其他服务器进行尝试";
    case CInetFile::CodeBadRedirectUrl:
        return "重定向URL解析错误, 请选择其他服务器进行尝试";
    case CInetFile::CodeNotHttp:
        return "不是HTTP连接, 请选择其他服务器进行尝试";
    case CInetFile::CodeServerFileFailed:
        return "取得服务器文件失败, 请选择其他服务器进行尝试";
    case CInetFile::CodeLocalFileFailed:
        return "创建本地文件失败";
    case CInetFile::CodeCancelled:
        return "主动取消连接";
    case CInetFile::CodeEmptyUrl:
        return "URL不正确";
    default:
        return "连接服务器失败, 请检查网络或联系管理员";
    }
}

// Fetches the response in chunks. Every WinInet call costs a round trip to the system under
// Wine, so a fast link is read in large chunks. A read waits until its buffer is full, so the
// chunk asked for grows only while chunks come in full within kFastChunkMs and shrinks when one
// takes longer; otherwise just what has arrived is read. A slow link thus still delivers block
// by block, and no read waits much longer than kFastChunkMs on a link that keeps its speed.
class ChunkReader {
  public:
    explicit ChunkReader(CHttpFile& request) : m_request(request), m_chunk(kMaxChunkSize) {}

    // Points data at the next chunk of at most atMost bytes and returns its size; 0 at the end
    // of the response.
    UINT Next(const char*& data, UINT atMost) {
        UINT wanted = 0;
        if (m_size == m_chunkSize && m_lastReadMs <= kFastChunkMs) {
            m_chunkSize = std::min(m_chunkSize * 2, kMaxChunkSize);
            wanted = m_chunkSize;
        } else {
            if (m_lastReadMs > kFastChunkMs) {
                m_chunkSize = std::max(m_chunkSize / 2, kMinChunkSize);
            }
            const DWORD available = m_request.QueryDataAvailable();
            wanted = static_cast<UINT>(std::clamp<DWORD>(available, kBlockSize, m_chunkSize));
        }
        wanted = std::min(wanted, atMost);
        const DWORD start = GetTickCount();
        m_size = m_request.Read(m_chunk.data(), wanted);
        m_lastReadMs = GetTickCount() - start;
        data = m_chunk.data();
        return m_size;
    }

  private:
    CHttpFile& m_request;
    std::vector<char> m_chunk;
    UINT m_chunkSize = kMinChunkSize;
    UINT m_size = 0;
    DWORD m_lastReadMs = 0;
};

// Connect, send and receive time-outs. Set on the connection as well: not every WinInet hands
// the session's values on to the connections made from it.
void SetTimeouts(HINTERNET handle, DWORD milliseconds) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds);
    }
}

// Where a 206 answer's "Content-Range: bytes N-M/T" starts; UINT32_MAX when it cannot be read.
uint32_t RangeStart(CHttpFile& request) {
    std::string range;
    if (!request.QueryHeader(HTTP_QUERY_CONTENT_RANGE, range) ||
        range.compare(0, 6, "bytes ") != 0) {
        return UINT32_MAX;
    }
    char* end = nullptr;
    const unsigned long long start = std::strtoull(range.c_str() + 6, &end, 10);
    return end != range.c_str() + 6 && *end == '-' && start < UINT32_MAX
               ? static_cast<uint32_t>(start)
               : UINT32_MAX;
}

bool WriteAll(HANDLE file, const char* data, UINT size) {
    DWORD written = 0;
    return size == 0 || (WriteFile(file, data, size, &written, nullptr) && written == size);
}

} // namespace

void CInetFile::CInetFileSession::OnStatusCallback(DWORD_PTR, DWORD, void*, DWORD) {}

CInetFile::~CInetFile() {
    m_destroying = true;
    m_cancel = true;
    WaitForCompletion();
}

bool CInetFile::Start() {
    ++m_startCount;
    WaitForCompletion();
    m_cancel = false;
    return CThreadBase::Start();
}

std::string CInetFile::LocalPath() const {
    return m_kind == KindFile ? m_targetPath + ".tmp" : m_targetPath;
}

void CInetFile::Fail(DWORD code) {
    m_errorText = ErrorTextOf(code);
    throw new CInetFileException(code);
}

void CInetFile::Run() {
    DWORD result = CodeSuccess;
    std::unique_ptr<CInetFileSession> session;
    std::unique_ptr<CHttpConnection> connection;
    std::unique_ptr<CHttpFile> request;
    try {
        session = std::make_unique<CInetFileSession>(kAgent, kContext, INTERNET_OPEN_TYPE_PRECONFIG,
                                                     nullptr, nullptr, 0);
        result = Transfer(*session, connection, request);
    } catch (CInternetException* failure) {
        std::unique_ptr<CInternetException> owned(failure);
        result = CodeConnectionFailed;
    } catch (CInetFileException* failure) {
        std::unique_ptr<CInetFileException> owned(failure);
        result = owned->ErrorCode();
    } catch (...) {
        // Must not end the process from a worker thread (running out of memory
        // is the likely one); it fails like the transfer would.
        result = CodeConnectionFailed;
    }
    request.reset();
    connection.reset();
    if (session) {
        session->Close();
    }
    PostFinished(result);
    // From here on the owner may be destroying the job: only the completion event is touched.
    session.reset();
}

DWORD CInetFile::Transfer(CInetFileSession& session, std::unique_ptr<CHttpConnection>& connection,
                          std::unique_ptr<CHttpFile>& request) {
    m_resumedFrom = 0;
    m_progressPending = false;
    if (m_url.empty()) {
        Fail(CodeEmptyUrl);
    }
    HttpTarget target;
    if (!SplitHttpUrl(m_url, target)) {
        Fail(CodeBadUrl);
    }
    if (m_statusCallback) {
        session.EnableStatusCallback(true);
    }
    SetTimeouts(session.Handle(), m_stallTimeoutMs);

    connection = session.GetHttpConnection(target.server.c_str(), target.port);
    SetTimeouts(connection->Handle(), m_stallTimeoutMs);
    request = connection->OpenRequest("GET", target.object.c_str(), nullptr, kContext, nullptr,
                                      nullptr, INTERNET_FLAG_RELOAD);
    request->AddRequestHeaders(kRequestHeaders, HTTP_ADDREQ_FLAG_ADD_IF_NEW);
    const std::string localPath = LocalPath();
    const uint32_t kept = ResumeOffset(localPath);
    if (kept != 0) {
        const std::string range = "Range: bytes=" + std::to_string(kept) + "-\r\n";
        request->AddRequestHeaders(range.c_str(), HTTP_ADDREQ_FLAG_ADD);
    }
    request->SendRequest();
    const DWORD status = request->QueryStatusCode();
    if (kept != 0 && status == HTTP_STATUS_PARTIAL_CONTENT && RangeStart(*request) == kept) {
        m_resumedFrom = kept;
    } else if (kept != 0 && status == kStatusRangeNotSatisfiable) {
        // The server's file ends before the part kept: that part can never be completed.
        DeleteFileA(localPath.c_str());
        Fail(CodeServerFileFailed);
    } else if (status != HTTP_STATUS_OK) {
        Fail(CodeServerFileFailed);
    }
    DWORD announced = 0;
    const bool lengthAnnounced = request->QueryContentLength(announced);
    const uint64_t announcedEnd = uint64_t(m_resumedFrom) + announced;
    // A broken or hostile server may send without end: nothing beyond what was promised is
    // taken, and a manifest, whose size nobody promises, has a ceiling of its own.
    uint32_t limit = m_expectedSize != 0      ? m_expectedSize
                     : m_kind == KindManifest ? kMaxManifestSize
                                              : UINT32_MAX;
    if (lengthAnnounced) {
        limit = static_cast<uint32_t>(std::min<uint64_t>(limit, announcedEnd));
    }

    CFileHandle file(CreateFileA(localPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 m_resumedFrom != 0 ? OPEN_EXISTING : CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = m_resumedFrom;
    if (!file.IsValid() || !SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) ||
        !SetEndOfFile(file.Get())) {
        Fail(CodeLocalFileFailed);
    }

    // The response is handled in blocks: each is counted and announced, then the cancel flag is
    // looked at. The blocks taken from a chunk go to the file in one write, before the next
    // chunk is read. One byte more than the limit is asked for, to see a body that goes on.
    m_received = m_resumedFrom;
    ChunkReader reader(*request);
    bool cancelled = false;
    const char* chunk = nullptr;
    while (!cancelled) {
        const uint32_t allowed = limit - m_received;
        const UINT size = reader.Next(chunk, allowed < kMaxChunkSize ? allowed + 1 : kMaxChunkSize);
        if (size == 0) {
            break;
        }
        if (size > allowed) {
            // What came so far is no part of any file the run wants.
            file.Close();
            DeleteFileA(localPath.c_str());
            Fail(CodeServerFileFailed);
        }
        UINT taken = 0;
        while (taken < size && !cancelled) {
            const UINT block = std::min(kBlockSize, size - taken);
            taken += block;
            m_received += block;
            PostProgress(block);
            cancelled = m_cancel;
        }
        // A full disk is a local file failure like a file that cannot be created.
        if (!WriteAll(file.Get(), chunk, taken)) {
            Fail(CodeLocalFileFailed);
        }
    }
    file.Close();
    if (cancelled) {
        return CodeCancelled;
    }

    // A connection that ends early looks like the end of the body to the reader.
    const uint32_t received = m_received;
    if ((m_expectedSize != 0 && received != m_expectedSize) ||
        (lengthAnnounced && received != announcedEnd)) {
        Fail(CodeServerFileFailed);
    }
    return CodeSuccess;
}

uint32_t CInetFile::ResumeOffset(const std::string& localPath) const {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (m_kind != KindFile || !m_resumable ||
        !GetFileAttributesExA(localPath.c_str(), GetFileExInfoStandard, &data) ||
        data.nFileSizeHigh != 0) {
        return 0;
    }
    // A part as long as the whole file, or longer, is no part of it: the file comes anew.
    return m_expectedSize == 0 || data.nFileSizeLow < m_expectedSize ? data.nFileSizeLow : 0;
}

void CInetFile::PostProgress(UINT block) {
    // One message in flight at most: the window reads the count when it gets to the message, so
    // nothing is lost, and a fast transfer does not flood a window that is slower than it.
    if (m_notifyWindow != nullptr && !m_progressPending.exchange(true) &&
        !PostMessageA(m_notifyWindow, WM_INETFILE_PROGRESS, MAKEWPARAM(block, m_kind),
                      reinterpret_cast<LPARAM>(this))) {
        m_progressPending = false;
    }
}

void CInetFile::PostFinished(DWORD code) {
    if (m_notifyWindow == nullptr) {
        return;
    }
    const WPARAM wParam = MAKEWPARAM(LOWORD(code), LOWORD(m_kind));
    // The owner waits for this message to go on with its run, so a full queue is waited out;
    // only a window that is gone, or a job that is being destroyed, gives it up.
    while (!PostMessageA(m_notifyWindow, WM_INETFILE_FINISHED, wParam,
                         reinterpret_cast<LPARAM>(this))) {
        if (!IsWindow(m_notifyWindow) || m_destroying) {
            break;
        }
        Sleep(10);
    }
}
