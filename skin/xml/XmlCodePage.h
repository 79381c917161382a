// Text conversions to the system ANSI code page, the only part of the XML reader that asks
// the system (MultiByteToWideChar / WideCharToMultiByte).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace Velmora {

unsigned AnsiCodePage();

// Appends the ANSI bytes of one Unicode code point; false (nothing appended) when the code
// page cannot represent it exactly.
bool AppendCodePointAsAnsi(uint32_t codePoint, std::string& out);

// Converts UTF-16 code units, or text in codePage, to the ANSI code page. lossy reports
// characters that became the default character. False when the system cannot convert.
bool WideToAnsi(std::wstring_view text, std::string& out, bool& lossy);
bool CodePageToAnsi(unsigned codePage, std::string_view text, std::string& out, bool& lossy);

} // namespace Velmora
