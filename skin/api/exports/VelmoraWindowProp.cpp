// The exported window mark that keeps a window out of recursive skinning.
#include "Velmora.h"

namespace Velmora {

CVelmoraWindowProp::CVelmoraWindowProp() : m_window(nullptr) {}

CVelmoraWindowProp::CVelmoraWindowProp(HWND window) : m_window(nullptr) {
    SetPropA(window);
}

CVelmoraWindowProp::CVelmoraWindowProp(const CVelmoraWindowProp& other)
    : m_window(other.m_window) {}

CVelmoraWindowProp::~CVelmoraWindowProp() {
    if (m_window)
        RemovePropA(m_window, VELMORA_NO_SKIN_PROPERTY);
    m_window = nullptr;
}

CVelmoraWindowProp& CVelmoraWindowProp::operator=(const CVelmoraWindowProp& other) {
    m_window = other.m_window;
    return *this;
}

// A mark that someone else set is not ours to take away later.
void CVelmoraWindowProp::SetPropA(HWND window) {
    m_window = nullptr;
    if (window && !GetPropA(window, VELMORA_NO_SKIN_PROPERTY) &&
        ::SetPropA(window, VELMORA_NO_SKIN_PROPERTY, window))
        m_window = window;
}

int CVelmoraWindowProp::IsSet() const {
    return m_window && GetPropA(m_window, VELMORA_NO_SKIN_PROPERTY) ? 1 : 0;
}

} // namespace Velmora
