// The attribute value syntaxes of skin descriptions, case by case.
#include "SkinValues.h"
#include "ValueSyntax.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace Velmora {
namespace {

TEST(ValueSyntax, IntegersReadSignAndDigitsUpToTheFirstOtherCharacter) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {{"", 0},
                 {"12", 12},
                 {"-7", -7},
                 {"+5", 5},
                 {"12px", 12},
                 {"abc", 0},
                 {"  42", 42},
                 {"-", 0},
                 {"3.9", 3},
                 {"1,2", 1},
                 {"2147483647", INT_MAX},
                 {"99999999999", INT_MAX},
                 {"-2147483648", INT_MIN},
                 {"-99999999999", INT_MIN}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseInteger(c.text), c.value) << '"' << c.text << '"';
}

TEST(ValueSyntax, FlagsCompareTheirWordExactly) {
    EXPECT_TRUE(ParseFlagTrue("true"));
    EXPECT_FALSE(ParseFlagTrue("TRUE"));
    EXPECT_FALSE(ParseFlagTrue("True"));
    EXPECT_FALSE(ParseFlagTrue("1"));
    EXPECT_FALSE(ParseFlagTrue(""));

    EXPECT_FALSE(ParseFlagFalse("false"));
    EXPECT_TRUE(ParseFlagFalse("FALSE"));
    EXPECT_TRUE(ParseFlagFalse("0"));
    EXPECT_TRUE(ParseFlagFalse(""));
}

TEST(ValueSyntax, ColoursTakeEachComponentModulo256) {
    const struct {
        const char* text;
        uint32_t color;
    } cases[] = {{"(1,2,3)", 0x030201},
                 {"(255,255,255)", 0xFFFFFF},
                 {"(0,0,300)", 44u << 16},
                 {"(256,512,255)", 0xFF0000},
                 {"(-1,0,0)", 0x0000FF},
                 {"(12345678901234567890,0,0)", 12345678901234567890ull % 256},
                 {" ( 10 , 20 , 30 ) ", 0x1E140A},
                 {"", kNoColor},
                 {"(1,2)", kNoColor},
                 {"1,2,3", kNoColor},
                 {"(1,2,3", kNoColor},
                 {"(1,,3)", kNoColor},
                 {"(a,b,c)", kNoColor},
                 {"(1,2,3)x", kNoColor},
                 {"(1,2,3,4)", kNoColor}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseColorValue(c.text), c.color) << '"' << c.text << '"';
}

TEST(ValueSyntax, QuadruplesKeepTheirOrderAndFillMissingNumbersWithZero) {
    using Quad = std::array<int32_t, 4>;
    EXPECT_EQ(ParseQuadruple("1,2,3,4"), (Quad{1, 2, 3, 4}));
    EXPECT_EQ(ParseQuadruple("5,-6"), (Quad{5, -6, 0, 0}));
    EXPECT_EQ(ParseQuadruple(""), (Quad{0, 0, 0, 0}));
    EXPECT_EQ(ParseQuadruple("1,2,3,4,5"), (Quad{1, 2, 3, 4}));
    EXPECT_EQ(ParseQuadruple(" 7, 8,x,9"), (Quad{7, 8, 0, 9}));
}

TEST(ValueSyntax, ReferencesDropOneLeadingHash) {
    EXPECT_EQ(ParseReference("#arrow"), "arrow");
    EXPECT_EQ(ParseReference("arrow"), "arrow");
    EXPECT_EQ(ParseReference("##arrow"), "#arrow");
    EXPECT_EQ(ParseReference("a#b"), "a#b");
    EXPECT_EQ(ParseReference("#"), "");
    EXPECT_EQ(ParseReference(""), "");
}

TEST(ValueSyntax, StateListsGiveOneCodePerName) {
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
    EXPECT_EQ(ParseStateName("normal|over"), STATE_ALL);
    EXPECT_EQ(ParseStateName(""), STATE_ALL);
}

TEST(ValueSyntax, NamedCodes) {
    const struct {
        int32_t (*parse)(const std::string&);
        const char* text;
        int32_t code;
    } cases[] = {{ParseHorzAlign, "left", ALIGN_NEAR},
                 {ParseHorzAlign, "CENTER", ALIGN_CENTER},
                 {ParseHorzAlign, "Right", ALIGN_FAR},
                 {ParseHorzAlign, "middle", ALIGN_NONE},
                 {ParseHorzAlign, "", ALIGN_NONE},
                 {ParseVertAlign, "top", ALIGN_NEAR},
                 {ParseVertAlign, "Middle", ALIGN_CENTER},
                 {ParseVertAlign, "BOTTOM", ALIGN_FAR},
                 {ParseVertAlign, "center", ALIGN_NONE},
                 {ParseRelativeAlign, "right", RELATIVE_RIGHT},
                 {ParseRelativeAlign, "RIGHT", RELATIVE_RIGHT},
                 {ParseRelativeAlign, "left", RELATIVE_LEFT},
                 {ParseRelativeAlign, "", RELATIVE_LEFT},
                 {ParseEventName, "LButtonDown", EVENT_LBUTTONDOWN},
                 {ParseEventName, "rbuttondown", EVENT_RBUTTONDOWN},
                 {ParseEventName, "LBUTTONDBLDOWN", EVENT_LBUTTONDBLDOWN},
                 {ParseEventName, "MButtonDown", EVENT_LBUTTONDOWN},
                 {ParseLineStyle, "solid", LINESTYLE_SOLID},
                 {ParseLineStyle, "dash", LINESTYLE_DASH},
                 {ParseLineStyle, "dot", LINESTYLE_DOT},
                 {ParseLineStyle, "dashdot", LINESTYLE_DASHDOT},
                 {ParseLineStyle, "Dash", LINESTYLE_SOLID},
                 {ParseLineStyle, "", LINESTYLE_SOLID},
                 {ParseImageMode, "tile", IMAGEMODE_TILE},
                 {ParseImageMode, "StretchVert", IMAGEMODE_STRETCHVERT},
                 {ParseImageMode, "stretchhorz", IMAGEMODE_STRETCHHORZ},
                 {ParseImageMode, "STRETCHBOTH", IMAGEMODE_STRETCHBOTH},
                 {ParseImageMode, "stretch", IMAGEMODE_NORMAL},
                 {ParseImageMode, "", IMAGEMODE_NORMAL},
                 {ParseSurfaceType, "rect", SURFACE_RECT},
                 {ParseSurfaceType, "round", SURFACE_ROUND},
                 {ParseSurfaceType, "Round", SURFACE_RECT},
                 {ParseSurfaceType, "", SURFACE_RECT}};
    for (const auto& c : cases)
        EXPECT_EQ(c.parse(c.text), c.code) << '"' << c.text << '"';
}

} // namespace
} // namespace Velmora
