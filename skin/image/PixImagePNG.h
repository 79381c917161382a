// Decoder of PNG files through libpng: every colour type and depth, with
// transparency delivered as the alpha plane or, for a palette with one fully
// transparent entry, as the transparent colour.
#pragma once

#include "PixImage.h"

namespace Velmora {

struct PngDecodeState;

class CPixImagePNG : public CPixImage {
  public:
    bool Decode(CPixFile& file);

  private:
    bool DecodeRows(PngDecodeState& state);
};

} // namespace Velmora
