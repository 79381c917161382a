#include "ImageFixtures.h"

#include <png.h>

#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <cstdlib>
#include <map>

namespace ImageFixtures {

namespace {

using Bytes = std::vector<uint8_t>;
using Expected = std::function<Rgba(int32_t, int32_t)>;

void Put16(Bytes& out, uint32_t value) {
    out.insert(out.end(), {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)});
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

// Run-length fixtures: the first six pixels of a row differ, the rest come in runs.
uint32_t RunIndex(int32_t x, int32_t y, uint32_t colors) {
    return static_cast<uint32_t>(x < 6 ? x + y : x / 4 + y) % colors;
}

uint32_t Bgr(Rgba c) {
    return c.blue | c.green << 8 | c.red << 16;
}

// One bitmap row padded to four bytes: palette indices below eight bits, else the
// value's low bytes little-endian.
Bytes Row(int32_t width, uint32_t bpp, const std::function<uint32_t(int32_t)>& value) {
    Bytes row(((width * bpp + 31) / 32) * 4, 0);
    for (int32_t x = 0; x < width; ++x) {
        const uint32_t v = value(x), bit = x * bpp;
        if (bpp < 8)
            row[bit / 8] |= static_cast<uint8_t>(v << (8 - bpp - bit % 8));
        for (uint32_t b = 0; bpp >= 8 && b < bpp / 8; ++b)
            row[bit / 8 + b] = static_cast<uint8_t>(v >> (8 * b));
    }
    return row;
}

Bytes Info(uint32_t size, int32_t width, int32_t height, uint32_t bpp, uint32_t compression) {
    Bytes out;
    for (uint32_t value : {size, uint32_t(width), uint32_t(height), 1u | bpp << 16, compression, 0u,
                           2835u, 2835u, 0u, 0u})
        Put32(out, value);
    return out;
}

void PutPalette(Bytes& out, uint32_t colors, bool triples = false) {
    for (uint32_t i = 0; i < colors; ++i) {
        const Rgba c = PaletteColor(i);
        out.insert(out.end(), {c.blue, c.green, c.red});
        if (!triples)
            out.push_back(0);
    }
}

Bytes WithFileHeader(const Bytes& info, size_t bitsOffset) {
    Bytes out = {'B', 'M'};
    Put32(out, static_cast<uint32_t>(14 + info.size()));
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(14 + bitsOffset));
    out.insert(out.end(), info.begin(), info.end());
    return out;
}

// Uncompressed bitmap: palette indices up to eight bits, else colour through the
// masks given or, with none, the default layout. A 12-byte header is the oldest form.
// Run-length rows have six absolute pixels, then runs, then an end of line.
Fixture Bmp(std::string name, int32_t w, int32_t h, uint32_t bpp, uint32_t headerSize = 40,
            bool topDown = false, std::vector<uint32_t> masks = {}, bool rle = false) {
    const uint32_t colors = bpp <= 8 ? 1u << bpp : 0;
    auto index = [=](int32_t x, int32_t y) {
        return rle ? RunIndex(x, y, colors) : PatternIndex(x, y, colors);
    };
    Bytes info;
    if (headerSize == 12) {
        Put32(info, 12);
        for (uint32_t value : {uint32_t(w), uint32_t(h), 1u, bpp})
            Put16(info, value);
    } else {
        info = Info(headerSize, w, topDown ? -h : h, bpp,
                    rle             ? bpp / 4 % 2 + 1
                    : masks.empty() ? 0
                                    : 3);
    }
    if (!masks.empty()) {
        info.resize(40);
        for (uint32_t mask : masks)
            Put32(info, mask);
        info.resize(std::max<size_t>(info.size(), headerSize), 0);
    } else if (bpp > 8) {
        masks = bpp == 16 ? std::vector<uint32_t>{0x7C00, 0x03E0, 0x001F}
                          : std::vector<uint32_t>{0xFF0000, 0xFF00, 0xFF};
    }
    masks.resize(4, 0);
    PutPalette(info, colors, headerSize == 12);
    auto shift = [](uint32_t mask) {
        uint32_t s = 0;
        while (!((mask >> s) & 1))
            ++s;
        return s;
    };
    auto quantize = [=](uint8_t v, uint32_t mask) {
        return mask ? (v * (mask >> shift(mask)) / 255) << shift(mask) : 0;
    };
    auto expand = [=](uint8_t v, uint32_t mask) {
        const uint32_t maximum = mask >> shift(mask);
        return static_cast<uint8_t>((v * maximum / 255) * 255 / maximum);
    };
    const Expected expected = [=](int32_t x, int32_t y) {
        const Rgba c = PatternColor(x, y);
        if (colors)
            return PaletteColor(index(x, y));
        return Rgba{expand(c.red, masks[0]), expand(c.green, masks[1]), expand(c.blue, masks[2]),
                    masks[3] ? PatternAlpha(x, y) : uint8_t(255)};
    };
    const size_t offset = info.size();
    for (int32_t r = 0; r < h; ++r) {
        const int32_t y = topDown ? r : h - 1 - r;
        if (rle) {
            info.insert(info.end(), {0, 6});
            Bytes absolute = Row(6, bpp, [&](int32_t x) { return index(x, y); });
            info.insert(info.end(), absolute.begin(), absolute.begin() + (bpp == 8 ? 6 : 4));
            for (int32_t x = 6, n; x < w; x += n) {
                const uint32_t v = index(x, y);
                for (n = 1; x + n < w && index(x + n, y) == v;)
                    ++n;
                info.insert(info.end(), {uint8_t(n), uint8_t(bpp == 4 ? v << 4 | v : v), 0, 0});
                info.resize(info.size() - (x + n < w ? 2 : 0));
            }
            continue;
        }
        const Bytes row = Row(w, bpp, [&](int32_t x) {
            const Rgba c = PatternColor(x, y);
            return colors ? index(x, y)
                          : quantize(c.red, masks[0]) | quantize(c.green, masks[1]) |
                                quantize(c.blue, masks[2]) | quantize(PatternAlpha(x, y), masks[3]);
        });
        info.insert(info.end(), row.begin(), row.end());
    }
    if (rle)
        info.insert(info.end(), {0, 1});
    const Bytes data = WithFileHeader(info, offset);
    return Fixture{name, data, 1, w, h, colors ? bpp : 24, masks[3] != 0, -1, 0, expected};
}

// GIF: LZW with the code width growing to twelve bits and a clear code when the
// table is full.
Bytes EncodeLzw(const Bytes& indices, int minCodeSize) {
    const int clear = 1 << minCodeSize;
    Bytes data;
    uint32_t buffer = 0;
    int count = 0, codeSize = 0, next = 0, decoderNext = 0;
    bool first = true;
    std::map<uint32_t, int> table;
    auto put = [&](int code) {
        buffer |= static_cast<uint32_t>(code) << count;
        for (count += codeSize; count >= 8; count -= 8, buffer >>= 8)
            data.push_back(static_cast<uint8_t>(buffer));
    };
    auto reset = [&] {
        put(clear);
        table.clear();
        codeSize = minCodeSize + 1;
        next = decoderNext = clear + 2;
        first = true;
    };
    auto emit = [&](int code) {
        put(code);
        // Mirror of the decoder, which adds each entry one code later.
        if (!first && decoderNext < 4096 && ++decoderNext == (1 << codeSize) && codeSize < 12)
            ++codeSize;
        first = false;
    };
    codeSize = minCodeSize + 1;
    reset();
    int current = indices[0];
    for (size_t i = 1; i < indices.size(); ++i) {
        const uint32_t key = static_cast<uint32_t>(current) << 8 | indices[i];
        const auto found = table.find(key);
        if (found != table.end()) {
            current = found->second;
            continue;
        }
        emit(current);
        table[key] = next++;
        if (next == 4096)
            reset();
        current = indices[i];
    }
    emit(current);
    put(clear + 1);
    if (count)
        data.push_back(static_cast<uint8_t>(buffer));
    Bytes blocks = {static_cast<uint8_t>(minCodeSize)};
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
    uint32_t colorBits = 4;
    int32_t transparent = -1;
    bool interlaced = false, localTable = false;
    bool noisy = false;       // content that fills the code table
    bool secondFrame = false; // an animation: only the first frame counts
    int32_t left = 0, top = 0, frameWidth = 0, frameHeight = 0;
};

Fixture Gif(const GifOptions& o) {
    const uint32_t colors = 1u << o.colorBits, background = 2;
    const int32_t fw = o.frameWidth ? o.frameWidth : o.width;
    const int32_t fh = o.frameHeight ? o.frameHeight : o.height;
    const int minCode = std::max(2, static_cast<int>(o.colorBits));
    auto index = [=](int32_t x, int32_t y) -> uint32_t {
        if (o.noisy)
            return (static_cast<uint32_t>(x * 7919 + y * 104729) * 2654435761u >> 24) % colors;
        return PatternIndex(x, y, colors);
    };
    Bytes out(o.gif89 ? "GIF89a" : "GIF87a", (o.gif89 ? "GIF89a" : "GIF87a") + 6);
    Put16(out, o.width);
    Put16(out, o.height);
    out.insert(out.end(), {uint8_t(o.localTable ? 0x70 : 0xF0 | (o.colorBits - 1)), background, 0});
    Bytes table;
    for (uint32_t i = 0; i < colors; ++i)
        table.insert(table.end(),
                     {PaletteColor(i).red, PaletteColor(i).green, PaletteColor(i).blue});
    if (!o.localTable)
        out.insert(out.end(), table.begin(), table.end());
    if (o.gif89) {
        // An application extension first, which the decoder must step over.
        const char app[] = "NETSCAPE2.0";
        out.insert(out.end(), {0x21, 0xFF, 11});
        out.insert(out.end(), app, app + 11);
        out.insert(out.end(), {3, 1, 0, 0, 0, 0x21, 0xF9, 4, uint8_t(o.transparent >= 0), 0, 0,
                               uint8_t(std::max(o.transparent, 0)), 0});
    }
    out.push_back(0x2C);
    for (int32_t value : {o.left, o.top, fw, fh})
        Put16(out, value);
    out.push_back(
        uint8_t((o.localTable ? 0x80 | (o.colorBits - 1) : 0) | (o.interlaced ? 0x40 : 0)));
    if (o.localTable)
        out.insert(out.end(), table.begin(), table.end());
    Bytes indices;
    const int32_t starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
    for (int pass = 0; pass < (o.interlaced ? 4 : 1); ++pass)
        for (int32_t y = o.interlaced ? starts[pass] : 0; y < fh;
             y += o.interlaced ? steps[pass] : 1)
            for (int32_t x = 0; x < fw; ++x)
                indices.push_back(static_cast<uint8_t>(index(x, y)));
    const Bytes lzw = EncodeLzw(indices, minCode);
    out.insert(out.end(), lzw.begin(), lzw.end());
    if (o.secondFrame) {
        out.insert(out.end(), {0x21, 0xF9, 4, 0, 10, 0, 0, 0, 0x2C, 0, 0, 0, 0});
        Put16(out, fw);
        Put16(out, fh);
        out.push_back(0);
        const Bytes next = EncodeLzw(Bytes(indices.size(), 1), minCode);
        out.insert(out.end(), next.begin(), next.end());
    }
    out.push_back(0x3B);
    const uint32_t fill = o.transparent >= 0 ? o.transparent : background;
    return Fixture{
        o.name, out, 2, o.width, o.height, 8, false, o.transparent, 0, [=](int32_t x, int32_t y) {
            const bool inside = x >= o.left && x < o.left + fw && y >= o.top && y < o.top + fh;
            return PaletteColor(inside ? index(x - o.left, y - o.top) : fill);
        }};
}

void WriteToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// PNG through libpng; `sample(x, y, channel)` is at most 255, and 16-bit samples
// repeat it in both bytes.
Bytes EncodePng(int32_t width, int32_t height, int colorType, int depth, bool interlaced,
                const std::function<uint32_t(int32_t, int32_t, int)>& sample,
                const std::function<void(png_structp, png_infop)>& chunks) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, WriteToVector, nullptr);
    png_set_IHDR(png, info, width, height, depth, colorType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (chunks)
        chunks(png, info);
    png_write_info(png, info);
    if (depth < 8)
        png_set_packing(png);
    const int channels = png_get_channels(png, info), bytes = depth == 16 ? 2 : 1;
    std::vector<Bytes> rows(height, Bytes(static_cast<size_t>(width) * channels * bytes));
    std::vector<png_bytep> pointers;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t i = 0; i < width * channels * bytes; ++i)
            rows[y][i] =
                static_cast<uint8_t>(sample(i / bytes / channels, y, i / bytes % channels));
        pointers.push_back(rows[y].data());
    }
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// Gray, RGB and palette PNG at any depth; `trns` adds a transparent key (a gray
// level, the top left colour, or palette entry 1 only) or, for a palette, graded
// alpha on the first four entries.
Fixture Png(std::string name, int colorType, int depth, bool withAlpha, int trns, bool interlaced) {
    const int32_t w = 13, h = 11;
    const bool palette = colorType == PNG_COLOR_TYPE_PALETTE;
    const bool gray = !palette && !(colorType & PNG_COLOR_MASK_COLOR);
    const uint32_t maximum = depth >= 8 ? 255 : (1u << depth) - 1;
    auto entryAlpha = [](uint32_t i) { return static_cast<uint8_t>(255 - i * 40); };
    auto sample = [=](int32_t x, int32_t y, int channel) -> uint32_t {
        const Rgba c = PatternColor(x, y);
        if (palette)
            return PatternIndex(x, y, maximum + 1);
        if (channel == (gray ? 1 : 3))
            return PatternAlpha(x, y);
        if (gray)
            return depth < 8 ? (x + y * 3) % (maximum + 1) : c.red;
        return channel == 0 ? c.red : channel == 1 ? c.green : c.blue;
    };
    const Bytes data =
        EncodePng(w, h, colorType | (withAlpha ? PNG_COLOR_MASK_ALPHA : 0), depth, interlaced,
                  sample, [=](png_structp png, png_infop info) {
                      if (palette) {
                          std::vector<png_color> colors;
                          for (uint32_t i = 0; i <= maximum; ++i)
                              colors.push_back(png_color{PaletteColor(i).red, PaletteColor(i).green,
                                                         PaletteColor(i).blue});
                          png_set_PLTE(png, info, colors.data(), static_cast<int>(colors.size()));
                          png_byte alpha[4] = {255, 0};
                          for (uint32_t i = 0; trns == 2 && i < 4; ++i)
                              alpha[i] = entryAlpha(i);
                          if (trns)
                              png_set_tRNS(png, info, alpha, trns == 2 ? 4 : 2, nullptr);
                      } else if (trns) {
                          const int factor = depth == 16 ? 257 : 1;
                          png_color_16 key = {};
                          key.gray = static_cast<png_uint_16>(sample(3, 2, 0) * factor);
                          key.red = static_cast<png_uint_16>(sample(0, 0, 0) * factor);
                          key.green = static_cast<png_uint_16>(sample(0, 0, 1) * factor);
                          key.blue = static_cast<png_uint_16>(sample(0, 0, 2) * factor);
                          png_set_tRNS(png, info, nullptr, 0, &key);
                      }
                  });
    const bool alphaPlane = withAlpha || (trns && !palette) || trns == 2;
    const Expected expected = [=](int32_t x, int32_t y) {
        const uint32_t i = sample(x, y, 0);
        Rgba c = palette ? PaletteColor(i) : PatternColor(x, y);
        if (gray)
            c.red = c.green = c.blue = static_cast<uint8_t>(i * 255 / maximum);
        if (withAlpha)
            c.alpha = PatternAlpha(x, y);
        if (palette && trns == 2 && i < 4)
            c.alpha = entryAlpha(i);
        if (!palette && trns && (gray ? i == sample(3, 2, 0) : x == 0 && y == 0))
            c.alpha = 0;
        return c;
    };
    return Fixture{name,       data,
                   4,          w,
                   h,          palette || (gray && !alphaPlane) ? 8u : 24u,
                   alphaPlane, palette && trns == 1 ? 1 : -1,
                   0,          expected};
}

Bytes EncodeJpeg(int32_t width, int32_t height, int components, bool progressive, int quality,
                 const std::function<Rgba(int32_t, int32_t)>& pixel) {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    for (int i = 0; i < info.num_components; ++i)
        info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    Bytes line(static_cast<size_t>(width) * components);
    while (info.next_scanline < info.image_height) {
        for (int32_t x = 0; x < width; ++x) {
            // CMYK is stored as Adobe writes it: inverted, with no black.
            const Rgba c = pixel(x, info.next_scanline);
            const uint8_t values[4] = {c.red, c.green, c.blue, 255};
            std::copy(values, values + components, line.begin() + x * components);
        }
        JSAMPROW pointer = line.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

// Flat 8 x 8 blocks keep the lossy result close to the source.
Fixture Jpeg(std::string name, int components, bool progressive) {
    auto block = [=](int32_t x, int32_t y) {
        const Rgba c = PaletteColor(static_cast<uint32_t>(x / 8 + (y / 8) * 5));
        return components == 1 ? Rgba{c.red, c.red, c.red, 255} : c;
    };
    const Bytes data = EncodeJpeg(40, 24, components, progressive, 100, block);
    return Fixture{name, data, 3, 40, 24, components == 1 ? 8u : 24u, false, -1, 6, block};
}

// Icons: each entry a bitmap of double height with its AND mask, or PNG data.
struct IconImage {
    int32_t size;
    uint32_t bpp; // 0 for a PNG entry
    Bytes data;
};

Rgba IconExpected(int32_t x, int32_t y, uint32_t bpp) {
    Rgba c = bpp <= 8 ? PaletteColor(PatternIndex(x, y, 1u << bpp)) : PatternColor(x, y);
    c.alpha = bpp == 32 ? PatternAlpha(x, y) : (x + y) % 3 == 0 ? 0 : 255;
    return c;
}

IconImage IconBitmap(int32_t size, uint32_t bpp) {
    Bytes out = Info(40, size, size * 2, bpp, 0);
    PutPalette(out, bpp <= 8 ? 1u << bpp : 0);
    for (int32_t y = size - 1; y >= 0; --y) {
        const Bytes row = Row(size, bpp, [&](int32_t x) {
            const Rgba c = IconExpected(x, y, bpp);
            return bpp <= 8 ? PatternIndex(x, y, 1u << bpp) : Bgr(c) | c.alpha << 24;
        });
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int32_t y = size - 1; y >= 0; --y) {
        const Bytes mask = Row(size, 1, [&](int32_t x) { return bpp != 32 && (x + y) % 3 == 0; });
        out.insert(out.end(), mask.begin(), mask.end());
    }
    return IconImage{size, bpp, out};
}

Bytes IconFile(const std::vector<IconImage>& images, uint16_t type) {
    Bytes out;
    for (uint32_t value : {0u, uint32_t(type), uint32_t(images.size())})
        Put16(out, value);
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (const IconImage& image : images) {
        out.insert(out.end(), {uint8_t(image.size), uint8_t(image.size),
                               uint8_t(image.bpp && image.bpp <= 4 ? 1u << image.bpp : 0), 0});
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

Fixture Icon(std::string name, const std::vector<IconImage>& images, uint16_t type, int32_t size,
             uint32_t bpp) {
    const Bytes data = IconFile(images, type);
    const Expected expected = [bpp](int32_t x, int32_t y) { return IconExpected(x, y, bpp); };
    return Fixture{name, data, 5, size, size, bpp <= 8 ? bpp : 24, true, -1, 0, expected};
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
        [&](int32_t x, int32_t y, int channel) {
            const Rgba& c = pixels[static_cast<size_t>(y) * width + x];
            return channel == 0 ? c.red : channel == 1 ? c.green : channel == 2 ? c.blue : c.alpha;
        },
        nullptr);
}

std::vector<uint8_t> EncodeJpegRgb(int32_t width, int32_t height, const std::vector<Rgba>& pixels,
                                   bool progressive, int quality) {
    return EncodeJpeg(width, height, 3, progressive, quality, [&](int32_t x, int32_t y) {
        return pixels[static_cast<size_t>(y) * width + x];
    });
}

std::vector<uint8_t> BitmapHeaders(int32_t width, int32_t height, uint32_t bpp,
                                   uint32_t compression) {
    Bytes info = Info(40, width, height, bpp, compression);
    PutPalette(info, bpp <= 8 ? 1u << bpp : 0);
    return WithFileHeader(info, info.size());
}

std::vector<Fixture> AllFixtures() {
    std::vector<Fixture> all = {
        Bmp("bmp1", 19, 5, 1),
        Bmp("bmp4", 13, 7, 4),
        Bmp("bmp8", 13, 7, 8),
        Bmp("bmp8_topdown", 10, 4, 8, 40, true),
        Bmp("bmp8_core", 7, 3, 8, 12),
        Bmp("bmp8_rle", 23, 6, 8, 40, false, {}, true),
        Bmp("bmp4_rle", 23, 6, 4, 40, false, {}, true),
        Bmp("bmp16", 11, 6, 16),
        Bmp("bmp16_565", 11, 6, 16, 40, false, {0xF800, 0x07E0, 0x001F}),
        Bmp("bmp24", 9, 5, 24),
        Bmp("bmp24_topdown", 9, 5, 24, 40, true),
        Bmp("bmp32", 11, 6, 32),
        Bmp("bmp32_v5_alpha", 11, 6, 32, 124, false, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}),
    };
    const GifOptions gifs[] = {
        {"gif87a", false},
        {"gif89a_transparent", true, 12, 9, 4, 3},
        {"gif89a_interlaced_local", true, 12, 19, 4, -1, true, true},
        {"gif_two_colors", true, 12, 9, 1},
        {"gif_animation_first_frame", true, 12, 9, 4, -1, false, false, false, true},
        {"gif_large_table", true, 120, 90, 8, -1, false, false, true},
        {"gif_frame_inside_screen", true, 16, 12, 4, 5, false, false, false, false, 3, 2, 9, 7},
    };
    for (const GifOptions& gif : gifs)
        all.push_back(Gif(gif));

    const int gray = PNG_COLOR_TYPE_GRAY, rgb = PNG_COLOR_TYPE_RGB, pal = PNG_COLOR_TYPE_PALETTE;
    for (int depth : {1, 2, 4, 8, 16})
        all.push_back(Png("png_gray" + std::to_string(depth), gray, depth, false, 0, false));
    for (int depth : {8, 16}) {
        const std::string bits = std::to_string(depth);
        all.push_back(Png("png_gray_trns" + bits, gray, depth, false, 1, false));
        all.push_back(Png("png_gray_alpha" + bits, gray, depth, true, 0, false));
        all.push_back(Png("png_rgb" + bits, rgb, depth, false, 0, false));
        all.push_back(Png("png_rgba" + bits, rgb, depth, true, 0, false));
    }
    all.push_back(Png("png_rgb_trns8", rgb, 8, false, 1, false));
    all.push_back(Png("png_rgba_interlaced8", rgb, 8, true, 0, true));
    for (int depth : {1, 2, 4, 8})
        all.push_back(Png("png_palette" + std::to_string(depth), pal, depth, false, 0, false));
    all.push_back(Png("png_palette8_key", pal, 8, false, 1, false));
    all.push_back(Png("png_palette4_alpha", pal, 4, false, 2, false));

    all.push_back(Jpeg("jpeg_baseline", 3, false));
    all.push_back(Jpeg("jpeg_progressive", 3, true));
    all.push_back(Jpeg("jpeg_gray", 1, false));
    all.push_back(Jpeg("jpeg_cmyk", 4, false));

    all.push_back(Icon(
        "ico_largest_deepest",
        {IconBitmap(16, 8), IconBitmap(32, 4), IconBitmap(32, 32), IconBitmap(24, 24)}, 1, 32, 32));
    for (uint32_t bpp : {1u, 4u, 8u, 24u})
        all.push_back(Icon("ico_mask" + std::to_string(bpp), {IconBitmap(16, bpp)}, 1, 16, bpp));
    std::vector<Rgba> pixels;
    for (int32_t y = 0; y < 48; ++y)
        for (int32_t x = 0; x < 48; ++x)
            pixels.push_back(IconExpected(x, y, 32));
    all.push_back(
        Icon("ico_png_entry",
             {IconBitmap(32, 32), {48, 0, EncodePngRgba(48, 48, pixels)}, IconBitmap(16, 4)}, 1, 48,
             32));
    all.push_back(Icon("cur_cursor", {IconBitmap(32, 8)}, 2, 32, 8));
    return all;
}

} // namespace ImageFixtures
