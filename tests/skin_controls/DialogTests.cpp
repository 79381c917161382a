// The dialog skin on real dialogs: its own frame and title-bar buttons, the
// window region cut from its background, sizing borders and caption band,
// maximising, the native frame it keeps on request, and what it gives back.
#include "ControlsSupport.h"

#include <thread>

namespace {

class DialogTest : public ControlsTest {
  protected:
    void Skinned(int templateId, const char* id) {
        OpenDialog(templateId);
        EXPECT_EQ(Manager()->SkinWindow(m_dialog, 2, id, true), 1);
        PumpMessages();
        UpdateWindow(m_dialog);
    }
    HWND Command(int index) const { return GetDlgItem(m_dialog, 14416 + index); }
    RECT Rect() const { return WindowRectOf(m_dialog); }
    // Which of four points of the top right corner the window region holds
    // (none without a region): the magenta upper half of the picture's top
    // right 10x10 corner is cut out of the window's.
    std::vector<int> Corner() const {
        const LONG width = Rect().right - Rect().left;
        HRGN shape = CreateRectRgn(0, 0, 0, 0);
        std::vector<int> inside;
        if (GetWindowRgn(m_dialog, shape) != ERROR) {
            for (POINT point : {POINT{width - 5, 2}, {width - 5, 7}, {width - 15, 2}, {5, 2}})
                inside.push_back(PtInRegion(shape, point.x, point.y));
        }
        DeleteObject(shape);
        return inside;
    }
};

TEST_F(DialogTest, OwnFrameTitleBarButtonsAndShapedCorner) {
    Skinned(kFrameDialog, nullptr);
    EXPECT_EQ(GetWindowLongA(m_dialog, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
    RECT client = {};
    GetClientRect(m_dialog, &client);
    EXPECT_EQ(client.right, Rect().right - Rect().left);
    // Where each button is, at the size of its picture; restore hidden.
    const struct {
        int left;
        bool visible;
    } buttons[] = {{-80, true}, {-60, true}, {-60, false}, {-40, true}};
    for (int index = 0; index < 4; ++index)
        EXPECT_EQ(RectText(Command(index), m_dialog) + (IsWindowVisible(Command(index)) ? "" : "-"),
                  RectText(client.right + buttons[index].left, 2, 16, 14) +
                      (buttons[index].visible ? "" : "-"));
    EXPECT_EQ(ClientPixel(Command(3), 8, 7), kCommand);

    EXPECT_EQ(Corner(), (std::vector<int>{0, 1, 1, 1}));
    SetWindowPos(m_dialog, nullptr, 0, 0, client.right + 60, 300, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(ClientPixel(m_dialog, 50, 50), kBack);
    EXPECT_EQ(Corner(), (std::vector<int>{0, 1, 1, 1}));

    // Without the skin the window has its own frame and shape back.
    Velmora::CManager::Destroy();
    EXPECT_EQ(GetWindowLongA(m_dialog, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(Corner(), std::vector<int>());
    EXPECT_EQ(Command(3), nullptr);
}

TEST_F(DialogTest, BordersSizeCaptionDragsAndTheMinimumWidthHolds) {
    Skinned(kFrameDialog, nullptr);
    const RECT w = Rect();
    const struct {
        int x, y;
        LRESULT code;
    } points[] = {{w.left + 2, w.top + 2, HTTOPLEFT},         {w.left + 2, w.top + 50, HTLEFT},
                  {w.right - 2, w.top + 50, HTRIGHT},         {w.left + 50, w.top + 2, HTTOP},
                  {w.right - 2, w.bottom - 2, HTBOTTOMRIGHT}, {w.left + 50, w.bottom - 2, HTBOTTOM},
                  {w.left + 50, w.top + 10, HTCAPTION},       {w.left + 50, w.top + 40, HTCLIENT}};
    for (const auto& point : points)
        EXPECT_EQ(SendMessageA(m_dialog, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)), point.code)
            << point.x - w.left << "," << point.y - w.top;
    // The dialog inside is skinned too, but neither sized nor dragged.
    HWND inner = GetDlgItem(m_dialog, 11);
    ASSERT_NE(Manager()->FindSkinObject(inner, 2), nullptr);
    const RECT innerRect = WindowRectOf(inner);
    EXPECT_EQ(
        SendMessageA(inner, WM_NCHITTEST, 0, MAKELPARAM(innerRect.left + 2, innerRect.top + 2)),
        HTCLIENT);

    // Dragged by its left edge 200 pixels to the right, it stops at 300 wide.
    // A click further left afterwards finds no sizing still going on.
    SetWindowPos(m_dialog, nullptr, 400, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const RECT placed = Rect();
    ASSERT_LT(placed.right - placed.left - 200, 300);
    std::thread mouse([&placed] {
        auto input = [y = placed.top + 60](int x, DWORD flags) {
            SetCursorPos(x, y);
            INPUT event = {};
            event.type = INPUT_MOUSE;
            event.mi.dwFlags = flags;
            SendInput(1, &event, sizeof(event));
            Sleep(50);
        };
        input(placed.left + 1, MOUSEEVENTF_LEFTDOWN);
        for (int x = 20; x <= 200; x += 20)
            input(placed.left + 1 + x, MOUSEEVENTF_MOVE);
        input(placed.left + 201, MOUSEEVENTF_LEFTUP);
        input(placed.left - 100, MOUSEEVENTF_LEFTDOWN);
        input(placed.left - 100, MOUSEEVENTF_LEFTUP);
    });
    for (int i = 0; i < 150; ++i, Sleep(10))
        PumpMessages();
    mouse.join();
    PumpMessages();
    // (Wine's sizing stops a pixel before the minimum.)
    EXPECT_GE(Rect().right - Rect().left, 300);
    EXPECT_LE(Rect().right - Rect().left, 301);
    EXPECT_EQ(Rect().right, placed.right);
}

TEST_F(DialogTest, MaximisingFillsTheWorkAreaAndSwapsTheButtons) {
    Skinned(kFrameDialog, nullptr);
    const std::string before = RectText(m_dialog);
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const std::vector<std::pair<int, std::string>> steps = {
        {1, RectText(work.left, work.top, work.right - work.left, work.bottom - work.top)},
        {2, before}};
    for (const auto& [button, rect] : steps) {
        SendMessageA(Command(button), BM_CLICK, 0, 0);
        PumpMessages();
        EXPECT_EQ(RectText(m_dialog), rect);
        EXPECT_EQ((std::vector<bool>{IsWindowVisible(Command(1)) != FALSE,
                                     IsWindowVisible(Command(2)) != FALSE}),
                  (std::vector<bool>{button == 2, button == 1}));
    }
    SendMessageA(Command(0), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsIconic(m_dialog));
    ShowWindow(m_dialog, SW_RESTORE);
    // Close: the dialog's own cancel handling ends it.
    SendMessageA(Command(3), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindow(m_dialog));
}

TEST_F(DialogTest, NativeFrameOrNoMaximiseBoxLeaveButtonsOut) {
    Skinned(kFrameDialog, "dialog.native");
    EXPECT_EQ(GetWindowLongA(m_dialog, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(Command(3), nullptr);
    EXPECT_EQ(Corner(), std::vector<int>());
    // Without a minimum of its own the system's stays.
    MINMAXINFO limits = {{}, {}, {}, {100, 40}, {}};
    SendMessageA(m_dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x * 1000 + limits.ptMinTrackSize.y, 100 * 1000 + 40);
    // Maximised by the system alone: its frame reaches past the work area.
    ShowWindow(m_dialog, SW_MAXIMIZE);
    PumpMessages();
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LT(Rect().left, work.left);
    DestroyWindow(m_dialog);

    Skinned(kNoMaximiseDialog, nullptr);
    EXPECT_EQ((std::vector<bool>{Command(0) != nullptr, Command(1) != nullptr,
                                 Command(2) != nullptr, Command(3) != nullptr}),
              (std::vector<bool>{true, false, false, true}));
}

} // namespace
