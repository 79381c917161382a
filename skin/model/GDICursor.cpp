#include "GDICursor.h"

#include <cstdint>
#include <vector>

namespace Velmora {

namespace {

// A single-image .cur file: 6-byte directory header, one 16-byte entry, a
// 40-byte bitmap header and a 2-colour palette, then the XOR and AND masks.
constexpr size_t kCurDirectorySize = 6;
constexpr size_t kCurEntrySize = 16;
constexpr size_t kCurMasksOffset = 70;
constexpr size_t kCurBitmapOffset = kCurDirectorySize + kCurEntrySize;
// Each stored mask row is 4 bytes, so one row holds at most 32 pixels.
constexpr size_t kMaskRowBytes = 4;
constexpr uint32_t kMaxCursorWidth = 32;

uint16_t ReadWord(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t ReadDword(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// The stored rows run bottom-up in 4-byte rows; CreateCursor wants them
// top-down in rows of whole 16-bit words.
std::vector<uint8_t> TopDownMask(const uint8_t* stored, uint32_t width, uint32_t height) {
    const size_t cursorRowBytes = ((width + 15) / 16) * 2;
    std::vector<uint8_t> mask(cursorRowBytes * height);
    for (uint32_t top = 0; top < height; ++top) {
        const uint8_t* row = stored + (height - 1 - top) * kMaskRowBytes;
        for (size_t i = 0; i < cursorRowBytes; ++i)
            mask[top * cursorRowBytes + i] = row[i];
    }
    return mask;
}

} // namespace

GDICursor::~GDICursor() {
    GDICursor::Release();
}

void GDICursor::Release() {
    if (m_handle) {
        DestroyCursor(static_cast<HCURSOR>(m_handle));
        m_handle = nullptr;
    }
}

HCURSOR GDICursor::LoadCursorFile(const char* path) {
    Release();
    m_handle = LoadImageA(nullptr, path, IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE);
    return GetCursor();
}

HCURSOR GDICursor::LoadCursorData(const void* data, size_t size) {
    Release();
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (!bytes || size < kCurMasksOffset)
        return nullptr;
    if (ReadWord(bytes) != 0 || ReadWord(bytes + 2) != 2 || ReadWord(bytes + 4) != 1)
        return nullptr;

    const uint32_t width = bytes[6];
    const uint32_t height = bytes[7];
    const int hotSpotX = ReadWord(bytes + 10);
    const int hotSpotY = ReadWord(bytes + 12);
    // Only a monochrome picture right after the entry has the two masks where
    // they are read from.
    const uint8_t* bitmap = bytes + kCurBitmapOffset;
    if (ReadDword(bytes + 18) != kCurBitmapOffset || ReadDword(bitmap) != 40 ||
        ReadWord(bitmap + 14) != 1)
        return nullptr;
    if (width == 0 || width > kMaxCursorWidth || height == 0)
        return nullptr;
    const size_t maskBytes = size - kCurMasksOffset;
    if (maskBytes % 2 != 0 || maskBytes / 2 != height * kMaskRowBytes)
        return nullptr;

    const uint8_t* xorStored = bytes + kCurMasksOffset;
    const uint8_t* andStored = xorStored + maskBytes / 2;
    const std::vector<uint8_t> xorMask = TopDownMask(xorStored, width, height);
    const std::vector<uint8_t> andMask = TopDownMask(andStored, width, height);
    m_handle = CreateCursor(GetModuleHandleA(nullptr), hotSpotX, hotSpotY, static_cast<int>(width),
                            static_cast<int>(height), andMask.data(), xorMask.data());
    return GetCursor();
}

} // namespace Velmora
