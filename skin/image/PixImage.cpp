#include "PixImage.h"

#include "PixFile.h"
#include "PixImageBMP.h"
#include "PixImageGIF.h"
#include "PixImageICO.h"
#include "PixImageJPG.h"
#include "PixImagePNG.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace Velmora {

namespace {

// Largest picture in bits; the padded rows and the alpha plane stay within the same
// number of bytes divided by eight.
constexpr uint64_t kMaxImageBits = 0x80000000ull;
constexpr uint64_t kMaxImageBytes = kMaxImageBits / 8;

const char kTextBadSize[] = "CPixImage::Create : width and height must be greater than zero";
const char kTextMaxMemory[] = "PIXIMAGE_MAX_MEMORY exceeded";
const char kTextNoMemory[] = "CPixImage::Create can't allocate memory";
const char kTextUnsupported[] = "CPixImage: unsupported image format";
const char kTextNoFile[] = "CPixImage: can't open file";
const char kTextNoData[] = "CPixImage: no image data";

uint32_t NormalizeDepth(uint32_t bpp) {
    if (bpp <= 1)
        return 1;
    if (bpp <= 4)
        return 4;
    if (bpp <= 8)
        return 8;
    return 24;
}

} // namespace

CPixImage::CPixImage() = default;

CPixImage::~CPixImage() = default;

void CPixImage::SetLastError(const char* text) {
    std::snprintf(m_lastError, sizeof(m_lastError), "%s", text ? text : "");
}

uint8_t* CPixImage::Allocate(int32_t width, int32_t height, uint32_t bitsPerPixel,
                             uint32_t format) {
    return AllocateBlock(width, height, bitsPerPixel, format, true);
}

uint8_t* CPixImage::AllocateRows(int32_t width, int32_t height, uint32_t bitsPerPixel,
                                 uint32_t format) {
    return AllocateBlock(width, height, bitsPerPixel, format, false);
}

uint8_t* CPixImage::AllocateBlock(int32_t width, int32_t height, uint32_t bitsPerPixel,
                                  uint32_t format, bool zeroPixels) {
    if (width <= 0 || height <= 0) {
        SetLastError(kTextBadSize);
        return nullptr;
    }
    const uint32_t bpp = NormalizeDepth(bitsPerPixel);
    // Computed in 64 bits: the product of three 32-bit numbers, and the padded
    // rows, must not wrap around before the limit is checked.
    const uint64_t bits = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * bpp;
    const uint64_t stride = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
    if ((bits & ~7ull) > kMaxImageBits || stride * static_cast<uint64_t>(height) > kMaxImageBytes) {
        SetLastError(kTextMaxMemory);
        return nullptr;
    }
    const uint32_t colors = bpp == 24 ? 0 : (1u << bpp);
    const size_t pixelBytes = static_cast<size_t>(stride * static_cast<uint64_t>(height));
    const size_t headerBytes = sizeof(PixBitmapInfoHeader) + colors * sizeof(PixRgbQuad);
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[headerBytes + pixelBytes]);
    if (!block) {
        SetLastError(kTextNoMemory);
        return nullptr;
    }
    std::memset(block.get(), 0, zeroPixels ? headerBytes + pixelBytes : headerBytes);
    auto* header = reinterpret_cast<PixBitmapInfoHeader*>(block.get());
    header->size = sizeof(PixBitmapInfoHeader);
    header->width = width;
    header->height = height;
    header->planes = 1;
    header->bitCount = static_cast<uint16_t>(bpp);
    header->sizeImage = static_cast<uint32_t>(pixelBytes);
    header->clrUsed = colors;

    m_block = std::move(block);
    m_alpha.reset();
    m_pixels = m_block.get() + headerBytes;
    m_width = width;
    m_height = height;
    m_bpp = bpp;
    m_stride = static_cast<uint32_t>(stride);
    m_colors = colors;
    m_format = format;
    if (colors)
        SetGrayPalette();
    return m_pixels;
}

void CPixImage::Destroy() {
    m_block.reset();
    m_alpha.reset();
    m_pixels = nullptr;
    m_width = m_height = 0;
    m_bpp = m_stride = m_colors = 0;
}

uint8_t* CPixImage::GetRow(int32_t top) {
    if (!m_pixels || top < 0 || top >= m_height)
        return nullptr;
    return m_pixels + static_cast<size_t>(m_height - 1 - top) * m_stride;
}

const uint8_t* CPixImage::GetRow(int32_t top) const {
    return const_cast<CPixImage*>(this)->GetRow(top);
}

const PixBitmapInfoHeader* CPixImage::GetHeader() const {
    return reinterpret_cast<const PixBitmapInfoHeader*>(m_block.get());
}

PixRgbQuad* CPixImage::GetPalette() {
    if (!m_block || !m_colors)
        return nullptr;
    return reinterpret_cast<PixRgbQuad*>(m_block.get() + sizeof(PixBitmapInfoHeader));
}

const PixRgbQuad* CPixImage::GetPalette() const {
    return const_cast<CPixImage*>(this)->GetPalette();
}

bool CPixImage::SetPaletteColor(uint32_t index, uint8_t red, uint8_t green, uint8_t blue,
                                uint8_t alpha) {
    PixRgbQuad* palette = GetPalette();
    if (!palette || index >= m_colors)
        return false;
    palette[index] = PixRgbQuad{blue, green, red, alpha};
    return true;
}

void CPixImage::SetGrayPalette() {
    PixRgbQuad* palette = GetPalette();
    if (!palette)
        return;
    for (uint32_t i = 0; i < m_colors; ++i) {
        const auto level = static_cast<uint8_t>(i * 255 / (m_colors - 1));
        palette[i] = PixRgbQuad{level, level, level, 255};
    }
}

bool CPixImage::AlphaCreate() {
    if (m_alpha)
        return true;
    if (!AlphaCreateUnfilled())
        return false;
    std::memset(m_alpha.get(), 255, static_cast<size_t>(m_width) * static_cast<size_t>(m_height));
    return true;
}

bool CPixImage::AlphaCreateUnfilled() {
    if (!m_pixels)
        return false;
    if (m_alpha)
        return true;
    const size_t size = static_cast<size_t>(m_width) * static_cast<size_t>(m_height);
    if (size > kMaxImageBytes) {
        SetLastError(kTextMaxMemory);
        return false;
    }
    m_alpha.reset(new (std::nothrow) uint8_t[size]);
    if (!m_alpha) {
        SetLastError(kTextNoMemory);
        return false;
    }
    return true;
}

void CPixImage::AlphaDelete() {
    m_alpha.reset();
}

uint8_t* CPixImage::GetAlphaRow(int32_t top) {
    if (!m_alpha || top < 0 || top >= m_height)
        return nullptr;
    return m_alpha.get() + static_cast<size_t>(m_height - 1 - top) * m_width;
}

PixRgbQuad CPixImage::GetPixelColor(int32_t x, int32_t y) const {
    const uint8_t* row = GetRow(y);
    if (!row || x < 0 || x >= m_width)
        return PixRgbQuad{0, 0, 0, 0};
    PixRgbQuad color;
    if (m_bpp == 24) {
        color = PixRgbQuad{row[x * 3], row[x * 3 + 1], row[x * 3 + 2], 255};
    } else {
        uint32_t index;
        if (m_bpp == 8)
            index = row[x];
        else if (m_bpp == 4)
            index = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
        else
            index = (row[x >> 3] >> (7 - (x & 7))) & 1;
        color = GetPalette()[index];
        color.alpha = 255;
    }
    if (m_alpha)
        color.alpha = m_alpha[static_cast<size_t>(m_height - 1 - y) * m_width + x];
    return color;
}

void CPixImage::TakeOver(CPixImage& source) {
    m_block = std::move(source.m_block);
    m_alpha = std::move(source.m_alpha);
    m_pixels = source.m_pixels;
    m_width = source.m_width;
    m_height = source.m_height;
    m_bpp = source.m_bpp;
    m_stride = source.m_stride;
    m_colors = source.m_colors;
    m_transColor = source.m_transColor;
    m_alphaMax = source.m_alphaMax;
    m_paletteAlpha = source.m_paletteAlpha;
    m_enabled = source.m_enabled;
    m_format = source.m_format;
    source.Destroy();
}

template <class Decoder> bool CPixImage::DecodeWith(CPixFile& file) {
    // The image classes are exported: a decoder's container running out of
    // memory on a hostile file is a failed read for the calling program.
    try {
        Decoder decoder;
        if (decoder.Decode(file)) {
            TakeOver(decoder);
            return true;
        }
        SetLastError(decoder.GetLastError());
    } catch (const std::bad_alloc&) {
        SetLastError(kTextNoMemory);
    }
    return false;
}

bool CPixImage::DecodeAs(CPixFile& file, uint32_t format) {
    switch (format) {
    case PIXFORMAT_BMP:
        return DecodeWith<CPixImageBMP>(file);
    case PIXFORMAT_GIF:
        return DecodeWith<CPixImageGIF>(file);
    case PIXFORMAT_JPG:
        return DecodeWith<CPixImageJPG>(file);
    case PIXFORMAT_PNG:
        return DecodeWith<CPixImagePNG>(file);
    case PIXFORMAT_ICO:
        return DecodeWith<CPixImageICO>(file);
    default:
        SetLastError(kTextUnsupported);
        return false;
    }
}

bool CPixImage::Decode(CPixFile& file, uint32_t format) {
    if (format > PIXFORMAT_ICO) {
        SetLastError(kTextUnsupported);
        return false;
    }
    if (format != PIXFORMAT_UNKNOWN)
        return DecodeAs(file, format);
    static const uint32_t kOrder[] = {PIXFORMAT_BMP, PIXFORMAT_JPG, PIXFORMAT_ICO, PIXFORMAT_GIF,
                                      PIXFORMAT_PNG};
    const long start = file.Tell();
    if (start < 0) {
        SetLastError(kTextNoData);
        return false;
    }
    for (uint32_t candidate : kOrder) {
        if (!file.Seek(start, SEEK_SET)) {
            SetLastError(kTextNoData);
            return false;
        }
        if (DecodeAs(file, candidate))
            return true;
    }
    return false;
}

bool CPixImage::ReadFromMemory(const void* buffer, size_t size, uint32_t format) {
    if (format > PIXFORMAT_ICO) {
        SetLastError(kTextUnsupported);
        return false;
    }
    if (!buffer || size == 0) {
        SetLastError(kTextNoData);
        return false;
    }
    CPixMemFile file(buffer, size);
    return Decode(file, format);
}

bool CPixImage::ReadFromFile(const char* path, uint32_t format) {
    if (format > PIXFORMAT_ICO) {
        SetLastError(kTextUnsupported);
        return false;
    }
    CPixIOFile file;
    if (!path || !file.Open(path, "rb")) {
        SetLastError(kTextNoFile);
        return false;
    }
    if (Decode(file, format))
        return true;
    if (format == PIXFORMAT_UNKNOWN)
        return false;
    // The typed decoder may have been told the wrong format; the other decoders
    // get a chance, but the caller hears why the requested one failed.
    char typedError[sizeof(m_lastError)];
    std::memcpy(typedError, m_lastError, sizeof(typedError));
    CPixIOFile retry;
    if (retry.Open(path, "rb") && Decode(retry, PIXFORMAT_UNKNOWN))
        return true;
    SetLastError(typedError);
    return false;
}

} // namespace Velmora
