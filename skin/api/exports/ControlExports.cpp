// Exported functions of the library's own controls (tab strip, toolbar,
// slider), the animation and the menus: each reaches the skin object of its
// window and gives the result for a window that is no such control when there
// is none.
#include "Animate.h"
#include "ErrorBarrier.h"
#include "Manager.h"
#include "Menu.h"
#include "MenuBar.h"
#include "SliderEx.h"
#include "TabCtrlEx.h"
#include "ToolBarEx.h"
#include "Velmora.h"

#include <memory>

namespace {

using Velmora::CallGuarded;

// What the item functions of the tab strip and toolbar give for a window that
// is none of them; a missing window gives 0.
constexpr int kNotThatControl = -1;

using Velmora::CAnimate;
using Velmora::CSliderEx;
using Velmora::CTabCtrlEx;
using Velmora::CToolBarEx;

template <class Skin> constexpr int kKindOf = 0;
template <> constexpr int kKindOf<CTabCtrlEx> = VELMORA_KIND_TABCTRLEX;
template <> constexpr int kKindOf<CToolBarEx> = VELMORA_KIND_TOOLBAREX;
template <> constexpr int kKindOf<CSliderEx> = VELMORA_KIND_SLIDEREX;
template <> constexpr int kKindOf<CAnimate> = VELMORA_KIND_ANIMATE;

template <class Skin> Skin* SkinOf(HWND window) {
    return dynamic_cast<Skin*>(
        Velmora::CManager::Instance()->FindSkinObject(window, kKindOf<Skin>));
}

// A new item; 0 for no window, -1 for a window that is no such control.
template <class Skin> int AddItem(HWND window, const char* styleName) {
    return CallGuarded(0, [&] {
        if (!window)
            return 0;
        Skin* skin = SkinOf<Skin>(window);
        return skin && styleName ? skin->AddItem(styleName) : kNotThatControl;
    });
}

// An operation on the item id; 0 for no window, no such control or a
// negative id.
template <class Skin, class Operation> int ItemCall(HWND window, int id, Operation operation) {
    return CallGuarded(0, [&] {
        Skin* skin = window && id >= 0 ? SkinOf<Skin>(window) : nullptr;
        return skin ? operation(*skin) : 0;
    });
}

// An operation on the window's skin of that kind; 1, or 0 for no window or
// no such skin.
template <class Skin, class Operation> int SkinCall(HWND window, Operation operation) {
    return CallGuarded(0, [&] {
        Skin* skin = window ? SkinOf<Skin>(window) : nullptr;
        if (skin)
            operation(*skin);
        return skin ? 1 : 0;
    });
}

} // namespace

extern "C" {

int VELMORA_CALL TabCtrlExAddItem(HWND window, const char* styleName) {
    return AddItem<CTabCtrlEx>(window, styleName);
}

int VELMORA_CALL TabCtrlExSetItemSelected(HWND window, int id) {
    return ItemCall<CTabCtrlEx>(window, id,
                                [id](CTabCtrlEx& tabs) { return tabs.SetItemSelected(id); });
}

int VELMORA_CALL TabCtrlExGetItemSelectedIndex(HWND window) {
    return CallGuarded(kNotThatControl, [&] {
        CTabCtrlEx* tabs = window ? SkinOf<CTabCtrlEx>(window) : nullptr;
        return tabs ? tabs->GetItemSelected() : kNotThatControl;
    });
}

int VELMORA_CALL TabCtrlExRemoveItem(HWND window, int id) {
    return ItemCall<CTabCtrlEx>(window, id, [id](CTabCtrlEx& tabs) { return tabs.RemoveItem(id); });
}

int VELMORA_CALL ToolBarExAddItem(HWND window, const char* styleName) {
    return AddItem<CToolBarEx>(window, styleName);
}

int VELMORA_CALL ToolBarExSetItemSelected(HWND window, int id) {
    return ItemCall<CToolBarEx>(window, id,
                                [id](CToolBarEx& toolBar) { return toolBar.SetItemSelected(id); });
}

int VELMORA_CALL ToolBarExRemoveItem(HWND window, int id) {
    return ItemCall<CToolBarEx>(window, id,
                                [id](CToolBarEx& toolBar) { return toolBar.RemoveItem(id); });
}

int VELMORA_CALL SliderExSetRange(HWND window, int minimum, int maximum) {
    return SkinCall<CSliderEx>(window,
                               [&](CSliderEx& slider) { slider.SetRange(minimum, maximum); });
}

int VELMORA_CALL SliderExSetPos(HWND window, int position) {
    return SkinCall<CSliderEx>(window, [&](CSliderEx& slider) { slider.SetPos(position); });
}

int VELMORA_CALL SetAnimatePlay(HWND window, int play) {
    return SkinCall<CAnimate>(window, [&](CAnimate& animation) { animation.Play(play != 0); });
}

// The menu is tracked by the system, skinned with the description named
// (when the skin has it) for a skinned owner window. One menu is tracked with
// the skin at a time: a second call while one is tracked, from the same
// thread or another, is refused. With TPM_RETURNCMD the chosen command is the
// result (0 for none), as the system gives it.
int VELMORA_CALL VelmoraTrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner,
                                       const char* menuId) {
    return CallGuarded(0, [&] {
        if (!menu || !owner || Velmora::CMenu::IsBusy())
            return 0;
        Velmora::CMenu* skin = Velmora::CMenu::Instance();
        const bool skinned = skin->Install(*Velmora::CManager::Instance(), owner, menuId);
        const BOOL chosen = TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
        if (skinned)
            skin->Remove();
        UpdateWindow(owner);
        return (flags & TPM_RETURNCMD) ? static_cast<int>(chosen) : 1;
    });
}

// The bar is listed with the manager's skin objects and goes with its window.
HWND VELMORA_CALL AddMenuBar(HWND window, HMENU menu, const char* toolbarId, const char* menuId) {
    return CallGuarded(static_cast<HWND>(nullptr), [&]() -> HWND {
        if (!window || !menu || !IsWindow(window) || !IsMenu(menu))
            return nullptr;
        Velmora::CManager* manager = Velmora::CManager::Instance();
        std::unique_ptr<Velmora::CMenuBar> bar =
            Velmora::CMenuBar::Create(*manager, window, menu, toolbarId, menuId);
        HWND barWindow = bar ? bar->GetHwnd() : nullptr;
        if (!barWindow)
            return nullptr;
        return manager->AddSkinObject(barWindow, Velmora::SkinList::MenuBar, std::move(bar))
                   ? barWindow
                   : nullptr;
    });
}

} // extern "C"
