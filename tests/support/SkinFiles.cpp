#include "SkinFiles.h"

#include <cstdint>

namespace {

void PutWord(std::string& out, uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void PutDword(std::string& out, uint32_t value) {
    PutWord(out, value & 0xFFFF);
    PutWord(out, value >> 16);
}

void PutBitmapHeader(std::string& out, int width, int height, int bitCount, uint32_t imageSize) {
    PutDword(out, 40);
    PutDword(out, static_cast<uint32_t>(width));
    PutDword(out, static_cast<uint32_t>(height));
    PutWord(out, 1);
    PutWord(out, static_cast<uint32_t>(bitCount));
    PutDword(out, 0);
    PutDword(out, imageSize);
    PutDword(out, 0);
    PutDword(out, 0);
    PutDword(out, 0);
    PutDword(out, 0);
}

} // namespace

std::string MakeBmpFile(int width, int height, const std::function<COLORREF(int x, int y)>& color) {
    const int stride = (width * 3 + 3) / 4 * 4;
    const uint32_t imageSize = static_cast<uint32_t>(stride * height);
    std::string out = "BM";
    PutDword(out, 54 + imageSize);
    PutDword(out, 0);
    PutDword(out, 54);
    PutBitmapHeader(out, width, height, 24, imageSize);
    for (int row = height - 1; row >= 0; --row) {
        std::string line(static_cast<size_t>(stride), '\0');
        for (int x = 0; x < width; ++x) {
            const COLORREF c = color(x, row);
            line[x * 3] = static_cast<char>(GetBValue(c));
            line[x * 3 + 1] = static_cast<char>(GetGValue(c));
            line[x * 3 + 2] = static_cast<char>(GetRValue(c));
        }
        out += line;
    }
    return out;
}

std::string MakeBmpFile(int width, int height, COLORREF color) {
    return MakeBmpFile(width, height, [color](int, int) { return color; });
}

std::string MakeCurFile(int width, int height, int hotSpotX, int hotSpotY,
                        const std::function<bool(int x, int y)>& inside) {
    // Monochrome rows are padded to whole 32-bit words.
    const int stride = (width + 31) / 32 * 4;
    const uint32_t maskBytes = static_cast<uint32_t>(stride * height);
    std::string out;
    PutWord(out, 0);
    PutWord(out, 2);
    PutWord(out, 1);
    out.push_back(static_cast<char>(width));
    out.push_back(static_cast<char>(height));
    out.push_back(2);
    out.push_back(0);
    PutWord(out, static_cast<uint32_t>(hotSpotX));
    PutWord(out, static_cast<uint32_t>(hotSpotY));
    PutDword(out, 48 + 2 * maskBytes);
    PutDword(out, 22);
    PutBitmapHeader(out, width, height * 2, 1, 2 * maskBytes);
    PutDword(out, 0x00000000);
    PutDword(out, 0x00FFFFFF);
    // XOR mask all zero; AND mask set where the screen shows through. Rows bottom-up.
    out.append(maskBytes, '\0');
    for (int row = height - 1; row >= 0; --row) {
        std::string line(static_cast<size_t>(stride), '\0');
        for (int x = 0; x < stride * 8; ++x)
            if (x >= width || !inside(x, row))
                line[x / 8] = static_cast<char>(line[x / 8] | (0x80 >> (x % 8)));
        out += line;
    }
    return out;
}
