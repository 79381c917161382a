#include "DrawFixture.h"

#include "Manager.h"

#include <algorithm>
#include <cstdlib>

using namespace Velmora;

namespace DrawTest {

namespace {

const char* RegisteredClass() {
    static const char* name = [] {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VelmoraDrawTestWindow";
        RegisterClassA(&windowClass);
        return windowClass.lpszClassName;
    }();
    return name;
}

} // namespace

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

void DrawTestBase::SetUp() {
    m_window = CreateWindowExA(0, RegisteredClass(), "Window text", WS_POPUP, 0, 0, kCanvasWidth,
                               kCanvasHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(m_window, nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kCanvasWidth;
    info.bmiHeader.biHeight = -kCanvasHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(m_bitmap, nullptr);
    m_bits = static_cast<uint32_t*>(bits);
    m_dc = CreateCompatibleDC(nullptr);
    m_previousBitmap = SelectObject(m_dc, m_bitmap);
    Clear();
}

void DrawTestBase::TearDown() {
    CManager::Destroy();
    if (m_dc) {
        SelectObject(m_dc, m_previousBitmap);
        DeleteDC(m_dc);
    }
    if (m_bitmap)
        DeleteObject(m_bitmap);
    if (m_window)
        DestroyWindow(m_window);
}

COLORREF DrawTestBase::Pixel(int x, int y) const {
    GdiFlush();
    const uint32_t value = m_bits[y * kCanvasWidth + x];
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

void DrawTestBase::Clear(COLORREF color) {
    GdiFlush();
    const uint32_t value = GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color);
    std::fill(m_bits, m_bits + kCanvasWidth * kCanvasHeight, value);
}

PaintedBox DrawTestBase::Find(const std::function<bool(COLORREF)>& test) const {
    PaintedBox box;
    box.left = kCanvasWidth;
    box.top = kCanvasHeight;
    for (int y = 0; y < kCanvasHeight; ++y) {
        for (int x = 0; x < kCanvasWidth; ++x) {
            if (!test(Pixel(x, y)))
                continue;
            ++box.count;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x + 1);
            box.bottom = std::max(box.bottom, y + 1);
        }
    }
    if (box.count == 0)
        box = PaintedBox();
    return box;
}

PaintedBox DrawTestBase::FindNot(COLORREF color) const {
    return Find([color](COLORREF pixel) { return pixel != color; });
}

PaintedBox DrawTestBase::FindColor(COLORREF color) const {
    return Find([color](COLORREF pixel) { return pixel == color; });
}

GDIImage* DrawTestBase::AddImage(const std::string& id, int width, int height,
                                 const std::function<COLORREF(int, int)>& colorAt) {
    auto image = std::make_unique<GDIImage>();
    if (!image->Allocate(width, height, 24, 0))
        return nullptr;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = image->GetRow(y);
        for (int x = 0; x < width; ++x) {
            const COLORREF color = colorAt(x, y);
            row[x * 3] = GetBValue(color);
            row[x * 3 + 1] = GetGValue(color);
            row[x * 3 + 2] = GetRValue(color);
        }
    }
    image->SetId(id);
    return CManager::Instance()->Images().Add(std::move(image));
}

TextItem* DrawTestBase::AddText(const std::string& id, const std::string& content, int left,
                                int top, COLORREF color) {
    auto item = std::make_unique<TextItem>();
    item->id = id;
    item->content = content;
    item->left = left;
    item->top = top;
    item->textColor = color;
    return Add(std::move(item));
}

ImageItem* DrawTestBase::AddImageItem(const std::string& id, const std::string& imageId, int mode) {
    auto item = std::make_unique<ImageItem>();
    item->id = id;
    item->imageId = imageId;
    item->mode = mode;
    return Add(std::move(item));
}

void DrawTestBase::Paint(DrawItemHeader* item, DrawItemKind kind, const RECT& target,
                         int windowKind) {
    static const CDrawLineHelper line;
    static const CDrawSurfaceHelper surface;
    static const CDrawTextHelper text;
    static const CDrawImageHelper image;
    const IDraw* painters[] = {nullptr, &line, &surface, &text, &image};
    painters[kind]->Paint(m_window, windowKind, m_dc, m_items, item, target, SubItem(), nullptr,
                          item->index);
}

} // namespace DrawTest
