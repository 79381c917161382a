// The updater's skin calls bound to the skin library Velmora.dll, which the
// program imports by name: it does not start without the library.
#include "SkinBinding.h"
#include "Velmora.h"

namespace {

class CVelmoraSkin final : public ISkinBinding {
  public:
    void LoadSkin(const char* skinFile, int mode) override { ::LoadSkin(skinFile, mode); }
    void Cleanup() override { ::Cleanup(); }
    void SkinWindow(HWND window, int kind, const char* description, int recursive) override {
        ::SkinWindow(window, kind, description, recursive);
    }
    void SetDrawItemValue(HWND window, int kind, const char* item, const char* text) override {
        ::SetDrawItemValue(window, kind, item, text);
    }
    void SetDrawItemVisible(HWND window, int kind, const char* item, BOOL visible) override {
        ::SetDrawItemVisible(window, kind, item, visible);
    }
};

} // namespace

ISkinBinding& VelmoraSkin() {
    static CVelmoraSkin skin;
    return skin;
}
