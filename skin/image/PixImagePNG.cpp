#include "PixImagePNG.h"

#include "PixBytes.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace Velmora {

// Everything the decode touches after setjmp lives here, outside the frame that
// libpng's error hook jumps back to.
struct PngDecodeState {
    CPixFile* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<uint8_t> rows;
    std::vector<png_bytep> rowPointers;
    char message[128] = "PNG: decoding failed";

    ~PngDecodeState() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

namespace {

void OnPngError(png_structp png, png_const_charp text) {
    auto* state = static_cast<PngDecodeState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof(state->message), "PNG: %s", text ? text : "error");
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void ReadPngData(png_structp png, png_bytep data, png_size_t length) {
    auto* state = static_cast<PngDecodeState*>(png_get_io_ptr(png));
    if (state->file->Read(data, 1, length) != length)
        png_error(png, "data truncated");
}

// Splits blue, green, red, alpha pixels into the 24-bit row and the alpha row;
// whole words at a time, as this runs over every pixel of every decoded PNG.
void SplitAlpha(const uint8_t* source, uint8_t* target, uint8_t* alpha, int32_t count) {
    int32_t x = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    for (; x + 4 <= count; x += 4, source += 16, target += 12, alpha += 4) {
        uint32_t p[4];
        std::memcpy(p, source, sizeof(p));
        const uint32_t packed[3] = {(p[0] & 0xFFFFFF) | (p[1] << 24),
                                    ((p[1] >> 8) & 0xFFFF) | (p[2] << 16),
                                    ((p[2] >> 16) & 0xFF) | (p[3] << 8)};
        const uint32_t alphas =
            (p[0] >> 24) | ((p[1] >> 24) << 8) | ((p[2] >> 24) << 16) | (p[3] & 0xFF000000);
        std::memcpy(target, packed, sizeof(packed));
        std::memcpy(alpha, &alphas, sizeof(alphas));
    }
#endif
    for (; x < count; ++x, source += 4, target += 3, ++alpha) {
        target[0] = source[0];
        target[1] = source[1];
        target[2] = source[2];
        *alpha = source[3];
    }
}

template <class T> bool ResizeBuffer(std::vector<T>& buffer, size_t size) {
    try {
        buffer.resize(size);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

bool CPixImagePNG::Decode(CPixFile& file) {
    png_byte signature[8];
    if (!PixReadExact(file, signature, sizeof(signature)) ||
        png_sig_cmp(signature, 0, sizeof(signature)) != 0) {
        SetLastError("PNG: not a PNG file");
        return false;
    }
    PngDecodeState state;
    state.file = &file;
    state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnPngError, OnPngWarning);
    if (state.png)
        state.info = png_create_info_struct(state.png);
    if (!state.png || !state.info) {
        SetLastError("PNG: out of memory");
        return false;
    }
    png_set_read_fn(state.png, &state, ReadPngData);
    png_set_sig_bytes(state.png, sizeof(signature));
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // Checksums would stop nearly every mutated input at its first chunk.
    png_set_crc_action(state.png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
    png_set_option(state.png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
#endif
    if (setjmp(png_jmpbuf(state.png))) {
        SetLastError(state.message);
        return false;
    }
    return DecodeRows(state);
}

bool CPixImagePNG::DecodeRows(PngDecodeState& state) {
    png_structp png = state.png;
    png_infop info = state.info;
    png_read_info(png, info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;

    png_bytep transAlpha = nullptr;
    int transCount = 0;
    png_colorp palette = nullptr;
    int paletteCount = 0;
    bool paletteAlphaPlane = false;
    int32_t transIndex = -1;
    bool eightBitIndices = false;
    if (bitDepth == 16)
        png_set_scale_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_packing(png);
        eightBitIndices = true;
        png_get_PLTE(png, info, &palette, &paletteCount);
        if (hasTrns)
            png_get_tRNS(png, info, &transAlpha, &transCount, nullptr);
        // One fully transparent entry and nothing half transparent: a colour key.
        int zeros = 0;
        int partial = 0;
        for (int i = 0; i < transCount; ++i) {
            if (transAlpha[i] == 0) {
                ++zeros;
                transIndex = i;
            } else if (transAlpha[i] != 255) {
                ++partial;
            }
        }
        if (zeros != 1 || partial)
            transIndex = -1;
        paletteAlphaPlane = transCount > 0 && transIndex < 0 && (zeros || partial);
    } else if (colorType == PNG_COLOR_TYPE_GRAY && !hasTrns) {
        png_set_expand_gray_1_2_4_to_8(png);
        eightBitIndices = true;
    } else {
        png_set_expand(png);
        if (hasTrns)
            png_set_tRNS_to_alpha(png);
        if (!(colorType & PNG_COLOR_MASK_COLOR))
            png_set_gray_to_rgb(png);
        png_set_bgr(png);
    }
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    const int channels = png_get_channels(png, info);
    if ((eightBitIndices && channels != 1) ||
        (!eightBitIndices && channels != 3 && channels != 4)) {
        SetLastError("PNG: unexpected pixel layout");
        return false;
    }

    if (!AllocateRows(static_cast<int32_t>(width), static_cast<int32_t>(height),
                      eightBitIndices ? 8 : 24, PIXFORMAT_PNG))
        return false;
    if ((channels == 4 || paletteAlphaPlane) && !AlphaCreateUnfilled())
        return false;
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        for (uint32_t i = 0; i < 256; ++i) {
            if (static_cast<int>(i) < paletteCount)
                SetPaletteColor(i, palette[i].red, palette[i].green, palette[i].blue);
            else
                SetPaletteColor(i, 0, 0, 0);
        }
        SetTransColor(transIndex);
    }

    const bool wholeImage = passes > 1;
    if (!ResizeBuffer(state.rows, wholeImage ? rowBytes * height : rowBytes)) {
        SetLastError("PNG: out of memory");
        return false;
    }
    if (wholeImage) {
        if (!ResizeBuffer(state.rowPointers, height)) {
            SetLastError("PNG: out of memory");
            return false;
        }
        for (png_uint_32 y = 0; y < height; ++y)
            state.rowPointers[y] = state.rows.data() + y * rowBytes;
        png_read_image(png, state.rowPointers.data());
    }
    const int32_t pixelsWide = GetWidth();
    for (int32_t y = 0; y < GetHeight(); ++y) {
        png_bytep source = state.rows.data();
        if (wholeImage)
            source = state.rowPointers[y];
        else
            png_read_row(png, source, nullptr);
        uint8_t* target = GetRow(y);
        uint8_t* alpha = GetAlphaRow(y);
        const size_t used = static_cast<size_t>(pixelsWide) * (eightBitIndices ? 1 : 3);
        std::memset(target + used, 0, GetEffWidth() - used);
        if (eightBitIndices) {
            std::memcpy(target, source, static_cast<size_t>(pixelsWide));
            if (alpha)
                for (int32_t x = 0; x < pixelsWide; ++x)
                    alpha[x] = source[x] < transCount ? transAlpha[source[x]] : 255;
        } else if (channels == 3) {
            std::memcpy(target, source, static_cast<size_t>(pixelsWide) * 3);
        } else {
            SplitAlpha(source, target, alpha, pixelsWide);
        }
    }
    return true;
}

} // namespace Velmora
