// Exported functions that address one cell or row of a skinned list control,
// tab strip or toolbar; they reach the skin object of the window's kind. A
// failure inside gives the function's failure value.
#include "ErrorBarrier.h"
#include "Manager.h"
#include "Velmora.h"
#include "Window.h"

#include <cstring>
#include <memory>

namespace {

using Velmora::CallGuarded;
using Velmora::CManager;
using Velmora::CWindow;

constexpr int kNoRow = -1;
constexpr int kNoColumn = -1;
constexpr int kMaxProgress = 100;

// Cells are addressed in the list control and the library's tab strip and toolbar.
bool HasCells(int kind) {
    return kind == VELMORA_KIND_TOOLBAREX || kind == VELMORA_KIND_TABCTRLEX ||
           kind == VELMORA_KIND_LISTCTRL;
}

CWindow* SkinObject(HWND window, int kind) {
    return CManager::Instance()->FindSkinObject(window, kind);
}

} // namespace

extern "C" {

int VELMORA_CALL SetDrawItemValueEx(HWND window, int kind, int row, int column, const char* id,
                                    const char* value) {
    return CallGuarded(0, [&] {
        if (!window || !id || !value || row == kNoRow || !HasCells(kind))
            return 0;
        CWindow* object = SkinObject(window, kind);
        return object ? object->SetDrawItemValueEx(row, column, id, value) : 0;
    });
}

int VELMORA_CALL SetDrawItemVisibleEx(HWND window, int kind, int row, int column, const char* id,
                                      int visible) {
    return CallGuarded(0, [&] {
        if (!window || !id || row == kNoRow || !HasCells(kind))
            return 0;
        CWindow* object = SkinObject(window, kind);
        return object ? object->SetDrawItemVisibleEx(row, column, id, visible != 0) : 0;
    });
}

// The buffer is written only when the whole value and its terminating zero fit.
int VELMORA_CALL GetDrawItemValueEx(HWND window, int kind, int row, int column, const char* id,
                                    char* buffer, unsigned int bufferSize) {
    return CallGuarded(0, [&] {
        if (!window || !id || !buffer || row == kNoRow || bufferSize == 0 || !HasCells(kind))
            return 0;
        CWindow* object = SkinObject(window, kind);
        if (!object)
            return 0;
        const std::unique_ptr<Velmora::SubItemOverride> cell =
            object->GetSubItemValue(row, column, id);
        if (!cell || cell->value.size() >= bufferSize)
            return 0;
        std::memcpy(buffer, cell->value.c_str(), cell->value.size() + 1);
        return 1;
    });
}

// A progress position is a percentage.
int VELMORA_CALL SetProgressItemPos(HWND window, int kind, int row, int column, int position) {
    return CallGuarded(0, [&] {
        if (!window || row == kNoRow || column == kNoColumn || position < 0 ||
            position > kMaxProgress || kind != VELMORA_KIND_LISTCTRL)
            return 0;
        CWindow* object = SkinObject(window, kind);
        return object ? object->SetProgressItemPos(row, column, position) : 0;
    });
}

int VELMORA_CALL SetItemStyle(HWND window, int kind, int row, int column, const char* styleName) {
    return CallGuarded(0, [&] {
        if (!window || !styleName)
            return 0;
        if (kind != VELMORA_KIND_LISTCTRL)
            return 1;
        CWindow* object = SkinObject(window, kind);
        return object ? object->SetItemStyle(row, column, styleName) : 0;
    });
}

int VELMORA_CALL SetItemData(HWND window, int kind, int row, DWORD_PTR data) {
    return CallGuarded(0, [&] {
        if (!window)
            return 0;
        if (kind == VELMORA_KIND_LISTCTRL) {
            if (CWindow* object = SkinObject(window, kind))
                object->SetItemData(row, data);
        }
        return 1;
    });
}

DWORD_PTR VELMORA_CALL GetItemData(HWND window, int kind, int row) {
    return CallGuarded(DWORD_PTR{0}, [&]() -> DWORD_PTR {
        if (!window || kind != VELMORA_KIND_LISTCTRL)
            return 0;
        CWindow* object = SkinObject(window, kind);
        return object ? object->GetItemData(row) : 0;
    });
}

} // extern "C"
