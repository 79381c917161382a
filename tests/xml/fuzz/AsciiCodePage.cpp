// Test double of the system code-page conversions for the native fuzzing build: an ANSI code
// page that holds ASCII only, so every conversion path (and its loss reports) is exercised.
#include "XmlCodePage.h"

namespace Velmora {

unsigned AnsiCodePage() {
    return 20127;
}

bool AppendCodePointAsAnsi(uint32_t codePoint, std::string& out) {
    if (codePoint == 0 || codePoint >= 0x80)
        return false;
    out += static_cast<char>(codePoint);
    return true;
}

bool WideToAnsi(std::wstring_view text, std::string& out, bool& lossy) {
    out.clear();
    lossy = false;
    for (wchar_t unit : text) {
        const bool ascii = static_cast<unsigned>(unit) < 0x80;
        lossy = lossy || !ascii;
        out += ascii ? static_cast<char>(unit) : '?';
    }
    return true;
}

bool CodePageToAnsi(unsigned codePage, std::string_view text, std::string& out, bool& lossy) {
    // Pretend the system knows a few code pages only, so refusals are exercised too.
    if (codePage != 65001 && codePage != 28591 && codePage != 936)
        return false;
    out.clear();
    lossy = false;
    for (char c : text) {
        const bool ascii = static_cast<unsigned char>(c) < 0x80;
        lossy = lossy || !ascii;
        out += ascii ? c : '?';
    }
    return true;
}

} // namespace Velmora
