#include "XmlDocument.h"

#include "XmlIndexBuilder.h"

#include <cstring>

namespace Velmora {

bool CXmlDocument::SetDocument(const char* text) {
    m_text.assign(text ? text : "");
    m_result.clear();
    Parse();
    return IsWellFormed();
}

void CXmlDocument::Parse() {
    m_parent = m_main = m_child = 0;
    m_attributesOf = 0;
    m_index.Reset(m_text.size() / 64 + 8);
    BuildElementIndex(m_text, m_index, m_result);
}

void CXmlDocument::ResetMainPosition() {
    m_main = 0;
    m_child = 0;
}

bool CXmlDocument::FindElement(const char* name) {
    if (m_index.IsEmpty())
        return false;
    const size_t nameLength = name ? std::strlen(name) : 0;
    uint32_t element = m_main ? m_index[m_main].nextSibling : m_index[m_parent].firstChild;
    for (; element != 0; element = m_index[element].nextSibling) {
        const XmlElement& record = m_index[element];
        const size_t tagLength = record.nameLength;
        const bool matches =
            nameLength == 0 ||
            (nameLength >= tagLength &&
             std::memcmp(name, m_text.data() + record.start + 1, tagLength) == 0 &&
             (nameLength == tagLength || std::strchr(" =/[]", name[tagLength]) != nullptr));
        if (matches) {
            m_main = element;
            m_child = 0;
            return true;
        }
    }
    return false;
}

bool CXmlDocument::IntoElement() {
    if (m_main == 0)
        return false;
    m_parent = m_main;
    m_main = m_child;
    m_child = 0;
    return true;
}

bool CXmlDocument::OutOfElement() {
    if (m_parent == 0)
        return false;
    m_child = m_main;
    m_main = m_parent;
    m_parent = m_index[m_parent].parent;
    return true;
}

std::string CXmlDocument::GetTagName() const {
    if (m_main == 0)
        return std::string();
    const XmlElement& record = m_index[m_main];
    return m_text.substr(record.start + 1, record.nameLength);
}

std::string CXmlDocument::GetAttribute(const char* name) const {
    if (m_main == 0 || name == nullptr)
        return std::string();
    if (m_attributesOf != m_main) {
        const XmlElement& record = m_index[m_main];
        // Between the tag name and the closing ">".
        const size_t begin = record.start + 1 + record.nameLength;
        const size_t end = record.start + record.startTagLength - 1;
        ReadAttributes(std::string_view(m_text).substr(begin, end - begin), m_attributes);
        m_attributesOf = m_main;
    }
    const XmlAttribute* attribute = FindAttribute(m_attributes, name);
    return attribute ? DecodeReferences(attribute->value) : std::string();
}

bool CXmlDocument::IsWellFormed() const {
    if (m_index.IsEmpty())
        return false;
    const XmlElement& root = m_index[0];
    return (root.flags & XmlElement::kIllFormed) == 0 && root.firstChild != 0 &&
           m_index[root.firstChild].nextSibling == 0;
}

} // namespace Velmora
