#include "TarnwickClientDlg.h"

#include "FileHandle.h"
#include "MainProgram.h"
#include "ManifestSignature.h"
#include "SkinBinding.h"
#include "res/resource.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <vector>

namespace {

// The progress bar runs from 0 to this.
constexpr int kProgressMaximum = 100;

// printf into a growable string.
template <class... Args> std::string Format(const char* format, Args... args) {
    int length = std::snprintf(nullptr, 0, format, args...);
    if (length <= 0)
        return std::string();
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::snprintf(text.data(), text.size(), format, args...);
    return std::string(text.data(), static_cast<std::size_t>(length));
}

// A signature file is a few hundred bytes; anything much larger is not one.
std::string ReadSignatureFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text;
    char buffer[4096];
    in.read(buffer, sizeof buffer);
    if (in.gcount() < static_cast<std::streamsize>(sizeof buffer))
        text.assign(buffer, static_cast<std::size_t>(in.gcount()));
    return text;
}

void CenterOnWorkArea(HWND window) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    RECT frame = {};
    if (!GetWindowRect(window, &frame) ||
        !GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    SetWindowPos(window, nullptr, (work.left + work.right - (frame.right - frame.left)) / 2,
                 (work.top + work.bottom - (frame.bottom - frame.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

CTarnwickClientDlg::CTarnwickClientDlg(const UpdaterSettings& settings, HWND parent)
    : CModalDialog(IDD_TARNWICKCLIENT_DIALOG, parent), m_settings(settings),
      m_icon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

CTarnwickClientDlg::~CTarnwickClientDlg() {
    m_files.Clear();
    m_queue.Clear();
}

void CTarnwickClientDlg::SetStatus(const char* item, const std::string& text) {
    Skin().SetDrawItemValue(GetSafeHwnd(), kSkinKindDialog, item, text.c_str());
}

void CTarnwickClientDlg::LaunchMainProgram() {
    ::LaunchMainProgram(GetSafeHwnd(), m_settings.mainProgramFile.c_str(),
                        m_settings.mainProgramArgument.c_str());
}

BOOL CTarnwickClientDlg::OnInitDialog() {
    CModalDialog::OnInitDialog();
    HWND window = GetSafeHwnd();
    if (framework::CWinAppBase* app = framework::CWinAppBase::Current())
        app->SetMainWindow(window);
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));

    HWND progress = GetDlgItem(IDC_PROGRESS_UPDATE);
    Skin().SkinWindow(window, kSkinKindDialog, "dialog.update", 0);
    Skin().SkinWindow(progress, kSkinKindProgress, "progress.update", 0);
    // Whatever the skin did with it, the bar goes where the skin's artwork expects it.
    SetWindowPos(progress, HWND_TOP, 210, 50, 340, 31, 0);
    // The skin gave the window its size; it shows in the middle of its screen.
    CenterOnWorkArea(window);
    SendMessageA(progress, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressMaximum));
    SendMessageA(progress, PBM_SETPOS, 0, 0);

    m_servers.Add("升级服务器", m_settings.updateUrl);
    SetStatus("tips.top", "正在获取升级版本信息...");
    // Each job starts as soon as the one before it has ended; the timer only
    // tries again a job that could not start.
    SetTimer(window, kRunTimerId, 100, nullptr);
    StartRun();
    StartNextJob();
    return TRUE;
}

INT_PTR CTarnwickClientDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kRunTimerId)
            StartNextJob();
        return FALSE;
    case WM_INETFILE_PROGRESS:
        OnDownloadProgress(wParam, lParam);
        return TRUE;
    case WM_INETFILE_FINISHED:
        OnDownloadFinished(wParam, lParam);
        return TRUE;
    default:
        return CModalDialog::WindowProc(message, wParam, lParam);
    }
}

void CTarnwickClientDlg::StartRun() {
    const CServerList::Server* server = m_servers.First();
    if (!server)
        return;
    m_manifestPath = Format("%s\\UpdateNew.xml", m_files.ProgramFolder().c_str());
    m_files.Clear();

    // A signed manifest is followed by its signature, the same kind of download.
    for (const char* suffix : {"", ".minisig"}) {
        if (*suffix && m_settings.publicKey.empty())
            break;
        auto job = std::make_unique<CInetFile>();
        job->SetStatusCallback(true);
        job->SetKind(CInetFile::KindManifest);
        job->SetNotifyWindow(GetSafeHwnd());
        job->SetUrl(server->second + suffix);
        job->SetTargetPath(m_manifestPath + suffix);
        job->SetExpectedSize(0);
        job->SetStallTimeout(m_settings.stallTimeoutMs);
        if (*suffix)
            m_signatureJob = job.get();
        m_queue.PushBack(std::move(job));
    }
}

void CTarnwickClientDlg::StartNextJob() {
    std::lock_guard<CCriticalSection> guard(m_runLock);
    if (m_activeDownloads != 0 || m_runEnded)
        return;
    CInetFile* job = m_queue.Front();
    if (!job || job->StartCount() != 0)
        return;
    if (job->Kind() == CInetFile::KindFile) {
        ++m_currentFile;
        SetStatus("tips.top", Format("总共 %d 个文件需要升级, 正在升级第 %d 个...", m_filesToUpdate,
                                     m_currentFile));
        SetStatus("tips.bottom", Format("正在升级文件 %s", job->FileName().c_str()));
    }
    if (job->Start())
        ++m_activeDownloads;
}

LRESULT CTarnwickClientDlg::OnDownloadProgress(WPARAM, LPARAM lParam) {
    std::lock_guard<CCriticalSection> guard(m_runLock);
    auto* job = reinterpret_cast<CInetFile*>(lParam);
    if (!job || !m_queue.Contains(job))
        return 0;
    // Taken before the count is read: bytes the job adds from now on bring another message.
    job->ProgressHandled();
    if (job->ExpectedSize() == 0)
        return 0;
    // A server may send far more than the manifest announced: the share is
    // taken in 64 bits and never goes past the bar's end.
    const uint64_t share = uint64_t{job->Received()} * kProgressMaximum / job->ExpectedSize();
    const int position = static_cast<int>(std::min<uint64_t>(share, kProgressMaximum));
    SendMessageA(GetDlgItem(IDC_PROGRESS_UPDATE), PBM_SETPOS, static_cast<WPARAM>(position), 0);
    return 0;
}

void CTarnwickClientDlg::EndRun() {
    m_runEnded = true;
    PostMessageA(GetSafeHwnd(), WM_QUIT, 0, 0);
}

bool CTarnwickClientDlg::LoadManifest() {
    if (m_settings.publicKey.empty())
        return m_files.Load(m_manifestPath.c_str());
    // The bytes checked are the bytes read: nobody may write the file in between.
    const std::string signaturePath = m_manifestPath + ".minisig";
    CFileView manifest;
    const bool loaded =
        manifest.Open(m_manifestPath.c_str()) &&
        VerifyManifestSignature(m_settings.publicKey, ReadSignatureFile(signaturePath),
                                manifest.Data(), manifest.Size()) &&
        m_files.Load(manifest.Data(), manifest.Size(), true);
    DeleteFileA(signaturePath.c_str());
    return loaded;
}

void CTarnwickClientDlg::ManifestFailed() {
    DeleteFileA(m_manifestPath.c_str());
    DeleteFileA((m_manifestPath + ".minisig").c_str());
    MessageBoxA(GetSafeHwnd(), "获取更新文件失败", "系统提示", MB_ICONERROR);
    LaunchMainProgram();
    EndRun();
}

void CTarnwickClientDlg::OnManifestDownloaded() {
    SetStatus("tips.top", "获取升级版本信息成功");
    if (!LoadManifest()) {
        // An unreadable, unsigned or rejected manifest ends the run as a failed
        // download does: the user is never left waiting for nothing.
        ManifestFailed();
        return;
    }
    m_filesToUpdate = m_files.FilterNeedsUpdate();
    m_totalSize = m_files.TotalSize();
    if (m_filesToUpdate == 0) {
        SetStatus("tips.top", "您当前的版本是最新版本");
        LaunchMainProgram();
        EndRun();
    } else {
        SetStatus("tips.top", Format("总共 %d 个文件需要升级, 总大小: %u KB", m_filesToUpdate,
                                     static_cast<unsigned>(m_totalSize / 1024u)));
    }
    while (std::unique_ptr<CUpdateFileInfo> record = m_files.PopFront()) {
        auto file = std::make_unique<CInetFile>();
        file->SetStatusCallback(true);
        file->SetKind(CInetFile::KindFile);
        file->SetNotifyWindow(GetSafeHwnd());
        file->SetUrl(record->url);
        file->SetTargetPath(record->targetPath);
        file->SetFileName(record->fileName);
        file->SetRegister(record->registerServer);
        file->SetExpectedSize(record->ExpectedSize());
        file->SetStallTimeout(m_settings.stallTimeoutMs);
        file->SetResumable(record->HasDigest());
        m_expectedDigests[file.get()] = {record->hashCode, record->sha256};
        m_queue.PushBack(std::move(file));
    }
    DeleteFileA(m_manifestPath.c_str());
}

bool CTarnwickClientDlg::DownloadMatches(CInetFile& job) {
    const std::string downloaded = job.TargetPath() + ".tmp";
    const auto& expected = m_expectedDigests[&job];
    if (CUpdateFileList::HasDigest(downloaded.c_str(), expected.first, expected.second))
        return true;
    DeleteFileA(downloaded.c_str());
    return false;
}

void CTarnwickClientDlg::InstallFinishedFile(CInetFile& job) {
    const bool present = CFileHandle::OpenForReading(job.TargetPath().c_str()).IsValid();
    if (present && lstrcmpiA(job.FileName().c_str(), "Tarnwick.exe") == 0) {
        // The running program cannot be replaced here; the copy stays as ".tmp".
    } else if ((job.Register() && !m_journal.Add(job.TargetPath())) ||
               (!InstallDownloadedFile(job) && present)) {
        // A file to register is noted before it takes its place, so that an updater ended
        // before regsvr32 has run leaves the registration to its next start: without the note,
        // the file stays out like one that cannot be replaced.
        MessageBoxA(GetSafeHwnd(), Format("删除文件失败 [%s]", job.FileName().c_str()).c_str(),
                    "升级提示", MB_ICONWARNING);
    }
}

bool CTarnwickClientDlg::InstallDownloadedFile(CInetFile& job) {
    const std::string& target = job.TargetPath();
    const std::string downloaded = target + ".tmp";
    // One step, so that the old file stays whenever the new one cannot take its place.
    if (!MoveFileExA(downloaded.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        if (job.Register())
            m_journal.Remove(target);
        return false;
    }
    if (job.Register() && RegisterServer(target))
        m_journal.Remove(target);
    return true;
}

LRESULT CTarnwickClientDlg::OnDownloadFinished(WPARAM wParam, LPARAM lParam) {
    const int kind = HIWORD(wParam);
    DWORD code = LOWORD(wParam);
    auto* job = reinterpret_cast<CInetFile*>(lParam);
    std::lock_guard<CCriticalSection> guard(m_runLock);
    if (!job || !m_queue.Contains(job))
        return 0;

    if (kind == CInetFile::KindManifest) {
        if (code != 0)
            ManifestFailed();
        else if (m_settings.publicKey.empty() || job == m_signatureJob)
            OnManifestDownloaded();
        // else: the manifest waits for its signature, queued next.
        if (job == m_signatureJob)
            m_signatureJob = nullptr;
    } else if (kind == CInetFile::KindFile) {
        if (code == 0 && !DownloadMatches(*job)) {
            // An earlier run's part may be what spoilt the file: once more, whole, before the
            // entry fails. The job stays at the head of the queue and keeps running.
            if (job->ResumedFrom() != 0 && job->Start())
                return 0;
            code = CInetFile::CodeServerFileFailed;
        }
        if (code == 0)
            InstallFinishedFile(*job);
        if (code != 0) {
            const std::string reason = Format("下载文件失败 [%s], 错误代码 [%u]",
                                              job->FileName().c_str(), static_cast<unsigned>(code));
            framework::AppMessageBox(Format("可能由于网络原因，%s ", reason.c_str()).c_str(), MB_OK,
                                     GetSafeHwnd());
            EndRun();
        }
    }

    m_expectedDigests.erase(job);
    m_queue.Remove(job);
    if (m_queue.Count() == 0 && kind == CInetFile::KindFile && code == 0) {
        SetStatus("tips.top", "恭喜您升级成功！");
        Skin().SetDrawItemVisible(GetSafeHwnd(), kSkinKindDialog, "tips.bottom", FALSE);
        LaunchMainProgram();
        EndRun();
    }
    --m_activeDownloads;
    StartNextJob();
    return 0;
}
