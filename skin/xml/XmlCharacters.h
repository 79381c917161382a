// Character classes of the scanner and the attribute reader, kept inline for the hot loops.
#pragma once

#include <array>

namespace Velmora {

namespace XmlCharacterTable {
constexpr std::array<bool, 256> MakeNameEnd() {
    std::array<bool, 256> table{};
    for (const char* c = " \t\n\r<>=\\/?!\"';"; *c; ++c)
        table[static_cast<unsigned char>(*c)] = true;
    return table;
}
inline constexpr std::array<bool, 256> kNameEnd = MakeNameEnd();
} // namespace XmlCharacterTable

inline bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// A tag or attribute name ends at whitespace or any of <>=\/?!"';
inline bool IsXmlNameEnd(char c) {
    return XmlCharacterTable::kNameEnd[static_cast<unsigned char>(c)];
}

} // namespace Velmora
