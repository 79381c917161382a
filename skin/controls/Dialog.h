// The skin of dialogs: the native caption and frame give way to the skin's
// look, painted once into a cached background; the window is shaped by the
// background's clip colour, sized by its borders, dragged by its caption band,
// and gets skinned minimise, maximise, restore and close buttons. It serves
// its skinned children: backgrounds, owner-drawn buttons, colour messages and
// the commands they send.
//
// It lives with the control skins because it makes and routes to them: its
// command buttons are button skins, and its children's clicks turn check and
// radio boxes over.
#pragma once

#include "Window.h"

#include <array>

namespace Velmora {

class CDialog : public CWindow {
  public:
    // Command identifiers of the buttons the skin makes: minimise, maximise,
    // restore, close.
    static constexpr int kFirstCommandId = 14416;
    static constexpr int kCommandButtonCount = 4;

    CDialog(ISkinHost& host, WindowInfo* info);
    ~CDialog() override;

    void Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintWindow(HDC dc) override;
    void Redraw(bool rebuild, const RECT* rect) override;

  private:
    // The hit-test code of a screen point by the skin's sizing borders and
    // caption band; HTNOWHERE when the point is on neither.
    int HitTest(POINT screen) const;
    DialogInfo* Info() const;
    bool HasOwnFrame() const;
    void CreateCommandButtons(LONG style);
    void LayOutCommandButtons();
    void DestroyCommandButtons();
    ImageItem* BackgroundItem() const;
    void BuildWindowRegion(HDC dc, const ImageItem& back, const RECT& client);

    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint();
    LRESULT OnSetCursorByHit(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnStaticColor(HDC dc, HWND control);

    std::array<HWND, kCommandButtonCount> m_commandButtons{};
    bool m_shaped = false;
};

} // namespace Velmora
