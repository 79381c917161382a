#include "GDIImage.h"

#include "ColorAdjust.h"

namespace Velmora {

namespace {

uint32_t ToColorRef(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint32_t>(red) | static_cast<uint32_t>(green) << 8 |
           static_cast<uint32_t>(blue) << 16;
}

struct HslAdjustment {
    float hueShift;
    float saturationFactor;
    float lightnessFactor;
    // The default adjustment gives back the decoded colours exactly instead of
    // sending them through the lossy conversion.
    bool identity;

    uint32_t Apply(uint32_t color) const {
        if (identity)
            return color;
        const HslColor hsl = RgbToHsl(static_cast<uint8_t>(color), static_cast<uint8_t>(color >> 8),
                                      static_cast<uint8_t>(color >> 16));
        return HslToRgb(hsl.hue + hueShift, hsl.saturation * saturationFactor,
                        hsl.lightness * lightnessFactor);
    }
};

} // namespace

GDIImage::~GDIImage() {
    GDIImage::Release();
}

void GDIImage::Release() {
    std::vector<uint32_t>().swap(m_savedPixels);
    std::vector<uint32_t>().swap(m_savedPalette);
}

void GDIImage::AdjustHSL(int32_t hueShift, int32_t saturation, int32_t lightness) {
    if (!m_adjust || !IsValid())
        return;
    ++m_changeCount;
    const HslAdjustment adjustment{static_cast<float>(hueShift), saturation / 100.0f,
                                   lightness / 100.0f,
                                   hueShift == 0 && saturation == 100 && lightness == 100};
    const int32_t width = GetWidth();
    const int32_t height = GetHeight();

    if (PixRgbQuad* palette = GetPalette()) {
        const uint32_t colors = GetNumColors();
        // A base of another size belongs to a picture decoded before this one.
        if (m_savedPalette.size() != colors) {
            m_savedPalette.resize(colors);
            for (uint32_t i = 0; i < colors; ++i)
                m_savedPalette[i] = ToColorRef(palette[i].red, palette[i].green, palette[i].blue);
        }
        for (uint32_t i = 0; i < colors; ++i) {
            const uint32_t base = m_savedPalette[i];
            const uint32_t color = base == m_transparentColor ? base : adjustment.Apply(base);
            palette[i].red = static_cast<uint8_t>(color);
            palette[i].green = static_cast<uint8_t>(color >> 8);
            palette[i].blue = static_cast<uint8_t>(color >> 16);
        }
        return;
    }
    if (GetBpp() != 24)
        return;

    const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (m_savedPixels.size() != pixelCount) {
        m_savedPixels.resize(pixelCount);
        for (int32_t top = 0; top < height; ++top) {
            const uint8_t* row = GetRow(top);
            uint32_t* saved = &m_savedPixels[static_cast<size_t>(top) * width];
            for (int32_t x = 0; x < width; ++x, row += 3)
                saved[x] = ToColorRef(row[2], row[1], row[0]);
        }
    }
    for (int32_t top = 0; top < height; ++top) {
        uint8_t* row = GetRow(top);
        const uint32_t* saved = &m_savedPixels[static_cast<size_t>(top) * width];
        for (int32_t x = 0; x < width; ++x, row += 3) {
            const uint32_t base = saved[x];
            const uint32_t color = base == m_transparentColor ? base : adjustment.Apply(base);
            row[0] = static_cast<uint8_t>(color >> 16);
            row[1] = static_cast<uint8_t>(color >> 8);
            row[2] = static_cast<uint8_t>(color);
        }
    }
}

} // namespace Velmora
