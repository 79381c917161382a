#include "DrawHelpers.h"

#include "GDIFont.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace Velmora {

namespace {

// Window kinds of the common toolbar, whose buttons carry their own texts,
// and of the list control, whose cells do.
constexpr int kToolBarKind = 12;
constexpr int kListKind = 17;
constexpr size_t kButtonTextRoom = 4096;
constexpr int kCellTextRoom = 1024;

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    if (length <= 0)
        return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const int copied = GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), static_cast<size_t>(std::max(copied, 0)));
}

std::string ButtonText(HWND toolBar, const TBBUTTON& button) {
    // The message takes no buffer size: a longer text gets a buffer that holds it.
    const LRESULT length = SendMessageA(toolBar, TB_GETBUTTONTEXTA, button.idCommand, 0);
    if (length <= 0)
        return std::string();
    std::vector<char> buffer(std::max(kButtonTextRoom, static_cast<size_t>(length) + 1));
    const LRESULT copied = SendMessageA(toolBar, TB_GETBUTTONTEXTA, button.idCommand,
                                        reinterpret_cast<LPARAM>(buffer.data()));
    if (copied <= 0)
        return std::string();
    buffer.back() = '\0';
    return std::string(buffer.data());
}

std::string CellText(HWND list, const SubItem& cell) {
    if (cell.row < 0 || cell.column < 0)
        return std::string();
    char text[kCellTextRoom] = {};
    LVITEMA item = {};
    item.iSubItem = cell.column;
    item.pszText = text;
    item.cchTextMax = kCellTextRoom;
    SendMessageA(list, LVM_GETITEMTEXTA, cell.row, reinterpret_cast<LPARAM>(&item));
    return text;
}

UINT DrawTextFormat(const TextItem& item) {
    UINT format = DT_LEFT;
    if (item.horzAlign == ALIGN_CENTER)
        format = DT_CENTER;
    else if (item.horzAlign == ALIGN_FAR)
        format = DT_RIGHT;
    if (item.vertAlign == ALIGN_CENTER)
        format |= DT_VCENTER;
    else if (item.vertAlign == ALIGN_FAR)
        format |= DT_BOTTOM;
    format |= item.singleLine ? DT_SINGLELINE | DT_END_ELLIPSIS : DT_WORDBREAK | DT_EDITCONTROL;
    return format;
}

} // namespace

void CDrawTextHelper::Paint(ISkinView& skin, HWND window, int windowKind, HDC dc,
                            const DrawItemList& list, DrawItemHeader* header, const RECT& target,
                            const SubItem& subItem, void* extra, int /*index*/) const {
    if (!window || !dc || !header || !IsItemVisible(skin, subItem, window, windowKind, *header))
        return;
    const auto& item = static_cast<const TextItem&>(*header);

    // Without a colour of its own the text keeps the device context's colour.
    if (item.textColor != kNoColor)
        SetTextColor(dc, item.textColor);
    // The font stays selected: later text of the same paint uses it too.
    if (const GDIFont* font = skin.FindFont(item.fontId); font && font->GetFont())
        SelectObject(dc, font->GetFont());
    SetBkMode(dc, TRANSPARENT);

    const int width = target.right - target.left;
    const int height = target.bottom - target.top;
    const int x = ResolveNearEdge(item.left, 0, width);
    const int y = ResolveNearEdge(item.top, 0, height);

    std::string text = GetItemValue(skin, subItem, window, windowKind, item, DRAWITEM_TEXT);
    if (text.empty() && windowKind == kListKind)
        text = CellText(window, subItem);
    if (text.empty())
        text = WindowText(window);
    if (text.empty() && windowKind == kToolBarKind && extra)
        text = ButtonText(window, *static_cast<const TBBUTTON*>(extra));
    const int length = static_cast<int>(text.size());

    if (item.horzAlign != ALIGN_NONE || item.vertAlign != ALIGN_NONE) {
        RECT box = {target.left + x, target.top + y, 0, 0};
        box.right = box.left + (item.width > 0 ? item.width : width);
        box.bottom = box.top + (item.height > 0 ? item.height : height);
        DrawTextA(dc, text.c_str(), length, &box, DrawTextFormat(item));
        return;
    }
    if (item.relativeId.empty()) {
        TextOutA(dc, target.left + x, target.top + y, text.c_str(), length);
        return;
    }
    RECT related;
    if (!FindRelatedRect(skin, subItem, window, windowKind, dc, list, item, target, related))
        return;
    if (item.relativeAlign == RELATIVE_RIGHT) {
        SIZE extent = {0, 0};
        GetTextExtentPoint32A(dc, text.c_str(), length, &extent);
        TextOutA(dc, related.left - item.left - extent.cx, related.top + y, text.c_str(), length);
    } else {
        TextOutA(dc, related.right + x, related.top + y, text.c_str(), length);
    }
}

} // namespace Velmora
