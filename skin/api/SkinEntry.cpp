#include "SkinEntry.h"

#include <cstring>

namespace Velmora {

namespace {

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

EntryKind EntryKindOfName(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return ENTRY_UNKNOWN;
    const size_t endingLength = name.size() - dot;
    if (endingLength >= 32)
        return ENTRY_UNKNOWN;

    // Endings are plain ASCII, so folding single bytes cannot touch a
    // multibyte character that happens to match.
    std::string ending(endingLength, '\0');
    for (size_t i = 0; i < endingLength; ++i)
        ending[i] = AsciiLower(name[dot + i]);

    static const struct {
        const char* ending;
        EntryKind kind;
    } kKinds[] = {
        {".xml", ENTRY_XML}, {".bmp", ENTRY_BMP}, {".png", ENTRY_PNG}, {".ico", ENTRY_ICO},
        {".cur", ENTRY_CUR}, {".gif", ENTRY_GIF}, {".jpg", ENTRY_JPG},
    };
    for (const auto& known : kKinds) {
        if (ending == known.ending)
            return known.kind;
    }
    return ENTRY_UNKNOWN;
}

} // namespace Velmora
