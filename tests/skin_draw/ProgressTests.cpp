// The shared progress painter: background, the filled share of the usable
// width and the percentage text.
#include "DrawFixture.h"

#include "Manager.h"

using namespace Velmora;
using namespace DrawTest;

namespace {

constexpr COLORREF kGray = RGB(100, 100, 100);
constexpr COLORREF kGreen = RGB(0, 200, 0);
constexpr COLORREF kRed = RGB(250, 0, 0);
constexpr RECT kBar = {0, 0, 104, 40};

bool Reddish(COLORREF c) {
    return GetRValue(c) > 120 && GetGValue(c) < 90 && GetBValue(c) < 90;
}

class DrawProgressTest : public DrawTestBase {
  protected:
    void SetUp() override {
        DrawTestBase::SetUp();
        auto back = std::make_unique<SurfaceItem>();
        back->id = "progress.back";
        back->fillColor = kGray;
        back->borderColor = kGray;
        Add(std::move(back));
        AddImage("step", 10, 10, [](int, int) { return kGreen; });
        m_step = AddImageItem("progress.step", "step", IMAGEMODE_STRETCHHORZ);
        m_step->right = 4;
        m_step->stretchLeft = 2;
        m_step->stretchRight = 2;
        m_text = AddText("progress.text", "", 0, 22, kRed);
    }

    // Green columns of the step's row.
    PaintedBox Filled() const {
        return Find([](COLORREF c) { return c == kGreen; });
    }
    bool TextPainted() const {
        const PaintedBox text = Find(Reddish);
        return text.count > 0 && text.top >= 22;
    }

    ImageItem* m_step = nullptr;
    TextItem* m_text = nullptr;
};

} // namespace

TEST_F(DrawProgressTest, FillsTheShareOfTheUsableWidthAndShowsThePercentage) {
    PaintProgress(Window(), 19, Dc(), m_items, kBar, 0, 200);
    EXPECT_EQ(Filled().count, 0);
    EXPECT_EQ(Pixel(50, 5), kGray);
    EXPECT_EQ(m_text->content, "0%");
    EXPECT_TRUE(TextPainted());

    Clear();
    PaintProgress(Window(), 19, Dc(), m_items, kBar, 100, 200);
    PaintedBox filled = Filled();
    EXPECT_EQ(filled.left, 0);
    EXPECT_EQ(filled.right, 50);
    EXPECT_EQ(filled.Height(), 10);
    EXPECT_EQ(Pixel(50, 5), kGray);
    EXPECT_EQ(m_text->content, "50%");

    Clear();
    PaintProgress(Window(), 19, Dc(), m_items, kBar, 200, 200);
    filled = Filled();
    EXPECT_EQ(filled.left, 0);
    EXPECT_EQ(filled.right, 100);
    EXPECT_EQ(Pixel(100, 5), kGray);
    EXPECT_EQ(Pixel(103, 5), kGray);
    EXPECT_EQ(m_text->content, "100%");
    EXPECT_TRUE(TextPainted());

    // The share is truncated: 1/3 of 100 pixels is 33.
    Clear();
    PaintProgress(Window(), 19, Dc(), m_items, kBar, 1, 3);
    EXPECT_EQ(Filled().Width(), 33);
    EXPECT_EQ(m_text->content, "33%");

    // The step's left narrows the usable width as well.
    Clear();
    m_step->left = 4;
    PaintProgress(Window(), 19, Dc(), m_items, kBar, 200, 200);
    EXPECT_EQ(Filled().Width(), 96);
}

TEST_F(DrawProgressTest, StretchedStepNarrowerThanItsImageStaysUnpainted) {
    PaintProgress(Window(), 19, Dc(), m_items, kBar, 9, 100);
    EXPECT_EQ(Filled().count, 0);
    Clear();
    PaintProgress(Window(), 19, Dc(), m_items, kBar, 10, 100);
    EXPECT_EQ(Filled().Width(), 10);

    // In another mode any fill is painted.
    Clear();
    m_step->mode = IMAGEMODE_TILE;
    m_step->right = 0;
    m_step->bottom = 0;
    PaintProgress(Window(), 19, Dc(), m_items, kBar, 25, 100);
    EXPECT_EQ(Filled().Width(), 20); // 25 pixels hold two whole copies
}

TEST_F(DrawProgressTest, SurfaceStepFillsTheWholeWidthShare) {
    DrawItemList items;
    auto step = std::make_unique<SurfaceItem>();
    step->id = "progress.step";
    step->index = 0;
    step->fillColor = kGreen;
    step->borderColor = kGreen;
    items.Add(std::move(step));
    PaintProgress(Window(), 19, Dc(), items, kBar, 3, 4);
    const PaintedBox filled = Filled();
    EXPECT_EQ(filled.left, 0);
    EXPECT_EQ(filled.right, 78);
    EXPECT_EQ(filled.bottom, 40);
}

TEST_F(DrawProgressTest, WithoutARangeOnlyTheBackgroundIsPainted) {
    m_text->content = "kept";
    PaintProgress(Window(), 19, Dc(), m_items, kBar, 5, 0);
    EXPECT_EQ(FindColor(kGray).count, 104 * 40);
    EXPECT_EQ(m_text->content, "kept");

    // A position beyond the range fills the bar and no more.
    Clear();
    PaintProgress(Window(), 19, Dc(), m_items, kBar, 300, 200);
    EXPECT_EQ(Filled().right, 100);
    EXPECT_EQ(m_text->content, "150%");
}
