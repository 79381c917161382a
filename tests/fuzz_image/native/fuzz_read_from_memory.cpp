// Fuzz target: any bytes through ReadFromMemory with every decoder tried.
#include "PixImage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Velmora::CPixImage image;
    if (!image.ReadFromMemory(data, size, Velmora::PIXFORMAT_UNKNOWN))
        return 0;
    // Every pixel and alpha byte of a decoded image must be readable.
    uint32_t sum = 0;
    for (int32_t y = 0; y < image.GetHeight(); ++y)
        for (int32_t x = 0; x < image.GetWidth(); x += 7) {
            const Velmora::PixRgbQuad pixel = image.GetPixelColor(x, y);
            sum += pixel.red + pixel.green + pixel.blue + pixel.alpha;
        }
    volatile uint32_t sink = sum;
    (void)sink;
    return 0;
}
