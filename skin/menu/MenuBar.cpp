#include "MenuBar.h"

#include "DrawHelpers.h"
#include "ErrorBarrier.h"
#include "GDIFont.h"
#include "Menu.h"
#include "MenuItem.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cctype>

namespace Velmora {

namespace {

// Child, visible, custom erase, no divider, no resize.
constexpr DWORD kBarStyle = 0x50002044;
constexpr int kLabelRoom = 512;
constexpr char kDefaultBar[] = "menutoolbar";
constexpr char kDefaultMenu[] = "menu";
// WM_MENUSELECT flags of an opened dropdown: popup, highlighted, by the mouse.
constexpr UINT kOpenedFlags = 0x8090;
constexpr UINT kClosedFlags = 0xFFFF;
// The toolbar's window kind, whose buttons carry their own texts.
constexpr int kToolBarKind = 12;
// Where a skinned dialog's description puts the bar: its sizing border gives
// the room after the last button, its caption band the top.
constexpr int kBarLeft = 5;

std::string ItemString(HMENU menu, int position) {
    char text[kLabelRoom + 1] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

// The character after the item's access-key mark; 0 when it has none.
char AccessKeyOf(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            return text[i + 1];
        ++i;
    }
    return 0;
}

bool IsOpenMenu(HWND window) {
    return IsWindowVisible(window) && CMenu::IsMenuWindow(window);
}

BOOL CALLBACK CountMenuWindow(HWND window, LPARAM count) {
    if (IsOpenMenu(window))
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// How many menus are open: 1 for the dropdown alone.
int OpenMenuDepth() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountMenuWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Whether the highlighted item of the deepest open menu opens a submenu.
bool SelectionOpensSubmenu() {
    HWND top = nullptr;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() &&
            IsOpenMenu(window)) {
            top = window;
            break;
        }
    }
    HMENU menu = top ? CMenu::MenuOfWindow(top) : nullptr;
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int position = 0; position < count; ++position) {
        if (GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_HILITE)
            return GetSubMenu(menu, position) != nullptr;
    }
    return false;
}

UINT TextFormat(const TextItem& item) {
    UINT format = DT_SINGLELINE;
    if (item.horzAlign == ALIGN_CENTER)
        format |= DT_CENTER;
    else if (item.horzAlign == ALIGN_FAR)
        format |= DT_RIGHT;
    if (item.vertAlign == ALIGN_CENTER)
        format |= DT_VCENTER;
    else if (item.vertAlign == ALIGN_FAR)
        format |= DT_BOTTOM;
    return format;
}

} // namespace

CMenuBar::CMenuBar(ISkinHost& host, WindowInfo* info, HWND parent, HMENU menu, const char* menuId)
    : CWindow(host, info), m_parent(parent), m_menu(menu),
      m_menuId(menuId ? menuId : kDefaultMenu) {}

std::unique_ptr<CMenuBar> CMenuBar::Create(ISkinHost& host, HWND parent, HMENU menu,
                                           const char* barId, const char* menuId) {
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    WindowInfo* info = host.FindDescription(DescriptionType::ToolBar, barId ? barId : kDefaultBar);
    auto bar = std::unique_ptr<CMenuBar>(new CMenuBar(host, info, parent, menu, menuId));
    HWND window = CreateWindowExA(
        0, TOOLBARCLASSNAMEA, nullptr, kBarStyle, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
    if (!window)
        return nullptr;
    SendMessageA(window, TB_SETSTYLE, 0, SendMessageA(window, TB_GETSTYLE, 0, 0) | TBSTYLE_FLAT);
    bar->Attach(window);
    bar->AddButtons();
    bar->Layout();
    return bar;
}

CMenuBar::~CMenuBar() {
    HWND window = m_hwnd;
    Attach(nullptr);
    if (window && !m_windowEnding && IsWindow(window))
        DestroyWindow(window);
}

void CMenuBar::AddButtons() {
    SendMessageA(m_hwnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(m_hwnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(1, 1));
    const int count = std::max(0, GetMenuItemCount(m_menu));
    for (int position = 0; position < count; ++position) {
        // The toolbar takes a list of strings ending in an empty one.
        std::string text = ItemString(m_menu, position);
        text.push_back('\0');
        const LRESULT string =
            SendMessageA(m_hwnd, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(text.c_str()));
        TBBUTTON button = {};
        button.iBitmap = I_IMAGENONE;
        button.idCommand = position;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_AUTOSIZE;
        button.iString = string;
        if (SendMessageA(m_hwnd, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button)))
            ++m_count;
    }
}

void CMenuBar::Layout() {
    BOOL cues = FALSE;
    SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &cues, 0);
    m_alwaysUnderline = cues != FALSE;
    ShowUnderlines(m_alwaysUnderline);
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        m_font.Reset(CreateFontIndirectA(&metrics.lfMenuFont));
        SendMessageA(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), FALSE);
        SendMessageA(m_hwnd, TB_AUTOSIZE, 0, 0);
    }
    RECT last = {};
    if (m_count > 0)
        SendMessageA(m_hwnd, TB_GETITEMRECT, static_cast<WPARAM>(m_count - 1),
                     reinterpret_cast<LPARAM>(&last));
    RECT place = {0, 0, last.right, last.bottom};
    CWindow* dialog = m_host.FindSkinObject(m_parent, SkinList::Dialog);
    if (const auto* info = dialog ? static_cast<const DialogInfo*>(dialog->GetInfo()) : nullptr) {
        const int x = std::max(0, info->resize);
        const int y = std::max(0, info->titleBar);
        place = {kBarLeft, y, last.right + x, last.bottom + y};
    }
    MoveWindow(m_hwnd, place.left, place.top, place.right - place.left, place.bottom - place.top,
               FALSE);
    // Moved without a paint of its own: it shows at the next one.
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void CMenuBar::ShowUnderlines(bool show) {
    if (show == m_showUnderlines)
        return;
    m_showUnderlines = show;
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

bool CMenuBar::TryAccessKey(UINT key) {
    if (key > 0xFF)
        return false;
    for (int position = 0; position < m_count; ++position) {
        const char mark = AccessKeyOf(ItemString(m_menu, position));
        if (!mark ||
            std::toupper(static_cast<unsigned char>(mark)) != std::toupper(static_cast<int>(key)))
            continue;
        m_current = position;
        m_byKeyboard = true;
        PostMessageA(m_hwnd, kOpenMenu, 0, 0);
        ShowUnderlines(true);
        return true;
    }
    return false;
}

int CMenuBar::ButtonAt(POINT client) const {
    return static_cast<int>(SendMessageA(m_hwnd, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&client)));
}

void CMenuBar::ReleaseButton() const {
    SendMessageA(m_hwnd, TB_PRESSBUTTON, static_cast<WPARAM>(m_current), FALSE);
}

void CMenuBar::OpenMenu() {
    if (m_tracking || CMenu::IsBusy() || m_current < 0 || m_current >= m_count)
        return;
    if (GetFocus() == m_hwnd && m_savedFocus && IsWindow(m_savedFocus)) {
        m_keepUnderlines = true;
        SetFocus(m_savedFocus);
        m_keepUnderlines = false;
    }
    m_switching = false;
    m_closedByFilter = false;
    // Where the mouse rests now is no move: a dropdown opened from the
    // keyboard stays open under a mouse resting over another button.
    GetCursorPos(&m_lastPoint);
    ScreenToClient(m_hwnd, &m_lastPoint);
    HMENU dropDown = GetSubMenu(m_menu, m_current);
    if (!dropDown) {
        // An item of the bar itself is a command.
        const UINT command = GetMenuItemID(m_menu, m_current);
        if (command != static_cast<UINT>(-1))
            PostMessageA(m_parent, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        return;
    }
    SendMessageA(m_hwnd, TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
    SendMessageA(m_hwnd, TB_PRESSBUTTON, static_cast<WPARAM>(m_current), TRUE);
    SendMessageA(m_parent, WM_MENUSELECT, MAKEWPARAM(m_current, kOpenedFlags),
                 reinterpret_cast<LPARAM>(m_menu));
    HWND window = m_hwnd;
    TrackDropDown(dropDown);
    if (m_destroyedWhileTracking) {
        // The window went while its dropdown was open: the object goes now.
        m_host.ForgetWindow(window);
        return;
    }
    ReleaseButton();
    if (!m_closedByFilter && m_showUnderlines && !m_alwaysUnderline)
        ShowUnderlines(false);
    if (!m_switching)
        SendMessageA(m_parent, WM_MENUSELECT, MAKEWPARAM(m_current, kClosedFlags),
                     reinterpret_cast<LPARAM>(dropDown));
}

// The dropdown hangs below its button (beside it when there is no room),
// inside the desktop, with the filter and the popup-menu skin on for as long
// as it is open.
void CMenuBar::TrackDropDown(HMENU dropDown) {
    RECT button = {};
    SendMessageA(m_hwnd, TB_GETITEMRECT, static_cast<WPARAM>(m_current),
                 reinterpret_cast<LPARAM>(&button));
    MapWindowPoints(m_hwnd, nullptr, reinterpret_cast<POINT*>(&button), 2);
    RECT desktop = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    IntersectRect(&button, &button, &desktop);
    CMenu* menus = CMenu::Instance();
    const bool skinned = menus->Install(m_host, m_parent, m_menuId.c_str());
    s_filterTarget = this;
    m_tracking = true;
    HHOOK filter =
        SetWindowsHookExA(WH_MSGFILTER, &CMenuBar::FilterProc, nullptr, GetCurrentThreadId());
    // Opened from the keyboard, the dropdown starts on its first item.
    if (m_byKeyboard)
        PostMessageA(m_hwnd, WM_KEYDOWN, VK_DOWN, 0);
    TPMPARAMS exclude = {sizeof(exclude), button};
    TrackPopupMenuEx(dropDown, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL | TPM_LEFTBUTTON,
                     button.left, button.bottom, m_parent, &exclude);
    if (filter)
        UnhookWindowsHookEx(filter);
    m_tracking = false;
    s_filterTarget = nullptr;
    if (skinned)
        menus->Remove();
    m_byKeyboard = false;
}

void CMenuBar::CloseDropDown(bool switching, int next) {
    m_closedByFilter = true;
    if (switching) {
        ReleaseButton();
        m_switching = true;
    }
    EndMenu();
    if (switching) {
        m_current = next;
        PostMessageA(m_hwnd, kOpenMenu, 0, 0);
    }
}

void CMenuBar::TakeKeyboard() {
    HWND focus = GetFocus();
    if (focus != m_hwnd) {
        m_savedFocus = focus;
        SetFocus(m_hwnd);
    }
    SendMessageA(m_hwnd, TB_SETHOTITEM, static_cast<WPARAM>(m_current), 0);
}

bool CMenuBar::Filter(const MSG& message) {
    switch (message.message) {
    case WM_MOUSEMOVE: {
        POINT point = message.pt;
        ScreenToClient(m_hwnd, &point);
        if (point.x == m_lastPoint.x && point.y == m_lastPoint.y)
            return true;
        m_lastPoint = point;
        const int button = ButtonAt(point);
        if (button < 0 || button >= m_count || button == m_current)
            return false;
        CloseDropDown(true, button);
        return true;
    }
    case WM_LBUTTONDOWN: {
        POINT point = message.pt;
        ScreenToClient(m_hwnd, &point);
        if (ButtonAt(point) != m_current)
            return false;
        m_switching = true;
        CloseDropDown(false, m_current);
        return true;
    }
    case WM_KEYDOWN:
        if (message.wParam == VK_ESCAPE && OpenMenuDepth() == 1) {
            CloseDropDown(false, m_current);
            m_lastPoint = {-1, -1};
            TakeKeyboard();
            return true;
        }
        if (message.wParam == VK_LEFT && OpenMenuDepth() == 1) {
            CloseDropDown(true, m_current - 1);
            return true;
        }
        if (message.wParam == VK_RIGHT && !SelectionOpensSubmenu()) {
            CloseDropDown(true, m_current + 1);
            return true;
        }
        return false;
    default:
        return false;
    }
}

LRESULT CALLBACK CMenuBar::FilterProc(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_MENU && message && s_filterTarget &&
        CallGuarded(false, [&] { return s_filterTarget->Filter(*message); }))
        return TRUE;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CMenuBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN: {
        const int button = ButtonAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (button < 0 || button >= m_count)
            return CallPrevious(message, wParam, lParam);
        m_current = button;
        m_byKeyboard = false;
        OpenMenu();
        return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return OnKeyDown(message, wParam, lParam);
    case WM_KILLFOCUS:
        return OnKillFocus(wParam, lParam);
    case kOpenMenu:
        if (m_current < 0)
            m_current = m_count - 1;
        else if (m_current >= m_count)
            m_current = 0;
        OpenMenu();
        return 0;
    case WM_COMMAND:
    case WM_MENUCHAR:
        return SendMessageA(m_parent, message, wParam, lParam);
    case WM_INITMENUPOPUP:
        return OnInitMenuPopup(wParam, lParam);
    case WM_MEASUREITEM:
        return OnMeasureItem(wParam, lParam);
    case WM_DRAWITEM:
        return OnDrawItem(wParam, lParam);
    case WM_DESTROY:
        m_windowEnding = true;
        if (m_tracking) {
            // The open dropdown ends first; the object goes when it has.
            m_destroyedWhileTracking = true;
            EndMenu();
            return CallPrevious(message, wParam, lParam);
        }
        return OnDestroy(wParam, lParam);
    default:
        return CallPrevious(message, wParam, lParam);
    }
}

// A key the bar takes leaves no character behind for the dropdown it
// opens, which would choose or close by it.
LRESULT CMenuBar::OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam) {
    const int hot = static_cast<int>(SendMessageA(m_hwnd, TB_GETHOTITEM, 0, 0));
    const UINT key = static_cast<UINT>(wParam);
    const auto dropCharacters = [this] {
        MSG pending;
        while (PeekMessageA(&pending, m_hwnd, WM_CHAR, WM_DEADCHAR, PM_REMOVE) ||
               PeekMessageA(&pending, m_hwnd, WM_SYSCHAR, WM_SYSDEADCHAR, PM_REMOVE)) {
        }
    };
    if (hot >= 0 && hot < m_count && (key == VK_RETURN || key == VK_UP || key == VK_DOWN)) {
        dropCharacters();
        m_current = hot;
        m_byKeyboard = true;
        OpenMenu();
        return 0;
    }
    if (key == VK_ESCAPE) {
        if (m_savedFocus && IsWindow(m_savedFocus))
            SetFocus(m_savedFocus);
        return 0;
    }
    if (TryAccessKey(key)) {
        dropCharacters();
        return 0;
    }
    return CallPrevious(message, wParam, lParam);
}

LRESULT CMenuBar::OnKillFocus(WPARAM wParam, LPARAM lParam) {
    SendMessageA(m_hwnd, TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
    if (!m_alwaysUnderline && !m_keepUnderlines)
        ShowUnderlines(false);
    return CallPrevious(WM_KILLFOCUS, wParam, lParam);
}

// The background under the bar, then per button the description's images,
// surfaces and texts of the button's state; the toolbar draws nothing.
LRESULT CMenuBar::CustomDraw(NMCUSTOMDRAW* record) {
    if (!record)
        return CDRF_DODEFAULT;
    switch (record->dwDrawStage) {
    case CDDS_PREERASE:
        return m_info ? CDRF_SKIPDEFAULT : CDRF_DODEFAULT;
    case CDDS_PREPAINT: {
        TakeBackgroundFromParent();
        if (m_background.IsValid())
            BitBlt(record->hdc, 0, 0, m_background.GetWidth(), m_background.GetHeight(),
                   m_background.GetDC(), 0, 0, SRCCOPY);
        return m_info ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    }
    case CDDS_ITEMPREPAINT: {
        if (!m_info)
            return CDRF_DODEFAULT;
        const auto command = static_cast<WPARAM>(record->dwItemSpec);
        TBBUTTON button = {};
        const LRESULT index = SendMessageA(m_hwnd, TB_COMMANDTOINDEX, command, 0);
        SendMessageA(m_hwnd, TB_GETBUTTON, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&button));
        int state = STATE_NORMAL;
        if (SendMessageA(m_hwnd, TB_ISBUTTONPRESSED, command, 0))
            state = STATE_DOWN;
        else if (SendMessageA(m_hwnd, TB_GETHOTITEM, 0, 0) == index)
            state = STATE_OVER;
        PaintButton(record->hdc, state, record->rc, button);
        return CDRF_SKIPDEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

void CMenuBar::PaintButton(HDC dc, int state, const RECT& rect, const TBBUTTON& button) {
    const DrawItemList& items = m_info->drawItems;
    const auto shows = [state](const DrawItemHeader& item) {
        return item.state == state || item.state == STATE_ALL;
    };
    for (const auto& image : items.Images()) {
        if (shows(*image))
            m_imageHelper.Paint(m_host, m_hwnd, kToolBarKind, dc, items, image.get(), rect,
                                SubItem(), const_cast<TBBUTTON*>(&button), image->index);
    }
    for (const auto& surface : items.Surfaces()) {
        if (shows(*surface))
            m_surfaceHelper.Paint(m_host, m_hwnd, kToolBarKind, dc, items, surface.get(), rect,
                                  SubItem(), const_cast<TBBUTTON*>(&button), surface->index);
    }
    // The button's own text, with its access key underlined while the bar
    // shows underlines. The marks are taken out here rather than hidden by
    // DrawText, which not every system does.
    const std::string item = ItemString(m_menu, static_cast<int>(button.idCommand));
    const std::string label = m_showUnderlines ? item : SplitMenuItemText(item).label;
    const UINT prefix = m_showUnderlines ? 0 : DT_NOPREFIX;
    for (const auto& text : items.Texts()) {
        if (!shows(*text) || !text->visible)
            continue;
        if (text->textColor != kNoColor)
            SetTextColor(dc, text->textColor);
        const GDIFont* font = m_host.FindFont(text->fontId);
        CSelectObject selected(dc, font && font->GetFont() ? font->GetFont() : m_font.Get());
        SetBkMode(dc, TRANSPARENT);
        RECT box = rect;
        box.left = ResolveNearEdge(text->left, rect.left, rect.right - rect.left);
        box.top = ResolveNearEdge(text->top, rect.top, rect.bottom - rect.top);
        if (text->width > 0)
            box.right = box.left + text->width;
        if (text->height > 0)
            box.bottom = box.top + text->height;
        const std::string& shown = text->content.empty() ? label : text->content;
        DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &box,
                  TextFormat(*text) | (text->content.empty() ? prefix : DT_NOPREFIX));
    }
}

} // namespace Velmora
