// A font of the skin, created from a description's font item.
#pragma once

#include "GDIObject.h"

namespace Velmora {

class GDIFont : public GDIObject {
  public:
    GDIFont() = default;
    ~GDIFont() override;
    void Release() override;

    HFONT CreateFontResource(const char* faceName, int height, bool bold, bool underline,
                             bool italic);
    HFONT GetFont() const { return static_cast<HFONT>(m_handle); }
};

} // namespace Velmora
