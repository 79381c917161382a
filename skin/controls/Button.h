// The skin of push buttons, check boxes and radio boxes: the window is made
// owner-drawn, the images of its eight states are painted once from the
// description, and every paint copies the image of the state it is in.
#pragma once

#include "Window.h"

#include <array>

namespace Velmora {

class CButton : public CWindow {
  public:
    CButton(ISkinHost& host, WindowInfo* info);
    ~CButton() override;

    void Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void CaptureBackground(HDC parentDc) override;
    void DrawItem(DRAWITEMSTRUCT* record) override;
    void Redraw(bool rebuild, const RECT* rect) override;
    void BuildStateImages(HDC dc) override;

    // The click of a check or radio box that checks itself
    // (BS_AUTOCHECKBOX, BS_AUTORADIOBUTTON): a check box turns over, a radio
    // box is checked. Other buttons leave their state to their program.
    void Toggle();
    // What the skin of a window holding skinned controls does with their
    // WM_COMMAND before the window's own procedure: a clicked (BN_CLICKED)
    // skinned check or radio box is toggled.
    static void ToggleClicked(ISkinHost& host, WPARAM wParam, LPARAM lParam);
    // The state image DrawItem copies for the owner-draw state bits.
    int StateOf(UINT itemState) const;

  private:
    bool IsCheckBox() const;
    bool IsRadioBox() const;
    void DropStateImages();
    void ResizeToNormalImage(HWND window);
    LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    void UncheckGroup();

    // The button type its creator gave (low four bits of the style).
    LONG m_type = 0;
    bool m_imagesValid = false;
    std::array<CMemoryCanvas, 8> m_images;
    bool m_hovering = false;
    bool m_checked = false;
};

// The message by which a radio box that was checked tells the others of its
// group to show themselves unchecked.
constexpr UINT kRadioGroupUnchecked = 0x3C54;

} // namespace Velmora
