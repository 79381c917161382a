// Writes every image fixture into a folder, as the fuzzer's seed corpus.
#include "ImageFixtures.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds <folder>\n");
        return 2;
    }
    for (const ImageFixtures::Fixture& fixture : ImageFixtures::AllFixtures()) {
        const std::string path = std::string(argv[1]) + "/" + fixture.name;
        FILE* file = std::fopen(path.c_str(), "wb");
        if (!file ||
            std::fwrite(fixture.data.data(), 1, fixture.data.size(), file) != fixture.data.size()) {
            std::fprintf(stderr, "can't write %s\n", path.c_str());
            return 1;
        }
        std::fclose(file);
    }
    return 0;
}
