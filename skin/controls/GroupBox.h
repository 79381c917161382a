// The skin of group boxes: a frame drawn from the description's surface with
// the caption (text, image or both) set into its top edge, left, centred or
// right as the window's style says.
#pragma once

#include "Window.h"

namespace Velmora {

class CGroupBox : public CWindow {
  public:
    CGroupBox(ISkinHost& host, WindowInfo* info);

    void Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Where a caption captionWidth wide starts in a client clientWidth wide.
    static int CaptionLeft(LONG style, int clientWidth, int captionWidth);

  private:
    // The first frame, caption text and caption image painted in every state.
    struct Look {
        SurfaceItem* frame = nullptr;
        TextItem* text = nullptr;
        ImageItem* image = nullptr;
        explicit operator bool() const { return frame || text || image; }
    };
    Look FindLook() const;
    LRESULT OnPaint();
    bool IsShown(const DrawItemHeader* item) const;
};

} // namespace Velmora
