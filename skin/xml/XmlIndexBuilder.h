// The single scanning pass that builds a document's element index and its parse report.
#pragma once

#include "XmlElementIndex.h"

#include <string>
#include <string_view>

namespace Velmora {

// Fills the (reset) index from text: record 0 spans the text, every element gets a record
// in document order. Problems are appended to report; scanning never stops at them.
void BuildElementIndex(std::string_view text, CXmlElementIndex& index, std::string& report);

} // namespace Velmora
