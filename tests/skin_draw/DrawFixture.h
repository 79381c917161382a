// A painting target for draw-item tests: a real window that the painters are
// given, a 32-bit DIB section they paint into, and helpers that build items,
// put images into the manager and read pixels back.
#pragma once

#include "Canvas.h"
#include "DrawHelpers.h"
#include "GDIImage.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace DrawTest {

constexpr int kCanvasWidth = 200;
constexpr int kCanvasHeight = 120;
constexpr COLORREF kBackground = RGB(10, 20, 30);

// Pixels painted in a colour: the smallest box around them, empty when none.
struct PaintedBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int count = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

class DrawTestBase : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    HDC Dc() const { return m_canvas->Dc(); }
    HWND Window() const { return m_window; }
    COLORREF Pixel(int x, int y) const;
    void Clear(COLORREF color = kBackground);
    // The box around every pixel for which test holds.
    PaintedBox Find(const std::function<bool(COLORREF)>& test) const;
    PaintedBox FindNot(COLORREF color) const;
    PaintedBox FindColor(COLORREF color) const;

    // A 24-bit skin image whose pixel at x, y is colorAt(x, y).
    Velmora::GDIImage* AddImage(const std::string& id, int width, int height,
                                const std::function<COLORREF(int, int)>& colorAt);

    template <class Item> Item* Add(std::unique_ptr<Item> item) {
        item->index = m_nextIndex++;
        return m_items.Add(std::move(item));
    }
    Velmora::TextItem* AddText(const std::string& id, const std::string& content, int left, int top,
                               COLORREF color);
    Velmora::ImageItem* AddImageItem(const std::string& id, const std::string& imageId, int mode);

    // Paints the item with the painter of its kind into target on the canvas.
    void Paint(Velmora::DrawItemHeader* item, Velmora::DrawItemKind kind, const RECT& target,
               int windowKind = 2);

    Velmora::DrawItemList m_items;

  private:
    HWND m_window = nullptr;
    std::unique_ptr<CCanvas> m_canvas;
    int m_nextIndex = 0;
};

bool Near(COLORREF a, COLORREF b, int tolerance = 2);

} // namespace DrawTest
