// Tolerant XML reader for skin descriptions and the skin database index: keeps the document
// as one ANSI string, indexes its elements in one pass and walks them by a current position.
#pragma once

#include "XmlElementIndex.h"
#include "XmlText.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Velmora {

class CXmlDocument {
  public:
    CXmlDocument() = default;
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    // Copies and parses text (nullptr gives an empty document); true when well formed.
    bool SetDocument(const char* text);
    // Reads a file, converting its encoding to the ANSI code page, and parses it as
    // SetDocument does; false also when the file cannot be read.
    bool LoadFile(const char* path);

    // The next FindElement starts again at the parent's first child.
    void ResetMainPosition();
    // Moves to the next sibling element whose tag name matches name (any element for nullptr
    // or ""). A name may carry a suffix after one of " =/[]". Position unchanged on failure.
    bool FindElement(const char* name = nullptr);
    bool IntoElement();
    bool OutOfElement();

    std::string GetTagName() const;
    // Value of an attribute of the current element with character references decoded; empty
    // when absent.
    std::string GetAttribute(const char* name) const;
    bool IsWellFormed() const;

    // One empty element per problem or loading step, e.g. <lone_end_tag tagname="b" .../>.
    const std::string& GetResult() const { return m_result; }

  private:
    void Parse();
    std::string DecodeFileText(const std::string& bytes);

    std::string m_text;
    std::string m_result;
    CXmlElementIndex m_index;
    uint32_t m_parent = 0;
    uint32_t m_main = 0;
    uint32_t m_child = 0;
    // Attributes of the element GetAttribute read last (0: none), split once for the
    // several look-ups a loader makes on the same element.
    mutable uint32_t m_attributesOf = 0;
    mutable std::vector<XmlAttribute> m_attributes;
};

} // namespace Velmora
