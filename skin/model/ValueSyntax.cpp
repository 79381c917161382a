#include "ValueSyntax.h"

#include "AsciiCase.h"
#include "SkinValues.h"

#include <cstddef>

namespace Velmora {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int32_t CodeOfName(const std::string& text, const char* const* names, size_t count,
                   int32_t otherwise) {
    for (size_t code = 0; code < count; ++code) {
        if (EqualsIgnoringAsciiCase(text, names[code]))
            return static_cast<int32_t>(code);
    }
    return otherwise;
}

// A signed decimal number starting at pos (after optional blanks): its value
// modulo 256, whatever its length. False when no digit follows.
bool ReadColorComponent(const std::string& text, size_t& pos, uint32_t& component) {
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos >= text.size() || !IsDigit(text[pos]))
        return false;
    uint32_t value = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
        value = (value * 10 + static_cast<uint32_t>(text[pos] - '0')) % 256;
        ++pos;
    }
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    component = negative ? (256 - value) % 256 : value;
    return true;
}

bool Expect(const std::string& text, size_t& pos, char wanted) {
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    if (pos >= text.size() || text[pos] != wanted)
        return false;
    ++pos;
    return true;
}

} // namespace

int32_t ParseInteger(const std::string& text) {
    size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // The magnitude stops growing at 2^31, enough to saturate either way.
    constexpr int64_t kLimit = int64_t{1} << 31;
    int64_t magnitude = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        magnitude = magnitude * 10 + (text[pos] - '0');
        if (magnitude > kLimit)
            magnitude = kLimit;
    }
    if (negative)
        return static_cast<int32_t>(-magnitude);
    return static_cast<int32_t>(magnitude == kLimit ? kLimit - 1 : magnitude);
}

bool ParseFlagTrue(const std::string& text) {
    return text == "true";
}

bool ParseFlagFalse(const std::string& text) {
    return text != "false";
}

uint32_t ParseColorValue(const std::string& text) {
    size_t pos = 0;
    uint32_t red = 0, green = 0, blue = 0;
    if (!Expect(text, pos, '(') || !ReadColorComponent(text, pos, red) || !Expect(text, pos, ',') ||
        !ReadColorComponent(text, pos, green) || !Expect(text, pos, ',') ||
        !ReadColorComponent(text, pos, blue) || !Expect(text, pos, ')'))
        return kNoColor;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    if (pos != text.size())
        return kNoColor;
    return red | (green << 8) | (blue << 16);
}

std::array<int32_t, 4> ParseQuadruple(const std::string& text) {
    std::array<int32_t, 4> values{};
    size_t start = 0;
    for (int32_t& value : values) {
        if (start > text.size())
            break;
        size_t comma = text.find(',', start);
        if (comma == std::string::npos)
            comma = text.size();
        value = ParseInteger(text.substr(start, comma - start));
        start = comma + 1;
    }
    return values;
}

std::string ParseReference(const std::string& text) {
    if (!text.empty() && text[0] == '#')
        return text.substr(1);
    return text;
}

std::vector<int32_t> ParseStateList(const std::string& text) {
    std::vector<int32_t> states;
    if (text.empty())
        return states;
    // Each state is kept once, where it is first named: however long the list,
    // an item is copied at most once per state.
    bool named[STATE_ALL + 1] = {};
    size_t start = 0;
    for (;;) {
        size_t bar = text.find('|', start);
        if (bar == std::string::npos)
            bar = text.size();
        const int32_t state = ParseStateName(text.substr(start, bar - start));
        if (!named[state]) {
            named[state] = true;
            states.push_back(state);
        }
        if (bar == text.size())
            break;
        start = bar + 1;
    }
    return states;
}

int32_t ParseStateName(const std::string& text) {
    // A state name holds at most 63 characters; a longer one names no state,
    // which no comparison below can mistake since every known name is shorter.
    static const char* const kNames[] = {
        "normal",      "over",        "down",           "disable", "checkednormal",
        "checkedover", "checkeddown", "checkeddisable", "all",
    };
    return CodeOfName(text, kNames, sizeof kNames / sizeof kNames[0], STATE_ALL);
}

int32_t ParseHorzAlign(const std::string& text) {
    static const char* const kNames[] = {"left", "center", "right"};
    return CodeOfName(text, kNames, 3, ALIGN_NONE);
}

int32_t ParseVertAlign(const std::string& text) {
    static const char* const kNames[] = {"top", "middle", "bottom"};
    return CodeOfName(text, kNames, 3, ALIGN_NONE);
}

int32_t ParseRelativeAlign(const std::string& text) {
    return EqualsIgnoringAsciiCase(text, "right") ? RELATIVE_RIGHT : RELATIVE_LEFT;
}

int32_t ParseEventName(const std::string& text) {
    static const char* const kNames[] = {"LButtonDown", "RButtonDown", "LButtonDblDown"};
    return CodeOfName(text, kNames, 3, EVENT_LBUTTONDOWN);
}

int32_t ParseLineStyle(const std::string& text) {
    static const char* const kNames[] = {"solid", "dash", "dot", "dashdot"};
    for (int32_t style = 0; style < 4; ++style) {
        if (text == kNames[style])
            return style;
    }
    return LINESTYLE_SOLID;
}

int32_t ParseImageMode(const std::string& text) {
    static const struct {
        const char* name;
        int32_t mode;
    } kModes[] = {
        {"stretchboth", IMAGEMODE_STRETCHBOTH},
        {"stretchvert", IMAGEMODE_STRETCHVERT},
        {"stretchhorz", IMAGEMODE_STRETCHHORZ},
        {"tile", IMAGEMODE_TILE},
    };
    for (const auto& known : kModes) {
        if (EqualsIgnoringAsciiCase(text, known.name))
            return known.mode;
    }
    return IMAGEMODE_NORMAL;
}

int32_t ParseSurfaceType(const std::string& text) {
    if (text == "round")
        return SURFACE_ROUND;
    return SURFACE_RECT;
}

} // namespace Velmora
