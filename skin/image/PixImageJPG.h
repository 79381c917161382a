// Decoder of baseline and progressive JPEG files through libjpeg; grey images
// become 8-bit grey palette images, everything else 24-bit.
#pragma once

#include "PixImage.h"

namespace Velmora {

struct JpegDecodeState;

class CPixImageJPG : public CPixImage {
  public:
    bool Decode(CPixFile& file);

  private:
    bool DecodeRows(JpegDecodeState& state);
};

} // namespace Velmora
