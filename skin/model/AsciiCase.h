// Letter case of plain ASCII names (state names, class names, endings). Only
// single bytes A-Z fold, so a double-byte character is never mistaken for one.
#pragma once

#include <string_view>

namespace Velmora {

inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool EqualsIgnoringAsciiCase(std::string_view left, std::string_view right) {
    if (left.size() != right.size())
        return false;
    for (size_t i = 0; i < left.size(); ++i) {
        if (AsciiLower(left[i]) != AsciiLower(right[i]))
            return false;
    }
    return true;
}

} // namespace Velmora
