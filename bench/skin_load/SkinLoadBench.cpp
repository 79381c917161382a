// Prints how long the manager takes to load a skin database of 300 pictures
// and 50 descriptions, against the floor of inflating the same database and
// decoding the same pictures directly, measured in one run: once with
// descriptions of a usual size, once with heavy ones (160 draw items each)
// whose reading the floor does not contain.
#include "BenchClock.h"
#include "BenchImages.h"
#include "Manager.h"
#include "PixImage.h"
#include "SkinDatabase.h"
#include "SkinPacker.h"

#include <windows.h>

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace Velmora;

namespace {

constexpr int kDescriptions = 50;
constexpr int kImagesPerDescription = 6;
constexpr int kRounds = 7;

BenchImages::Rgba SkinColor(int x, int y, int seed) {
    // Smooth gradients with a little noise: compresses like a skin picture.
    const uint32_t noise =
        (static_cast<uint32_t>(x * 7919 + y * 104729 + seed * 31) * 2654435761u) >> 29;
    return BenchImages::Rgba{
        static_cast<uint8_t>(x * 2 + seed + noise), static_cast<uint8_t>(y * 3 + noise),
        static_cast<uint8_t>(seed * 5 + (x ^ y)), static_cast<uint8_t>(128 + ((x + y) & 127))};
}

std::string Png(int width, int height, int seed) {
    std::vector<BenchImages::Rgba> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            pixels.push_back(SkinColor(x, y, seed));
    }
    const std::vector<uint8_t> png = BenchImages::EncodePngRgba(width, height, pixels);
    return std::string(png.begin(), png.end());
}

void Put(std::string& bytes, uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string Bmp(int width, int height, int seed) {
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t pixelBytes = static_cast<uint32_t>(stride * height);
    std::string bmp = "BM";
    Put(bmp, 54 + pixelBytes, 4);
    Put(bmp, 0, 4);
    Put(bmp, 54, 4);
    Put(bmp, 40, 4);
    Put(bmp, static_cast<uint32_t>(width), 4);
    Put(bmp, static_cast<uint32_t>(height), 4);
    Put(bmp, 1, 2);
    Put(bmp, 24, 2);
    Put(bmp, 0, 4);
    Put(bmp, pixelBytes, 4);
    Put(bmp, 2835, 4);
    Put(bmp, 2835, 4);
    Put(bmp, 0, 8);
    for (int y = height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const BenchImages::Rgba color = SkinColor(x, y, seed);
            row += static_cast<char>(color.blue);
            row += static_cast<char>(color.green);
            row += static_cast<char>(color.red);
        }
        row.resize(static_cast<size_t>(stride), '\0');
        bmp += row;
    }
    return bmp;
}

// A description naming its pictures and a dialog, buttons and a list drawn from them.
std::string Description(int skin, const std::vector<std::string>& files, int windows,
                        int itemsPerWindow) {
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<theme>\r\n"
                       "<font><item id=\"f" +
                       std::to_string(skin) +
                       "\" family=\"Tahoma\" size=\"12\" bold=\"true\"/></font>\r\n<image>\r\n";
    for (size_t i = 0; i < files.size(); ++i) {
        text += "<item id=\"s" + std::to_string(skin) + "." + std::to_string(i) + "\" file=\"" +
                files[i] + "\" transparentcolor=\"(255,0,255)\"/>\r\n";
    }
    text += "</image>\r\n<window>\r\n";
    for (int window = 0; window < windows; ++window) {
        text += "<item id=\"w" + std::to_string(skin) + "." + std::to_string(window) +
                "\" type=\"" + (window == 0 ? "dialog" : "button") +
                "\">\r\n<property left=\"10\" top=\"20\" width=\"300\" height=\"200\"/>\r\n";
        for (int item = 0; item < itemsPerWindow; ++item) {
            text += "<image id=\"i" + std::to_string(item) + "\" imageid=\"#s" +
                    std::to_string(skin) + "." + std::to_string(item % files.size()) +
                    "\" state=\"normal|over\" left=\"0\" top=\"0\" right=\"0\" bottom=\"0\" "
                    "mode=\"stretchboth\" region=\"0,0,16,16\"/>\r\n"
                    "<text id=\"t" +
                    std::to_string(item) +
                    "\" left=\"4\" top=\"4\" width=\"80\" height=\"20\" fontid=\"#f" +
                    std::to_string(skin) + "\" content=\"Label\" textcolor=\"(0,0,0)\"/>\r\n";
        }
        text += "</item>\r\n";
    }
    text += "</window>\r\n</theme>\r\n";
    return text;
}

struct Picture {
    std::string bytes;
    uint32_t format;
};

void RunCase(const char* label, int windows, int itemsPerWindow) {
    std::vector<PackEntry> entries;
    std::vector<Picture> pictures;
    for (int skin = 0; skin < kDescriptions; ++skin) {
        const std::string stem = "skin" + std::to_string(skin);
        std::vector<std::string> files;
        std::vector<PackEntry> resources;
        for (int i = 0; i < kImagesPerDescription; ++i) {
            const int seed = skin * kImagesPerDescription + i;
            const bool png = seed % 2 == 0;
            const int width = 96 + (seed % 5) * 16;
            const int height = 64 + (seed % 3) * 16;
            const std::string file = "img" + std::to_string(i) + (png ? ".png" : ".bmp");
            files.push_back(file);
            const std::string bytes = png ? Png(width, height, seed) : Bmp(width, height, seed);
            resources.push_back({stem + "\\" + file, bytes});
            pictures.push_back({bytes, png ? PIXFORMAT_PNG : PIXFORMAT_BMP});
        }
        entries.push_back({stem + ".xml", Description(skin, files, windows, itemsPerWindow)});
        entries.insert(entries.end(), resources.begin(), resources.end());
    }
    const std::string database = BuildSkinDatabase(entries);
    size_t unpackedSize = 0;
    size_t descriptionSize = 0;
    for (const PackEntry& entry : entries) {
        unpackedSize += entry.bytes.size();
        if (EntryKindOfName(entry.name) == ENTRY_XML)
            descriptionSize += entry.bytes.size();
    }
    std::printf("%s: %zu entries, %zu pictures, %.2f MiB unpacked (descriptions %.2f MiB), "
                "%.2f MiB packed\n",
                label, entries.size(), pictures.size(), unpackedSize / 1048576.0,
                descriptionSize / 1048576.0, database.size() / 1048576.0);

    auto load = [&] {
        CManager::Destroy();
        const double start = Seconds();
        const int result =
            CManager::Instance()->LoadSkinFromSkinDBFileBuf(database.data(), database.size());
        const double elapsed = Seconds() - start;
        if (!result || CManager::Instance()->Images().Size() != pictures.size())
            std::printf("  load failed or incomplete (%zu images)\n",
                        CManager::Instance()->Images().Size());
        return elapsed;
    };
    std::vector<std::unique_ptr<CPixImage>> decoded;
    auto floor = [&] {
        decoded.clear();
        const double start = Seconds();
        SkinDatabaseContent content;
        if (!InflateSkinDatabase(reinterpret_cast<const uint8_t*>(database.data()), database.size(),
                                 content))
            std::printf("  inflate failed\n");
        for (const Picture& picture : pictures) {
            auto image = std::make_unique<CPixImage>();
            if (!image->ReadFromMemory(picture.bytes.data(), picture.bytes.size(), picture.format))
                std::printf("  decode failed\n");
            decoded.push_back(std::move(image));
        }
        return Seconds() - start;
    };

    // Alternating rounds, best of each, so that load from elsewhere on the
    // machine falls on both alike.
    load();
    floor();
    double bestLoad = 1e30;
    double bestFloor = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        bestLoad = std::min(bestLoad, load());
        bestFloor = std::min(bestFloor, floor());
    }
    CManager::Destroy();
    std::printf("  LoadSkinFromSkinDBFileBuf: %.2f ms\n", bestLoad * 1000.0);
    std::printf("  floor (uncompress + ReadFromMemory): %.2f ms\n", bestFloor * 1000.0);
    std::printf("  ratio: %.3f\n", bestLoad / bestFloor);
}

} // namespace

int main() {
    RunCase("usual descriptions (goal ratio <= 1.25)", 8, 3);
    RunCase("heavy descriptions (for information)", 20, 8);
    return 0;
}
