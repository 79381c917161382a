// The interception of the USER32 scroll-bar functions: calls from this program
// and from other modules reach the interceptors and still do what the system
// does; removing it leaves the functions exactly as they were.
#include "ScrollBarInterception.h"
#include "UiProbe.h"

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

int ClientWidth(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client.right - client.left;
}

bool ArrowsUnavailable(HWND window) {
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof(bar);
    return GetScrollBarInfo(window, OBJID_VSCROLL, &bar) &&
           (bar.rgstate[1] & STATE_SYSTEM_UNAVAILABLE) &&
           (bar.rgstate[5] & STATE_SYSTEM_UNAVAILABLE);
}

class ScrollBarInterception : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(RegisterTestClass("ScrollBarInterceptionTest", DefWindowProcA));
        m_window = CreateWindowExA(0, "ScrollBarInterceptionTest", "scroll bars",
                                   WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL, 40, 40, 320, 240,
                                   nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_window, nullptr);
        ShowWindow(m_window, SW_SHOWNOACTIVATE);
        PumpMessages();
    }

    void TearDown() override {
        RemoveScrollBarInterception();
        DestroyWindow(m_window);
        PumpMessages();
    }

    // Calls each of the eight functions on the vertical bar the way a program
    // would and checks what the system answers and what the window shows;
    // each call reaches an interceptor when they are installed, none otherwise.
    void ExpectSystemBehaviour(bool intercepted) {
        const HWND w = m_window;
        const int withBar = ClientWidth(w);
        const struct {
            const char* name;
            bool (*call)(HWND, int withBar);
        } calls[] = {
            {"SetScrollRange",
             [](HWND w, int) { return SetScrollRange(w, SB_VERT, 10, 90, TRUE) != 0; }},
            {"SetScrollInfo",
             [](HWND w, int) {
                 SCROLLINFO set{sizeof(SCROLLINFO), SIF_PAGE | SIF_POS, 0, 0, 20, 40, 0};
                 return SetScrollInfo(w, SB_VERT, &set, TRUE) == 40;
             }},
            {"GetScrollInfo",
             [](HWND w, int) {
                 SCROLLINFO read{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
                 return GetScrollInfo(w, SB_VERT, &read) && read.nMin == 10 && read.nMax == 90 &&
                        read.nPage == 20 && read.nPos == 40;
             }},
            {"SetScrollPos", [](HWND w, int) { return SetScrollPos(w, SB_VERT, 45, TRUE) == 40; }},
            {"GetScrollPos", [](HWND w, int) { return GetScrollPos(w, SB_VERT) == 45; }},
            {"GetScrollRange",
             [](HWND w, int) {
                 int minimum = 0, maximum = 0;
                 return GetScrollRange(w, SB_VERT, &minimum, &maximum) && minimum == 10 &&
                        maximum == 90;
             }},
            {"EnableScrollBar",
             [](HWND w, int) {
                 return EnableScrollBar(w, SB_VERT, ESB_DISABLE_BOTH) && ArrowsUnavailable(w) &&
                        EnableScrollBar(w, SB_VERT, ESB_ENABLE_BOTH) && !ArrowsUnavailable(w);
             }},
            {"ShowScrollBar",
             [](HWND w, int withBar) {
                 const bool hidden = ShowScrollBar(w, SB_VERT, FALSE) &&
                                     !(GetWindowLongA(w, GWL_STYLE) & WS_VSCROLL) &&
                                     ClientWidth(w) == withBar + GetSystemMetrics(SM_CXVSCROLL);
                 return ShowScrollBar(w, SB_VERT, TRUE) && hidden && ClientWidth(w) == withBar;
             }},
        };
        for (const auto& call : calls) {
            const unsigned long before = ScrollBarInterceptionCalls();
            EXPECT_TRUE(call.call(w, withBar)) << call.name;
            // The system's own GetScrollPos and GetScrollRange may call the
            // intercepted GetScrollInfo as well.
            if (intercepted)
                EXPECT_GE(ScrollBarInterceptionCalls() - before, 1u) << call.name;
            else
                EXPECT_EQ(ScrollBarInterceptionCalls(), before) << call.name;
        }
    }

    HWND m_window = nullptr;
};

TEST_F(ScrollBarInterception, EachFunctionReachesItsInterceptorAndKeepsWhatTheSystemDoes) {
    ASSERT_TRUE(InstallScrollBarInterception());
    ExpectSystemBehaviour(true);
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

    // The list view of the common controls sets its own scroll bars, and the
    // list box of USER32 itself calls the functions without an import.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    const struct {
        const char* className;
        DWORD style, bar; // the bar that fifty rows need
    } lists[] = {{WC_LISTVIEWA, LVS_LIST, WS_HSCROLL}, {"LISTBOX", WS_VSCROLL, WS_VSCROLL}};
    for (const auto& [className, style, bar] : lists) {
        before = ScrollBarInterceptionCalls();
        HWND list = CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 200, 100,
                                    m_window, nullptr, nullptr, nullptr);
        ASSERT_NE(list, nullptr);
        for (int row = 0; row < 50; ++row) {
            std::string text = "row " + std::to_string(row);
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.pszText = &text[0];
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        UpdateWindow(list);
        PumpMessages();
        EXPECT_GT(ScrollBarInterceptionCalls(), before) << className;
        EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & bar) << className;
        DestroyWindow(list);
    }
}

// Installing twice is one install, removing twice is harmless, and a hundred
// rounds leave the entries and what the system does as they were.
TEST_F(ScrollBarInterception, RemovedInterceptionLeavesTheEntriesAsTheyWere) {
    const EntrySnapshot original = SnapshotEntries();
    RemoveScrollBarInterception();
    EXPECT_EQ(SnapshotEntries(), original);
    ASSERT_TRUE(InstallScrollBarInterception());
    const EntrySnapshot installed = SnapshotEntries();
    EXPECT_NE(installed, original);
    ASSERT_TRUE(InstallScrollBarInterception());
    EXPECT_EQ(SnapshotEntries(), installed);
    RemoveScrollBarInterception();
    EXPECT_EQ(SnapshotEntries(), original);
    RemoveScrollBarInterception();
    EXPECT_EQ(SnapshotEntries(), original);

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
    ExpectSystemBehaviour(false);
}

} // namespace
