// Three measurements of the skinned list and the library's tree, each against
// a reference taken in the same run. The machine may be busy with other work:
// every time is the least of many samples, taken in turns from the windows
// compared, so that such work falls on all of them alike.
// - a skinned report list view of 100, 10 000 and 100 000 rows: one WM_PAINT
//   of the visible page, and SetItemStyle per call; goal: the paint at 100 000
//   rows at most 1.2 times the paint at 100 rows;
// - the tree with 100 and 50 000 items: one WM_PAINT, at the top and scrolled
//   to the end, and the memory it takes (the library's heap allocations while
//   it paints, and the one picture of all rows that a tree painting all of
//   them at once would need); goal: at most 1.5 times, and no allocation that
//   grows with the items;
// - sorting 10 000 children (keys with many ties): compare calls and time,
//   against the selection rule on the same data.
#include "BenchClock.h"
#include "GDIImage.h"
#include "Manager.h"
#include "ScrollBarInterception.h"
#include "SkinDescription.h"
#include "Velmora.h"
#include "XmlDocument.h"

#include <commctrl.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <vector>

using namespace Velmora;

// Heap bytes taken with operator new, now and at most since the last reset.
namespace {
size_t g_liveBytes = 0;
size_t g_peakBytes = 0;
bool g_counting = false;
} // namespace

void* operator new(size_t size) {
    // Room for the size in front of the block.
    void* block = std::malloc(size + 8);
    if (!block)
        throw std::bad_alloc();
    *static_cast<size_t*>(block) = size;
    if (g_counting) {
        g_liveBytes += size;
        g_peakBytes = std::max(g_peakBytes, g_liveBytes);
    }
    return static_cast<char*>(block) + 8;
}

namespace {
void ReleaseBlock(void* pointer) noexcept {
    if (!pointer)
        return;
    void* block = static_cast<char*>(pointer) - 8;
    if (g_counting)
        g_liveBytes -= std::min(g_liveBytes, *static_cast<size_t*>(block));
    std::free(block);
}
} // namespace

void operator delete(void* pointer) noexcept {
    ReleaseBlock(pointer);
}

void operator delete(void* pointer, size_t) noexcept {
    ReleaseBlock(pointer);
}

namespace {

constexpr int kSamples = 200;
constexpr int kStyleBatch = 50;
constexpr int kWidth = 320;
constexpr int kHeight = 400;
constexpr int kColumns = 4;
constexpr int kCell = 16;

const char kSkin[] = R"xml(<theme><font><item id="f" family="SimSun" size="-12"/></font><window>
  <item type="headerctrl" id="hdr">
    <surface id="header.bk.normal" fillcolor="(200,200,220)"/>
    <surface id="header.bk.over" fillcolor="(220,220,240)"/>
    <line id="header.separator" width="1" linecolor="(90,90,90)"/>
    <text id="header.text" fontid="f" left="4" top="3"/></item>
  <item type="listctrl" id="list"><property headerctrl="hdr"/>
    <listctrlinfo oddevenline="true">
      <drawitem id="default"><text id="cell" fontid="f" left="4" top="1" width="60" horzalign="left"/></drawitem>
      <drawitem id="styled">
        <surface fillcolor="(250,240,200)" upperleftx="1" upperlefty="1" lowerrightx="-1" lowerrighty="-1"/>
        <text id="cell" fontid="f" left="4" top="1" textcolor="(0,0,160)"/>
        <eventitem id="go" width="16"><surface state="normal" fillcolor="(0,0,150)"/>
          <surface state="over" fillcolor="(0,150,150)"/></eventitem>
        <progressitem id="bar" left="20"><surface id="progress.back" fillcolor="(60,60,60)"/>
          <surface id="progress.step" fillcolor="(0,200,0)"/>
          <text id="progress.text" fontid="f" horzalign="center" vertalign="middle"/></progressitem>
      </drawitem></listctrlinfo>
    <surface id="listctrl.back" fillcolor="(240,240,240)"/>
    <surface id="item.odd" fillcolor="(230,240,230)"/><surface id="item.even" fillcolor="(240,230,240)"/>
    <surface id="item.over" fillcolor="(200,200,250)"/><surface id="item.checked" fillcolor="(250,200,150)"/>
    <line id="item.seperator" starty="-1" endx="-1" endy="-1" width="1" linecolor="(200,200,200)"/></item>
  <item type="scrollbar" id="bar"><property width="16" height="16"/>
    <image id="scrollbar.back" imageid="sheet"/></item>
  <item type="treectrlex" id="tree"><property scrollbar="bar"/><treectrlexinfo levelindent="16">
      <drawitem id="top"><surface state="normal" fillcolor="(220,220,250)"/>
        <surface state="checkednormal" fillcolor="(250,220,150)"/>
        <text id="default" fontid="f" left="20" top="3"/></drawitem>
      <drawitem id="child"><surface fillcolor="(245,245,245)" lowerrighty="-1"/>
        <text id="default" fontid="f" left="8" top="2"/></drawitem></treectrlexinfo>
    <surface fillcolor="(255,255,255)"/></item>
</window></theme>)xml";

HWND MakeTop() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VelmoraListTreeBench";
    RegisterClassA(&windowClass);
    return CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0,
                           0, 3 * kWidth + 40, kHeight + 20, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// The scroll bars' sprite sheet: eleven rows of four 16-pixel cells.
void AddSheet() {
    auto sheet = std::make_unique<GDIImage>();
    if (!sheet->Allocate(4 * kCell, 11 * kCell, 24, 0))
        return;
    for (int y = 0; y < 11 * kCell; ++y) {
        uint8_t* pixel = sheet->GetRow(y);
        for (int x = 0; x < 4 * kCell; ++x, pixel += 3) {
            pixel[0] = static_cast<uint8_t>(40 + (y / kCell) * 15);
            pixel[1] = static_cast<uint8_t>(60 + (x / kCell) * 40);
            pixel[2] = 128;
        }
    }
    sheet->SetId("sheet");
    CManager::Instance()->Images().Add(std::move(sheet));
}

// Seconds of one WM_PAINT of each window's whole client.
std::vector<double> PaintSeconds(const std::vector<HWND>& windows) {
    std::vector<double> best(windows.size(), 1e9);
    for (int sample = 0; sample < kSamples; ++sample) {
        for (size_t i = 0; i < windows.size(); ++i) {
            InvalidateRect(windows[i], nullptr, FALSE);
            const double start = Seconds();
            UpdateWindow(windows[i]);
            best[i] = std::min(best[i], Seconds() - start);
        }
    }
    return best;
}

HWND MakeList(HWND top, int rows, int x) {
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, x, 0,
                                kWidth, kHeight, top, nullptr, GetModuleHandleA(nullptr), nullptr);
    for (int column = 0; column < kColumns; ++column) {
        LVCOLUMNA header = {};
        header.mask = LVCF_WIDTH | LVCF_TEXT;
        header.cx = 75;
        char caption[] = "Column";
        header.pszText = caption;
        SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&header));
    }
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_SETITEMCOUNT, rows, 0);
    for (int row = 0; row < rows; ++row) {
        char text[32];
        std::snprintf(text, sizeof(text), "row %d", row);
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = text;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    return list;
}

double BenchList(HWND top) {
    const int sizes[] = {100, 10000, 100000};
    std::vector<HWND> plain;
    std::vector<HWND> skinned;
    for (int i = 0; i < 3; ++i) {
        plain.push_back(MakeList(top, sizes[i], i * (kWidth + 10)));
        skinned.push_back(MakeList(top, sizes[i], i * (kWidth + 10)));
        ShowWindow(plain.back(), SW_HIDE);
        CManager::Instance()->SkinWindow(skinned.back(), VELMORA_KIND_LISTCTRL, "list", false);
        // The first page styled, with progress, at every size.
        for (int row = 0; row < 40; ++row) {
            for (int column = 1; column < kColumns; ++column) {
                SetItemStyle(skinned.back(), VELMORA_KIND_LISTCTRL, row, column, "styled");
                SetProgressItemPos(skinned.back(), VELMORA_KIND_LISTCTRL, row, column,
                                   row * 2 % 100);
            }
        }
    }
    PumpMessages();
    const std::vector<double> paints = PaintSeconds(skinned);
    for (int i = 0; i < 3; ++i) {
        ShowWindow(skinned[i], SW_HIDE);
        ShowWindow(plain[i], SW_SHOW);
    }
    const std::vector<double> systems = PaintSeconds(plain);
    // Restyling rows that have a record (the first page's), and the first
    // style of rows that have none (from the last row up).
    std::vector<double> restyles(3, 1e9);
    for (int batch = 0; batch < 40; ++batch) {
        for (int i = 0; i < 3; ++i) {
            const double start = Seconds();
            for (int call = 0; call < kStyleBatch; ++call)
                SetItemStyle(skinned[i], VELMORA_KIND_LISTCTRL, call % 40, 1 + call % 3,
                             batch % 2 ? "styled" : "default");
            restyles[i] = std::min(restyles[i], (Seconds() - start) / kStyleBatch);
        }
        PumpMessages();
    }
    std::vector<double> firsts(3);
    for (int i = 0; i < 3; ++i) {
        const double start = Seconds();
        for (int call = 0; call < kStyleBatch; ++call)
            SetItemStyle(skinned[i], VELMORA_KIND_LISTCTRL, sizes[i] - 1 - call, 1, "styled");
        firsts[i] = (Seconds() - start) / kStyleBatch;
    }
    std::printf("List: one WM_PAINT of the visible page, SetItemStyle per call\n");
    for (int i = 0; i < 3; ++i) {
        std::printf("  %6d rows: paint %6.3f ms (the system's own unskinned list %6.3f ms); "
                    "SetItemStyle %5.1f us restyling a row, %5.1f us a row's first; paint ratio "
                    "to 100 rows %.2f\n",
                    sizes[i], paints[i] * 1e3, systems[i] * 1e3, restyles[i] * 1e6, firsts[i] * 1e6,
                    paints[i] / paints[0]);
        DestroyWindow(plain[i]);
        DestroyWindow(skinned[i]);
    }
    PumpMessages();
    return paints[2] / paints[0];
}

HWND MakeTree(HWND top, int items, int x) {
    HWND tree = CreateWindowExA(0, "VelmoraListTreeBench", "", WS_CHILD | WS_VISIBLE, x, 0, kWidth,
                                kHeight, top, nullptr, GetModuleHandleA(nullptr), nullptr);
    CManager::Instance()->SkinWindow(tree, VELMORA_KIND_TREECTRLEX, "tree", false);
    TreeCtrlExSetLevelItemHeight(tree, 0, 7, 22);
    TreeCtrlExSetLevelItemHeight(tree, 1, 7, 18);
    // A fifth of the items on the top level, each expanded with four children.
    VelmoraTreeItem last = nullptr;
    for (int i = 0; i < items / 5; ++i) {
        char text[32];
        std::snprintf(text, sizeof(text), "group %d", i);
        last = TreeCtrlExInsertItem2(tree, text, "top", nullptr, last, i);
        VelmoraTreeItem child = nullptr;
        for (int c = 0; c < 4; ++c)
            child = TreeCtrlExInsertItem2(tree, "child", "child", last, child, c);
        TreeCtrlExExpand(tree, last);
    }
    return tree;
}

int TotalHeight(HWND tree) {
    SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(tree, SB_VERT, &info);
    return info.nMax;
}

// The heap the library takes while the tree paints once.
size_t PaintHeap(HWND tree) {
    InvalidateRect(tree, nullptr, FALSE);
    g_liveBytes = g_peakBytes = 0;
    g_counting = true;
    UpdateWindow(tree);
    g_counting = false;
    return g_peakBytes;
}

double BenchTree(HWND top) {
    const int sizes[] = {100, 50000};
    std::vector<HWND> trees;
    for (int i = 0; i < 2; ++i)
        trees.push_back(MakeTree(top, sizes[i], i * (kWidth + 10)));
    PumpMessages();
    const std::vector<double> atTop = PaintSeconds(trees);
    size_t heap[2];
    for (int i = 0; i < 2; ++i) {
        heap[i] = PaintHeap(trees[i]);
        SCROLLINFO end = {sizeof(end), SIF_TRACKPOS, 0, 0, 0, 0, TotalHeight(trees[i])};
        SetScrollInfo(trees[i], SB_VERT, &end, FALSE);
        SendMessageA(trees[i], WM_VSCROLL, SB_THUMBPOSITION, 0);
    }
    const std::vector<double> atEnd = PaintSeconds(trees);
    std::printf("Tree: one WM_PAINT, at the top and scrolled to the end\n");
    for (int i = 0; i < 2; ++i) {
        const int total = TotalHeight(trees[i]);
        std::printf("  %5d items: top %6.3f ms, end %6.3f ms, heap taken while painting %zu bytes; "
                    "all rows in one picture would be %d x %d pixels, %.1f MiB\n",
                    sizes[i], atTop[i] * 1e3, atEnd[i] * 1e3, heap[i], kWidth, total,
                    kWidth * 4.0 * total / 1048576.0);
        DestroyWindow(trees[i]);
    }
    PumpMessages();
    const double ratio = std::max(atTop[1] / atTop[0], atEnd[1] / atEnd[0]);
    std::printf("  ratio 50000 : 100 items: paint at the top %.2f, at the end %.2f; heap %s\n",
                atTop[1] / atTop[0], atEnd[1] / atEnd[0],
                heap[1] <= heap[0] ? "the same or less" : "MORE");
    return heap[1] <= heap[0] ? ratio : 1e9;
}

// 10 000 children whose data are keys of 0 to 99 (a hundred of each, about).
long g_compares = 0;
LONG CALLBACK CompareKeys(DWORD_PTR first, DWORD_PTR second, DWORD_PTR) {
    ++g_compares;
    return static_cast<LONG>(first % 100) - static_cast<LONG>(second % 100);
}

// The selection rule on the same data: repeatedly the last greatest of the rest.
std::vector<DWORD_PTR> SelectionSort(std::vector<DWORD_PTR> rest) {
    std::vector<DWORD_PTR> order;
    order.reserve(rest.size());
    while (!rest.empty()) {
        size_t choice = 0;
        for (size_t i = 1; i < rest.size(); ++i) {
            if (CompareKeys(rest[i], rest[choice], 0) >= 0)
                choice = i;
        }
        order.push_back(rest[choice]);
        rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(choice));
    }
    return order;
}

bool BenchSort(HWND top) {
    constexpr int kChildren = 10000;
    HWND tree = CreateWindowExA(0, "VelmoraListTreeBench", "", WS_CHILD, 0, 0, kWidth, kHeight, top,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    CManager::Instance()->SkinWindow(tree, VELMORA_KIND_TREECTRLEX, "tree", false);
    const VelmoraTreeItem parent = TreeCtrlExInsertItem(tree, "parent", nullptr, nullptr, 0);
    std::mt19937 random(11);
    std::vector<DWORD_PTR> data;
    VelmoraTreeItem last = nullptr;
    for (int i = 0; i < kChildren; ++i) {
        data.push_back(static_cast<DWORD_PTR>(i) * 100 + random() % 100);
        last = TreeCtrlExInsertItem(tree, "child", parent, last, data.back());
    }
    const VelmoraTreeSort sort = {parent, CompareKeys, 0};
    g_compares = 0;
    double start = Seconds();
    TreeCtrlExSortChildrenCB(tree, &sort);
    const double treeSeconds = Seconds() - start;
    const long treeCompares = g_compares;
    std::vector<DWORD_PTR> sorted;
    for (VelmoraTreeItem child = TreeCtrlExGetChildItem(tree, parent); child;
         child = TreeCtrlExGetNextSiblingItem(tree, child))
        sorted.push_back(TreeCtrlExGetItemData(tree, child));

    g_compares = 0;
    start = Seconds();
    const std::vector<DWORD_PTR> reference = SelectionSort(data);
    const double referenceSeconds = Seconds() - start;
    const long referenceCompares = g_compares;
    const bool same = sorted == reference;
    std::printf("Sorting %d children (keys 0 to 99):\n"
                "  the tree:            %9ld compare calls, %8.2f ms\n"
                "  the selection rule:  %9ld compare calls, %8.2f ms\n"
                "  calls ratio %.4f, time ratio %.4f, same order: %s\n",
                kChildren, treeCompares, treeSeconds * 1e3, referenceCompares,
                referenceSeconds * 1e3, static_cast<double>(treeCompares) / referenceCompares,
                treeSeconds / referenceSeconds, same ? "yes" : "NO");
    DestroyWindow(tree);
    return same;
}

} // namespace

int main() {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    InstallScrollBarInterception();
    CXmlDocument xml;
    if (!xml.SetDocument(kSkin) || !ParseSkinDescription(*CManager::Instance(), xml, nullptr, "")) {
        std::printf("FAILED: the skin did not load\n");
        return 1;
    }
    AddSheet();
    HWND top = MakeTop();
    PumpMessages();

    const double listRatio = BenchList(top);
    const double treeRatio = BenchTree(top);
    const bool sorted = BenchSort(top);
    DestroyWindow(top);
    CManager::Destroy();
    RemoveScrollBarInterception();
    std::printf("Goals: list paint ratio %.2f (<= 1.2) %s; tree paint ratio %.2f (<= 1.5, heap "
                "not growing) %s; sort order the selection rule's: %s\n",
                listRatio, listRatio <= 1.2 ? "met" : "NOT MET", treeRatio,
                treeRatio <= 1.5 ? "met" : "NOT MET", sorted ? "yes" : "NO");
    return 0;
}
