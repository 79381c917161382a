// Element records of a parsed document, addressed by 32-bit indices that stay valid while
// the index grows: the high 16 bits select a block of 65536 records, the low 16 bits a record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Velmora {

struct XmlElement {
    static constexpr uint32_t kIllFormed = 1; // this element or its content has an error
    static constexpr uint32_t kNotEnded = 2;  // no end tag was found

    uint32_t start = 0;  // offset of "<" of the start tag
    uint32_t length = 0; // whole element including its end tag
    uint32_t startTagLength = 0;
    uint32_t endTagLength = 0; // 0 for an empty-element tag or an element without end tag
    uint32_t nameLength = 0;
    uint32_t flags = 0;
    // Related records; 0 (the virtual root) doubles as "none" for everything but parent.
    uint32_t parent = 0;
    uint32_t firstChild = 0;
    uint32_t lastChild = 0;
    uint32_t nextSibling = 0;
    uint32_t prevSibling = 0;
};

class CXmlElementIndex {
  public:
    static constexpr uint32_t kBlockBits = 16;
    static constexpr uint32_t kBlockSize = 1u << kBlockBits;

    // Drops every record and reserves room for about expectedCount of them.
    void Reset(size_t expectedCount);
    void Clear();

    // Appends a record and returns its index. References to records stay valid only until
    // the next Add.
    uint32_t Add(const XmlElement& element);

    XmlElement& operator[](uint32_t index) {
        return m_blocks[index >> kBlockBits][index & (kBlockSize - 1)];
    }
    const XmlElement& operator[](uint32_t index) const {
        return m_blocks[index >> kBlockBits][index & (kBlockSize - 1)];
    }

    uint32_t Count() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }

  private:
    std::vector<std::vector<XmlElement>> m_blocks;
    uint32_t m_count = 0;
};

} // namespace Velmora
