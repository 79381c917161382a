// Download jobs against the local test server: files on disk, messages at the window and the
// requests the server received.
#include "InetFile.h"
#include "TestHttpServer.h"
#include "UiProbe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

const char kServerFileFailed[] = "取得服务器文件失败, 请选择其他服务器进行尝试";
const char kLocalFileFailed[] = "创建本地文件失败";
const std::string kServedLinux = std::string(TEST_BINARY_DIR) + "/served";
const std::string kOutLinux = std::string(TEST_BINARY_DIR) + "/out";

// A message-only window that records the job messages posted to it.
class NotifyWindow {
  public:
    NotifyWindow() {
        m_window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    }
    ~NotifyWindow() { DestroyWindow(m_window); }
    NotifyWindow(const NotifyWindow&) = delete;
    NotifyWindow& operator=(const NotifyWindow&) = delete;

    HWND Handle() const { return m_window; }

    // Collects messages until one of kind `wanted` arrives or timeoutMs pass; wanted 0 only
    // collects what is already queued. Progress of `job` is taken as the updater window takes
    // it, once everything queued has been collected.
    bool WaitFor(UINT wanted, DWORD timeoutMs = 30000) {
        const DWORD start = GetTickCount();
        for (;;) {
            bool seen = false;
            int progressQueued = 0;
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.hwnd == m_window &&
                    (msg.message == WM_INETFILE_PROGRESS || msg.message == WM_INETFILE_FINISHED)) {
                    messages.push_back(msg);
                    seen = seen || msg.message == wanted;
                    progressQueued += msg.message == WM_INETFILE_PROGRESS;
                } else {
                    DispatchMessageA(&msg);
                }
            }
            mostProgressQueued = std::max(mostProgressQueued, progressQueued);
            if (job != nullptr && progressQueued != 0)
                job->ProgressHandled();
            const DWORD elapsed = GetTickCount() - start;
            if (seen || wanted == 0 || elapsed >= timeoutMs)
                return seen;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_POSTMESSAGE);
        }
    }

    std::vector<MSG> Of(UINT message) const {
        std::vector<MSG> result;
        for (const MSG& m : messages)
            if (m.message == message)
                result.push_back(m);
        return result;
    }

    std::vector<MSG> messages;
    CInetFile* job = nullptr;
    int mostProgressQueued = 0;

  private:
    HWND m_window = nullptr;
};

class DownloadTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        CreateDirectoryA(ToWinePath(kServedLinux).c_str(), nullptr);
        CreateDirectoryA(ToWinePath(kServedLinux + "/dir").c_str(), nullptr);
        s_small = MakeContent(5000, 1);
        s_big = MakeContent(200 * 1024, 2);
        WriteFileBytes(Served("small.bin"), s_small);
        WriteFileBytes(Served("dir\\small.bin"), s_small);
        WriteFileBytes(Served("big.bin"), s_big);
        s_server = std::make_unique<TestHttpServer>(kServedLinux);
    }
    static void TearDownTestSuite() { s_server.reset(); }
    void SetUp() override {
        ASSERT_TRUE(s_server != nullptr && s_server->Running()) << "the test server did not start";
        RemoveAll(ToWinePath(kOutLinux));
        CreateDirectoryA(ToWinePath(kOutLinux).c_str(), nullptr);
        s_server->ClearRequests();
    }

    static std::string Served(const std::string& name) {
        return ToWinePath(kServedLinux) + "\\" + name;
    }
    static std::string Out(const std::string& name) { return ToWinePath(kOutLinux) + "\\" + name; }

    // A job with the fields a creator fills in.
    static std::unique_ptr<CInetFile> MakeJob(const std::string& url, const std::string& target,
                                              int32_t kind, HWND window) {
        auto job = std::make_unique<CInetFile>();
        job->SetStatusCallback(true);
        job->SetUrl(url);
        job->SetTargetPath(Out(target));
        job->SetFileName(target);
        job->SetKind(kind);
        job->SetNotifyWindow(window);
        return job;
    }
    // Runs the job to its end; the result code of its last finished message, or -1.
    static int RunJob(CInetFile& job, NotifyWindow& window) {
        window.job = &job;
        if (!job.Start() || !window.WaitFor(WM_INETFILE_FINISHED))
            return -1;
        return LOWORD(window.Of(WM_INETFILE_FINISHED).back().wParam);
    }

    static std::unique_ptr<TestHttpServer> s_server;
    static std::string s_small; // 5000 bytes, served as small.bin and dir/small.bin
    static std::string s_big;   // 200 KiB, served as big.bin
    NotifyWindow m_window;
};

std::unique_ptr<TestHttpServer> DownloadTest::s_server;
std::string DownloadTest::s_small;
std::string DownloadTest::s_big;

TEST_F(DownloadTest, BothKindsWriteTheBodyInBlocksAndReportEveryByte) {
    // A manifest goes straight to its target, a file to "<target>.tmp".
    const struct {
        int32_t kind;
        const char* path;
        const char* written;
        const char* absent;
        const std::string& body;
    } cases[] = {
        {CInetFile::KindManifest, "/small.bin", "UpdateNew.xml", "UpdateNew.xml.tmp", s_small},
        {CInetFile::KindFile, "/big.bin", "Game.dll.tmp", "Game.dll", s_big},
    };
    for (const auto& c : cases) {
        NotifyWindow window;
        const std::string target = c.kind == CInetFile::KindFile ? "Game.dll" : "UpdateNew.xml";
        auto job = MakeJob(s_server->Url(c.path), target, c.kind, window.Handle());
        job->SetExpectedSize(static_cast<uint32_t>(c.body.size()));
        ASSERT_EQ(RunJob(*job, window), 0) << c.path;
        EXPECT_TRUE(ReadFileBytes(Out(c.written)) == c.body) << c.written;
        EXPECT_FALSE(FileExists(Out(c.absent))) << c.absent;
        EXPECT_EQ(job->Received(), c.body.size());
        EXPECT_EQ(job->ErrorText(), "");

        // One progress message in flight at a time, however fast the blocks come.
        const auto progress = window.Of(WM_INETFILE_PROGRESS);
        EXPECT_FALSE(progress.empty());
        EXPECT_EQ(window.mostProgressQueued, 1);
        for (const MSG& m : progress) {
            EXPECT_GT(LOWORD(m.wParam), 0);
            EXPECT_LE(LOWORD(m.wParam), 1024);
            EXPECT_EQ(HIWORD(m.wParam), c.kind);
            EXPECT_EQ(m.lParam, reinterpret_cast<LPARAM>(job.get()));
        }
        ASSERT_EQ(window.Of(WM_INETFILE_FINISHED).size(), 1u);
        EXPECT_EQ(window.messages.back().message, UINT(WM_INETFILE_FINISHED));
        EXPECT_EQ(window.messages.back().wParam, MAKEWPARAM(0, c.kind));
        EXPECT_EQ(window.messages.back().lParam, reinterpret_cast<LPARAM>(job.get()));
    }
}

TEST_F(DownloadTest, RequestHeadersRedirectAndNoCache) {
    auto job = MakeJob(s_server->Url("/dir/small.bin?v=3"), "small.bin", CInetFile::KindFile,
                       m_window.Handle());
    ASSERT_EQ(RunJob(*job, m_window), 0);
    auto requests = s_server->Requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& request = requests[0];
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.target, "/dir/small.bin?v=3");
    EXPECT_EQ(request.HeaderCount("Accept"), 1);
    EXPECT_EQ(request.Header("Accept"), "*/*");
    EXPECT_EQ(request.HeaderCount("User-Agent"), 1);
    EXPECT_EQ(request.Header("User-Agent").rfind("Brisco Update Client", 0), 0u)
        << request.Header("User-Agent");
    EXPECT_EQ(request.HeaderCount("If-Modified-Since"), 0);
    EXPECT_EQ(request.HeaderCount("If-None-Match"), 0);

    auto moved = MakeJob(s_server->Url("/redirect?to=/small.bin"), "moved.bin",
                         CInetFile::KindManifest, m_window.Handle());
    ASSERT_EQ(RunJob(*moved, m_window), 0);
    EXPECT_TRUE(ReadFileBytes(Out("moved.bin")) == s_small);

    // The server allows an hour of caching; a second start must still ask it again.
    s_server->ClearRequests();
    const std::string second = MakeContent(3000, 11);
    ASSERT_TRUE(WriteFileBytes(Served("changing.bin"), MakeContent(3000, 10)));
    auto changing = MakeJob(s_server->Url("/changing.bin"), "changing.bin", CInetFile::KindManifest,
                            m_window.Handle());
    ASSERT_EQ(RunJob(*changing, m_window), 0);
    ASSERT_TRUE(WriteFileBytes(Served("changing.bin"), second));
    ASSERT_EQ(RunJob(*changing, m_window), 0);
    EXPECT_TRUE(ReadFileBytes(Out("changing.bin")) == second);
    EXPECT_EQ(s_server->Requests().size(), 2u);
    EXPECT_EQ(changing->StartCount(), 2);
}

TEST_F(DownloadTest, FailuresEndWithTheirCodeTextAndNoLocalFile) {
    const std::string badUrl = "URL解析错误, 请选择其他服务器进行尝试";
    const struct {
        std::string url;
        int code;
        std::string text;
    } cases[] = {
        {"https://127.0.0.1:" + std::to_string(s_server->Port()) + "/small.bin", 1, badUrl},
        {"not a url", 1, badUrl},
        {"ftp://127.0.0.1/small.bin", 1, badUrl},
        {"http:///small.bin", 1, badUrl},
        {"", 9, "URL不正确"},
        // Framework failures (nothing listens on port 1) leave the error text as it was.
        {"http://127.0.0.1:1/small.bin", 2, ""},
        {s_server->Url("/status/404"), 6, kServerFileFailed},
        {s_server->Url("/missing.bin"), 6, kServerFileFailed},
        {s_server->Url("/status/500"), 6, kServerFileFailed},
    };
    for (const auto& bad : cases) {
        NotifyWindow window;
        auto job = MakeJob(bad.url, "odd.bin", CInetFile::KindFile, window.Handle());
        EXPECT_EQ(RunJob(*job, window), bad.code) << bad.url;
        EXPECT_EQ(job->ErrorText(), bad.text) << bad.url;
        EXPECT_EQ(window.Of(WM_INETFILE_FINISHED).size(), 1u) << bad.url;
        EXPECT_TRUE(window.Of(WM_INETFILE_PROGRESS).empty()) << bad.url;
        EXPECT_FALSE(FileExists(Out("odd.bin.tmp"))) << bad.url;
    }
    // Only the three last URLs reach the server.
    EXPECT_EQ(s_server->Requests().size(), 3u);

    // A target in a missing folder, and /dev/full failing the way a full disk does.
    for (const std::string& target :
         {Out("no-such-folder\\file.bin"), std::string("Z:\\dev\\full")}) {
        NotifyWindow window;
        auto job =
            MakeJob(s_server->Url("/small.bin"), "", CInetFile::KindManifest, window.Handle());
        job->SetTargetPath(target);
        EXPECT_EQ(RunJob(*job, window), 7) << target;
        EXPECT_EQ(job->ErrorText(), kLocalFileFailed) << target;
    }
}

TEST_F(DownloadTest, BodiesOfAnotherSizeEndWithCode6) {
    // The server announces the full length and hangs up after 3000 bytes.
    auto announced = MakeJob(s_server->Url("/truncate/3000/small.bin"), "cut.bin",
                             CInetFile::KindManifest, m_window.Handle());
    EXPECT_EQ(RunJob(*announced, m_window), 6);
    EXPECT_EQ(announced->ErrorText(), kServerFileFailed);
    EXPECT_LE(announced->Received(), 3000u);

    // Cut after many blocks: what came stays in the ".tmp" file as received.
    NotifyWindow window;
    auto large = MakeJob(s_server->Url("/truncate/150000/big.bin"), "cut.dll", CInetFile::KindFile,
                         window.Handle());
    large->SetExpectedSize(static_cast<uint32_t>(s_big.size()));
    EXPECT_EQ(RunJob(*large, window), 6);
    const std::string partial = ReadFileBytes(Out("cut.dll.tmp"));
    EXPECT_EQ(partial.size(), large->Received());
    EXPECT_TRUE(partial == s_big.substr(0, partial.size()));

    // Complete as served, but not the size the manifest promised.
    NotifyWindow other;
    auto unexpected =
        MakeJob(s_server->Url("/small.bin"), "short.bin", CInetFile::KindFile, other.Handle());
    unexpected->SetExpectedSize(static_cast<uint32_t>(s_small.size() + 1));
    EXPECT_EQ(RunJob(*unexpected, other), 6);
    EXPECT_EQ(unexpected->Received(), s_small.size());

    // A body without end, and a whole file longer than promised, stop at the promise.
    for (const char* path : {"/endless", "/small.bin"}) {
        NotifyWindow window;
        auto job = MakeJob(s_server->Url(path), "long.bin", CInetFile::KindFile, window.Handle());
        job->SetExpectedSize(3000);
        EXPECT_EQ(RunJob(*job, window), 6) << path;
        EXPECT_LE(job->Received(), 3000u) << path;
        EXPECT_FALSE(FileExists(Out("long.bin.tmp"))) << path;
    }
}

TEST_F(DownloadTest, KeptPartsAreResumedOnlyWhenThatCanWork) {
    const std::string half = s_big.substr(0, 50000);
    const struct {
        const char* path;
        bool resumable; // the entry has a digest to judge the result by
        std::string kept;
        uint32_t expected;
        const char* range; // asked for, empty for none
        int code;
        std::string after; // what the ".tmp" holds in the end
    } cases[] = {
        {"/big.bin", true, half, 0, "bytes=50000-", 0, s_big},
        {"/big.bin", false, half, 0, "", 0, s_big},
        {"/big.bin", true, s_big, uint32_t(s_big.size()), "", 0, s_big},
        // A 206 answer that does not start at the part's end.
        {"/badrange/big.bin", true, half, 0, "bytes=50000-", 6, half},
        // The server's file ends before the part kept: that part is of no use any more.
        {"/small.bin", true, s_big.substr(0, 6000), 0, "bytes=6000-", 6, ""},
    };
    for (const auto& c : cases) {
        NotifyWindow window;
        ASSERT_TRUE(WriteFileBytes(Out("part.bin.tmp"), c.kept));
        auto job = MakeJob(s_server->Url(c.path), "part.bin", CInetFile::KindFile, window.Handle());
        job->SetResumable(c.resumable);
        job->SetExpectedSize(c.expected);
        s_server->ClearRequests();
        EXPECT_EQ(RunJob(*job, window), c.code) << c.path;
        const auto requests = s_server->Requests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].Header("Range"), c.range) << c.path;
        EXPECT_TRUE(ReadFileBytes(Out("part.bin.tmp")) == c.after) << c.path;
        EXPECT_TRUE(c.code != 0 || job->Received() == s_big.size()) << c.path;
    }
}

TEST_F(DownloadTest, CancelStopsAfterAtMostOneMoreBlock) {
    // 20 ms per KiB: the whole file would take about four seconds.
    auto job = MakeJob(s_server->Url("/slow/20/big.bin"), "slow.bin", CInetFile::KindFile,
                       m_window.Handle());
    ASSERT_TRUE(job->Start());
    ASSERT_TRUE(m_window.WaitFor(WM_INETFILE_PROGRESS));
    job->Cancel();
    // Read after the flag is set: at most the block in hand may follow.
    const uint32_t receivedAtCancel = job->Received();
    ASSERT_TRUE(m_window.WaitFor(WM_INETFILE_FINISHED));

    EXPECT_EQ(LOWORD(m_window.Of(WM_INETFILE_FINISHED).at(0).wParam), 8);
    EXPECT_LE(job->Received(), receivedAtCancel + 1024);
    EXPECT_LT(job->Received(), s_big.size());
    const std::string partial = ReadFileBytes(Out("slow.bin.tmp"));
    EXPECT_EQ(partial.size(), job->Received());
    EXPECT_TRUE(partial == s_big.substr(0, partial.size()));

    // Destroying a running job waits for its worker, which posts its finished message first.
    NotifyWindow window;
    auto destroyed = MakeJob(s_server->Url("/slow/20/big.bin"), "destroyed.bin",
                             CInetFile::KindFile, window.Handle());
    ASSERT_TRUE(destroyed->Start());
    ASSERT_TRUE(window.WaitFor(WM_INETFILE_PROGRESS));
    const LPARAM address = reinterpret_cast<LPARAM>(destroyed.get());
    destroyed.reset();
    window.WaitFor(0);
    const auto finished = window.Of(WM_INETFILE_FINISHED);
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_EQ(finished[0].lParam, address);
    EXPECT_EQ(LOWORD(finished[0].wParam), 8);
}

TEST_F(DownloadTest, SecondStartWaitsForFirstRun) {
    auto job = MakeJob(s_server->Url("/slow/10/small.bin"), "twice.bin", CInetFile::KindFile,
                       m_window.Handle());
    ASSERT_TRUE(job->Start());
    ASSERT_TRUE(job->Start());
    EXPECT_EQ(job->StartCount(), 2);
    job->WaitForCompletion();
    m_window.WaitFor(0);

    // Nobody took the progress: each run posted one message, the second only after the first
    // run's finished message.
    std::vector<UINT> order;
    for (const MSG& message : m_window.messages)
        order.push_back(message.message);
    EXPECT_EQ(order, (std::vector<UINT>{WM_INETFILE_PROGRESS, WM_INETFILE_FINISHED,
                                        WM_INETFILE_PROGRESS, WM_INETFILE_FINISHED}));
    for (const MSG& finished : m_window.Of(WM_INETFILE_FINISHED))
        EXPECT_EQ(LOWORD(finished.wParam), 0);
    EXPECT_EQ(job->Received(), s_small.size());
    EXPECT_EQ(s_server->Requests().size(), 2u);
}

TEST_F(DownloadTest, JobWithoutALiveWindowStillFinishes) {
    auto job = MakeJob(s_server->Url("/status/404"), "quiet.bin", CInetFile::KindFile, nullptr);
    ASSERT_TRUE(job->Start());
    job->WaitForCompletion();
    EXPECT_EQ(job->ErrorText(), kServerFileFailed);
    job->SetUrl(s_server->Url("/small.bin"));
    ASSERT_TRUE(job->Start());
    job->WaitForCompletion();
    EXPECT_TRUE(ReadFileBytes(Out("quiet.bin.tmp")) == s_small);
    m_window.WaitFor(0);
    EXPECT_TRUE(m_window.messages.empty());

    NotifyWindow window;
    auto orphan = MakeJob(s_server->Url("/slow/5/small.bin"), "orphan.bin", CInetFile::KindFile,
                          window.Handle());
    DestroyWindow(window.Handle());
    ASSERT_TRUE(orphan->Start());
    orphan->WaitForCompletion();
    EXPECT_TRUE(ReadFileBytes(Out("orphan.bin.tmp")) == s_small);
}

} // namespace
