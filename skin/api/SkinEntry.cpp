#include "SkinEntry.h"

#include "AsciiCase.h"

#include <string_view>

namespace Velmora {

EntryKind EntryKindOfName(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return ENTRY_UNKNOWN;
    const size_t endingLength = name.size() - dot;
    if (endingLength >= 32)
        return ENTRY_UNKNOWN;

    static const struct {
        const char* ending;
        EntryKind kind;
    } kKinds[] = {
        {".xml", ENTRY_XML}, {".bmp", ENTRY_BMP}, {".png", ENTRY_PNG}, {".ico", ENTRY_ICO},
        {".cur", ENTRY_CUR}, {".gif", ENTRY_GIF}, {".jpg", ENTRY_JPG},
    };
    const std::string_view ending(name.data() + dot, endingLength);
    for (const auto& known : kKinds) {
        if (EqualsIgnoringAsciiCase(ending, known.ending))
            return known.kind;
    }
    return ENTRY_UNKNOWN;
}

} // namespace Velmora
