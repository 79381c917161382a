// The manager's colour adjustment of the whole skin and its cache of images
// that draw items name by file path.
#include "Manager.h"

namespace Velmora {

namespace {

constexpr int32_t kMaxHueShift = 180;
constexpr int32_t kMaxPercent = 200;
// Asking for this hue shift puts the default adjustment back.
constexpr int32_t kResetHueShift = -1;

} // namespace

int CManager::AdjustColor(int32_t hueShift, int32_t saturation, int32_t lightness) {
    if (hueShift < -kMaxHueShift || hueShift > kMaxHueShift || saturation < 0 ||
        saturation > kMaxPercent || lightness < 0 || lightness > kMaxPercent)
        return 0;
    const ColorAdjustment requested{hueShift, saturation, lightness};
    if (requested == m_colorAdjustment)
        return 1;
    m_colorAdjustment = hueShift == kResetHueShift ? ColorAdjustment{} : requested;

    for (const std::unique_ptr<GDIImage>& image : m_images.Items())
        image->AdjustHSL(m_colorAdjustment.hue, m_colorAdjustment.saturation,
                         m_colorAdjustment.lightness);

    RedrawSkinnedWindows();
    return 1;
}

CVelmoraImage* CManager::FindFileImage(const std::string& name) const {
    auto found = m_fileImageByName.find(name);
    return found == m_fileImageByName.end() ? nullptr : found->second;
}

CVelmoraImage* CManager::GetFileImage(const std::string& name, bool reload) {
    if (CVelmoraImage* cached = FindFileImage(name)) {
        // A cached entry whose reload failed holds no picture; it is tried again.
        if (reload || !cached->GetImage())
            cached->Load(name, reload, FindImage(name));
        return cached->GetImage() ? cached : nullptr;
    }
    auto image = std::make_unique<CVelmoraImage>();
    if (!image->Load(name, false, FindImage(name)))
        return nullptr;
    CVelmoraImage* added = image.get();
    m_fileImages.push_back(std::move(image));
    m_fileImageByName.emplace(name, added);
    return added;
}

} // namespace Velmora
