#include "Button.h"

#include "GDIImage.h"
#include "WindowKind.h"

#include <algorithm>
#include <vector>

namespace Velmora {

CButton::CButton(ISkinHost& host, WindowInfo* info) : CWindow(host, info) {}

CButton::~CButton() {
    CButton::Attach(nullptr);
}

bool CButton::IsCheckBox() const {
    return m_type == BS_CHECKBOX || m_type == BS_AUTOCHECKBOX;
}

bool CButton::IsRadioBox() const {
    return m_type == BS_RADIOBUTTON || m_type == BS_AUTORADIOBUTTON;
}

void CButton::Attach(HWND window) {
    if (!window) {
        HWND previous = m_hwnd;
        const bool giveCheckBack = previous && !IsWindowEnding() && (IsCheckBox() || IsRadioBox());
        CWindow::Attach(nullptr);
        // Back with its own type, the button keeps the state it had here.
        if (giveCheckBack && IsWindow(previous))
            SendMessageA(previous, BM_SETCHECK, m_checked ? BST_CHECKED : BST_UNCHECKED, 0);
        DropStateImages();
        m_hovering = false;
        return;
    }
    if (m_hwnd || !IsWindow(window))
        return;
    m_type = GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
    // Checked before it was skinned (a dialog's initialisation does that) is
    // checked still: an owner-drawn button keeps no check of its own.
    m_checked =
        (IsCheckBox() || IsRadioBox()) && SendMessageA(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
    // The type is replaced, not added to: a radio box (4) with the owner-draw
    // bits (11) added would be type 15, which the system does not paint.
    ChangeWindowStyle(window, GWL_STYLE, BS_TYPEMASK, BS_OWNERDRAW);
    ResizeToNormalImage(window);
    CWindow::Attach(window);
}

// A push button takes the size of its normal image when its description
// gives it no size; check and radio boxes keep theirs.
void CButton::ResizeToNormalImage(HWND window) {
    if (!m_info || (m_info->width != 0 && m_info->height != 0))
        return;
    if (m_type != BS_PUSHBUTTON && m_type != BS_DEFPUSHBUTTON)
        return;
    const auto* item = static_cast<const ImageItem*>(FindItemOfState(DRAWITEM_IMAGE, STATE_NORMAL));
    if (!item)
        return;
    int width = item->region.width;
    int height = item->region.height;
    if (width == 0 || height == 0) {
        const GDIImage* image = FindItemImage(m_host, item->imageId, false);
        if (!image)
            return;
        RECT client = {};
        GetClientRect(window, &client);
        const int imageWidth = image->GetWidth();
        const int imageHeight = image->GetHeight();
        const bool growWidth =
            item->mode == IMAGEMODE_STRETCHBOTH || item->mode == IMAGEMODE_STRETCHHORZ;
        const bool growHeight =
            item->mode == IMAGEMODE_STRETCHBOTH || item->mode == IMAGEMODE_STRETCHVERT;
        width = growWidth ? std::max<int>(client.right, imageWidth)
                          : std::min<int>(client.right, imageWidth);
        height = growHeight ? std::max<int>(client.bottom, imageHeight)
                            : std::min<int>(client.bottom, imageHeight);
    }
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        return OnDestroy(wParam, lParam);
    case WM_SIZE:
    case WM_MOVE:
        return OnPlaceChanged(message, wParam, lParam);
    case WM_ERASEBKGND:
        return OnEraseBackground();
    case WM_SETCURSOR:
        return OnSetCursor(wParam, lParam);
    case BM_GETCHECK:
        return m_checked ? BST_CHECKED : BST_UNCHECKED;
    case BM_GETSTATE:
        // The system's answer has the pushed and focus bits; the check is ours.
        return (CallPrevious(message, wParam, lParam) & ~3) | (m_checked ? BST_CHECKED : 0);
    case BM_SETCHECK:
        return OnSetCheck(wParam, lParam);
    case WM_MOUSEMOVE:
        if (!m_hovering) {
            m_hovering = true;
            InvalidateRect(m_hwnd, nullptr, FALSE);
            TrackMouseLeave();
        }
        return CallPrevious(message, wParam, lParam);
    case WM_MOUSELEAVE:
        m_hovering = false;
        InvalidateRect(m_hwnd, nullptr, TRUE);
        return CallPrevious(message, wParam, lParam);
    case kRadioGroupUnchecked:
        if (m_checked) {
            m_checked = false;
            InvalidateRect(m_hwnd, nullptr, TRUE);
        }
        return CallPrevious(message, wParam, lParam);
    case WM_SETTEXT: {
        // The text is part of the state images: they are painted again.
        const LRESULT result = CallPrevious(message, wParam, lParam);
        Redraw(true, nullptr);
        return result;
    }
    default:
        return CallPrevious(message, wParam, lParam);
    }
}

LRESULT CButton::OnSetCheck(WPARAM wParam, LPARAM lParam) {
    if (IsCheckBox() || IsRadioBox())
        m_checked = wParam != 0;
    // As the system does it: only a radio box that checks itself unchecks its group.
    if (m_checked && m_type == BS_AUTORADIOBUTTON)
        UncheckGroup();
    InvalidateRect(m_hwnd, nullptr, TRUE);
    return CallPrevious(BM_SETCHECK, wParam, lParam);
}

// The walk ends where it began, or at a window met before: the system's walk
// leaves out hidden and disabled windows, so from such a radio box it never
// comes back to its start. The others hear of it at once: told later, they
// would undo a check that a second one in a row gave them.
void CButton::UncheckGroup() {
    HWND parent = GetParent(m_hwnd);
    std::vector<HWND> met;
    for (HWND next = GetNextDlgGroupItem(parent, m_hwnd, FALSE); next && next != m_hwnd;
         next = GetNextDlgGroupItem(parent, next, FALSE)) {
        if (std::find(met.begin(), met.end(), next) != met.end())
            break;
        met.push_back(next);
        SendMessageA(next, kRadioGroupUnchecked, 0, 0);
    }
}

void CButton::Toggle() {
    if (m_type == BS_AUTOCHECKBOX)
        SendMessageA(m_hwnd, BM_SETCHECK, m_checked ? BST_UNCHECKED : BST_CHECKED, 0);
    else if (m_type == BS_AUTORADIOBUTTON && !m_checked)
        SendMessageA(m_hwnd, BM_SETCHECK, BST_CHECKED, 0);
}

void CButton::ToggleClicked(ISkinHost& host, WPARAM wParam, LPARAM lParam) {
    HWND control = reinterpret_cast<HWND>(lParam);
    if (HIWORD(wParam) != BN_CLICKED || !control)
        return;
    if (auto* button = dynamic_cast<CButton*>(host.FindSkinObject(control, SkinList::Button)))
        button->Toggle();
}

void CButton::CaptureBackground(HDC parentDc) {
    CWindow::CaptureBackground(parentDc);
    // Images painted over the former background are painted again.
    DropStateImages();
}

void CButton::DropStateImages() {
    m_imagesValid = false;
    for (CMemoryCanvas& image : m_images)
        image.Reset();
}

void CButton::BuildStateImages(HDC dc) {
    if (m_imagesValid || !m_hwnd || !dc)
        return;
    TakeBackgroundFromParent();
    m_imagesValid = true;
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    const WindowKind kind = IsCheckBox()   ? WindowKind::CheckBox
                            : IsRadioBox() ? WindowKind::RadioBox
                                           : WindowKind::Button;
    for (int state = STATE_NORMAL; state <= STATE_CHECKEDDISABLE; ++state) {
        CMemoryCanvas& image = m_images[static_cast<size_t>(state)];
        if (!image.Create(dc, client.right, client.bottom))
            continue;
        if (m_background.IsValid())
            BitBlt(image.GetDC(), 0, 0, client.right, client.bottom, m_background.GetDC(), 0, 0,
                   SRCCOPY);
        if (m_info)
            PaintItems(image.GetDC(), KindNumber(kind), m_info->drawItems, state, client, -1, -1,
                       nullptr);
    }
}

int CButton::StateOf(UINT itemState) const {
    int state = m_hovering ? STATE_OVER : STATE_NORMAL;
    if (itemState & ODS_SELECTED)
        state = STATE_DOWN;
    if (itemState & ODS_DISABLED)
        state = STATE_DISABLE;
    if (m_checked && (IsCheckBox() || IsRadioBox()))
        state += STATE_CHECKEDNORMAL;
    return state;
}

void CButton::DrawItem(DRAWITEMSTRUCT* record) {
    if (!m_imagesValid || !record)
        return;
    const CMemoryCanvas& image = m_images[static_cast<size_t>(StateOf(record->itemState))];
    if (image.IsValid())
        BitBlt(record->hDC, 0, 0, image.GetWidth(), image.GetHeight(), image.GetDC(), 0, 0,
               SRCCOPY);
}

void CButton::Redraw(bool rebuild, const RECT* rect) {
    // The background under the button stays: only its own look changed.
    if (rebuild)
        DropStateImages();
    if (m_hwnd)
        InvalidateRect(m_hwnd, rect, rebuild ? TRUE : FALSE);
}

} // namespace Velmora
