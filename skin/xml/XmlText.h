// Reading attribute values out of a tag's text, with character references decoded.
#pragma once

#include <string>
#include <string_view>

namespace Velmora {

// Finds attribute name (case-sensitive) among the attributes in tagText, the part of a start
// tag or processing instruction after its name. value is the raw text between the quotes.
bool FindAttributeValue(std::string_view tagText, std::string_view name, std::string_view& value);

// Replaces decimal, hexadecimal and named character references by their ANSI bytes; a
// reference that is malformed, unknown or not representable stays as written.
std::string DecodeReferences(std::string_view text);

} // namespace Velmora
