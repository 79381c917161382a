// Small images of every format and variant the decoders accept, made in memory
// with known content so that decoded pixels can be compared exactly.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ImageFixtures {

struct Rgba {
    uint8_t red, green, blue, alpha;
};

struct Fixture {
    std::string name;
    std::vector<uint8_t> data;
    uint32_t format; // format id the data is in
    int32_t width;
    int32_t height;
    uint32_t bpp;       // depth the decoder should deliver
    bool alphaPlane;    // whether the decoder should deliver an alpha plane
    int32_t transColor; // transparent index or colour the decoder should set, -1 none
    int tolerance;      // per colour channel (JPEG is lossy)
    std::function<Rgba(int32_t x, int32_t y)> expected;
};

// Every fixture, in a fixed order.
std::vector<Fixture> AllFixtures();

std::vector<uint8_t> EncodePngRgba(int32_t width, int32_t height, const std::vector<Rgba>& pixels);
std::vector<uint8_t> EncodeJpegRgb(int32_t width, int32_t height, const std::vector<Rgba>& pixels,
                                   bool progressive, int quality);
// File and info headers and palette of a bitmap, for pixel data of the caller's own.
std::vector<uint8_t> BitmapHeaders(int32_t width, int32_t height, uint32_t bpp,
                                   uint32_t compression);

// The colour pattern most fixtures show.
Rgba PatternColor(int32_t x, int32_t y);
uint8_t PatternAlpha(int32_t x, int32_t y);

} // namespace ImageFixtures
