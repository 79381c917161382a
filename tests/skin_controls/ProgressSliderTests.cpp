// Progress bars, trackbars, the library's slider and the frame animation on a
// real dialog: fills and thumbs read back as runs of colour, the messages the
// slider posts its parent, and the frames the animation's timer message shows.
#include "Animate.h"
#include "ControlsSupport.h"
#include "SliderEx.h"

#include <commctrl.h>

#include <utility>
#include <vector>

using Velmora::CAnimate;
using Velmora::CSliderEx;
using Velmora::SkinList;

namespace {

constexpr int kProgressDialog = 104;
constexpr COLORREF kGreen = RGB(0, 200, 0);
constexpr COLORREF kRed = RGB(200, 0, 0);
using Runs = std::vector<std::pair<COLORREF, int>>;

class ProgressSliderTest : public ControlsTest {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        ControlsTest::SetUp();
        OpenDialog(kProgressDialog);
        ASSERT_EQ(Manager()->SkinWindow(m_dialog, 2, "dialog", false), 1);
    }
    // The control skinned as kind, then given a window of width x height.
    HWND Skinned(int id, int kind, int width, int height) {
        HWND control = GetDlgItem(m_dialog, id);
        EXPECT_EQ(Manager()->SkinWindow(control, kind, nullptr, false), 1);
        SetWindowPos(control, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        return control;
    }
    // The colours along row y of a window's client, as runs of equal colour.
    static Runs RowOf(HWND window, int y) {
        PumpMessages();
        UpdateWindow(window);
        RECT client = {};
        GetClientRect(window, &client);
        HDC dc = GetDC(window);
        Runs runs;
        for (int x = 0; x < client.right; ++x) {
            const COLORREF color = GetPixel(dc, x, y);
            if (runs.empty() || runs.back().first != color)
                runs.push_back({color, 0});
            ++runs.back().second;
        }
        ReleaseDC(window, dc);
        return runs;
    }
    // What the slider last posted its dialog with message: "control id, value".
    std::string Posted(UINT message) const {
        MSG posted;
        std::string last;
        while (PeekMessageA(&posted, m_dialog, message, message, PM_REMOVE))
            last = std::to_string(posted.wParam) + ", " + std::to_string(posted.lParam);
        return last;
    }
};

TEST_F(ProgressSliderTest, ProgressFillsItsShareOfTheRangeWithoutItsEdge) {
    // The sunken edge Windows gives every progress bar (Wine's has none) goes
    // while the skin is on.
    HWND bar = GetDlgItem(m_dialog, 50);
    SetWindowLongA(bar, GWL_EXSTYLE, GetWindowLongA(bar, GWL_EXSTYLE) | WS_EX_STATICEDGE);
    Skinned(50, 19, 100, 24);
    RECT client = {};
    GetClientRect(bar, &client);
    EXPECT_EQ(client.right, 100);
    const auto* text = Manager()
                           ->FindDescription(Velmora::DescriptionType::Progress, "progress")
                           ->drawItems.FindTextItem("progress.text");
    const struct {
        int low, high, position;
        Runs row;
        const char* percent; // null: not painted
    } cases[] = {
        {0, 200, 50, {{kGreen, 25}, {kBack, 75}}, "25%"},
        // A stretched 12-pixel step shows only from 12 pixels on.
        {0, 100, 11, {{kBack, 100}}, "11%"},
        {0, 100, 12, {{kGreen, 12}, {kBack, 88}}, "12%"},
        // Counted from the start of the range.
        {100, 300, 150, {{kGreen, 25}, {kBack, 75}}, "25%"},
        // No range: the back alone.
        {7, 7, 7, {{kBack, 100}}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        SendMessageA(bar, PBM_SETRANGE32, c.low, c.high);
        SendMessageA(bar, PBM_SETPOS, c.position, 0);
        EXPECT_EQ(RowOf(bar, 5), c.row);
        if (c.percent) {
            EXPECT_EQ(text->content, c.percent);
        }
    }
    Velmora::CManager::Destroy();
    EXPECT_TRUE(GetWindowLongA(bar, GWL_EXSTYLE) & WS_EX_STATICEDGE);
}

TEST_F(ProgressSliderTest, TrackbarFillsUpToItsThumbAndKeepsItsOwnDragging) {
    HWND slider = Skinned(51, 20, 200, 30);
    SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    SendMessageA(slider, TBM_SETPOS, TRUE, 50);
    RECT thumb = {};
    for (int drag : {0, 40}) {
        SendMessageA(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        EXPECT_EQ(RowOf(slider, 15), (Runs{{kGreen, thumb.left}, {kBack, 200 - thumb.left}}));
        const LPARAM from = MAKELPARAM((thumb.left + thumb.right) / 2, 15);
        SendMessageA(slider, WM_LBUTTONDOWN, MK_LBUTTON, from);
        EXPECT_EQ(GetCapture(), slider);
        SendMessageA(slider, WM_MOUSEMOVE, MK_LBUTTON, from + drag);
        SendMessageA(slider, WM_LBUTTONUP, 0, from + drag);
        EXPECT_EQ(GetCapture(), nullptr);
    }
    EXPECT_GT(SendMessageA(slider, TBM_GETPOS, 0, 0), 50);
}

TEST_F(ProgressSliderTest, SliderExPlacesItsThumbByPositionAndTellsItsParent) {
    HWND slider = Skinned(52, 21, 220, 20);
    auto* skin = dynamic_cast<CSliderEx*>(Manager()->FindSkinObject(slider, SkinList::SliderEx));
    ASSERT_NE(skin, nullptr);
    skin->SetRange(0, 10);
    skin->SetPos(5);
    // Thumb centre 110: the fill up to it, the 20-pixel thumb over it.
    EXPECT_EQ(RowOf(slider, 5), (Runs{{kGreen, 100}, {kRed, 20}, {kBack, 100}}));
    SendMessageA(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(Posted(CSliderEx::kPositionMessage), "52, 0");
    SendMessageA(slider, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(RowOf(slider, 5), (Runs{{kRed, 20}, {kBack, 200}}));

    // Dragged by the thumb, 2 pixels right of its centre: 150 pixels on is 7.
    SendMessageA(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 5));
    EXPECT_EQ(GetCapture(), slider);
    SendMessageA(slider, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(162, 5));
    EXPECT_EQ(Posted(CSliderEx::kDragMessage), "52, 7");
    skin->SetPos(2);
    SendMessageA(slider, WM_LBUTTONUP, 0, MAKELPARAM(162, 5));
    EXPECT_EQ(Posted(CSliderEx::kPositionMessage), "52, 7");
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(RowOf(slider, 5), (Runs{{kGreen, 140}, {kRed, 20}, {kBack, 60}}));

    // A drag whose capture another window takes ends there, and the program's
    // positions count again.
    SendMessageA(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 5));
    SetCapture(m_dialog);
    ReleaseCapture();
    EXPECT_EQ(Posted(CSliderEx::kPositionMessage), "52, 7");
    skin->SetPos(15);
    EXPECT_EQ(RowOf(slider, 5), (Runs{{kGreen, 200}, {kRed, 20}}));

    // No range, or no room for the thumb: the back alone, and clicks do nothing.
    const struct { int minimum, maximum, width; } idle[] = {{3, 3, 220}, {0, 10, 15}};
    for (const auto& c : idle) {
        skin->SetRange(c.minimum, c.maximum);
        SetWindowPos(slider, nullptr, 0, 0, c.width, 20, SWP_NOMOVE | SWP_NOZORDER);
        SendMessageA(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
        SendMessageA(slider, WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
        EXPECT_EQ(Posted(CSliderEx::kPositionMessage), "");
        EXPECT_EQ(RowOf(slider, 5), (Runs{{kBack, c.width}}));
    }
}

TEST_F(ProgressSliderTest, AnimationShowsItsFramesOnItsTimerAndStopsOnTheLastUnlessItCycles) {
    HWND window = GetDlgItem(m_dialog, 53);
    const auto frameShown = [window] {
        const COLORREF color = PixelOf(window, 5, 5);
        for (int frame = 0; frame < 4; ++frame)
            if (color == kStateColor[frame])
                return frame;
        return color == kBack ? -1 : -2;
    };
    const struct {
        const char* id;
        std::vector<int> frames; // at the start, then after each timer message
        bool timerLeft;
    } cases[] = {
        {"animate", {0, 1, 2, 3, 3}, false},
        {"animate.cycle", {0, 1, 2, 3, 0}, true},
        // No frames to step through, no time between them: the first frame, no timer.
        {"animate.still", {0, 0, 0}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        ASSERT_EQ(Manager()->SkinWindow(window, 22, c.id, false), 1);
        auto* skin = dynamic_cast<CAnimate*>(Manager()->FindSkinObject(window, SkinList::Animate));
        ASSERT_NE(skin, nullptr);
        EXPECT_EQ(frameShown(), -1);
        skin->Play(true);
        std::vector<int> shown = {frameShown()};
        while (shown.size() < c.frames.size()) {
            SendMessageA(window, WM_TIMER, CAnimate::kFrameTimer, 0);
            shown.push_back(frameShown());
        }
        EXPECT_EQ(shown, c.frames);
        EXPECT_EQ(KillTimer(window, CAnimate::kFrameTimer) != 0, c.timerLeft);
        skin->Play(false);
        EXPECT_EQ(frameShown(), -1);
    }
    // The skin's end ends its timer.
    ASSERT_EQ(Manager()->SkinWindow(window, 22, "animate.cycle", false), 1);
    dynamic_cast<CAnimate*>(Manager()->FindSkinObject(window, SkinList::Animate))->Play(true);
    Velmora::CManager::Destroy();
    EXPECT_FALSE(KillTimer(window, CAnimate::kFrameTimer));
}

} // namespace
