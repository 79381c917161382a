// Subclassing of real windows: the procedure is replaced while an object is
// attached and put back when it detaches, is deleted or the window ends.
#include "HookWindow.h"
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

WNDPROC CurrentProc(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongA(window, GWL_WNDPROC));
}

class HookWindowTest : public SkinWindowFixture {
  protected:
    void SetUp() override {
        m_top = CreateTestWindow(nullptr, 0, 0, 200, 150);
        m_window = CreateTestWindow(m_top, 10, 10, 50, 40);
        m_hooksBefore = CHookWindow::HookedWindowCount();
    }
    HWND m_window = nullptr;
    size_t m_hooksBefore = 0;
};

TEST_F(HookWindowTest, AttachingDetachingAndDeletingReplaceAndRestoreTheProcedure) {
    HWND gone = CreateTestWindow(m_top, 0, 0, 5, 5);
    DestroyWindow(gone);
    HWND other = CreateTestWindow(m_top, 70, 10, 20, 20);
    WNDPROC hookProc = nullptr;
    {
        CCountingHook hook;
        hook.Attach(gone);
        EXPECT_EQ(hook.GetHwnd(), nullptr);
        EXPECT_EQ(CHookWindow::HookedWindowCount(), m_hooksBefore);

        hook.Attach(m_window);
        hookProc = CurrentProc(m_window);
        EXPECT_NE(hookProc, &TestWindowProc);
        EXPECT_EQ(CHookWindow::FromHandle(m_window), &hook);
        EXPECT_EQ(SendMessageA(m_window, WM_APP, 0, 0), kAppResult);
        EXPECT_EQ(hook.appMessages, 1);

        // An object keeps the window it has.
        hook.Attach(other);
        EXPECT_EQ(hook.GetHwnd(), m_window);
        EXPECT_EQ(CurrentProc(other), &TestWindowProc);

        hook.Attach(nullptr);
        EXPECT_EQ(CurrentProc(m_window), &TestWindowProc);
        EXPECT_EQ(CHookWindow::FromHandle(m_window), nullptr);
        // A message still on its way to the old procedure finds no object.
        EXPECT_EQ(CallWindowProcA(hookProc, m_window, WM_APP, 0, 0), 0);
        EXPECT_EQ(hook.appMessages, 1);

        hook.Attach(m_window);
    }
    EXPECT_EQ(CurrentProc(m_window), &TestWindowProc);
    EXPECT_EQ(CHookWindow::FromHandle(m_window), nullptr);
    EXPECT_EQ(CHookWindow::HookedWindowCount(), m_hooksBefore);
}

TEST_F(HookWindowTest, DestroyedWindowGetsItsProcedureBackAtNcDestroy) {
    CCountingHook hook;
    hook.Attach(m_window);

    DestroyWindow(m_window);

    EXPECT_EQ(RecordOf(m_window).procAtNcDestroy, &TestWindowProc);
    EXPECT_EQ(CHookWindow::HookedWindowCount(), m_hooksBefore);
    EXPECT_EQ(hook.GetHwnd(), nullptr);
}

TEST_F(HookWindowTest, SecondObjectOnOneWindowTakesOverFromTheFirst) {
    CCountingHook first;
    CCountingHook second;
    first.Attach(m_window);
    second.Attach(m_window);

    EXPECT_EQ(first.GetHwnd(), nullptr);
    EXPECT_EQ(second.GetPreviousProc(), &TestWindowProc);
    EXPECT_EQ(SendMessageA(m_window, WM_APP, 0, 0), kAppResult);
    EXPECT_EQ(second.appMessages, 1);
    EXPECT_EQ(first.appMessages, 0);

    second.Attach(nullptr);
    EXPECT_EQ(CurrentProc(m_window), &TestWindowProc);
    EXPECT_EQ(CHookWindow::HookedWindowCount(), m_hooksBefore);
}

} // namespace
