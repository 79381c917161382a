#include "Manager.h"

#include <windows.h>

namespace Velmora {

namespace {

// Names are compared ignoring the case of ASCII letters only; the trail byte of
// a double-byte character can look like a letter and must be kept as it is.
std::string FoldEntryName(const char* name) {
    std::string folded;
    for (const char* p = name; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (IsDBCSLeadByte(c) && p[1]) {
            folded += *p;
            folded += *++p;
            continue;
        }
        folded += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : *p;
    }
    return folded;
}

} // namespace

void CManager::AddSkinEntry(std::unique_ptr<SkinEntry> entry) {
    m_entryByFoldedName.emplace(FoldEntryName(entry->name.c_str()), entry.get());
    m_entries.push_back(std::move(entry));
}

const SkinEntry* CManager::FindSkinEntry(const char* name) const {
    if (!name)
        return nullptr;
    auto found = m_entryByFoldedName.find(FoldEntryName(name));
    return found == m_entryByFoldedName.end() ? nullptr : found->second;
}

} // namespace Velmora
