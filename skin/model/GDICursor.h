// A cursor of the skin, loaded from a .cur file or from the bytes of one.
#pragma once

#include "GDIObject.h"

#include <cstddef>

namespace Velmora {

class GDICursor : public GDIObject {
  public:
    GDICursor() = default;
    ~GDICursor() override;
    void Release() override;

    HCURSOR LoadCursorFile(const char* path);
    HCURSOR LoadCursorData(const void* bytes, size_t size);
    HCURSOR GetCursor() const { return static_cast<HCURSOR>(m_handle); }
};

} // namespace Velmora
