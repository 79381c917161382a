// Skinned edits and combo boxes in a skinned window: the cue text coming and
// going with the focus (and never over text of the edit's own), the border and
// background colours in each state read back from the screen, and the combo
// box's looks, kept "over" while its list is dropped down.
#include "ControlSkin.h"
#include "Manager.h"

#include <algorithm>
#include <functional>
#include <string>

namespace {

constexpr COLORREF kFill = RGB(250, 250, 200);
constexpr COLORREF kOverFill = RGB(200, 250, 250);
constexpr COLORREF kDisabledFill = RGB(180, 180, 180);
constexpr COLORREF kBorder = RGB(200, 0, 0);
constexpr COLORREF kOverBorder = RGB(0, 160, 0);
constexpr COLORREF kCueColor = RGB(255, 0, 0);
constexpr COLORREF kTextColor = RGB(0, 0, 128);
constexpr COLORREF kComboNormal = RGB(10, 10, 200);
constexpr COLORREF kComboOver = RGB(10, 200, 10);
constexpr COLORREF kComboDown = RGB(200, 10, 10);

std::string TextOf(HWND window) {
    char text[64] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

int PixelsOf(HWND window, const RECT& area, const std::function<bool(COLORREF)>& counts) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const std::vector<COLORREF> pixels = ClientPixels(window, area);
    return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), counts));
}

COLORREF BrushColor(HBRUSH brush) {
    LOGBRUSH description = {};
    GetObjectA(brush, sizeof(description), &description);
    return description.lbColor;
}

// Controls made on the skinned panel.
class EditComboTest : public ControlSkinTest {
  protected:
    HWND Control(const char* className, const char* text, DWORD style, int y, int kind,
                 const char* id, DWORD exStyle = 0) {
        HWND control = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 10,
                                       y, 200, 24, m_top, nullptr, nullptr, nullptr);
        EXPECT_EQ(Velmora::CManager::Instance()->SkinWindow(control, kind, id, false), 1);
        PumpMessages();
        return control;
    }
};

TEST_F(EditComboTest, CueComesAndGoesWithTheFocusAndNeverReplacesText) {
    HWND empty = Control("Edit", "", 0, 10, 7, "edit");
    HWND filled = Control("Edit", "filled", 0, 40, 7, "edit");
    const auto pixels = [&](COLORREF color) {
        return PixelsOf(empty, {0, 0, 120, 20}, [color](COLORREF c) { return c == color; });
    };
    const struct {
        const char* what;
        std::function<void()> action;
        const char* emptyText;
        bool cueColored;
    } steps[] = {
        {"skinned", [] {}, "type here", true},
        {"focused", [&] { SetFocus(empty); }, "", false},
        {"left empty", [&] { SetFocus(filled); }, "type here", true},
        {"typed into and left",
         [&] {
             SetFocus(empty);
             SendMessageA(empty, WM_CHAR, 'a', 0);
             SendMessageA(empty, WM_CHAR, 'b', 0);
             SetFocus(filled);
         },
         "ab", false},
        {"new cue: only the empty edit shows it",
         [&] {
             SetWindowTextA(empty, "");
             Velmora::CManager::Instance()->SetDrawItemValue(empty, 7, "edittips", "new cue");
             Velmora::CManager::Instance()->SetDrawItemValue(filled, 7, "edittips", "new cue");
         },
         "new cue", true},
        {"the program's text while the cue shows stays",
         [&] {
             SetWindowTextA(empty, "program");
             SetFocus(empty);
             SetFocus(filled);
         },
         "program", false},
    };
    for (const auto& step : steps) {
        step.action();
        EXPECT_EQ(TextOf(empty), step.emptyText) << step.what;
        EXPECT_EQ(TextOf(filled), "filled") << step.what;
        EXPECT_EQ(pixels(kCueColor) > 0, step.cueColored) << step.what;
        if (!step.cueColored && step.emptyText[0]) {
            EXPECT_GT(pixels(kTextColor), 0) << step.what;
        }
    }
}

TEST_F(EditComboTest, BordersAndBackgroundsFollowTheState) {
    HWND edit = Control("Edit", "", 0, 10, 7, "edit", WS_EX_CLIENTEDGE);
    HWND bare = Control("Edit", "", 0, 40, 7, "bare", WS_EX_CLIENTEDGE);
    HWND plain = Control("Edit", "x", 0, 70, 7, "plain");
    HWND disabled = Control("Edit", "x", WS_DISABLED, 100, 7, "edit");
    HWND readOnly = Control("Edit", "x", ES_READONLY, 130, 7, "edit");
    // A skin that draws no border of its own takes the system's away.
    EXPECT_TRUE(GetWindowLongA(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(GetWindowLongA(bare, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    const auto hover = [](HWND window) { SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)); };
    const struct {
        const char* what;
        HWND window;
        std::function<void()> action;
        int x, y; // of the window; the edit's sunken edge is 2 wide
        COLORREF color;
    } rows[] = {
        {"normal border", edit, [] {}, 0, 0, kBorder},
        {"normal fill", edit, [] {}, 190, 15, kFill},
        {"hovered border", edit, [&] { hover(edit); }, 0, 0, kOverBorder},
        {"hovered fill", edit, [] {}, 190, 15, kOverFill},
        {"disabled fill", disabled, [] {}, 190, 15, kDisabledFill},
        {"read-only fill", readOnly, [] {}, 190, 15, kDisabledFill},
        {"no over look: hovered keeps the normal fill", plain, [&] { hover(plain); }, 190, 15,
         kFill},
    };
    for (const auto& row : rows) {
        row.action();
        EXPECT_EQ(RepaintedPixel(row.window, row.x, row.y), row.color) << row.what;
    }
    // The brushes the panel answers the colour messages with.
    HDC dc = GetDC(m_top);
    const auto brush = [&](UINT message, HWND child) {
        return reinterpret_cast<HBRUSH>(SendMessageA(m_top, message, reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(child)));
    };
    EXPECT_EQ(BrushColor(brush(WM_CTLCOLORSTATIC, disabled)), kDisabledFill);
    EXPECT_EQ(BrushColor(brush(WM_CTLCOLOREDIT, plain)), kFill);
    ReleaseDC(m_top, dc);
}

TEST_F(EditComboTest, ComboShowsItsStatesAndOverWhileDroppedDown) {
    HWND combo = Control("ComboBox", "", CBS_DROPDOWNLIST, 10, 9, "combo");
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("first"));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    // Outside the item rectangle the skin paints; inside, the combo box its item.
    const int x = info.rcItem.right + 4;
    EXPECT_GT(PixelsOf(combo, info.rcItem,
                       [](COLORREF c) {
                           return c != kComboNormal && c != kComboOver && c != kComboDown;
                       }),
              0);
    const struct {
        const char* what;
        std::function<void()> action;
        COLORREF color;
    } steps[] = {
        {"normal", [] {}, kComboNormal},
        {"dropped down, the mouse elsewhere",
         [&] { SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0); }, kComboOver},
        {"closed", [&] { SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0); }, kComboNormal},
        {"hovered", [&] { SendMessageA(combo, WM_MOUSEMOVE, 0, MAKELPARAM(x, 5)); }, kComboOver},
        {"pressed", [&] { SendMessageA(combo, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5)); },
         kComboDown},
        {"left",
         [&] {
             SendMessageA(combo, WM_LBUTTONUP, 0, MAKELPARAM(x, 5));
             SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
             SendMessageA(combo, WM_MOUSELEAVE, 0, 0);
         },
         kComboNormal},
    };
    for (const auto& step : steps) {
        step.action();
        EXPECT_EQ(RepaintedPixel(combo, x, 5), step.color) << step.what;
    }
}

} // namespace
