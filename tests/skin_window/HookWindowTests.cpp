// Subclassing of real windows: the procedure is replaced while an object is
// attached and put back when it detaches, is deleted or the window ends.
#include "HookWindow.h"
#include "Manager.h"
#include "SkinWindowSupport.h"

#include <gtest/gtest.h>

using Velmora::CHookWindow;

namespace {

class CCountingHook : public CHookWindow {
  public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP)
            ++appMessages;
        return CHookWindow::WindowProc(message, wParam, lParam);
    }
    int appMessages = 0;
};

class HookWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_top = CreateTopWindow(0, 0, 200, 150);
        m_window = CreateChildWindow(m_top, 10, 10, 50, 40);
        m_hooksBefore = CHookWindow::HookedWindowCount();
    }
    void TearDown() override {
        if (IsWindow(m_top))
            DestroyWindow(m_top);
        PumpMessages();
        ForgetRecords();
        Velmora::CManager::Destroy();
    }
    WNDPROC CurrentProc(HWND window) const {
        return reinterpret_cast<WNDPROC>(GetWindowLongA(window, GWL_WNDPROC));
    }

    HWND m_top = nullptr;
    HWND m_window = nullptr;
    size_t m_hooksBefore = 0;
};

TEST_F(HookWindowTest, AttachedObjectReceivesMessagesAndPassesThemOn) {
    CCountingHook hook;
    hook.Attach(m_window);

    EXPECT_EQ(hook.GetHwnd(), m_window);
    EXPECT_EQ(hook.GetPreviousProc(), TestWindowProc());
    EXPECT_NE(CurrentProc(m_window), TestWindowProc());
    EXPECT_EQ(CHookWindow::FromHandle(m_window), &hook);
    EXPECT_EQ(CHookWindow::HookedWindowCount(), m_hooksBefore + 1);

    EXPECT_EQ(SendMessageA(m_window, WM_APP, 0, 0), kAppResult);
    EXPECT_EQ(hook.appMessages, 1);
}

TEST_F(HookWindowTest, DestroyedWindowGetsItsProcedureBackAtNcDestroy) {
    CCountingHook hook;
    hook.Attach(m_window);

    DestroyWindow(m_window);

    const WindowRecord& record = RecordOf(m_window);
    ASSERT_TRUE(record.ncDestroyed);
    EXPECT_EQ(record.procAtNcDestroy, TestWindowProc());
    EXPECT_EQ(CHookWindow::FromHandle(m_window), nullptr);
    EXPECT_EQ(CHookWindow::HookedWindowCount(), m_hooksBefore);
    EXPECT_EQ(hook.GetHwnd(), nullptr);
}

TEST_F(HookWindowTest, DetachingOrDeletingTheObjectRestoresTheWindow) {
    {
        CCountingHook hook;
        hook.Attach(m_window);
        hook.Attach(nullptr);
        EXPECT_EQ(hook.GetHwnd(), nullptr);
        EXPECT_EQ(CurrentProc(m_window), TestWindowProc());
        EXPECT_EQ(CHookWindow::FromHandle(m_window), nullptr);

        hook.Attach(m_window);
        EXPECT_EQ(CHookWindow::FromHandle(m_window), &hook);
    }
    EXPECT_EQ(CurrentProc(m_window), TestWindowProc());
    EXPECT_EQ(CHookWindow::FromHandle(m_window), nullptr);
    EXPECT_EQ(CHookWindow::HookedWindowCount(), m_hooksBefore);
    EXPECT_EQ(SendMessageA(m_window, WM_APP, 0, 0), kAppResult);
}

TEST_F(HookWindowTest, HandlesThatAreNoWindowsAndSecondWindowsAreIgnored) {
    HWND gone = CreateChildWindow(m_top, 0, 0, 5, 5);
    DestroyWindow(gone);

    CCountingHook hook;
    hook.Attach(gone);
    EXPECT_EQ(hook.GetHwnd(), nullptr);
    EXPECT_EQ(CHookWindow::HookedWindowCount(), m_hooksBefore);

    HWND other = CreateChildWindow(m_top, 70, 10, 20, 20);
    hook.Attach(m_window);
    hook.Attach(other);
    EXPECT_EQ(hook.GetHwnd(), m_window);
    EXPECT_EQ(CurrentProc(other), TestWindowProc());
    EXPECT_EQ(CHookWindow::FromHandle(other), nullptr);
}

TEST_F(HookWindowTest, SecondObjectOnOneWindowTakesOverFromTheFirst) {
    CCountingHook first;
    CCountingHook second;
    first.Attach(m_window);
    second.Attach(m_window);

    EXPECT_EQ(first.GetHwnd(), nullptr);
    EXPECT_EQ(second.GetPreviousProc(), TestWindowProc());
    EXPECT_EQ(CHookWindow::FromHandle(m_window), &second);
    EXPECT_EQ(SendMessageA(m_window, WM_APP, 0, 0), kAppResult);
    EXPECT_EQ(second.appMessages, 1);
    EXPECT_EQ(first.appMessages, 0);

    second.Attach(nullptr);
    EXPECT_EQ(CurrentProc(m_window), TestWindowProc());
    EXPECT_EQ(CHookWindow::HookedWindowCount(), m_hooksBefore);
}

TEST_F(HookWindowTest, HookProcedureAnswersZeroForAWindowWithoutObject) {
    CCountingHook hook;
    hook.Attach(m_window);
    const WNDPROC hookProc = CurrentProc(m_window);
    hook.Attach(nullptr);

    EXPECT_EQ(SendMessageA(m_window, WM_APP, 0, 0), kAppResult);
    EXPECT_EQ(CallWindowProcA(hookProc, m_window, WM_APP, 0, 0), 0);
    EXPECT_EQ(hook.appMessages, 0);
}

} // namespace
