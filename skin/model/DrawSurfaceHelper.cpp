#include "DrawHelpers.h"

namespace Velmora {

void CDrawSurfaceHelper::Paint(ISkinView& skin, HWND window, int windowKind, HDC dc,
                               const DrawItemList& /*list*/, DrawItemHeader* header,
                               const RECT& target, const SubItem& subItem, void* /*extra*/,
                               int /*index*/) const {
    if (!window || !dc || !header || !IsItemVisible(skin, subItem, window, windowKind, *header))
        return;
    const auto& item = static_cast<const SurfaceItem&>(*header);

    CGdiHandle<HPEN> createdPen(
        item.borderColor == kNoColor
            ? nullptr
            : CreatePen(item.borderStyle, item.borderWidth, item.borderColor));
    CGdiHandle<HBRUSH> createdBrush(item.fillColor == kNoColor ? nullptr
                                                               : CreateSolidBrush(item.fillColor));
    CSelectObject pen(dc, createdPen.Get() ? static_cast<HGDIOBJ>(createdPen.Get())
                                           : GetStockObject(NULL_PEN));
    CSelectObject brush(dc, createdBrush.Get() ? static_cast<HGDIOBJ>(createdBrush.Get())
                                               : GetStockObject(NULL_BRUSH));

    const int width = target.right - target.left;
    const int height = target.bottom - target.top;
    const int left = ResolveNearEdge(item.upperLeftX, target.left, width);
    const int top = ResolveNearEdge(item.upperLeftY, target.top, height);
    const int right = ResolveFarEdge(item.lowerRightX, target.left, width);
    const int bottom = ResolveFarEdge(item.lowerRightY, target.top, height);
    if (item.type == SURFACE_ROUND)
        Ellipse(dc, left, top, right, bottom);
    else
        RoundRect(dc, left, top, right, bottom, item.roundRectWidth, item.roundRectHeight);
}

} // namespace Velmora
