// Prints how fast the image layer blends and decodes compared with GDI's
// AlphaBlend and with libpng and libjpeg called directly, measured in one run.
#include "BenchClock.h"
#include "BenchImages.h"
#include "PixImage.h"

#include <windows.h>

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

using namespace Velmora;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// Best times of two pieces of work measured in alternating rounds, so that load
// from elsewhere on the machine falls on both alike; milliseconds per call.
std::pair<double, double> Compare(int rounds, int calls, const std::function<void()>& first,
                                  const std::function<void()>& second) {
    first();
    second();
    double best[2] = {1e30, 1e30};
    for (int round = 0; round < rounds; ++round) {
        for (int which = 0; which < 2; ++which) {
            const std::function<void()>& work = which == 0 ? first : second;
            const double start = Seconds();
            for (int i = 0; i < calls; ++i)
                work();
            best[which] = std::min(best[which], (Seconds() - start) * 1000.0 / calls);
        }
    }
    return {best[0], best[1]};
}

BenchImages::Rgba Photo(int x, int y) {
    // Smooth gradients with some noise: compresses like a skin picture.
    const uint32_t noise = (static_cast<uint32_t>(x * 7919 + y * 104729) * 2654435761u) >> 28;
    return BenchImages::Rgba{static_cast<uint8_t>(x * 255 / kWidth + noise),
                             static_cast<uint8_t>(y * 255 / kHeight + noise),
                             static_cast<uint8_t>((x + y) * 127 / kWidth), 255};
}

uint8_t PhotoAlpha(int x, int y) {
    return static_cast<uint8_t>((x / 4 + y / 3) % 256);
}

class DibCanvas {
  public:
    DibCanvas(int width, int height, int bpp) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = static_cast<WORD>(bpp);
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits),
                                  nullptr, 0);
        previous = SelectObject(dc, bitmap);
    }
    ~DibCanvas() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
    uint8_t* bits = nullptr;
};

void BenchBlend() {
    CPixImage image;
    image.Allocate(kWidth, kHeight, 24, PIXFORMAT_UNKNOWN);
    image.AlphaCreate();
    DibCanvas source(kWidth, kHeight, 32);
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* row = image.GetRow(y);
        uint8_t* alpha = image.GetAlphaRow(y);
        uint8_t* premultiplied = source.bits + static_cast<size_t>(y) * kWidth * 4;
        for (int x = 0; x < kWidth; ++x) {
            const BenchImages::Rgba c = Photo(x, y);
            const uint8_t a = PhotoAlpha(x, y);
            row[x * 3] = c.blue;
            row[x * 3 + 1] = c.green;
            row[x * 3 + 2] = c.red;
            alpha[x] = a;
            premultiplied[x * 4] = static_cast<uint8_t>(c.blue * a / 255);
            premultiplied[x * 4 + 1] = static_cast<uint8_t>(c.green * a / 255);
            premultiplied[x * 4 + 2] = static_cast<uint8_t>(c.red * a / 255);
            premultiplied[x * 4 + 3] = a;
        }
    }
    GdiFlush();
    DibCanvas target(kWidth, kHeight, 24);
    std::fill(target.bits, target.bits + static_cast<size_t>(kWidth) * kHeight * 3, 0x80);
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const auto [layer, gdi] = Compare(
        10, 10, [&] { image.PaintBlended(target.dc, 0, 0, -1, -1); },
        [&] {
            AlphaBlend(target.dc, 0, 0, kWidth, kHeight, source.dc, 0, 0, kWidth, kHeight, blend);
        });
    std::printf("blend 1024x768 with alpha: PaintBlended %.2f ms, AlphaBlend %.2f ms, ratio %.2f "
                "(goal <= 1.00)\n",
                layer, gdi, layer / gdi);
}

struct MemoryReader {
    const std::vector<uint8_t>* data;
    size_t position;
};

void ReadFromVector(png_structp png, png_bytep out, png_size_t length) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (reader->position + length > reader->data->size())
        png_error(png, "truncated");
    std::copy_n(reader->data->data() + reader->position, length, out);
    reader->position += length;
}

// libpng on its own: BGRA rows, the same work the layer asks of it.
bool DirectPng(const std::vector<uint8_t>& data, std::vector<uint8_t>& pixels) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{&data, 0};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, ReadFromVector);
    png_read_info(png, info);
    png_set_bgr(png);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    pixels.resize(rowBytes * height);
    for (png_uint_32 y = 0; y < height; ++y)
        png_read_row(png, pixels.data() + y * rowBytes, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

struct JpegFailure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void OnJpegFailure(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegFailure*>(info->err)->jump, 1);
}

// libjpeg on its own: BGR rows.
bool DirectJpeg(const std::vector<uint8_t>& data, std::vector<uint8_t>& pixels) {
    jpeg_decompress_struct info;
    JpegFailure failure;
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = OnJpegFailure;
    if (setjmp(failure.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    const size_t rowBytes = static_cast<size_t>(info.output_width) * 3;
    pixels.resize(rowBytes * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.data() + info.output_scanline * rowBytes;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

void BenchDecode() {
    std::vector<BenchImages::Rgba> pixels;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            BenchImages::Rgba c = Photo(x, y);
            c.alpha = PhotoAlpha(x, y);
            pixels.push_back(c);
        }
    const std::vector<uint8_t> png = BenchImages::EncodePngRgba(kWidth, kHeight, pixels);
    const std::vector<uint8_t> jpeg =
        BenchImages::EncodeJpegRgb(kWidth, kHeight, pixels, false, 90);
    const std::vector<uint8_t> progressive =
        BenchImages::EncodeJpegRgb(kWidth, kHeight, pixels, true, 90);

    struct Case {
        const char* name;
        const std::vector<uint8_t>* data;
        uint32_t format;
        bool (*direct)(const std::vector<uint8_t>&, std::vector<uint8_t>&);
    };
    const Case cases[] = {{"PNG RGBA", &png, PIXFORMAT_PNG, DirectPng},
                          {"JPEG baseline", &jpeg, PIXFORMAT_JPG, DirectJpeg},
                          {"JPEG progressive", &progressive, PIXFORMAT_JPG, DirectJpeg}};
    for (const Case& c : cases) {
        // Each decode delivers a new picture, as the layer does: no buffer is reused.
        const auto [layer, direct] = Compare(
            15, 4,
            [&] {
                CPixImage image;
                if (!image.ReadFromMemory(c.data->data(), c.data->size(), c.format))
                    std::printf("decode failed: %s\n", image.GetLastError());
            },
            [&] {
                std::vector<uint8_t> output;
                c.direct(*c.data, output);
            });
        std::printf(
            "decode %s 1024x768 (%u bytes): layer %.2f ms, library %.2f ms, overhead %+.1f %% "
            "(goal < 10 %%)\n",
            c.name, static_cast<unsigned>(c.data->size()), layer, direct,
            (layer / direct - 1.0) * 100.0);
    }
}

} // namespace

int main() {
    BenchBlend();
    BenchDecode();
    return 0;
}
