#include "GDIFont.h"

namespace Velmora {

GDIFont::~GDIFont() {
    GDIFont::Release();
}

void GDIFont::Release() {
    if (m_handle) {
        DeleteObject(m_handle);
        m_handle = nullptr;
    }
}

HFONT GDIFont::CreateFontResource(const char* faceName, int height, bool bold, bool underline,
                                  bool italic) {
    Release();
    HFONT font = CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, underline, FALSE,
                             DEFAULT_CHARSET, OUT_STRING_PRECIS, CLIP_CHARACTER_PRECIS,
                             DEFAULT_QUALITY, 0, faceName);
    m_handle = font;
    return font;
}

} // namespace Velmora
