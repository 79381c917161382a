// Mapping of text encoding names to Windows code pages for CXmlDocument::LoadFile.
#pragma once

namespace Velmora {

constexpr int kUnknownEncoding = -1;

// Code page of an encoding name: 0 (the system ANSI code page) for an empty name, 65005 for
// any name starting with "UTF-32", kUnknownEncoding when the name is not in the table.
int LookupEncoding(const char* name);

} // namespace Velmora
