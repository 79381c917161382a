// Skin images made by a test: 24-bit pictures whose every pixel it gives,
// added to the skin manager under an id, and description files read into the
// manager's skin (for the tests that link the library).
#pragma once

#include "GDIImage.h"
#include "Manager.h"
#include "SkinDescription.h"
#include "XmlDocument.h"

#include <functional>
#include <memory>
#include <string>

inline std::function<COLORREF(int, int)> Solid(COLORREF color) {
    return [color](int, int) { return color; };
}

inline Velmora::GDIImage* AddSkinImage(const std::string& id, int width, int height,
                                       const std::function<COLORREF(int, int)>& colorAt) {
    auto image = std::make_unique<Velmora::GDIImage>();
    if (!image->Allocate(width, height, 24, 0))
        return nullptr;
    for (int y = 0; y < height; ++y) {
        uint8_t* pixel = image->GetRow(y);
        for (int x = 0; x < width; ++x, pixel += 3) {
            const COLORREF color = colorAt(x, y);
            pixel[0] = GetBValue(color);
            pixel[1] = GetGValue(color);
            pixel[2] = GetRValue(color);
        }
    }
    image->SetId(id);
    return Velmora::CManager::Instance()->Images().Add(std::move(image));
}

// Reads a description file into the manager's skin; its pictures lie in
// `folder`, or its items' ids take `prefix`.
inline bool LoadSkinDescription(const char* path, const char* folder, const char* prefix) {
    Velmora::CXmlDocument document;
    return document.LoadFile(path) && Velmora::ParseSkinDescription(*Velmora::CManager::Instance(),
                                                                    document, folder, prefix) == 1;
}
