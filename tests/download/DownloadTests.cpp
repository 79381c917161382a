// Download jobs against the local test server: files on disk, messages at the window and the
// requests the server received.
#include <winsock2.h>

#include "DownloadFixture.h"

namespace {

const char kServerFileFailed[] = "取得服务器文件失败, 请选择其他服务器进行尝试";
const char kLocalFileFailed[] = "创建本地文件失败";

// A port on which nothing listens: bound once by the system's choice, then released.
unsigned short UnusedPort() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int length = sizeof(address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    closesocket(s);
    return ntohs(address.sin_port);
}

} // namespace

TEST_F(DownloadTest, ManifestKindWritesStraightToTarget) {
    auto job = MakeJob(s_server->Url("/small.bin"), "UpdateNew.xml", CInetFile::KindManifest,
                       m_window.Handle());
    ASSERT_EQ(RunJob(*job, m_window), 0);

    std::string content;
    ASSERT_TRUE(FileExists(OutPath("UpdateNew.xml")));
    content = ReadFileBytes(OutPath("UpdateNew.xml"));
    EXPECT_EQ(content, s_small);
    EXPECT_FALSE(FileExists(OutPath("UpdateNew.xml.tmp")));
    EXPECT_EQ(job->Received(), s_small.size());
    EXPECT_EQ(job->ErrorText(), "");

    const auto finished = m_window.Finished();
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_EQ(finished[0].wParam, MAKEWPARAM(0, CInetFile::KindManifest));
    EXPECT_EQ(finished[0].lParam, reinterpret_cast<LPARAM>(job.get()));
    EXPECT_EQ(m_window.ProgressBytes(), s_small.size());
    for (const auto& progress : m_window.Progress()) {
        EXPECT_EQ(HIWORD(progress.wParam), CInetFile::KindManifest);
        EXPECT_EQ(progress.lParam, reinterpret_cast<LPARAM>(job.get()));
    }
    // The finished message comes last.
    EXPECT_EQ(m_window.Messages().back().message, WM_INETFILE_FINISHED);
}

TEST_F(DownloadTest, FileKindWritesToTmpInBlocks) {
    auto job =
        MakeJob(s_server->Url("/big.bin"), "Game.dll", CInetFile::KindFile, m_window.Handle());
    job->SetExpectedSize(static_cast<uint32_t>(s_big.size()));
    ASSERT_EQ(RunJob(*job, m_window), 0);

    std::string content;
    ASSERT_TRUE(FileExists(OutPath("Game.dll.tmp")));
    content = ReadFileBytes(OutPath("Game.dll.tmp"));
    EXPECT_TRUE(content == s_big);
    EXPECT_FALSE(FileExists(OutPath("Game.dll")));
    EXPECT_EQ(job->Received(), s_big.size());

    const auto progress = m_window.Progress();
    EXPECT_GE(progress.size(), s_big.size() / 1024);
    for (const auto& message : progress) {
        EXPECT_GT(LOWORD(message.wParam), 0);
        EXPECT_LE(LOWORD(message.wParam), 1024);
        EXPECT_EQ(HIWORD(message.wParam), CInetFile::KindFile);
    }
    EXPECT_EQ(m_window.ProgressBytes(), s_big.size());
    ASSERT_EQ(m_window.Finished().size(), 1u);
    EXPECT_EQ(m_window.Finished()[0].wParam, MAKEWPARAM(0, CInetFile::KindFile));
}

TEST_F(DownloadTest, RequestCarriesMethodPathAndHeaders) {
    auto job = MakeJob(s_server->Url("/dir/small.bin?v=3"), "small.bin", CInetFile::KindFile,
                       m_window.Handle());
    ASSERT_EQ(RunJob(*job, m_window), 0);

    const auto requests = s_server->Requests();
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
}

TEST_F(DownloadTest, SecondDownloadIsNotAnsweredFromCache) {
    // The server allows an hour of caching; the job must still ask it again.
    const std::string first = MakeContent(3000, 10);
    const std::string second = MakeContent(3000, 11);
    ASSERT_TRUE(WriteFileBytes(ServedPath("changing.bin"), first));
    auto job = MakeJob(s_server->Url("/changing.bin"), "changing.bin", CInetFile::KindManifest,
                       m_window.Handle());
    ASSERT_EQ(RunJob(*job, m_window), 0);
    ASSERT_TRUE(WriteFileBytes(ServedPath("changing.bin"), second));
    ASSERT_EQ(RunJob(*job, m_window), 0);

    std::string content;
    ASSERT_TRUE(FileExists(OutPath("changing.bin")));
    content = ReadFileBytes(OutPath("changing.bin"));
    EXPECT_TRUE(content == second);
    EXPECT_EQ(s_server->Requests().size(), 2u);
    EXPECT_EQ(job->StartCount(), 2);
}

TEST_F(DownloadTest, RedirectIsFollowed) {
    auto job = MakeJob(s_server->Url("/redirect?to=/small.bin"), "moved.bin",
                       CInetFile::KindManifest, m_window.Handle());
    ASSERT_EQ(RunJob(*job, m_window), 0);
    std::string content;
    ASSERT_TRUE(FileExists(OutPath("moved.bin")));
    content = ReadFileBytes(OutPath("moved.bin"));
    EXPECT_TRUE(content == s_small);
}

TEST_F(DownloadTest, BadUrlsEndBeforeAnyConnection) {
    const std::string https =
        "https://127.0.0.1:" + std::to_string(s_server->Port()) + "/small.bin";
    const struct {
        std::string url;
        int code;
        const char* text;
    } cases[] = {
        {https, 1, "URL解析错误, 请选择其他服务器进行尝试"},
        {"not a url", 1, "URL解析错误, 请选择其他服务器进行尝试"},
        {"ftp://127.0.0.1/small.bin", 1, "URL解析错误, 请选择其他服务器进行尝试"},
        {"http:///small.bin", 1, "URL解析错误, 请选择其他服务器进行尝试"},
        {"", 9, "URL不正确"},
    };
    for (const auto& bad : cases) {
        NotifyWindow window;
        auto job = MakeJob(bad.url, "odd.bin", CInetFile::KindFile, window.Handle());
        EXPECT_EQ(RunJob(*job, window), bad.code) << bad.url;
        EXPECT_EQ(job->ErrorText(), bad.text) << bad.url;
        EXPECT_EQ(window.Finished().at(0).wParam, MAKEWPARAM(bad.code, CInetFile::KindFile));
        EXPECT_TRUE(window.Progress().empty());
        EXPECT_FALSE(FileExists(OutPath("odd.bin.tmp"))) << bad.url;
    }
    EXPECT_TRUE(s_server->Requests().empty());
}

TEST_F(DownloadTest, NothingListeningEndsWithCode2) {
    const std::string url = "http://127.0.0.1:" + std::to_string(UnusedPort()) + "/small.bin";
    auto job = MakeJob(url, "refused.bin", CInetFile::KindFile, m_window.Handle());
    EXPECT_EQ(RunJob(*job, m_window), 2);
    // Framework failures leave the error text as it was.
    EXPECT_EQ(job->ErrorText(), "");
    EXPECT_FALSE(FileExists(OutPath("refused.bin.tmp")));
}

TEST_F(DownloadTest, NotFoundEndsWithCode6AndNoLocalFile) {
    for (const std::string path : {"/status/404", "/missing.bin", "/status/500"}) {
        NotifyWindow window;
        auto job = MakeJob(s_server->Url(path), "absent.bin", CInetFile::KindFile, window.Handle());
        EXPECT_EQ(RunJob(*job, window), 6) << path;
        EXPECT_EQ(job->ErrorText(), kServerFileFailed);
        EXPECT_FALSE(FileExists(OutPath("absent.bin.tmp"))) << path;
        EXPECT_TRUE(window.Progress().empty());
    }
}

TEST_F(DownloadTest, TargetInMissingFolderEndsWithCode7) {
    auto job = MakeJob(s_server->Url("/small.bin"), "no-such-folder\\file.bin", CInetFile::KindFile,
                       m_window.Handle());
    EXPECT_EQ(RunJob(*job, m_window), 7);
    EXPECT_EQ(job->ErrorText(), kLocalFileFailed);
}

TEST_F(DownloadTest, FullDiskEndsWithCode7) {
    // Writing to /dev/full fails the way a full disk does.
    auto job = MakeJob(s_server->Url("/small.bin"), "", CInetFile::KindManifest, m_window.Handle());
    job->SetTargetPath("Z:\\dev\\full");
    EXPECT_EQ(RunJob(*job, m_window), 7);
    EXPECT_EQ(job->ErrorText(), kLocalFileFailed);
    EXPECT_EQ(m_window.Finished().size(), 1u);
}

TEST_F(DownloadTest, ShortBodiesEndWithCode6) {
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
    ASSERT_TRUE(FileExists(OutPath("cut.dll.tmp")));
    const std::string partial = ReadFileBytes(OutPath("cut.dll.tmp"));
    EXPECT_EQ(partial.size(), large->Received());
    EXPECT_TRUE(partial == s_big.substr(0, partial.size()));

    // Complete as served, but not the size the manifest promised.
    NotifyWindow other;
    auto unexpected =
        MakeJob(s_server->Url("/small.bin"), "short.bin", CInetFile::KindFile, other.Handle());
    unexpected->SetExpectedSize(static_cast<uint32_t>(s_small.size() + 1));
    EXPECT_EQ(RunJob(*unexpected, other), 6);
    EXPECT_EQ(unexpected->Received(), s_small.size());
}

TEST_F(DownloadTest, CancelStopsAfterAtMostOneMoreBlock) {
    // 20 ms per KiB: the whole file would take about four seconds.
    auto job = MakeJob(s_server->Url("/slow/20/big.bin"), "slow.bin", CInetFile::KindFile,
                       m_window.Handle());
    ASSERT_TRUE(job->Start());
    ASSERT_TRUE(m_window.WaitForProgress());
    job->Cancel();
    // Read after the flag is set: at most the block in hand may follow.
    const uint32_t receivedAtCancel = job->Received();
    ASSERT_TRUE(m_window.WaitForFinished());

    EXPECT_EQ(LOWORD(m_window.Finished().at(0).wParam), 8);
    EXPECT_LE(job->Received(), receivedAtCancel + 1024);
    EXPECT_LT(job->Received(), s_big.size());
    std::string partial;
    ASSERT_TRUE(FileExists(OutPath("slow.bin.tmp")));
    partial = ReadFileBytes(OutPath("slow.bin.tmp"));
    EXPECT_EQ(partial.size(), job->Received());
    EXPECT_TRUE(partial == s_big.substr(0, partial.size()));
}

TEST_F(DownloadTest, DestroyingRunningJobWaitsForItsWorker) {
    auto job = MakeJob(s_server->Url("/slow/20/big.bin"), "destroyed.bin", CInetFile::KindFile,
                       m_window.Handle());
    ASSERT_TRUE(job->Start());
    ASSERT_TRUE(m_window.WaitForProgress());
    const LPARAM address = reinterpret_cast<LPARAM>(job.get());
    job.reset();

    // The worker had posted its finished message before the destructor returned.
    m_window.Drain();
    const auto finished = m_window.Finished();
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
    m_window.Drain();

    const auto finished = m_window.Finished();
    ASSERT_EQ(finished.size(), 2u);
    EXPECT_EQ(LOWORD(finished[0].wParam), 0);
    EXPECT_EQ(LOWORD(finished[1].wParam), 0);
    // The first run had posted its finished message before the second one wrote anything.
    uint32_t bytesBeforeFirstFinished = 0;
    for (const auto& message : m_window.Messages()) {
        if (message.message == WM_INETFILE_FINISHED) {
            break;
        }
        bytesBeforeFirstFinished += LOWORD(message.wParam);
    }
    EXPECT_EQ(bytesBeforeFirstFinished, s_small.size());
    EXPECT_EQ(m_window.ProgressBytes(), 2 * s_small.size());
    EXPECT_EQ(s_server->Requests().size(), 2u);
}

TEST_F(DownloadTest, JobWithoutWindowReportsThroughErrorText) {
    auto job = MakeJob(s_server->Url("/status/404"), "quiet.bin", CInetFile::KindFile, nullptr);
    ASSERT_TRUE(job->Start());
    job->WaitForCompletion();
    EXPECT_EQ(job->ErrorText(), kServerFileFailed);

    job->SetUrl(s_server->Url("/small.bin"));
    ASSERT_TRUE(job->Start());
    job->WaitForCompletion();
    std::string content;
    ASSERT_TRUE(FileExists(OutPath("quiet.bin.tmp")));
    content = ReadFileBytes(OutPath("quiet.bin.tmp"));
    EXPECT_TRUE(content == s_small);
    m_window.Drain();
    EXPECT_TRUE(m_window.Messages().empty());
}

TEST_F(DownloadTest, DestroyedWindowDoesNotHoldUpTheWorker) {
    NotifyWindow window;
    auto job = MakeJob(s_server->Url("/slow/5/small.bin"), "orphan.bin", CInetFile::KindFile,
                       window.Handle());
    DestroyWindow(window.Handle());
    ASSERT_TRUE(job->Start());
    job->WaitForCompletion();
    std::string content;
    ASSERT_TRUE(FileExists(OutPath("orphan.bin.tmp")));
    content = ReadFileBytes(OutPath("orphan.bin.tmp"));
    EXPECT_TRUE(content == s_small);
}
