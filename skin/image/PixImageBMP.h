// Decoder of Windows bitmap files: 1, 4, 8, 16, 24 and 32 bits per pixel,
// RLE4, RLE8 and bit-field layouts, bottom-up or top-down rows.
#pragma once

#include "PixImage.h"

namespace Velmora {

class CPixImageBMP : public CPixImage {
  public:
    bool Decode(CPixFile& file);
    // A bitmap without file header as icons hold it: its header's height counts
    // the colour rows and the transparency mask rows that follow them.
    bool DecodeIconBitmap(const uint8_t* data, size_t size);

  private:
    bool DecodeBitmap(const uint8_t* data, size_t size, size_t bitsOffset, bool icon);
};

} // namespace Velmora
