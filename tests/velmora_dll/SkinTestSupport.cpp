#include "SkinTestSupport.h"

#include "UiProbe.h"

#include <string>

namespace {

constexpr char kPlainClass[] = "VelmoraTestPlainWindow";

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterPlainClass() {
    RegisterTestClass(kPlainClass, PlainProc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

} // namespace

std::string PaintingSkinDatabase(const std::string& fill) {
    return ReadFileBytes("Z:" TEST_SOURCE_DIR "/fixtures/painting-" + fill + ".sdb");
}

HWND CreateTopWindow(int width, int height) {
    RegisterPlainClass();
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kPlainClass, "",
                                  WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    PumpMessages();
    return window;
}

HWND CreateChildWindow(HWND parent, int x, int y, int width, int height, int id) {
    RegisterPlainClass();
    return CreateWindowExA(0, kPlainClass, "", WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}

bool IsHooked(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)) != PlainProc;
}
