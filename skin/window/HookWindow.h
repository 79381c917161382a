// Subclassing of one window by one object: the window procedure is replaced by
// a shared hook procedure that hands every message to the object, through a
// process-wide table from window handle to object.
#pragma once

#include <windows.h>

#include <cstddef>

namespace Velmora {

class CHookWindow {
  public:
    CHookWindow() = default;
    CHookWindow(const CHookWindow&) = delete;
    CHookWindow& operator=(const CHookWindow&) = delete;
    virtual ~CHookWindow();

    // A window hooks this object to it; null unhooks.
    virtual void Attach(HWND window);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND GetHwnd() const { return m_hwnd; }
    WNDPROC GetPreviousProc() const { return m_previousProc; }

    static CHookWindow* FromHandle(HWND window);
    static size_t HookedWindowCount();

  protected:
    LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    WNDPROC m_previousProc = nullptr;

  private:
    void Unhook();
    static LRESULT CALLBACK HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

} // namespace Velmora
