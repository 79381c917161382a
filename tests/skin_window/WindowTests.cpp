// The skinned-window base on real windows: placement by the description,
// the background taken from the parent, and which part of the window is
// repainted when a program changes a draw item.
#include "Canvas.h"
#include "Manager.h"
#include "SkinFiles.h"
#include "SkinWindowSupport.h"
#include "UiProbe.h"
#include "Window.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using Velmora::CWindow;
using Velmora::WindowInfo;

namespace {

std::string Text(const RECT& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
           std::to_string(rect.right) + "," + std::to_string(rect.bottom);
}

// A 200x100 window at (10, 10) of a 400x300 top window, whose own procedure
// records the rectangle every paint covers.
class SkinWindowTest : public SkinWindowFixture {
  protected:
    void SetUp() override {
        m_top = CreateTestWindow(nullptr, 0, 0, 400, 300);
        m_window = CreateTestWindow(m_top, 10, 10, 200, 100);
        m_info.drawItems.Add(MakeBox<Velmora::TextItem>("text.whole", 0, 10, 10, 0, 20));
        m_info.drawItems.Add(MakeBox<Velmora::TextItem>("text.sized", 1, 0, 10, 50, 20));
        m_info.drawItems.Add(MakeBox<Velmora::ImageItem>("image.corner", 2, -60, -30, 40, 20));
        m_info.drawItems.Add(MakeBox<Velmora::ImageItem>("image.file", 3, 5, 5, 10, 10));
        m_info.drawItems.Add(MakeBox<Velmora::ImageItem>("image.fromright", 4, 20, 20, -20, 10));
        m_skin.Attach(m_window);
        UpdateWindow(m_window);
        PumpMessages();
        ValidateRect(m_window, nullptr);
        RecordOf(m_window).paints = 0;
    }

    HWND m_window = nullptr;
    WindowInfo m_info;
    CWindow m_skin{*Velmora::CManager::Instance(), &m_info};
};

TEST_F(SkinWindowTest, PlacementFollowsTheDescription) {
    struct Case {
        bool hasPosition;
        int left, top, width, height;
        DWORD style;
        RECT expected;
    };
    // The window starts at (10, 20), 50x40, in a 400x300 parent.
    const Case cases[] = {
        // Nothing given: place and size stay.
        {false, 0, 0, 0, 0, 0, {10, 20, 60, 60}},
        // A place counted from the parent's right and bottom edges.
        {true, -100, -50, 80, 30, 0, {300, 250, 380, 280}},
        // A size alone ignores the place.
        {false, 99, 0, 120, 70, 0, {10, 20, 130, 90}},
        // A height of 0 takes the client height: 40 less the 1-pixel frame at each edge.
        {true, 5, 6, 70, 0, WS_BORDER, {5, 6, 75, 44}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.expected.left);
        HWND window = CreateTestWindow(m_top, 10, 20, 50, 40, test.style);
        CreateTestWindow(m_top, 30, 30, 50, 40);
        SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ASSERT_NE(GetWindow(m_top, GW_CHILD), window);
        WindowInfo info;
        info.hasPosition = test.hasPosition;
        info.left = test.left;
        info.top = test.top;
        info.width = test.width;
        info.height = test.height;
        CWindow skin(*Velmora::CManager::Instance(), &info);
        skin.Attach(window);

        RECT rect = {};
        // The borderless top window at (0, 0) makes screen and parent coordinates one.
        GetWindowRect(window, &rect);
        EXPECT_EQ(Text(rect), Text(test.expected));
        // Its place among its siblings (a dialog's tab order) stays.
        EXPECT_EQ(GetWindow(window, GW_HWNDNEXT), nullptr);
    }
}

TEST_F(SkinWindowTest, BackgroundIsTheParentsPaintUnderTheWindowUntilARebuild) {
    CCanvas parent(400, 300);
    SetPixel(parent.Dc(), 10, 10, RGB(255, 0, 0));
    SetPixel(parent.Dc(), 209, 109, RGB(0, 0, 255));

    m_skin.CaptureBackground(parent.Dc());

    const Velmora::CMemoryCanvas& background = m_skin.GetBackground();
    ASSERT_TRUE(background.IsValid());
    EXPECT_EQ(std::make_pair(background.GetWidth(), background.GetHeight()),
              std::make_pair(200, 100));
    EXPECT_EQ(GetPixel(background.GetDC(), 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(background.GetDC(), 199, 99), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(background.GetDC(), 5, 5), RGB(255, 255, 255));

    m_skin.Redraw(true, nullptr);
    EXPECT_FALSE(m_skin.GetBackground().IsValid());
}

TEST_F(SkinWindowTest, ChangedItemRepaintsItsRectangleOrTheWholeWindow) {
    struct Case {
        const char* id;
        const char* text;
        RECT expected;
    };
    const Case cases[] = {
        // Without a width of its own the item may cover anything.
        {"text.whole", nullptr, {0, 0, 200, 100}},
        {"text.sized", nullptr, {0, 10, 50, 30}},
        {"text.sized", "新的文字", {0, 10, 50, 30}},
        {"image.corner", nullptr, {140, 70, 180, 90}},
        // A width counted from the right edge gives no size of its own.
        {"image.fromright", nullptr, {0, 0, 200, 100}},
    };
    int paints = 0;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.id);
        if (test.text)
            EXPECT_EQ(m_skin.SetDrawItemValue(test.id, test.text), 1);
        else
            EXPECT_EQ(m_skin.SetDrawItemVisible(test.id, false), 1);
        EXPECT_EQ(RecordOf(m_window).paints, ++paints);
        EXPECT_EQ(Text(RecordOf(m_window).lastPaint), Text(test.expected));
    }

    EXPECT_EQ(m_skin.SetDrawItemVisible("no.such", false), 0);
    EXPECT_EQ(m_skin.SetDrawItemValue("no.such", "x"), 0);
    UpdateWindow(m_window);
    EXPECT_EQ(RecordOf(m_window).paints, paints);
}

// A file shown before is read again: one that no longer decodes is refused.
TEST_F(SkinWindowTest, ImageIsReadAgainAndAFailedReadRepaintsNothing) {
    const std::string path = MakeScratchFolder("skin_window_image") + "\\picture.bmp";
    ASSERT_TRUE(WriteFileBytes(path, PictureBytes("red-2x2.bmp")));
    ASSERT_NE(Velmora::CManager::Instance()->GetFileImage(path, false), nullptr);
    EXPECT_EQ(m_skin.SetDrawItemValue("image.file", path.c_str()), 1);
    EXPECT_EQ(RecordOf(m_window).paints, 1);
    EXPECT_EQ(Text(RecordOf(m_window).lastPaint), "5,5,15,15");

    ASSERT_TRUE(WriteFileBytes(path, "not a picture"));
    EXPECT_EQ(m_skin.SetDrawItemValue("image.file", path.c_str()), 0);
    UpdateWindow(m_window);
    EXPECT_EQ(RecordOf(m_window).paints, 1);
}

} // namespace
