// Prints the time per draw item of painting a skinned generic window with 10,
// 100 and 1000 items, both the items alone into a memory device context and a
// whole WM_PAINT after a rebuild (also less the paint of an unskinned window,
// measured in the same run), and the ratio of the largest to the smallest
// count's time per item.
#include "BenchClock.h"
#include "Manager.h"
#include "Window.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace Velmora;

namespace {

constexpr int kWindowKind = 1;
constexpr int kClientWidth = 400;
constexpr int kClientHeight = 300;
constexpr int kCellWidth = 20;
constexpr int kCellHeight = 15;
constexpr COLORREF kFill = RGB(0, 160, 80);
constexpr COLORREF kBorder = RGB(200, 40, 40);
constexpr COLORREF kLine = RGB(40, 40, 220);
constexpr COLORREF kTextColor = RGB(250, 250, 0);
constexpr COLORREF kImageColor = RGB(255, 0, 255);
constexpr const char* kImageId = "bench.image";
constexpr const char* kFontId = "bench.font";
// Items painted per timed block, whatever the count per window.
constexpr int kItemsPerBlock = 20000;
constexpr int kRounds = 7;

const char* WindowClass() {
    static const char* name = [] {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = "VelmoraSkinPaintBench";
        RegisterClassA(&windowClass);
        return windowClass.lpszClassName;
    }();
    return name;
}

// The reference: a window that paints its client with one fill, which is what
// any paint costs before a skin draws anything.
LRESULT CALLBACK BareWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND)
        return 1;
    if (message != WM_PAINT)
        return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint = {};
    if (HDC dc = BeginPaint(window, &paint)) {
        PatBlt(dc, 0, 0, kClientWidth, kClientHeight, WHITENESS);
        EndPaint(window, &paint);
    }
    return 0;
}

const char* BareWindowClass() {
    static const char* name = [] {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = BareWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VelmoraSkinPaintBenchBare";
        RegisterClassA(&windowClass);
        return windowClass.lpszClassName;
    }();
    return name;
}

// A top-level frame at the slot'th place of a grid of three columns, on top,
// so that every paint reaches the screen, with a child of the client size.
HWND CreateFramedChild(int slot, const char* childClass, HWND& top) {
    RECT frame = {0, 0, kClientWidth + 20, kClientHeight + 20};
    AdjustWindowRect(&frame, WS_POPUP, FALSE);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    top = CreateWindowExA(WS_EX_TOPMOST, WindowClass(), "bench", WS_POPUP | WS_VISIBLE,
                          (slot % 3) * (width + 10), (slot / 3) * (height + 10), width, height,
                          nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    return CreateWindowExA(0, childClass, "", WS_CHILD | WS_VISIBLE, 10, 10, kClientWidth,
                           kClientHeight, top, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void AddResources() {
    CManager* manager = CManager::Instance();
    auto image = std::make_unique<GDIImage>();
    if (image->Allocate(16, 12, 24, 0)) {
        for (int y = 0; y < 12; ++y) {
            uint8_t* row = image->GetRow(y);
            for (int x = 0; x < 16; ++x) {
                row[x * 3] = GetBValue(kImageColor);
                row[x * 3 + 1] = GetGValue(kImageColor);
                row[x * 3 + 2] = GetRValue(kImageColor);
            }
        }
    }
    image->SetId(kImageId);
    manager->Images().Add(std::move(image));

    auto font = std::make_unique<GDIFont>();
    font->CreateFontResource("Tahoma", 12, false, false, false);
    font->SetId(kFontId);
    manager->Fonts().Add(std::move(font));
}

// A "commonctrl" description of `count` items on a grid of 20 x 15 cells, in
// turn a bordered box, a line, a text (every other one placed after the last
// image) and an image.
WindowInfo* AddDescription(const std::string& id, int count) {
    auto info = std::make_unique<WindowInfo>();
    info->id = id;
    std::string lastImage;
    for (int index = 0; index < count; ++index) {
        const int cell = index % ((kClientWidth / kCellWidth) * (kClientHeight / kCellHeight));
        const int x = (cell % (kClientWidth / kCellWidth)) * kCellWidth;
        const int y = (cell / (kClientWidth / kCellWidth)) * kCellHeight;
        const std::string itemId = "item." + std::to_string(index);
        switch (index % 4) {
        case 0: {
            auto box = std::make_unique<SurfaceItem>();
            box->upperLeftX = x + 1;
            box->upperLeftY = y + 1;
            box->lowerRightX = x + kCellWidth - 1;
            box->lowerRightY = y + kCellHeight - 1;
            box->borderWidth = 1;
            box->borderColor = kBorder;
            box->fillColor = kFill;
            box->id = itemId;
            box->index = index;
            info->drawItems.Add(std::move(box));
            break;
        }
        case 1: {
            auto line = std::make_unique<LineItem>();
            line->startX = x;
            line->startY = y + kCellHeight - 1;
            line->endX = x + kCellWidth - 1;
            line->endY = y;
            line->width = 1;
            line->lineColor = kLine;
            line->id = itemId;
            line->index = index;
            info->drawItems.Add(std::move(line));
            break;
        }
        case 2: {
            auto text = std::make_unique<TextItem>();
            text->left = x + 2;
            text->top = y + 1;
            text->content = "Ab" + std::to_string(index % 100);
            text->fontId = kFontId;
            text->textColor = kTextColor;
            if (index % 8 == 6 && !lastImage.empty())
                text->relativeId = lastImage;
            text->id = itemId;
            text->index = index;
            info->drawItems.Add(std::move(text));
            break;
        }
        default: {
            auto image = std::make_unique<ImageItem>();
            image->imageId = kImageId;
            image->mode = IMAGEMODE_NORMAL;
            image->left = x + 2;
            image->top = y + 2;
            image->id = itemId;
            image->index = index;
            lastImage = itemId;
            info->drawItems.Add(std::move(image));
            break;
        }
        }
    }
    return CManager::Instance()->Descriptions(DescriptionType::CommonCtrl).Add(std::move(info));
}

// A 32-bit DIB section of the client size in its own memory device context.
class CCanvas {
  public:
    CCanvas() {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kClientWidth;
        info.bmiHeader.biHeight = -kClientHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_bits = static_cast<const uint32_t*>(bits);
        m_dc = CreateCompatibleDC(nullptr);
        m_previous = SelectObject(m_dc, m_bitmap);
    }
    CCanvas(const CCanvas&) = delete;
    CCanvas& operator=(const CCanvas&) = delete;
    ~CCanvas() {
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    HDC Dc() const { return m_dc; }
    bool Valid() const { return m_dc && m_bits; }
    int Count(COLORREF color) const {
        GdiFlush();
        const uint32_t value = GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color);
        return static_cast<int>(
            std::count_if(m_bits, m_bits + kClientWidth * kClientHeight,
                          [value](uint32_t pixel) { return (pixel & 0xFFFFFF) == value; }));
    }
    // Smoothed text mixes its colour with the black background: red and
    // green without blue.
    int CountYellowish() const {
        GdiFlush();
        return static_cast<int>(
            std::count_if(m_bits, m_bits + kClientWidth * kClientHeight, [](uint32_t pixel) {
                return ((pixel >> 16) & 0xFF) > 60 && ((pixel >> 8) & 0xFF) > 60 &&
                       (pixel & 0xFF) < 20;
            }));
    }

  private:
    HBITMAP m_bitmap = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_previous = nullptr;
    const uint32_t* m_bits = nullptr;
};

struct Subject {
    int count = 0;
    HWND top = nullptr;
    HWND window = nullptr;
    CWindow* skin = nullptr;
    double bestItems = 1e30; // seconds per item, items alone
    double bestPaint = 1e30; // seconds per item, whole WM_PAINT
};

double TimeBlock(int calls, const std::function<void()>& work) {
    const double start = Seconds();
    for (int call = 0; call < calls; ++call)
        work();
    GdiFlush();
    return Seconds() - start;
}

bool Check(bool condition, const char* what, int count) {
    if (!condition)
        std::printf("FAILED: %s (%d items)\n", what, count);
    return condition;
}

} // namespace

int main() {
    AddResources();
    const int counts[] = {10, 100, 1000};
    std::vector<Subject> subjects;
    for (int count : counts) {
        Subject subject;
        subject.count = count;
        const std::string id = "bench.commonctrl." + std::to_string(count);
        AddDescription(id, count);
        subject.window =
            CreateFramedChild(static_cast<int>(subjects.size()), WindowClass(), subject.top);
        CManager::Instance()->SkinWindow(subject.window, kWindowKind, id.c_str(), false);
        subject.skin = CManager::Instance()->FindSkinObject(subject.window, kWindowKind);
        if (!Check(subject.skin != nullptr, "window not skinned", count))
            return 1;
        // Texts a program changed at run time are looked up while painting.
        for (int index = 2; index < count; index += 20) {
            const std::string item = "item." + std::to_string(index);
            CManager::Instance()->SetDrawItemValue(subject.window, kWindowKind, item.c_str(),
                                                   "Set");
        }
        subjects.push_back(subject);
    }
    HWND bareTop = nullptr;
    HWND bare = CreateFramedChild(3, BareWindowClass(), bareTop);
    double bestBare = 1e30; // seconds per paint
    PumpMessages();

    CCanvas canvas;
    if (!canvas.Valid())
        return 1;
    const RECT client = {0, 0, kClientWidth, kClientHeight};
    // Every kind of item must really be painted, or the figures mean nothing.
    for (Subject& subject : subjects) {
        PatBlt(canvas.Dc(), 0, 0, kClientWidth, kClientHeight, BLACKNESS);
        subject.skin->PaintItems(canvas.Dc(), kWindowKind, subject.skin->GetInfo()->drawItems,
                                 STATE_ALL, client, -1, -1, nullptr);
        bool painted = Check(canvas.Count(kFill) > 0, "no box", subject.count) &&
                       Check(canvas.Count(kLine) > 0, "no line", subject.count) &&
                       Check(canvas.CountYellowish() > 0, "no text", subject.count) &&
                       Check(canvas.Count(kImageColor) > 0, "no image", subject.count);
        subject.skin->Redraw(true, nullptr);
        HDC windowDc = GetDC(subject.window);
        painted = painted &&
                  Check(GetPixel(windowDc, 5, 5) == kFill, "window not painted", subject.count);
        ReleaseDC(subject.window, windowDc);
        if (!painted)
            return 1;
    }

    // Rounds alternate between the counts, so that load from elsewhere on the
    // machine falls on all of them alike; the best block of each counts.
    for (int round = 0; round < kRounds; ++round) {
        for (Subject& subject : subjects) {
            const int calls = std::max(1, kItemsPerBlock / subject.count);
            const double items = static_cast<double>(calls) * subject.count;
            const double itemsTime = TimeBlock(calls, [&] {
                subject.skin->PaintItems(canvas.Dc(), kWindowKind,
                                         subject.skin->GetInfo()->drawItems, STATE_ALL, client, -1,
                                         -1, nullptr);
            });
            subject.bestItems = std::min(subject.bestItems, itemsTime / items);
            const double paintTime = TimeBlock(calls, [&] { subject.skin->Redraw(true, nullptr); });
            subject.bestPaint = std::min(subject.bestPaint, paintTime / items);
        }
        const int bareCalls = kItemsPerBlock / subjects.front().count;
        const double bareTime = TimeBlock(bareCalls, [bare] {
            InvalidateRect(bare, nullptr, TRUE);
            UpdateWindow(bare);
        });
        bestBare = std::min(bestBare, bareTime / bareCalls);
        PumpMessages();
    }

    std::printf("Skinned generic window %dx%d, mixed box/line/text/image items, best of %d "
                "rounds of %d items\n",
                kClientWidth, kClientHeight, kRounds, kItemsPerBlock);
    std::printf("unskinned window's WM_PAINT (one fill): %.3f ms/paint\n", bestBare * 1e3);
    std::printf("%8s %20s %20s %20s %24s\n", "items", "PaintItems us/item", "WM_PAINT us/item",
                "WM_PAINT ms/paint", "beyond unskinned us/item");
    for (const Subject& subject : subjects)
        std::printf("%8d %20.3f %20.3f %20.3f %24.3f\n", subject.count, subject.bestItems * 1e6,
                    subject.bestPaint * 1e6, subject.bestPaint * subject.count * 1e3,
                    (subject.bestPaint * subject.count - bestBare) * 1e6 / subject.count);
    const Subject& smallest = subjects.front();
    const Subject& largest = subjects.back();
    std::printf("ratio per-item(%d)/per-item(%d): PaintItems %.2f, WM_PAINT %.2f (goal <= 1.5)\n",
                largest.count, smallest.count, largest.bestItems / smallest.bestItems,
                largest.bestPaint / smallest.bestPaint);

    for (const Subject& subject : subjects)
        DestroyWindow(subject.top);
    DestroyWindow(bareTop);
    PumpMessages();
    CManager::Destroy();
    return 0;
}
