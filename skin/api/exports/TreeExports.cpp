// Exported functions of the library's tree control (kind 24): each reaches the
// tree skin of the window and gives the failure value (0 or no item) for a
// window that is no skinned tree, for an item handle that tree does not hold,
// and when anything inside fails, the caller's compare function included.
#include "ErrorBarrier.h"
#include "Manager.h"
#include "TreeCtrlEx.h"
#include "Velmora.h"

namespace {

using Velmora::CallGuarded;
using Velmora::CTreeCtrlEx;

CTreeCtrlEx* TreeOf(HWND window) {
    if (!window)
        return nullptr;
    return dynamic_cast<CTreeCtrlEx*>(
        Velmora::CManager::Instance()->FindSkinObject(window, VELMORA_KIND_TREECTRLEX));
}

VelmoraTreeItem ToItem(void* handle) {
    return static_cast<VelmoraTreeItem>(handle);
}

// The tree's answer, or failure when the window is no skinned tree.
template <class Result, class Call> Result WithTree(HWND window, Result failure, Call call) {
    return CallGuarded(failure, [&]() -> Result {
        CTreeCtrlEx* tree = TreeOf(window);
        return tree ? call(*tree) : failure;
    });
}

} // namespace

extern "C" {

VelmoraTreeItem VELMORA_CALL TreeCtrlExInsertItem2(HWND window, const char* text,
                                                   const char* styleName, VelmoraTreeItem parent,
                                                   VelmoraTreeItem insertAfter, DWORD_PTR data) {
    return WithTree(window, VelmoraTreeItem{}, [&](CTreeCtrlEx& tree) {
        return ToItem(tree.InsertItem(text, styleName, parent, insertAfter, data));
    });
}

VelmoraTreeItem VELMORA_CALL TreeCtrlExInsertItem(HWND window, const char* text,
                                                  VelmoraTreeItem parent,
                                                  VelmoraTreeItem insertAfter, DWORD_PTR data) {
    return TreeCtrlExInsertItem2(window, text, "default", parent, insertAfter, data);
}

int VELMORA_CALL TreeCtrlExSetLevelItemHeight(HWND window, int level, int mask, int height) {
    return WithTree(
        window, 0, [&](CTreeCtrlEx& tree) { return tree.SetLevelItemHeight(level, mask, height); });
}

int VELMORA_CALL TreeCtrlExSetDrawItemVisible(HWND window, VelmoraTreeItem item, const char* id,
                                              int visible) {
    return WithTree(window, 0, [&](CTreeCtrlEx& tree) {
        return tree.TreeCtrlExSetDrawItemVisible(item, id, visible != 0);
    });
}

int VELMORA_CALL TreeCtrlExSetDrawItemValue(HWND window, VelmoraTreeItem item, const char* id,
                                            const char* value) {
    return WithTree(window, 0, [&](CTreeCtrlEx& tree) {
        return tree.TreeCtrlExSetDrawItemValue(item, id, value);
    });
}

VelmoraTreeItem VELMORA_CALL TreeCtrlExHitTest(HWND window, int x, int y) {
    return WithTree(window, VelmoraTreeItem{},
                    [&](CTreeCtrlEx& tree) { return ToItem(tree.HitTest(x, y)); });
}

VelmoraTreeItem VELMORA_CALL TreeCtrlExGetSelectedItem(HWND window) {
    return WithTree(window, VelmoraTreeItem{},
                    [&](CTreeCtrlEx& tree) { return ToItem(tree.GetSelectedItem()); });
}

DWORD_PTR VELMORA_CALL TreeCtrlExGetItemData(HWND window, VelmoraTreeItem item) {
    return WithTree(window, DWORD_PTR{0},
                    [&](CTreeCtrlEx& tree) { return tree.GetItemData(item); });
}

int VELMORA_CALL TreeCtrlExSetItemData(HWND window, VelmoraTreeItem item, DWORD_PTR data) {
    return WithTree(window, 0, [&](CTreeCtrlEx& tree) { return tree.SetItemData(item, data); });
}

int VELMORA_CALL TreeCtrlExItemHasChildren(HWND window, VelmoraTreeItem item) {
    return WithTree(window, 0, [&](CTreeCtrlEx& tree) { return tree.ItemHasChildren(item); });
}

VelmoraTreeItem VELMORA_CALL TreeCtrlExGetRootItem(HWND window) {
    return WithTree(window, VelmoraTreeItem{},
                    [&](CTreeCtrlEx& tree) { return ToItem(tree.GetRootItem()); });
}

VelmoraTreeItem VELMORA_CALL TreeCtrlExGetChildItem(HWND window, VelmoraTreeItem item) {
    return WithTree(window, VelmoraTreeItem{},
                    [&](CTreeCtrlEx& tree) { return ToItem(tree.GetChildItem(item)); });
}

VelmoraTreeItem VELMORA_CALL TreeCtrlExGetNextSiblingItem(HWND window, VelmoraTreeItem item) {
    return WithTree(window, VelmoraTreeItem{},
                    [&](CTreeCtrlEx& tree) { return ToItem(tree.GetNextSiblingItem(item)); });
}

VelmoraTreeItem VELMORA_CALL TreeCtrlExGetParentItem(HWND window, VelmoraTreeItem item) {
    return WithTree(window, VelmoraTreeItem{},
                    [&](CTreeCtrlEx& tree) { return ToItem(tree.GetParentItem(item)); });
}

int VELMORA_CALL TreeCtrlExExpand(HWND window, VelmoraTreeItem item) {
    return WithTree(window, 0, [&](CTreeCtrlEx& tree) { return tree.Expand(item); });
}

int VELMORA_CALL TreeCtrlExDeleteItem(HWND window, VelmoraTreeItem item) {
    return WithTree(window, 0, [&](CTreeCtrlEx& tree) { return tree.DeleteItem(item); });
}

int VELMORA_CALL TreeCtrlExSelectItem(HWND window, VelmoraTreeItem item) {
    return WithTree(window, 0, [&](CTreeCtrlEx& tree) { return tree.SelectItem(item); });
}

int VELMORA_CALL TreeCtrlExDeleteAllItems(HWND window) {
    return WithTree(window, 0, [&](CTreeCtrlEx& tree) { return tree.DeleteAllItems(); });
}

int VELMORA_CALL TreeCtrlExSortChildrenCB(HWND window, const VelmoraTreeSort* sort) {
    return WithTree(window, 0, [&](CTreeCtrlEx& tree) {
        return sort ? tree.SortChildren(sort->parent, sort->compare, sort->user) : 0;
    });
}

int VELMORA_CALL TreeCtrlExMoveItem(HWND window, VelmoraTreeItem item, VelmoraTreeItem newParent) {
    return WithTree(window, 0, [&](CTreeCtrlEx& tree) { return tree.MoveItem(item, newParent); });
}

} // extern "C"
