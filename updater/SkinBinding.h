// The updater's calls into the skin library, in one place. Every call is
// fire-and-forget for the updater: results are ignored and a missing skin
// leaves the window plain.
#pragma once

#include <windows.h>

// What the updater asks of the skin library. The program talks to one
// process-wide binding; tests install their own to watch the calls.
class ISkinBinding {
  public:
    virtual ~ISkinBinding() = default;
    virtual void LoadSkin(const char* skinFile, int mode) = 0;
    virtual void Cleanup() = 0;
    virtual void SkinWindow(HWND window, int kind, const char* description, int recursive) = 0;
    virtual void SetDrawItemValue(HWND window, int kind, const char* item, const char* text) = 0;
    virtual void SetDrawItemVisible(HWND window, int kind, const char* item, BOOL visible) = 0;
};

// Window kinds the updater uses.
enum : int { kSkinKindDialog = 2, kSkinKindProgress = 19 };

// The binding that calls Velmora.dll (VelmoraSkin.cpp, linked only into the
// programs that import the library).
ISkinBinding& VelmoraSkin();

// The binding in use; never null. Until a skin library is bound the calls
// reach nothing visible.
ISkinBinding& Skin();
// Replaces the binding (null restores the default); returns the previous one.
ISkinBinding* SetSkinBinding(ISkinBinding* binding);
