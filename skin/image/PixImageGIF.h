// Decoder of GIF87a and GIF89a files: the first frame on the logical screen,
// as an 8-bit palette image whose transparent colour is the frame's
// transparent index.
#pragma once

#include "PixImage.h"

#include <vector>

namespace Velmora {

class CPixImageGIF : public CPixImage {
  public:
    bool Decode(CPixFile& file);

  private:
    bool ReadSubBlocks(CPixFile& file, std::vector<uint8_t>* data);
};

} // namespace Velmora
