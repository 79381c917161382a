// The skin of progress bars ("msctls_progress32"): the bar keeps its range and
// position and asks for its repaints itself; the skin paints it through the
// shared progress painter, without the static edge the bar gives itself.
#pragma once

#include "DrawnCtrl.h"

namespace Velmora {

class CProgress : public CDrawnCtrl {
  public:
    CProgress(ISkinHost& host, WindowInfo* info);

    void Attach(HWND window) override;

  protected:
    void PaintLook(HDC dc, const RECT& client) override;
};

} // namespace Velmora
