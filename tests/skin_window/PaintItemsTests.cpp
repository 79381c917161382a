// Which draw items a skinned window paints in each of its states, and in what
// order, from a description read the way a skin is loaded.
#include "Canvas.h"
#include "Manager.h"
#include "SkinDescription.h"
#include "SkinWindowSupport.h"
#include "Window.h"
#include "XmlDocument.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace Velmora;

namespace {

// Red everywhere, green at the top left in "over" and "down", blue over the
// green from (10, 10), yellow at the top right when disabled.
const char kDescription[] = R"xml(<theme><window>
  <item type="commonctrl" id="look">
    <surface id="base" fillcolor="(255,0,0)" lowerrightx="0" lowerrighty="0"/>
    <surface id="hot" state="over|down" fillcolor="(0,255,0)" lowerrightx="20" lowerrighty="20"/>
    <surface id="cover" fillcolor="(0,0,255)" upperleftx="10" upperlefty="10"
             lowerrightx="30" lowerrighty="30"/>
    <surface id="off" state="disable" fillcolor="(255,255,0)" upperleftx="40"
             lowerrightx="50" lowerrighty="10"/>
  </item>
</window></theme>)xml";

constexpr int kWidth = 60;
constexpr int kHeight = 40;

class PaintItemsTest : public SkinWindowFixture {
  protected:
    void SetUp() override {
        CXmlDocument document;
        ASSERT_TRUE(document.SetDocument(kDescription));
        ASSERT_EQ(ParseSkinDescription(document, nullptr, "look"), 1);
        m_info = CManager::Instance()->FindDescription(DescriptionType::CommonCtrl, "look");
        ASSERT_NE(m_info, nullptr);
        m_top = CreateTestWindow(nullptr, 0, 0, 200, 100);
        m_window = CreateTestWindow(m_top, 0, 0, kWidth, kHeight);
    }

    // Paints the description in one state onto a fresh grey canvas.
    void PaintInState(CCanvas& canvas, int state) {
        CWindow skin(m_info);
        skin.Attach(m_window);
        const RECT all = {0, 0, kWidth, kHeight};
        canvas.Fill(RGB(128, 128, 128));
        skin.PaintItems(canvas.Dc(), 1, m_info->drawItems, state, all, -1, -1, nullptr);
        skin.Attach(nullptr);
    }

    WindowInfo* m_info = nullptr;
    HWND m_window = nullptr;
};

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);

TEST_F(PaintItemsTest, ItemsOfSeveralStatesPaintOnlyInThoseStates) {
    struct Expected {
        int state;
        COLORREF topLeft;
        COLORREF topRight;
    };
    const Expected cases[] = {
        {STATE_NORMAL, kRed, kRed},        {STATE_OVER, kGreen, kRed},
        {STATE_DOWN, kGreen, kRed},        {STATE_DISABLE, kRed, kYellow},
        {STATE_CHECKEDNORMAL, kRed, kRed}, {STATE_CHECKEDOVER, kRed, kRed},
        {STATE_CHECKEDDOWN, kRed, kRed},   {STATE_CHECKEDDISABLE, kRed, kRed},
    };
    for (const Expected& expected : cases) {
        SCOPED_TRACE(expected.state);
        CCanvas canvas(kWidth, kHeight);
        PaintInState(canvas, expected.state);
        EXPECT_EQ(canvas.Pixel(5, 5), expected.topLeft);
        EXPECT_EQ(canvas.Pixel(45, 5), expected.topRight);
        // Items of every state show in each one.
        EXPECT_EQ(canvas.Pixel(55, 35), kRed);
        EXPECT_EQ(canvas.Pixel(25, 25), kBlue);
    }
}

TEST_F(PaintItemsTest, LaterItemsCoverEarlierOnesInDocumentOrder) {
    CCanvas canvas(kWidth, kHeight);
    PaintInState(canvas, STATE_OVER);
    // "cover" comes after "hot" in the document, so it wins where they meet.
    EXPECT_EQ(canvas.Pixel(15, 15), kBlue);
    EXPECT_EQ(canvas.Pixel(9, 15), kGreen);
    EXPECT_EQ(canvas.Pixel(25, 5), kRed);
}

} // namespace
