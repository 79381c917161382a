// The popup-menu skin: while a menu is tracked with it, a thread hook
// subclasses every popup-menu window ("#32768") the system makes, the items
// of the menus that open become owner-drawn, and frame, background,
// separators, icons, highlight and texts are painted from one "menu"
// description. One instance for the process, made on first use and
// destroyed by Cleanup; it keeps the skin's menu descriptions.
#pragma once

#include "DescriptionRegistry.h"
#include "MenuItem.h"
#include "PopupMenuSkin.h"
#include "Singleton.h"
#include "SkinHost.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace Velmora {

class CMenu : public CSingleton<CMenu>, public IPopupMenuSkin {
    friend class CSingleton<CMenu>;

  public:
    ~CMenu() override;

    DescriptionRegistry& Descriptions() { return m_descriptions; }
    const DescriptionRegistry& Descriptions() const { return m_descriptions; }

    // Whether the window is a popup-menu window of the system's ("#32768").
    static bool IsMenuWindow(HWND window);
    // The menu a popup-menu window shows.
    static HMENU MenuOfWindow(HWND window);
    // Whether a menu is being tracked with the skin, on any thread: the
    // skin serves one tracking at a time.
    static bool IsBusy() { return s_trackingThread.load() != 0; }
    // Starts skinning what the calling thread tracks for owner, with the
    // menu description of that name ("menu" when none) and the resources of
    // host. False, and nothing installed, when the skin is busy, has no such
    // description, or owner is no skinned dialog or generic window: only
    // their skins hand the menus' items to this one, and any other owner's
    // menus keep the system's look whole rather than half skinned.
    bool Install(ISkinHost& host, HWND owner, const char* name);
    // Ends it: unhooks, lets go of every menu's paint and gives the items
    // back as they were.
    void Remove();

    bool IsTracking() const override;
    bool ConvertToOwnerDraw(HMENU menu) override;
    bool MeasureItem(MEASUREITEMSTRUCT& record) override;
    bool DrawItem(DRAWITEMSTRUCT& record) override;

    // The width of an item: label without access-key marks, accelerator
    // text, and 50 pixels, in the description's font.
    int MeasureItem(const MenuItemRecord& record) const;
    CMenuItem* FindItem(HMENU menu) const;

  private:
    CMenu() = default;

    const MenuItemRecord* RecordOf(ULONG_PTR itemData) const;
    const TextItem* FontItem() const;
    CMenuItem* ItemFor(HMENU menu, HWND window);
    void RestoreItems();
    void StripFrame(HWND window);
    LRESULT OnMenuMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MenuWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CallSaved(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    DescriptionRegistry m_descriptions;
    HHOOK m_hook = nullptr;
    ISkinHost* m_host = nullptr;
    MenuInfo* m_info = nullptr;
    std::unordered_map<HMENU, std::unique_ptr<CMenuItem>> m_items;
    std::vector<std::unique_ptr<MenuItemRecord>> m_records;
    std::unordered_set<const MenuItemRecord*> m_recordSet;
    // The frame the skin takes from menu windows: what they lose in width
    // and height.
    SIZE m_frame = {0, 0};

    static inline std::atomic<DWORD> s_trackingThread{0};
    // The procedure of the menu windows' class, one for all of them.
    static inline WNDPROC s_savedProc = nullptr;
};

} // namespace Velmora
