// Hue, saturation and lightness conversions of the skin's colour adjustment,
// in single precision, and the adjustment values the manager keeps.
#pragma once

#include <cstdint>

namespace Velmora {

struct ColorAdjustment {
    int32_t hue = 0;
    int32_t saturation = 100;
    int32_t lightness = 100;

    bool operator==(const ColorAdjustment& other) const {
        return hue == other.hue && saturation == other.saturation && lightness == other.lightness;
    }
    bool operator!=(const ColorAdjustment& other) const { return !(*this == other); }
};

struct HslColor {
    float hue = 0;
    float saturation = 0;
    float lightness = 0;
};

HslColor RgbToHsl(uint8_t red, uint8_t green, uint8_t blue);
// Returns a COLORREF: red in the low byte.
uint32_t HslToRgb(float hue, float saturation, float lightness);
uint8_t HueToChannel(float p, float q, float hue);

} // namespace Velmora
