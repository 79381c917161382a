#include "Menu.h"

#include "ErrorBarrier.h"
#include "GDIFont.h"

#include <algorithm>
#include <cstring>

namespace Velmora {

namespace {

constexpr char kMenuWindowClass[] = "#32768";
constexpr char kDefaultDescription[] = "menu";
// The menu window's own message that sizes it, and the one that names its menu.
constexpr UINT kSizeMenuWindow = 0x01E2;
constexpr UINT kGetMenuHandle = 0x01E1;
constexpr int kLabelRoom = 512;
constexpr int kMeasureSlack = 50;

SIZE FrameOf(LONG style, LONG exStyle) {
    RECT rect = {0, 0, 0, 0};
    AdjustWindowRectEx(&rect, static_cast<DWORD>(style), FALSE, static_cast<DWORD>(exStyle));
    return {rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace

bool CMenu::IsMenuWindow(HWND window) {
    char name[16] = {};
    return GetClassNameA(window, name, sizeof name) > 0 && std::strcmp(name, kMenuWindowClass) == 0;
}

HMENU CMenu::MenuOfWindow(HWND window) {
    return reinterpret_cast<HMENU>(SendMessageA(window, kGetMenuHandle, 0, 0));
}

CMenu::~CMenu() {
    Remove();
}

bool CMenu::Install(ISkinHost& host, HWND owner, const char* name) {
    if (!host.FindSkinObject(owner, SkinList::Dialog) &&
        !host.FindSkinObject(owner, SkinList::CommonCtrl))
        return false;
    DWORD idle = 0;
    if (!s_trackingThread.compare_exchange_strong(idle, GetCurrentThreadId()))
        return false;
    m_info = static_cast<MenuInfo*>(m_descriptions.Find(name ? name : kDefaultDescription));
    if (m_info)
        m_hook = SetWindowsHookExA(WH_CALLWNDPROC, &CMenu::HookProc, nullptr, GetCurrentThreadId());
    if (!m_hook) {
        m_info = nullptr;
        s_trackingThread.store(0);
        return false;
    }
    m_host = &host;
    return true;
}

void CMenu::Remove() {
    if (!m_hook)
        return;
    UnhookWindowsHookEx(m_hook);
    m_hook = nullptr;
    m_items.clear();
    RestoreItems();
    m_host = nullptr;
    m_info = nullptr;
    s_trackingThread.store(0);
}

bool CMenu::IsTracking() const {
    return m_hook && s_trackingThread.load() == GetCurrentThreadId();
}

// Items the program made owner-drawn, or that are pictures, stay its own.
bool CMenu::ConvertToOwnerDraw(HMENU menu) {
    const int count = GetMenuItemCount(menu);
    if (count < 0)
        return false;
    bool converted = true;
    for (int position = 0; position < count; ++position) {
        const UINT at = static_cast<UINT>(position);
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_DATA;
        if (!GetMenuItemInfoA(menu, at, TRUE, &info))
            return false;
        if (info.hSubMenu && !ConvertToOwnerDraw(info.hSubMenu))
            converted = false;
        if (info.fType & (MFT_OWNERDRAW | MFT_BITMAP))
            continue;
        auto record = std::make_unique<MenuItemRecord>();
        record->commandId = info.wID;
        record->checked = (info.fState & MFS_CHECKED) != 0;
        record->separator = (info.fType & MFT_SEPARATOR) != 0;
        record->menu = menu;
        record->position = at;
        record->originalType = info.fType;
        record->originalData = info.dwItemData;
        char label[kLabelRoom + 1] = {};
        if (!record->separator && GetMenuStringA(menu, at, label, sizeof label, MF_BYPOSITION) > 0)
            record->label = label;
        m_records.reserve(m_records.size() + 1);
        m_recordSet.insert(record.get());
        MENUITEMINFOA owned = {};
        owned.cbSize = sizeof(owned);
        owned.fMask = MIIM_FTYPE | MIIM_DATA;
        owned.fType = info.fType | MFT_OWNERDRAW;
        owned.dwItemData = reinterpret_cast<ULONG_PTR>(record.get());
        if (!SetMenuItemInfoA(menu, at, TRUE, &owned)) {
            m_recordSet.erase(record.get());
            return false;
        }
        m_records.push_back(std::move(record));
    }
    return converted;
}

// Each item gets back its own type, data and text, wherever it is now.
void CMenu::RestoreItems() {
    for (const auto& record : m_records) {
        if (!IsMenu(record->menu))
            continue;
        const int count = GetMenuItemCount(record->menu);
        for (int offset = 0; offset < count; ++offset) {
            const UINT at =
                static_cast<UINT>((static_cast<int>(record->position) + offset) % count);
            MENUITEMINFOA info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE | MIIM_DATA;
            if (!GetMenuItemInfoA(record->menu, at, TRUE, &info) ||
                info.dwItemData != reinterpret_cast<ULONG_PTR>(record.get()) ||
                !(info.fType & MFT_OWNERDRAW))
                continue;
            info.fType = record->originalType;
            info.dwItemData = record->originalData;
            if (!record->separator) {
                info.fMask |= MIIM_STRING;
                info.dwTypeData = const_cast<char*>(record->label.c_str());
            }
            SetMenuItemInfoA(record->menu, at, TRUE, &info);
            break;
        }
    }
    m_recordSet.clear();
    m_records.clear();
}

const MenuItemRecord* CMenu::RecordOf(ULONG_PTR itemData) const {
    const auto* record = reinterpret_cast<const MenuItemRecord*>(itemData);
    return m_recordSet.count(record) ? record : nullptr;
}

// The font of the normal text item (else of the one for every state).
const TextItem* CMenu::FontItem() const {
    if (!m_info)
        return nullptr;
    const TextItem* all = nullptr;
    for (const auto& text : m_info->drawItems.Texts()) {
        if (text->state == STATE_NORMAL)
            return text.get();
        if (text->state == STATE_ALL && !all)
            all = text.get();
    }
    return all;
}

int CMenu::MeasureItem(const MenuItemRecord& record) const {
    if (!m_info || !m_host)
        return 0;
    const TextItem* text = FontItem();
    const GDIFont* font = text ? m_host->FindFont(text->fontId) : nullptr;
    HDC screen = GetDC(nullptr);
    if (!screen)
        return 0;
    int width = kMeasureSlack;
    {
        // Without a font of the skin's the screen's own measures.
        CSelectObject selected(screen, font ? font->GetFont() : nullptr);
        const MenuItemText parts = SplitMenuItemText(record.label);
        for (const std::string* part : {&parts.label, &parts.accelerator}) {
            SIZE extent = {};
            if (!part->empty() && GetTextExtentPoint32A(screen, part->c_str(),
                                                        static_cast<int>(part->size()), &extent))
                width += extent.cx;
        }
    }
    ReleaseDC(nullptr, screen);
    return width;
}

bool CMenu::MeasureItem(MEASUREITEMSTRUCT& measure) {
    const MenuItemRecord* record = RecordOf(measure.itemData);
    if (measure.CtlType != ODT_MENU || !record || !m_info)
        return false;
    measure.itemWidth = static_cast<UINT>(MeasureItem(*record));
    measure.itemHeight = static_cast<UINT>(
        std::max(0, record->separator ? m_info->separatorHeight : m_info->height));
    return true;
}

bool CMenu::DrawItem(DRAWITEMSTRUCT& draw) {
    if (draw.CtlType != ODT_MENU || !RecordOf(draw.itemData) || !m_host)
        return false;
    CMenuItem* item = ItemFor(reinterpret_cast<HMENU>(draw.hwndItem), WindowFromDC(draw.hDC));
    if (!item)
        return false;
    item->DrawItem(&draw);
    return true;
}

CMenuItem* CMenu::FindItem(HMENU menu) const {
    auto found = m_items.find(menu);
    return found == m_items.end() ? nullptr : found->second.get();
}

CMenuItem* CMenu::ItemFor(HMENU menu, HWND window) {
    if (!menu || !m_host || !m_info)
        return nullptr;
    CMenuItem* item = FindItem(menu);
    if (!item) {
        auto made = std::make_unique<CMenuItem>(*m_host, m_info, menu, m_frame.cx);
        item = made.get();
        m_items.emplace(menu, std::move(made));
    }
    if (window && IsMenuWindow(window))
        item->ShowIn(window);
    return item;
}

// The system's border goes; what it took of the window's size is taken off
// again when the window is sized, and items are drawn that much wider.
void CMenu::StripFrame(HWND window) {
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    const LONG bare = style & ~WS_BORDER;
    const LONG bareEx = exStyle & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
    const SIZE before = FrameOf(style, exStyle);
    const SIZE after = FrameOf(bare, bareEx);
    m_frame = {before.cx - after.cx, before.cy - after.cy};
    SetWindowLongA(window, GWL_STYLE, bare);
    SetWindowLongA(window, GWL_EXSTYLE, bareEx);
}

LRESULT CMenu::OnMenuMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        const LRESULT result = CallSaved(window, message, wParam, lParam);
        StripFrame(window);
        return result;
    }
    case WM_WINDOWPOSCHANGING: {
        auto* place = reinterpret_cast<WINDOWPOS*>(lParam);
        if (place && !(place->flags & SWP_NOSIZE))
            place->cy -= m_frame.cy;
        return 0;
    }
    case WM_NCPAINT:
        ItemFor(MenuOfWindow(window), window);
        return 0;
    case WM_PAINT:
    case WM_PRINT: {
        const LRESULT result = CallSaved(window, message, wParam, lParam);
        HMENU menu = MenuOfWindow(window);
        if (CMenuItem* item = FindItem(menu)) {
            if (message == WM_PRINT) {
                item->PaintFrame(window, reinterpret_cast<HDC>(wParam));
            } else {
                CWindowDC dc(window);
                item->PaintFrame(window, dc.Get());
            }
        }
        return result;
    }
    default:
        return CallSaved(window, message, wParam, lParam);
    }
}

LRESULT CMenu::CallSaved(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!s_savedProc)
        return DefWindowProcA(window, message, wParam, lParam);
    return CallWindowProcA(s_savedProc, window, message, wParam, lParam);
}

LRESULT CALLBACK CMenu::MenuWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CMenu* skin = Existing();
    // Menus of a tracking that ended, or of another thread, are the system's.
    if (!skin || !skin->IsTracking())
        return CallSaved(window, message, wParam, lParam);
    try {
        return skin->OnMenuMessage(window, message, wParam, lParam);
    } catch (...) {
        return CallGuarded(LRESULT{0}, [&] { return CallSaved(window, message, wParam, lParam); });
    }
}

LRESULT CALLBACK CMenu::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    CallGuarded([&] {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code != HC_ACTION || !call ||
            (call->message != WM_CREATE && call->message != kSizeMenuWindow) ||
            !IsMenuWindow(call->hwnd))
            return;
        const auto current = reinterpret_cast<WNDPROC>(GetWindowLongA(call->hwnd, GWL_WNDPROC));
        if (current == &CMenu::MenuWindowProc)
            return;
        s_savedProc = current;
        SetWindowLongA(call->hwnd, GWL_WNDPROC, reinterpret_cast<LONG>(&CMenu::MenuWindowProc));
    });
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace Velmora
