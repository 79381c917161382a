// Making, reading and unpacking skin database files (".sdb") for the SkinPack
// tool and for tests that need databases; builds on any host (no Win32).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Velmora {

struct PackEntry {
    std::string name; // backslash-separated, e.g. "blue\bg.bmp"
    std::string bytes;
};

// The index XML for entries in this order: <file><item name=".." size=".."/>...</file>.
std::string MakeSkinIndex(const std::vector<PackEntry>& entries);

// Header (unpacked size, index length) and one zlib stream of unpacked.
std::string CompressSkinDatabase(const std::string& unpacked, uint32_t indexLength);

// A whole database of entries in this order.
std::string BuildSkinDatabase(const std::vector<PackEntry>& entries);

// The description files (*.xml) of a skin folder, each followed by the files
// of kinds the library reads from its resource folder (same name without the
// ending), sorted by name. Files of other kinds are listed in skipped. False
// with a reason when the folder cannot be read or a name is too long.
bool CollectSkinFolder(const std::string& folder, std::vector<PackEntry>& entries,
                       std::vector<std::string>& skipped, std::string& error);

// Entries of a database in index order, checked as the library checks them;
// false with a reason for a damaged database.
bool ReadSkinDatabase(const std::string& database, std::vector<PackEntry>& entries,
                      std::string& error);

// True for a relative name without "..", drive or leading separator, which
// can be written below an unpack folder.
bool IsSafeEntryName(const std::string& name);

// Writes every entry below folder, backslashes as folder separators; refuses
// the whole database, before writing anything, if a name is not safe.
bool UnpackSkinEntries(const std::vector<PackEntry>& entries, const std::string& folder,
                       std::string& error);

bool ReadWholeFile(const std::string& path, std::string& bytes);
bool WriteWholeFile(const std::string& path, const std::string& bytes);

} // namespace Velmora
