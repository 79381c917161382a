// The value syntaxes of skin description attributes: numbers, flags, colours,
// references, state lists and the named codes of alignments, events and styles.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace Velmora {

// Optional leading blanks and sign, then decimal digits up to the first other
// character; empty or digit-less text gives 0. Values beyond 32 bits saturate.
int32_t ParseInteger(const std::string& text);

// True only for exactly "true" (a flag that defaults to false).
bool ParseFlagTrue(const std::string& text);
// False only for exactly "false" (a flag that defaults to true).
bool ParseFlagFalse(const std::string& text);

// "(r,g,b)" as a COLORREF, each component taken modulo 256; anything else,
// empty text included, is kNoColor.
uint32_t ParseColorValue(const std::string& text);

// Four comma-separated integers in order; missing ones are 0.
std::array<int32_t, 4> ParseQuadruple(const std::string& text);

// The id of another object; one leading "#" is not part of it.
std::string ParseReference(const std::string& text);

// The StateCodes of the "|"-separated names, each once, in the order first
// named; empty text gives no states at all.
std::vector<int32_t> ParseStateList(const std::string& text);
// A single state name (case ignored); unknown or empty names give STATE_ALL.
int32_t ParseStateName(const std::string& text);

// Case ignored: "left" "center" "right" / "top" "middle" "bottom", else ALIGN_NONE.
int32_t ParseHorzAlign(const std::string& text);
int32_t ParseVertAlign(const std::string& text);
// "right" (case ignored) is RELATIVE_RIGHT, anything else RELATIVE_LEFT.
int32_t ParseRelativeAlign(const std::string& text);
// "LButtonDown" "RButtonDown" "LButtonDblDown" (case ignored), else EVENT_LBUTTONDOWN.
int32_t ParseEventName(const std::string& text);
// "solid" "dash" "dot" "dashdot", matched exactly, else LINESTYLE_SOLID.
int32_t ParseLineStyle(const std::string& text);
// "tile" "stretchvert" "stretchhorz" "stretchboth" (case ignored), else IMAGEMODE_NORMAL.
int32_t ParseImageMode(const std::string& text);
// "rect" or "round", matched exactly, else SURFACE_RECT.
int32_t ParseSurfaceType(const std::string& text);

} // namespace Velmora
