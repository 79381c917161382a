// The generic skin painting a real window: its description's items appear
// at their pixels, its painted look is kept and reused until a rebuild, and
// what the program paints itself comes on top.
#include "CommonCtrl.h"
#include "Manager.h"
#include "SkinWindowSupport.h"

#include <gtest/gtest.h>

#include <memory>

using Velmora::CCommonCtrl;
using Velmora::WindowInfo;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class CPixelSelfPaint : public Velmora::ISelfPaint {
  public:
    void OnSelfPaint(HDC dc, int value) override {
        ++calls;
        lastValue = value;
        SetPixel(dc, 1, 1, kBlue);
    }
    int calls = 0;
    int lastValue = 0;
};

// A 200x100 window at (20, 20) of a 300x200 top window, skinned by the
// generic skin: white over the whole client, a red box, a blue line, and a
// green box that belongs to the "normal" state only.
class CommonCtrlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_top = CreateTopWindow(0, 0, 300, 200);
        m_window = CreateChildWindow(m_top, 20, 20, 200, 100);
        m_info.drawItems.Add(MakeFill("back", 0, 0, 0, 0, 0, kWhite));
        m_red = m_info.drawItems.Add(MakeFill("box", 1, 10, 10, 50, 40, kRed));
        m_info.drawItems.Add(MakeLine("rule", 2, 0, 60, 100, 60, kBlue));
        m_info.drawItems.Add(
            MakeFill("normal.only", 3, 100, 0, 150, 50, kGreen, Velmora::STATE_NORMAL));
        auto tips = MakeText("tips", 4, 10, 70, 80, 20);
        tips->textColor = RGB(0, 0, 0);
        m_info.drawItems.Add(std::move(tips));
        m_skin.Attach(m_window);
        RecordOf(m_window).paints = 0;
        InvalidateRect(m_window, nullptr, TRUE);
        UpdateWindow(m_window);
        PumpMessages();
    }
    void TearDown() override {
        m_skin.Attach(nullptr);
        DestroyWindow(m_top);
        PumpMessages();
        ForgetRecords();
        Velmora::CManager::Destroy();
    }
    void Repaint() {
        InvalidateRect(m_window, nullptr, FALSE);
        UpdateWindow(m_window);
    }

    HWND m_top = nullptr;
    HWND m_window = nullptr;
    WindowInfo m_info;
    Velmora::SurfaceItem* m_red = nullptr;
    CCommonCtrl m_skin{&m_info};
};

TEST_F(CommonCtrlTest, ItemsOfAllStatesAppearAtTheirPixels) {
    EXPECT_EQ(PixelOf(m_window, 5, 5), kWhite);
    EXPECT_EQ(PixelOf(m_window, 20, 20), kRed);
    EXPECT_EQ(PixelOf(m_window, 45, 35), kRed);
    EXPECT_EQ(PixelOf(m_window, 55, 45), kWhite);
    EXPECT_EQ(PixelOf(m_window, 50, 60), kBlue);
    EXPECT_EQ(PixelOf(m_window, 50, 61), kWhite);
    EXPECT_EQ(PixelOf(m_window, 120, 20), kWhite);
    EXPECT_EQ(PixelOf(m_window, 197, 97), kWhite);
    // The skin paints every pixel itself: the window's own procedure never paints.
    EXPECT_EQ(RecordOf(m_window).paints, 0);
}

TEST_F(CommonCtrlTest, PaintedLookIsReusedUntilARebuild) {
    m_red->fillColor = kGreen;
    Repaint();
    EXPECT_EQ(PixelOf(m_window, 20, 20), kRed);
    m_skin.Redraw(false, nullptr);
    EXPECT_EQ(PixelOf(m_window, 20, 20), kRed);

    m_skin.Redraw(true, nullptr);
    EXPECT_EQ(PixelOf(m_window, 20, 20), kGreen);
}

TEST_F(CommonCtrlTest, ResizedWindowIsRepaintedFromTheDescription) {
    m_red->fillColor = kGreen;
    SetWindowPos(m_window, nullptr, 0, 0, 250, 120, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    EXPECT_EQ(PixelOf(m_window, 20, 20), kGreen);
    EXPECT_EQ(PixelOf(m_window, 240, 110), kWhite);
}

int DarkPixels(HWND window, const RECT& rect) {
    HDC dc = GetDC(window);
    int dark = 0;
    for (LONG y = rect.top; y < rect.bottom; ++y) {
        for (LONG x = rect.left; x < rect.right; ++x) {
            if (GetPixel(dc, x, y) == RGB(0, 0, 0))
                ++dark;
        }
    }
    ReleaseDC(window, dc);
    return dark;
}

TEST_F(CommonCtrlTest, ChangedOrHiddenTextShowsAtOnce) {
    const RECT tips = {10, 70, 90, 90};
    ASSERT_EQ(DarkPixels(m_window, tips), 0);

    EXPECT_EQ(m_skin.SetDrawItemValue("tips", "WWW"), 1);
    EXPECT_GT(DarkPixels(m_window, tips), 0);

    EXPECT_EQ(m_skin.SetDrawItemVisible("tips", false), 1);
    EXPECT_EQ(DarkPixels(m_window, tips), 0);
}

TEST_F(CommonCtrlTest, ProgramsOwnPaintComesAfterTheSkin) {
    CPixelSelfPaint handler;
    m_skin.SetSelfPaint(&handler, 1234);
    Repaint();
    EXPECT_EQ(handler.calls, 1);
    EXPECT_EQ(handler.lastValue, 1234);
    EXPECT_EQ(PixelOf(m_window, 1, 1), kBlue);
    EXPECT_EQ(PixelOf(m_window, 2, 2), kWhite);
    m_skin.SetSelfPaint(nullptr, 0);
}

} // namespace

namespace {

// A self-paint handler that looks, while the parent paints, at which points
// of its client area the paint may still reach.
class CClipProbe : public Velmora::ISelfPaint {
  public:
    void OnSelfPaint(HDC dc, int) override {
        ++calls;
        underOpaque = PtVisible(dc, opaquePoint.x, opaquePoint.y) != FALSE;
        underClear = PtVisible(dc, clearPoint.x, clearPoint.y) != FALSE;
        underPlain = PtVisible(dc, plainPoint.x, plainPoint.y) != FALSE;
    }
    POINT opaquePoint = {};
    POINT clearPoint = {};
    POINT plainPoint = {};
    int calls = 0;
    bool underOpaque = true;
    bool underClear = false;
    bool underPlain = false;
};

// Windows skinned through the manager with descriptions of its registry.
class ManagedCommonCtrlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_top = CreateTopWindow(0, 0, 300, 200);
        m_parent = CreateChildWindow(m_top, 0, 0, 300, 200);
        Velmora::CManager* manager = Velmora::CManager::Instance();
        Velmora::DescriptionRegistry& registry =
            manager->Descriptions(Velmora::DescriptionType::CommonCtrl);
        auto parent = std::make_unique<WindowInfo>();
        parent->id = "parent";
        parent->drawItems.Add(MakeFill("back", 0, 0, 0, 0, 0, kWhite));
        registry.Add(std::move(parent));
        auto opaque = std::make_unique<WindowInfo>();
        opaque->id = "child.opaque";
        opaque->drawItems.Add(MakeFill("back", 0, 0, 0, 0, 0, kGreen));
        registry.Add(std::move(opaque));
        auto clear = std::make_unique<WindowInfo>();
        clear->id = "child.clear";
        clear->transparent = true;
        registry.Add(std::move(clear));
    }
    void TearDown() override {
        if (IsWindow(m_top))
            DestroyWindow(m_top);
        PumpMessages();
        ForgetRecords();
        Velmora::CManager::Destroy();
    }

    HWND m_top = nullptr;
    HWND m_parent = nullptr;
};

TEST_F(ManagedCommonCtrlTest, OpaqueSkinnedChildrenAreLeftOutOfTheParentsPaint) {
    HWND opaque = CreateChildWindow(m_parent, 10, 10, 50, 50);
    HWND clear = CreateChildWindow(m_parent, 100, 10, 50, 50);
    // An unskinned child.
    CreateChildWindow(m_parent, 200, 10, 50, 50);
    Velmora::CManager* manager = Velmora::CManager::Instance();
    ASSERT_EQ(manager->SkinWindow(m_parent, 1, "parent", false), 1);
    ASSERT_EQ(manager->SkinWindow(opaque, 1, "child.opaque", false), 1);
    ASSERT_EQ(manager->SkinWindow(clear, 1, "child.clear", false), 1);
    CClipProbe probe;
    probe.opaquePoint = POINT{30, 30};
    probe.clearPoint = POINT{120, 30};
    probe.plainPoint = POINT{220, 30};
    ASSERT_EQ(manager->SetSelfPaint(m_parent, &probe, 0), 1);

    InvalidateRect(m_parent, nullptr, FALSE);
    UpdateWindow(m_parent);
    PumpMessages();

    ASSERT_GE(probe.calls, 1);
    EXPECT_FALSE(probe.underOpaque);
    EXPECT_TRUE(probe.underClear);
    EXPECT_TRUE(probe.underPlain);
    EXPECT_EQ(PixelOf(opaque, 25, 25), kGreen);
    EXPECT_EQ(PixelOf(m_parent, 280, 150), kWhite);

    // A hidden child is painted over like any other part of the parent.
    ShowWindow(opaque, SW_HIDE);
    InvalidateRect(m_parent, nullptr, FALSE);
    UpdateWindow(m_parent);
    EXPECT_TRUE(probe.underOpaque);
    manager->SetSelfPaint(m_parent, nullptr, 0);
}

TEST_F(ManagedCommonCtrlTest, DestroyedWindowLeavesTheManagerAndItsProcedureBack) {
    HWND child = CreateChildWindow(m_parent, 10, 10, 50, 50);
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
    ASSERT_TRUE(RecordOf(child).ncDestroyed);
    EXPECT_EQ(RecordOf(child).procAtNcDestroy, TestWindowProc());
}

TEST_F(ManagedCommonCtrlTest, MessagesForUnskinnedControlsReachTheWindowsOwnProcedure) {
    HWND button = CreateChildWindow(m_parent, 10, 10, 50, 20);
    Velmora::CManager* manager = Velmora::CManager::Instance();
    ASSERT_EQ(manager->SkinWindow(m_parent, 1, "parent", false), 1);

    HDC dc = GetDC(m_parent);
    EXPECT_EQ(SendMessageA(m_parent, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(button)),
              kCtlColorResult);
    DRAWITEMSTRUCT record = {};
    record.CtlType = ODT_BUTTON;
    record.CtlID = 1;
    record.hwndItem = button;
    record.hDC = dc;
    EXPECT_EQ(SendMessageA(m_parent, WM_DRAWITEM, 1, reinterpret_cast<LPARAM>(&record)),
              kDrawItemResult);
    record.CtlType = ODT_MENU;
    record.CtlID = 0;
    EXPECT_EQ(SendMessageA(m_parent, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&record)),
              kDrawItemResult);
    ReleaseDC(m_parent, dc);
    EXPECT_EQ(SendMessageA(m_parent, WM_ERASEBKGND, 0, 0), 1);
}

} // namespace
