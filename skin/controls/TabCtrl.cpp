#include "TabCtrl.h"

#include "WindowKind.h"

namespace Velmora {

CTabCtrl::CTabCtrl(ISkinHost& host, WindowInfo* info)
    : CDrawnCtrl(host, info, KindNumber(WindowKind::TabCtrl)) {}

} // namespace Velmora
