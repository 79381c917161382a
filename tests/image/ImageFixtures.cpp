#include "ImageFixtures.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <stdexcept>

namespace ImageFixtures {

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(Bytes& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

Rgba PaletteColor(uint32_t index) {
    return Rgba{static_cast<uint8_t>(index * 37 + 5), static_cast<uint8_t>(index * 91 + 11),
                static_cast<uint8_t>(index * 53 + 17), 255};
}

uint32_t PatternIndex(int32_t x, int32_t y, uint32_t colors) {
    return static_cast<uint32_t>(x * 3 + y * 5) % colors;
}

// Runs for the run-length fixtures: the first pixels of a row differ (absolute
// mode), the rest come in runs of four.
uint32_t RunIndex(int32_t x, int32_t y, uint32_t colors) {
    return static_cast<uint32_t>(x < 6 ? x + y : x / 4 + y) % colors;
}

uint32_t Stride(int32_t width, uint32_t bpp) {
    return ((width * bpp + 31) / 32) * 4;
}

void PutBitmapInfo(Bytes& out, uint32_t headerSize, int32_t width, int32_t height, uint32_t bpp,
                   uint32_t compression, uint32_t colors) {
    Put32(out, headerSize);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, bpp);
    Put32(out, compression);
    Put32(out, 0);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, colors);
    Put32(out, 0);
}

void PutPalette(Bytes& out, uint32_t colors, bool triples = false) {
    for (uint32_t i = 0; i < colors; ++i) {
        const Rgba c = PaletteColor(i);
        out.push_back(c.blue);
        out.push_back(c.green);
        out.push_back(c.red);
        if (!triples)
            out.push_back(0);
    }
}

// Packs one row of palette indices at the given depth, padded to four bytes.
Bytes PackIndices(const std::vector<uint32_t>& indices, uint32_t bpp) {
    Bytes row(Stride(static_cast<int32_t>(indices.size()), bpp), 0);
    for (size_t x = 0; x < indices.size(); ++x) {
        const size_t bit = x * bpp;
        row[bit / 8] |= static_cast<uint8_t>(indices[x] << (8 - bpp - bit % 8));
    }
    return row;
}

Bytes WithFileHeader(const Bytes& info, uint32_t bitsOffsetInInfo) {
    Bytes out = {'B', 'M'};
    Put32(out, static_cast<uint32_t>(14 + info.size()));
    Put32(out, 0);
    Put32(out, 14 + bitsOffsetInInfo);
    out.insert(out.end(), info.begin(), info.end());
    return out;
}

// Run-length rows for RLE8 (nibbles == false) or RLE4.
Bytes EncodeRle(const std::vector<std::vector<uint32_t>>& rowsBottomUp, bool nibbles) {
    Bytes out;
    for (const auto& row : rowsBottomUp) {
        size_t x = 0;
        while (x < row.size()) {
            size_t run = 1;
            while (x + run < row.size() && row[x + run] == row[x] && run < 255)
                ++run;
            if (run >= 2) {
                out.push_back(static_cast<uint8_t>(run));
                out.push_back(static_cast<uint8_t>(nibbles ? (row[x] << 4) | row[x] : row[x]));
                x += run;
                continue;
            }
            size_t literal = 1;
            while (x + literal < row.size() && literal < 255 &&
                   (x + literal + 1 >= row.size() || row[x + literal] != row[x + literal + 1]))
                ++literal;
            if (literal < 3) {
                out.push_back(1);
                out.push_back(static_cast<uint8_t>(nibbles ? row[x] << 4 : row[x]));
                x += 1;
                continue;
            }
            out.push_back(0);
            out.push_back(static_cast<uint8_t>(literal));
            Bytes packed;
            for (size_t i = 0; i < literal; ++i) {
                if (!nibbles)
                    packed.push_back(static_cast<uint8_t>(row[x + i]));
                else if (i % 2 == 0)
                    packed.push_back(static_cast<uint8_t>(row[x + i] << 4));
                else
                    packed.back() |= static_cast<uint8_t>(row[x + i]);
            }
            if (packed.size() % 2)
                packed.push_back(0);
            out.insert(out.end(), packed.begin(), packed.end());
            x += literal;
        }
        out.push_back(0);
        out.push_back(0);
    }
    out.push_back(0);
    out.push_back(1);
    return out;
}

Fixture PaletteBmp(const std::string& name, int32_t width, int32_t height, uint32_t bpp,
                   bool topDown, bool rle, bool coreHeader) {
    const uint32_t colors = 1u << bpp;
    auto index = [=](int32_t x, int32_t y) {
        return rle ? RunIndex(x, y, colors) : PatternIndex(x, y, colors);
    };
    Bytes info;
    if (coreHeader) {
        Put32(info, 12);
        Put16(info, static_cast<uint32_t>(width));
        Put16(info, static_cast<uint32_t>(height));
        Put16(info, 1);
        Put16(info, bpp);
    } else {
        PutBitmapInfo(info, 40, width, topDown ? -height : height, bpp,
                      rle ? (bpp == 8 ? 1 : 2) : 0, colors);
    }
    PutPalette(info, colors, coreHeader);
    const uint32_t bitsOffset = static_cast<uint32_t>(info.size());
    std::vector<std::vector<uint32_t>> rows;
    for (int32_t r = 0; r < height; ++r) {
        const int32_t y = topDown ? r : height - 1 - r;
        std::vector<uint32_t> row;
        for (int32_t x = 0; x < width; ++x)
            row.push_back(index(x, y));
        rows.push_back(row);
    }
    if (rle) {
        const Bytes data = EncodeRle(rows, bpp == 4);
        info.insert(info.end(), data.begin(), data.end());
    } else {
        for (const auto& row : rows) {
            const Bytes packed = PackIndices(row, bpp);
            info.insert(info.end(), packed.begin(), packed.end());
        }
    }
    return Fixture{name,   WithFileHeader(info, bitsOffset),
                   1,      width,
                   height, bpp,
                   false,  -1,
                   0,      [=](int32_t x, int32_t y) { return PaletteColor(index(x, y)); }};
}

// 16 or 32 bits per pixel through bit fields; masks of zero mean the default layout.
Fixture FieldBmp(const std::string& name, uint32_t bpp, uint32_t redMask, uint32_t greenMask,
                 uint32_t blueMask, uint32_t alphaMask, uint32_t headerSize) {
    const int32_t width = 11;
    const int32_t height = 6;
    const bool fields = redMask != 0;
    Bytes info;
    PutBitmapInfo(info, headerSize, width, height, bpp, fields ? 3 : 0, 0);
    if (fields) {
        if (headerSize == 40) {
            Put32(info, redMask);
            Put32(info, greenMask);
            Put32(info, blueMask);
        } else {
            info.resize(40);
            Put32(info, redMask);
            Put32(info, greenMask);
            Put32(info, blueMask);
            Put32(info, alphaMask);
            info.resize(headerSize, 0);
        }
    }
    if (!fields) {
        redMask = bpp == 16 ? 0x7C00 : 0xFF0000;
        greenMask = bpp == 16 ? 0x03E0 : 0xFF00;
        blueMask = bpp == 16 ? 0x001F : 0xFF;
    }
    auto shiftOf = [](uint32_t mask) {
        uint32_t shift = 0;
        while (!((mask >> shift) & 1))
            ++shift;
        return shift;
    };
    auto quantize = [&](uint8_t value, uint32_t mask) {
        const uint32_t maximum = mask >> shiftOf(mask);
        return (value * maximum / 255) << shiftOf(mask);
    };
    auto expand = [](uint8_t value, uint32_t mask) {
        uint32_t shift = 0;
        while (!((mask >> shift) & 1))
            ++shift;
        const uint32_t maximum = mask >> shift;
        return static_cast<uint8_t>((value * maximum / 255) * 255 / maximum);
    };
    const uint32_t bitsOffset = static_cast<uint32_t>(info.size());
    for (int32_t r = 0; r < height; ++r) {
        const int32_t y = height - 1 - r;
        Bytes row;
        for (int32_t x = 0; x < width; ++x) {
            const Rgba c = PatternColor(x, y);
            uint32_t pixel = quantize(c.red, redMask) | quantize(c.green, greenMask) |
                             quantize(c.blue, blueMask);
            if (alphaMask)
                pixel |= quantize(PatternAlpha(x, y), alphaMask);
            if (bpp == 16)
                Put16(row, pixel);
            else
                Put32(row, pixel);
        }
        row.resize(Stride(width, bpp), 0);
        info.insert(info.end(), row.begin(), row.end());
    }
    return Fixture{name,
                   WithFileHeader(info, bitsOffset),
                   1,
                   width,
                   height,
                   24,
                   alphaMask != 0,
                   -1,
                   0,
                   [=](int32_t x, int32_t y) {
                       const Rgba c = PatternColor(x, y);
                       return Rgba{expand(c.red, redMask), expand(c.green, greenMask),
                                   expand(c.blue, blueMask),
                                   alphaMask ? PatternAlpha(x, y) : uint8_t(255)};
                   }};
}

Fixture Bmp24(bool topDown) {
    const int32_t width = 9;
    const int32_t height = 5;
    Bytes info;
    PutBitmapInfo(info, 40, width, topDown ? -height : height, 24, 0, 0);
    for (int32_t r = 0; r < height; ++r) {
        const int32_t y = topDown ? r : height - 1 - r;
        Bytes row;
        for (int32_t x = 0; x < width; ++x) {
            const Rgba c = PatternColor(x, y);
            row.insert(row.end(), {c.blue, c.green, c.red});
        }
        row.resize(Stride(width, 24), 0);
        info.insert(info.end(), row.begin(), row.end());
    }
    return Fixture{topDown ? "bmp24_topdown" : "bmp24",
                   WithFileHeader(info, 40),
                   1,
                   width,
                   height,
                   24,
                   false,
                   -1,
                   0,
                   [](int32_t x, int32_t y) { return PatternColor(x, y); }};
}

// GIF: LZW with the code width growing to twelve bits and a clear code when the
// table is full.
class BitPacker {
  public:
    void Put(uint32_t code, int bits) {
        m_buffer |= code << m_count;
        m_count += bits;
        while (m_count >= 8) {
            m_bytes.push_back(static_cast<uint8_t>(m_buffer));
            m_buffer >>= 8;
            m_count -= 8;
        }
    }
    Bytes Finish() {
        if (m_count)
            m_bytes.push_back(static_cast<uint8_t>(m_buffer));
        return m_bytes;
    }

  private:
    Bytes m_bytes;
    uint32_t m_buffer = 0;
    int m_count = 0;
};

Bytes EncodeLzw(const std::vector<uint8_t>& indices, int minCodeSize) {
    const int clear = 1 << minCodeSize;
    BitPacker packer;
    std::map<uint32_t, int> table;
    int codeSize = 0, next = 0, decoderNext = 0;
    bool firstCode = true;
    auto reset = [&] {
        table.clear();
        codeSize = minCodeSize + 1;
        next = decoderNext = clear + 2;
        firstCode = true;
    };
    auto emit = [&](int code) {
        packer.Put(static_cast<uint32_t>(code), codeSize);
        // Mirror of the decoder, which adds each entry one code later.
        if (!firstCode && decoderNext < 4096) {
            ++decoderNext;
            if (decoderNext == (1 << codeSize) && codeSize < 12)
                ++codeSize;
        }
        firstCode = false;
    };
    reset();
    packer.Put(static_cast<uint32_t>(clear), codeSize);
    int current = indices[0];
    for (size_t i = 1; i < indices.size(); ++i) {
        const uint32_t key = (static_cast<uint32_t>(current) << 8) | indices[i];
        const auto found = table.find(key);
        if (found != table.end()) {
            current = found->second;
            continue;
        }
        emit(current);
        table[key] = next++;
        if (next == 4096) {
            packer.Put(static_cast<uint32_t>(clear), codeSize);
            reset();
        }
        current = indices[i];
    }
    emit(current);
    packer.Put(static_cast<uint32_t>(clear + 1), codeSize);
    Bytes data = packer.Finish();
    Bytes blocks;
    blocks.push_back(static_cast<uint8_t>(minCodeSize));
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t length = std::min<size_t>(255, data.size() - i);
        blocks.push_back(static_cast<uint8_t>(length));
        blocks.insert(blocks.end(), data.begin() + i, data.begin() + i + length);
    }
    blocks.push_back(0);
    return blocks;
}

struct GifOptions {
    std::string name;
    bool gif89 = true;
    int32_t width = 12, height = 9;
    uint32_t colorBits = 4; // table of 2^colorBits entries
    int32_t transparent = -1;
    bool interlaced = false;
    bool localTable = false;
    bool noisy = false;       // content that fills the code table
    bool secondFrame = false; // an animation: only the first frame counts
    int32_t frameLeft = 0, frameTop = 0, frameWidth = 0, frameHeight = 0;
};

Fixture Gif(const GifOptions& o) {
    const uint32_t colors = 1u << o.colorBits;
    const int32_t fw = o.frameWidth ? o.frameWidth : o.width;
    const int32_t fh = o.frameHeight ? o.frameHeight : o.height;
    auto index = [=](int32_t x, int32_t y) -> uint32_t {
        if (o.noisy)
            return (static_cast<uint32_t>(x * 7919 + y * 104729) * 2654435761u >> 24) % colors;
        return PatternIndex(x, y, colors);
    };
    Bytes out;
    const char* signature = o.gif89 ? "GIF89a" : "GIF87a";
    out.insert(out.end(), signature, signature + 6);
    Put16(out, static_cast<uint32_t>(o.width));
    Put16(out, static_cast<uint32_t>(o.height));
    const uint32_t background = 2;
    out.push_back(static_cast<uint8_t>(o.localTable ? 0x70 : 0xF0 | (o.colorBits - 1)));
    out.push_back(static_cast<uint8_t>(background));
    out.push_back(0);
    auto table = [&] {
        for (uint32_t i = 0; i < colors; ++i) {
            const Rgba c = PaletteColor(i);
            out.insert(out.end(), {c.red, c.green, c.blue});
        }
    };
    if (!o.localTable)
        table();
    if (o.gif89) {
        // An application extension first, which the decoder must step over.
        const char app[] = "NETSCAPE2.0";
        out.insert(out.end(), {0x21, 0xFF, 11});
        out.insert(out.end(), app, app + 11);
        out.insert(out.end(), {3, 1, 0, 0, 0});
        out.insert(out.end(), {0x21, 0xF9, 4, static_cast<uint8_t>(o.transparent >= 0 ? 1 : 0), 0,
                               0, static_cast<uint8_t>(o.transparent >= 0 ? o.transparent : 0), 0});
    }
    out.push_back(0x2C);
    Put16(out, static_cast<uint32_t>(o.frameLeft));
    Put16(out, static_cast<uint32_t>(o.frameTop));
    Put16(out, static_cast<uint32_t>(fw));
    Put16(out, static_cast<uint32_t>(fh));
    out.push_back(static_cast<uint8_t>((o.localTable ? 0x80 | (o.colorBits - 1) : 0) |
                                       (o.interlaced ? 0x40 : 0)));
    if (o.localTable)
        table();
    std::vector<int32_t> order;
    if (o.interlaced) {
        const int32_t starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int32_t y = starts[pass]; y < fh; y += steps[pass])
                order.push_back(y);
    } else {
        for (int32_t y = 0; y < fh; ++y)
            order.push_back(y);
    }
    std::vector<uint8_t> indices;
    for (int32_t y : order)
        for (int32_t x = 0; x < fw; ++x)
            indices.push_back(static_cast<uint8_t>(index(x, y)));
    const Bytes lzw = EncodeLzw(indices, o.colorBits < 2 ? 2 : static_cast<int>(o.colorBits));
    out.insert(out.end(), lzw.begin(), lzw.end());
    if (o.secondFrame) {
        out.insert(out.end(), {0x21, 0xF9, 4, 0, 10, 0, 0, 0, 0x2C, 0, 0, 0, 0});
        Put16(out, static_cast<uint32_t>(fw));
        Put16(out, static_cast<uint32_t>(fh));
        out.push_back(0);
        const std::vector<uint8_t> other(indices.size(), 1);
        const Bytes next = EncodeLzw(other, o.colorBits < 2 ? 2 : static_cast<int>(o.colorBits));
        out.insert(out.end(), next.begin(), next.end());
    }
    out.push_back(0x3B);
    const int32_t fill = o.transparent >= 0 ? o.transparent : static_cast<int32_t>(background);
    return Fixture{
        o.name, out, 2, o.width, o.height, 8, false, o.transparent, 0, [=](int32_t x, int32_t y) {
            const bool inside =
                x >= o.frameLeft && x < o.frameLeft + fw && y >= o.frameTop && y < o.frameTop + fh;
            return PaletteColor(inside ? index(x - o.frameLeft, y - o.frameTop)
                                       : static_cast<uint32_t>(fill));
        }};
}

// PNG through libpng, any colour type and depth.
void WriteToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

Bytes EncodePng(int32_t width, int32_t height, int colorType, int bitDepth, bool interlaced,
                const std::function<Bytes(int32_t y)>& row,
                const std::function<void(png_structp, png_infop)>& chunks) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("PNG encoding failed");
    }
    png_set_write_fn(png, &out, WriteToVector, FlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                 bitDepth, colorType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (chunks)
        chunks(png, info);
    png_write_info(png, info);
    std::vector<Bytes> rows;
    std::vector<png_bytep> pointers;
    for (int32_t y = 0; y < height; ++y)
        rows.push_back(row(y));
    for (auto& r : rows)
        pointers.push_back(r.data());
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes PackSamples(const std::vector<uint32_t>& samples, int depth) {
    Bytes row;
    if (depth == 16) {
        for (uint32_t s : samples) {
            row.push_back(static_cast<uint8_t>(s >> 8));
            row.push_back(static_cast<uint8_t>(s));
        }
        return row;
    }
    if (depth == 8) {
        for (uint32_t s : samples)
            row.push_back(static_cast<uint8_t>(s));
        return row;
    }
    row.assign((samples.size() * depth + 7) / 8, 0);
    for (size_t i = 0; i < samples.size(); ++i) {
        const size_t bit = i * depth;
        row[bit / 8] |= static_cast<uint8_t>(samples[i] << (8 - depth - bit % 8));
    }
    return row;
}

Fixture GrayPng(int depth, bool withAlpha, bool withTrns) {
    const int32_t width = 10, height = 7;
    const uint32_t maximum = (1u << depth) - 1;
    auto level = [=](int32_t x, int32_t y) -> uint32_t {
        if (depth < 8)
            return static_cast<uint32_t>(x + y * 3) % (maximum + 1);
        const uint32_t value = PatternColor(x, y).red;
        return depth == 16 ? value * 257 : value;
    };
    auto eight = [=](uint32_t value) -> uint8_t {
        return static_cast<uint8_t>(depth == 16 ? value / 257 : value * 255 / maximum);
    };
    const uint32_t key = level(3, 2);
    const Bytes data = EncodePng(
        width, height, withAlpha ? PNG_COLOR_TYPE_GRAY_ALPHA : PNG_COLOR_TYPE_GRAY, depth, false,
        [=](int32_t y) {
            std::vector<uint32_t> samples;
            for (int32_t x = 0; x < width; ++x) {
                samples.push_back(level(x, y));
                if (withAlpha)
                    samples.push_back(depth == 16 ? PatternAlpha(x, y) * 257u : PatternAlpha(x, y));
            }
            return PackSamples(samples, depth);
        },
        [=](png_structp png, png_infop info) {
            if (withTrns) {
                png_color_16 color = {};
                color.gray = static_cast<png_uint_16>(key);
                png_set_tRNS(png, info, nullptr, 0, &color);
            }
        });
    const std::string name = std::string("png_gray") + (withAlpha ? "_alpha" : "") +
                             (withTrns ? "_trns" : "") + std::to_string(depth);
    const bool alphaPlane = withAlpha || withTrns;
    return Fixture{name,
                   data,
                   4,
                   width,
                   height,
                   alphaPlane ? 24u : 8u,
                   alphaPlane,
                   -1,
                   0,
                   [=](int32_t x, int32_t y) {
                       const uint8_t g = eight(level(x, y));
                       uint8_t a = 255;
                       if (withAlpha)
                           a = PatternAlpha(x, y);
                       if (withTrns && level(x, y) == key)
                           a = 0;
                       return Rgba{g, g, g, a};
                   }};
}

Fixture ColorPng(int depth, bool withAlpha, bool withTrns, bool interlaced) {
    const int32_t width = 13, height = 11;
    auto sample = [=](uint8_t value) -> uint32_t { return depth == 16 ? value * 257u : value; };
    const Rgba key = PatternColor(0, 0);
    const Bytes data = EncodePng(
        width, height, withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, depth, interlaced,
        [=](int32_t y) {
            std::vector<uint32_t> samples;
            for (int32_t x = 0; x < width; ++x) {
                const Rgba c = PatternColor(x, y);
                samples.insert(samples.end(), {sample(c.red), sample(c.green), sample(c.blue)});
                if (withAlpha)
                    samples.push_back(sample(PatternAlpha(x, y)));
            }
            return PackSamples(samples, depth);
        },
        [=](png_structp png, png_infop info) {
            if (withTrns) {
                png_color_16 color = {};
                color.red = static_cast<png_uint_16>(sample(key.red));
                color.green = static_cast<png_uint_16>(sample(key.green));
                color.blue = static_cast<png_uint_16>(sample(key.blue));
                png_set_tRNS(png, info, nullptr, 0, &color);
            }
        });
    const std::string name = std::string(withAlpha ? "png_rgba" : "png_rgb") +
                             (withTrns ? "_trns" : "") + (interlaced ? "_interlaced" : "") +
                             std::to_string(depth);
    return Fixture{
        name, data, 4, width, height, 24, withAlpha || withTrns, -1, 0, [=](int32_t x, int32_t y) {
            Rgba c = PatternColor(x, y);
            c.alpha = withAlpha ? PatternAlpha(x, y) : 255;
            if (withTrns && x == 0 && y == 0)
                c.alpha = 0;
            return c;
        }};
}

// Palette PNG; trns: 0 none, 1 one fully transparent entry, 2 graded alpha.
Fixture PalettePng(int depth, int trns) {
    const int32_t width = 9, height = 6;
    const uint32_t colors = 1u << depth;
    auto entryAlpha = [](uint32_t i) { return static_cast<uint8_t>(255 - i * 40); };
    const Bytes data = EncodePng(
        width, height, PNG_COLOR_TYPE_PALETTE, depth, false,
        [=](int32_t y) {
            std::vector<uint32_t> samples;
            for (int32_t x = 0; x < width; ++x)
                samples.push_back(PatternIndex(x, y, colors));
            return PackSamples(samples, depth);
        },
        [=](png_structp png, png_infop info) {
            std::vector<png_color> palette;
            for (uint32_t i = 0; i < colors; ++i) {
                const Rgba c = PaletteColor(i);
                palette.push_back(png_color{c.red, c.green, c.blue});
            }
            png_set_PLTE(png, info, palette.data(), static_cast<int>(colors));
            if (trns == 1) {
                png_byte alpha[2] = {255, 0};
                png_set_tRNS(png, info, alpha, 2, nullptr);
            } else if (trns == 2) {
                std::vector<png_byte> alpha;
                for (uint32_t i = 0; i < colors && i < 4; ++i)
                    alpha.push_back(entryAlpha(i));
                png_set_tRNS(png, info, alpha.data(), static_cast<int>(alpha.size()), nullptr);
            }
        });
    const std::string name = "png_palette" + std::to_string(depth) +
                             (trns == 1   ? "_key"
                              : trns == 2 ? "_alpha"
                                          : "");
    return Fixture{name,
                   data,
                   4,
                   width,
                   height,
                   8,
                   trns == 2,
                   trns == 1 ? 1 : -1,
                   0,
                   [=](int32_t x, int32_t y) {
                       const uint32_t i = PatternIndex(x, y, colors);
                       Rgba c = PaletteColor(i);
                       if (trns == 2 && i < 4)
                           c.alpha = entryAlpha(i);
                       return c;
                   }};
}

// JPEG through libjpeg: flat 8 x 8 blocks keep the lossy result close to the source.
Rgba BlockColor(int32_t x, int32_t y) {
    return PaletteColor(static_cast<uint32_t>(x / 8 + (y / 8) * 5));
}

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

Bytes EncodeJpeg(int32_t width, int32_t height, int components, J_COLOR_SPACE space,
                 bool progressive, int quality, const std::function<void(int32_t, uint8_t*)>& row) {
    jpeg_compress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        throw std::runtime_error("JPEG encoding failed");
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    for (int i = 0; i < info.num_components; ++i)
        info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> line(static_cast<size_t>(width) * components);
    while (info.next_scanline < info.image_height) {
        row(static_cast<int32_t>(info.next_scanline), line.data());
        JSAMPROW pointer = line.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

Fixture Jpeg(const std::string& name, int components, bool progressive) {
    const int32_t width = 40, height = 24;
    const J_COLOR_SPACE space =
        components == 1 ? JCS_GRAYSCALE : (components == 4 ? JCS_CMYK : JCS_RGB);
    const Bytes data = EncodeJpeg(width, height, components, space, progressive, 100,
                                  [=](int32_t y, uint8_t* line) {
                                      for (int32_t x = 0; x < width; ++x) {
                                          const Rgba c = BlockColor(x, y);
                                          if (components == 1) {
                                              line[x] = c.red;
                                          } else if (components == 3) {
                                              line[x * 3] = c.red;
                                              line[x * 3 + 1] = c.green;
                                              line[x * 3 + 2] = c.blue;
                                          } else {
                                              // Stored as Adobe writes it: inverted, with no black.
                                              line[x * 4] = c.red;
                                              line[x * 4 + 1] = c.green;
                                              line[x * 4 + 2] = c.blue;
                                              line[x * 4 + 3] = 255;
                                          }
                                      }
                                  });
    return Fixture{name,
                   data,
                   3,
                   width,
                   height,
                   components == 1 ? 8u : 24u,
                   false,
                   -1,
                   6,
                   [=](int32_t x, int32_t y) {
                       const Rgba c = BlockColor(x, y);
                       return components == 1 ? Rgba{c.red, c.red, c.red, 255} : c;
                   }};
}

// Icons: directory, then each entry as a bitmap with its mask or as PNG data.
struct IconImage {
    int32_t width, height;
    uint32_t bpp; // 0 for a PNG entry
    Bytes data;
};

IconImage IconBitmap(int32_t width, int32_t height, uint32_t bpp) {
    const uint32_t colors = bpp <= 8 ? 1u << bpp : 0;
    Bytes out;
    PutBitmapInfo(out, 40, width, height * 2, bpp, 0, 0);
    PutPalette(out, colors);
    for (int32_t r = 0; r < height; ++r) {
        const int32_t y = height - 1 - r;
        if (colors) {
            std::vector<uint32_t> indices;
            for (int32_t x = 0; x < width; ++x)
                indices.push_back(PatternIndex(x, y, colors));
            const Bytes packed = PackIndices(indices, bpp);
            out.insert(out.end(), packed.begin(), packed.end());
            continue;
        }
        Bytes row;
        for (int32_t x = 0; x < width; ++x) {
            const Rgba c = PatternColor(x, y);
            row.insert(row.end(), {c.blue, c.green, c.red});
            if (bpp == 32)
                row.push_back(PatternAlpha(x, y));
        }
        row.resize(Stride(width, bpp), 0);
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int32_t r = 0; r < height; ++r) {
        const int32_t y = height - 1 - r;
        std::vector<uint32_t> mask;
        for (int32_t x = 0; x < width; ++x)
            mask.push_back(bpp == 32 ? 0u : ((x + y) % 3 == 0 ? 1u : 0u));
        const Bytes packed = PackIndices(mask, 1);
        out.insert(out.end(), packed.begin(), packed.end());
    }
    return IconImage{width, height, bpp, out};
}

Rgba IconExpected(int32_t x, int32_t y, uint32_t bpp) {
    if (bpp == 32) {
        Rgba c = PatternColor(x, y);
        c.alpha = PatternAlpha(x, y);
        return c;
    }
    Rgba c = bpp <= 8 ? PaletteColor(PatternIndex(x, y, 1u << bpp)) : PatternColor(x, y);
    c.alpha = (x + y) % 3 == 0 ? 0 : 255;
    return c;
}

Bytes IconFile(const std::vector<IconImage>& images, uint16_t type) {
    Bytes out;
    Put16(out, 0);
    Put16(out, type);
    Put16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (const IconImage& image : images) {
        out.push_back(static_cast<uint8_t>(image.width & 0xFF));
        out.push_back(static_cast<uint8_t>(image.height & 0xFF));
        out.push_back(static_cast<uint8_t>(image.bpp && image.bpp <= 4 ? 1u << image.bpp : 0));
        out.push_back(0);
        Put16(out, type == 1 ? 1 : 0);
        Put16(out, type == 1 ? image.bpp : 0);
        Put32(out, static_cast<uint32_t>(image.data.size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(image.data.size());
    }
    for (const IconImage& image : images)
        out.insert(out.end(), image.data.begin(), image.data.end());
    return out;
}

std::vector<Rgba> PatternPixels(int32_t width, int32_t height, bool alpha) {
    std::vector<Rgba> pixels;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            Rgba c = PatternColor(x, y);
            c.alpha = alpha ? PatternAlpha(x, y) : 255;
            pixels.push_back(c);
        }
    return pixels;
}

} // namespace

Rgba PatternColor(int32_t x, int32_t y) {
    return Rgba{static_cast<uint8_t>(x * 17 + y * 3), static_cast<uint8_t>(y * 29 + x),
                static_cast<uint8_t>(x * y * 7 + 40), 255};
}

uint8_t PatternAlpha(int32_t x, int32_t y) {
    const uint32_t value = static_cast<uint32_t>(x * 23 + y * 41) % 300;
    return static_cast<uint8_t>(value > 255 ? (value > 280 ? 0 : 255) : value);
}

std::vector<uint8_t> EncodePngRgba(int32_t width, int32_t height, const std::vector<Rgba>& pixels) {
    return EncodePng(
        width, height, PNG_COLOR_TYPE_RGB_ALPHA, 8, false,
        [&](int32_t y) {
            Bytes row;
            for (int32_t x = 0; x < width; ++x) {
                const Rgba& c = pixels[static_cast<size_t>(y) * width + x];
                row.insert(row.end(), {c.red, c.green, c.blue, c.alpha});
            }
            return row;
        },
        nullptr);
}

std::vector<uint8_t> EncodeJpegRgb(int32_t width, int32_t height, const std::vector<Rgba>& pixels,
                                   bool progressive, int quality) {
    return EncodeJpeg(width, height, 3, JCS_RGB, progressive, quality,
                      [&](int32_t y, uint8_t* line) {
                          for (int32_t x = 0; x < width; ++x) {
                              const Rgba& c = pixels[static_cast<size_t>(y) * width + x];
                              line[x * 3] = c.red;
                              line[x * 3 + 1] = c.green;
                              line[x * 3 + 2] = c.blue;
                          }
                      });
}

std::vector<Fixture> AllFixtures() {
    std::vector<Fixture> all;
    all.push_back(PaletteBmp("bmp1", 19, 5, 1, false, false, false));
    all.push_back(PaletteBmp("bmp4", 13, 7, 4, false, false, false));
    all.push_back(PaletteBmp("bmp8", 13, 7, 8, false, false, false));
    all.push_back(PaletteBmp("bmp8_topdown", 10, 4, 8, true, false, false));
    all.push_back(PaletteBmp("bmp8_core", 7, 3, 8, false, false, true));
    all.push_back(PaletteBmp("bmp8_rle", 23, 6, 8, false, true, false));
    all.push_back(PaletteBmp("bmp4_rle", 23, 6, 4, false, true, false));
    all.push_back(FieldBmp("bmp16", 16, 0, 0, 0, 0, 40));
    all.push_back(FieldBmp("bmp16_565", 16, 0xF800, 0x07E0, 0x001F, 0, 40));
    all.push_back(Bmp24(false));
    all.push_back(Bmp24(true));
    all.push_back(FieldBmp("bmp32", 32, 0, 0, 0, 0, 40));
    all.push_back(
        FieldBmp("bmp32_v5_alpha", 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000, 124));

    GifOptions gif;
    gif.name = "gif87a";
    gif.gif89 = false;
    all.push_back(Gif(gif));
    gif.name = "gif89a_transparent";
    gif.gif89 = true;
    gif.transparent = 3;
    all.push_back(Gif(gif));
    gif.name = "gif89a_interlaced_local";
    gif.transparent = -1;
    gif.interlaced = true;
    gif.localTable = true;
    gif.height = 19;
    all.push_back(Gif(gif));
    gif = GifOptions();
    gif.name = "gif_two_colors";
    gif.colorBits = 1;
    all.push_back(Gif(gif));
    gif = GifOptions();
    gif.name = "gif_animation_first_frame";
    gif.secondFrame = true;
    all.push_back(Gif(gif));
    gif = GifOptions();
    gif.name = "gif_large_table";
    gif.colorBits = 8;
    gif.noisy = true;
    gif.width = 120;
    gif.height = 90;
    all.push_back(Gif(gif));
    gif = GifOptions();
    gif.name = "gif_frame_inside_screen";
    gif.width = 16;
    gif.height = 12;
    gif.frameLeft = 3;
    gif.frameTop = 2;
    gif.frameWidth = 9;
    gif.frameHeight = 7;
    gif.transparent = 5;
    all.push_back(Gif(gif));

    for (int depth : {1, 2, 4, 8, 16})
        all.push_back(GrayPng(depth, false, false));
    all.push_back(GrayPng(8, false, true));
    all.push_back(GrayPng(16, false, true));
    all.push_back(GrayPng(8, true, false));
    all.push_back(GrayPng(16, true, false));
    all.push_back(ColorPng(8, false, false, false));
    all.push_back(ColorPng(16, false, false, false));
    all.push_back(ColorPng(8, false, true, false));
    all.push_back(ColorPng(8, true, false, false));
    all.push_back(ColorPng(16, true, false, false));
    all.push_back(ColorPng(8, true, false, true));
    for (int depth : {1, 2, 4, 8})
        all.push_back(PalettePng(depth, 0));
    all.push_back(PalettePng(8, 1));
    all.push_back(PalettePng(4, 2));

    all.push_back(Jpeg("jpeg_baseline", 3, false));
    all.push_back(Jpeg("jpeg_progressive", 3, true));
    all.push_back(Jpeg("jpeg_gray", 1, false));
    all.push_back(Jpeg("jpeg_cmyk", 4, false));

    {
        const std::vector<IconImage> images = {IconBitmap(16, 16, 8), IconBitmap(32, 32, 4),
                                               IconBitmap(32, 32, 32), IconBitmap(24, 24, 24)};
        all.push_back(Fixture{"ico_largest_deepest", IconFile(images, 1), 5, 32, 32, 24, true, -1,
                              0, [](int32_t x, int32_t y) { return IconExpected(x, y, 32); }});
    }
    for (uint32_t bpp : {1u, 4u, 8u, 24u}) {
        const int32_t size = 16;
        all.push_back(Fixture{"ico_mask" + std::to_string(bpp),
                              IconFile({IconBitmap(size, size, bpp)}, 1), 5, size, size,
                              bpp <= 8 ? bpp : 24, true, -1, 0,
                              [bpp](int32_t x, int32_t y) { return IconExpected(x, y, bpp); }});
    }
    {
        IconImage png{48, 48, 0, EncodePngRgba(48, 48, PatternPixels(48, 48, true))};
        all.push_back(Fixture{
            "ico_png_entry", IconFile({IconBitmap(32, 32, 32), png, IconBitmap(16, 16, 4)}, 1), 5,
            48, 48, 24, true, -1, 0, [](int32_t x, int32_t y) { return IconExpected(x, y, 32); }});
    }
    all.push_back(Fixture{"cur_cursor", IconFile({IconBitmap(32, 32, 8)}, 2), 5, 32, 32, 8, true,
                          -1, 0, [](int32_t x, int32_t y) { return IconExpected(x, y, 8); }});
    return all;
}

} // namespace ImageFixtures
