#include "SkinTestSupport.h"

#include "SkinFiles.h"
#include "SkinPacker.h"

#include <string>

namespace {

constexpr char kPlainClass[] = "VelmoraTestPlainWindow";

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterPlainClass() {
    static const bool registered = [] {
        WNDCLASSA windowClass = {0,
                                 PlainProc,
                                 0,
                                 0,
                                 GetModuleHandleA(nullptr),
                                 nullptr,
                                 LoadCursor(nullptr, IDC_ARROW),
                                 static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)),
                                 nullptr,
                                 kPlainClass};
        return RegisterClassA(&windowClass) != 0;
    }();
    (void)registered;
}

} // namespace

std::string PaintingSkinDatabase(COLORREF fillColor) {
    const std::string description =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<theme>\r\n"
        "<cursor><item id=\"hand\" file=\"hand.cur\"/></cursor>"
        "<font><item id=\"label\" family=\"Tahoma\" size=\"-12\" bold=\"true\"/></font>"
        "<image><item id=\"red\" file=\"red.bmp\"/><item id=\"green\" file=\"green.bmp\"/>"
        "</image>\r\n<window>\r\n"
        "<item type=\"commonctrl\" id=\"commonctrl\"><property cursorid=\"hand\"/>"
        "<surface id=\"fill\" fillcolor=\"(" +
        std::to_string(GetRValue(fillColor)) + "," + std::to_string(GetGValue(fillColor)) + "," +
        std::to_string(GetBValue(fillColor)) +
        ")\" upperleftx=\"0\" upperlefty=\"0\" lowerrightx=\"0\" lowerrighty=\"0\"/>"
        "<line id=\"rule\" startx=\"0\" starty=\"30\" endx=\"100\" endy=\"30\" width=\"1\" "
        "linecolor=\"(0,0,255)\"/>"
        "<image id=\"pic\" imageid=\"red\" left=\"40\" top=\"40\" width=\"20\" height=\"20\"/>"
        "<text id=\"caption\" fontid=\"label\" left=\"70\" top=\"2\" content=\" \"/>"
        "</item>\r\n"
        "<item type=\"commonctrl\" id=\"plain\"><surface id=\"fill\" fillcolor=\"(0,255,0)\" "
        "upperleftx=\"0\" upperlefty=\"0\" lowerrightx=\"0\" lowerrighty=\"0\"/></item>\r\n"
        "<item type=\"dialog\" id=\"dialogonly\"/>\r\n"
        "</window>\r\n</theme>\r\n";
    return Velmora::BuildSkinDatabase({{"skin.xml", description},
                                       {"skin\\red.bmp", PictureBytes("red-4x4.bmp")},
                                       {"skin\\green.bmp", PictureBytes("green-4x4.bmp")},
                                       {"skin\\hand.cur", PictureBytes("arrow-32.cur")}});
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

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

COLORREF PixelOf(HWND window, int x, int y) {
    PumpMessages();
    UpdateWindow(window);
    HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}
