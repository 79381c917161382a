// The library's tree control through its exported functions on real windows:
// layout of two levels, selection and expansion by click and by call,
// dragging a child, deleting, item handles checked against the tree's own
// items, moves that would make a cycle, sorting against the selection rule,
// and painting only the rows on screen over one background of all rows.
#include "ListTreeSkin.h"
#include "Velmora.h"

#include <functional>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

constexpr UINT kDrop = 0x2B17;

long g_compares = 0;

// Data is an item number times 16 plus a key of 0 to 9; only keys compare.
LONG CALLBACK ByKey(DWORD_PTR first, DWORD_PTR second, DWORD_PTR) {
    ++g_compares;
    return static_cast<LONG>(first % 16) - static_cast<LONG>(second % 16);
}

class TreeTest : public ListTreeTest {
  protected:
    // Heights 20 (top level) and 16 (second level), selected or not.
    HWND Tree(int height) {
        HWND tree = MakeTree(height);
        EXPECT_EQ(TreeCtrlExSetLevelItemHeight(tree, 0, 7, 20), 1);
        EXPECT_EQ(TreeCtrlExSetLevelItemHeight(tree, 1, 7, 16), 1);
        return tree;
    }
    // Appended after `after` (first when none) under parent.
    static VelmoraTreeItem Add(HWND tree, VelmoraTreeItem parent, VelmoraTreeItem after,
                               DWORD_PTR data = 0, const char* style = "a") {
        return TreeCtrlExInsertItem2(tree, "item", style, parent, after, data);
    }
    // A 0..20, B 20..40 with children b1, b2 when expanded, C after them.
    void Fill(HWND tree) {
        m_a = Add(tree, nullptr, nullptr);
        m_b = Add(tree, nullptr, m_a);
        m_c = Add(tree, nullptr, m_b);
        m_b1 = Add(tree, m_b, nullptr);
        m_b2 = Add(tree, m_b, m_b1);
    }
    // Every item reachable from the root, depth first.
    static std::vector<VelmoraTreeItem> Walk(HWND tree) {
        std::vector<VelmoraTreeItem> items;
        std::function<void(VelmoraTreeItem)> visit = [&](VelmoraTreeItem item) {
            for (; item && items.size() < 100; item = TreeCtrlExGetNextSiblingItem(tree, item)) {
                items.push_back(item);
                visit(TreeCtrlExGetChildItem(tree, item));
            }
        };
        visit(TreeCtrlExGetRootItem(tree));
        return items;
    }
    static void Click(HWND tree, int y, UINT message) {
        SendMessageA(tree, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(50, y));
    }
    VelmoraTreeItem m_a = nullptr, m_b = nullptr, m_c = nullptr, m_b1 = nullptr, m_b2 = nullptr;
};

TEST_F(TreeTest, TwoLevelsLayOutAndAClickHitsTheRowUnderIt) {
    HWND tree = Tree(60);
    Fill(tree);
    ASSERT_EQ(TreeCtrlExExpand(tree, m_b), 1);
    SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(tree, SB_VERT, &info));
    EXPECT_EQ(info.nMax, 92);
    EXPECT_EQ(info.nPage, 60u);
    EXPECT_EQ(TreeCtrlExHitTest(tree, 5, 50), m_b1);
    EXPECT_EQ(TreeCtrlExHitTest(tree, 5, 39), m_b);
    EXPECT_EQ(TreeCtrlExHitTest(tree, 5, 200), nullptr);
    // Second-level rows are indented by the skin's level indent.
    EXPECT_EQ(ClientPixel(tree, 30, 58), kRowA);
    EXPECT_EQ(ClientPixel(tree, 5, 58), Stripe(58));
    Click(tree, 50, WM_LBUTTONDOWN);
    Click(tree, 50, WM_LBUTTONUP);
    EXPECT_EQ(TreeCtrlExGetSelectedItem(tree), m_b1);
    EXPECT_EQ(ClientPixel(tree, 50, 50), kRowASelected);
    EXPECT_EQ(ClientPixel(tree, 50, 30), kRowA);
}

TEST_F(TreeTest, SelectingTogglesExpansionAndExpandKeepsItOpen) {
    HWND tree = Tree(200);
    Fill(tree);
    const struct {
        const char* what;
        std::function<int()> action;
        int result;
        VelmoraTreeItem selected;
        COLORREF a, b, aIcon, bIcon;
    } steps[] = {
        {"nothing selected", [] { return 1; }, 1, nullptr, kRowA, kRowA, kCollapseIcon,
         kCollapseIcon},
        {"A selected", [&] { return TreeCtrlExSelectItem(tree, m_a); }, 1, m_a, kRowASelected,
         kRowA, kExpandIcon, kCollapseIcon},
        {"A again", [&] { return TreeCtrlExSelectItem(tree, m_a); }, 1, m_a, kRowASelected, kRowA,
         kCollapseIcon, kCollapseIcon},
        {"A expanded", [&] { return TreeCtrlExExpand(tree, m_a); }, 1, m_a, kRowASelected, kRowA,
         kExpandIcon, kCollapseIcon},
        {"A expanded again", [&] { return TreeCtrlExExpand(tree, m_a); }, 1, m_a, kRowASelected,
         kRowA, kExpandIcon, kCollapseIcon},
        {"B clicked, A stays open",
         [&] {
             Click(tree, 30, WM_LBUTTONDOWN);
             Click(tree, 30, WM_LBUTTONUP);
             return 1;
         },
         1, m_b, kRowA, kRowASelected, kExpandIcon, kExpandIcon},
        {"hovering A",
         [&] {
             SendMessageA(tree, WM_MOUSEMOVE, 0, MAKELPARAM(50, 5));
             return 1;
         },
         1, m_b, kRowAOver, kRowASelected, kExpandIcon, kExpandIcon},
        {"no item", [&] { return TreeCtrlExSelectItem(tree, nullptr); }, 0, m_b, kRowAOver,
         kRowASelected, kExpandIcon, kExpandIcon},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(step.action(), step.result) << step.what;
        EXPECT_EQ(TreeCtrlExGetSelectedItem(tree), step.selected) << step.what;
        EXPECT_EQ(ClientPixel(tree, 50, 10), step.a) << step.what;
        EXPECT_EQ(ClientPixel(tree, 50, 30), step.b) << step.what;
        EXPECT_EQ(ClientPixel(tree, 4, 4), step.aIcon) << step.what;
        EXPECT_EQ(ClientPixel(tree, 4, 24), step.bIcon) << step.what;
    }
}

TEST_F(TreeTest, DraggedChildMovesToTheTopLevelItemItIsDroppedOn) {
    HWND tree = Tree(200);
    Fill(tree);
    TreeCtrlExExpand(tree, m_b);
    TakePosted();
    // Rows: A 0, B 20, b1 40, b2 56, C 72.
    const struct {
        const char* what;
        int from, to;
        VelmoraTreeItem target, parentOfB1, firstOfB;
    } drops[] = {
        {"onto its own parent", 45, 30, m_b, m_b, m_b1},
        {"onto another item", 45, 80, m_c, m_c, m_b2},
    };
    for (const auto& drop : drops) {
        Click(tree, drop.from, WM_LBUTTONDOWN);
        EXPECT_EQ(GetCapture(), tree) << drop.what;
        Click(tree, drop.to, WM_LBUTTONUP);
        EXPECT_NE(GetCapture(), tree) << drop.what;
        const std::vector<Posted> posted = TakePosted();
        ASSERT_EQ(posted.size(), 1u) << drop.what;
        EXPECT_EQ(posted[0].to, tree);
        EXPECT_EQ(posted[0].message, kDrop);
        EXPECT_EQ(reinterpret_cast<VelmoraTreeItem>(posted[0].wParam), drop.target);
        EXPECT_EQ(reinterpret_cast<VelmoraTreeItem>(posted[0].lParam), m_b1);
        EXPECT_EQ(TreeCtrlExGetParentItem(tree, m_b1), drop.parentOfB1) << drop.what;
        EXPECT_EQ(TreeCtrlExGetChildItem(tree, m_b), drop.firstOfB) << drop.what;
        EXPECT_EQ(TreeCtrlExGetSelectedItem(tree), drop.target) << drop.what;
    }
    // A press on a top-level item drags nothing.
    Click(tree, 5, WM_LBUTTONDOWN);
    Click(tree, 25, WM_LBUTTONUP);
    EXPECT_TRUE(TakePosted().empty());
}

TEST_F(TreeTest, UnknownHandlesFailAndChangeNothing) {
    HWND tree = Tree(200);
    HWND other = MakeTree(100);
    Fill(tree);
    TreeCtrlExSelectItem(tree, m_b);
    const VelmoraTreeItem foreign = Add(other, nullptr, nullptr);
    VelmoraTreeItem deleted = Add(tree, m_a, nullptr);
    ASSERT_EQ(TreeCtrlExDeleteItem(tree, deleted), 1);
    EXPECT_EQ(TreeCtrlExDeleteItem(tree, m_b), 0);
    const std::vector<VelmoraTreeItem> before = Walk(tree);
    ASSERT_EQ(before.size(), 5u);
    const VelmoraTreeSort sort = {nullptr, ByKey, 0};
    for (VelmoraTreeItem bad : {deleted, foreign, reinterpret_cast<VelmoraTreeItem>(0x7654321)}) {
        VelmoraTreeSort badSort = sort;
        badSort.parent = bad;
        const long long results[] = {
            TreeCtrlExDeleteItem(tree, bad),
            TreeCtrlExSelectItem(tree, bad),
            TreeCtrlExExpand(tree, bad),
            TreeCtrlExSetItemData(tree, bad, 5),
            static_cast<long long>(TreeCtrlExGetItemData(tree, bad)),
            TreeCtrlExItemHasChildren(tree, bad),
            TreeCtrlExGetChildItem(tree, bad) != nullptr,
            TreeCtrlExGetNextSiblingItem(tree, bad) != nullptr,
            TreeCtrlExGetParentItem(tree, bad) != nullptr,
            TreeCtrlExMoveItem(tree, bad, m_a),
            TreeCtrlExMoveItem(tree, m_b2, bad),
            TreeCtrlExSetDrawItemValue(tree, bad, "default", "x"),
            TreeCtrlExSetDrawItemVisible(tree, bad, "default", 0),
            TreeCtrlExInsertItem(tree, "x", bad, nullptr, 0) != nullptr,
            TreeCtrlExInsertItem(tree, "x", nullptr, bad, 0) != nullptr,
            TreeCtrlExSortChildrenCB(tree, &badSort),
        };
        for (size_t i = 0; i < sizeof(results) / sizeof(results[0]); ++i)
            EXPECT_EQ(results[i], 0) << "call " << i << " with " << bad;
    }
    // An insert-after item that is not a child of the parent is refused too.
    EXPECT_EQ(TreeCtrlExInsertItem(tree, "x", m_a, m_b1, 0), nullptr);
    EXPECT_EQ(Walk(tree), before);
    EXPECT_EQ(TreeCtrlExGetSelectedItem(tree), m_b);
    EXPECT_EQ(Walk(other).size(), 1u);

    EXPECT_EQ(TreeCtrlExDeleteAllItems(tree), 1);
    EXPECT_EQ(TreeCtrlExGetRootItem(tree), nullptr);
    EXPECT_EQ(TreeCtrlExGetSelectedItem(tree), nullptr);
    EXPECT_EQ(TreeCtrlExGetItemData(tree, m_a), 0u);
}

TEST_F(TreeTest, MovesThatWouldMakeACycleAreRefusedAndTopLevelItemsMoveWhole) {
    HWND tree = Tree(200);
    Fill(tree);
    const VelmoraTreeItem b11 = Add(tree, m_b1, nullptr);
    const struct {
        const char* what;
        VelmoraTreeItem item, parent;
        int result;
        VelmoraTreeItem root, parentAfter;
    } moves[] = {
        {"under itself", m_b, m_b, 0, m_a, nullptr},
        {"under its child", m_b, m_b1, 0, m_a, nullptr},
        {"under its grandchild", m_b, b11, 0, m_a, nullptr},
        {"under its own parent", m_b1, m_b, 1, m_a, m_b},
        {"the first top-level item", m_a, m_c, 1, m_b, m_c},
        {"a top-level item with children", m_b, m_a, 1, m_c, m_a},
        {"under what is now below it", m_c, b11, 0, m_c, nullptr},
        {"from the third level", b11, m_c, 1, m_c, m_c},
    };
    for (const auto& move : moves) {
        EXPECT_EQ(TreeCtrlExMoveItem(tree, move.item, move.parent), move.result) << move.what;
        EXPECT_EQ(TreeCtrlExGetRootItem(tree), move.root) << move.what;
        EXPECT_EQ(TreeCtrlExGetParentItem(tree, move.item), move.parentAfter) << move.what;
        EXPECT_EQ(Walk(tree).size(), 6u) << move.what;
    }
}

LONG CALLBACK Throwing(DWORD_PTR, DWORD_PTR, DWORD_PTR) {
    throw std::runtime_error("compare");
}

// The selection rule the tree's sort must match: repeatedly the last of the
// greatest among the rest.
std::vector<DWORD_PTR> SelectionOrder(std::vector<DWORD_PTR> rest, VelmoraTreeCompare compare) {
    std::vector<DWORD_PTR> order;
    while (!rest.empty()) {
        size_t choice = 0;
        for (size_t i = 1; i < rest.size(); ++i) {
            if (compare(rest[i], rest[choice], 0) >= 0)
                choice = i;
        }
        order.push_back(rest[choice]);
        rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(choice));
    }
    return order;
}

TEST_F(TreeTest, SortedChildrenTakeTheSelectionRulesOrderInFewCompares) {
    HWND tree = Tree(200);
    const VelmoraTreeItem parent = Add(tree, nullptr, nullptr);
    std::mt19937 random(17);
    for (int count : {0, 1, 2, 7, 300, 2000}) {
        std::vector<DWORD_PTR> data;
        VelmoraTreeItem last = nullptr;
        for (int i = 0; i < count; ++i) {
            data.push_back(static_cast<DWORD_PTR>(i) * 16 + random() % (count % 7 + 3));
            last = Add(tree, parent, last, data.back());
        }
        const VelmoraTreeSort sort = {parent, ByKey, 0};
        g_compares = 0;
        ASSERT_EQ(TreeCtrlExSortChildrenCB(tree, &sort), 1);
        const long compares = g_compares;
        std::vector<DWORD_PTR> sorted;
        while (VelmoraTreeItem child = TreeCtrlExGetChildItem(tree, parent)) {
            sorted.push_back(TreeCtrlExGetItemData(tree, child));
            ASSERT_EQ(TreeCtrlExDeleteItem(tree, child), 1);
        }
        EXPECT_EQ(sorted, SelectionOrder(data, ByKey)) << count << " children";
        // n (log2 n + 1) at most; the selection rule takes n (n - 1) / 2.
        long bound = count;
        for (int n = 1; n < count; n *= 2)
            bound += count;
        EXPECT_LE(compares, bound) << count << " children";
    }
    // A compare function that throws leaves the children as they were.
    const VelmoraTreeItem first = Add(tree, parent, nullptr, 1);
    const VelmoraTreeItem second = Add(tree, parent, first, 2);
    const VelmoraTreeSort throwing = {parent, Throwing, 0};
    EXPECT_EQ(TreeCtrlExSortChildrenCB(tree, &throwing), 0);
    EXPECT_EQ(TreeCtrlExGetChildItem(tree, parent), first);
    EXPECT_EQ(TreeCtrlExGetNextSiblingItem(tree, first), second);
}

TEST_F(TreeTest, OnlyRowsOnScreenArePaintedOverOneBackgroundOfAllRows) {
    HWND tree = Tree(100);
    const int rows = 50000;
    VelmoraTreeItem last = nullptr;
    for (int row = 0; row < rows; ++row)
        last = Add(tree, nullptr, last, 0, row % 2 ? "b" : "a");
    SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(tree, SB_VERT, &info));
    ASSERT_EQ(info.nMax, rows * 20);
    const auto scrollTo = [&](int position) {
        SCROLLINFO track = {sizeof(track), SIF_TRACKPOS, 0, 0, 0, 0, position};
        SetScrollInfo(tree, SB_VERT, &track, FALSE);
        SendMessageA(tree, WM_VSCROLL, SB_THUMBTRACK, 0);
    };
    const struct {
        const char* what;
        std::function<void()> action;
        int offset;
    } steps[] = {
        {"top", [] {}, 0},
        {"dragged into the middle", [&] { scrollTo(143); }, 143},
        {"wheel down", [&] { SendMessageA(tree, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0); }, 163},
        {"wheel up", [&] { SendMessageA(tree, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0); }, 143},
        {"page down", [&] { SendMessageA(tree, WM_VSCROLL, SB_PAGEDOWN, 0); }, 243},
        {"past the end", [&] { scrollTo(rows * 20); }, rows * 20 - 99},
        {"line down at the end", [&] { SendMessageA(tree, WM_VSCROLL, SB_LINEDOWN, 0); },
         rows * 20 - 99},
    };
    for (const auto& step : steps) {
        step.action();
        EXPECT_EQ(GetScrollPos(tree, SB_VERT), step.offset) << step.what;
        // Surfaces leave their last row of pixels, and whole tiles the last
        // pixel of all rows, unpainted: 1 000 000 = 142 857 * 7 + 1.
        for (int y : {0, 9, 18, 20, 55, 97}) {
            const int at = y + step.offset;
            const COLORREF row = at % 20 == 19 ? Stripe(at) : (at / 20) % 2 ? kRowB : kRowA;
            EXPECT_EQ(ClientPixel(tree, 100, y), row) << step.what << " at " << y;
            EXPECT_EQ(ClientPixel(tree, 175, y), Stripe(at)) << step.what << " at " << y;
        }
    }
}

} // namespace
