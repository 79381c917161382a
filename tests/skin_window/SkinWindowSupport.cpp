#include "SkinWindowSupport.h"

#include <map>

namespace {

constexpr char kClassName[] = "VelmoraSkinTestWindow";

std::map<HWND, WindowRecord>& Records() {
    static std::map<HWND, WindowRecord> records;
    return records;
}

LRESULT CALLBACK ClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint = {};
        BeginPaint(window, &paint);
        WindowRecord& record = Records()[window];
        ++record.paints;
        record.lastPaint = paint.rcPaint;
        EndPaint(window, &paint);
        return 0;
    }
    case WM_NCDESTROY: {
        WindowRecord& record = Records()[window];
        record.ncDestroyed = true;
        record.procAtNcDestroy = reinterpret_cast<WNDPROC>(GetWindowLongA(window, GWL_WNDPROC));
        break;
    }
    case WM_APP:
        return kAppResult;
    case WM_DRAWITEM:
        return kDrawItemResult;
    case WM_CTLCOLORBTN:
        return kCtlColorResult;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterOnce() {
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ClassProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    registered = true;
}

} // namespace

WNDPROC TestWindowProc() {
    return ClassProc;
}

WindowRecord& RecordOf(HWND window) {
    return Records()[window];
}

void ForgetRecords() {
    Records().clear();
}

HWND CreateTopWindow(int x, int y, int width, int height) {
    RegisterOnce();
    HWND window =
        CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, x, y, width,
                        height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    PumpMessages();
    return window;
}

HWND CreateChildWindow(HWND parent, int x, int y, int width, int height, DWORD extraStyle) {
    RegisterOnce();
    HWND window =
        CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE | extraStyle, x, y, width, height,
                        parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    PumpMessages();
    return window;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

RECT RectInParent(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ResetPaints(HWND window) {
    UpdateWindow(window);
    PumpMessages();
    ValidateRect(window, nullptr);
    RecordOf(window).paints = 0;
    RecordOf(window).lastPaint = RECT{};
}

COLORREF PixelOf(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

std::unique_ptr<Velmora::TextItem> MakeText(const std::string& id, int index, int left, int top,
                                            int width, int height) {
    auto item = std::make_unique<Velmora::TextItem>();
    item->id = id;
    item->index = index;
    item->left = left;
    item->top = top;
    item->width = width;
    item->height = height;
    return item;
}

std::unique_ptr<Velmora::ImageItem> MakeImage(const std::string& id, int index, int left, int top,
                                              int width, int height) {
    auto item = std::make_unique<Velmora::ImageItem>();
    item->id = id;
    item->index = index;
    item->left = left;
    item->top = top;
    item->width = width;
    item->height = height;
    return item;
}

std::unique_ptr<Velmora::SurfaceItem> MakeFill(const std::string& id, int index, int left, int top,
                                               int right, int bottom, COLORREF color, int state) {
    auto item = std::make_unique<Velmora::SurfaceItem>();
    item->id = id;
    item->index = index;
    item->state = state;
    item->fillColor = color;
    item->borderColor = Velmora::kNoColor;
    item->upperLeftX = left;
    item->upperLeftY = top;
    item->lowerRightX = right;
    item->lowerRightY = bottom;
    return item;
}

std::unique_ptr<Velmora::LineItem> MakeLine(const std::string& id, int index, int x1, int y1,
                                            int x2, int y2, COLORREF color) {
    auto item = std::make_unique<Velmora::LineItem>();
    item->id = id;
    item->index = index;
    item->startX = x1;
    item->startY = y1;
    item->endX = x2;
    item->endY = y2;
    item->width = 1;
    item->lineColor = color;
    return item;
}
