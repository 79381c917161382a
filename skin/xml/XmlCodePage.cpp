#include "XmlCodePage.h"

#include <windows.h>

namespace Velmora {
namespace {

// Code pages for which WideCharToMultiByte refuses the "used default character" query.
bool RejectsLossQuery(unsigned codePage) {
    switch (codePage) {
    case 65000:
    case 65001:
    case 50220:
    case 50221:
    case 50222:
    case 50225:
    case 50227:
    case 50229:
    case 52936:
    case 54936:
        return true;
    default:
        return codePage >= 57002 && codePage <= 57011;
    }
}

bool WideToCodePage(unsigned codePage, std::wstring_view text, std::string& out, bool& lossy) {
    lossy = false;
    out.clear();
    if (text.empty())
        return true;
    const bool askLoss = !RejectsLossQuery(codePage);
    const DWORD flags = askLoss ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL usedDefault = FALSE;
    const int wideLength = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(codePage, flags, text.data(), wideLength, nullptr, 0,
                                           nullptr, askLoss ? &usedDefault : nullptr);
    if (length <= 0)
        return false;
    out.resize(static_cast<size_t>(length));
    if (WideCharToMultiByte(codePage, flags, text.data(), wideLength, &out[0], length, nullptr,
                            askLoss ? &usedDefault : nullptr) != length) {
        out.clear();
        return false;
    }
    lossy = usedDefault != FALSE;
    return true;
}

} // namespace

unsigned AnsiCodePage() {
    return GetACP();
}

bool AppendCodePointAsAnsi(uint32_t codePoint, std::string& out) {
    if (codePoint == 0 || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return false;
    // Every ANSI code page keeps ASCII as it is; the common &lt; and &amp; need no system call.
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
        return true;
    }
    wchar_t units[2];
    size_t unitCount = 1;
    if (codePoint >= 0x10000) {
        const uint32_t offset = codePoint - 0x10000;
        units[0] = static_cast<wchar_t>(0xD800 + (offset >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + (offset & 0x3FF));
        unitCount = 2;
    } else {
        units[0] = static_cast<wchar_t>(codePoint);
    }
    const unsigned codePage = GetACP();
    const bool askLoss = !RejectsLossQuery(codePage);
    char bytes[5];
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(codePage, askLoss ? WC_NO_BEST_FIT_CHARS : 0, units,
                                           static_cast<int>(unitCount), bytes, sizeof bytes,
                                           nullptr, askLoss ? &usedDefault : nullptr);
    if (length <= 0 || usedDefault)
        return false;
    out.append(bytes, static_cast<size_t>(length));
    return true;
}

bool WideToAnsi(std::wstring_view text, std::string& out, bool& lossy) {
    return WideToCodePage(GetACP(), text, out, lossy);
}

bool CodePageToAnsi(unsigned codePage, std::string_view text, std::string& out, bool& lossy) {
    lossy = false;
    out.clear();
    if (text.empty())
        return true;
    const int byteLength = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(codePage, 0, text.data(), byteLength, nullptr, 0);
    if (wideLength <= 0)
        return false;
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    if (MultiByteToWideChar(codePage, 0, text.data(), byteLength, &wide[0], wideLength) !=
        wideLength)
        return false;
    return WideToAnsi(wide, out, lossy);
}

} // namespace Velmora
