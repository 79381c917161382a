// Fuzz target: any bytes through ReadFromMemory with every decoder tried.
#include "PixImage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Velmora::CPixImage image;
    if (!image.ReadFromMemory(data, size, Velmora::PIXFORMAT_UNKNOWN))
        return 0;
    // Pixels and alpha bytes all over a decoded image must be readable; a sparse
    // grid keeps large pictures quick.
    const int32_t stepX = image.GetWidth() / 61 + 1;
    const int32_t stepY = image.GetHeight() / 61 + 1;
    uint32_t sum = 0;
    for (int32_t y = 0; y < image.GetHeight(); y += stepY)
        for (int32_t x = 0; x < image.GetWidth(); x += stepX) {
            const Velmora::PixRgbQuad pixel = image.GetPixelColor(x, y);
            sum += pixel.red + pixel.green + pixel.blue + pixel.alpha;
        }
    volatile uint32_t sink = sum;
    (void)sink;
    return 0;
}
