#include "HookWindow.h"

#include "ErrorBarrier.h"

#include <unordered_map>

namespace Velmora {

namespace {

using HookTable = std::unordered_map<HWND, CHookWindow*>;

HookTable& Hooks() {
    static HookTable table;
    return table;
}

} // namespace

CHookWindow::~CHookWindow() {
    Unhook();
}

void CHookWindow::Attach(HWND window) {
    if (!window) {
        if (m_hwnd) {
            Unhook();
            m_hwnd = nullptr;
        }
        return;
    }
    if (m_hwnd || !IsWindow(window))
        return;
    HookTable& hooks = Hooks();
    auto found = hooks.find(window);
    if (found != hooks.end()) {
        // Hooking over another object would make this one's previous procedure
        // the hook procedure itself, which then calls itself for every
        // message: the other object lets go of the window first.
        CHookWindow* other = found->second;
        other->Unhook();
        other->m_hwnd = nullptr;
    }
    hooks.emplace(window, this);
    m_previousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG>(&CHookWindow::HookProc)));
    m_hwnd = window;
}

LRESULT CHookWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallPrevious(message, wParam, lParam);
}

CHookWindow* CHookWindow::FromHandle(HWND window) {
    HookTable& hooks = Hooks();
    auto found = hooks.find(window);
    return found == hooks.end() ? nullptr : found->second;
}

size_t CHookWindow::HookedWindowCount() {
    return Hooks().size();
}

LRESULT CHookWindow::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_previousProc)
        return DefWindowProcA(m_hwnd, message, wParam, lParam);
    return CallWindowProcA(m_previousProc, m_hwnd, message, wParam, lParam);
}

void CHookWindow::Unhook() {
    if (!m_hwnd)
        return;
    // The entry goes even when the window is already gone: a handle that is
    // reused later must not reach this object once it has been deleted.
    HookTable& hooks = Hooks();
    auto found = hooks.find(m_hwnd);
    if (found != hooks.end() && found->second == this)
        hooks.erase(found);
    if (IsWindow(m_hwnd) && m_previousProc)
        SetWindowLongA(m_hwnd, GWL_WNDPROC, reinterpret_cast<LONG>(m_previousProc));
    m_previousProc = nullptr;
}

LRESULT CALLBACK CHookWindow::HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CHookWindow* object = FromHandle(window);
    if (!object)
        return 0;
    // Taken first: handling the message may delete the object.
    const WNDPROC previous = object->m_previousProc;
    const auto windowsOwn = [=] {
        if (!previous)
            return DefWindowProcA(window, message, wParam, lParam);
        return CallWindowProcA(previous, window, message, wParam, lParam);
    };
    if (message == WM_NCDESTROY) {
        object->Attach(nullptr);
        return windowsOwn();
    }
    try {
        return object->WindowProc(message, wParam, lParam);
    } catch (...) {
        // What the skin could not finish, the window's own procedure does.
        return CallGuarded(LRESULT{0}, windowsOwn);
    }
}

} // namespace Velmora
