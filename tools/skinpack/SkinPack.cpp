// SkinPack: packs a skin folder into a skin database, lists one, or unpacks it.
#include "SkinEntry.h"
#include "SkinPacker.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace Velmora;

namespace {

int Usage() {
    std::fprintf(stderr, "usage: SkinPack pack <folder> <out.sdb>\n"
                         "       SkinPack list <file.sdb>\n"
                         "       SkinPack unpack <file.sdb> <folder>\n");
    return 2;
}

int Fail(const std::string& reason) {
    std::fprintf(stderr, "SkinPack: %s\n", reason.c_str());
    return 1;
}

int Pack(const std::string& folder, const std::string& output) {
    std::vector<PackEntry> entries;
    std::vector<std::string> skipped;
    std::string error;
    if (!CollectSkinFolder(folder, entries, skipped, error))
        return Fail(error);
    for (const std::string& name : skipped)
        std::fprintf(stderr, "SkinPack: skipped %s (not a kind the library reads)\n", name.c_str());
    const std::string database = BuildSkinDatabase(entries);
    if (!WriteWholeFile(output, database))
        return Fail("cannot write " + output);
    std::printf("%zu entries, %zu bytes\n", entries.size(), database.size());
    return 0;
}

bool Read(const std::string& path, std::vector<PackEntry>& entries, std::string& error) {
    std::string database;
    if (!ReadWholeFile(path, database)) {
        error = "cannot read " + path;
        return false;
    }
    return ReadSkinDatabase(database, entries, error);
}

int List(const std::string& path) {
    std::vector<PackEntry> entries;
    std::string error;
    if (!Read(path, entries, error))
        return Fail(error);
    for (const PackEntry& entry : entries) {
        std::printf("%10zu  %d  %s\n", entry.bytes.size(),
                    static_cast<int>(EntryKindOfName(entry.name)), entry.name.c_str());
    }
    return 0;
}

int Unpack(const std::string& path, const std::string& folder) {
    std::vector<PackEntry> entries;
    std::string error;
    if (!Read(path, entries, error) || !UnpackSkinEntries(entries, folder, error))
        return Fail(error);
    std::printf("%zu entries\n", entries.size());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "pack") == 0)
        return Pack(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "list") == 0)
        return List(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "unpack") == 0)
        return Unpack(argv[2], argv[3]);
    return Usage();
}
