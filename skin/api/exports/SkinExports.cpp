// Exported functions that load and release a skin, skin windows, change their
// draw items and colours, and draw skin images. Each checks its arguments and
// hands the call to the manager; a failure inside (running out of memory)
// gives the function's failure value and never reaches the program.
#include "DrawHelpers.h"
#include "ErrorBarrier.h"
#include "Manager.h"
#include "Menu.h"
#include "ScrollBarInterception.h"
#include "Velmora.h"
#include "Window.h"

namespace {

using Velmora::CallGuarded;
using Velmora::CManager;

constexpr int kMaxHueShift = 180;
constexpr unsigned int kMaxPercent = 200;

int Width(const RECT& rect) {
    return rect.right - rect.left;
}
int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

} // namespace

extern "C" {

int VELMORA_CALL LoadSkin(const char* name, int mode) {
    return CallGuarded(0, [&] {
        if (!name)
            return 0;
        if (mode == VELMORA_SKIN_FOLDER)
            CManager::Instance()->LoadSkinFolder(name);
        else if (mode == VELMORA_SKIN_FILE)
            CManager::Instance()->LoadSkinFile(name);
        else
            return 0;
        Velmora::InstallScrollBarInterception();
        // A skin that failed to load leaves the program running unskinned.
        return 1;
    });
}

int VELMORA_CALL LoadSkinFromResource(const char* resourceName, const char* resourceType) {
    return CallGuarded(0, [&] {
        if (!resourceName || !resourceType)
            return 0;
        Velmora::InstallScrollBarInterception();
        return CManager::Instance()->LoadSkinFromResource(resourceName, resourceType);
    });
}

void VELMORA_CALL Cleanup(void) {
    CallGuarded([&] {
        Velmora::RemoveScrollBarInterception();
        Velmora::CMenu::Destroy();
        CManager::Destroy();
    });
}

void VELMORA_CALL SkinWindow(HWND window, int kind, const char* descriptionId, int recursive) {
    CallGuarded([&] {
        if (!window)
            return;
        CManager::Instance()->SkinWindow(window, kind, descriptionId, recursive != 0);
    });
}

int VELMORA_CALL SetSelfPaint(HWND window, VelmoraSelfPaint* setting, int value) {
    return CallGuarded(0, [&] {
        if (!window || !setting)
            return 0;
        return CManager::Instance()->SetSelfPaint(window, setting, value);
    });
}

int VELMORA_CALL SetDrawItemValue(HWND window, int kind, const char* id, const char* value) {
    return CallGuarded(0, [&] {
        if (!window || !id || !value)
            return 0;
        return CManager::Instance()->SetDrawItemValue(window, kind, id, value);
    });
}

int VELMORA_CALL SetDrawItemVisible(HWND window, int kind, const char* id, int visible) {
    return CallGuarded(0, [&] {
        if (!window || !id)
            return 0;
        return CManager::Instance()->SetDrawItemVisible(window, kind, id, visible != 0);
    });
}

int VELMORA_CALL AdjustColor(int hueShift, unsigned int saturation, unsigned int lightness) {
    return CallGuarded(0, [&] {
        if (hueShift < -kMaxHueShift || hueShift > kMaxHueShift || saturation > kMaxPercent ||
            lightness > kMaxPercent)
            return 0;
        return CManager::Instance()->AdjustColor(hueShift, static_cast<int32_t>(saturation),
                                                 static_cast<int32_t>(lightness));
    });
}

// The stretching follows from comparing the source's size with the destination's;
// without a source the whole image is stretched over the destination.
int VELMORA_CALL DrawImage(const char* imageId, HDC dc, const RECT* destination, const RECT* source,
                           int option) {
    return CallGuarded(0, [&] {
        if (!imageId || !dc || !destination)
            return 0;
        Velmora::ImageItem item;
        item.imageId = imageId;
        if (source) {
            item.region = {source->left, source->top, Width(*source), Height(*source)};
            const bool widthDiffers = Width(*source) != Width(*destination);
            const bool heightDiffers = Height(*source) != Height(*destination);
            if (widthDiffers && heightDiffers)
                item.mode = Velmora::IMAGEMODE_STRETCHBOTH;
            else if (heightDiffers)
                item.mode = Velmora::IMAGEMODE_STRETCHVERT;
            else if (widthDiffers)
                item.mode = Velmora::IMAGEMODE_STRETCHHORZ;
            else
                item.mode = Velmora::IMAGEMODE_NORMAL;
        } else {
            item.mode = Velmora::IMAGEMODE_STRETCHBOTH;
        }
        return Velmora::CDrawImageHelper::PaintImage(*CManager::Instance(), nullptr, 0, dc, nullptr,
                                                     item, *destination, Velmora::SubItem{},
                                                     option != 0)
                   ? 1
                   : 0;
    });
}

} // extern "C"
