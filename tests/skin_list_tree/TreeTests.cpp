// The library's tree control through its exported functions on real windows:
// two levels laid out, selection and expansion by click and by call, dragging
// a child, item handles checked against the tree's own items, moves that
// would make a cycle, sorting against the selection rule, and painting only
// the rows on screen over one background of all rows.
#include "ListTreeSkin.h"
#include "Velmora.h"

#include <functional>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

long g_compares = 0;

// Data is an item number times 16 plus a key; only keys compare.
LONG CALLBACK ByKey(DWORD_PTR first, DWORD_PTR second, DWORD_PTR) {
    ++g_compares;
    return static_cast<LONG>(first % 16) - static_cast<LONG>(second % 16);
}

LONG CALLBACK Throwing(DWORD_PTR, DWORD_PTR, DWORD_PTR) {
    throw std::runtime_error("compare");
}

// Rows of 20 (top level) and 16 pixels: A 0, B 20 with its children b1 40
// and b2 56 when it is expanded, C after them.
class TreeTest : public ListTreeTest {
  protected:
    HWND Tree(int height) {
        HWND tree = MakeTree(height);
        TreeCtrlExSetLevelItemHeight(tree, 0, 7, 20);
        TreeCtrlExSetLevelItemHeight(tree, 1, 7, 16);
        m_a = Add(tree, nullptr, nullptr);
        m_b = Add(tree, nullptr, m_a);
        m_c = Add(tree, nullptr, m_b);
        m_b1 = Add(tree, m_b, nullptr);
        m_b2 = Add(tree, m_b, m_b1);
        return tree;
    }
    static int Click(HWND tree, int y, UINT message = WM_LBUTTONDOWN) {
        Mouse(tree, message, 50, y);
        if (message == WM_LBUTTONDOWN)
            Mouse(tree, WM_LBUTTONUP, 50, y);
        return 1;
    }
    static VelmoraTreeItem Add(HWND tree, VelmoraTreeItem parent, VelmoraTreeItem after,
                               DWORD_PTR data = 0, const char* style = "a") {
        return TreeCtrlExInsertItem2(tree, "item", style, parent, after, data);
    }
    // The items reachable from item and its siblings, depth first.
    static size_t Reachable(HWND tree, VelmoraTreeItem item, size_t found = 0) {
        for (; item && found < 100; item = TreeCtrlExGetNextSiblingItem(tree, item))
            found = Reachable(tree, TreeCtrlExGetChildItem(tree, item), found + 1);
        return found;
    }
    VelmoraTreeItem m_a = nullptr, m_b = nullptr, m_c = nullptr, m_b1 = nullptr, m_b2 = nullptr;
};

TEST_F(TreeTest, SelectingTogglesExpansionExpandKeepsItOpenAndClicksHitTheirRows) {
    HWND tree = Tree(60);
    const struct {
        const char* what;
        std::function<int()> action;
        VelmoraTreeItem selected;
        COLORREF a, b, aIcon, bIcon;
    } steps[] = {
        {"none", [] { return 1; }, nullptr, kRowA, kRowA, kCollapseIcon, kCollapseIcon},
        {"A", [&] { return TreeCtrlExSelectItem(tree, m_a); }, m_a, kRowASelected, kRowA,
         kExpandIcon, kCollapseIcon},
        {"A again", [&] { return TreeCtrlExSelectItem(tree, m_a); }, m_a, kRowASelected, kRowA,
         kCollapseIcon, kCollapseIcon},
        {"A expanded", [&] { return TreeCtrlExExpand(tree, m_a); }, m_a, kRowASelected, kRowA,
         kExpandIcon, kCollapseIcon},
        {"and again", [&] { return TreeCtrlExExpand(tree, m_a); }, m_a, kRowASelected, kRowA,
         kExpandIcon, kCollapseIcon},
        {"B clicked, A stays open", [&] { return Click(tree, 30); }, m_b, kRowA, kRowASelected,
         kExpandIcon, kExpandIcon},
        {"A hovered", [&] { return Click(tree, 5, WM_MOUSEMOVE); }, m_b, kRowAOver, kRowASelected,
         kExpandIcon, kExpandIcon},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(step.action(), 1) << step.what;
        EXPECT_EQ(TreeCtrlExGetSelectedItem(tree), step.selected) << step.what;
        EXPECT_EQ(ClientPixel(tree, 50, 10, false), step.a) << step.what;
        EXPECT_EQ(ClientPixel(tree, 50, 30, false), step.b) << step.what;
        EXPECT_EQ(ClientPixel(tree, 4, 4, false), step.aIcon) << step.what;
        EXPECT_EQ(ClientPixel(tree, 4, 24, false), step.bIcon) << step.what;
    }
    // A collapsed again: rows 92 high in all, the second child of B at 40..56.
    TreeCtrlExSelectItem(tree, m_a);
    SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(tree, SB_VERT, &info));
    EXPECT_EQ(info.nMax, 92);
    EXPECT_EQ(TreeCtrlExHitTest(tree, 5, 50), m_b1);
    EXPECT_EQ(TreeCtrlExHitTest(tree, 5, 200), nullptr);
    // Second-level rows are indented by the skin's level indent.
    EXPECT_EQ(ClientPixel(tree, 5, 58, false), Stripe(58));
    Click(tree, 50);
    EXPECT_EQ(TreeCtrlExGetSelectedItem(tree), m_b1);
    EXPECT_EQ(ClientPixel(tree, 50, 50, false), kRowASelected);
    EXPECT_EQ(TreeCtrlExSelectItem(tree, nullptr), 0);
}

TEST_F(TreeTest, DraggedChildMovesToTheTopLevelItemItIsDroppedOn) {
    HWND tree = Tree(200);
    TreeCtrlExExpand(tree, m_b);
    // From b1 onto its own parent, onto C; from B (a top-level item) onto A.
    const struct {
        int from, to;
        VelmoraTreeItem target, firstOfB;
    } drops[] = {{45, 30, m_b, m_b1}, {45, 80, m_c, m_b2}, {25, 5, nullptr, m_b2}};
    for (const auto& drop : drops) {
        Mouse(tree, WM_LBUTTONDOWN, 50, drop.from);
        EXPECT_EQ(GetCapture() == tree, drop.target != nullptr);
        Mouse(tree, WM_LBUTTONUP, 50, drop.to);
        EXPECT_NE(GetCapture(), tree);
        const std::vector<Posted> posted = TakePosted();
        ASSERT_EQ(posted.size(), drop.target ? 1u : 0u) << drop.to;
        EXPECT_EQ(TreeCtrlExGetChildItem(tree, m_b), drop.firstOfB) << drop.to;
        if (!drop.target)
            continue;
        EXPECT_EQ(posted[0].to, tree);
        EXPECT_EQ(posted[0].message, 0x2B17u);
        EXPECT_EQ(posted[0].wParam, reinterpret_cast<WPARAM>(drop.target));
        EXPECT_EQ(posted[0].lParam, reinterpret_cast<LPARAM>(m_b1));
        EXPECT_EQ(TreeCtrlExGetParentItem(tree, m_b1), drop.target) << drop.to;
        EXPECT_EQ(TreeCtrlExGetSelectedItem(tree), drop.target) << drop.to;
    }
}

TEST_F(TreeTest, UnknownHandlesFailAndChangeNothing) {
    HWND tree = Tree(200);
    const VelmoraTreeItem foreign = TreeCtrlExInsertItem(MakeTree(50), "x", nullptr, nullptr, 0);
    const VelmoraTreeItem deleted = Add(tree, m_a, nullptr);
    ASSERT_EQ(TreeCtrlExDeleteItem(tree, deleted), 1);
    TreeCtrlExSelectItem(tree, m_b);
    for (VelmoraTreeItem bad : {deleted, foreign, reinterpret_cast<VelmoraTreeItem>(0x7654321)}) {
        const VelmoraTreeSort sort = {bad, ByKey, 0};
        const long long results[] = {
            TreeCtrlExDeleteItem(tree, bad),
            TreeCtrlExSelectItem(tree, bad),
            TreeCtrlExExpand(tree, bad),
            TreeCtrlExSetItemData(tree, bad, 5),
            static_cast<long long>(TreeCtrlExGetItemData(tree, bad)),
            TreeCtrlExItemHasChildren(tree, bad),
            TreeCtrlExGetNextSiblingItem(tree, bad) != nullptr,
            TreeCtrlExGetParentItem(tree, bad) != nullptr,
            TreeCtrlExMoveItem(tree, bad, m_a) + TreeCtrlExMoveItem(tree, m_b2, bad),
            TreeCtrlExSetDrawItemValue(tree, bad, "default", "x"),
            TreeCtrlExInsertItem(tree, "x", bad, nullptr, 0) != nullptr,
            TreeCtrlExInsertItem(tree, "x", nullptr, bad, 0) != nullptr,
            TreeCtrlExSortChildrenCB(tree, &sort),
        };
        for (size_t call = 0; call < sizeof(results) / sizeof(results[0]); ++call)
            EXPECT_EQ(results[call], 0) << "call " << call << " with " << bad;
    }
    // Refused too: deleting an item with children, inserting after an item
    // that is not a child of the parent.
    EXPECT_EQ(TreeCtrlExDeleteItem(tree, m_b), 0);
    EXPECT_EQ(TreeCtrlExInsertItem(tree, "x", m_a, m_b1, 0), nullptr);
    EXPECT_EQ(Reachable(tree, TreeCtrlExGetRootItem(tree)), 5u);
    EXPECT_EQ(TreeCtrlExGetSelectedItem(tree), m_b);

    EXPECT_EQ(TreeCtrlExDeleteAllItems(tree), 1);
    EXPECT_EQ(TreeCtrlExGetRootItem(tree), nullptr);
    EXPECT_EQ(TreeCtrlExGetSelectedItem(tree), nullptr);
    EXPECT_EQ(TreeCtrlExGetItemData(tree, m_a), 0u);
}

TEST_F(TreeTest, MovesThatWouldMakeACycleAreRefusedAndTopLevelItemsMoveWhole) {
    HWND tree = Tree(200);
    const VelmoraTreeItem b11 = Add(tree, m_b1, nullptr);
    const struct {
        VelmoraTreeItem item, parent;
        int result;
        VelmoraTreeItem root, parentAfter;
    } moves[] = {
        {m_b, m_b, 0, m_a, nullptr}, {m_b, b11, 0, m_a, nullptr}, {m_b1, m_b, 1, m_a, m_b},
        {m_a, m_c, 1, m_b, m_c},     {m_b, m_a, 1, m_c, m_a},     {m_c, b11, 0, m_c, nullptr},
        {b11, m_c, 1, m_c, m_c},
    };
    for (const auto& move : moves) {
        EXPECT_EQ(TreeCtrlExMoveItem(tree, move.item, move.parent), move.result);
        EXPECT_EQ(TreeCtrlExGetRootItem(tree), move.root);
        EXPECT_EQ(TreeCtrlExGetParentItem(tree, move.item), move.parentAfter);
        EXPECT_EQ(Reachable(tree, TreeCtrlExGetRootItem(tree)), 6u);
    }
}

TEST_F(TreeTest, SortedChildrenTakeTheSelectionRulesOrderInFewCompares) {
    HWND tree = Tree(200);
    std::mt19937 random(17);
    for (int count : {0, 1, 2, 7, 300, 2000}) {
        std::vector<DWORD_PTR> data;
        VelmoraTreeItem last = nullptr;
        for (int i = 0; i < count; ++i) {
            data.push_back(static_cast<DWORD_PTR>(i) * 16 + random() % (count % 7 + 3));
            last = Add(tree, m_a, last, data.back());
        }
        const VelmoraTreeSort sort = {m_a, ByKey, 0};
        g_compares = 0;
        ASSERT_EQ(TreeCtrlExSortChildrenCB(tree, &sort), 1);
        long bound = count;
        for (int n = 1; n < count; n *= 2)
            bound += count;
        EXPECT_LE(g_compares, bound) << count;
        // The selection rule: repeatedly the last of the greatest of the rest.
        for (VelmoraTreeItem child; (child = TreeCtrlExGetChildItem(tree, m_a)) != nullptr;) {
            size_t choice = 0;
            for (size_t i = 1; i < data.size(); ++i)
                choice = ByKey(data[i], data[choice], 0) >= 0 ? i : choice;
            EXPECT_EQ(TreeCtrlExGetItemData(tree, child), data[choice]) << count;
            data.erase(data.begin() + static_cast<std::ptrdiff_t>(choice));
            TreeCtrlExDeleteItem(tree, child);
        }
    }
    // A compare function that throws leaves the children as they were.
    const VelmoraTreeSort throwing = {m_b, Throwing, 0};
    EXPECT_EQ(TreeCtrlExSortChildrenCB(tree, &throwing), 0);
    EXPECT_EQ(TreeCtrlExGetChildItem(tree, m_b), m_b1);
    EXPECT_EQ(TreeCtrlExGetNextSiblingItem(tree, m_b1), m_b2);
}

TEST_F(TreeTest, OnlyRowsOnScreenArePaintedOverOneBackgroundOfAllRows) {
    HWND tree = Tree(100);
    TreeCtrlExDeleteAllItems(tree);
    const int rows = 50000;
    VelmoraTreeItem last = nullptr;
    for (int row = 0; row < rows; ++row)
        last = Add(tree, nullptr, last, 0, row % 2 ? "b" : "a");
    const auto scrollTo = [&](int position) {
        SCROLLINFO track = {sizeof(track), SIF_TRACKPOS, 0, 0, 0, 0, position};
        SetScrollInfo(tree, SB_VERT, &track, FALSE);
        SendMessageA(tree, WM_VSCROLL, SB_THUMBTRACK, 0);
    };
    const struct {
        std::function<void()> action;
        int offset;
    } steps[] = {
        {[] {}, 0},
        {[&] { scrollTo(143); }, 143},
        {[&] { SendMessageA(tree, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0); }, 163},
        {[&] { SendMessageA(tree, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0); }, 143},
        {[&] { SendMessageA(tree, WM_VSCROLL, SB_PAGEDOWN, 0); }, 243},
        {[&] { scrollTo(rows * 20); }, rows * 20 - 99},
        {[&] { SendMessageA(tree, WM_VSCROLL, SB_LINEDOWN, 0); }, rows * 20 - 99},
    };
    for (const auto& step : steps) {
        step.action();
        EXPECT_EQ(GetScrollPos(tree, SB_VERT), step.offset);
        // Surfaces leave their last row of pixels unpainted, and whole tiles
        // the last pixel of all rows: 1 000 000 = 142 857 * 7 + 1.
        for (int y : {0, 9, 18, 20, 55, 97}) {
            const int at = y + step.offset;
            const COLORREF row = at % 20 == 19 ? Stripe(at) : (at / 20) % 2 ? kRowB : kRowA;
            EXPECT_EQ(ClientPixel(tree, 100, y, false), row) << step.offset << " " << y;
            EXPECT_EQ(ClientPixel(tree, 175, y, false), Stripe(at)) << step.offset << " " << y;
        }
    }
}

} // namespace
