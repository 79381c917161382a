// The skinned scroll bar control: its size from the cells, its thumb from the
// share of the range a page takes (a page over the whole range fills the
// track), the cells it shows, and what the mouse and the keys send to its
// parent, with its repeat timer driven by sending WM_TIMER.
#include "Manager.h"
#include "ControlSkin.h"

#include <functional>

namespace {

constexpr UINT_PTR kRepeat = 100;

// A horizontal control 216 wide in a parent that records what it is sent:
// arrows at 0..16 and 200..216, a track of 184.
class ScrollBarControlTest : public ControlSkinTest {
  protected:
    void SetUp() override {
        ControlSkinTest::SetUp();
        m_parent = CreateScrollTarget(m_top, {0, 0, 300, 300}, 0);
        m_bar = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_HORZ, 10, 10, 216,
                                40, m_parent, nullptr, nullptr, nullptr);
        SetRange(100, 10, 45);
        ASSERT_EQ(Velmora::CManager::Instance()->SkinWindow(m_bar, 11, "bar", false), 1);
        PumpMessages();
    }
    void SetRange(int maximum, UINT page, int position) {
        SCROLLINFO info = {sizeof(info), SIF_ALL, 0, maximum, page, position, 0};
        SetScrollInfo(m_bar, SB_CTL, &info, TRUE);
        UpdateWindow(m_bar);
    }
    void Mouse(UINT message, int x) { SendMessageA(m_bar, message, MK_LBUTTON, MAKELPARAM(x, 8)); }
    HWND m_parent = nullptr;
    HWND m_bar = nullptr;
};

TEST_F(ScrollBarControlTest, ThumbAndCellsShowWhereTheRangeAndPagePutThem) {
    RECT size = {};
    GetWindowRect(m_bar, &size);
    EXPECT_EQ(size.bottom - size.top, 16);
    struct Pixel {
        int x;
        COLORREF color;
    };
    const struct {
        int maximum;
        UINT page;
        int position;
        std::vector<Pixel> pixels;
    } rows[] = {
        // (216 - 32) / (100 / 10) = 18 wide, at 16 + (184 - 18) * 45 / 90 = 99.
        {100,
         10,
         45,
         {{8, CellColor(0, 0)},
          {208, CellColor(1, 0)},
          {98, CellColor(4, 0)},
          {99, CellColor(2, 0, kStart)},
          {108, CellColor(3, 0)},
          {116, CellColor(2, 0, kEnd)},
          {117, CellColor(4, 0)}}},
        // A page over the range, or as large as it: the thumb fills the track.
        {5, 10, 0, {{16, CellColor(2, 0, kStart)}, {199, CellColor(2, 0, kEnd)}}},
        {10, 10, 0, {{16, CellColor(2, 0, kStart)}, {199, CellColor(2, 0, kEnd)}}},
        {100, 10, 90, {{181, CellColor(4, 0)}, {182, CellColor(2, 0, kStart)}}},
    };
    for (const auto& row : rows) {
        SetRange(row.maximum, row.page, row.position);
        EXPECT_EQ(GetScrollPos(m_bar, SB_CTL), row.position);
        for (const Pixel& pixel : row.pixels)
            EXPECT_EQ(WindowPixel(m_bar, pixel.x, 8), pixel.color)
                << row.maximum << "/" << row.page << " at " << pixel.x;
    }
    // A vertical control takes the cells' width.
    HWND vertical = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_VERT, 250, 10,
                                    40, 200, m_parent, nullptr, nullptr, nullptr);
    ASSERT_EQ(Velmora::CManager::Instance()->SkinWindow(vertical, 11, "bar", false), 1);
    UpdateWindow(vertical);
    GetWindowRect(vertical, &size);
    EXPECT_EQ(size.right - size.left, 16);
    EXPECT_EQ(WindowPixel(vertical, 8, 191), CellColor(6, 0));
}

TEST_F(ScrollBarControlTest, MouseAndKeysSendToTheParent) {
    const auto tick = [&] { SendMessageA(m_bar, WM_TIMER, kRepeat, 0); };
    const struct {
        const char* what;
        std::function<void()> action;
        const char* scrolls;
    } steps[] = {
        {"arrow pressed", [&] { Mouse(WM_LBUTTONDOWN, 8); }, "H:0,0"},
        {"first tick", tick, ""},
        {"second tick", tick, ""},
        {"third tick repeats", tick, "H:0,0"},
        {"and so on", tick, "H:0,0"},
        {"released: nothing more", [&] { Mouse(WM_LBUTTONUP, 8); }, ""},
        {"page pressed", [&] { Mouse(WM_LBUTTONDOWN, 150); }, "H:3,0"},
        {"pages do not repeat", [&] { tick(), tick(), tick(), tick(); }, ""},
        {"page released", [&] { Mouse(WM_LBUTTONUP, 150); }, ""},
        // Pressed 2 into the thumb at 99; the thumb's start moved to 128:
        // (128 - 16) / (184 - 18) * 90 = 60.7.
        {"thumb pressed", [&] { Mouse(WM_LBUTTONDOWN, 101); }, ""},
        {"thumb dragged", [&] { Mouse(WM_MOUSEMOVE, 130); }, "H:5,60"},
        {"thumb released", [&] { Mouse(WM_LBUTTONUP, 130); }, ""},
        {"keys",
         [&] {
             for (UINT key : {VK_RIGHT, VK_LEFT, VK_NEXT, VK_PRIOR, VK_UP})
                 SendMessageA(m_bar, WM_KEYDOWN, key, 0);
         },
         "H:1,0 H:0,0 H:3,0 H:2,0"},
        {"arrow held, in its pressed look",
         [&] {
             Mouse(WM_LBUTTONDOWN, 208);
             UpdateWindow(m_bar);
             EXPECT_EQ(WindowPixel(m_bar, 208, 8), CellColor(1, 2));
         },
         "H:1,0"},
        {"another window took the mouse: no repeat",
         [&] { SetCapture(m_top), tick(), tick(), tick(); }, ""},
    };
    for (const auto& step : steps) {
        step.action();
        EXPECT_EQ(TakeScrolls(m_parent), step.scrolls) << step.what;
    }
}

} // namespace
