// The generic skin painting real windows: its description's items appear at
// their pixels, its painted look is kept and reused until a rebuild, what the
// program paints itself comes on top, and windows skinned through the manager
// leave it when they end.
#include "CommonCtrl.h"
#include "Manager.h"
#include "SkinDescription.h"
#include "SkinWindowSupport.h"
#include "XmlDocument.h"

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

COLORREF PixelOf(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

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

// White all over with a red box, a blue rule and an empty black text; then
// descriptions for a white parent, a green child and a transparent child.
const char kDescriptions[] = R"xml(<theme><window>
  <item type="commonctrl" id="look">
    <surface fillcolor="(255,255,255)" lowerrightx="0" lowerrighty="0"/>
    <surface id="box" fillcolor="(255,0,0)" upperleftx="10" upperlefty="10" lowerrightx="50"
             lowerrighty="40"/>
    <line startx="0" starty="60" endx="100" endy="60" width="1" linecolor="(0,0,255)"/>
    <text id="tips" left="10" top="70" width="80" height="20" textcolor="(0,0,0)"/>
  </item>
  <item type="commonctrl" id="parent">
    <surface fillcolor="(255,255,255)" lowerrightx="0" lowerrighty="0"/>
  </item>
  <item type="commonctrl" id="child.opaque">
    <surface fillcolor="(0,255,0)" lowerrightx="0" lowerrighty="0"/>
  </item>
  <item type="commonctrl" id="child.clear"><property transparent="true"/></item>
</window></theme>)xml";

// A 200x100 window at (20, 20) of a 300x200 top window.
class CommonCtrlTest : public SkinWindowFixture {
  protected:
    void SetUp() override {
        Velmora::CXmlDocument document;
        ASSERT_TRUE(document.SetDocument(kDescriptions));
        ASSERT_EQ(Velmora::ParseSkinDescription(*Velmora::CManager::Instance(), document, nullptr,
                                                "look"),
                  1);
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
        EXPECT_EQ(PixelOf(m_window, pixel.x, pixel.y), pixel.color) << pixel.x << "," << pixel.y;
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
    EXPECT_EQ(PixelOf(m_window, 20, 20), kRed);
    skin.Redraw(false, nullptr);
    EXPECT_EQ(PixelOf(m_window, 20, 20), kRed);
    skin.Redraw(true, nullptr);
    EXPECT_EQ(PixelOf(m_window, 20, 20), kGreen);
    red->fillColor = kBlue;
    SetWindowPos(m_window, nullptr, 0, 0, 250, 120, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    EXPECT_EQ(PixelOf(m_window, 20, 20), kBlue);
    EXPECT_EQ(PixelOf(m_window, 240, 110), kWhite);
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
    EXPECT_EQ(PixelOf(m_window, 1, 1), kBlue);
    EXPECT_EQ(PixelOf(m_window, 2, 2), kWhite);
    EXPECT_FALSE(probe.reached[0]);
    EXPECT_TRUE(probe.reached[1]);
    EXPECT_TRUE(probe.reached[2]);
    EXPECT_EQ(PixelOf(opaque, 25, 25), kGreen);
    EXPECT_EQ(PixelOf(m_window, 180, 90), kWhite);

    // A hidden child is painted over like any other part of the parent.
    ShowWindow(opaque, SW_HIDE);
    Repaint(m_window);
    EXPECT_TRUE(probe.reached[0]);
    manager->SetSelfPaint(m_window, nullptr, 0);
}

TEST_F(CommonCtrlTest, DestroyedWindowLeavesTheManagerAndGetsItsProcedureBack) {
    HWND child = CreateTestWindow(m_window, 10, 10, 50, 50);
    Velmora::CManager* manager = Velmora::CManager::Instance();
    const size_t hooksBefore = Velmora::CHookWindow::HookedWindowCount();
    ASSERT_EQ(manager->SkinWindow(child, 1, "child.opaque", false), 1);
    ASSERT_NE(manager->FindSkinObject(child, Velmora::SkinList::CommonCtrl), nullptr);
    manager->SetDrawItemValue(child, 1, "tips.top", "文字");
    manager->SetDrawItemVisible(child, 1, "tips.bottom", false);

    DestroyWindow(child);

    EXPECT_EQ(manager->FindSkinObject(child, Velmora::SkinList::CommonCtrl), nullptr);
    EXPECT_EQ(manager->FindValueRecord(child, "tips.top"), nullptr);
    EXPECT_FALSE(manager->FindVisibleRecord(child, "tips.bottom").has_value());
    EXPECT_EQ(Velmora::CHookWindow::HookedWindowCount(), hooksBefore);
    EXPECT_EQ(RecordOf(child).procAtNcDestroy, &TestWindowProc);
}

} // namespace
