#include "Dialog.h"

#include "Button.h"
#include "GDIImage.h"
#include "WindowKind.h"

#include <windowsx.h>

#include <algorithm>
#include <memory>

namespace Velmora {

namespace {

const int kKind = KindNumber(WindowKind::Dialog);
constexpr LONG kOwnFrameRemoves = WS_CAPTION | WS_THICKFRAME;

// Per command button index: the description's name for it and the style bit
// the dialog must have for it.
constexpr const char* kCommandNames[CDialog::kCommandButtonCount] = {"min", "max", "restore",
                                                                     "close"};
constexpr LONG kCommandStyles[CDialog::kCommandButtonCount] = {WS_MINIMIZEBOX, WS_MAXIMIZEBOX,
                                                               WS_MAXIMIZEBOX, WS_SYSMENU};
constexpr int kMaximise = 1;
constexpr int kRestore = 2;

bool IsStaticControl(HWND window) {
    char className[16] = {};
    return GetClassNameA(window, className, sizeof(className)) > 0 &&
           lstrcmpiA(className, "Static") == 0;
}

} // namespace

CDialog::CDialog(ISkinHost& host, WindowInfo* info) : CWindow(host, info) {}

CDialog::~CDialog() {
    CDialog::Attach(nullptr);
}

DialogInfo* CDialog::Info() const {
    return dynamic_cast<DialogInfo*>(m_info);
}

bool CDialog::HasOwnFrame() const {
    const DialogInfo* info = Info();
    return info && info->titleBar != -1;
}

void CDialog::Attach(HWND window) {
    if (!window) {
        // Let go: the window gets its frame, its full shape and no buttons of
        // the skin's. Its style comes back with the base's letting go.
        DestroyCommandButtons();
        if (m_shaped && m_hwnd && !IsWindowEnding() && IsWindow(m_hwnd))
            SetWindowRgn(m_hwnd, nullptr, TRUE);
        m_shaped = false;
        m_background.Reset();
        CWindow::Attach(nullptr);
        return;
    }
    if (m_hwnd || !IsWindow(window))
        return;
    const DialogInfo* info = Info();
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    if (HasOwnFrame()) {
        ChangeWindowStyle(window, GWL_EXSTYLE, WS_EX_DLGMODALFRAME, 0);
        ChangeWindowStyle(window, GWL_STYLE, kOwnFrameRemoves, WS_SYSMENU);
    }
    CWindow::Attach(window);
    RECT rect = {};
    GetWindowRect(window, &rect);
    UINT flags = SWP_NOMOVE | SWP_FRAMECHANGED;
    if (info && info->width != 0 && info->height != 0)
        flags |= SWP_NOSIZE | SWP_NOZORDER;
    // A dialog inside another keeps its place in its parent's tab order.
    if (style & WS_CHILD)
        flags |= SWP_NOZORDER;
    const int minWidth = info ? info->minWidth : 0;
    const int minHeight = info ? info->minHeight : 0;
    // The frame is recomputed in any case: the stripped caption must go.
    SetWindowPos(window, nullptr, 0, 0, std::max<int>(rect.right - rect.left, minWidth),
                 std::max<int>(rect.bottom - rect.top, minHeight), flags);
    if (HasOwnFrame())
        CreateCommandButtons(style);
    InstallWindowScrollBars();
}

void CDialog::CreateCommandButtons(LONG style) {
    DialogInfo* info = Info();
    if (!info)
        return;
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(m_hwnd, GWLP_HINSTANCE));
    for (int index = 0; index < kCommandButtonCount; ++index) {
        if (!(style & kCommandStyles[index]) || m_commandButtons[index])
            continue;
        auto item = std::find_if(
            info->commandButtons.begin(), info->commandButtons.end(),
            [index](const CommandButtonItem& button) { return button.id == kCommandNames[index]; });
        if (item == info->commandButtons.end())
            continue;
        WindowInfo* look = m_host.FindDescription(DescriptionType::Button, item->buttonId);
        if (!look)
            continue;
        auto skin = std::make_unique<CButton>(m_host, look);
        HWND button =
            CreateWindowExA(0, "BUTTON", "BUTTON", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, m_hwnd,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstCommandId + index)),
                            instance, nullptr);
        if (!button)
            continue;
        m_commandButtons[index] = button;
        // The size of the look's normal picture: the item's, its cell's or the image's own.
        item->width = 0;
        item->height = 0;
        if (const auto* normal = static_cast<const ImageItem*>(
                skin->FindItemOfState(DRAWITEM_IMAGE, STATE_NORMAL))) {
            const GDIImage* image = FindItemImage(m_host, normal->imageId, false);
            item->width = normal->width != 0          ? normal->width
                          : normal->region.width != 0 ? normal->region.width
                          : image                     ? image->GetWidth()
                                                      : 0;
            item->height = normal->height != 0          ? normal->height
                           : normal->region.height != 0 ? normal->region.height
                           : image                      ? image->GetHeight()
                                                        : 0;
        }
        skin->Attach(button);
        m_host.AddSkinObject(button, SkinList::Button, std::move(skin));
        if (index == kRestore)
            ShowWindow(button, SW_HIDE);
    }
    LayOutCommandButtons();
}

void CDialog::LayOutCommandButtons() {
    const DialogInfo* info = Info();
    if (!info || !m_hwnd)
        return;
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    for (int index = 0; index < kCommandButtonCount; ++index) {
        if (!m_commandButtons[index])
            continue;
        for (const CommandButtonItem& item : info->commandButtons) {
            if (item.id != kCommandNames[index])
                continue;
            const int x = item.left < 0 ? item.left + client.right : item.left;
            const int y = item.top < 0 ? item.top + client.bottom : item.top;
            SetWindowPos(m_commandButtons[index], nullptr, x, y, item.width, item.height, 0);
            break;
        }
    }
}

void CDialog::DestroyCommandButtons() {
    for (HWND& button : m_commandButtons) {
        if (button && IsWindow(button))
            DestroyWindow(button);
        button = nullptr;
    }
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        return OnDestroy(wParam, lParam);
    case WM_SIZE:
        return OnSize(wParam, lParam);
    case WM_PAINT:
        return OnPaint();
    case WM_ERASEBKGND:
        return OnEraseBackground();
    case WM_SETCURSOR:
        return OnSetCursorByHit(wParam, lParam);
    case WM_GETMINMAXINFO:
        return OnGetMinMaxInfo(wParam, lParam);
    case WM_DRAWITEM:
        return OnDrawItem(wParam, lParam);
    case WM_MEASUREITEM:
        return OnMeasureItem(wParam, lParam);
    case WM_INITMENUPOPUP:
        return OnInitMenuPopup(wParam, lParam);
    case WM_CTLCOLORBTN:
        return OnCtlColorButton(wParam, lParam);
    case WM_NOTIFY:
        return OnNotify(wParam, lParam);
    case WM_NCHITTEST:
        return OnNcHitTest(wParam, lParam);
    case WM_NCLBUTTONDOWN:
        return OnNcLButtonDown(wParam, lParam);
    case WM_COMMAND:
        return OnCommand(wParam, lParam);
    case WM_CTLCOLOREDIT:
        return OnCtlColorEdit(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORSTATIC:
        return OnStaticColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    default:
        return CallPrevious(message, wParam, lParam);
    }
}

LRESULT CDialog::OnSize(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallPrevious(WM_SIZE, wParam, lParam);
    if (HasOwnFrame()) {
        LayOutCommandButtons();
        HWND maximise = m_commandButtons[kMaximise];
        HWND restore = m_commandButtons[kRestore];
        if (wParam == SIZE_MAXIMIZED) {
            // Maximised without a frame of the system's: the work area, not the screen.
            RECT work = {};
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
            SetWindowPos(m_hwnd, nullptr, work.left, work.top, work.right - work.left,
                         work.bottom - work.top, SWP_NOZORDER | SWP_NOACTIVATE);
            if (maximise)
                ShowWindow(maximise, SW_HIDE);
            if (restore)
                ShowWindow(restore, SW_SHOW);
        } else if (wParam == SIZE_RESTORED) {
            if (maximise)
                ShowWindow(maximise, SW_SHOW);
            if (restore)
                ShowWindow(restore, SW_HIDE);
        }
    }
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    Redraw(true, &client);
    return result;
}

LRESULT CDialog::OnPaint() {
    CPaintDC paint(m_hwnd);
    if (HDC dc = paint.Get()) {
        PaintWindow(dc);
        if (m_selfPaint)
            m_selfPaint->OnSelfPaint(dc, m_selfPaintValue);
    }
    return 0;
}

ImageItem* CDialog::BackgroundItem() const {
    if (!m_info)
        return nullptr;
    if (ImageItem* back = m_info->drawItems.FindImage("dialog.back"))
        return back;
    for (const auto& image : m_info->drawItems.Images()) {
        if (image->mode == IMAGEMODE_STRETCHBOTH && image->width == 0 && image->height == 0)
            return image.get();
    }
    return nullptr;
}

void CDialog::PaintWindow(HDC dc) {
    // Children that paint every pixel themselves are left out, so the copy
    // below does not flash over them; a child dialog shaped by a region shows
    // this dialog through its cut-outs and is painted over.
    ExcludeOpaqueChildren(dc,
                          {SkinList::Dialog, SkinList::CommonCtrl, SkinList::Button, SkinList::Edit,
                           SkinList::ComboBox, SkinList::Static, SkinList::ListCtrl,
                           SkinList::Progress, SkinList::TabCtrl, SkinList::TabCtrlEx,
                           SkinList::ToolBarEx, SkinList::MenuBar, SkinList::Slider,
                           SkinList::SliderEx, SkinList::Animate, SkinList::TreeCtrlEx},
                          true);
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    if (!m_background.IsValid()) {
        const DialogInfo* info = Info();
        const ImageItem* back = BackgroundItem();
        if (HasOwnFrame() && back && info->clipColor != kNoColor)
            BuildWindowRegion(dc, *back, client);
        if (m_background.Create(dc, client.right, client.bottom)) {
            if (m_info)
                PaintItems(m_background.GetDC(), kKind, m_info->drawItems, STATE_ALL, client, -1,
                           -1, nullptr);
            LetChildrenCaptureBackground(
                m_background.GetDC(),
                {SkinList::GroupBox, SkinList::Button, SkinList::Static, SkinList::Edit,
                 SkinList::Progress, SkinList::TabCtrl, SkinList::TabCtrlEx, SkinList::ToolBarEx,
                 SkinList::MenuBar, SkinList::Slider, SkinList::SliderEx, SkinList::Animate});
        }
    }
    if (m_background.IsValid())
        BitBlt(dc, 0, 0, m_background.GetWidth(), m_background.GetHeight(), m_background.GetDC(), 0,
               0, SRCCOPY);
}

// The window is the client rectangle less the clip-coloured pixels of the
// pieces of the background image that the description names. A piece with a
// negative offset is counted from the image's right or bottom edge and put at
// the window's, so corner shapes follow the window's size.
void CDialog::BuildWindowRegion(HDC dc, const ImageItem& back, const RECT& client) {
    DialogInfo* info = Info();
    const GDIImage* image = FindItemImage(
        m_host, GetItemValue(m_host, SubItem(), m_hwnd, kKind, back, DRAWITEM_IMAGE), false);
    if (!info || !image)
        return;
    CGdiHandle<HBITMAP> bitmap(image->ToDeviceBitmap(dc));
    CMemoryDC source(dc);
    CGdiHandle<HRGN> window(CreateRectRgn(0, 0, client.right, client.bottom));
    if (!bitmap.Get() || !source.Get() || !window.Get())
        return;
    CSelectObject selected(source.Get(), bitmap.Get());
    const int imageWidth = image->GetWidth();
    const int imageHeight = image->GetHeight();
    for (const std::unique_ptr<CRegion>& piece : info->windowRegion) {
        if (piece->width <= 0 || piece->height <= 0)
            continue;
        if (!piece->GetHandle()) {
            // A bitmap of the image's own format, so the clip colour compares exactly.
            CGdiHandle<HBITMAP> cut(
                CreateCompatibleBitmap(source.Get(), piece->width, piece->height));
            CMemoryDC cutDc(dc);
            if (!cut.Get() || !cutDc.Get())
                continue;
            {
                CSelectObject cutSelected(cutDc.Get(), cut.Get());
                BitBlt(cutDc.Get(), 0, 0, piece->width, piece->height, source.Get(),
                       piece->x < 0 ? piece->x + imageWidth : piece->x,
                       piece->y < 0 ? piece->y + imageHeight : piece->y, SRCCOPY);
            }
            piece->CreateFromBitmap(cut.Get(), info->clipColor);
        }
        if (!piece->GetHandle())
            continue;
        CGdiHandle<HRGN> clipped(CreateRectRgn(0, 0, piece->width, piece->height));
        if (!clipped.Get())
            continue;
        CombineRgn(clipped.Get(), clipped.Get(), piece->GetHandle(), RGN_DIFF);
        OffsetRgn(clipped.Get(), piece->x < 0 ? piece->x + client.right : piece->x,
                  piece->y < 0 ? piece->y + client.bottom : piece->y);
        CombineRgn(window.Get(), window.Get(), clipped.Get(), RGN_DIFF);
    }
    if (SetWindowRgn(m_hwnd, window.Get(), TRUE)) {
        window.Release();
        m_shaped = true;
    }
}

void CDialog::Redraw(bool rebuild, const RECT* rect) {
    CWindow::Redraw(rebuild, rect);
    if (!rect || !m_hwnd)
        return;
    RedrawTransparentChildren(
        {SkinList::GroupBox, SkinList::Static, SkinList::Button, SkinList::Edit}, &m_background);
}

int CDialog::HitTest(POINT screen) const {
    const DialogInfo* info = Info();
    // A dialog inside another (a page of a tab) is neither sized nor dragged
    // within its parent.
    if (!info || !m_hwnd || (GetWindowLongA(m_hwnd, GWL_STYLE) & WS_CHILD))
        return HTNOWHERE;
    RECT window = {};
    GetWindowRect(m_hwnd, &window);
    const int border = info->resize;
    const bool left = screen.x < window.left + border;
    const bool right = screen.x > window.right - border;
    const bool top = screen.y < window.top + border;
    const bool bottom = screen.y > window.bottom - border;
    if (left && top)
        return HTTOPLEFT;
    if (right && top)
        return HTTOPRIGHT;
    if (left && bottom)
        return HTBOTTOMLEFT;
    if (right && bottom)
        return HTBOTTOMRIGHT;
    if (left)
        return HTLEFT;
    if (right)
        return HTRIGHT;
    if (top)
        return HTTOP;
    if (bottom)
        return HTBOTTOM;
    if (info->titleBar > 0) {
        POINT client = screen;
        ScreenToClient(m_hwnd, &client);
        RECT area = {};
        GetClientRect(m_hwnd, &area);
        area.bottom = info->titleBar;
        if (PtInRect(&area, client))
            return HTCAPTION;
    }
    return HTNOWHERE;
}

LRESULT CDialog::OnNcHitTest(WPARAM wParam, LPARAM lParam) {
    const int code = HitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    return code != HTNOWHERE ? code : CallPrevious(WM_NCHITTEST, wParam, lParam);
}

// The skin asks for the sizing at its own borders. The window's own
// procedure does not hear of the click as well: it would start a second
// sizing that follows the mouse until the next click.
LRESULT CDialog::OnNcLButtonDown(WPARAM wParam, LPARAM lParam) {
    if (wParam < HTLEFT || wParam > HTBOTTOMRIGHT)
        return CallPrevious(WM_NCLBUTTONDOWN, wParam, lParam);
    SendMessageA(m_hwnd, WM_SYSCOMMAND, SC_SIZE + (wParam - HTLEFT + WMSZ_LEFT), lParam);
    return 0;
}

LRESULT CDialog::OnSetCursorByHit(WPARAM wParam, LPARAM lParam) {
    const char* cursor = nullptr;
    switch (LOWORD(lParam)) {
    case HTTOP:
    case HTBOTTOM:
        cursor = IDC_SIZENS;
        break;
    case HTLEFT:
    case HTRIGHT:
        cursor = IDC_SIZEWE;
        break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        cursor = IDC_SIZENWSE;
        break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        cursor = IDC_SIZENESW;
        break;
    default:
        return OnSetCursor(wParam, lParam);
    }
    SetCursor(LoadCursorA(nullptr, cursor));
    return 1;
}

LRESULT CDialog::OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam) {
    auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
    // A minimum of 0 keeps the system's, so the window can still be taken hold of.
    if (const DialogInfo* info = Info(); info && limits) {
        if (info->minWidth > 0)
            limits->ptMinTrackSize.x = info->minWidth;
        if (info->minHeight > 0)
            limits->ptMinTrackSize.y = info->minHeight;
    }
    return CallPrevious(WM_GETMINMAXINFO, wParam, lParam);
}

LRESULT CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED && lParam) {
        const auto button = std::find(m_commandButtons.begin(), m_commandButtons.end(),
                                      reinterpret_cast<HWND>(lParam));
        switch (button - m_commandButtons.begin()) {
        case 0:
            ShowWindow(m_hwnd, SW_MINIMIZE);
            return 1;
        case kMaximise:
            ShowWindow(m_hwnd, SW_MAXIMIZE);
            return 1;
        case kRestore:
            ShowWindow(m_hwnd, SW_RESTORE);
            return 1;
        case 3:
            SendMessageA(m_hwnd, WM_CLOSE, 0, 0);
            return 1;
        default:
            break;
        }
    }
    CButton::ToggleClicked(m_host, wParam, lParam);
    NotifyComboBox(HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    return CallPrevious(WM_COMMAND, wParam, lParam);
}

LRESULT CDialog::OnStaticColor(HDC dc, HWND control) {
    // Statics, and the caption a group box clears when its text changes,
    // show the skin's background.
    if (IsStaticControl(control) || m_host.FindSkinObject(control, SkinList::GroupBox)) {
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    return OnCtlColorStatic(dc, control);
}

} // namespace Velmora
