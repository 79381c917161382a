// Prints the time of one SB_THUMBTRACK step of a thumb drag, the list's repaint
// included, over a list view of 10 000 lines whose vertical bar the skin draws,
// against the same list with the system's own bar dragged by the system's own
// tracking in the same run, and their ratio (goal <= 1.5).
//
// The skinned bar is dragged with the mouse messages the skin handles
// (WM_NCLBUTTONDOWN on the thumb, then WM_MOUSEMOVE with the button down).
// The system's bar runs its own tracking loop; the same moves are posted to
// it, and a message filter hook repaints the list between two of them, so
// that each step pays for its repaint as on the skinned side.
//
// List views of the common controls set their bars through USER32's
// functions, which the skin intercepts. (Wine's own list box and edit
// control set theirs below USER32, where no interception reaches.)
#include "BenchClock.h"
#include "GDIImage.h"
#include "Manager.h"
#include "ScrollBarInterception.h"
#include "WindowScrollBars.h"

#include <commctrl.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace Velmora;

namespace {

constexpr int kLines = 10000;
constexpr int kListWidth = 300;
constexpr int kListHeight = 400;
constexpr int kSteps = 300;
constexpr int kRounds = 5;
constexpr int kCell = 16;

HWND g_repaintDuringTracking = nullptr;
int g_trackedMessages = 0;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        auto* display = reinterpret_cast<NMLVDISPINFOA*>(lParam);
        if (display->hdr.code == LVN_GETDISPINFOA && (display->item.mask & LVIF_TEXT))
            std::snprintf(display->item.pszText, display->item.cchTextMax, "line %d",
                          display->item.iItem);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK RepaintBetweenMoves(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_SCROLLBAR && g_repaintDuringTracking) {
        ++g_trackedMessages;
        UpdateWindow(g_repaintDuringTracking);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A sheet of 16 x 16 cells in eleven rows and four columns, and the
// descriptions that name it.
WindowInfo* AddSkin() {
    CManager* manager = CManager::Instance();
    auto sheet = std::make_unique<GDIImage>();
    if (!sheet->Allocate(4 * kCell, 11 * kCell, 24, 0))
        return nullptr;
    for (int y = 0; y < 11 * kCell; ++y) {
        uint8_t* pixel = sheet->GetRow(y);
        for (int x = 0; x < 4 * kCell; ++x, pixel += 3) {
            pixel[0] = static_cast<uint8_t>(40 + (y / kCell) * 15);
            pixel[1] = static_cast<uint8_t>(60 + (x / kCell) * 40);
            pixel[2] = static_cast<uint8_t>((x % kCell) * 12);
        }
    }
    sheet->SetId("bench.sheet");
    manager->Images().Add(std::move(sheet));
    auto bar = std::make_unique<ScrollBarInfo>();
    bar->id = "bench.bar";
    bar->width = kCell;
    bar->height = kCell;
    auto back = std::make_unique<ImageItem>();
    back->id = "scrollbar.back";
    back->imageId = "bench.sheet";
    back->index = 0;
    bar->drawItems.Add(std::move(back));
    manager->Descriptions(DescriptionType::ScrollBar).Add(std::move(bar));
    auto list = std::make_unique<WindowInfo>();
    list->id = "bench.list";
    list->scrollBarId = "bench.bar";
    return manager->Descriptions(DescriptionType::CommonCtrl).Add(std::move(list));
}

HWND CreateList(HWND parent, int x) {
    HWND list = CreateWindowExA(
        0, WC_LISTVIEWA, "",
        WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_OWNERDATA, x, 0, kListWidth,
        kListHeight, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = kListWidth - 40;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageA(list, LVM_SETITEMCOUNT, kLines, 0);
    return list;
}

int TopLine(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
}

// Back to the first line (list views do not take SB_TOP).
void ToTop(HWND list) {
    SendMessageA(list, LVM_ENSUREVISIBLE, 0, FALSE);
    UpdateWindow(list);
}

// Seconds per step of a drag of the skinned bar's thumb from the top down.
double DragSkinned(HWND list) {
    ToTop(list);
    RECT window = {};
    GetWindowRect(list, &window);
    // The thumb is at the top of the track, just below the up arrow.
    const POINT press = {window.right - kCell / 2, window.top + kCell + 2};
    POINT client = press;
    ScreenToClient(list, &client);
    const double start = Seconds();
    SendMessageA(list, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(press.x, press.y));
    for (int step = 1; step <= kSteps; ++step) {
        SendMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x, client.y + step));
        UpdateWindow(list);
    }
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y + kSteps));
    UpdateWindow(list);
    return (Seconds() - start) / kSteps;
}

// Seconds of one whole repaint of the list's rows, the part of every step
// that is the list's own.
double RepaintRows(HWND list) {
    const double start = Seconds();
    for (int step = 0; step < kSteps; ++step) {
        InvalidateRect(list, nullptr, TRUE);
        UpdateWindow(list);
    }
    return (Seconds() - start) / kSteps;
}

// The same drag on the system's bar, through the system's tracking.
double DragSystem(HWND list) {
    ToTop(list);
    SCROLLBARINFO bar = {};
    bar.cbSize = sizeof(bar);
    GetScrollBarInfo(list, OBJID_VSCROLL, &bar);
    const POINT press = {(bar.rcScrollBar.left + bar.rcScrollBar.right) / 2,
                         bar.rcScrollBar.top + bar.xyThumbTop + 2};
    POINT client = press;
    ScreenToClient(list, &client);
    for (int step = 1; step <= kSteps; ++step)
        PostMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x, client.y + step));
    PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y + kSteps));
    g_repaintDuringTracking = list;
    g_trackedMessages = 0;
    const double start = Seconds();
    SendMessageA(list, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(press.x, press.y));
    UpdateWindow(list);
    const double seconds = Seconds() - start;
    g_repaintDuringTracking = nullptr;
    return seconds / kSteps;
}

} // namespace

int main() {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    if (!InstallScrollBarInterception()) {
        std::printf("FAILED: the scroll-bar functions could not be intercepted\n");
        return 1;
    }
    WindowInfo* description = AddSkin();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VelmoraScrollDragBench";
    RegisterClassA(&windowClass);
    HWND top = CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "", WS_POPUP | WS_VISIBLE,
                               0, 0, 2 * kListWidth + 20, kListHeight, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    HWND skinned = CreateList(top, 0);
    HWND system = CreateList(top, kListWidth + 20);
    if (!description || !SkinnedScrollBars::Install(skinned, *CManager::Instance(), *description)) {
        std::printf("FAILED: the list's bars were not skinned\n");
        return 1;
    }
    HHOOK hook =
        SetWindowsHookExA(WH_MSGFILTER, RepaintBetweenMoves, nullptr, GetCurrentThreadId());
    PumpMessages();

    // Rounds alternate between the two, so that load from elsewhere on the
    // machine falls on both alike; the best round of each counts.
    double bestSkinned = 1e30;
    double bestSystem = 1e30;
    double bestRows = 1e30;
    // Where the drags left each list: every one must really have scrolled it
    // from the top, or the figures mean nothing.
    int skinnedTop = kLines;
    int systemTop = kLines;
    for (int round = 0; round < kRounds; ++round) {
        bestSkinned = std::min(bestSkinned, DragSkinned(skinned));
        skinnedTop = std::min(skinnedTop, TopLine(skinned));
        bestSystem = std::min(bestSystem, DragSystem(system));
        systemTop = std::min(systemTop, TopLine(system));
        bestRows = std::min(bestRows, RepaintRows(skinned));
        PumpMessages();
    }
    UnhookWindowsHookEx(hook);

    std::printf(
        "Thumb drag over a list view of %d lines, %d steps of one pixel, best of %d rounds\n",
        kLines, kSteps, kRounds);
    std::printf("skinned bar: %.3f ms/step, lowest top line after a drag %d\n", bestSkinned * 1e3,
                skinnedTop);
    std::printf("system bar:  %.3f ms/step, lowest top line after a drag %d (%d messages "
                "tracked)\n",
                bestSystem * 1e3, systemTop, g_trackedMessages);
    std::printf("the list's own repaint of its rows: %.3f ms\n", bestRows * 1e3);
    std::printf("ratio skinned/system: %.2f (goal <= 1.5)\n", bestSkinned / bestSystem);
    int result = 0;
    if (skinnedTop < kLines / 10 || systemTop < kLines / 10) {
        std::printf("FAILED: a drag did not scroll its list\n");
        result = 1;
    }
    SkinnedScrollBars::Release(skinned);
    DestroyWindow(top);
    PumpMessages();
    CManager::Destroy();
    RemoveScrollBarInterception();
    return result;
}
