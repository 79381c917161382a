// Skinned edits and combo boxes in a skinned window: the cue text coming and
// going with the focus (and never over text of the edit's own), the border and
// background colours in each state read back from the screen, and the combo
// box's looks, kept "over" while its list is dropped down.
#include "Manager.h"
#include "SkinDescription.h"
#include "XmlDocument.h"

#include <gtest/gtest.h>
#include <windows.h>

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

const char kSkin[] = R"xml(<theme><window>
  <item type="commonctrl" id="panel"/>
  <item type="edit" id="edit"><property textcolor="(0,0,128)"/>
    <surface state="normal" bordercolor="(200,0,0)" borderwidth="1" fillcolor="(250,250,200)"/>
    <surface state="over" bordercolor="(0,160,0)" borderwidth="1" fillcolor="(200,250,250)"/>
    <surface state="disable" fillcolor="(180,180,180)"/>
    <text id="edittips" content="type here" textcolor="(255,0,0)"/></item>
  <item type="edit" id="plain"><surface state="normal" fillcolor="(250,250,200)"/></item>
  <item type="edit" id="bare"><text id="edittips" content="cue"/></item>
  <item type="combobox" id="combo">
    <surface state="normal" fillcolor="(10,10,200)" lowerrightx="0" lowerrighty="0"/>
    <surface state="over" fillcolor="(10,200,10)" lowerrightx="0" lowerrighty="0"/>
    <surface state="down" fillcolor="(200,10,10)" lowerrightx="0" lowerrighty="0"/></item>
</window></theme>)xml";

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::string TextOf(HWND window) {
    char text[64] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

// Pixels of the client area (or, with whole, the window) after a repaint.
COLORREF PixelOf(HWND window, int x, int y, bool whole = false) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    HDC dc = whole ? GetWindowDC(window) : GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

int PixelsOf(HWND window, const RECT& area, const std::function<bool(COLORREF)>& counts) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(window);
    int found = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x)
            found += counts(GetPixel(dc, x, y)) ? 1 : 0;
    }
    ReleaseDC(window, dc);
    return found;
}

COLORREF BrushColor(HBRUSH brush) {
    LOGBRUSH description = {};
    GetObjectA(brush, sizeof(description), &description);
    return description.lbColor;
}

// A skinned panel of a class of its own, with controls made on it.
class EditComboTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Velmora::CXmlDocument xml;
        ASSERT_TRUE(xml.SetDocument(kSkin));
        ASSERT_EQ(Velmora::ParseSkinDescription(*Manager(), xml, nullptr, "skin"), 1);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VelmoraEditPanel";
        RegisterClassA(&windowClass);
        m_panel = CreateWindowExA(WS_EX_TOPMOST, "VelmoraEditPanel", "", WS_POPUP | WS_VISIBLE, 0,
                                  0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_EQ(Manager()->SkinWindow(m_panel, 1, "panel", false), 1);
        SetForegroundWindow(m_panel);
    }
    void TearDown() override {
        DestroyWindow(m_panel);
        PumpMessages();
        Velmora::CManager::Destroy();
    }
    static Velmora::CManager* Manager() { return Velmora::CManager::Instance(); }
    HWND Control(const char* className, const char* text, DWORD style, int y, int kind,
                 const char* id, DWORD exStyle = 0) {
        HWND control = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 10,
                                       y, 200, 24, m_panel, nullptr, nullptr, nullptr);
        EXPECT_EQ(Manager()->SkinWindow(control, kind, id, false), 1);
        PumpMessages();
        return control;
    }
    HWND m_panel = nullptr;
};

TEST_F(EditComboTest, CueComesAndGoesWithTheFocusAndNeverReplacesText) {
    HWND empty = Control("Edit", "", 0, 10, 7, "edit");
    HWND filled = Control("Edit", "filled", 0, 40, 7, "edit");
    const auto cuePixels = [&] {
        return PixelsOf(empty, {0, 0, 120, 20}, [](COLORREF c) { return c == kCueColor; });
    };
    const auto textPixels = [&] {
        return PixelsOf(empty, {0, 0, 120, 20}, [](COLORREF c) { return c == kTextColor; });
    };
    const struct {
        const char* what;
        std::function<void()> action;
        const char* emptyText;
        const char* filledText;
        bool cueColored;
    } steps[] = {
        {"skinned", [] {}, "type here", "filled", true},
        {"focused", [&] { SetFocus(empty); }, "", "filled", false},
        {"left empty", [&] { SetFocus(filled); }, "type here", "filled", true},
        {"typed into and left",
         [&] {
             SetFocus(empty);
             SendMessageA(empty, WM_CHAR, 'a', 0);
             SendMessageA(empty, WM_CHAR, 'b', 0);
             SetFocus(filled);
         },
         "ab", "filled", false},
        {"new cue: only the empty edit shows it",
         [&] {
             SetWindowTextA(empty, "");
             Manager()->SetDrawItemValue(empty, 7, "edittips", "new cue");
             Manager()->SetDrawItemValue(filled, 7, "edittips", "new cue");
         },
         "new cue", "filled", true},
        {"the program's text while the cue shows stays",
         [&] {
             SetWindowTextA(empty, "program");
             SetFocus(empty);
             SetFocus(filled);
         },
         "program", "filled", false},
    };
    for (const auto& step : steps) {
        step.action();
        EXPECT_EQ(TextOf(empty), step.emptyText) << step.what;
        EXPECT_EQ(TextOf(filled), step.filledText) << step.what;
        EXPECT_EQ(cuePixels() > 0, step.cueColored) << step.what;
        if (!step.cueColored && step.emptyText[0]) {
            EXPECT_GT(textPixels(), 0) << step.what;
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
        int x, y;
        bool whole;
        COLORREF color;
    } rows[] = {
        {"normal border", edit, [] {}, 0, 0, true, kBorder},
        {"normal fill", edit, [] {}, 190, 15, false, kFill},
        {"hovered border", edit, [&] { hover(edit); }, 0, 0, true, kOverBorder},
        {"hovered fill", edit, [] {}, 190, 15, false, kOverFill},
        {"disabled fill", disabled, [] {}, 190, 15, false, kDisabledFill},
        {"read-only fill", readOnly, [] {}, 190, 15, false, kDisabledFill},
        {"no over look: hovered keeps the normal fill", plain, [&] { hover(plain); }, 190, 15,
         false, kFill},
    };
    for (const auto& row : rows) {
        row.action();
        EXPECT_EQ(PixelOf(row.window, row.x, row.y, row.whole), row.color) << row.what;
    }
    // The brushes the panel answers the colour messages with.
    HDC dc = GetDC(m_panel);
    const auto brush = [&](UINT message, HWND child) {
        return reinterpret_cast<HBRUSH>(SendMessageA(m_panel, message, reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(child)));
    };
    EXPECT_EQ(BrushColor(brush(WM_CTLCOLORSTATIC, disabled)), kDisabledFill);
    EXPECT_EQ(BrushColor(brush(WM_CTLCOLOREDIT, plain)), kFill);
    ReleaseDC(m_panel, dc);
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
        EXPECT_EQ(PixelOf(combo, x, 5), step.color) << step.what;
    }
}

} // namespace
