#include "NotesView.h"

#include "Velmora.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

namespace {

const char* const kLines[] = {
    "Velmora 2.4",
    "- Window scroll bars drawn from the skin's sprite sheet",
    "- Arrows repeat while held; a page stops at the cursor",
    "- Edits show their cue while empty and without the focus",
    "- A combo box keeps its over look while its list is open",
    "- Dialogs keep the size of their content under any frame",
    "Velmora 2.3",
    "- Group box captions go left, centred or right",
    "- Check and radio boxes toggle through the skin",
    "- Links underline under the mouse",
};
constexpr int kLineCount = static_cast<int>(std::size(kLines));
constexpr int kMargin = 6;
// The lines scroll inside this frame; what the view's look draws there (the
// skin's border) stays where it is.
constexpr int kFrame = 2;
constexpr int kWheelLines = 3;

// One per view window, from WM_NCCREATE to WM_NCDESTROY. Vertical positions
// count lines, horizontal ones pixels.
class NotesView final : public VelmoraSelfPaint {
  public:
    explicit NotesView(HWND window) : m_window(window) {}

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    // After the skin painted its look of the view.
    void OnSelfPaint(HDC dc, int) override { PaintLines(dc, true); }
    void ScrollTo(int bar, int position);
    void UpdateBars();

  private:
    RECT TextArea() const;
    void PaintLines(HDC dc, bool overSkin) const;
    void Measure();
    void OnScroll(int bar, int code);
    void OnKey(UINT key);

    HWND m_window;
    HFONT m_font = nullptr;
    int m_lineHeight = 16;
    int m_widest = 0;
    int m_top = 0;
    int m_left = 0;
};

// Text that stands out from the colour under it.
COLORREF ContrastTo(COLORREF back) {
    const int light = GetRValue(back) * 299 + GetGValue(back) * 587 + GetBValue(back) * 114;
    return light > 128000 ? RGB(32, 36, 44) : RGB(206, 211, 221);
}

RECT NotesView::TextArea() const {
    RECT area = {};
    GetClientRect(m_window, &area);
    InflateRect(&area, -kFrame, -kFrame);
    return area;
}

void NotesView::PaintLines(HDC dc, bool overSkin) const {
    RECT client = {};
    GetClientRect(m_window, &client);
    COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    if (overSkin) {
        // The skin's background is all that is painted yet: the middle of
        // what is being painted shows what the text goes over.
        RECT box = {};
        GetClipBox(dc, &box);
        const COLORREF back = GetPixel(dc, (box.left + box.right) / 2, (box.top + box.bottom) / 2);
        if (back != CLR_INVALID)
            text = ContrastTo(back);
    } else {
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    }
    const int saved = SaveDC(dc);
    const RECT area = TextArea();
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    SelectObject(dc, m_font ? m_font : GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, text);
    SetBkMode(dc, TRANSPARENT);
    for (int line = m_top; line < kLineCount; ++line) {
        const int y = kMargin / 2 + (line - m_top) * m_lineHeight;
        if (y >= client.bottom)
            break;
        TextOutA(dc, kMargin - m_left, y, kLines[line],
                 static_cast<int>(std::strlen(kLines[line])));
    }
    RestoreDC(dc, saved);
}

void NotesView::Measure() {
    HDC dc = GetDC(m_window);
    if (!dc)
        return;
    const HGDIOBJ oldFont = SelectObject(dc, m_font ? m_font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    m_lineHeight = std::max<int>(1, metrics.tmHeight + metrics.tmExternalLeading + 1);
    m_widest = 0;
    for (const char* line : kLines) {
        SIZE size = {};
        GetTextExtentPoint32A(dc, line, static_cast<int>(std::strlen(line)), &size);
        m_widest = std::max<int>(m_widest, size.cx);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(m_window, dc);
}

// Ranges and pages for the current size. Showing or hiding one bar changes
// the client area, so each bar reads it anew; the positions come back from
// the bars, which keep them inside their ranges.
void NotesView::UpdateBars() {
    RECT client = {};
    GetClientRect(m_window, &client);
    SCROLLINFO vertical = {sizeof(vertical),
                           SIF_RANGE | SIF_PAGE | SIF_POS,
                           0,
                           kLineCount - 1,
                           static_cast<UINT>(std::max<int>(1, client.bottom / m_lineHeight)),
                           m_top,
                           0};
    SetScrollInfo(m_window, SB_VERT, &vertical, TRUE);
    GetClientRect(m_window, &client);
    SCROLLINFO horizontal = {sizeof(horizontal),
                             SIF_RANGE | SIF_PAGE | SIF_POS,
                             0,
                             m_widest + 2 * kMargin - 1,
                             static_cast<UINT>(std::max<LONG>(1, client.right)),
                             m_left,
                             0};
    SetScrollInfo(m_window, SB_HORZ, &horizontal, TRUE);
    m_top = GetScrollPos(m_window, SB_VERT);
    m_left = GetScrollPos(m_window, SB_HORZ);
    InvalidateRect(m_window, nullptr, FALSE);
}

void NotesView::ScrollTo(int bar, int position) {
    SCROLLINFO info = {sizeof(info), SIF_POS, 0, 0, 0, position, 0};
    SetScrollInfo(m_window, bar, &info, TRUE);
    const int now = GetScrollPos(m_window, bar);
    int& current = bar == SB_VERT ? m_top : m_left;
    const int moved = current - now;
    if (moved == 0)
        return;
    current = now;
    const RECT area = TextArea();
    ScrollWindowEx(m_window, bar == SB_VERT ? 0 : moved, bar == SB_VERT ? moved * m_lineHeight : 0,
                   &area, &area, nullptr, nullptr, SW_INVALIDATE);
    UpdateWindow(m_window);
}

void NotesView::OnScroll(int bar, int code) {
    SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(m_window, bar, &info))
        return;
    const int line = bar == SB_VERT ? 1 : m_lineHeight;
    const int page = static_cast<int>(info.nPage);
    int position = info.nPos;
    if (code == SB_LINEUP || code == SB_LINEDOWN)
        position += code == SB_LINEUP ? -line : line;
    else if (code == SB_PAGEUP || code == SB_PAGEDOWN)
        position += code == SB_PAGEUP ? -page : page;
    else if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION)
        position = info.nTrackPos;
    else if (code == SB_TOP || code == SB_BOTTOM)
        position = code == SB_TOP ? info.nMin : info.nMax;
    else
        return;
    ScrollTo(bar, position);
}

// The keys scroll as the bars' parts do.
void NotesView::OnKey(UINT key) {
    static const struct {
        UINT key;
        int bar;
        int code;
    } kKeys[] = {{VK_UP, SB_VERT, SB_LINEUP},    {VK_DOWN, SB_VERT, SB_LINEDOWN},
                 {VK_PRIOR, SB_VERT, SB_PAGEUP}, {VK_NEXT, SB_VERT, SB_PAGEDOWN},
                 {VK_HOME, SB_VERT, SB_TOP},     {VK_END, SB_VERT, SB_BOTTOM},
                 {VK_LEFT, SB_HORZ, SB_LINEUP},  {VK_RIGHT, SB_HORZ, SB_LINEDOWN}};
    for (const auto& binding : kKeys) {
        if (binding.key == key)
            OnScroll(binding.bar, binding.code);
    }
}

LRESULT NotesView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFONT:
        m_font = reinterpret_cast<HFONT>(wParam);
        Measure();
        UpdateBars();
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_font);
    case WM_SIZE:
        UpdateBars();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        // Reached only while no skin paints the view.
        PAINTSTRUCT paint = {};
        if (HDC dc = BeginPaint(m_window, &paint)) {
            PaintLines(dc, false);
            EndPaint(m_window, &paint);
        }
        return 0;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
        OnScroll(message == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        ScrollTo(SB_VERT, m_top - GET_WHEEL_DELTA_WPARAM(wParam) * kWheelLines / WHEEL_DELTA);
        return 0;
    case WM_KEYDOWN:
        OnKey(static_cast<UINT>(wParam));
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
        SetFocus(m_window);
        return 0;
    default:
        return DefWindowProcA(m_window, message, wParam, lParam);
    }
}

NotesView* ViewOf(HWND window) {
    return reinterpret_cast<NotesView*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK NotesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* view = new (std::nothrow) NotesView(window);
        if (!view)
            return FALSE;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    NotesView* view = ViewOf(window);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete view;
        view = nullptr;
    }
    return view ? view->Handle(message, wParam, lParam)
                : DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

bool RegisterNotesView(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = NotesProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kNotesViewClass;
    return RegisterClassA(&windowClass) != 0;
}

void SkinNotesView(HWND view, const char* descriptionId) {
    NotesView* notes = ViewOf(view);
    if (!notes)
        return;
    SkinWindow(view, VELMORA_KIND_GENERIC, descriptionId, 0);
    if (SetSelfPaint(view, notes, 0))
        notes->UpdateBars();
}

void ScrollNotesTo(HWND view, int line) {
    if (NotesView* notes = ViewOf(view))
        notes->ScrollTo(SB_VERT, line);
}
