#include "GroupBox.h"

#include "GDIFont.h"
#include "GDIImage.h"
#include "WindowKind.h"

#include <algorithm>
#include <string>
#include <vector>

namespace Velmora {

namespace {

constexpr int kCaptionIndent = 10;
constexpr int kCaptionMargin = 2;
const int kKind = KindNumber(WindowKind::GroupBox);

std::string WindowText(HWND window) {
    std::vector<char> text(static_cast<size_t>(std::max(GetWindowTextLengthA(window), 0)) + 1);
    GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}

template <class Item> Item* FirstForEveryState(const std::vector<std::unique_ptr<Item>>& items) {
    for (const auto& item : items) {
        if (item->state == STATE_ALL)
            return item.get();
    }
    return nullptr;
}

} // namespace

CGroupBox::CGroupBox(ISkinHost& host, WindowInfo* info) : CWindow(host, info) {}

CGroupBox::Look CGroupBox::FindLook() const {
    Look look;
    if (m_info) {
        look.frame = FirstForEveryState(m_info->drawItems.Surfaces());
        look.text = FirstForEveryState(m_info->drawItems.Texts());
        look.image = FirstForEveryState(m_info->drawItems.Images());
    }
    return look;
}

void CGroupBox::Attach(HWND window) {
    // With a caption of its own the system's caption must not show.
    if (window && !m_hwnd && IsWindow(window) && FindLook())
        ChangeWindowStyle(window, GWL_STYLE, 0, BS_ICON);
    CWindow::Attach(window);
}

LRESULT CGroupBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        return OnDestroy(wParam, lParam);
    case WM_SIZE:
    case WM_MOVE:
        return OnPlaceChanged(message, wParam, lParam);
    case WM_PAINT:
        return OnPaint();
    case WM_ERASEBKGND:
        return OnEraseBackground();
    case WM_ENABLE:
        // The system would paint its own frame over the skin's at once.
        if (FindLook()) {
            InvalidateRect(m_hwnd, nullptr, FALSE);
            return 0;
        }
        return CallPrevious(message, wParam, lParam);
    default:
        return CallPrevious(message, wParam, lParam);
    }
}

int CGroupBox::CaptionLeft(LONG style, int clientWidth, int captionWidth) {
    switch (style & 0x0F00) {
    case BS_CENTER:
        return (clientWidth - captionWidth) / 2;
    case BS_RIGHT:
        return clientWidth - captionWidth - kCaptionIndent;
    default:
        return kCaptionIndent;
    }
}

bool CGroupBox::IsShown(const DrawItemHeader* item) const {
    return item && IsItemVisible(m_host, SubItem(), m_hwnd, kKind, *item);
}

LRESULT CGroupBox::OnPaint() {
    const Look look = FindLook();
    if (!look)
        return CallPrevious(WM_PAINT, 0, 0);
    CPaintDC paint(m_hwnd);
    HDC dc = paint.Get();
    if (!dc)
        return 0;
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    const SubItem whole;

    // The caption's size: its text in its font, its image at the item's size.
    std::string text;
    SIZE textSize = {0, 0};
    const GDIFont* font = nullptr;
    if (look.text) {
        text = GetItemValue(m_host, whole, m_hwnd, kKind, *look.text, DRAWITEM_TEXT);
        if (text.empty())
            text = WindowText(m_hwnd);
        font = m_host.FindFont(look.text->fontId);
        CSelectObject selected(dc, font ? font->GetFont() : nullptr);
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &textSize);
    }
    int imageWidth = 0;
    int imageHeight = 0;
    if (look.image) {
        const GDIImage* image = FindItemImage(
            m_host, GetItemValue(m_host, whole, m_hwnd, kKind, *look.image, DRAWITEM_IMAGE), false);
        imageWidth = look.image->width != 0 ? look.image->width : image ? image->GetWidth() : 0;
        imageHeight = look.image->height != 0 ? look.image->height : image ? image->GetHeight() : 0;
    }
    const int captionWidth = imageWidth + textSize.cx + 2 * kCaptionMargin;
    const int captionHeight = std::max<int>(textSize.cy, imageHeight);

    if (IsShown(look.frame)) {
        const SurfaceItem& frame = *look.frame;
        CGdiHandle<HPEN> pen(frame.borderColor == kNoColor
                                 ? CreatePen(PS_NULL, 0, 0)
                                 : CreatePen(PS_SOLID, frame.borderWidth, frame.borderColor));
        CGdiHandle<HBRUSH> brush(frame.fillColor == kNoColor ? nullptr
                                                             : CreateSolidBrush(frame.fillColor));
        CSelectObject selectedPen(dc, pen.Get());
        CSelectObject selectedBrush(dc, brush.Get() ? static_cast<HGDIOBJ>(brush.Get())
                                                    : GetStockObject(NULL_BRUSH));
        RoundRect(dc, client.left + frame.upperLeftX,
                  client.top + captionHeight / 2 + frame.upperLeftY,
                  client.right + frame.lowerRightX, client.bottom + frame.lowerRightY,
                  frame.roundRectWidth, frame.roundRectHeight);
    }

    const int x = CaptionLeft(GetWindowLongA(m_hwnd, GWL_STYLE), client.right, captionWidth);
    const bool showText = IsShown(look.text);
    const bool showImage = IsShown(look.image) && imageWidth > 0 && imageHeight > 0;
    if (showText || showImage) {
        // The caption band shows the background, so the frame does not run under it.
        TakeBackgroundFromParent();
        if (m_background.IsValid())
            BitBlt(dc, x, 0, captionWidth, captionHeight, m_background.GetDC(), x, 0, SRCCOPY);
    }
    if (showText) {
        if (look.text->textColor != kNoColor)
            SetTextColor(dc, look.text->textColor);
        CSelectObject selected(dc, font ? font->GetFont() : nullptr);
        SetBkMode(dc, TRANSPARENT);
        TextOutA(dc, x + imageWidth + kCaptionMargin, (captionHeight - textSize.cy) / 2,
                 text.c_str(), static_cast<int>(text.size()));
    }
    if (showImage) {
        ImageItem placed = *look.image;
        placed.left = 0;
        placed.top = 0;
        placed.width = imageWidth;
        placed.height = imageHeight;
        placed.relativeId.clear();
        placed.horzAlign = ALIGN_NONE;
        placed.vertAlign = ALIGN_NONE;
        placed.mode = IMAGEMODE_NORMAL;
        const RECT target = {x + kCaptionMargin, 0, x + kCaptionMargin + imageWidth, imageHeight};
        CDrawImageHelper::PaintImage(m_host, m_hwnd, kKind, dc, &m_info->drawItems, placed, target,
                                     whole, false);
    }
    return 0;
}

} // namespace Velmora
