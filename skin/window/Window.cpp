#include "Window.h"

#include "GDICursor.h"
#include "WindowScrollBars.h"

namespace Velmora {

namespace {

// The rectangle an item of the given placement covers in a client area of
// the given size; empty when the item does not say how big it is.
bool ItemRect(const RECT& client, int32_t left, int32_t top, int32_t width, int32_t height,
              RECT& rect) {
    // A negative size has no extent of its own to repaint.
    if (width <= 0 || height <= 0)
        return false;
    const LONG clientWidth = client.right - client.left;
    const LONG clientHeight = client.bottom - client.top;
    rect.left = left < 0 ? left + clientWidth : left;
    rect.top = top < 0 ? top + clientHeight : top;
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    return true;
}

} // namespace

CWindow::CWindow(ISkinHost& host, WindowInfo* info) : m_host(host), m_info(info) {}

CWindow::~CWindow() {
    m_background.Reset();
    LetGo();
}

void CWindow::Attach(HWND window) {
    if (!window) {
        LetGo();
        return;
    }
    if (!m_hwnd && m_info && IsWindow(window)) {
        // Child windows are placed in their parent's client area, top-level
        // windows on the desktop's.
        RECT parent = {};
        GetClientRect(GetAncestor(window, GA_PARENT), &parent);
        RECT own = {};
        GetClientRect(window, &own);
        const int x = m_info->left < 0 ? m_info->left + (parent.right - parent.left) : m_info->left;
        const int y = m_info->top < 0 ? m_info->top + (parent.bottom - parent.top) : m_info->top;
        // A size of 0 takes the client size: a dialog whose frame is being
        // stripped keeps the size of its content once the frame is gone.
        const int width = m_info->width != 0 ? m_info->width : own.right;
        const int height = m_info->height != 0 ? m_info->height : own.bottom;
        UINT flags = 0;
        if (!m_info->hasPosition)
            flags |= SWP_NOMOVE;
        if (m_info->width == 0 && m_info->height == 0)
            flags |= SWP_NOSIZE;
        // A top-level window comes to the front; a child keeps its place
        // among its siblings, which is its dialog's tab order and radio groups.
        if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)
            flags |= SWP_NOZORDER;
        SetWindowPos(window, nullptr, x, y, width, height, flags);
    }
    CHookWindow::Attach(window);
}

void CWindow::InstallWindowScrollBars() {
    if (m_hwnd && m_info && SkinnedScrollBars::Install(m_hwnd, m_host, *m_info))
        m_scrollBarsInstalled = true;
}

void CWindow::ReleaseWindowScrollBars() {
    if (m_scrollBarsInstalled && m_hwnd)
        SkinnedScrollBars::Release(m_hwnd);
    m_scrollBarsInstalled = false;
}

LRESULT CWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallPrevious(message, wParam, lParam);
}

void CWindow::PaintWindow(HDC) {}

void CWindow::CaptureBackground(HDC parentDc) {
    m_background.Reset();
    if (!m_hwnd || !parentDc)
        return;
    RECT rect = {};
    GetWindowRect(m_hwnd, &rect);
    MapWindowPoints(nullptr, GetParent(m_hwnd), reinterpret_cast<POINT*>(&rect), 2);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (!m_background.Create(parentDc, width, height))
        return;
    BitBlt(m_background.GetDC(), 0, 0, width, height, parentDc, rect.left, rect.top, SRCCOPY);
}

LRESULT CWindow::CustomDraw(NMCUSTOMDRAW*) {
    return CDRF_DODEFAULT;
}

void CWindow::DrawItem(DRAWITEMSTRUCT*) {}

void CWindow::MeasureItem(MEASUREITEMSTRUCT*) {}

void CWindow::Redraw(bool rebuild, const RECT* rect) {
    if (rebuild)
        m_background.Reset();
    if (!m_hwnd)
        return;
    InvalidateRect(m_hwnd, rect, rebuild ? TRUE : FALSE);
    UpdateWindow(m_hwnd);
}

void CWindow::ChangeWindowStyle(HWND window, int index, LONG remove, LONG add) {
    if (!window || (index != GWL_STYLE && index != GWL_EXSTYLE))
        return;
    const LONG style = GetWindowLongA(window, index);
    // Only bits that really change: the window's own ones stay its own.
    const LONG added = add & ~style;
    const LONG removed = remove & style & ~add;
    StyleChange& change = m_styleChanges[index == GWL_STYLE ? 0 : 1];
    change.added = (change.added | added) & ~removed;
    change.removed = (change.removed | removed) & ~added;
    if (index == GWL_STYLE)
        m_host.RememberStyleChange(window, added, removed);
    SetWindowLongA(window, index, (style & ~remove) | add);
}

void CWindow::LetGo() {
    HWND window = m_hwnd;
    // The scroll bars' procedure sits above the hook: it leaves first.
    ReleaseWindowScrollBars();
    CHookWindow::Attach(nullptr);
    const bool changed = m_styleChanges[0].added || m_styleChanges[0].removed ||
                         m_styleChanges[1].added || m_styleChanges[1].removed;
    if (window && changed && !m_windowEnding && IsWindow(window)) {
        const int indexes[2] = {GWL_STYLE, GWL_EXSTYLE};
        for (int i = 0; i < 2; ++i) {
            const LONG style = GetWindowLongA(window, indexes[i]);
            SetWindowLongA(window, indexes[i],
                           (style & ~m_styleChanges[i].added) | m_styleChanges[i].removed);
        }
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        InvalidateRect(window, nullptr, TRUE);
    }
    m_styleChanges[0] = m_styleChanges[1] = StyleChange();
}

void CWindow::BuildStateImages(HDC) {}

HBRUSH CWindow::ControlColor(UINT, HDC) {
    return nullptr;
}

void CWindow::SetDroppedDown(bool) {}

int CWindow::SetItemStyle(int, int, const char*) {
    return 1;
}

int CWindow::SetItemData(int, DWORD_PTR) {
    return 1;
}

DWORD_PTR CWindow::GetItemData(int) {
    return 0;
}

// Changes the text item of the id, else its image item, and repaints what the
// item covers (the whole window when it has no size). An image change that
// fails leaves the window as it is.
template <class ChangeText, class ChangeImage>
int CWindow::ChangeItem(const char* id, ChangeText changeText, ChangeImage changeImage) {
    if (!m_info || !id)
        return 0;
    const DrawItemList& items = m_info->drawItems;
    RECT client = {};
    if (m_hwnd)
        GetClientRect(m_hwnd, &client);
    RECT rect = {};
    bool hasRect = false;
    if (TextItem* text = items.FindTextItem(id)) {
        changeText(*text);
        hasRect = ItemRect(client, text->left, text->top, text->width, text->height, rect);
    } else if (ImageItem* image = items.FindImage(id)) {
        if (!changeImage(*image))
            return 0;
        hasRect = ItemRect(client, image->left, image->top, image->width, image->height, rect);
    } else {
        return 0;
    }
    Redraw(true, hasRect ? &rect : nullptr);
    return 1;
}

int CWindow::SetDrawItemVisible(const char* id, bool visible) {
    return ChangeItem(
        id, [visible](TextItem& text) { text.visible = visible; },
        [visible](ImageItem& image) {
            image.visible = visible;
            return true;
        });
}

int CWindow::SetDrawItemValue(const char* id, const char* value) {
    const std::string newValue = value ? value : "";
    return ChangeItem(
        id, [&newValue](TextItem& text) { text.content = newValue; },
        [this, &newValue](ImageItem& image) {
            image.imageId = newValue;
            // A file shown before is read again, so a file changed on disk shows.
            return !m_host.FindFileImage(newValue) || m_host.GetFileImage(newValue, true);
        });
}

int CWindow::SetDrawItemVisibleEx(int, int, const char*, bool) {
    return 1;
}

int CWindow::SetDrawItemValueEx(int, int, const char*, const char*) {
    return 1;
}

int CWindow::TreeCtrlExSetDrawItemVisible(void*, const char*, bool) {
    return 1;
}

int CWindow::TreeCtrlExSetDrawItemValue(void*, const char*, const char*) {
    return 1;
}

int CWindow::SetProgressItemPos(int, int, int) {
    return 1;
}

std::unique_ptr<SubItemOverride> CWindow::GetSubItemValue(int, int, const char*) {
    return nullptr;
}

std::unique_ptr<SubItemOverride> CWindow::GetSubItemVisible(int, int, const char*) {
    return nullptr;
}

std::unique_ptr<SubItemOverride> CWindow::GetTreeItemValue(void*, const char*) {
    return nullptr;
}

std::unique_ptr<SubItemOverride> CWindow::GetTreeItemVisible(void*, const char*) {
    return nullptr;
}

void CWindow::PaintItems(HDC dc, int windowKind, const DrawItemList& list, int state,
                         const RECT& target, int row, int column, void* extra) {
    SubItem subItem;
    subItem.row = row;
    subItem.column = column;
    PaintList(dc, windowKind, list, state, target, subItem, extra);
}

void CWindow::PaintSubItems(HDC dc, int windowKind, const DrawItemList& list, int state,
                            const RECT& target, void* treeItem, void* extra) {
    SubItem subItem;
    subItem.handle = treeItem;
    PaintList(dc, windowKind, list, state, target, subItem, extra);
}

const IDraw* CWindow::PainterOf(DrawItemKind kind) const {
    switch (kind) {
    case DRAWITEM_LINE:
        return &m_lineHelper;
    case DRAWITEM_SURFACE:
        return &m_surfaceHelper;
    case DRAWITEM_TEXT:
        return &m_textHelper;
    case DRAWITEM_IMAGE:
        return &m_imageHelper;
    default:
        return nullptr;
    }
}

bool CWindow::PaintFirstOf(HDC dc, int windowKind, const std::string& id,
                           std::initializer_list<DrawItemKind> kinds, const RECT& target) {
    if (!m_info)
        return false;
    for (DrawItemKind kind : kinds) {
        DrawItemHeader* item = m_info->drawItems.Find(id, kind);
        const IDraw* painter = PainterOf(kind);
        if (item && painter) {
            painter->Paint(m_host, m_hwnd, windowKind, dc, m_info->drawItems, item, target,
                           SubItem{}, nullptr, item->index);
            return true;
        }
    }
    return false;
}

void CWindow::PaintList(HDC dc, int windowKind, const DrawItemList& list, int state,
                        const RECT& target, const SubItem& subItem, void* extra) {
    // Indexes follow document order; the first one without an item ends the walk.
    for (int32_t index = 0;; ++index) {
        const DrawItemRef ref = list.ItemByIndex(index);
        if (!ref)
            break;
        if (ref.item->state != state && ref.item->state != STATE_ALL)
            continue;
        if (const IDraw* painter = PainterOf(ref.kind))
            painter->Paint(m_host, m_hwnd, windowKind, dc, list, ref.item, target, subItem, extra,
                           index);
    }
}

DrawItemHeader* CWindow::FindItem(const std::string& id, DrawItemKind kind) const {
    return m_info ? m_info->drawItems.Find(id, kind) : nullptr;
}

const DrawItemGroup* CWindow::FindItemTemplate(const std::string& id) const {
    if (!m_info)
        return nullptr;
    for (const auto& group : m_info->itemTemplates) {
        if (group->id == id)
            return group.get();
    }
    return nullptr;
}

DrawItemHeader* CWindow::FindItemOfState(DrawItemKind kind, int state) const {
    if (!m_info)
        return nullptr;
    const DrawItemList& items = m_info->drawItems;
    auto first = [state](const auto& list) -> DrawItemHeader* {
        for (const auto& item : list) {
            if (item->state == state)
                return item.get();
        }
        return nullptr;
    };
    switch (kind) {
    case DRAWITEM_LINE:
        return first(items.Lines());
    case DRAWITEM_SURFACE:
        return first(items.Surfaces());
    case DRAWITEM_TEXT:
        return first(items.Texts());
    case DRAWITEM_IMAGE:
        return first(items.Images());
    default:
        return nullptr;
    }
}

LRESULT CWindow::OnDestroy(WPARAM wParam, LPARAM lParam) {
    HWND window = m_hwnd;
    m_windowEnding = true;
    const LRESULT result = CallPrevious(WM_DESTROY, wParam, lParam);
    // This deletes the object: nothing of it may be touched after.
    m_host.ForgetWindow(window);
    return result;
}

LRESULT CWindow::OnSizeRedraw(WPARAM wParam, LPARAM lParam) {
    CallPrevious(WM_SIZE, wParam, lParam);
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    Redraw(true, &client);
    return 0;
}

LRESULT CWindow::OnEraseBackground() {
    return 1;
}

LRESULT CWindow::OnSetCursor(WPARAM wParam, LPARAM lParam) {
    if (m_info && !m_info->cursorId.empty()) {
        const GDICursor* cursor = m_host.FindCursor(m_info->cursorId);
        if (cursor && cursor->GetCursor()) {
            SetCursor(cursor->GetCursor());
            return 1;
        }
    }
    return CallPrevious(WM_SETCURSOR, wParam, lParam);
}

LRESULT CWindow::OnMeasureItem(WPARAM wParam, LPARAM lParam) {
    auto* record = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (record && record->CtlType == ODT_MENU) {
        IPopupMenuSkin* menus = m_host.PopupMenuSkin();
        if (menus && menus->MeasureItem(*record))
            return TRUE;
    } else if (record && record->CtlID != 0 && record->CtlType == ODT_LISTVIEW) {
        HWND child = GetDlgItem(m_hwnd, static_cast<int>(record->CtlID));
        if (CWindow* list = m_host.FindSkinObject(child, SkinList::ListCtrl))
            list->MeasureItem(record);
    }
    return CallPrevious(WM_MEASUREITEM, wParam, lParam);
}

LRESULT CWindow::OnDrawItem(WPARAM wParam, LPARAM lParam) {
    auto* record = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (record && record->CtlType == ODT_MENU) {
        IPopupMenuSkin* menus = m_host.PopupMenuSkin();
        if (menus && menus->DrawItem(*record))
            return TRUE;
    } else if (record) {
        CWindow* skin = nullptr;
        if (record->CtlType == ODT_BUTTON)
            skin = m_host.FindSkinObject(record->hwndItem, SkinList::Button);
        else if (record->CtlType == ODT_LISTVIEW)
            skin = m_host.FindSkinObject(record->hwndItem, SkinList::ListCtrl);
        if (skin) {
            skin->DrawItem(record);
            return 1;
        }
    }
    return CallPrevious(WM_DRAWITEM, wParam, lParam);
}

// The window's own procedure comes first, so that items it adds, checks or
// greys are skinned as it leaves them. The window menu is not skinned.
LRESULT CWindow::OnInitMenuPopup(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(WM_INITMENUPOPUP, wParam, lParam);
    IPopupMenuSkin* menus = m_host.PopupMenuSkin();
    if (menus && menus->IsTracking() && !HIWORD(lParam))
        menus->ConvertToOwnerDraw(reinterpret_cast<HMENU>(wParam));
    return result;
}

LRESULT CWindow::OnNotify(WPARAM wParam, LPARAM lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && header->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
        if (CWindow* menuBar = m_host.FindSkinObject(header->hwndFrom, SkinList::MenuBar))
            return menuBar->CustomDraw(reinterpret_cast<NMCUSTOMDRAW*>(lParam));
    }
    return CallPrevious(WM_NOTIFY, wParam, lParam);
}

LRESULT CWindow::OnCtlColorButton(WPARAM wParam, LPARAM lParam) {
    HWND button = reinterpret_cast<HWND>(lParam);
    if (CWindow* skin = m_host.FindSkinObject(button, SkinList::Button)) {
        skin->BuildStateImages(reinterpret_cast<HDC>(wParam));
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    return CallPrevious(WM_CTLCOLORBTN, wParam, lParam);
}

// The parent's own answer comes first, so that what the skin does not set
// keeps the parent's colours.
LRESULT CWindow::OnCtlColorEdit(HDC dc, HWND child) {
    const LRESULT own = CallPrevious(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(child));
    if (CWindow* edit = m_host.FindSkinObject(child, SkinList::Edit)) {
        if (HBRUSH brush = edit->ControlColor(WM_CTLCOLOREDIT, dc))
            return reinterpret_cast<LRESULT>(brush);
    }
    return own;
}

LRESULT CWindow::OnCtlColorStatic(HDC dc, HWND child) {
    if (CWindow* edit = m_host.FindSkinObject(child, SkinList::Edit)) {
        if (HBRUSH brush = edit->ControlColor(WM_CTLCOLORSTATIC, dc))
            return reinterpret_cast<LRESULT>(brush);
    }
    return CallPrevious(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                        reinterpret_cast<LPARAM>(child));
}

void CWindow::NotifyComboBox(int code, HWND child) {
    if (code != CBN_DROPDOWN && code != CBN_CLOSEUP)
        return;
    if (CWindow* combo = m_host.FindSkinObject(child, SkinList::ComboBox))
        combo->SetDroppedDown(code == CBN_DROPDOWN);
}

LRESULT CWindow::OnPlaceChanged(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(message, wParam, lParam);
    m_background.Reset();
    Redraw(true, nullptr);
    return result;
}

void CWindow::TrackMouseLeave() const {
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hwnd, HOVER_DEFAULT};
    TrackMouseEvent(&track);
}

void CWindow::TakeBackgroundFromParent() {
    if (m_background.IsValid() || !m_hwnd)
        return;
    HWND parent = GetParent(m_hwnd);
    for (SkinList list : {SkinList::Dialog, SkinList::CommonCtrl}) {
        if (CWindow* skin = m_host.FindSkinObject(parent, list)) {
            if (skin->GetBackground().IsValid())
                CaptureBackground(skin->GetBackground().GetDC());
            return;
        }
    }
}

void CWindow::ExcludeOpaqueChildren(HDC dc, std::initializer_list<SkinList> lists,
                                    bool keepComplexRegions) const {
    for (CWindow* child : m_host.SkinnedChildren(m_hwnd, lists)) {
        HWND childWindow = child->GetHwnd();
        if (!childWindow || !IsWindowVisible(childWindow) || child->IsTransparent())
            continue;
        if (keepComplexRegions) {
            CGdiHandle<HRGN> shape(CreateRectRgn(0, 0, 0, 0));
            if (shape.Get() && GetWindowRgn(childWindow, shape.Get()) == COMPLEXREGION)
                continue;
        }
        RECT rect = {};
        GetWindowRect(childWindow, &rect);
        MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&rect), 2);
        ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
}

void CWindow::LetChildrenCaptureBackground(HDC look, std::initializer_list<SkinList> lists) const {
    for (CWindow* child : m_host.SkinnedChildren(m_hwnd, lists))
        child->CaptureBackground(look);
}

void CWindow::RedrawTransparentChildren(std::initializer_list<SkinList> lists,
                                        const CMemoryCanvas* cachedLook) const {
    for (CWindow* child : m_host.SkinnedChildren(m_hwnd, lists)) {
        if (!child->IsTransparent())
            continue;
        child->Redraw(true, nullptr);
        // A child whose rebuild dropped the background it just took from
        // this window's paint takes it again, or it would paint over nothing.
        if (!child->GetBackground().IsValid() && cachedLook && cachedLook->IsValid()) {
            child->CaptureBackground(cachedLook->GetDC());
            child->Redraw(false, nullptr);
        }
    }
}

} // namespace Velmora
