// Pictures for the benchmarks, encoded with libpng and libjpeg in memory.
#pragma once

#include <png.h>

#include <cstdio>
#include <jpeglib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace BenchImages {

struct Rgba {
    uint8_t red, green, blue, alpha;
};

// An 8-bit RGBA PNG of rows from the top.
inline std::vector<uint8_t> EncodePngRgba(int32_t width, int32_t height,
                                          const std::vector<Rgba>& pixels) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr))
        return {};
    std::vector<uint8_t> out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr))
        return {};
    out.resize(size);
    return out;
}

// An RGB JPEG of the colours (alpha ignored, no chroma subsampling), baseline or progressive.
inline std::vector<uint8_t> EncodeJpegRgb(int32_t width, int32_t height,
                                          const std::vector<Rgba>& pixels, bool progressive,
                                          int quality) {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    for (int i = 0; i < info.num_components; ++i)
        info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> line(static_cast<size_t>(width) * 3);
    while (info.next_scanline < info.image_height) {
        const Rgba* row = pixels.data() + static_cast<size_t>(info.next_scanline) * width;
        for (int32_t x = 0; x < width; ++x) {
            line[x * 3] = row[x].red;
            line[x * 3 + 1] = row[x].green;
            line[x * 3 + 2] = row[x].blue;
        }
        JSAMPROW pointer = line.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

} // namespace BenchImages
