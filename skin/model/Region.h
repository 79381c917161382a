// A window region cut out of a bitmap: every pixel that differs from the clip
// colour is inside.
#pragma once

#include <windows.h>

#include <cstdint>

namespace Velmora {

class CRegion {
  public:
    CRegion() = default;
    CRegion(const CRegion&) = delete;
    CRegion& operator=(const CRegion&) = delete;
    virtual ~CRegion();

    HRGN CreateFromBitmap(HBITMAP bitmap, COLORREF clipColor);
    HRGN GetHandle() const { return m_region; }
    // Hands the region to a caller (SetWindowRgn takes it over).
    HRGN Detach();

    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;

  private:
    HRGN m_region = nullptr;
};

} // namespace Velmora
