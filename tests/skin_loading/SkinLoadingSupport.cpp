#include "SkinLoadingSupport.h"

#include <fstream>

using namespace Velmora;

namespace {

void PutLittleEndian(std::string& bytes, uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

} // namespace

std::string MakeBmp(int width, int height, uint32_t color) {
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t pixelBytes = static_cast<uint32_t>(stride * height);
    std::string bmp = "BM";
    PutLittleEndian(bmp, 54 + pixelBytes, 4);
    PutLittleEndian(bmp, 0, 4);
    PutLittleEndian(bmp, 54, 4);
    PutLittleEndian(bmp, 40, 4);
    PutLittleEndian(bmp, static_cast<uint32_t>(width), 4);
    PutLittleEndian(bmp, static_cast<uint32_t>(height), 4);
    PutLittleEndian(bmp, 1, 2);
    PutLittleEndian(bmp, 24, 2);
    PutLittleEndian(bmp, 0, 4);
    PutLittleEndian(bmp, pixelBytes, 4);
    PutLittleEndian(bmp, 2835, 4);
    PutLittleEndian(bmp, 2835, 4);
    PutLittleEndian(bmp, 0, 4);
    PutLittleEndian(bmp, 0, 4);
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            row += static_cast<char>((color >> 16) & 0xFF);
            row += static_cast<char>((color >> 8) & 0xFF);
            row += static_cast<char>(color & 0xFF);
        }
        row.resize(static_cast<size_t>(stride), '\0');
        bmp += row;
    }
    return bmp;
}

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

bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    return file && file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
