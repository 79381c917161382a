// An image of the skin: a decoded picture with the skin's transparent colour,
// its part in the colour adjustment and the colours it was decoded with.
#pragma once

#include "GDIObject.h"
#include "PixImage.h"

#include <cstdint>
#include <vector>

namespace Velmora {

class GDIImage : public CPixImage, public GDIObject {
  public:
    GDIImage() = default;
    ~GDIImage() override;
    void Release() override;

    bool GetAdjust() const { return m_adjust; }
    void SetAdjust(bool adjust) { m_adjust = adjust; }
    // A COLORREF; kNoColor when the image has none.
    uint32_t GetTransparentColor() const { return m_transparentColor; }
    void SetTransparentColor(uint32_t color) { m_transparentColor = color; }

    // Re-colours the picture from the colours it was decoded with.
    void AdjustHSL(int32_t hueShift, int32_t saturation, int32_t lightness);
    // Grows with every re-colouring, so that copies made of the pixels can
    // tell that they are out of date.
    uint32_t GetChangeCount() const { return m_changeCount; }

  private:
    bool m_adjust = true;
    uint32_t m_transparentColor = 0xFFFFFFFF;
    uint32_t m_changeCount = 0;
    std::vector<uint32_t> m_savedPixels;
    std::vector<uint32_t> m_savedPalette;
};

} // namespace Velmora
