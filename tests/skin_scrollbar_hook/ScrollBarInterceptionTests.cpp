// The interception of the USER32 scroll-bar functions: calls from this program
// and from other modules reach the interceptors and still do what the system
// does; removing it leaves the functions exactly as they were.
#include "ScrollBarInterception.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

namespace {

using Velmora::InstallScrollBarInterception;
using Velmora::RemoveScrollBarInterception;
using Velmora::ScrollBarInterceptionCalls;

const char* const kFunctionNames[] = {"SetScrollInfo", "GetScrollInfo",  "SetScrollPos",
                                      "GetScrollPos",  "SetScrollRange", "GetScrollRange",
                                      "ShowScrollBar", "EnableScrollBar"};
constexpr std::size_t kEntryBytes = 16;
using EntrySnapshot = std::array<std::array<BYTE, kEntryBytes>, 8>;

EntrySnapshot SnapshotEntries() {
    EntrySnapshot snapshot{};
    HMODULE user32 = GetModuleHandleA("user32.dll");
    for (std::size_t i = 0; i < snapshot.size(); ++i) {
        const void* entry =
            reinterpret_cast<const void*>(GetProcAddress(user32, kFunctionNames[i]));
        std::memcpy(snapshot[i].data(), entry, kEntryBytes);
    }
    return snapshot;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

int ClientWidth(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client.right - client.left;
}

class ScrollBarInterception : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "ScrollBarInterceptionTest";
        RegisterClassA(&windowClass);
        m_window = CreateWindowExA(0, windowClass.lpszClassName, "scroll bars",
                                   WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL, 40, 40, 320, 240,
                                   nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(m_window, nullptr);
        ShowWindow(m_window, SW_SHOWNOACTIVATE);
        PumpMessages();
    }

    void TearDown() override {
        RemoveScrollBarInterception();
        DestroyWindow(m_window);
        PumpMessages();
    }

    // Sets and reads back the vertical bar through all eight functions, the
    // way a program would, and checks what the window shows.
    void ExpectSystemBehaviour() {
        EXPECT_TRUE(SetScrollRange(m_window, SB_VERT, 10, 90, TRUE));
        SetScrollPos(m_window, SB_VERT, 40, TRUE);
        EXPECT_EQ(GetScrollPos(m_window, SB_VERT), 40);
        EXPECT_EQ(SetScrollPos(m_window, SB_VERT, 45, TRUE), 40);

        int minimum = 0;
        int maximum = 0;
        EXPECT_TRUE(GetScrollRange(m_window, SB_VERT, &minimum, &maximum));
        EXPECT_EQ(minimum, 10);
        EXPECT_EQ(maximum, 90);

        SCROLLINFO set{sizeof(SCROLLINFO), SIF_PAGE, 0, 0, 20, 0, 0};
        SetScrollInfo(m_window, SB_VERT, &set, TRUE);
        SCROLLINFO read{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
        EXPECT_TRUE(GetScrollInfo(m_window, SB_VERT, &read));
        EXPECT_EQ(read.nMin, 10);
        EXPECT_EQ(read.nMax, 90);
        EXPECT_EQ(read.nPage, 20u);
        EXPECT_EQ(read.nPos, 45);

        EXPECT_TRUE(EnableScrollBar(m_window, SB_VERT, ESB_DISABLE_BOTH));
        SCROLLBARINFO bar{};
        bar.cbSize = sizeof(bar);
        ASSERT_TRUE(GetScrollBarInfo(m_window, OBJID_VSCROLL, &bar));
        EXPECT_TRUE(bar.rgstate[1] & STATE_SYSTEM_UNAVAILABLE); // up arrow
        EXPECT_TRUE(bar.rgstate[5] & STATE_SYSTEM_UNAVAILABLE); // down arrow
        EXPECT_TRUE(EnableScrollBar(m_window, SB_VERT, ESB_ENABLE_BOTH));
        ASSERT_TRUE(GetScrollBarInfo(m_window, OBJID_VSCROLL, &bar));
        EXPECT_FALSE(bar.rgstate[1] & STATE_SYSTEM_UNAVAILABLE);
        EXPECT_FALSE(bar.rgstate[5] & STATE_SYSTEM_UNAVAILABLE);

        const int withBar = ClientWidth(m_window);
        EXPECT_TRUE(ShowScrollBar(m_window, SB_VERT, FALSE));
        EXPECT_FALSE(GetWindowLongA(m_window, GWL_STYLE) & WS_VSCROLL);
        EXPECT_EQ(ClientWidth(m_window), withBar + GetSystemMetrics(SM_CXVSCROLL));
        EXPECT_TRUE(ShowScrollBar(m_window, SB_VERT, TRUE));
        EXPECT_TRUE(GetWindowLongA(m_window, GWL_STYLE) & WS_VSCROLL);
        EXPECT_EQ(ClientWidth(m_window), withBar);
    }

    HWND m_window = nullptr;
};

TEST_F(ScrollBarInterception, EachFunctionReachesItsInterceptorAndTheSystem) {
    ASSERT_TRUE(InstallScrollBarInterception());
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 50, 10, 5, 0};
    int minimum = 0;
    int maximum = 0;
    const struct {
        const char* name;
        bool (*call)(HWND, SCROLLINFO&, int&, int&);
    } calls[] = {
        {"SetScrollInfo", [](HWND w, SCROLLINFO& i, int&,
                             int&) { return SetScrollInfo(w, SB_HORZ, &i, TRUE) == 5; }},
        {"GetScrollInfo",
         [](HWND w, SCROLLINFO& i, int&, int&) { return GetScrollInfo(w, SB_HORZ, &i) != 0; }},
        {"SetScrollPos",
         [](HWND w, SCROLLINFO&, int&, int&) { return SetScrollPos(w, SB_HORZ, 7, TRUE) == 5; }},
        {"GetScrollPos",
         [](HWND w, SCROLLINFO&, int&, int&) { return GetScrollPos(w, SB_HORZ) == 7; }},
        {"SetScrollRange", [](HWND w, SCROLLINFO&, int&,
                              int&) { return SetScrollRange(w, SB_HORZ, 2, 60, TRUE) != 0; }},
        {"GetScrollRange",
         [](HWND w, SCROLLINFO&, int& lo, int& hi) {
             return GetScrollRange(w, SB_HORZ, &lo, &hi) && lo == 2 && hi == 60;
         }},
        {"ShowScrollBar",
         [](HWND w, SCROLLINFO&, int&, int&) { return ShowScrollBar(w, SB_HORZ, TRUE) != 0; }},
        {"EnableScrollBar",
         [](HWND w, SCROLLINFO&, int&, int&) {
             return EnableScrollBar(w, SB_HORZ, ESB_DISABLE_LEFT) != 0;
         }},
    };
    for (const auto& call : calls) {
        const unsigned long before = ScrollBarInterceptionCalls();
        EXPECT_TRUE(call.call(m_window, info, minimum, maximum)) << call.name;
        EXPECT_GE(ScrollBarInterceptionCalls() - before, 1u) << call.name;
    }
}

TEST_F(ScrollBarInterception, InstalledInterceptionKeepsWhatTheSystemDoes) {
    ASSERT_TRUE(InstallScrollBarInterception());
    const unsigned long before = ScrollBarInterceptionCalls();
    ExpectSystemBehaviour();
    // Eleven calls; the system's own GetScrollPos and GetScrollRange may use
    // GetScrollInfo, which is intercepted as well.
    EXPECT_GE(ScrollBarInterceptionCalls() - before, 11u);
}

TEST_F(ScrollBarInterception, CallsFromOtherModulesAndLookedUpEntriesAreIntercepted) {
    ASSERT_TRUE(InstallScrollBarInterception());

    using SetScrollPosFunction = int(WINAPI*)(HWND, int, int, BOOL);
    auto lookedUp = reinterpret_cast<SetScrollPosFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetScrollPos")));
    SetScrollRange(m_window, SB_VERT, 0, 100, FALSE);
    SetScrollPos(m_window, SB_VERT, 33, FALSE);
    unsigned long before = ScrollBarInterceptionCalls();
    EXPECT_EQ(lookedUp(m_window, SB_VERT, 34, FALSE), 33);
    EXPECT_EQ(ScrollBarInterceptionCalls() - before, 1u);
    EXPECT_EQ(GetScrollPos(m_window, SB_VERT), 34);

    // The list view of the common controls sets its own scroll bars.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    before = ScrollBarInterceptionCalls();
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 200,
                                100, m_window, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(list, nullptr);
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = 400;
    column.pszText = const_cast<char*>("name");
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    for (int row = 0; row < 50; ++row) {
        std::string text = "row " + std::to_string(row);
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = &text[0];
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    UpdateWindow(list);
    PumpMessages();
    EXPECT_GT(ScrollBarInterceptionCalls(), before);
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL);
    DestroyWindow(list);

    // The list box of USER32 itself calls the functions without an import.
    before = ScrollBarInterceptionCalls();
    HWND box = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 200, 100,
                               m_window, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(box, nullptr);
    for (int row = 0; row < 50; ++row)
        SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("item"));
    UpdateWindow(box);
    PumpMessages();
    EXPECT_GT(ScrollBarInterceptionCalls(), before);
    EXPECT_TRUE(GetWindowLongA(box, GWL_STYLE) & WS_VSCROLL);
    DestroyWindow(box);
}

TEST_F(ScrollBarInterception, RemovedInterceptionLeavesTheEntriesAsTheyWere) {
    const EntrySnapshot original = SnapshotEntries();
    ASSERT_TRUE(InstallScrollBarInterception());
    EXPECT_NE(SnapshotEntries(), original);
    RemoveScrollBarInterception();
    EXPECT_EQ(SnapshotEntries(), original);

    const unsigned long before = ScrollBarInterceptionCalls();
    ExpectSystemBehaviour();
    EXPECT_EQ(ScrollBarInterceptionCalls(), before);
}

TEST_F(ScrollBarInterception, InstallingTwiceIsOneInstallAndRemovingTwiceIsHarmless) {
    const EntrySnapshot original = SnapshotEntries();
    RemoveScrollBarInterception();
    EXPECT_EQ(SnapshotEntries(), original);

    ASSERT_TRUE(InstallScrollBarInterception());
    const EntrySnapshot installed = SnapshotEntries();
    ASSERT_TRUE(InstallScrollBarInterception());
    EXPECT_EQ(SnapshotEntries(), installed);
    unsigned long before = ScrollBarInterceptionCalls();
    SetScrollPos(m_window, SB_VERT, 3, FALSE);
    EXPECT_EQ(ScrollBarInterceptionCalls() - before, 1u);

    RemoveScrollBarInterception();
    EXPECT_EQ(SnapshotEntries(), original);
    RemoveScrollBarInterception();
    EXPECT_EQ(SnapshotEntries(), original);
    before = ScrollBarInterceptionCalls();
    GetScrollPos(m_window, SB_VERT);
    EXPECT_EQ(ScrollBarInterceptionCalls(), before);
}

TEST_F(ScrollBarInterception, HundredInstallsAndRemovalsChangeNothing) {
    const EntrySnapshot original = SnapshotEntries();
    SetScrollRange(m_window, SB_VERT, 0, 1000, FALSE);
    for (int round = 0; round < 100; ++round) {
        ASSERT_TRUE(InstallScrollBarInterception());
        const unsigned long before = ScrollBarInterceptionCalls();
        SetScrollPos(m_window, SB_VERT, round, FALSE);
        ASSERT_EQ(ScrollBarInterceptionCalls() - before, 1u);
        RemoveScrollBarInterception();
        ASSERT_EQ(GetScrollPos(m_window, SB_VERT), round);
        ASSERT_EQ(ScrollBarInterceptionCalls() - before, 1u);
    }
    EXPECT_EQ(SnapshotEntries(), original);
    ExpectSystemBehaviour();
}

} // namespace
