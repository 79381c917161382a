// Reading attribute values out of a tag's text, with character references decoded.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Velmora {

struct XmlAttribute {
    std::string_view name;
    std::string_view value; // raw text between the quotes
};

// Splits tagText, the part of a start tag or processing instruction after its name, into its
// attributes in document order (replacing the vector's content).
void ReadAttributes(std::string_view tagText, std::vector<XmlAttribute>& attributes);

// First attribute of that name (case-sensitive), nullptr when there is none.
const XmlAttribute* FindAttribute(const std::vector<XmlAttribute>& attributes,
                                  std::string_view name);

// Replaces decimal, hexadecimal and named character references by their ANSI bytes; a
// reference that is malformed, unknown or not representable stays as written.
std::string DecodeReferences(std::string_view text);

} // namespace Velmora
