// Prints the cost of repainting the updater's progress bar at each of the 101
// positions from 0 to 100, skinned with the updater's skin in its skinned
// window, against the same bar in an unskinned copy of the window, measured in the
// same run, with and without its theme (goal: at most 2 times).
#include "BenchClock.h"
#include "Manager.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>

using Velmora::CManager;

namespace {

// The updater's window and its bar (updater/res).
constexpr int kUpdaterDialog = 102;
constexpr int kBar = 1015;
constexpr int kSweepsPerRound = 20;
constexpr int kRounds = 7;

INT_PTR CALLBACK BenchDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The window as the updater opens it: skinned or not, the bar at 210, 50, 340 x 31.
HWND OpenUpdaterWindow(bool skinned, int x) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kUpdaterDialog),
                                     nullptr, BenchDialogProc, 0);
    HWND bar = GetDlgItem(dialog, kBar);
    if (skinned) {
        CManager::Instance()->SkinWindow(dialog, 2, "dialog.update", false);
        CManager::Instance()->SkinWindow(bar, 19, "progress.update", false);
    }
    SetWindowPos(bar, HWND_TOP, 210, 50, 340, 31, 0);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SetWindowPos(dialog, nullptr, x, 0, 600, 200, SWP_NOZORDER);
    ShowWindow(dialog, SW_SHOW);
    PumpMessages();
    UpdateWindow(dialog);
    return dialog;
}

// Seconds per repaint of a sweep over every position.
double Sweep(HWND bar) {
    const double start = Seconds();
    for (int sweep = 0; sweep < kSweepsPerRound; ++sweep) {
        for (int position = 0; position <= 100; ++position) {
            SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
            UpdateWindow(bar);
        }
    }
    GdiFlush();
    const double seconds = (Seconds() - start) / (kSweepsPerRound * 101);
    PumpMessages();
    return seconds;
}

COLORREF PixelOf(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

} // namespace

int main() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    if (!CManager::Instance()->LoadSkinFolder(TARNWICK_SKIN)) {
        std::printf("FAILED: the updater's skin %s did not load\n", TARNWICK_SKIN);
        return 1;
    }
    HWND plain = OpenUpdaterWindow(false, 0);
    HWND classic = OpenUpdaterWindow(false, 0);
    HWND skinned = OpenUpdaterWindow(true, 640);
    HWND plainBar = GetDlgItem(plain, kBar);
    HWND classicBar = GetDlgItem(classic, kBar);
    SetWindowTheme(classicBar, L"", L"");
    HWND skinnedBar = GetDlgItem(skinned, kBar);
    if (!CManager::Instance()->FindSkinObject(skinnedBar, Velmora::SkinList::Progress)) {
        std::printf("FAILED: the bar was not skinned\n");
        return 1;
    }
    // The skinned bar shows the skin: its fill at half way, its track beyond.
    SendMessageA(skinnedBar, PBM_SETPOS, 50, 0);
    UpdateWindow(skinnedBar);
    const COLORREF fill = PixelOf(skinnedBar, 40, 24);
    const COLORREF track = PixelOf(skinnedBar, 300, 24);
    if (GetBValue(fill) < 200 || track != RGB(10, 13, 20)) {
        std::printf(
            "FAILED: the skinned bar shows %06lx and %06lx, not the skin's fill and track\n", fill,
            track);
        return 1;
    }

    // Rounds alternate between the two bars, so that load from elsewhere on
    // the machine falls on both alike.
    double unskinned = 1e30;
    double unthemed = 1e30;
    double skinnedTime = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        unskinned = std::min(unskinned, Sweep(plainBar));
        unthemed = std::min(unthemed, Sweep(classicBar));
        skinnedTime = std::min(skinnedTime, Sweep(skinnedBar));
    }
    std::printf("Progress bar 340 x 31, repainted at each of 101 positions, best of %d rounds\n",
                kRounds);
    std::printf("unskinned repaint, its theme on:  %8.1f us\n", unskinned * 1e6);
    std::printf("unskinned repaint, its theme off: %8.1f us\n", unthemed * 1e6);
    std::printf("skinned repaint:                  %8.1f us\n", skinnedTime * 1e6);
    std::printf("ratio skinned/unskinned: %.2f with the theme, %.2f without (goal <= 2)\n",
                skinnedTime / unskinned, skinnedTime / unthemed);

    DestroyWindow(skinned);
    DestroyWindow(plain);
    PumpMessages();
    CManager::Destroy();
    return 0;
}
