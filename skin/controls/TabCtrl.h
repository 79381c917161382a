// The skin of a system tab control ("SysTabControl32"): a background only.
// It shows what lies under the control and its element's draw items, and
// nothing of the tabs, which stay the control's for the mouse and keyboard.
#pragma once

#include "DrawnCtrl.h"

namespace Velmora {

class CTabCtrl : public CDrawnCtrl {
  public:
    CTabCtrl(ISkinHost& host, WindowInfo* info);
};

} // namespace Velmora
