#include "DrawHelpers.h"

#include "GDIImage.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace Velmora {

namespace {

// One rectangle of the image copied, scaled when the sizes differ, to one
// rectangle of the destination.
struct Piece {
    int sourceX, sourceY, sourceWidth, sourceHeight;
    int x, y, width, height;
};

// Pieces that are empty, mirrored (margins wider than the image or the box)
// or that reach outside the image are left out.
bool IsPaintable(const Piece& piece, int imageWidth, int imageHeight) {
    return piece.sourceWidth > 0 && piece.sourceHeight > 0 && piece.width > 0 && piece.height > 0 &&
           piece.sourceX >= 0 && piece.sourceY >= 0 &&
           int64_t{piece.sourceX} + piece.sourceWidth <= imageWidth &&
           int64_t{piece.sourceY} + piece.sourceHeight <= imageHeight;
}

class CStretchMode {
  public:
    CStretchMode(HDC dc, int mode) : m_dc(dc), m_previous(SetStretchBltMode(dc, mode)) {}
    CStretchMode(const CStretchMode&) = delete;
    CStretchMode& operator=(const CStretchMode&) = delete;
    ~CStretchMode() {
        if (m_previous)
            SetStretchBltMode(m_dc, m_previous);
    }

  private:
    HDC m_dc;
    int m_previous;
};

bool CopyArea(HDC to, int x, int y, int width, int height, HDC from, int fromX, int fromY,
              int fromWidth, int fromHeight) {
    if (width == fromWidth && height == fromHeight)
        return BitBlt(to, x, y, width, height, from, fromX, fromY, SRCCOPY) != FALSE;
    return StretchBlt(to, x, y, width, height, from, fromX, fromY, fromWidth, fromHeight,
                      SRCCOPY) != FALSE;
}

// The image's pixels of colour key are left out, from its device bitmap.
bool PaintKeyed(HDC dc, const GDIImage& image, uint32_t key, const std::vector<Piece>& pieces) {
    CMemoryDC memory(dc);
    CGdiHandle<HBITMAP> bitmap(image.ToDeviceBitmap(dc));
    if (!memory.Get() || !bitmap.Get())
        return false;
    CSelectObject selected(memory.Get(), bitmap.Get());
    CStretchMode mode(dc, COLORONCOLOR);
    bool painted = true;
    for (const Piece& piece : pieces) {
        if (!IsPaintable(piece, image.GetWidth(), image.GetHeight()))
            continue;
        painted = TransparentBlt(dc, piece.x, piece.y, piece.width, piece.height, memory.Get(),
                                 piece.sourceX, piece.sourceY, piece.sourceWidth,
                                 piece.sourceHeight, key) != FALSE &&
                  painted;
    }
    return painted;
}

// The image is blended (alpha respected) onto the destination's background,
// gathered piece by piece into an image-sized canvas, and the pieces are
// copied back from there.
bool PaintOverBackground(HDC dc, const GDIImage& image, const std::vector<Piece>& pieces) {
    const int imageWidth = image.GetWidth();
    const int imageHeight = image.GetHeight();
    std::vector<const Piece*> paintable;
    for (const Piece& piece : pieces) {
        if (IsPaintable(piece, imageWidth, imageHeight))
            paintable.push_back(&piece);
    }
    if (paintable.empty())
        return true;
    CMemoryDC memory(dc);
    CGdiHandle<HBITMAP> canvas(CreateCompatibleBitmap(dc, imageWidth, imageHeight));
    if (!memory.Get() || !canvas.Get())
        return false;
    CSelectObject selected(memory.Get(), canvas.Get());
    CStretchMode canvasMode(memory.Get(), COLORONCOLOR);
    CStretchMode mode(dc, COLORONCOLOR);
    for (const Piece* piece : paintable) {
        CopyArea(memory.Get(), piece->sourceX, piece->sourceY, piece->sourceWidth,
                 piece->sourceHeight, dc, piece->x, piece->y, piece->width, piece->height);
    }
    if (!image.PaintBlended(memory.Get(), 0, 0, imageWidth, imageHeight))
        return false;
    bool painted = true;
    for (const Piece* piece : paintable) {
        painted =
            CopyArea(dc, piece->x, piece->y, piece->width, piece->height, memory.Get(),
                     piece->sourceX, piece->sourceY, piece->sourceWidth, piece->sourceHeight) &&
            painted;
    }
    return painted;
}

bool PaintPieces(HDC dc, const GDIImage& image, const std::vector<Piece>& pieces) {
    const uint32_t key = image.GetTransparentColor();
    if (key != kNoColor)
        return PaintKeyed(dc, image, key, pieces);
    return PaintOverBackground(dc, image, pieces);
}

// The whole image at x, y scaled to width x height.
bool PaintWhole(HDC dc, const GDIImage& image, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0)
        return true;
    const uint32_t key = image.GetTransparentColor();
    if (key != kNoColor) {
        return PaintKeyed(dc, image, key,
                          {{0, 0, image.GetWidth(), image.GetHeight(), x, y, width, height}});
    }
    return image.PaintBlended(dc, x, y, width, height);
}

struct Frame {
    RECT rect;
    int width;
    int height;
    explicit Frame(const RECT& target)
        : rect(target), width(target.right - target.left), height(target.bottom - target.top) {}
    int Left(int value) const { return ResolveNearEdge(value, rect.left, width); }
    int Top(int value) const { return ResolveNearEdge(value, rect.top, height); }
};

bool PaintNormal(ISkinView& skin, HWND window, int windowKind, HDC dc, const DrawItemList* list,
                 const ImageItem& item, const Frame& frame, const SubItem& subItem,
                 const GDIImage& image) {
    int x = frame.Left(item.left);
    int y = frame.Top(item.top);
    const ImageRegion& region = item.region;
    if (region.width != 0 && region.height != 0) {
        // A sheet of cells: the cell at region x, y is shown at its own size.
        return PaintPieces(
            dc, image,
            {{region.x, region.y, region.width, region.height, x, y, region.width, region.height}});
    }
    const int width = item.width == 0  ? image.GetWidth()
                      : item.width < 0 ? frame.width + item.width
                                       : item.width;
    const int height = item.height == 0  ? image.GetHeight()
                       : item.height < 0 ? frame.height + item.height
                                         : item.height;
    if (item.relativeId.empty()) {
        if (item.horzAlign == ALIGN_CENTER)
            x = frame.rect.left + (frame.width - width) / 2;
        if (item.vertAlign == ALIGN_CENTER)
            y = frame.rect.top + (frame.height - height) / 2;
        return PaintWhole(dc, image, x, y, width, height);
    }
    RECT related;
    if (!list ||
        !FindRelatedRect(skin, subItem, window, windowKind, dc, *list, item, frame.rect, related))
        return false;
    const int offsetY = ResolveNearEdge(item.top, 0, frame.height);
    // Aligned right, the image ends `left` pixels before the related item, as text does.
    if (item.relativeAlign == RELATIVE_RIGHT)
        return PaintWhole(dc, image, related.left - item.left - width, related.top + offsetY, width,
                          height);
    return PaintWhole(dc, image, related.right + ResolveNearEdge(item.left, 0, frame.width),
                      related.top + offsetY, width, height);
}

// Whole copies only: a strip narrower or lower than the image at the box's
// right or bottom edge stays unpainted. However many copies fit, they are
// made as one picture of the visible part, so a 1 x 1 image costs no more
// than a large one.
bool PaintTiled(HDC dc, const ImageItem& item, const Frame& frame, const GDIImage& image) {
    const int imageWidth = image.GetWidth();
    const int imageHeight = image.GetHeight();
    if (imageWidth <= 0 || imageHeight <= 0)
        return false;
    const RECT box = {frame.Left(item.left), frame.Top(item.top),
                      ResolveFarEdge(item.right, frame.rect.left, frame.width),
                      ResolveFarEdge(item.bottom, frame.rect.top, frame.height)};
    const int64_t columns = (int64_t{box.right} - box.left) / imageWidth;
    const int64_t rows = (int64_t{box.bottom} - box.top) / imageHeight;
    if (columns <= 0 || rows <= 0)
        return true;
    const RECT copies = {box.left, box.top, static_cast<LONG>(box.left + columns * imageWidth),
                         static_cast<LONG>(box.top + rows * imageHeight)};
    const uint32_t key = image.GetTransparentColor();
    if (key == kNoColor)
        return image.PaintRepeated(dc, box.left, box.top, copies);

    RECT visible;
    RECT clip;
    const int clipKind = GetClipBox(dc, &clip);
    if (clipKind == ERROR)
        visible = copies;
    else if (clipKind == NULLREGION || !IntersectRect(&visible, &copies, &clip))
        return true;
    const int width = visible.right - visible.left;
    const int height = visible.bottom - visible.top;
    CPixImage area;
    if (!image.MakeRepeated(area,
                            static_cast<int32_t>((int64_t{visible.left} - box.left) % imageWidth),
                            static_cast<int32_t>((int64_t{visible.top} - box.top) % imageHeight),
                            width, height, false))
        return false;
    CMemoryDC memory(dc);
    CGdiHandle<HBITMAP> bitmap(area.ToDeviceBitmap(dc));
    if (!memory.Get() || !bitmap.Get())
        return false;
    CSelectObject selected(memory.Get(), bitmap.Get());
    return TransparentBlt(dc, visible.left, visible.top, width, height, memory.Get(), 0, 0, width,
                          height, key) != FALSE;
}

int StretchedWidth(const ImageItem& item, const Frame& frame) {
    return item.width > 0 ? item.width : frame.width + item.width;
}

int StretchedHeight(const ImageItem& item, const Frame& frame) {
    return item.height > 0 ? item.height : frame.height + item.height;
}

bool PaintStretchVert(HDC dc, const ImageItem& item, const Frame& frame, const GDIImage& image) {
    const int x = frame.Left(item.left);
    const int y = frame.Top(item.top);
    const int height = StretchedHeight(item, frame);
    const int width = item.region.width != 0 ? item.region.width : image.GetWidth();
    const int sourceHeight = item.region.height != 0 ? item.region.height : image.GetHeight();
    const int top = item.stretchTop;
    const int bottom = item.stretchBottom;
    return PaintPieces(
        dc, image,
        {{0, 0, width, top, x, y, width, top},
         {0, sourceHeight - bottom, width, bottom, x, y + height - bottom, width, bottom},
         {0, top, width, sourceHeight - top - bottom, x, y + top, width, height - top - bottom}});
}

bool PaintStretchHorz(HDC dc, const ImageItem& item, const Frame& frame, const GDIImage& image) {
    const int x = frame.Left(item.left);
    const int y = frame.Top(item.top);
    const int width = StretchedWidth(item, frame);
    const int height = item.height != 0 ? item.height : image.GetHeight();
    const int sourceWidth = item.region.width != 0 ? item.region.width : image.GetWidth();
    const int sourceHeight = item.region.height != 0 ? item.region.height : image.GetHeight();
    const int sourceX = item.region.x;
    const int left = item.stretchLeft;
    const int right = item.stretchRight;
    return PaintPieces(dc, image,
                       {{sourceX, 0, left, sourceHeight, x, y, left, height},
                        {sourceX + sourceWidth - right, 0, right, sourceHeight, x + width - right,
                         y, right, height},
                        {sourceX + left, 0, sourceWidth - left - right, sourceHeight, x + left, y,
                         width - left - right, height}});
}

bool PaintStretchBoth(HDC dc, const ImageItem& item, const Frame& frame, const GDIImage& image) {
    const int x = frame.Left(item.left);
    const int y = frame.Top(item.top);
    const int width = StretchedWidth(item, frame);
    const int height = StretchedHeight(item, frame);
    const int imageWidth = image.GetWidth();
    const int imageHeight = image.GetHeight();
    const int left = item.stretchLeft;
    const int top = item.stretchTop;
    const int right = item.stretchRight;
    const int bottom = item.stretchBottom;
    const int middleWidth = imageWidth - left - right;
    const int middleHeight = imageHeight - top - bottom;
    const int boxMiddleWidth = width - left - right;
    const int boxMiddleHeight = height - top - bottom;
    const int farX = x + width - right;
    const int farY = y + height - bottom;
    return PaintPieces(
        dc, image,
        {// Corners at their own size.
         {0, 0, left, top, x, y, left, top},
         {0, imageHeight - bottom, left, bottom, x, farY, left, bottom},
         {imageWidth - right, 0, right, top, farX, y, right, top},
         {imageWidth - right, imageHeight - bottom, right, bottom, farX, farY, right, bottom},
         // Edges stretched along their length.
         {left, 0, middleWidth, top, x + left, y, boxMiddleWidth, top},
         {left, imageHeight - bottom, middleWidth, bottom, x + left, farY, boxMiddleWidth, bottom},
         {0, top, left, middleHeight, x, y + top, left, boxMiddleHeight},
         {imageWidth - right, top, right, middleHeight, farX, y + top, right, boxMiddleHeight},
         {left, top, middleWidth, middleHeight, x + left, y + top, boxMiddleWidth,
          boxMiddleHeight}});
}

} // namespace

void CDrawImageHelper::Paint(ISkinView& skin, HWND window, int windowKind, HDC dc,
                             const DrawItemList& list, DrawItemHeader* header, const RECT& target,
                             const SubItem& subItem, void* /*extra*/, int /*index*/) const {
    if (!window || !dc || !header || !IsItemVisible(skin, subItem, window, windowKind, *header))
        return;
    PaintImage(skin, window, windowKind, dc, &list, static_cast<const ImageItem&>(*header), target,
               subItem, false);
}

bool CDrawImageHelper::PaintImage(ISkinView& skin, HWND window, int windowKind, HDC dc,
                                  const DrawItemList* list, const ImageItem& item,
                                  const RECT& target, const SubItem& subItem, bool reload) {
    if (!dc)
        return false;
    const GDIImage* image = FindItemImage(
        skin, GetItemValue(skin, subItem, window, windowKind, item, DRAWITEM_IMAGE), reload);
    if (!image)
        return false;
    const Frame frame(target);
    switch (item.mode) {
    case IMAGEMODE_NORMAL:
        return PaintNormal(skin, window, windowKind, dc, list, item, frame, subItem, *image);
    case IMAGEMODE_TILE:
        return PaintTiled(dc, item, frame, *image);
    case IMAGEMODE_STRETCHVERT:
        return PaintStretchVert(dc, item, frame, *image);
    case IMAGEMODE_STRETCHHORZ:
        return PaintStretchHorz(dc, item, frame, *image);
    case IMAGEMODE_STRETCHBOTH:
        return PaintStretchBoth(dc, item, frame, *image);
    default:
        return false;
    }
}

} // namespace Velmora
