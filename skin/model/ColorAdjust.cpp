#include "ColorAdjust.h"

#include <algorithm>

namespace Velmora {

namespace {

// A colour fraction as a byte: truncated toward zero, kept within 0..255.
uint8_t ToChannel(float value) {
    const float channel = value * 255.0f;
    if (!(channel > 0.0f))
        return 0;
    if (channel >= 255.0f)
        return 255;
    return static_cast<uint8_t>(channel);
}

} // namespace

HslColor RgbToHsl(uint8_t red, uint8_t green, uint8_t blue) {
    const float r = red;
    const float g = green;
    const float b = blue;
    const float max = std::max(r, std::max(g, b));
    const float min = std::min(r, std::min(g, b));
    HslColor hsl;
    hsl.lightness = (max + min) / 510.0f;
    if (max == min)
        return hsl;

    const float d = max - min;
    hsl.saturation = hsl.lightness <= 0.5f ? d / (max + min) : d / (510.0f - max - min);
    // When two channels share the maximum, the later test decides the hue.
    float hue = 0;
    if (r == max)
        hue = ((max - b) / d + 6.0f - (max - g) / d) * 60.0f;
    if (g == max)
        hue = (2.0f + (max - r) / d - (max - b) / d) * 60.0f;
    if (b == max)
        hue = ((max - g) / d + 4.0f - (max - r) / d) * 60.0f;
    if (hue > 360.0f)
        hue -= 360.0f;
    hsl.hue = hue;
    return hsl;
}

uint8_t HueToChannel(float p, float q, float hue) {
    if (hue > 360.0f)
        hue -= 360.0f;
    else if (hue < 0.0f)
        hue += 360.0f;

    float value = p;
    if (hue < 60.0f)
        value = p + (q - p) * hue / 60.0f;
    else if (hue < 180.0f)
        value = q;
    else if (hue < 240.0f)
        value = p + (q - p) * (240.0f - hue) / 60.0f;
    return ToChannel(value);
}

uint32_t HslToRgb(float hue, float saturation, float lightness) {
    lightness = std::min(lightness, 1.0f);
    saturation = std::min(saturation, 1.0f);
    if (saturation == 0.0f) {
        const uint32_t grey = ToChannel(lightness);
        return grey | grey << 8 | grey << 16;
    }
    const float q = lightness <= 0.5f ? lightness * (1.0f + saturation)
                                      : lightness + saturation - lightness * saturation;
    const float p = 2.0f * lightness - q;
    const uint32_t red = HueToChannel(p, q, hue + 120.0f);
    const uint32_t green = HueToChannel(p, q, hue);
    const uint32_t blue = HueToChannel(p, q, hue - 120.0f);
    return red | green << 8 | blue << 16;
}

} // namespace Velmora
