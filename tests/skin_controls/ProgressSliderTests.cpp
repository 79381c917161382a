// Progress bars, the library's slider and the frame animation on a real
// dialog: rows of pixels read back as runs of colour, the messages the slider
// posts its dialog, the frames the animation's timer messages show.
#include "Animate.h"
#include "ControlsSupport.h"
#include "SliderEx.h"

#include <commctrl.h>

#include <utility>
#include <vector>

using Velmora::CAnimate;
using Velmora::CSliderEx;

namespace {

constexpr COLORREF kRed = kStateColor[0], kGreen = kStateColor[1];
using Runs = std::vector<std::pair<COLORREF, int>>;

class ProgressSliderTest : public ControlsTest {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        ControlsTest::SetUp();
        OpenDialog(104);
        ASSERT_EQ(Manager()->SkinWindow(m_dialog, 2, "dialog", false), 1);
    }
    // The control of the id skinned as its kind and sized width x 24; its skin object.
    template <class Skin> Skin* Skinned(int id, int kind, int width) {
        HWND control = GetDlgItem(m_dialog, id);
        EXPECT_EQ(Manager()->SkinWindow(control, kind, nullptr, false), 1);
        SetWindowPos(control, nullptr, 0, 0, width, 24, SWP_NOMOVE | SWP_NOZORDER);
        return dynamic_cast<Skin*>(Manager()->FindSkinObject(control, kind));
    }
    // The colours along row 5 of a control's client, as runs of one colour.
    Runs Row(int id) const {
        HWND window = GetDlgItem(m_dialog, id);
        RECT client = {};
        GetClientRect(window, &client);
        Runs runs;
        for (int x = 0; x < client.right; ++x) {
            const COLORREF color = ClientPixel(window, x, 5);
            if (runs.empty() || runs.back().first != color)
                runs.push_back({color, 0});
            ++runs.back().second;
        }
        return runs;
    }
    // What the slider last posted its dialog with the message: "control id, value".
    std::string Posted(UINT message) const {
        MSG posted;
        std::string last;
        while (PeekMessageA(&posted, m_dialog, message, message, PM_REMOVE))
            last = std::to_string(posted.wParam) + ", " + std::to_string(posted.lParam);
        return last;
    }
    void Mouse(UINT message, int x) const {
        SendMessageA(GetDlgItem(m_dialog, 52), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                     MAKELPARAM(x, 5));
    }
};

// The sunken edge the system gives the bar (Wine's has none) goes: the client is the window.
TEST_F(ProgressSliderTest, ProgressFillsItsShareOfTheRangeWithoutItsEdge) {
    HWND bar = GetDlgItem(m_dialog, 50);
    SetWindowLongA(bar, GWL_EXSTYLE, GetWindowLongA(bar, GWL_EXSTYLE) | WS_EX_STATICEDGE);
    const auto& text =
        *Skinned<Velmora::CWindow>(50, 19, 100)->GetInfo()->drawItems.FindTextItem("progress.text");
    const struct {
        int low, high, position, filled;
        const char* percent;
    } cases[] = {
        {0, 200, 50, 25, "25%"},
        {100, 300, 150, 25, "25%"}, // counted from the start of the range
        {0, 100, 11, 0, "11%"},     // the 12-pixel stretched step shows from 12 pixels on
    };
    for (const auto& c : cases) {
        SendMessageA(bar, PBM_SETRANGE32, c.low, c.high);
        SendMessageA(bar, PBM_SETPOS, c.position, 0);
        const Runs filled = {{kGreen, c.filled}, {kBack, 100 - c.filled}}, empty = {{kBack, 100}};
        EXPECT_EQ(Row(50), c.filled ? filled : empty) << c.position;
        EXPECT_EQ(text.content, c.percent);
    }
}

// The skin fills the trackbar's back up to its thumb; the trackbar keeps its
// own keys and drag, with the mouse captured from the press to the release.
TEST_F(ProgressSliderTest, TrackbarFillsUpToItsThumbAndKeepsItsOwnInput) {
    HWND bar = GetDlgItem(m_dialog, 51);
    ASSERT_NE(Skinned<Velmora::CWindow>(51, 20, 200), nullptr);
    SendMessageA(bar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    const auto thumb = [bar] {
        RECT rect = {};
        SendMessageA(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&rect));
        return rect;
    };
    const auto filledUpToThumb = [&thumb] {
        const int left = thumb().left;
        return left > 0 ? Runs{{kGreen, left}, {kBack, 200 - left}} : Runs{{kBack, 200}};
    };
    SendMessageA(bar, TBM_SETPOS, TRUE, 50);
    EXPECT_EQ(Row(51), filledUpToThumb());
    SendMessageA(bar, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(Row(51), filledUpToThumb());

    SendMessageA(bar, WM_KEYDOWN, VK_HOME, 0);
    const RECT start = thumb();
    const int y = (start.top + start.bottom) / 2;
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((start.left + start.right) / 2, y));
    EXPECT_EQ(GetCapture(), bar);
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, y));
    SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(100, y));
    EXPECT_EQ(GetCapture(), HWND());
    EXPECT_GT(SendMessageA(bar, TBM_GETPOS, 0, 0), 30);
    EXPECT_EQ(Row(51), filledUpToThumb());
}

TEST_F(ProgressSliderTest, SliderExPlacesItsThumbByPositionAndTellsItsDialog) {
    auto* slider = Skinned<CSliderEx>(52, 21, 220);
    ASSERT_NE(slider, nullptr);
    slider->SetRange(0, 10);
    slider->SetPos(5);
    // Thumb centre 110: the fill up to it, the 20-pixel thumb over it.
    EXPECT_EQ(Row(52), (Runs{{kGreen, 100}, {kRed, 20}, {kBack, 100}}));
    Mouse(WM_LBUTTONDOWN, 5);
    EXPECT_EQ(Posted(CSliderEx::kPositionMessage), "52, 0");
    // Dragged from 2 pixels right of the thumb's centre, 150 pixels on is 7; the
    // program's positions are ignored until the drag ends.
    Mouse(WM_LBUTTONDOWN, 12);
    Mouse(WM_MOUSEMOVE, 162);
    EXPECT_EQ(Posted(CSliderEx::kDragMessage), "52, 7");
    slider->SetPos(2);
    Mouse(WM_LBUTTONUP, 162);
    EXPECT_EQ(Posted(CSliderEx::kPositionMessage), "52, 7");
    EXPECT_EQ(Row(52), (Runs{{kGreen, 140}, {kRed, 20}, {kBack, 60}}));
    // A drag whose capture another window takes ends there; positions count again.
    Mouse(WM_LBUTTONDOWN, 150);
    SetCapture(m_dialog);
    ReleaseCapture();
    EXPECT_EQ(Posted(CSliderEx::kPositionMessage), "52, 7");
    slider->SetPos(15);
    EXPECT_EQ(Row(52), (Runs{{kGreen, 200}, {kRed, 20}}));
    // No range, or no room for the thumb: the back alone, clicks do nothing.
    for (const auto& [maximum, width] : {std::pair{0, 220}, std::pair{10, 15}}) {
        slider->SetRange(0, maximum);
        SetWindowPos(GetDlgItem(m_dialog, 52), nullptr, 0, 0, width, 20, SWP_NOMOVE);
        Mouse(WM_LBUTTONDOWN, 10);
        EXPECT_EQ(Posted(CSliderEx::kPositionMessage), "");
        EXPECT_EQ(Row(52), (Runs{{kBack, width}}));
    }
}

TEST_F(ProgressSliderTest, AnimationShowsItsFramesOnItsTimerAndStopsOnTheLastUnlessItCycles) {
    HWND window = GetDlgItem(m_dialog, 53);
    const COLORREF* frame = kStateColor;
    const struct {
        const char* id;
        std::vector<COLORREF> shown; // stopped, started, after each timer message, stopped
        bool timerLeft;
    } cases[] = {
        {"animate", {kBack, frame[0], frame[1], frame[2], frame[3], frame[3], kBack}, false},
        {"animate.cycle", {kBack, frame[0], frame[1], frame[2], frame[3], frame[0], kBack}, true},
        // No frames to step through, no time between them: the first frame, no timer.
        {"animate.still", {kBack, frame[0], frame[0], kBack}, false},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Manager()->SkinWindow(window, 22, c.id, false), 1);
        auto* skin = dynamic_cast<CAnimate*>(Manager()->FindSkinObject(window, 22));
        std::vector<COLORREF> shown = {ClientPixel(window, 5, 5)};
        for (skin->Play(true); shown.size() + 1 < c.shown.size();
             SendMessageA(window, WM_TIMER, CAnimate::kFrameTimer, 0))
            shown.push_back(ClientPixel(window, 5, 5));
        EXPECT_EQ(KillTimer(window, CAnimate::kFrameTimer) != 0, c.timerLeft) << c.id;
        skin->Play(false);
        shown.push_back(ClientPixel(window, 5, 5));
        EXPECT_EQ(shown, c.shown) << c.id;
    }
    // The skin's end ends its timer.
    Manager()->SkinWindow(window, 22, "animate.cycle", false);
    dynamic_cast<CAnimate*>(Manager()->FindSkinObject(window, 22))->Play(true);
    Velmora::CManager::Destroy();
    EXPECT_FALSE(KillTimer(window, CAnimate::kFrameTimer));
}

} // namespace
