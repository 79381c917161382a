// Base of the control skins that draw their whole window themselves on every
// paint (progress bar, trackbar, the library's slider, the frame animation):
// the look is built in a memory image over the background the parent's skin
// left under the window and copied to the window in one go, so it never
// flickers; parts are named draw items, an image item else a surface item.
#pragma once

#include "Window.h"

namespace Velmora {

class CBufferedControl : public CWindow {
  public:
    CBufferedControl(ISkinHost& host, WindowInfo* info, int windowKind);

  protected:
    // Paints the look over the background already in dc, a client-sized image.
    virtual void PaintContent(HDC dc, const RECT& client) = 0;

    // Paints the image item of the id, else its surface item, over rect; false
    // when the description has neither.
    bool PaintPart(HDC dc, const char* id, const RECT& rect);
    // The image an image item of the id shows; null when none.
    const GDIImage* PartImage(const char* id) const;
    // Repaints the whole window now.
    void RepaintNow();

    // The messages every such skin handles alike; false when message is none of them.
    bool RouteShared(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    int Kind() const { return m_kind; }

  private:
    LRESULT OnPaint();

    int m_kind;
    // Kept from one paint to the next while the window keeps its size.
    CMemoryCanvas m_image;
};

} // namespace Velmora
