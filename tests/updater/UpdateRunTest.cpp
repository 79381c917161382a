// Whole update runs in the updater window against a real local server: files
// on disk, the status lines in order, the messages, the lobby start and the
// requests the server saw.
#include "RecordingSkin.h"
#include "TarnwickApp.h"
#include "TarnwickClientDlg.h"
#include "TestHttpServer.h"
#include "UiProbe.h"
#include "UpdateFileList.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <objbase.h>
#include <tlhelp32.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sstream>

namespace {

struct ReleaseFile {
    ReleaseFile(std::string name, std::string bytes, bool registerServer = false,
                std::string urlPath = {}, std::string hashCode = {})
        : name(std::move(name)), bytes(std::move(bytes)), registerServer(registerServer),
          urlPath(std::move(urlPath)), hashCode(std::move(hashCode)) {}
    std::string name;
    std::string bytes;
    bool registerServer;
    std::string urlPath;  // served from here instead of the file itself (to make it fail or crawl)
    std::string hashCode; // published digest when it must differ from the file's own
    std::string served;   // what urlPath serves, when not a special path of the server
    bool sha256 = false;  // the whole file's digest is published too
};

// The test publisher's key as minisign printed it; the test program's resources fix it as well.
std::string PublisherKey() {
    const std::string text = ReadFileBytes("Z:" TEST_SOURCE_DIR "/keys/publisher.pub");
    const std::size_t line = text.find("\nRW") + 1;
    return text.substr(line, text.find('\n', line) - line);
}

// File contents compared without printing them.
::testing::AssertionResult HoldsBytes(const std::string& path, const std::string& expected) {
    const std::string actual = ReadFileBytes(path);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << path << " holds " << actual.size() << " bytes, not the expected " << expected.size();
}

// The positions the updater gives its progress bar, in order, seen by a
// procedure put in front of the bar's own.
WNDPROC g_barProc = nullptr;
std::vector<WPARAM> g_barPositions;

LRESULT CALLBACK RecordingBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == PBM_SETPOS && g_barPositions.size() < g_barPositions.capacity())
        g_barPositions.push_back(wParam);
    return CallWindowProcA(g_barProc, bar, message, wParam, lParam);
}

// Runs beside the updater window: records its bar's positions from its start.
void RecordBarPositions() {
    g_barPositions.clear();
    g_barPositions.reserve(100000);
    // The dialog can be found before its controls exist.
    HWND bar = nullptr;
    for (int i = 0; i < 2000 && !bar; ++i, Sleep(5))
        bar = GetDlgItem(FindWindowA("#32770", "系统升级程序"), 1015);
    g_barProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(bar, GWLP_WNDPROC));
    SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingBarProc));
}

WPARAM HighestBarPosition() {
    return g_barPositions.empty() ? 0
                                  : *std::max_element(g_barPositions.begin(), g_barPositions.end());
}

class UpdateRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_release = MakeScratchFolder("release-" + name);
        m_localPath = "run " + name;
        m_local = TestProgramFolder() + "\\" + m_localPath;
        RemoveAll(m_local);
        CreateDirectoryA(m_local.c_str(), nullptr);
        DeleteFileA(LobbyLog().c_str());
        DeleteFileA(ManifestCopy().c_str());
        m_server = std::make_unique<TestHttpServer>(ToLinuxPath(m_release));
        ASSERT_TRUE(m_server->Running());
    }
    void TearDown() override {
        m_server.reset();
        CoUninitialize();
    }

    std::string Local(const std::string& name) const { return m_local + "\\" + name; }
    static std::string LobbyLog() { return TestProgramFolder() + "\\Dovrel.log"; }
    static std::string ManifestCopy() { return TestProgramFolder() + "\\UpdateNew.xml"; }
    static std::string Journal() { return TestProgramFolder() + "\\Tarnwick.journal"; }
    // The files go to the folder `localPath` below the updater's (the test's by default).
    void Publish(const std::vector<ReleaseFile>& files, const char* localPath = nullptr) {
        std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Update>\r\n";
        for (const ReleaseFile& file : files) {
            const std::string path = m_release + "\\" + file.name;
            WriteFileBytes(path, file.bytes);
            if (!file.served.empty())
                WriteFileBytes(m_release + file.urlPath, file.served);
            std::string digest = file.hashCode, sha256;
            if (digest.empty()) {
                EXPECT_TRUE(CUpdateFileList::ComputeFileHash(path.c_str(), digest));
            }
            if (file.sha256) {
                EXPECT_TRUE(CUpdateFileList::ComputeFileSha256(path.c_str(), sha256));
                sha256 = "<Sha256>" + sha256 + "</Sha256>";
            }
            xml += "<File><FileName>" + file.name + "</FileName><FileSize>" +
                   std::to_string(file.bytes.size()) + "</FileSize><HashCode>" + digest +
                   "</HashCode>" + sha256 + "<InstallDir>CURRENTDIR</InstallDir><LocalPath>" +
                   (localPath ? localPath : m_localPath) + "</LocalPath><URL>" +
                   m_server->Url(file.urlPath.empty() ? "/" + file.name : file.urlPath) +
                   "</URL><Register>" + (file.registerServer ? "YES" : "NO") +
                   "</Register></File>\r\n";
        }
        xml += "</Update>\r\n";
        WriteFileBytes(m_release + "\\UpdateNew.xml", xml);
    }

    // Runs the updater window to its end; message boxes are read and answered.
    void RunUpdater(const std::string& manifestPath = "/UpdateNew.xml",
                    const std::function<void()>& duringRun = nullptr) {
        UpdaterSettings settings;
        settings.updateUrl = m_server->Url(manifestPath);
        settings.publicKey = m_publicKey;
        settings.stallTimeoutMs = m_stallTimeoutMs;
        CMessageBoxAnswerer answerer;
        {
            CTarnwickClientDlg dialog(settings);
            std::thread helper;
            if (duringRun)
                helper = std::thread(duringRun);
            dialog.DoModal();
            if (helper.joinable())
                helper.join();
        }
        DropQuitMessages();
        Sleep(300);
        m_boxes = answerer.Seen();
    }

    bool LobbyStarted() {
        return WaitForFile(LobbyLog(), 3000) && ReadFileBytes(LobbyLog()) == "StartMainApp\r\n";
    }

    std::string m_release;
    std::string m_localPath;
    std::string m_local;
    std::unique_ptr<TestHttpServer> m_server;
    std::string m_publicKey;
    DWORD m_stallTimeoutMs = CInetFile::kDefaultStallTimeoutMs;
    // The window is skinned by Velmora.dll with the updater's skin (Tarnwick.sdb
    // beside the test, loaded once), as in Tarnwick.exe.
    static ISkinBinding* SkinnedByTheLibrary() {
        static ISkinBinding* const library = [] {
            VelmoraSkin().LoadSkin("Tarnwick.sdb", 2);
            return &VelmoraSkin();
        }();
        return library;
    }
    CRecordingSkin m_skin{SkinnedByTheLibrary()};
    std::vector<SeenMessageBox> m_boxes;
};

TEST_F(UpdateRunTest, ReplacesOutdatedAndMissingFilesThenFindsNothingToDo) {
    const ReleaseFile outdated{"outdated.dll", MakeContent(5000, 'a')};
    const ReleaseFile missing{"missing.dat", MakeContent(70000, 'm')};
    const ReleaseFile current{"current.txt", MakeContent(3000, 'c')};
    Publish({outdated, missing, current});
    WriteFileBytes(Local("outdated.dll"), MakeContent(5000, 'z'));
    WriteFileBytes(Local("current.txt"), current.bytes);
    const auto before = std::filesystem::last_write_time(Local("current.txt"));

    RunUpdater("/UpdateNew.xml", RecordBarPositions);

    EXPECT_TRUE(m_boxes.empty());
    EXPECT_TRUE(HoldsBytes(Local("outdated.dll"), outdated.bytes));
    EXPECT_TRUE(HoldsBytes(Local("missing.dat"), missing.bytes));
    EXPECT_TRUE(HoldsBytes(Local("current.txt"), current.bytes));
    EXPECT_EQ(before, std::filesystem::last_write_time(Local("current.txt")));
    EXPECT_FALSE(FileExists(Local("outdated.dll.tmp")));
    EXPECT_FALSE(FileExists(Local("missing.dat.tmp")));
    EXPECT_FALSE(FileExists(ManifestCopy()));
    EXPECT_TRUE(LobbyStarted());

    const std::vector<std::string> expected = {
        "Value tips.top 正在获取升级版本信息...",
        "Value tips.top 获取升级版本信息成功",
        "Value tips.top 总共 2 个文件需要升级, 总大小: 73 KB",
        "Value tips.top 总共 2 个文件需要升级, 正在升级第 1 个...",
        "Value tips.bottom 正在升级文件 outdated.dll",
        "Value tips.top 总共 2 个文件需要升级, 正在升级第 2 个...",
        "Value tips.bottom 正在升级文件 missing.dat",
        "Value tips.top 恭喜您升级成功！",
        "Visible tips.bottom 0",
    };
    EXPECT_EQ(expected, m_skin.Texts());
    // With one progress message in flight the bar still ends each file full.
    ASSERT_FALSE(g_barPositions.empty());
    EXPECT_EQ(100u, g_barPositions.back());
    EXPECT_GE(std::count(g_barPositions.begin(), g_barPositions.end(), 100u), 2);

    // What the server saw: the manifest first, then each file once.
    const auto requests = m_server->Requests();
    ASSERT_EQ(3u, requests.size());
    EXPECT_EQ("/UpdateNew.xml", requests[0].target);
    EXPECT_EQ("/outdated.dll", requests[1].target);
    EXPECT_EQ("/missing.dat", requests[2].target);

    // Run again: everything is current now, so only the lobby starts.
    DeleteFileA(LobbyLog().c_str());
    m_skin.calls.clear();
    m_server->ClearRequests();
    RunUpdater();
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ((std::vector<std::string>{"Value tips.top 正在获取升级版本信息...",
                                        "Value tips.top 获取升级版本信息成功",
                                        "Value tips.top 您当前的版本是最新版本"}),
              m_skin.Texts());
    EXPECT_TRUE(LobbyStarted());
    EXPECT_FALSE(FileExists(ManifestCopy()));
    EXPECT_EQ(1u, m_server->Requests().size());
}

// A manifest that cannot be had or read is told and the lobby starts; a download that fails
// (missing, another digest or tail, endless, longer than promised, stalled) is told with its
// code, keeps the old file and starts nothing; a slow transfer that never stalls for as long
// as the time-out succeeds. Every run ends soon.
TEST_F(UpdateRunTest, FailedManifestsAndDownloadsKeepTheOldFiles) {
    m_stallTimeoutMs = 1000;
    const std::string bytes = MakeContent(6000, 'a');
    ReleaseFile tail{"a.bin", MakeContent(3000, 'l'), false, "/tampered.bin"};
    tail.served = tail.bytes.substr(0, 2560) + MakeContent(440, 'x');
    tail.sha256 = true;
    const auto file = [&bytes](const char* urlPath, const char* hashCode = "") {
        return ReleaseFile{"a.bin", bytes, false, urlPath, hashCode};
    };
    const std::string failed = "可能由于网络原因，下载文件失败 [a.bin], 错误代码 ";
    const std::string noManifest = "获取更新文件失败";
    const struct {
        const char* manifest;
        std::vector<ReleaseFile> files;
        std::string box; // empty: the run succeeds
        bool partGone;   // no part of a.bin is left
    } cases[] = {
        {"/status/404", {file("")}, noManifest, true},
        {"/broken.xml", {file("")}, noManifest, true},
        {"/endless", {file("")}, noManifest, true},
        {"/UpdateNew.xml",
         {{"first.bin", MakeContent(2000, '1')}, file("/status/404")},
         failed + "[6] ",
         true},
        {"/UpdateNew.xml", {file("", "0123456789abcdef0123456789abcdef")}, failed + "[6] ", true},
        {"/UpdateNew.xml", {tail}, failed + "[6] ", true},
        {"/UpdateNew.xml", {file("/endless")}, failed + "[6] ", true},
        // A whole file, announced as such, 100 000 times as long as the manifest said.
        {"/UpdateNew.xml",
         {{"a.bin", MakeContent(10, 's'), false, "/flood.big"}},
         failed + "[6] ",
         true},
        {"/UpdateNew.xml", {file("/stall/100/a.bin")}, failed + "[2] ", false},
        // 1 KiB every 200 ms: slower in all than the time-out, but never silent for as long.
        {"/UpdateNew.xml", {file("/slow/200/a.bin")}, "", true},
    };
    WriteFileBytes(m_release + "\\flood.big", MakeContent(1000000, 'f'));
    WriteFileBytes(m_release + "\\broken.xml", "<Update><File>");
    for (const auto& c : cases) {
        const std::string what = c.manifest + c.files.back().urlPath;
        Publish(c.files);
        WriteFileBytes(Local("a.bin"), "old a");
        DeleteFileA(Local("a.bin.tmp").c_str());
        DeleteFileA(LobbyLog().c_str());
        m_skin.calls.clear();
        const DWORD start = GetTickCount();
        RunUpdater(c.manifest, RecordBarPositions);
        EXPECT_LT(GetTickCount() - start, 10000u) << what;
        EXPECT_LE(HighestBarPosition(), 100u);
        ASSERT_EQ(c.box.empty() ? 0u : 1u, m_boxes.size()) << what;
        const bool download = !c.box.empty() && c.box != noManifest;
        if (!c.box.empty()) {
            EXPECT_EQ(c.box, m_boxes[0].text) << what;
            EXPECT_EQ(download ? "update_run_tests" : "系统提示", m_boxes[0].caption);
            EXPECT_EQ(download ? HICON() : LoadIcon(nullptr, IDI_ERROR), m_boxes[0].icon);
            EXPECT_TRUE(m_boxes[0].hadOwner);
        }
        EXPECT_TRUE(HoldsBytes(Local("a.bin"), c.box.empty() ? bytes : "old a")) << what;
        if (c.partGone) {
            EXPECT_FALSE(FileExists(Local("a.bin.tmp"))) << what;
        }
        EXPECT_FALSE(FileExists(ManifestCopy())) << what;
        EXPECT_EQ(!download, download ? WaitForFile(LobbyLog(), 1000) : LobbyStarted()) << what;
        EXPECT_EQ(c.box.empty(), std::count(m_skin.calls.begin(), m_skin.calls.end(),
                                            "Value tips.top 恭喜您升级成功！") == 1)
            << what;
    }
    EXPECT_TRUE(HoldsBytes(Local("first.bin"), MakeContent(2000, '1')));
}

TEST_F(UpdateRunTest, CutDownloadsGoOnFromTheirPartInTheNextRun) {
    const std::string bytes = MakeContent(40000, 'r');
    const struct {
        const char* secondPath;
        bool spoilPart;
        std::vector<std::string> ranges; // asked for in the second run, in order
        WPARAM firstPosition;            // the bar's first move in the second run, at least
    } cases[] = {
        {"/r.bin", false, {"bytes=20000-"}, 50},
        // The server ignores the range and sends the whole file.
        {"/norange/r.bin", false, {"bytes=20000-"}, 0},
        // The part kept is not of this file: the resumed file fails its digest and comes whole.
        {"/r.bin", true, {"bytes=20000-", ""}, 0},
    };
    for (const auto& c : cases) {
        DeleteFileA(Local("r.bin").c_str());
        Publish({{"r.bin", bytes, false, "/truncate/20000/r.bin"}});
        RunUpdater();
        ASSERT_EQ(1u, m_boxes.size());
        ASSERT_EQ(20000u, ReadFileBytes(Local("r.bin.tmp")).size());
        if (c.spoilPart)
            WriteFileBytes(Local("r.bin.tmp"), MakeContent(20000, 's'));

        Publish({{"r.bin", bytes, false, c.secondPath}});
        m_server->ClearRequests();
        RunUpdater("/UpdateNew.xml", RecordBarPositions);
        EXPECT_TRUE(m_boxes.empty()) << c.secondPath;
        EXPECT_TRUE(HoldsBytes(Local("r.bin"), bytes));
        EXPECT_FALSE(FileExists(Local("r.bin.tmp")));
        std::vector<std::string> ranges;
        for (const auto& request : m_server->Requests())
            if (request.target != "/UpdateNew.xml")
                ranges.push_back(request.Header("Range"));
        EXPECT_EQ(c.ranges, ranges) << c.secondPath;
        ASSERT_FALSE(g_barPositions.empty());
        // The window sets the bar to 0 when it opens, before or after the
        // recorder is in place; the download's first position comes after.
        const auto firstMove = std::find_if(g_barPositions.begin(), g_barPositions.end(),
                                            [](WPARAM position) { return position != 0; });
        ASSERT_NE(g_barPositions.end(), firstMove);
        EXPECT_GE(*firstMove, c.firstPosition);
        EXPECT_EQ(100u, g_barPositions.back());
    }
}

TEST_F(UpdateRunTest, OwnExecutableAndFilesInUseAreLeftBesideAsTmp) {
    Publish({{"Tarnwick.exe", MakeContent(3000, 't')},
             {"locked.dll", MakeContent(3000, 'l')},
             {"next.bin", MakeContent(3000, 'n')}});
    WriteFileBytes(Local("Tarnwick.exe"), "running program");
    WriteFileBytes(Local("locked.dll"), "in use");
    // Open as a program holding its own DLL would: others may read, not delete.
    HANDLE held = CreateFileA(Local("locked.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    RunUpdater();
    CloseHandle(held);
    // Only the file in use is told of; the run goes on.
    ASSERT_EQ(1u, m_boxes.size());
    EXPECT_EQ("删除文件失败 [locked.dll]", m_boxes[0].text);
    EXPECT_EQ("升级提示", m_boxes[0].caption);
    EXPECT_EQ(LoadIcon(nullptr, IDI_WARNING), m_boxes[0].icon);
    EXPECT_TRUE(HoldsBytes(Local("Tarnwick.exe"), "running program"));
    EXPECT_TRUE(HoldsBytes(Local("Tarnwick.exe.tmp"), MakeContent(3000, 't')));
    EXPECT_TRUE(HoldsBytes(Local("locked.dll"), "in use"));
    EXPECT_TRUE(HoldsBytes(Local("locked.dll.tmp"), MakeContent(3000, 'l')));
    EXPECT_TRUE(HoldsBytes(Local("next.bin"), MakeContent(3000, 'n')));
    EXPECT_EQ("Value tips.top 恭喜您升级成功！", m_skin.calls.at(m_skin.calls.size() - 2));
    EXPECT_TRUE(LobbyStarted());
}

TEST_F(UpdateRunTest, RegistersMarkedFilesEvenInFoldersWithBlanks) {
    const std::string dll = ReadFileBytes(SAMPLE_SERVER_DLL);
    ASSERT_FALSE(dll.empty());
    Publish({{"SampleServer.dll", dll, true}});
    RunUpdater();
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_TRUE(HoldsBytes(Local("SampleServer.dll"), dll));
    // regsvr32 loaded the new file from its quoted path and ran its registration, and the run
    // waited for it before it took the file off its journal.
    const std::string registered = Local("SampleServer.dll") + "\r\n";
    EXPECT_EQ(0, lstrcmpiA(registered.c_str(),
                           ReadFileBytes(Local("SampleServer.dll.registered")).c_str()));
    EXPECT_FALSE(FileExists(Journal()));

    // A journal that cannot be written keeps the new file out, as a file in use would be.
    WriteFileBytes(Local("SampleServer.dll"), "old server");
    ASSERT_TRUE(CreateDirectoryA(Journal().c_str(), nullptr));
    RunUpdater();
    RemoveDirectoryA(Journal().c_str());
    ASSERT_EQ(1u, m_boxes.size());
    EXPECT_EQ("删除文件失败 [SampleServer.dll]", m_boxes[0].text);
    EXPECT_EQ("升级提示", m_boxes[0].caption);
    EXPECT_TRUE(HoldsBytes(Local("SampleServer.dll"), "old server"));
    EXPECT_EQ(0, lstrcmpiA(registered.c_str(),
                           ReadFileBytes(Local("SampleServer.dll.registered")).c_str()));
}

TEST_F(UpdateRunTest, ClosingDuringATransferCancelsItAndKeepsThePartialFile) {
    const std::string big = MakeContent(400 * 1024, 'b');
    Publish({{"big.bin", big, false, "/slow/20/big.bin"}});
    WriteFileBytes(Local("big.bin"), "old big");
    int highest = 0;
    RunUpdater("/UpdateNew.xml", [&highest] {
        HWND window = nullptr;
        for (int i = 0; i < 200 && !window; ++i, Sleep(25))
            window = FindWindowA("#32770", "系统升级程序");
        HWND progress = GetDlgItem(window, 1015);
        EXPECT_EQ(0, SendMessageA(progress, PBM_GETRANGE, TRUE, 0));
        EXPECT_EQ(100, SendMessageA(progress, PBM_GETRANGE, FALSE, 0));
        // The bar follows the transfer; the user closes the window once it has moved.
        for (int i = 0; i < 400 && highest == 0; ++i, Sleep(25))
            highest = static_cast<int>(SendMessageA(progress, PBM_GETPOS, 0, 0));
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    EXPECT_GT(highest, 0);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_TRUE(HoldsBytes(Local("big.bin"), "old big"));
    const std::string partial = ReadFileBytes(Local("big.bin.tmp"));
    EXPECT_GT(partial.size(), 0u);
    EXPECT_LT(partial.size(), big.size());
    EXPECT_TRUE(big.substr(0, partial.size()) == partial);
    EXPECT_FALSE(WaitForFile(LobbyLog(), 1000));
}

// Signed manifests: what the publisher's key signed installs; anything else is told as an
// unreadable manifest, deletes the manifest, installs nothing and starts the lobby.
TEST_F(UpdateRunTest, SignedManifestInstallsOnlyWhatThePublishersKeySigned) {
    m_publicKey = PublisherKey();
    ReleaseFile game{"game.dll", MakeContent(5000, 'g')};
    game.sha256 = true;
    // Current by the prefix digest and the size, not by SHA-256: downloaded again.
    const std::string tail = game.bytes.substr(0, 4608) + MakeContent(392, 't');
    const std::string manifest = "'" + ToLinuxPath(m_release) + "/UpdateNew.xml'";
    const std::string keys = "'" TEST_SOURCE_DIR "/keys/";
    const std::string sign = "minisign -S -s " + keys + "publisher.key' -m " + manifest;
    const std::string signature = manifest + ".minisig";
    const struct {
        const char* what;
        std::string command;
        bool installs;
    } cases[] = {
        {"prehashed", sign, true},
        {"legacy", sign + " -l", true},
        {"lines ended by CR LF", sign + " && sed -i 's/$/\\r/' " + signature, true},
        {"made by MakeManifest", "", true},
        {"one byte changed", sign + " && sed -i 's/game.dll</game.dlm</' " + manifest, false},
        {"no signature", "true", false},
        {"another key", "minisign -S -s " + keys + "other.key' -m " + manifest, false},
        {"truncated", sign + " && truncate -s 150 " + signature, false},
        {"trusted comment changed",
         sign + " && sed -i 's/^trusted comment: .*/trusted comment: x/' " + signature, false},
        {"entry without Sha256", sign, false},
    };
    for (const auto& c : cases) {
        game.sha256 = c.what != std::string("entry without Sha256");
        RemoveAll(m_release);
        CreateDirectoryA(m_release.c_str(), nullptr);
        WriteFileBytes(Local("game.dll"), tail);
        DeleteFileA(LobbyLog().c_str());
        if (c.command.empty()) {
            // The publisher's own tool, on a release laid out as the installation is.
            CreateDirectoryA((m_release + "\\" + m_localPath).c_str(), nullptr);
            WriteFileBytes(m_release + "\\" + m_localPath + "\\game.dll", game.bytes);
            CChildProcess maker;
            ASSERT_TRUE(maker.Start("\"" MAKE_MANIFEST_EXE "\" --root \"" + m_release +
                                    "\" --base-url " + m_server->Url("/") +
                                    " --sign \"Z:" + TEST_SOURCE_DIR "/keys/publisher.key\""));
            ASSERT_TRUE(maker.WaitForExit(30000));
        } else {
            Publish({game});
            ASSERT_TRUE(RunLinuxCommand(c.command, 30000)) << c.what;
        }
        RunUpdater();
        EXPECT_TRUE(HoldsBytes(Local("game.dll"), c.installs ? game.bytes : tail)) << c.what;
        EXPECT_FALSE(FileExists(Local("game.dlm"))) << c.what;
        EXPECT_TRUE(LobbyStarted()) << c.what;
        EXPECT_FALSE(FileExists(ManifestCopy())) << c.what;
        EXPECT_FALSE(FileExists(ManifestCopy() + ".minisig")) << c.what;
        if (c.installs) {
            EXPECT_TRUE(m_boxes.empty()) << c.what;
        } else {
            ASSERT_EQ(1u, m_boxes.size()) << c.what;
            EXPECT_EQ("获取更新文件失败", m_boxes[0].text);
            EXPECT_EQ("系统提示", m_boxes[0].caption);
        }
    }
    // The signature was asked for beside the manifest.
    EXPECT_EQ("/UpdateNew.xml.minisig", m_server->Requests().at(1).target);
}

// The key fixed in the program's resources (this test program's, as a signed build's) wins
// over Platform.ini's.
TEST(PublicKeyTest, KeyFromTheResourcesWinsOverPlatformIni) {
    const std::string config = TestProgramFolder() + "\\Platform.ini";
    WriteFileBytes(config, "[Update]\r\nPublicKey=RWQotherkey\r\n");
    CTarnwickClientApp app;
    EXPECT_TRUE(app.ReadPublicKey());
    EXPECT_EQ(PublisherKey(), app.PublicKey());
    DeleteFileA(config.c_str());
}

// Ends what an updater ended from outside had started: a registration still running gets its
// time, a child left waiting for its dead creator (as Wine leaves one) does not.
void EndChildrenOf(DWORD pid) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        HANDLE child =
            entry.th32ParentProcessID != pid
                ? nullptr
                : OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (child) {
            if (WaitForSingleObject(child, 5000) == WAIT_TIMEOUT)
                TerminateProcess(child, 1);
            CloseHandle(child);
        }
    }
    CloseHandle(snapshot);
}

// Size of a file, or -1 when there is none.
long long SizeOf(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? -1 : static_cast<long long>(size);
}

} // namespace

TEST_F(UpdateRunTest, TarnwickEndedAnywhereLeavesOldOrNewFilesAndRegistersLater) {
    const std::string dll = ReadFileBytes(SAMPLE_SERVER_DLL);
    std::vector<ReleaseFile> files = {{"a.dat", MakeContent(300000, 'a')},
                                      {"PluginA.dll", dll, true},
                                      {"b.dat", MakeContent(150000, 'b')},
                                      {"PluginB.dll", dll, true},
                                      {"c.dat", MakeContent(60000, 'c')}};
    const std::string olds[] = {"old a", "old plugin a", "old b", "", ""}; // "": not installed
    const std::string install = MakeScratchFolder("install");
    const auto target = [&](std::size_t i) { return install + "\\" + files[i].name; };
    long long total = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        files[i].urlPath = "/slow/1/" + files[i].name;
        total += static_cast<long long>(files[i].bytes.size());
        if (!olds[i].empty())
            WriteFileBytes(target(i), olds[i]);
    }
    Publish(files, "");
    for (const std::string name : {"Tarnwick.exe", "Velmora.dll", "Tarnwick.sdb"})
        ASSERT_TRUE(
            CopyFileA((TARNWICK_DIR + name).c_str(), (install + "\\" + name).c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((TestProgramFolder() + "\\Dovrel.exe").c_str(),
                          (install + "\\Dovrel.exe").c_str(), FALSE));
    WriteFileBytes(install + "\\Platform.ini",
                   "[Update]\r\nUpdateUrl=" + m_server->Url("/UpdateNew.xml") + "\r\n");
    const std::string journal = install + "\\Tarnwick.journal";

    // Each run is ended when the release's bytes on disk (parts and installed files) reach a
    // share drawn from each eighth, or (file index) when a file's registration is on the journal.
    std::mt19937 random(20);
    std::vector<std::pair<double, int>> points;
    for (int i = 0; i < 8; ++i)
        points.push_back({(i + std::uniform_real_distribution<double>()(random)) / 8, -1});
    long long before = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        before += static_cast<long long>(files[i].bytes.size());
        if (files[i].registerServer)
            points.push_back({static_cast<double>(before) / total, static_cast<int>(i)});
    }
    std::sort(points.begin(), points.end());
    const auto bytesOnDisk = [&] {
        long long done = 0;
        for (std::size_t i = 0; i < files.size(); ++i) {
            const long long size = static_cast<long long>(files[i].bytes.size());
            const long long part = SizeOf(target(i) + ".tmp");
            done += part >= 0 ? part : SizeOf(target(i)) == size ? size : 0;
        }
        return done;
    };
    // A part a run leaves is asked for from its end by the next run that gets to its file.
    std::map<std::string, std::string> ranges;
    int resumed = 0;
    const auto checkRequests = [&] {
        for (const auto& request : m_server->Requests()) {
            const std::string name = request.target.substr(request.target.rfind('/') + 1);
            if (ranges.count(name)) {
                EXPECT_EQ(ranges[name], request.Header("Range")) << name;
                resumed += !ranges[name].empty();
                ranges.erase(name);
            }
        }
        m_server->ClearRequests();
    };

    for (const auto& point : points) {
        CChildProcess tarnwick;
        ASSERT_TRUE(tarnwick.Start("\"" + install + "\\Tarnwick.exe\" x"));
        bool ended = false;
        for (DWORD start = GetTickCount(); !ended && GetTickCount() - start < 30000; Sleep(5)) {
            if (point.second >= 0
                    ? ReadFileBytes(journal).find(target(point.second)) != std::string::npos
                    : bytesOnDisk() >= point.first * total)
                ended = TerminateProcess(tarnwick.Handle(), 1) != 0;
            else if (tarnwick.WaitForExit(0))
                break;
        }
        EXPECT_TRUE(ended) << "the run ended by itself before point " << point.first;
        ASSERT_TRUE(tarnwick.WaitForExit(10000));
        EndChildrenOf(tarnwick.Id());
        checkRequests();
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string now = ReadFileBytes(target(i));
            EXPECT_TRUE(now == olds[i] || now == files[i].bytes) << files[i].name << point.first;
            const long long part = SizeOf(target(i) + ".tmp");
            ranges[files[i].name] = part > 0 && part < static_cast<long long>(files[i].bytes.size())
                                        ? "bytes=" + std::to_string(part) + "-"
                                        : "";
        }
    }
    CChildProcess last;
    ASSERT_TRUE(last.Start("\"" + install + "\\Tarnwick.exe\" x"));
    ASSERT_TRUE(last.WaitForExit(60000));
    checkRequests();
    EXPECT_GT(resumed, 0);
    EXPECT_FALSE(FileExists(journal));
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_TRUE(HoldsBytes(target(i), files[i].bytes));
        EXPECT_FALSE(FileExists(target(i) + ".tmp")) << files[i].name;
        // Registered at least once; only the new file can have been (the old is no server).
        EXPECT_EQ(files[i].registerServer, FileExists(target(i) + ".registered")) << files[i].name;
    }
}
