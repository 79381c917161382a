// Helpers shared by the XML reader tests: whole-tree walks and fixture files.
#pragma once

#include "XmlDocument.h"

#include <cstddef>
#include <string>
#include <vector>

namespace XmlTest {

// Walks every element below the current parent in document order, the way the skin loaders
// do (FindElement, IntoElement, OutOfElement), and writes one line per element: indentation,
// tag name and the listed attributes that are present. Stops after maxElements elements.
std::string DumpTree(Velmora::CXmlDocument& doc, const std::vector<const char*>& attributes,
                     size_t maxElements = 1000000);

// Number of elements reached by the same walk, at most maxElements + 1.
size_t CountElements(Velmora::CXmlDocument& doc, size_t maxElements = 10000000);

// Writes bytes to a file below the test's build folder; returns its Windows path.
std::string WriteFixture(const std::string& name, const std::string& bytes);

} // namespace XmlTest
