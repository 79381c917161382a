// Start-up of the updater: the lobby check, the configuration file, the
// messages of every early exit and the release of the skin, in-process and
// as the real Tarnwick.exe.
#include "Canvas.h"
#include "MainProgram.h"
#include "SkinBinding.h"
#include "TarnwickApp.h"
#include "TestHttpServer.h"
#include "UiProbe.h"
#include "UpdateFileList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

namespace {

// Keeps every call the updater makes into the skin library.
class CRecordingSkin : public ISkinBinding {
  public:
    CRecordingSkin() { m_previous = SetSkinBinding(this); }
    ~CRecordingSkin() override { SetSkinBinding(m_previous); }
    void LoadSkin(const char* file, int mode) override {
        calls.push_back(std::string("LoadSkin ") + file + " " + std::to_string(mode));
    }
    void Cleanup() override { calls.push_back("Cleanup"); }
    void SkinWindow(HWND, int kind, const char* name, int recursive) override {
        calls.push_back("SkinWindow " + std::to_string(kind) + " " + name + " " +
                        std::to_string(recursive));
    }
    void SetDrawItemValue(HWND, int, const char* item, const char* text) override {
        calls.push_back(std::string("Value ") + item + " " + text);
    }
    void SetDrawItemVisible(HWND, int, const char* item, BOOL visible) override {
        calls.push_back(std::string("Visible ") + item + " " + std::to_string(visible));
    }
    std::vector<std::string> calls;

  private:
    ISkinBinding* m_previous;
};

const char kLobbyRunning[] = "游戏大厅已经运行！";
const char kNoUpdateUrl[] = "获取升级文件失败，请到官方游戏网站重新下载安装游戏";

std::string ConfigPath() {
    return TestProgramFolder() + "\\Platform.ini";
}

// The sample lobby, holding its mutex and a minimised window.
struct CRunningLobby {
    explicit CRunningLobby(const std::string& lobbyClass) {
        DeleteFileA((TestProgramFolder() + "\\Dovrel.ready").c_str());
        ready = process.Start(TestProgramFolder() + "\\Dovrel.exe --hold " + lobbyClass + " 60") &&
                WaitForFile(TestProgramFolder() + "\\Dovrel.ready", 20000) &&
                (window = FindWindowA((lobbyClass + "_Mutex").c_str(), nullptr)) != nullptr;
    }
    ~CRunningLobby() {
        PostMessageA(window, WM_CLOSE, 0, 0);
        process.WaitForExit(10000);
    }
    CChildProcess process;
    HWND window = nullptr;
    bool ready = false;
};

class StartupTest : public ::testing::Test {
  protected:
    void TearDown() override { DeleteFileA(ConfigPath().c_str()); }

    // The whole start-up of an application object in this process.
    std::vector<SeenMessageBox> RunApp(const char* commandLine) {
        CMessageBoxAnswerer answerer;
        {
            CTarnwickClientApp app;
            app.Run(GetModuleHandleA(nullptr), commandLine);
        }
        // A run that ended its window with a quit message must not end the next test's boxes.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        Sleep(200);
        return answerer.Seen();
    }

    CRecordingSkin m_skin;
};

TEST_F(StartupTest, MissingOrEmptyUpdateUrlEndsBeforeAnySkinOrWindow) {
    DeleteFileA(ConfigPath().c_str());
    auto boxes = RunApp("skip-lobby-check");
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kNoUpdateUrl, boxes[0].text);
    EXPECT_EQ("updater_tests", boxes[0].caption); // the program's name
    EXPECT_EQ(LoadIcon(nullptr, IDI_ERROR), boxes[0].icon);

    WriteFileBytes(ConfigPath(),
                   "[Platform]\r\nDovrelClass=NoSuchLobby\r\n[Update]\r\nUpdateUrl=\r\n");
    boxes = RunApp("");
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kNoUpdateUrl, boxes[0].text);
    // The skin is released on both early exits, though none was loaded.
    EXPECT_EQ((std::vector<std::string>{"Cleanup", "Cleanup"}), m_skin.calls);
}

TEST_F(StartupTest, RunningLobbyIsToldAndBroughtForwardUnlessAnArgumentIsGiven) {
    CRunningLobby lobby("TarnwickTestLobby");
    ASSERT_TRUE(lobby.ready);
    ASSERT_TRUE(IsIconic(lobby.window));
    WriteFileBytes(ConfigPath(),
                   "[Platform]\r\nDovrelClass=TarnwickTestLobby\r\n[Update]\r\nUpdateUrl=\r\n");
    auto boxes = RunApp("x");
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kNoUpdateUrl, boxes[0].text);
    EXPECT_TRUE(IsIconic(lobby.window));

    boxes = RunApp("");
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kLobbyRunning, boxes[0].text);
    EXPECT_EQ("系统提示", boxes[0].caption);
    EXPECT_EQ(LoadIcon(nullptr, IDI_INFORMATION), boxes[0].icon);
    EXPECT_FALSE(boxes[0].hadOwner);
    EXPECT_FALSE(IsIconic(lobby.window));
    EXPECT_EQ(lobby.window, GetForegroundWindow());
    // No skin was loaded on either run, but it was released.
    EXPECT_EQ((std::vector<std::string>{"Cleanup", "Cleanup"}), m_skin.calls);
}

TEST_F(StartupTest, MissingLobbyClassProbesTheBareMutexName) {
    WriteFileBytes(ConfigPath(), "[Update]\r\nUpdateUrl=\r\n");
    HANDLE mutex = CreateMutexA(nullptr, TRUE, "_Mutex");
    ASSERT_NE(nullptr, mutex);
    auto boxes = RunApp("");
    CloseHandle(mutex);
    // No window of that class exists: only the message.
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kLobbyRunning, boxes[0].text);

    // The updater does not keep the mutex it probed.
    WriteFileBytes(ConfigPath(),
                   "[Platform]\r\nDovrelClass=TarnwickProbe\r\n[Update]\r\nUpdateUrl=\r\n");
    boxes = RunApp("");
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kNoUpdateUrl, boxes[0].text);
    HANDLE probe = CreateMutexA(nullptr, TRUE, "TarnwickProbe_Mutex");
    EXPECT_NE(ERROR_ALREADY_EXISTS, GetLastError());
    CloseHandle(probe);
}

TEST_F(StartupTest, PendingRegistrationsRunFirstEvenWhenTheLobbyRuns) {
    // What an updater ended between putting a file in place and registering it leaves behind.
    const std::string dll = MakeScratchFolder("pending registration") + "\\Plugin.dll";
    ASSERT_TRUE(CopyFileA(SAMPLE_SERVER_DLL, dll.c_str(), FALSE));
    const std::string journal = TestProgramFolder() + "\\Tarnwick.journal";
    WriteFileBytes(journal, dll + "\r\n");
    WriteFileBytes(ConfigPath(), "[Update]\r\nUpdateUrl=\r\n");
    HANDLE mutex = CreateMutexA(nullptr, TRUE, "_Mutex");
    const auto boxes = RunApp("");
    CloseHandle(mutex);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kLobbyRunning, boxes[0].text);
    EXPECT_EQ(0, lstrcmpiA((dll + "\r\n").c_str(), ReadFileBytes(dll + ".registered").c_str()));
    EXPECT_FALSE(FileExists(journal));
}

TEST_F(StartupTest, UrlFromTheProgramFolderLoadsTheSkinRunsTheWindowAndStartsTheLobby) {
    // Nothing listens on port 1: the run fails at once and starts the lobby.
    WriteFileBytes(ConfigPath(), "[Update]\r\nUpdateUrl=http://127.0.0.1:1/UpdateNew.xml\r\n");
    const std::string log = TestProgramFolder() + "\\Dovrel.log";
    DeleteFileA(log.c_str());
    // A configuration in the working folder must not be read, nor the lobby looked for there.
    char saved[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, saved);
    const std::string elsewhere = MakeScratchFolder("cwd");
    WriteFileBytes(elsewhere + "\\Platform.ini", "[Update]\r\nUpdateUrl=\r\n");
    SetCurrentDirectoryA(elsewhere.c_str());
    auto boxes = RunApp("x");
    SetCurrentDirectoryA(saved);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("获取更新文件失败", boxes[0].text);
    EXPECT_TRUE(boxes[0].hadOwner);
    const std::vector<std::string> expected = {
        "LoadSkin Tarnwick.sdb 2",
        "SkinWindow 2 dialog.update 0",
        "SkinWindow 19 progress.update 0",
        "Value tips.top 正在获取升级版本信息...",
        "Cleanup",
    };
    EXPECT_EQ(expected, m_skin.calls);
    ASSERT_TRUE(WaitForFile(log, 20000));
    Sleep(300);
    EXPECT_EQ("StartMainApp\r\n", ReadFileBytes(log));
}

TEST_F(StartupTest, PublicKeyComesFromPlatformIniWhenTheBuildFixesNone) {
    CTarnwickClientApp app;
    EXPECT_FALSE(app.ReadPublicKey());
    WriteFileBytes(ConfigPath(), "[Update]\r\nPublicKey=RWQpublisherkey\r\n");
    EXPECT_TRUE(app.ReadPublicKey());
    EXPECT_EQ("RWQpublisherkey", app.PublicKey());
}

TEST(LaunchMainProgramTest, MissingLobbyIsReported) {
    CMessageBoxAnswerer answerer;
    EXPECT_FALSE(LaunchMainProgram(nullptr, "NoSuchLobby.exe", "StartMainApp"));
    Sleep(300);
    auto boxes = answerer.Seen();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("启动程序失败，请尝试从官方网站重新下载安装包。", boxes[0].text);
    EXPECT_EQ("系统提示", boxes[0].caption);
}

// What the real Tarnwick.exe's window shows while one of its boxes is up: skinned
// or plain, the bar's place, and whether the second status line is written (any
// pixel lighter than the dark body where the skin writes it; the box moved away).
std::string Look(HWND updater, HWND box) {
    SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sleep(500);
    RECT window = {}, bar = {};
    GetWindowRect(updater, &window);
    GetWindowRect(GetDlgItem(updater, 1015), &bar);
    MapWindowPoints(nullptr, updater, reinterpret_cast<POINT*>(&bar), 2);
    const std::string place = "bar " + std::to_string(bar.left) + "," + std::to_string(bar.top) +
                              " " + std::to_string(bar.right - bar.left) + "x" +
                              std::to_string(bar.bottom - bar.top);
    if (GetWindowLongA(updater, GWL_STYLE) & WS_CAPTION)
        return "plain, " + place;
    CCanvas line(340, 20);
    HDC screen = GetDC(nullptr);
    BitBlt(line.Dc(), 0, 0, 340, 20, screen, window.left + 210, window.top + 114, SRCCOPY);
    ReleaseDC(nullptr, screen);
    int lit = 0;
    for (int i = 0; i < 340 * 20; ++i)
        lit += GetGValue(line.Pixel(i % 340, i / 340)) > 80;
    return "skinned " + std::to_string(window.right - window.left) + "x" +
           std::to_string(window.bottom - window.top) + ", " + place + ", tips.bottom " +
           (lit > 20 ? "written" : "empty");
}

// The real Tarnwick.exe, installed with its skin library (and its skin, unless left
// out), run by the test as its debugger: its boxes with what its window showed
// meanwhile, and whether it called the library's Cleanup on its way out.
struct RealRun {
    std::vector<std::string> boxes;
    int cleanups = -1;
};
RealRun RunTarnwick(const std::string& folder, const std::string& arguments, bool withSkin) {
    std::vector<std::string> files = {"Tarnwick.exe", "Velmora.dll", "Tarnwick.sdb"};
    EXPECT_TRUE(CopyFromFolderOf(TARNWICK_EXE, files, folder));
    if (!withSkin)
        DeleteFileA((folder + "\\Tarnwick.sdb").c_str());
    RealRun run;
    CChildProcess tarnwick;
    if (!tarnwick.Start("\"" + folder + "\\Tarnwick.exe\"" + arguments, folder, true))
        return run;
    std::atomic<bool> ended{false};
    std::thread answerer([&] {
        SeenMessageBox box;
        std::string look;
        const auto lookAtWindow = [&look](HWND shown) {
            HWND updater = FindWindowA("#32770", "系统升级程序");
            look = updater ? " (" + Look(updater, shown) + ")" : "";
        };
        while (!ended) {
            if (AnswerMessageBox(tarnwick.Id(), 200, box, lookAtWindow))
                run.boxes.push_back(box.caption + ": " + box.text + look);
        }
    });
    run.cleanups = tarnwick.CallsUntilExit(folder + "\\Velmora.dll", "Cleanup", 60000);
    ended = true;
    answerer.join();
    return run;
}

// Every way out of the real program releases the skin. Its window is skinned, the bar
// where the updater puts it; the second status line shows the skin's own text until a
// file download starts and goes after a successful run; without its skin the program
// shows the plain window and updates all the same.
TEST(RealProgramTest, TarnwickShowsTheRunSkinnedOrPlainAndReleasesTheSkinOnEveryWayOut) {
    const std::string release = MakeScratchFolder("release");
    const std::string bytes = MakeContent(300000, 'r');
    WriteFileBytes(release + "\\a.bin", bytes);
    std::string digest;
    ASSERT_TRUE(CUpdateFileList::ComputeFileHash((release + "\\a.bin").c_str(), digest));
    TestHttpServer server(ToLinuxPath(release));
    ASSERT_TRUE(server.Running());
    WriteFileBytes(release + "\\UpdateNew.xml",
                   "<Update><File><FileName>a.bin</FileName><HashCode>" + digest +
                       "</HashCode><URL>" + server.Url("/a.bin") + "</URL></File></Update>");
    CRunningLobby lobby("TarnwickRealLobby");
    ASSERT_TRUE(lobby.ready);
    const std::string noLobby = "系统提示: 启动程序失败，请尝试从官方网站重新下载安装包。";
    const std::string skinned = " (skinned 580x176, bar 210,50 340x31, tips.bottom ";
    const std::string failed = "[Update]\r\nUpdateUrl=" + server.Url("/status/404");
    const std::string ok = "[Update]\r\nUpdateUrl=" + server.Url("/UpdateNew.xml");
    const struct {
        std::string config, arguments;
        bool withSkin;
        std::vector<std::string> boxes;
    } runs[] = {
        {"", " x", true, {"Tarnwick: " + std::string(kNoUpdateUrl)}},
        {"[Platform]\r\nDovrelClass=TarnwickRealLobby",
         "",
         true,
         {"系统提示: " + std::string(kLobbyRunning)}},
        {failed,
         " x",
         true,
         {"系统提示: 获取更新文件失败" + skinned + "written)", noLobby + skinned + "written)"}},
        {ok, " x", true, {noLobby + skinned + "empty)"}},
        {ok, " x", false, {noLobby + " (plain, bar 210,50 340x31)"}},
    };
    for (const auto& c : runs) {
        const std::string folder = MakeScratchFolder("install");
        WriteFileBytes(folder + "\\Platform.ini", c.config + "\r\n");
        const RealRun run = RunTarnwick(folder, c.arguments, c.withSkin);
        EXPECT_EQ(c.boxes, run.boxes);
        EXPECT_EQ(1, run.cleanups) << c.boxes[0];
        EXPECT_EQ(c.config == ok, ReadFileBytes(folder + "\\a.bin") == bytes);
    }
    EXPECT_FALSE(IsIconic(lobby.window));
}

} // namespace
