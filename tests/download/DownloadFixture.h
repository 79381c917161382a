// Shared set-up of the download tests: one local HTTP server for the whole suite, a folder of
// served files, a folder for downloaded files and a message-only window that collects the
// messages of download jobs.
#pragma once

#include "InetFile.h"
#include "TestHttpServer.h"
#include "UiProbe.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

struct JobMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A message-only window that records the posted job messages it is sent.
class NotifyWindow {
  public:
    NotifyWindow();
    ~NotifyWindow();
    NotifyWindow(const NotifyWindow&) = delete;
    NotifyWindow& operator=(const NotifyWindow&) = delete;

    HWND Handle() const { return m_window; }
    // Collects messages until a finished message arrives or timeoutMs pass; true when one came.
    bool WaitForFinished(DWORD timeoutMs = 30000);
    // Collects messages until a progress message arrives or timeoutMs pass.
    bool WaitForProgress(DWORD timeoutMs = 30000);
    // Collects what is already queued.
    void Drain();

    const std::vector<JobMessage>& Messages() const { return m_messages; }
    std::vector<JobMessage> Progress() const;
    std::vector<JobMessage> Finished() const;
    // Sum of the block sizes of all progress messages.
    uint32_t ProgressBytes() const;

  private:
    bool WaitFor(UINT message, DWORD timeoutMs);
    bool Collect(UINT wanted);

    HWND m_window = nullptr;
    std::vector<JobMessage> m_messages;
};

class DownloadTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    // A job with the fields a creator fills in.
    std::unique_ptr<CInetFile> MakeJob(const std::string& url, const std::string& targetName,
                                       int32_t kind, HWND window);
    // Runs the job to its end and returns the result code of its finished message, or -1.
    int RunJob(CInetFile& job, NotifyWindow& window);

    static std::string ServedPath(const std::string& name); // Wine path in the served folder
    static std::string OutPath(const std::string& name);    // Wine path in the output folder

    static std::unique_ptr<TestHttpServer> s_server;
    static std::string s_small; // 5000 bytes, served as small.bin and dir/small.bin
    static std::string s_big;   // 200 KiB, served as big.bin
    NotifyWindow m_window;
};
