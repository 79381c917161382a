// Codes shared by skin descriptions, draw items and their painters: visual
// states, draw-item kinds, alignments, image modes and the "no colour" value.
#pragma once

#include <cstdint>

namespace Velmora {

// A COLORREF (red in the low byte); this value means that no colour is given.
constexpr uint32_t kNoColor = 0xFFFFFFFF;

enum StateCode : int32_t {
    STATE_NORMAL = 0,
    STATE_OVER = 1,
    STATE_DOWN = 2,
    STATE_DISABLE = 3,
    STATE_CHECKEDNORMAL = 4,
    STATE_CHECKEDOVER = 5,
    STATE_CHECKEDDOWN = 6,
    STATE_CHECKEDDISABLE = 7,
    STATE_ALL = 8,
};

enum DrawItemKind : int32_t {
    DRAWITEM_NONE = 0,
    DRAWITEM_LINE = 1,
    DRAWITEM_SURFACE = 2,
    DRAWITEM_TEXT = 3,
    DRAWITEM_IMAGE = 4,
};

// Horizontal: left, center, right; vertical: top, middle, bottom; 3 is "not set".
enum Alignment : int32_t {
    ALIGN_NEAR = 0,
    ALIGN_CENTER = 1,
    ALIGN_FAR = 2,
    ALIGN_NONE = 3,
};

enum RelativeAlign : int32_t {
    RELATIVE_LEFT = 0,
    RELATIVE_RIGHT = 1,
};

enum ImageMode : int32_t {
    IMAGEMODE_NORMAL = 0,
    IMAGEMODE_TILE = 1,
    IMAGEMODE_STRETCHVERT = 2,
    IMAGEMODE_STRETCHHORZ = 3,
    IMAGEMODE_STRETCHBOTH = 4,
};

enum EventCode : int32_t {
    EVENT_LBUTTONDOWN = 0,
    EVENT_RBUTTONDOWN = 1,
    EVENT_LBUTTONDBLDOWN = 2,
};

// Pen styles of lines and surface borders, as GDI numbers them.
enum LineStyle : int32_t {
    LINESTYLE_SOLID = 0,
    LINESTYLE_DASH = 1,
    LINESTYLE_DOT = 2,
    LINESTYLE_DASHDOT = 3,
};

enum SurfaceType : int32_t {
    SURFACE_RECT = 0,
    SURFACE_ROUND = 1,
};

} // namespace Velmora
