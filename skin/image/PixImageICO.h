// Decoder of icon and cursor files: the largest and then deepest entry, stored
// as a bitmap with its mask or as PNG data.
#pragma once

#include "PixImage.h"

namespace Velmora {

class CPixImageICO : public CPixImage {
  public:
    bool Decode(CPixFile& file);
};

} // namespace Velmora
