#include "SkinLoadingSupport.h"

using namespace Velmora;

std::string MakeDescription(const std::vector<std::pair<std::string, std::string>>& images,
                            const std::string& dialogId) {
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<theme>\r\n<image>\r\n";
    for (const auto& [id, file] : images)
        text += "<item id=\"" + id + "\" file=\"" + file + "\"/>\r\n";
    text += "</image>\r\n";
    if (!dialogId.empty()) {
        text += "<window><item id=\"" + dialogId +
                "\" type=\"dialog\"><property left=\"0\" top=\"0\" width=\"120\" "
                "height=\"80\"/></item></window>\r\n";
    }
    text += "</theme>\r\n";
    return text;
}

uint32_t LoadedImageColor(const std::string& id) {
    GDIImage* image = CManager::Instance()->FindImage(id);
    if (!image || !image->IsValid())
        return 0xFFFFFFFF;
    const PixRgbQuad pixel = image->GetPixelColor(0, 0);
    return static_cast<uint32_t>(pixel.red) | static_cast<uint32_t>(pixel.green) << 8 |
           static_cast<uint32_t>(pixel.blue) << 16;
}

std::vector<std::string> EntryNames() {
    std::vector<std::string> names;
    for (const auto& entry : CManager::Instance()->Entries())
        names.push_back(entry->name);
    return names;
}
