#include "SkinWindowSupport.h"

#include "Manager.h"
#include "SkinImages.h"

#include <map>

namespace {

constexpr char kClassName[] = "VelmoraSkinTestWindow";

std::map<HWND, WindowRecord> g_records;

} // namespace

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint = {};
        BeginPaint(window, &paint);
        WindowRecord& record = g_records[window];
        ++record.paints;
        record.lastPaint = paint.rcPaint;
        EndPaint(window, &paint);
        return 0;
    }
    case WM_NCDESTROY:
        g_records[window].procAtNcDestroy =
            reinterpret_cast<WNDPROC>(GetWindowLongA(window, GWL_WNDPROC));
        break;
    case WM_APP:
        return kAppResult;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

WindowRecord& RecordOf(HWND window) {
    return g_records[window];
}

bool LoadLooks() {
    return LoadSkinDescription("Z:" TEST_SOURCE_DIR "/looks.xml", nullptr, "look");
}

HWND CreateTestWindow(HWND parent, int x, int y, int width, int height, DWORD extraStyle) {
    RegisterTestClass(kClassName, TestWindowProc);
    const DWORD exStyle = parent ? 0 : WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    const DWORD style = (parent ? WS_CHILD | WS_VISIBLE : WS_POPUP) | extraStyle;
    HWND window = CreateWindowExA(exStyle, kClassName, "", style, x, y, width, height, parent,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!parent) {
        ShowWindow(window, SW_SHOWNOACTIVATE);
        UpdateWindow(window);
    }
    PumpMessages();
    return window;
}

void SkinWindowFixture::TearDown() {
    if (IsWindow(m_top))
        DestroyWindow(m_top);
    PumpMessages();
    g_records.clear();
    Velmora::CManager::Destroy();
}
