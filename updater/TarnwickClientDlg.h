// The updater window: a small modal dialog with one progress bar, drawn by
// the skin, that runs the whole update and closes itself when it ends.
#pragma once

#include "AppFramework.h"
#include "CriticalSection.h"
#include "DownloadQueue.h"
#include "RegistrationJournal.h"
#include "ServerList.h"
#include "UpdateFileList.h"

#include <cstdint>
#include <map>
#include <string>

// What the window needs of the application: where the manifest is and which
// program to start at the end.
struct UpdaterSettings {
    std::string updateUrl;
    // The publisher's minisign public key ("RW..."); when set, the manifest must
    // come with a valid signature and whole-file digests. Empty: not signed.
    std::string publicKey;
    std::string mainProgramFile = "Dovrel.exe";
    std::string mainProgramArgument = "StartMainApp";
    // How long a transfer may receive nothing before it fails.
    DWORD stallTimeoutMs = CInetFile::kDefaultStallTimeoutMs;
};

class CTarnwickClientDlg : public framework::CModalDialog {
  public:
    explicit CTarnwickClientDlg(const UpdaterSettings& settings, HWND parent = nullptr);
    ~CTarnwickClientDlg() override;

    // Starts the main program; a failure is told in a box owned by the window.
    void LaunchMainProgram();

  protected:
    BOOL OnInitDialog() override;
    INT_PTR WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void StartRun();
    void StartNextJob();
    LRESULT OnDownloadProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnDownloadFinished(WPARAM wParam, LPARAM lParam);
    void OnManifestDownloaded();
    // Reads (and checks the signature of) the downloaded manifest into the file list.
    bool LoadManifest();
    // An unreadable or refused manifest ends the run as a failed download does.
    void ManifestFailed();
    // Whether a downloaded file is what the manifest promised; one that is not is deleted.
    bool DownloadMatches(CInetFile& job);
    void InstallFinishedFile(CInetFile& job);
    // Puts a downloaded file in place and registers it when asked (its journal line written
    // already); false when its target had to stay.
    bool InstallDownloadedFile(CInetFile& job);
    void EndRun();

    void SetStatus(const char* item, const std::string& text);

    UpdaterSettings m_settings;
    HICON m_icon;

    // Destroyed in reverse: the file list first, then the queue (which
    // cancels and waits for a running job), the servers, the lock last.
    CCriticalSection m_runLock;
    CServerList m_servers;
    CDownloadQueue m_queue;
    CUpdateFileList m_files;

    int m_filesToUpdate = 0;
    std::uint32_t m_totalSize = 0;
    int m_currentFile = 0;
    int m_activeDownloads = 0;
    // Set once the quit message is posted: no further job may start.
    bool m_runEnded = false;
    std::string m_manifestPath;
    // The download of the manifest's signature, while it is queued.
    const CInetFile* m_signatureJob = nullptr;
    // Digests each file download must have (prefix, whole file), by job.
    std::map<const CInetFile*, std::pair<std::string, std::string>> m_expectedDigests;
    CRegistrationJournal m_journal{CRegistrationJournal::DefaultPath()};
};

// Timer that drives the queue.
constexpr UINT_PTR kRunTimerId = 1000;
