#include "XmlElementIndex.h"

#include <algorithm>

namespace Velmora {

void CXmlElementIndex::Reset(size_t expectedCount) {
    Clear();
    while (expectedCount > 0) {
        const size_t blockCount = std::min<size_t>(expectedCount, kBlockSize);
        m_blocks.emplace_back().reserve(blockCount);
        expectedCount -= blockCount;
    }
}

void CXmlElementIndex::Clear() {
    m_blocks.clear();
    m_count = 0;
}

uint32_t CXmlElementIndex::Add(const XmlElement& element) {
    const size_t blockNumber = m_count >> kBlockBits;
    if (blockNumber == m_blocks.size())
        m_blocks.emplace_back();
    std::vector<XmlElement>& block = m_blocks[blockNumber];
    if (block.size() == block.capacity())
        block.reserve(std::min<size_t>(kBlockSize, std::max<size_t>(256, block.capacity() * 2)));
    block.push_back(element);
    return m_count++;
}

} // namespace Velmora
