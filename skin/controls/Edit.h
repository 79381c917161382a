// The skin of an edit control ("Edit"): the edit paints its own text; the skin
// draws its border in the non-client area from surface items, gives its
// parent the colours and brushes to answer the colour messages with, puts
// window scroll bars in, and shows a cue text ("edittips") while the edit is
// empty and unfocused.
#pragma once

#include "GdiObjects.h"
#include "Window.h"

#include <windows.h>

#include <string>

namespace Velmora {

class CEdit : public CWindow {
  public:
    CEdit(ISkinHost& host, WindowInfo* info);
    ~CEdit() override;

    void Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void CaptureBackground(HDC parentDc) override;
    void Redraw(bool rebuild, const RECT* rect) override;
    int SetDrawItemValue(const char* id, const char* value) override;
    HBRUSH ControlColor(UINT message, HDC dc) override;

  private:
    const SurfaceItem* Surface(int state) const;
    std::string CueText() const;
    // The cue shows only in an edit that holds no text of its own and does
    // not have the focus.
    bool CanShowCue() const;
    void ShowCue(const std::string& cue);
    void SetText(const char* text);
    void SetColors(HDC dc, const SurfaceItem* surface);
    void RecalculateFrame();

    LRESULT OnNcPaint(WPARAM region);
    LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetText(LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);

    bool m_hovering = false;
    bool m_showingCue = false;
    // Set while the skin itself changes the window text.
    bool m_settingText = false;
    CGdiHandle<HBRUSH> m_backgroundBrush;
    CGdiHandle<HBRUSH> m_normalBrush;
    CGdiHandle<HBRUSH> m_hoverBrush;
    CGdiHandle<HBRUSH> m_disabledBrush;
};

} // namespace Velmora
