#include "MenuItem.h"

#include "DrawHelpers.h"
#include "GDIFont.h"

#include <cstdio>

namespace Velmora {

namespace {

// The painters' window kind for menus, which have no kind of their own.
constexpr int kMenuKind = 0;
// The accelerator text ends this far before the item's right edge.
constexpr int kAcceleratorGap = 20;

int Width(const RECT& rect) {
    return rect.right - rect.left;
}

int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

} // namespace

MenuItemText SplitMenuItemText(const std::string& text) {
    MenuItemText parts;
    const size_t tab = text.find('\t');
    const std::string label = text.substr(0, tab);
    if (tab != std::string::npos)
        parts.accelerator = text.substr(tab + 1);
    for (size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size())
            ++i;
        else if (label[i] == '&')
            continue;
        parts.label += label[i];
    }
    return parts;
}

CMenuItem::CMenuItem(ISkinHost& host, MenuInfo* info, HMENU menu, int widening)
    : CWindow(host, info), m_menu(menu), m_widening(widening) {}

const MenuInfo* CMenuItem::Info() const {
    return static_cast<const MenuInfo*>(m_info);
}

void CMenuItem::ShowIn(HWND window) {
    if (window == m_hwnd || m_settingRegion)
        return;
    if (!m_look.IsValid() && !RenderBackground(window))
        return;
    m_hwnd = window;
    CWindowDC dc(window);
    if (dc.Get())
        BitBlt(dc.Get(), 0, 0, m_look.GetWidth(), m_look.GetHeight(), m_look.GetDC(), 0, 0,
               SRCCOPY);
    ShapeWindow(window);
}

// Surfaces first, then images, each in their description order; what they
// leave uncovered stays black.
bool CMenuItem::RenderBackground(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    CWindowDC windowDc(window);
    if (!windowDc.Get() || client.right <= 0 || client.bottom <= 0)
        return false;
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc.Get(), client.right, client.bottom);
    CMemoryDC dc(windowDc.Get());
    if (!bitmap || !dc.Get()) {
        if (bitmap)
            DeleteObject(bitmap);
        return false;
    }
    {
        CSelectObject selected(dc.Get(), bitmap);
        m_hwnd = window;
        PaintNamed(dc.Get(), "menu.back", DRAWITEM_SURFACE, client);
        PaintNamed(dc.Get(), "menu.back", DRAWITEM_IMAGE, client);
        m_hwnd = nullptr;
    }
    // Whatever colour the description names, the black pixels are cut out.
    if (Info() && Info()->clipColor != kNoColor)
        m_shape.CreateFromBitmap(bitmap, RGB(0, 0, 0));
    return m_look.Adopt(windowDc.Get(), bitmap, client.right, client.bottom);
}

void CMenuItem::ShapeWindow(HWND window) {
    if (!m_shape.GetHandle())
        return;
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    if (!copy)
        return;
    CombineRgn(copy, m_shape.GetHandle(), nullptr, RGN_COPY);
    m_settingRegion = true;
    // The window owns the region once it is set.
    if (!SetWindowRgn(window, copy, TRUE))
        DeleteObject(copy);
    m_settingRegion = false;
}

void CMenuItem::PaintFrame(HWND window, HDC dc) const {
    if (!m_look.IsValid() || !dc)
        return;
    RECT place = {};
    GetWindowRect(window, &place);
    const int saved = SaveDC(dc);
    const int count = GetMenuItemCount(m_menu);
    for (int position = 0; position < count; ++position) {
        RECT item = {};
        if (!GetMenuItemRect(window, m_menu, static_cast<UINT>(position), &item))
            continue;
        OffsetRect(&item, -place.left, -place.top);
        ExcludeClipRect(dc, item.left, item.top, item.right + m_widening, item.bottom);
    }
    BitBlt(dc, 0, 0, m_look.GetWidth(), m_look.GetHeight(), m_look.GetDC(), 0, 0, SRCCOPY);
    RestoreDC(dc, saved);
}

void CMenuItem::CopyBackground(HDC dc, const RECT& rect) const {
    if (m_look.IsValid())
        BitBlt(dc, rect.left, rect.top, Width(rect), Height(rect), m_look.GetDC(), rect.left,
               rect.top, SRCCOPY);
}

template <class Shows>
void CMenuItem::PaintWhere(HDC dc, DrawItemKind kind, const RECT& rect, Shows shows) {
    if (!m_info)
        return;
    const DrawItemList& items = m_info->drawItems;
    const auto paint = [&](const auto& list, const IDraw& painter) {
        for (const auto& item : list) {
            if (shows(*item))
                painter.Paint(m_host, m_hwnd, kMenuKind, dc, items, item.get(), rect, SubItem(),
                              nullptr, item->index);
        }
    };
    if (kind == DRAWITEM_SURFACE)
        paint(items.Surfaces(), m_surfaceHelper);
    else if (kind == DRAWITEM_IMAGE)
        paint(items.Images(), m_imageHelper);
    else if (kind == DRAWITEM_LINE)
        paint(items.Lines(), m_lineHelper);
}

void CMenuItem::PaintNamed(HDC dc, const char* id, DrawItemKind kind, const RECT& rect) {
    PaintWhere(dc, kind, rect, [id](const DrawItemHeader& item) { return item.id == id; });
}

void CMenuItem::PaintOfState(HDC dc, DrawItemKind kind, int state, const RECT& rect) {
    PaintWhere(dc, kind, rect, [state](const DrawItemHeader& item) { return item.state == state; });
}

// The checked mark is the icon numbered 1; other items show the icon of
// their command id, when the description has one.
void CMenuItem::PaintIcon(HDC dc, const MenuItemRecord& record, bool checked, const RECT& rect) {
    if (!m_info)
        return;
    char id[32];
    std::snprintf(id, sizeof id, "menu.icon.%d", checked ? 1 : static_cast<int>(record.commandId));
    if (ImageItem* icon = m_info->drawItems.FindImage(id))
        m_imageHelper.Paint(m_host, m_hwnd, kMenuKind, dc, m_info->drawItems, icon, rect, SubItem(),
                            nullptr, icon->index);
}

// A text item with a text of its own shows it; otherwise the label, and the
// accelerator text ending a little before the item's right edge.
void CMenuItem::PaintText(HDC dc, const MenuItemRecord& record, int state, const RECT& rect) {
    const TextItem* text = static_cast<const TextItem*>(FindItemOfState(DRAWITEM_TEXT, state));
    if (!text && state == STATE_DISABLE)
        text = static_cast<const TextItem*>(FindItemOfState(DRAWITEM_TEXT, STATE_NORMAL));
    if (!text)
        text = static_cast<const TextItem*>(FindItemOfState(DRAWITEM_TEXT, STATE_ALL));
    if (!text || !text->visible)
        return;
    if (text->textColor != kNoColor)
        SetTextColor(dc, text->textColor);
    const GDIFont* font = m_host.FindFont(text->fontId);
    CSelectObject selected(dc, font ? font->GetFont() : nullptr);
    SetBkMode(dc, TRANSPARENT);
    const int x = ResolveNearEdge(text->left, rect.left, Width(rect));
    const int y = ResolveNearEdge(text->top, rect.top, Height(rect));
    if (!text->content.empty()) {
        TextOutA(dc, x, y, text->content.c_str(), static_cast<int>(text->content.size()));
        return;
    }
    const MenuItemText parts = SplitMenuItemText(record.label);
    TextOutA(dc, x, y, parts.label.c_str(), static_cast<int>(parts.label.size()));
    if (parts.accelerator.empty())
        return;
    const int length = static_cast<int>(parts.accelerator.size());
    SIZE extent = {};
    GetTextExtentPoint32A(dc, parts.accelerator.c_str(), length, &extent);
    TextOutA(dc, rect.right - extent.cx - kAcceleratorGap, y, parts.accelerator.c_str(), length);
}

void CMenuItem::PaintContent(HDC dc, const MenuItemRecord& record, const DRAWITEMSTRUCT& draw,
                             int state, const RECT& rect) {
    PaintIcon(dc, record, (draw.itemState & ODS_CHECKED) != 0, rect);
    PaintText(dc, record, state, rect);
}

void CMenuItem::DrawItem(DRAWITEMSTRUCT* draw) {
    if (!draw || !draw->itemData)
        return;
    const auto& record = *reinterpret_cast<const MenuItemRecord*>(draw->itemData);
    HDC dc = draw->hDC;
    RECT rect = draw->rcItem;
    rect.right += m_widening;
    const bool selected = (draw->itemState & ODS_SELECTED) != 0;
    const bool grayed = (draw->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const bool whole = (draw->itemAction & ODA_DRAWENTIRE) != 0;
    const bool selection = (draw->itemAction & ODA_SELECT) != 0;
    const bool highlights = !grayed && !record.separator;
    if (whole) {
        CopyBackground(dc, rect);
        if (record.separator) {
            PaintNamed(dc, "menu.sperator", DRAWITEM_LINE, rect);
            PaintNamed(dc, "menu.sperator", DRAWITEM_IMAGE, rect);
        } else {
            PaintContent(dc, record, *draw, grayed ? STATE_DISABLE : STATE_NORMAL, rect);
        }
    }
    if ((whole || selection) && selected && highlights) {
        PaintOfState(dc, DRAWITEM_SURFACE, STATE_OVER, rect);
        PaintOfState(dc, DRAWITEM_IMAGE, STATE_OVER, rect);
        PaintContent(dc, record, *draw, STATE_OVER, rect);
    } else if (selection && !selected && highlights) {
        CopyBackground(dc, rect);
        PaintContent(dc, record, *draw, STATE_NORMAL, rect);
    }
}

} // namespace Velmora
