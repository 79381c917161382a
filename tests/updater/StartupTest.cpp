// Start-up of the updater: the lobby check, the configuration file, the
// messages of every early exit and the release of the skin, in-process and
// as the real Tarnwick.exe.
#include "Canvas.h"
#include "MainProgram.h"
#include "RecordingSkin.h"
#include "TarnwickApp.h"
#include "TestHttpServer.h"
#include "UiProbe.h"
#include "UpdateFileList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>

namespace {

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
        DropQuitMessages();
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

// Width of the text in a strip of the dark body the skin writes its status lines on.
int InkWidth(HDC dc, int x, int y, int width, int height) {
    CCanvas strip(width, height);
    BitBlt(strip.Dc(), 0, 0, width, height, dc, x, y, SRCCOPY);
    int first = width, last = -1;
    for (int i = 0; i < width * height; ++i) {
        if (GetGValue(strip.Pixel(i % width, i / width)) > 100) {
            first = std::min(first, i % width);
            last = std::max(last, i % width);
        }
    }
    return std::max(0, last - first + 1);
}

// The first status line's text that is as wide in the skin's font.
std::string FirstLine(int ink) {
    for (const char* text : {"正在获取升级版本信息...", "恭喜您升级成功！"}) {
        CCanvas canvas(340, 22);
        HGDIOBJ previous = SelectObject(
            canvas.Dc(), CreateFontA(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_STRING_PRECIS, CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, 0,
                                     "Microsoft YaHei"));
        canvas.Fill(RGB(0, 0, 0));
        SetBkMode(canvas.Dc(), TRANSPARENT);
        SetTextColor(canvas.Dc(), RGB(222, 228, 240));
        TextOutA(canvas.Dc(), 0, 0, text, lstrlenA(text));
        DeleteObject(SelectObject(canvas.Dc(), previous));
        if (std::abs(InkWidth(canvas.Dc(), 0, 0, 340, 22) - ink) <= 3)
            return text;
    }
    return std::to_string(ink) + " pixels of text";
}

// What the real Tarnwick.exe's window shows while one of its boxes is up (moved away).
std::string Look(HWND updater, HWND box) {
    SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sleep(500);
    RECT window = {}, bar = {};
    GetWindowRect(updater, &window);
    GetWindowRect(GetDlgItem(updater, 1015), &bar);
    MapWindowPoints(nullptr, updater, reinterpret_cast<POINT*>(&bar), 2);
    const auto size = [](const RECT& rect) {
        return std::to_string(rect.right - rect.left) + "x" +
               std::to_string(rect.bottom - rect.top);
    };
    const std::string place =
        "bar " + std::to_string(bar.left) + "," + std::to_string(bar.top) + " " + size(bar);
    if (GetWindowLongA(updater, GWL_STYLE) & WS_CAPTION)
        return "plain, " + place;
    HDC screen = GetDC(nullptr);
    const int top = InkWidth(screen, window.left + 210, window.top + 90, 340, 22);
    const int bottom = InkWidth(screen, window.left + 210, window.top + 114, 340, 20);
    ReleaseDC(nullptr, screen);
    return "skinned " + size(window) + ", " + place + ", " + FirstLine(top) +
           (bottom ? ", tips.bottom written" : ", tips.bottom empty");
}

// The real Tarnwick.exe with its library (and its skin, unless left out), run by the test as
// its debugger: its boxes, what its window showed meanwhile, its calls of Cleanup.
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
    const std::string skinned = " (skinned 580x176, bar 210,50 340x31, ";
    const std::string failed = skinned + "正在获取升级版本信息..., tips.bottom written)";
    const std::string ok = "[Update]\r\nUpdateUrl=" + server.Url("/UpdateNew.xml");
    const std::string notFound = "[Update]\r\nUpdateUrl=" + server.Url("/status/404");
    const std::string lobbyRuns = "[Platform]\r\nDovrelClass=TarnwickRealLobby";
    const struct {
        std::string config, arguments;
        bool withSkin;
        std::vector<std::string> boxes;
    } runs[] = {
        {"", " x", true, {"Tarnwick: " + std::string(kNoUpdateUrl)}},
        {notFound, " x", true, {"系统提示: 获取更新文件失败" + failed, noLobby + failed}},
        {ok, " x", true, {noLobby + skinned + "恭喜您升级成功！, tips.bottom empty)"}},
        {ok, " x", false, {noLobby + " (plain, bar 210,50 340x31)"}},
        // Last, as the lobby comes forward.
        {lobbyRuns, "", true, {"系统提示: " + std::string(kLobbyRunning)}},
    };
    for (const auto& c : runs) {
        const std::string folder = MakeScratchFolder("install");
        for (const std::string name : {"Tarnwick.exe", "Velmora.dll", "Tarnwick.sdb"})
            if (c.withSkin || name != "Tarnwick.sdb")
                CopyFileA((TARNWICK_DIR + name).c_str(), (folder + "\\" + name).c_str(), FALSE);
        WriteFileBytes(folder + "\\Platform.ini", c.config + "\r\n");
        CChildProcess tarnwick;
        ASSERT_TRUE(tarnwick.Start("\"" + folder + "\\Tarnwick.exe\"" + c.arguments, folder, true));
        std::vector<std::string> boxes;
        std::atomic<bool> ended{false};
        std::thread answerer([&] {
            for (SeenMessageBox box; !ended;) {
                std::string look;
                if (AnswerMessageBox(tarnwick.Id(), 200, box, [&look](HWND shown) {
                        if (HWND updater = FindWindowA("#32770", "系统升级程序"))
                            look = " (" + Look(updater, shown) + ")";
                    }))
                    boxes.push_back(box.caption + ": " + box.text + look);
            }
        });
        EXPECT_EQ(1, tarnwick.CallsUntilExit(folder + "\\Velmora.dll", "Cleanup", 60000))
            << c.boxes[0];
        ended = true;
        answerer.join();
        EXPECT_EQ(c.boxes, boxes);
        EXPECT_EQ(c.config == ok, ReadFileBytes(folder + "\\a.bin") == bytes);
    }
}

} // namespace
