// Prints the cost of repainting a dialog of 50 push buttons whole, skinned with
// the gallery's sample skin once its buttons' state images exist, against the
// same dialog unskinned in the same run (goal: at most 1.5 times), the first
// paint that builds the state images, and the cost of a hover change, which
// must repaint the one button and not the dialog.
#include "BenchClock.h"
#include "Manager.h"
#include "Window.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>

using Velmora::CManager;

namespace {

constexpr int kDialogTemplate = 100;
constexpr int kButtonCount = 50;
constexpr int kFirstButton = 100;
constexpr int kRepaintsPerRound = 100;
constexpr int kHoversPerRound = 400;
constexpr int kRounds = 7;

INT_PTR CALLBACK BenchDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

HWND OpenDialog(int x) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kDialogTemplate),
                                     nullptr, BenchDialogProc, 0);
    SetWindowPos(dialog, nullptr, x, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PumpMessages();
    return dialog;
}

void RepaintWhole(HWND dialog) {
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// Seconds per call.
double Time(int calls, const std::function<void()>& work) {
    const double start = Seconds();
    for (int call = 0; call < calls; ++call)
        work();
    GdiFlush();
    const double seconds = (Seconds() - start) / calls;
    PumpMessages();
    return seconds;
}

// Seconds per call of the best of the rounds.
double Best(int calls, const std::function<void()>& work) {
    double best = 1e30;
    for (int round = 0; round < kRounds; ++round)
        best = std::min(best, Time(calls, work));
    return best;
}

} // namespace

int main() {
    if (!CManager::Instance()->LoadSkinFolder(GALLERY_SKIN)) {
        std::printf("FAILED: the gallery skin %s did not load\n", GALLERY_SKIN);
        return 1;
    }
    HWND plain = OpenDialog(0);
    HWND skinned = OpenDialog(640);
    CManager::Instance()->SkinWindow(skinned, 2, nullptr, true);
    HWND button = GetDlgItem(skinned, kFirstButton + 22);
    if (!CManager::Instance()->FindSkinObject(skinned, Velmora::SkinList::Dialog) ||
        !CManager::Instance()->FindSkinObject(button, Velmora::SkinList::Button)) {
        std::printf("FAILED: the dialog or its buttons were not skinned\n");
        return 1;
    }
    RepaintWhole(plain);
    RepaintWhole(skinned);
    PumpMessages();
    // The buttons really show the skin: the plate's fill, not the system's face.
    RECT client = {};
    GetClientRect(button, &client);
    HDC dc = GetDC(button);
    const COLORREF plate = GetPixel(dc, 4, client.bottom / 2);
    ReleaseDC(button, dc);
    if (plate != RGB(37, 42, 53)) {
        std::printf("FAILED: a skinned button shows %06lx, not the skin's plate\n", plate);
        return 1;
    }

    // The first paint after a rebuild paints every button's eight state images.
    const double building = Best(1, [skinned] {
        for (int id = kFirstButton; id < kFirstButton + kButtonCount; ++id)
            CManager::Instance()->FindSkinObject(GetDlgItem(skinned, id), 3)->Redraw(true, nullptr);
        RepaintWhole(skinned);
    });
    // Rounds alternate between the two dialogs, so that load from elsewhere
    // on the machine falls on both alike.
    double unskinnedRepaint = 1e30;
    double skinnedRepaint = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        unskinnedRepaint =
            std::min(unskinnedRepaint, Time(kRepaintsPerRound, [plain] { RepaintWhole(plain); }));
        skinnedRepaint =
            std::min(skinnedRepaint, Time(kRepaintsPerRound, [skinned] { RepaintWhole(skinned); }));
    }

    // The mouse on the button, so that the system does not end the hover.
    RECT rect = {};
    GetWindowRect(button, &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PumpMessages();
    bool dialogRepainted = false;
    bool hovered = false;
    const double hover = Best(kHoversPerRound, [&] {
        hovered = !hovered;
        SendMessageA(button, hovered ? WM_MOUSEMOVE : WM_MOUSELEAVE, 0, MAKELPARAM(5, 5));
        dialogRepainted = dialogRepainted || GetUpdateRect(skinned, nullptr, FALSE);
        UpdateWindow(button);
    });

    std::printf("Dialog of %d push buttons, best of %d rounds\n", kButtonCount, kRounds);
    std::printf("unskinned whole repaint:                  %8.3f ms\n", unskinnedRepaint * 1e3);
    std::printf("skinned whole repaint, state images built: %8.3f ms\n", skinnedRepaint * 1e3);
    std::printf("ratio skinned/unskinned: %.2f (goal <= 1.5)\n", skinnedRepaint / unskinnedRepaint);
    std::printf("first paint building %d x 8 state images:  %8.3f ms\n", kButtonCount,
                building * 1e3);
    std::printf("hover change (one button repainted):      %8.3f ms, %.1f%% of a skinned whole "
                "repaint; dialog repainted by it: %s\n",
                hover * 1e3, 100.0 * hover / skinnedRepaint, dialogRepainted ? "YES" : "no");

    DestroyWindow(skinned);
    DestroyWindow(plain);
    PumpMessages();
    CManager::Destroy();
    return dialogRepainted ? 1 : 0;
}
