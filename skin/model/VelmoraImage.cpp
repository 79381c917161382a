#include "VelmoraImage.h"

#include "GDIImage.h"

namespace Velmora {

CVelmoraImage::~CVelmoraImage() {
    Unbind();
}

void CVelmoraImage::Unbind() {
    m_image = nullptr;
    m_ownedImage.reset();
    m_owns = false;
}

bool CVelmoraImage::Load(const std::string& name, bool reload, GDIImage* skinImage) {
    // An owned picture is decoded again in place; a skin image is never
    // touched, the wrapper only binds to it again.
    if (reload && m_image && m_owns) {
        m_name = name;
        m_image->Destroy();
        if (m_image->ReadFromFile(m_name.c_str(), PIXFORMAT_UNKNOWN))
            return true;
        Unbind();
        return false;
    }
    if (!reload && m_image && name == m_name)
        return true;

    Unbind();
    m_name = name;
    if (skinImage) {
        m_image = skinImage;
        return true;
    }
    auto decoded = std::make_unique<GDIImage>();
    if (!decoded->ReadFromFile(m_name.c_str(), PIXFORMAT_UNKNOWN))
        return false;
    m_ownedImage = std::move(decoded);
    m_image = m_ownedImage.get();
    m_owns = true;
    return true;
}

int CVelmoraImage::GetWidth() const {
    return m_image ? m_image->GetWidth() : 0;
}

int CVelmoraImage::GetHeight() const {
    return m_image ? m_image->GetHeight() : 0;
}

bool CVelmoraImage::Tile(HDC dc, const RECT& rect) const {
    return m_image && m_image->PaintTiled(dc, rect);
}

bool CVelmoraImage::Draw(HDC dc, const RECT& rect) const {
    return m_image && m_image->PaintBlended(dc, rect, nullptr, false);
}

bool CVelmoraImage::Draw(HDC dc, int x, int y, int width, int height) const {
    return m_image && m_image->PaintBlended(dc, x, y, width, height, nullptr, false);
}

bool CVelmoraImage::Stretch(HDC dc, const RECT& rect) const {
    return m_image && m_image->PaintStretched(dc, rect, SRCCOPY);
}

bool CVelmoraImage::Stretch(HDC dc, int x, int y, int width, int height) const {
    return m_image && m_image->PaintStretched(dc, x, y, width, height, SRCCOPY);
}

} // namespace Velmora
