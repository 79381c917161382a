// The skinned-window base on real windows: placement by the description,
// the background taken from the parent, and which part of the window is
// repainted when a program changes a draw item.
#include "Manager.h"
#include "SkinWindowSupport.h"
#include "Window.h"

#include <gtest/gtest.h>

#include "SkinFiles.h"
#include "UiProbe.h"

#include <memory>
#include <string>

using Velmora::CWindow;
using Velmora::WindowInfo;

namespace {

class SkinWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { m_top = CreateTopWindow(0, 0, 400, 300); }
    void TearDown() override {
        if (IsWindow(m_top))
            DestroyWindow(m_top);
        PumpMessages();
        ForgetRecords();
        Velmora::CManager::Destroy();
    }

    HWND m_top = nullptr;
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

::testing::AssertionResult RectIs(const RECT& actual, LONG left, LONG top, LONG right,
                                  LONG bottom) {
    if (SameRect(actual, RECT{left, top, right, bottom}))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << actual.left << "," << actual.top << "," << actual.right << "," << actual.bottom
           << ") instead of (" << left << "," << top << "," << right << "," << bottom << ")";
}

using PlacementTest = SkinWindowTest;

TEST_F(PlacementTest, DescriptionWithoutPlaceOrSizeOnlyRaisesTheWindow) {
    HWND window = CreateChildWindow(m_top, 10, 20, 50, 40);
    HWND sibling = CreateChildWindow(m_top, 30, 30, 50, 40);
    SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_NE(GetWindow(m_top, GW_CHILD), window);

    WindowInfo info;
    CWindow skin(&info);
    skin.Attach(window);

    EXPECT_TRUE(RectIs(RectInParent(window), 10, 20, 60, 60));
    EXPECT_EQ(GetWindow(m_top, GW_CHILD), window);
    EXPECT_NE(GetWindow(m_top, GW_CHILD), sibling);
}

TEST_F(PlacementTest, NegativePlaceCountsFromTheParentsFarEdges) {
    HWND window = CreateChildWindow(m_top, 10, 20, 50, 40);
    WindowInfo info;
    info.hasPosition = true;
    info.left = -100;
    info.top = -50;
    info.width = 80;
    info.height = 30;
    CWindow skin(&info);
    skin.Attach(window);

    EXPECT_TRUE(RectIs(RectInParent(window), 300, 250, 380, 280));
}

TEST_F(PlacementTest, PositiveSizeWithoutPlaceKeepsThePosition) {
    HWND window = CreateChildWindow(m_top, 10, 20, 50, 40);
    WindowInfo info;
    info.left = 99;
    info.width = 120;
    info.height = 70;
    CWindow skin(&info);
    skin.Attach(window);

    EXPECT_TRUE(RectIs(RectInParent(window), 10, 20, 130, 90));
}

TEST_F(PlacementTest, ZeroHeightTakesTheClientHeight) {
    HWND window = CreateChildWindow(m_top, 10, 20, 50, 40, WS_BORDER);
    RECT client = {};
    GetClientRect(window, &client);
    ASSERT_LT(client.bottom, 40);

    WindowInfo info;
    info.hasPosition = true;
    info.left = 5;
    info.top = 6;
    info.width = 70;
    CWindow skin(&info);
    skin.Attach(window);

    EXPECT_TRUE(RectIs(RectInParent(window), 5, 6, 75, 6 + client.bottom));
}

TEST_F(SkinWindowTest, BackgroundIsTheParentsPaintUnderTheWindow) {
    HWND window = CreateChildWindow(m_top, 30, 40, 20, 10);
    WindowInfo info;
    CWindow skin(&info);
    skin.Attach(window);

    HDC screen = GetDC(m_top);
    HDC parentDc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 400, 300);
    ReleaseDC(m_top, screen);
    HGDIOBJ previous = SelectObject(parentDc, bitmap);
    RECT all = {0, 0, 400, 300};
    FillRect(parentDc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetPixel(parentDc, 30, 40, RGB(255, 0, 0));
    SetPixel(parentDc, 49, 49, RGB(0, 0, 255));

    skin.CaptureBackground(parentDc);

    const Velmora::CMemoryCanvas& background = skin.GetBackground();
    ASSERT_TRUE(background.IsValid());
    EXPECT_EQ(background.GetWidth(), 20);
    EXPECT_EQ(background.GetHeight(), 10);
    EXPECT_EQ(GetPixel(background.GetDC(), 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(background.GetDC(), 19, 9), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(background.GetDC(), 5, 5), RGB(255, 255, 255));

    skin.Redraw(true, nullptr);
    EXPECT_FALSE(skin.GetBackground().IsValid());

    SelectObject(parentDc, previous);
    DeleteObject(bitmap);
    DeleteDC(parentDc);
}

// A 200x100 window skinned by the base, whose own procedure records the
// rectangle every paint covers.
class DrawItemChangeTest : public SkinWindowTest {
  protected:
    void SetUp() override {
        SkinWindowTest::SetUp();
        m_window = CreateChildWindow(m_top, 10, 10, 200, 100);
        m_info.drawItems.Add(MakeText("text.whole", 0, 10, 10, 0, 20));
        m_info.drawItems.Add(MakeText("text.sized", 1, 0, 10, 50, 20));
        m_info.drawItems.Add(MakeImage("image.corner", 2, -60, -30, 40, 20));
        m_info.drawItems.Add(MakeImage("image.file", 3, 5, 5, 10, 10));
        m_info.drawItems.Add(MakeImage("image.fromright", 4, 20, 20, -20, 10));
        m_skin.Attach(m_window);
        ResetPaints(m_window);
    }

    const WindowRecord& Record() { return RecordOf(m_window); }

    HWND m_window = nullptr;
    WindowInfo m_info;
    CWindow m_skin{&m_info};
};

TEST_F(DrawItemChangeTest, HidingAnItemRepaintsItsRectangleOrTheWholeWindow) {
    EXPECT_EQ(m_skin.SetDrawItemVisible("text.whole", false), 1);
    EXPECT_FALSE(m_info.drawItems.Find("text.whole", Velmora::DRAWITEM_TEXT)->visible);
    EXPECT_EQ(Record().paints, 1);
    EXPECT_TRUE(RectIs(Record().lastPaint, 0, 0, 200, 100));

    EXPECT_EQ(m_skin.SetDrawItemVisible("text.sized", false), 1);
    EXPECT_EQ(Record().paints, 2);
    EXPECT_TRUE(RectIs(Record().lastPaint, 0, 10, 50, 30));

    EXPECT_EQ(m_skin.SetDrawItemVisible("image.corner", false), 1);
    EXPECT_FALSE(m_info.drawItems.Find("image.corner", Velmora::DRAWITEM_IMAGE)->visible);
    EXPECT_EQ(Record().paints, 3);
    EXPECT_TRUE(RectIs(Record().lastPaint, 140, 70, 180, 90));

    // A width counted from the right edge gives no size of its own.
    EXPECT_EQ(m_skin.SetDrawItemVisible("image.fromright", false), 1);
    EXPECT_EQ(Record().paints, 4);
    EXPECT_TRUE(RectIs(Record().lastPaint, 0, 0, 200, 100));
}

TEST_F(DrawItemChangeTest, UnknownIdsChangeAndRepaintNothing) {
    EXPECT_EQ(m_skin.SetDrawItemVisible("no.such", false), 0);
    EXPECT_EQ(m_skin.SetDrawItemValue("no.such", "x"), 0);
    UpdateWindow(m_window);
    EXPECT_EQ(Record().paints, 0);
}

TEST_F(DrawItemChangeTest, NewTextRepaintsTheItem) {
    EXPECT_EQ(m_skin.SetDrawItemValue("text.sized", "新的文字"), 1);
    EXPECT_EQ(
        static_cast<Velmora::TextItem*>(m_info.drawItems.Find("text.sized", Velmora::DRAWITEM_TEXT))
            ->content,
        "新的文字");
    EXPECT_EQ(Record().paints, 1);
    EXPECT_TRUE(RectIs(Record().lastPaint, 0, 10, 50, 30));
}

TEST_F(DrawItemChangeTest, ImageShownBeforeIsReadAgainAndAFailedReadRepaintsNothing) {
    const std::string folder = MakeScratchFolder("skin_window_image");
    const std::string path = folder + "\\picture.bmp";
    ASSERT_TRUE(WriteFileBytes(path, MakeBmpFile(2, 2, RGB(255, 0, 0))));
    Velmora::CManager* manager = Velmora::CManager::Instance();
    ASSERT_NE(manager->GetFileImage(path, false), nullptr);

    ASSERT_TRUE(WriteFileBytes(path, MakeBmpFile(2, 2, RGB(0, 0, 255))));
    EXPECT_EQ(m_skin.SetDrawItemValue("image.file", path.c_str()), 1);
    EXPECT_EQ(Record().paints, 1);
    EXPECT_TRUE(RectIs(Record().lastPaint, 5, 5, 15, 15));
    Velmora::CVelmoraImage* image = manager->FindFileImage(path);
    ASSERT_NE(image, nullptr);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 2, 2);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    EXPECT_TRUE(image->Draw(memory, 0, 0, 2, 2));
    EXPECT_EQ(GetPixel(memory, 1, 1), RGB(0, 0, 255));
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);

    ASSERT_TRUE(WriteFileBytes(path, "not a picture"));
    EXPECT_EQ(m_skin.SetDrawItemValue("image.file", path.c_str()), 0);
    UpdateWindow(m_window);
    EXPECT_EQ(Record().paints, 1);
}

TEST_F(DrawItemChangeTest, ItemsAreFoundByIdAndByState) {
    auto normal = MakeImage("image.normal", 5, 0, 0, 0, 0);
    normal->state = Velmora::STATE_NORMAL;
    auto over = MakeImage("image.over", 6, 0, 0, 0, 0);
    over->state = Velmora::STATE_OVER;
    m_info.drawItems.Add(std::move(over));
    m_info.drawItems.Add(std::move(normal));

    EXPECT_EQ(m_skin.FindItemOfState(Velmora::DRAWITEM_IMAGE, Velmora::STATE_NORMAL)->id,
              "image.normal");
    EXPECT_EQ(m_skin.FindItemOfState(Velmora::DRAWITEM_TEXT, Velmora::STATE_NORMAL), nullptr);
    EXPECT_EQ(m_skin.FindItem("text.sized", Velmora::DRAWITEM_TEXT)->id, "text.sized");
    EXPECT_EQ(m_skin.FindItem("text.sized", Velmora::DRAWITEM_IMAGE), nullptr);
}

class CCursorSkin : public CWindow {
  public:
    using CWindow::CWindow;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SETCURSOR)
            return OnSetCursor(wParam, lParam);
        return CWindow::WindowProc(message, wParam, lParam);
    }
};

TEST_F(SkinWindowTest, CursorOfTheDescriptionIsShownWhenTheSkinHasIt) {
    auto cursor = std::make_unique<Velmora::GDICursor>();
    cursor->SetId("hand");
    const std::string bytes = MakeCurFile(32, 32, 0, 0, [](int, int) { return true; });
    HCURSOR handle = cursor->LoadCursorData(bytes.data(), bytes.size());
    ASSERT_NE(handle, nullptr);
    Velmora::CManager::Instance()->Cursors().Add(std::move(cursor));
    HWND window = CreateChildWindow(m_top, 10, 10, 50, 40);
    WindowInfo info;
    info.cursorId = "hand";
    CCursorSkin skin(&info);
    skin.Attach(window);
    const LPARAM hit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);

    EXPECT_EQ(SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), hit), 1);
    EXPECT_EQ(GetCursor(), handle);

    info.cursorId = "no.such.cursor";
    SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), hit);
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
}

} // namespace
