// Which draw items a skinned window paints in each of its states, and in what
// order, from a description read the way a skin is loaded.
#include "Canvas.h"
#include "Manager.h"
#include "SkinWindowSupport.h"
#include "Window.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace Velmora;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);

using PaintItemsTest = SkinWindowFixture;

TEST_F(PaintItemsTest, ItemsPaintOnlyInTheirStatesAndLaterOnesCoverEarlierOnes) {
    ASSERT_TRUE(LoadLooks());
    WindowInfo* info = CManager::Instance()->FindDescription(DescriptionType::CommonCtrl, "states");
    ASSERT_NE(info, nullptr);
    m_top = CreateTestWindow(nullptr, 0, 0, 200, 100);
    CWindow skin(*CManager::Instance(), info);
    skin.Attach(CreateTestWindow(m_top, 0, 0, 60, 40));

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
        CCanvas canvas(60, 40);
        canvas.Fill(RGB(128, 128, 128));
        skin.PaintItems(canvas.Dc(), 1, info->drawItems, expected.state, RECT{0, 0, 60, 40}, -1, -1,
                        nullptr);
        EXPECT_EQ(canvas.Pixel(5, 5), expected.topLeft);
        EXPECT_EQ(canvas.Pixel(45, 5), expected.topRight);
        // Items of every state show in each one.
        EXPECT_EQ(canvas.Pixel(55, 35), kRed);
        // "cover" comes after "hot" in the document, so it wins where they meet.
        EXPECT_EQ(canvas.Pixel(15, 15), kBlue);
        EXPECT_EQ(canvas.Pixel(9, 15), expected.topLeft);
    }
}

} // namespace
