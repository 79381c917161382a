#include "Edit.h"

#include "DrawHelpers.h"
#include "GDIFont.h"
#include "WindowKind.h"

#include <cstring>

namespace Velmora {

namespace {

constexpr char kCueId[] = "edittips";
constexpr UINT kFrameChanged =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

// The client rectangle in window coordinates (the window's top left at 0, 0).
RECT ClientInWindow(HWND window) {
    RECT outer = {};
    GetWindowRect(window, &outer);
    RECT client = {};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -outer.left, -outer.top);
    return client;
}

} // namespace

CEdit::CEdit(ISkinHost& host, WindowInfo* info) : CWindow(host, info) {}

CEdit::~CEdit() = default;

void CEdit::Attach(HWND window) {
    if (!window) {
        CWindow::Attach(nullptr);
        return;
    }
    // A skin that draws no border of its own takes the system's away.
    if (m_info && !Surface(STATE_NORMAL) && !Surface(STATE_OVER) && IsWindow(window)) {
        const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
        if (exStyle & WS_EX_CLIENTEDGE) {
            SetWindowLongA(window, GWL_EXSTYLE, exStyle & ~WS_EX_CLIENTEDGE);
            SetWindowPos(window, nullptr, 0, 0, 0, 0, kFrameChanged);
        }
    }
    CWindow::Attach(window);
    if (!m_hwnd || !m_info)
        return;
    const auto* element = static_cast<const EditInfo*>(m_info);
    if (const GDIFont* font = m_host.FindFont(element->fontId)) {
        if (font->GetFont())
            SendMessageA(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font->GetFont()), TRUE);
    }
    InstallWindowScrollBars();
    if (CanShowCue())
        ShowCue(CueText());
}

LRESULT CEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        return OnDestroy(wParam, lParam);
    case WM_SETFOCUS:
        return OnSetFocus(wParam, lParam);
    case WM_KILLFOCUS:
        return OnKillFocus(wParam, lParam);
    case WM_SETTEXT:
        return OnSetText(lParam);
    case WM_SETCURSOR:
        SetCursor(LoadCursor(nullptr, IDC_IBEAM));
        return TRUE;
    case WM_NCPAINT:
        return OnNcPaint(wParam);
    case WM_CHAR:
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return CallPrevious(message, wParam, lParam);
    case WM_MOUSEMOVE:
        return OnMouseMove(wParam, lParam);
    case WM_MOUSELEAVE:
        return OnMouseLeave(wParam, lParam);
    default:
        return CallPrevious(message, wParam, lParam);
    }
}

void CEdit::CaptureBackground(HDC parentDc) {
    CWindow::CaptureBackground(parentDc);
    if (m_background.IsValid())
        m_backgroundBrush.Reset(CreatePatternBrush(
            static_cast<HBITMAP>(GetCurrentObject(m_background.GetDC(), OBJ_BITMAP))));
}

// The frame is recalculated so that the border, in the non-client area,
// paints again too.
void CEdit::Redraw(bool rebuild, const RECT* rect) {
    if (rebuild)
        m_background.Reset();
    if (!m_hwnd)
        return;
    InvalidateRect(m_hwnd, rect, rebuild ? TRUE : FALSE);
    RecalculateFrame();
    UpdateWindow(m_hwnd);
}

// A new cue shows at once in an edit that shows the cue or could show it;
// text of the edit's own is never replaced by it.
int CEdit::SetDrawItemValue(const char* id, const char* value) {
    if (id && value && std::strcmp(id, kCueId) == 0 && CanShowCue())
        ShowCue(value);
    return CWindow::SetDrawItemValue(id, value);
}

HBRUSH CEdit::ControlColor(UINT message, HDC dc) {
    if (!m_hwnd || !m_info)
        return nullptr;
    const auto make = [](CGdiHandle<HBRUSH>& brush, const SurfaceItem* item) {
        if (!brush.Get() && item && item->fillColor != kNoColor)
            brush.Reset(CreateSolidBrush(item->fillColor));
    };
    if (message == WM_CTLCOLOREDIT) {
        const SurfaceItem* surface = Surface(m_hovering ? STATE_OVER : STATE_NORMAL);
        make(m_hovering ? m_hoverBrush : m_normalBrush, surface);
        // A skin without an "over" look keeps the normal one under the
        // mouse, rather than leaving the edit's background unpainted.
        if (m_hovering && !m_hoverBrush.Get()) {
            surface = Surface(STATE_NORMAL);
            make(m_normalBrush, surface);
        }
        SetColors(dc, surface);
        if (IsTransparent() && m_backgroundBrush.Get()) {
            // The pattern is the window's whole rectangle; the edit paints
            // its client area, which starts further in.
            const RECT client = ClientInWindow(m_hwnd);
            SetBrushOrgEx(dc, -client.left, -client.top, nullptr);
            return m_backgroundBrush.Get();
        }
        if (m_hovering && m_hoverBrush.Get())
            return m_hoverBrush.Get();
        if (m_normalBrush.Get())
            return m_normalBrush.Get();
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    }
    if (message != WM_CTLCOLORSTATIC)
        return nullptr;
    const bool readOnly = (GetWindowLongA(m_hwnd, GWL_STYLE) & ES_READONLY) != 0;
    if ((IsWindowEnabled(m_hwnd) && !readOnly) ||
        (!Surface(STATE_NORMAL) && !Surface(STATE_OVER) && !Surface(STATE_DISABLE)))
        return nullptr;
    const SurfaceItem* disabled = Surface(STATE_DISABLE);
    make(m_disabledBrush, disabled);
    SetColors(dc, disabled);
    return m_disabledBrush.Get();
}

const SurfaceItem* CEdit::Surface(int state) const {
    return static_cast<const SurfaceItem*>(FindItemOfState(DRAWITEM_SURFACE, state));
}

std::string CEdit::CueText() const {
    const TextItem* item = m_info ? m_info->drawItems.FindTextItem(kCueId) : nullptr;
    if (!item)
        return std::string();
    return GetItemValue(m_host, SubItem{}, m_hwnd, KindNumber(WindowKind::Edit), *item,
                        DRAWITEM_TEXT);
}

bool CEdit::CanShowCue() const {
    return m_hwnd && GetFocus() != m_hwnd && (m_showingCue || GetWindowTextLengthA(m_hwnd) == 0);
}

void CEdit::ShowCue(const std::string& cue) {
    if (cue.empty() && !m_showingCue)
        return;
    SetText(cue.c_str());
    m_showingCue = !cue.empty();
}

void CEdit::SetText(const char* text) {
    m_settingText = true;
    SetWindowTextA(m_hwnd, text);
    m_settingText = false;
}

void CEdit::SetColors(HDC dc, const SurfaceItem* surface) {
    const auto* element = static_cast<const EditInfo*>(m_info);
    if (const GDIFont* font = m_host.FindFont(element->fontId)) {
        if (font->GetFont())
            SelectObject(dc, font->GetFont());
    }
    uint32_t color = element->textColor;
    if (m_showingCue) {
        const TextItem* cue = m_info->drawItems.FindTextItem(kCueId);
        if (cue && !CueText().empty())
            color = cue->textColor;
    }
    if (color != kNoColor)
        SetTextColor(dc, color);
    if (element->transparent)
        SetBkMode(dc, TRANSPARENT);
    else if (surface && surface->fillColor != kNoColor)
        SetBkColor(dc, surface->fillColor);
}

void CEdit::RecalculateFrame() {
    SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0, kFrameChanged);
}

// The border: the background under the window, then the rounded rectangles
// of the surface items of the state, around the client area wherever it lies
// (window scroll bars move it off the centre).
LRESULT CEdit::OnNcPaint(WPARAM) {
    CWindowDC dc(m_hwnd);
    if (!dc.Get() || !m_info)
        return 0;
    RECT window = {};
    GetWindowRect(m_hwnd, &window);
    OffsetRect(&window, -window.left, -window.top);
    const RECT client = ClientInWindow(m_hwnd);
    const int saved = SaveDC(dc.Get());
    ExcludeClipRect(dc.Get(), client.left, client.top, client.right, client.bottom);
    if (m_backgroundBrush.Get())
        FillRect(dc.Get(), &window, m_backgroundBrush.Get());
    const SurfaceItem* disabled = Surface(STATE_DISABLE);
    CGdiHandle<HBRUSH> fill(!IsWindowEnabled(m_hwnd) && disabled && disabled->fillColor != kNoColor
                                ? CreateSolidBrush(disabled->fillColor)
                                : nullptr);
    const int state = m_hovering ? STATE_OVER : STATE_NORMAL;
    for (const auto& item : m_info->drawItems.Surfaces()) {
        if (item->state != state || item->type == SURFACE_ROUND)
            continue;
        CGdiHandle<HPEN> pen(item->borderColor == kNoColor
                                 ? CreatePen(PS_NULL, 0, 0)
                                 : CreatePen(PS_SOLID, item->borderWidth, item->borderColor));
        CSelectObject selectPen(dc.Get(), pen.Get());
        CSelectObject selectBrush(dc.Get(), fill.Get() ? fill.Get() : GetStockObject(NULL_BRUSH));
        RoundRect(dc.Get(), window.left + item->upperLeftX, window.top + item->upperLeftY,
                  window.right + item->lowerRightX, window.bottom + item->lowerRightY,
                  item->roundRectWidth, item->roundRectHeight);
    }
    RestoreDC(dc.Get(), saved);
    return 0;
}

LRESULT CEdit::OnSetFocus(WPARAM wParam, LPARAM lParam) {
    if (m_showingCue) {
        m_showingCue = false;
        SetText("");
    }
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return CallPrevious(WM_SETFOCUS, wParam, lParam);
}

LRESULT CEdit::OnKillFocus(WPARAM wParam, LPARAM lParam) {
    if (GetWindowTextLengthA(m_hwnd) == 0)
        ShowCue(CueText());
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return CallPrevious(WM_KILLFOCUS, wParam, lParam);
}

// Text the program sets is the edit's own: the cue is gone.
LRESULT CEdit::OnSetText(LPARAM lParam) {
    if (!m_settingText)
        m_showingCue = false;
    return CallPrevious(WM_SETTEXT, 0, lParam);
}

LRESULT CEdit::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    if (!m_hovering) {
        m_hovering = true;
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hwnd, HOVER_DEFAULT};
        TrackMouseEvent(&track);
        RecalculateFrame();
        InvalidateRect(m_hwnd, nullptr, FALSE);
    }
    return CallPrevious(WM_MOUSEMOVE, wParam, lParam);
}

LRESULT CEdit::OnMouseLeave(WPARAM wParam, LPARAM lParam) {
    m_hovering = false;
    RecalculateFrame();
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return CallPrevious(WM_MOUSELEAVE, wParam, lParam);
}

} // namespace Velmora
