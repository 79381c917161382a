// The generic skin painting real windows: its description's items appear at
// their pixels, its painted look is kept and reused until a rebuild, what the
// program paints itself comes on top.
#include "CommonCtrl.h"
#include "Manager.h"
#include "SkinWindowSupport.h"

#include <gtest/gtest.h>

using Velmora::CCommonCtrl;
using Velmora::WindowInfo;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Paints a blue pixel at (1, 1) and looks, while the skin paints, at which
// points of the client area its paint may still reach.
class CProbePaint : public Velmora::ISelfPaint {
  public:
    void OnSelfPaint(HDC dc, int value) override {
        ++calls;
        lastValue = value;
        for (int i = 0; i < 3; ++i)
            reached[i] = PtVisible(dc, 30 + 50 * i, 30) != FALSE;
        SetPixel(dc, 1, 1, kBlue);
    }
    bool reached[3] = {};
    int calls = 0;
    int lastValue = 0;
};

void Repaint(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    PumpMessages();
}

int DarkPixels(HWND window) {
    HDC dc = GetDC(window);
    int dark = 0;
    for (int y = 70; y < 90; ++y) {
        for (int x = 10; x < 90; ++x)
            dark += GetPixel(dc, x, y) == RGB(0, 0, 0);
    }
    ReleaseDC(window, dc);
    return dark;
}

// A 200x100 window at (20, 20) of a 300x200 top window.
class CommonCtrlTest : public SkinWindowFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(LoadLooks());
        m_top = CreateTestWindow(nullptr, 0, 0, 300, 200);
        m_window = CreateTestWindow(m_top, 20, 20, 200, 100);
    }

    HWND m_window = nullptr;
};

TEST_F(CommonCtrlTest, ItemsAppearAtTheirPixelsAndChangesShowAsTheyShould) {
    WindowInfo& info = *Velmora::CManager::Instance()->FindDescription(
        Velmora::DescriptionType::CommonCtrl, "look");
    Velmora::SurfaceItem* red = info.drawItems.FindSurface("box");
    CCommonCtrl skin(*Velmora::CManager::Instance(), &info);
    skin.Attach(m_window);
    RecordOf(m_window).paints = 0;
    Repaint(m_window);

    const struct {
        int x, y;
        COLORREF color;
    } pixels[] = {{5, 5, kWhite},  {20, 20, kRed},   {45, 35, kRed},    {55, 45, kWhite},
                  {50, 60, kBlue}, {50, 61, kWhite}, {120, 20, kWhite}, {197, 97, kWhite}};
    for (const auto& pixel : pixels)
        EXPECT_EQ(ClientPixel(m_window, pixel.x, pixel.y, false), pixel.color)
            << pixel.x << "," << pixel.y;
    // The skin paints every pixel itself: the window's own procedure never paints.
    EXPECT_EQ(RecordOf(m_window).paints, 0);
    EXPECT_EQ(DarkPixels(m_window), 0);

    // A changed or hidden text shows at once.
    EXPECT_EQ(skin.SetDrawItemValue("tips", "WWW"), 1);
    EXPECT_GT(DarkPixels(m_window), 0);
    EXPECT_EQ(skin.SetDrawItemVisible("tips", false), 1);
    EXPECT_EQ(DarkPixels(m_window), 0);

    // A changed description shows only after a rebuild or a new size.
    red->fillColor = kGreen;
    Repaint(m_window);
    EXPECT_EQ(ClientPixel(m_window, 20, 20, false), kRed);
    skin.Redraw(false, nullptr);
    EXPECT_EQ(ClientPixel(m_window, 20, 20, false), kRed);
    skin.Redraw(true, nullptr);
    EXPECT_EQ(ClientPixel(m_window, 20, 20, false), kGreen);
    red->fillColor = kBlue;
    SetWindowPos(m_window, nullptr, 0, 0, 250, 120, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    EXPECT_EQ(ClientPixel(m_window, 20, 20, false), kBlue);
    EXPECT_EQ(ClientPixel(m_window, 240, 110, false), kWhite);
}

TEST_F(CommonCtrlTest, OpaqueSkinnedChildrenAreLeftOutOfTheParentsPaint) {
    HWND opaque = CreateTestWindow(m_window, 10, 10, 40, 40);
    HWND clear = CreateTestWindow(m_window, 60, 10, 40, 40);
    // An unskinned child.
    CreateTestWindow(m_window, 110, 10, 40, 40);
    Velmora::CManager* manager = Velmora::CManager::Instance();
    ASSERT_EQ(manager->SkinWindow(m_window, 1, "parent", false), 1);
    ASSERT_EQ(manager->SkinWindow(opaque, 1, "child.opaque", false), 1);
    ASSERT_EQ(manager->SkinWindow(clear, 1, "child.clear", false), 1);
    CProbePaint probe;
    ASSERT_EQ(manager->SetSelfPaint(m_window, &probe, 1234), 1);

    Repaint(m_window);

    ASSERT_GE(probe.calls, 1);
    EXPECT_EQ(probe.lastValue, 1234);
    // What the program paints itself comes on top of the skin.
    EXPECT_EQ(ClientPixel(m_window, 1, 1, false), kBlue);
    EXPECT_EQ(ClientPixel(m_window, 2, 2, false), kWhite);
    EXPECT_FALSE(probe.reached[0]);
    EXPECT_TRUE(probe.reached[1]);
    EXPECT_TRUE(probe.reached[2]);
    EXPECT_EQ(ClientPixel(opaque, 25, 25, false), kGreen);
    EXPECT_EQ(ClientPixel(m_window, 180, 90, false), kWhite);

    // A hidden child is painted over like any other part of the parent.
    ShowWindow(opaque, SW_HIDE);
    Repaint(m_window);
    EXPECT_TRUE(probe.reached[0]);
    manager->SetSelfPaint(m_window, nullptr, 0);
}

} // namespace
