// Buttons, check and radio boxes, statics and group boxes of a real dialog
// skinned recursively: which skin each control gets, the state it shows by
// pixel, the radio group, and what the program sees of check states.
#include "ControlsSupport.h"

using Velmora::SkinList;

namespace {

class ButtonTest : public ControlsTest {
  protected:
    void SetUp() override {
        ControlsTest::SetUp();
        OpenDialog(kControlsDialog);
        // The program checks a box before the skin arrives.
        CheckDlgButton(m_dialog, 11, BST_CHECKED);
        for (int id = 20; id <= 23; ++id)
            WatchGroupMessages(Item(id));
        ASSERT_EQ(Manager()->SkinWindow(m_dialog, 2, nullptr, true), 1);
    }
    HWND Item(int id) const { return GetDlgItem(m_dialog, id); }
    bool Checked(int id) const { return IsDlgButtonChecked(m_dialog, id) == BST_CHECKED; }
    COLORREF Corner(int id) const {
        const RECT rect = WindowRectOf(Item(id));
        return ClientPixel(Item(id), rect.right - rect.left - 3, rect.bottom - rect.top - 3);
    }
    // The mouse comes over the control; or it has left it (the system tells
    // that after a while, the test at once).
    void Hover(int id) {
        const RECT rect = WindowRectOf(Item(id));
        MoveMouseTo(rect.right - 3 - (++m_moves % 2), rect.bottom - 3);
    }
    void Unhover(int id) const {
        TRACKMOUSEEVENT cancel = {sizeof(cancel), TME_CANCEL | TME_LEAVE, Item(id), 0};
        TrackMouseEvent(&cancel);
        MoveMouseAway();
        SendMessageA(Item(id), WM_MOUSELEAVE, 0, 0);
    }
    // Pixels of that colour at y 8 in the first 60 of the window.
    static int Count(HWND window, COLORREF color) {
        PumpMessages();
        return CountClientPixels(window, {0, 8, 60, 9}, color);
    }
    int m_moves = 0;
};

TEST_F(ButtonTest, EachControlGetsTheSkinOfItsOwnKind) {
    // The push button takes its normal picture's 60x20 cell where it was; the
    // check box keeps its 60 x 12 dialog units.
    EXPECT_EQ(RectText(Item(10), m_dialog), RectText(7, 7, 60, 20));
    EXPECT_EQ(RectText(Item(11), m_dialog), RectText(7, 42, 105, 21));
    const struct {
        int id;
        SkinList list;
        int kind;
    } cases[] = {{10, SkinList::Button, 3},  {11, SkinList::Button, 4},
                 {13, SkinList::Button, 5},  {14, SkinList::CommonCtrl, 1},
                 {20, SkinList::Button, 5},  {30, SkinList::Static, 6},
                 {40, SkinList::GroupBox, 8}};
    for (const auto& c : cases) {
        EXPECT_NE(Manager()->FindSkinObject(Item(c.id), c.list), nullptr) << c.id;
        // Owner-drawn or with an icon caption now, its kind unchanged.
        EXPECT_EQ(Manager()->WindowKindOf(Item(c.id)), c.kind) << c.id;
    }
    EXPECT_TRUE(GetWindowLongA(Item(40), GWL_STYLE) & BS_ICON);

    // Skinning the dialog again reuses every object the first pass made.
    std::vector<Velmora::CWindow*> first;
    for (const auto& c : cases)
        first.push_back(Manager()->FindSkinObject(Item(c.id), c.list));
    Velmora::CWindow* dialog = Manager()->FindSkinObject(m_dialog, SkinList::Dialog);
    ASSERT_EQ(Manager()->SkinWindow(m_dialog, 2, nullptr, true), 1);
    EXPECT_EQ(Manager()->FindSkinObject(m_dialog, SkinList::Dialog), dialog);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(Manager()->FindSkinObject(Item(cases[i].id), cases[i].list), first[i])
            << cases[i].id;
}

TEST_F(ButtonTest, EveryStateImageShowsWhenItsStateComesTrue) {
    // Hovered, disabled and checked, disabled wins; a plain radio box (4)
    // paints once it is owner-drawn; a push button is never checked.
    const struct {
        int id;
        bool checked, hovered, pushed, disabled;
        int state;
    } rows[] = {{11, false, false, false, false, 0}, {11, false, true, false, false, 1},
                {11, false, false, true, false, 2},  {11, false, false, false, true, 3},
                {11, true, false, false, false, 4},  {11, true, true, false, false, 5},
                {11, true, false, true, false, 6},   {11, true, false, false, true, 7},
                {11, true, true, false, true, 7},    {13, true, false, false, false, 4},
                {10, true, false, true, false, 2}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.id << " state " << row.state);
        EnableWindow(Item(row.id), TRUE);
        SendMessageA(Item(row.id), BM_SETCHECK, row.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        row.hovered ? Hover(row.id) : Unhover(row.id);
        SendMessageA(Item(row.id), BM_SETSTATE, row.pushed, 0);
        EnableWindow(Item(row.id), !row.disabled);
        EXPECT_EQ(Corner(row.id), kStateColor[row.state]);
        SendMessageA(Item(row.id), BM_SETSTATE, FALSE, 0);
    }
}

TEST_F(ButtonTest, ClickingARadioBoxUnchecksTheOthersOfItsGroupOnce) {
    // Per radio box of the group: checked, and how often it was told 0x3C54.
    auto group = [this](bool told) {
        std::vector<int> values;
        for (int id = 20; id <= 23; ++id)
            values.push_back(told ? g_groupMessages[Item(id)] : Checked(id));
        return values;
    };
    // Two clicks with no message handled between them: the later one wins,
    // and each told the three others once. A second click changes nothing.
    for (int id : {22, 20, 20}) {
        SendMessageA(Item(id), BM_CLICK, 0, 0);
        EXPECT_EQ(group(false), (std::vector<int>{id == 20, 0, id == 22, 0}));
    }
    EXPECT_EQ(group(true), (std::vector<int>{1, 2, 1, 2}));
    EXPECT_EQ(Corner(22), kStateColor[0]);
    EXPECT_EQ(Corner(20), kStateColor[4]);
    // The group walk leaves out disabled windows: from a disabled radio box it
    // never comes back to where it began, and still ends.
    EnableWindow(Item(23), FALSE);
    SendMessageA(Item(23), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(group(false), (std::vector<int>{0, 0, 0, 1}));
    EXPECT_EQ(group(true), (std::vector<int>{2, 3, 2, 2}));
}

// What the program reads and does keeps working: a check set before the skin
// came, a plain check box it turns over itself, the state flags, a new
// caption, and the check state it gets back when the skin is gone.
TEST_F(ButtonTest, ChecksAndCaptionsStayThoseTheProgramSees) {
    EXPECT_EQ(Corner(11), kStateColor[4]);
    EXPECT_EQ(SendMessageA(Item(11), BM_GETSTATE, 0, 0) & 3, BST_CHECKED);
    for (int id : {12, 11, 11})
        SendMessageA(Item(id), BM_CLICK, 0, 0);
    EXPECT_EQ((std::vector<int>{Checked(11), Checked(12)}), (std::vector<int>{1, 1}));
    const int dark = Count(Item(10), RGB(0, 0, 0));
    SetWindowTextA(Item(10), "WWWWWW");
    EXPECT_GT(Count(Item(10), RGB(0, 0, 0)), std::max(dark, 1));

    Velmora::CManager::Destroy();
    auto style = [this](int id, LONG bits) { return GetWindowLongA(Item(id), GWL_STYLE) & bits; };
    EXPECT_EQ((std::vector<LONG>{style(11, BS_TYPEMASK), style(13, BS_TYPEMASK), style(40, BS_ICON),
                                 Checked(11), Checked(12)}),
              (std::vector<LONG>{BS_AUTOCHECKBOX, BS_RADIOBUTTON, 0, 1, 1}));
}

TEST_F(ButtonTest, StaticShowsOverAndDownWithoutNotifyAndOnlyTheSkin) {
    HWND label = Item(30);
    // Whatever the skin of a static, its parent's answer lets the skin show.
    HDC dc = GetDC(label);
    EXPECT_EQ(SendMessageA(m_dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(label)),
              reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    ReleaseDC(label, dc);
    EXPECT_EQ(SendMessageA(label, WM_NCHITTEST, 0, 0), HTCLIENT);
    EXPECT_EQ(ClientPixel(label, 5, 5), kStateColor[0]);
    MoveMouseTo(WindowRectOf(label).left + 5, WindowRectOf(label).top + 5);
    EXPECT_EQ(ClientPixel(label, 5, 5), kStateColor[1]);
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(GetCapture(), label);
    EXPECT_EQ(ClientPixel(label, 5, 5), kStateColor[2]);
    SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(ClientPixel(label, 5, 5), kStateColor[1]);
    MoveMouseAway();
    EnableWindow(label, FALSE);
    EXPECT_EQ(ClientPixel(label, 5, 5), kStateColor[3]);
    // The system paints a new text at once in its own look; the skin paints over it.
    SetWindowTextA(label, "WWWWWWWW");
    EXPECT_EQ(Count(label, kStateColor[3]), 60);
}

TEST_F(ButtonTest, RightCaptionOfAGroupBoxEndsTenPixelsBeforeTheEdge) {
    HWND group = Item(40);
    SetWindowPos(group, nullptr, 0, 0, 200, 60, SWP_NOMOVE | SWP_NOZORDER);
    // Disabled, the system would draw its own frame over the skin's at once.
    EnableWindow(group, FALSE);
    // The caption is the 46 x 12 picture: 50 wide with its margins, at x 140;
    // the frame is black.
    constexpr COLORREF kPicture = RGB(160, 0, 160);
    const struct {
        int x, y;
        COLORREF color;
    } pixels[] = {{139, 6, 0},        {140, 6, kBack},    {141, 6, kBack},
                  {142, 6, kPicture}, {187, 6, kPicture}, {189, 6, kBack},
                  {191, 6, 0},        {0, 30, 0},         {1, 30, kBack}};
    for (const auto& pixel : pixels)
        EXPECT_EQ(ClientPixel(group, pixel.x, pixel.y), pixel.color) << pixel.x << "," << pixel.y;
}

} // namespace
