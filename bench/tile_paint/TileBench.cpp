// Prints the time of painting one tiled image item over 1920 x 1080 pixels
// with a 1 x 1 image against a 64 x 64 image, for an opaque image, one with
// an alpha plane and one with a transparent colour, and the ratio of the two
// (goal: at most 3, the work following the painted pixels, not the copies).
#include "BenchClock.h"
#include "DrawHelpers.h"
#include "Manager.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

using namespace Velmora;

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kRounds = 5;

enum class Look { Opaque, Alpha, Keyed };

GDIImage* AddImage(const std::string& id, int side, Look look) {
    auto image = std::make_unique<GDIImage>();
    if (!image->Allocate(side, side, 24, 0))
        return nullptr;
    for (int y = 0; y < side; ++y) {
        uint8_t* row = image->GetRow(y);
        for (int x = 0; x < side; ++x) {
            row[x * 3] = static_cast<uint8_t>(x * 4);
            row[x * 3 + 1] = static_cast<uint8_t>(y * 4);
            row[x * 3 + 2] = 200;
        }
    }
    if (look == Look::Alpha) {
        image->AlphaCreate();
        for (int y = 0; y < side; ++y)
            std::fill_n(image->GetAlphaRow(y), side, static_cast<uint8_t>(160));
    } else if (look == Look::Keyed) {
        image->SetTransparentColor(RGB(255, 255, 255));
    }
    image->SetId(id);
    return CManager::Instance()->Images().Add(std::move(image));
}

// Best time of painting the item over the whole canvas.
double PaintTime(HDC dc, const std::string& imageId) {
    ImageItem item;
    item.imageId = imageId;
    item.mode = IMAGEMODE_TILE;
    const RECT target = {0, 0, kWidth, kHeight};
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        const double start = Seconds();
        if (!CDrawImageHelper::PaintImage(*CManager::Instance(), nullptr, 1, dc, nullptr, item,
                                          target, SubItem{}, false)) {
            std::printf("FAILED: painting %s\n", imageId.c_str());
            return -1;
        }
        GdiFlush();
        best = std::min(best, Seconds() - start);
    }
    return best;
}

} // namespace

int main() {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dc || !canvas)
        return 1;
    HGDIOBJ previous = SelectObject(dc, canvas);

    std::printf("Tiled image item over %dx%d, best of %d paints\n", kWidth, kHeight, kRounds);
    std::printf("%8s %16s %16s %8s\n", "image", "1x1 ms", "64x64 ms", "ratio");
    int result = 0;
    const struct {
        const char* name;
        Look look;
    } looks[] = {{"opaque", Look::Opaque}, {"alpha", Look::Alpha}, {"keyed", Look::Keyed}};
    for (const auto& look : looks) {
        const std::string small = std::string(look.name) + ".1";
        const std::string large = std::string(look.name) + ".64";
        AddImage(small, 1, look.look);
        AddImage(large, 64, look.look);
        const double smallTime = PaintTime(dc, small);
        const double largeTime = PaintTime(dc, large);
        if (smallTime < 0 || largeTime < 0) {
            result = 1;
            continue;
        }
        std::printf("%8s %16.2f %16.2f %8.2f\n", look.name, smallTime * 1e3, largeTime * 1e3,
                    smallTime / largeTime);
    }
    std::printf("goal: ratio 1x1/64x64 <= 3\n");

    CManager::Destroy();
    SelectObject(dc, previous);
    DeleteObject(canvas);
    DeleteDC(dc);
    return result;
}
