// One download job: fetches one HTTP URL into one local file on a worker thread and reports
// progress and the result to a window with posted messages.
#pragma once

#include "InternetSession.h"
#include "ThreadBase.h"

#include <atomic>
#include <cstdint>
#include <string>

// wParam: high word the job's kind, low word the bytes of the block just written.
// lParam: the job (still owned by its owner). At most one is in flight per job: the window calls
// ProgressHandled before it reads Received, and the job posts again only after that.
constexpr UINT WM_INETFILE_PROGRESS = WM_USER + 100;
// wParam: high word the job's kind, low word the result code (0 for success). lParam: the job.
constexpr UINT WM_INETFILE_FINISHED = WM_USER + 101;

class CInetFile : public CThreadBase {
  public:
    enum JobKind : int32_t { KindManifest = 0, KindFile = 1 };

    // Result codes of a run.
    enum Code : DWORD {
        CodeSuccess = 0,
        CodeBadUrl = 1,
        CodeConnectionFailed = 2,
        CodeRedirectFailed = 3,
        CodeBadRedirectUrl = 4,
        CodeNotHttp = 5,
        CodeServerFileFailed = 6,
        CodeLocalFileFailed = 7,
        CodeCancelled = 8,
        CodeEmptyUrl = 9,
    };

    // The session of a job: status notifications are switched on but not acted upon.
    class CInetFileSession : public CInternetSession {
      public:
        using CInternetSession::CInternetSession;

      protected:
        void OnStatusCallback(DWORD_PTR context, DWORD status, void* statusInformation,
                              DWORD statusInformationLength) override;
    };

    class CInetFileException : public CFrameworkException {
      public:
        explicit CInetFileException(DWORD errorCode) : m_errorCode(errorCode) {}
        DWORD ErrorCode() const { return m_errorCode; }

      private:
        DWORD m_errorCode;
    };

    // A manifest is read up to this size when no size is expected; no real manifest comes near.
    static constexpr uint32_t kMaxManifestSize = 64u * 1024 * 1024;
    // A transfer that receives nothing for this long (connecting, sending or reading) fails.
    static constexpr DWORD kDefaultStallTimeoutMs = 30000;

    CInetFile() = default;
    ~CInetFile() override;

    // Waits for an earlier run to end, then starts a new one; true when its thread runs.
    bool Start();
    // Asks the running transfer to stop after the current block.
    void Cancel() { m_cancel = true; }

    void SetNotifyWindow(HWND window) { m_notifyWindow = window; }
    void SetTargetPath(const std::string& path) { m_targetPath = path; }
    void SetFileName(const std::string& name) { m_fileName = name; }
    void SetUrl(const std::string& url) { m_url = url; }
    void SetStatusCallback(bool enable) { m_statusCallback = enable; }
    void SetKind(int32_t kind) { m_kind = kind; }
    void SetExpectedSize(uint32_t size) { m_expectedSize = size; }
    void SetRegister(bool enable) { m_register = enable; }
    void SetStallTimeout(DWORD milliseconds) { m_stallTimeoutMs = milliseconds; }
    // A file download whose result will be checked against a digest may go on from the ".tmp"
    // an earlier run left behind ("Range: bytes=N-").
    void SetResumable(bool enable) { m_resumable = enable; }
    // The window has taken the progress message in flight; the next block may post another.
    void ProgressHandled() { m_progressPending = false; }

    HWND NotifyWindow() const { return m_notifyWindow; }
    const std::string& TargetPath() const { return m_targetPath; }
    const std::string& FileName() const { return m_fileName; }
    const std::string& Url() const { return m_url; }
    int32_t Kind() const { return m_kind; }
    bool Cancelled() const { return m_cancel; }
    int32_t StartCount() const { return m_startCount; }
    // Bytes of the file so far, a part kept from an earlier run included.
    uint32_t Received() const { return m_received; }
    // Size of the earlier part the last run went on from; 0 when it started from the beginning.
    uint32_t ResumedFrom() const { return m_resumedFrom; }
    uint32_t ExpectedSize() const { return m_expectedSize; }
    bool Register() const { return m_register; }
    // Text of the last failure; read it once the finished message has arrived.
    const std::string& ErrorText() const { return m_errorText; }
    // The file the data goes to: the target path, plus ".tmp" for a file download.
    std::string LocalPath() const;

  protected:
    void Run() override;

  private:
    [[noreturn]] void Fail(DWORD code);
    DWORD Transfer(CInetFileSession& session, std::unique_ptr<CHttpConnection>& connection,
                   std::unique_ptr<CHttpFile>& request);
    uint32_t ResumeOffset(const std::string& localPath) const;
    void PostProgress(UINT block);
    void PostFinished(DWORD code);

    std::string m_errorText;
    HWND m_notifyWindow = nullptr;
    std::string m_targetPath;
    std::string m_fileName;
    std::string m_url;
    bool m_statusCallback = false;
    int32_t m_kind = KindFile;
    std::atomic<bool> m_cancel{false};
    // Set while the job is being destroyed: nobody waits for the finished message any more.
    std::atomic<bool> m_destroying{false};
    int32_t m_startCount = 0;
    std::atomic<uint32_t> m_received{0};
    uint32_t m_expectedSize = 0;
    bool m_register = false;
    DWORD m_stallTimeoutMs = kDefaultStallTimeoutMs;
    bool m_resumable = false;
    uint32_t m_resumedFrom = 0;
    std::atomic<bool> m_progressPending{false};
};
