// The sprite sheet that scroll bars are painted from: cells of one size, a row
// per part (arrows, thumb, gripper and track of each direction, the corner
// between two bars) and a column per state, copied or stretched into place.
#pragma once

#include "GdiObjects.h"

#include <windows.h>

#include <cstdint>

namespace Velmora {

class GDIImage;
struct ScrollBarInfo;

enum SpriteRow : int {
    SPRITE_LEFT_ARROW = 0,
    SPRITE_RIGHT_ARROW = 1,
    SPRITE_HORZ_THUMB = 2,
    SPRITE_HORZ_GRIPPER = 3,
    SPRITE_HORZ_TRACK = 4,
    SPRITE_UP_ARROW = 5,
    SPRITE_DOWN_ARROW = 6,
    SPRITE_VERT_THUMB = 7,
    SPRITE_VERT_GRIPPER = 8,
    SPRITE_VERT_TRACK = 9,
    SPRITE_CORNER = 10,
};

enum SpriteColumn : int {
    SPRITE_NORMAL = 0,
    SPRITE_OVER = 1,
    SPRITE_DOWN = 2,
    SPRITE_DISABLED = 3,
};

class CScrollBarSprite {
  public:
    // Cell sizes where the element gives none.
    static constexpr int kDefaultCellSize = 16;

    CScrollBarSprite() = default;
    CScrollBarSprite(const CScrollBarSprite&) = delete;
    CScrollBarSprite& operator=(const CScrollBarSprite&) = delete;

    // The element ("scrollbar" description) gives the cell size (its width
    // and height) and the spacing between cells (its interval); image is the
    // sheet. Either may be null: then nothing is painted.
    void Set(const ScrollBarInfo* element, GDIImage* image);
    bool HasImage() const { return m_element && m_image; }
    int CellWidth() const;
    int CellHeight() const;

    // The cell copied into dest, stretched when the sizes differ.
    void PaintCell(HDC dc, int row, int column, const RECT& dest);
    // A thumb from its cell in that column: two pixels at each end as they
    // are, the inner part stretched between them, and the gripper cell
    // centred on it when the thumb is longer than a cell.
    void PaintThumb(HDC dc, bool vertical, int column, const RECT& thumb);

  private:
    bool Prepare(HDC dc);
    void Copy(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY,
              int sourceWidth, int sourceHeight);

    const ScrollBarInfo* m_element = nullptr;
    GDIImage* m_image = nullptr;
    // A device copy of the sheet, made once and again after a re-colouring.
    CMemoryCanvas m_sheet;
    uint32_t m_sheetChanges = 0;
};

} // namespace Velmora
