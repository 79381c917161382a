// Writes a few small valid skin databases, in both input forms of the fuzzer.
#include "SkinPacker.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace Velmora;

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    const std::vector<std::vector<PackEntry>> skins = {
        {},
        {{"blue.xml", "<theme><image><item id=\"bg\" file=\"bg.bmp\"/></image></theme>"},
         {"blue\\bg.bmp", "BM0123456789"}},
        {{"notes.txt", std::string(100, 'n')}, {"a.PNG", "png"}, {"b.XML", "<theme/>"}},
    };
    int written = 0;
    for (const std::vector<PackEntry>& skin : skins) {
        const std::string database = BuildSkinDatabase(skin);
        std::string unpacked = MakeSkinIndex(skin);
        const uint32_t indexLength = static_cast<uint32_t>(unpacked.size());
        for (const PackEntry& entry : skin)
            unpacked += entry.bytes;
        std::string raw(1, '\1');
        for (int i = 0; i < 4; ++i)
            raw += static_cast<char>((indexLength >> (8 * i)) & 0xFF);
        raw += unpacked;
        for (const std::string& seed : {std::string(1, '\0') + database, raw}) {
            const std::string path = std::string(argv[1]) + "/seed" + std::to_string(written++);
            if (!WriteWholeFile(path, seed))
                return 1;
        }
    }
    std::printf("%d seeds\n", written);
    return 0;
}
