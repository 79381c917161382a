#include "SkinBinding.h"

namespace {

// Without a skin library the window is the plain dialog and the status
// lines have nowhere to show.
class CNoSkin final : public ISkinBinding {
  public:
    void LoadSkin(const char*, int) override {}
    void Cleanup() override {}
    void SkinWindow(HWND, int, const char*, int) override {}
    void SetDrawItemValue(HWND, int, const char*, const char*) override {}
    void SetDrawItemVisible(HWND, int, const char*, BOOL) override {}
};

CNoSkin g_noSkin;
ISkinBinding* g_binding = &g_noSkin;

} // namespace

ISkinBinding& Skin() {
    return *g_binding;
}

ISkinBinding* SetSkinBinding(ISkinBinding* binding) {
    ISkinBinding* previous = g_binding;
    g_binding = binding ? binding : &g_noSkin;
    return previous;
}
