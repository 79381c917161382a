#include "DrawHelpers.h"

namespace Velmora {

void CDrawLineHelper::Paint(ISkinView& skin, HWND window, int windowKind, HDC dc,
                            const DrawItemList& /*list*/, DrawItemHeader* header,
                            const RECT& target, const SubItem& subItem, void* /*extra*/,
                            int /*index*/) const {
    if (!window || !dc || !header || !IsItemVisible(skin, subItem, window, windowKind, *header))
        return;
    const auto& item = static_cast<const LineItem&>(*header);
    // A line without a colour is not drawn.
    if (item.lineColor == kNoColor)
        return;
    CGdiHandle<HPEN> pen(CreatePen(item.style, item.width, item.lineColor));
    if (!pen.Get())
        return;
    CSelectObject selected(dc, pen.Get());
    const int width = target.right - target.left;
    const int height = target.bottom - target.top;
    MoveToEx(dc, ResolveNearEdge(item.startX, target.left, width),
             ResolveNearEdge(item.startY, target.top, height), nullptr);
    LineTo(dc, ResolveNearEdge(item.endX, target.left, width),
           ResolveNearEdge(item.endY, target.top, height));
}

} // namespace Velmora
