// The attribute value syntaxes of skin descriptions, case by case.
#include "SkinValues.h"
#include "ValueSyntax.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace Velmora {
namespace {

using Ints = std::vector<int64_t>;

// One parser applied to a row of texts, so that a table line pairs texts with results.
template <class Parse> Ints ParseAll(Parse parse, const std::vector<std::string>& texts) {
    Ints values;
    for (const std::string& text : texts)
        values.push_back(static_cast<int64_t>(parse(text)));
    return values;
}

TEST(ValueSyntax, NumbersFlagsAndReferences) {
    // Sign and digits up to the first other character, clamped to 32 bits.
    EXPECT_EQ(
        ParseAll(ParseInteger, {"", "12", "-7", "+5", "12px", "abc", "  42", "-", "3.9", "1,2",
                                "2147483647", "99999999999", "-2147483648", "-99999999999"}),
        (Ints{0, 12, -7, 5, 12, 0, 42, 0, 3, 1, INT_MAX, INT_MAX, INT_MIN, INT_MIN}));
    // Flags compare their word exactly.
    EXPECT_EQ(ParseAll(ParseFlagTrue, {"true", "TRUE", "True", "1", ""}), (Ints{1, 0, 0, 0, 0}));
    EXPECT_EQ(ParseAll(ParseFlagFalse, {"false", "FALSE", "0", ""}), (Ints{0, 1, 1, 1}));

    using Quad = std::array<int32_t, 4>;
    EXPECT_EQ(ParseQuadruple("1,2,3,4"), (Quad{1, 2, 3, 4}));
    EXPECT_EQ(ParseQuadruple("5,-6"), (Quad{5, -6, 0, 0}));
    EXPECT_EQ(ParseQuadruple(""), (Quad{0, 0, 0, 0}));
    EXPECT_EQ(ParseQuadruple("1,2,3,4,5"), (Quad{1, 2, 3, 4}));
    EXPECT_EQ(ParseQuadruple(" 7, 8,x,9"), (Quad{7, 8, 0, 9}));

    std::vector<std::string> references;
    for (const char* text : {"#arrow", "arrow", "##arrow", "a#b", "#", ""})
        references.push_back(ParseReference(text));
    EXPECT_EQ(references, (std::vector<std::string>{"arrow", "arrow", "#arrow", "a#b", "", ""}));
}

TEST(ValueSyntax, ColoursTakeEachComponentModulo256) {
    EXPECT_EQ(
        ParseAll(ParseColorValue, {"(1,2,3)", "(255,255,255)", "(0,0,300)", "(256,512,255)",
                                   "(-1,0,0)", "(12345678901234567890,0,0)", " ( 10 , 20 , 30 ) "}),
        (Ints{0x030201, 0xFFFFFF, 44 << 16, 0xFF0000, 0x0000FF, 12345678901234567890ull % 256,
              0x1E140A}));
    for (const char* absent :
         {"", "(1,2)", "1,2,3", "(1,2,3", "(1,,3)", "(a,b,c)", "(1,2,3)x", "(1,2,3,4)"})
        EXPECT_EQ(ParseColorValue(absent), kNoColor) << absent;
}

TEST(ValueSyntax, StateListsGiveOneCodePerState) {
    using States = std::vector<int32_t>;
    EXPECT_EQ(ParseStateList(""), States{});
    EXPECT_EQ(ParseStateList("normal|over"), (States{STATE_NORMAL, STATE_OVER}));
    EXPECT_EQ(ParseStateList("DOWN|Disable|checkedNormal"),
              (States{STATE_DOWN, STATE_DISABLE, STATE_CHECKEDNORMAL}));
    EXPECT_EQ(ParseStateList("checkedover|checkeddown|checkeddisable|all"),
              (States{STATE_CHECKEDOVER, STATE_CHECKEDDOWN, STATE_CHECKEDDISABLE, STATE_ALL}));
    EXPECT_EQ(ParseStateList("pressed"), States{STATE_ALL});
    EXPECT_EQ(ParseStateList("normal||over"), (States{STATE_NORMAL, STATE_ALL, STATE_OVER}));
    EXPECT_EQ(ParseStateList("normal |over"), (States{STATE_ALL, STATE_OVER}));
    EXPECT_EQ(ParseStateList(std::string(64, 'x') + "|normal"), (States{STATE_ALL, STATE_NORMAL}));
    // However often a state is named, it is listed once, where it first came.
    std::string repeated = "over";
    for (int i = 0; i < 20000; ++i)
        repeated += i % 2 ? "|a" : "|OVER|normal";
    EXPECT_EQ(ParseStateList(repeated), (States{STATE_OVER, STATE_NORMAL, STATE_ALL}));
    EXPECT_EQ(ParseAll(ParseStateName, {"normal|over", ""}), (Ints{STATE_ALL, STATE_ALL}));
}

TEST(ValueSyntax, NamedCodes) {
    EXPECT_EQ(ParseAll(ParseHorzAlign, {"left", "CENTER", "Right", "middle", ""}),
              (Ints{ALIGN_NEAR, ALIGN_CENTER, ALIGN_FAR, ALIGN_NONE, ALIGN_NONE}));
    EXPECT_EQ(ParseAll(ParseVertAlign, {"top", "Middle", "BOTTOM", "center"}),
              (Ints{ALIGN_NEAR, ALIGN_CENTER, ALIGN_FAR, ALIGN_NONE}));
    EXPECT_EQ(ParseAll(ParseRelativeAlign, {"right", "RIGHT", "left", ""}),
              (Ints{RELATIVE_RIGHT, RELATIVE_RIGHT, RELATIVE_LEFT, RELATIVE_LEFT}));
    EXPECT_EQ(
        ParseAll(ParseEventName, {"LButtonDown", "rbuttondown", "LBUTTONDBLDOWN", "MButtonDown"}),
        (Ints{EVENT_LBUTTONDOWN, EVENT_RBUTTONDOWN, EVENT_LBUTTONDBLDOWN, EVENT_LBUTTONDOWN}));
    EXPECT_EQ(ParseAll(ParseLineStyle, {"solid", "dash", "dot", "dashdot", "Dash", ""}),
              (Ints{LINESTYLE_SOLID, LINESTYLE_DASH, LINESTYLE_DOT, LINESTYLE_DASHDOT,
                    LINESTYLE_SOLID, LINESTYLE_SOLID}));
    EXPECT_EQ(ParseAll(ParseImageMode,
                       {"tile", "StretchVert", "stretchhorz", "STRETCHBOTH", "stretch", ""}),
              (Ints{IMAGEMODE_TILE, IMAGEMODE_STRETCHVERT, IMAGEMODE_STRETCHHORZ,
                    IMAGEMODE_STRETCHBOTH, IMAGEMODE_NORMAL, IMAGEMODE_NORMAL}));
    EXPECT_EQ(ParseAll(ParseSurfaceType, {"rect", "round", "Round", ""}),
              (Ints{SURFACE_RECT, SURFACE_ROUND, SURFACE_RECT, SURFACE_RECT}));
}

} // namespace
} // namespace Velmora
