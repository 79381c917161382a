#include "ScrollBarSprite.h"

#include "GDIImage.h"
#include "SkinValues.h"
#include "WindowInfo.h"

#include <algorithm>

namespace Velmora {

namespace {

// Pixels kept at each end of a thumb.
constexpr int kThumbEnd = 2;

} // namespace

void CScrollBarSprite::Set(const ScrollBarInfo* element, GDIImage* image) {
    if (image != m_image)
        m_sheet.Reset();
    m_element = element;
    m_image = image;
}

int CScrollBarSprite::CellWidth() const {
    return m_element && m_element->width > 0 ? m_element->width : kDefaultCellSize;
}

int CScrollBarSprite::CellHeight() const {
    return m_element && m_element->height > 0 ? m_element->height : kDefaultCellSize;
}

bool CScrollBarSprite::Prepare(HDC dc) {
    if (!HasImage())
        return false;
    if (m_sheet.IsValid() && m_sheetChanges == m_image->GetChangeCount())
        return true;
    m_sheetChanges = m_image->GetChangeCount();
    return m_sheet.Adopt(dc, m_image->ToDeviceBitmap(dc), m_image->GetWidth(),
                         m_image->GetHeight());
}

void CScrollBarSprite::Copy(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY,
                            int sourceWidth, int sourceHeight) {
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    const uint32_t key = m_image->GetTransparentColor();
    if (key != kNoColor) {
        TransparentBlt(dc, x, y, width, height, m_sheet.GetDC(), sourceX, sourceY, sourceWidth,
                       sourceHeight, key);
    } else if (width == sourceWidth && height == sourceHeight) {
        BitBlt(dc, x, y, width, height, m_sheet.GetDC(), sourceX, sourceY, SRCCOPY);
    } else {
        const int previousMode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, x, y, width, height, m_sheet.GetDC(), sourceX, sourceY, sourceWidth,
                   sourceHeight, SRCCOPY);
        SetStretchBltMode(dc, previousMode);
    }
}

void CScrollBarSprite::PaintCell(HDC dc, int row, int column, const RECT& dest) {
    if (!Prepare(dc))
        return;
    const int gap = m_element->interval;
    Copy(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top,
         column * (CellWidth() + gap), row * (CellHeight() + gap), CellWidth(), CellHeight());
}

void CScrollBarSprite::PaintThumb(HDC dc, bool vertical, int column, const RECT& thumb) {
    if (!Prepare(dc))
        return;
    const int cw = CellWidth();
    const int ch = CellHeight();
    const int gap = m_element->interval;
    const int cellX = column * (cw + gap);
    const int width = thumb.right - thumb.left;
    const int height = thumb.bottom - thumb.top;
    if (!vertical) {
        const int cellY = SPRITE_HORZ_THUMB * (ch + gap);
        Copy(dc, thumb.left, thumb.top, kThumbEnd, height, cellX, cellY, kThumbEnd, ch);
        Copy(dc, thumb.left + kThumbEnd, thumb.top, width - 2 * kThumbEnd, height,
             cellX + kThumbEnd, cellY, cw - 2 * kThumbEnd, ch);
        Copy(dc, thumb.right - kThumbEnd, thumb.top, kThumbEnd, height, cellX + cw - kThumbEnd,
             cellY, kThumbEnd, ch);
        if (width > cw)
            Copy(dc, thumb.left + (width - cw) / 2, thumb.top, cw, height, cellX,
                 SPRITE_HORZ_GRIPPER * (ch + gap), cw, ch);
        return;
    }
    const int cellY = SPRITE_VERT_THUMB * (ch + gap);
    Copy(dc, thumb.left, thumb.top, width, kThumbEnd, cellX, cellY, cw, kThumbEnd);
    Copy(dc, thumb.left, thumb.top + kThumbEnd, width, height - 2 * kThumbEnd, cellX,
         cellY + kThumbEnd, cw, ch - 2 * kThumbEnd);
    Copy(dc, thumb.left, thumb.bottom - kThumbEnd, width, kThumbEnd, cellX, cellY + ch - kThumbEnd,
         cw, kThumbEnd);
    if (height > ch)
        Copy(dc, thumb.left, thumb.top + (height - ch) / 2, width, ch, cellX,
             SPRITE_VERT_GRIPPER * (ch + gap), cw, ch);
}

} // namespace Velmora
