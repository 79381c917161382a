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
    m_canvas = std::make_unique<CCanvas>(kCanvasWidth, kCanvasHeight);
    Clear();
}

void DrawTestBase::TearDown() {
    CManager::Destroy();
    m_canvas.reset();
    if (m_window)
        DestroyWindow(m_window);
}

COLORREF DrawTestBase::Pixel(int x, int y) const {
    return m_canvas->Pixel(x, y);
}

void DrawTestBase::Clear(COLORREF color) {
    m_canvas->Fill(color);
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
    painters[kind]->Paint(m_window, windowKind, Dc(), m_items, item, target, SubItem(), nullptr,
                          item->index);
}

} // namespace DrawTest
