// Public interface of Velmora.dll for C and C++ programs: loading a skin,
// skinning windows, changing their draw items, the library's own controls and
// the window mark that keeps a window unskinned. The image classes CPixFile,
// CPixIOFile, CPixMemFile and CPixImage that the library also exports are
// declared by the image layer's headers PixFile.h and PixImage.h.
#pragma once

#include <windows.h>

#ifdef VELMORA_BUILDING_DLL
#define VELMORA_API __declspec(dllexport)
#else
#define VELMORA_API __declspec(dllimport)
#endif
#define VELMORA_CALL __cdecl

// Binds a function whose C name differs from its exported name, because the
// exported name is also a function of the window system (GCC and Clang; other
// compilers find it with GetProcAddress). The library itself exports it under
// that name through its module-definition file.
#if defined(__GNUC__) && defined(__i386__) && !defined(VELMORA_BUILDING_DLL)
#define VELMORA_EXPORT_NAME(name) __asm__("_" #name)
#elif defined(__GNUC__) && !defined(VELMORA_BUILDING_DLL)
#define VELMORA_EXPORT_NAME(name) __asm__(#name)
#else
#define VELMORA_EXPORT_NAME(name)
#endif

// Window kinds, the "kind" argument of SkinWindow and the draw-item functions.
enum VelmoraWindowKind {
    VELMORA_KIND_GENERIC = 1,
    VELMORA_KIND_DIALOG = 2,
    VELMORA_KIND_BUTTON = 3,
    VELMORA_KIND_CHECKBOX = 4,
    VELMORA_KIND_RADIOBOX = 5,
    VELMORA_KIND_STATIC = 6,
    VELMORA_KIND_EDIT = 7,
    VELMORA_KIND_GROUPBOX = 8,
    VELMORA_KIND_COMBOBOX = 9,
    VELMORA_KIND_SCROLLBAR = 11,
    VELMORA_KIND_TOOLBAR = 12,
    VELMORA_KIND_TOOLBAREX = 13,
    VELMORA_KIND_TABCTRL = 14,
    VELMORA_KIND_TABCTRLEX = 15,
    VELMORA_KIND_HEADERCTRL = 16,
    VELMORA_KIND_LISTCTRL = 17,
    VELMORA_KIND_PROGRESS = 19,
    VELMORA_KIND_SLIDER = 20,
    VELMORA_KIND_SLIDEREX = 21,
    VELMORA_KIND_ANIMATE = 22,
    VELMORA_KIND_NONE = 23,
    VELMORA_KIND_TREECTRLEX = 24,
    VELMORA_KIND_OWNERDRAWBUTTON = 100
};

// LoadSkin modes.
#define VELMORA_SKIN_FOLDER 1
#define VELMORA_SKIN_FILE 2

// The window property that keeps a window unskinned when its parent is skinned
// recursively; its value is the window handle itself.
#define VELMORA_NO_SKIN_PROPERTY "#velmora_set_this_hwnd_no_skin"

#ifdef __cplusplus
namespace Velmora {
#ifdef VELMORA_BUILDING_DLL
class ISelfPaint;
#else
// Called after the skin painted a window, with the window's device context
// and the value given to SetSelfPaint. The library never deletes it.
class ISelfPaint {
  public:
    virtual void OnSelfPaint(HDC dc, int value) = 0;

  protected:
    ~ISelfPaint() = default;
};
#endif
} // namespace Velmora
typedef Velmora::ISelfPaint VelmoraSelfPaint;
#else
typedef struct VelmoraSelfPaint VelmoraSelfPaint;
#endif

// An item of the library's tree control.
typedef struct VelmoraTreeItemRecord* VelmoraTreeItem;

// Compares two tree items' data: negative, zero or positive.
typedef LONG(CALLBACK* VelmoraTreeCompare)(DWORD_PTR first, DWORD_PTR second, DWORD_PTR user);

// What TreeCtrlExSortChildrenCB sorts: the children of parent, by compare.
typedef struct VelmoraTreeSort {
    VelmoraTreeItem parent;
    VelmoraTreeCompare compare;
    DWORD_PTR user;
} VelmoraTreeSort;

#ifdef __cplusplus
extern "C" {
#endif

// Skin loading and release.
VELMORA_API int VELMORA_CALL LoadSkin(const char* name, int mode);
VELMORA_API int VELMORA_CALL LoadSkinFromResource(const char* resourceName,
                                                  const char* resourceType);
VELMORA_API void VELMORA_CALL Cleanup(void);

// Window skinning.
VELMORA_API void VELMORA_CALL SkinWindow(HWND window, int kind, const char* descriptionId,
                                         int recursive);
VELMORA_API int VELMORA_CALL SetSelfPaint(HWND window, VelmoraSelfPaint* setting, int value);

// Draw items of a window, and of a cell or item of a list, tab strip or toolbar.
VELMORA_API int VELMORA_CALL SetDrawItemValue(HWND window, int kind, const char* id,
                                              const char* value);
VELMORA_API int VELMORA_CALL SetDrawItemVisible(HWND window, int kind, const char* id, int visible);
VELMORA_API int VELMORA_CALL SetDrawItemValueEx(HWND window, int kind, int row, int column,
                                                const char* id, const char* value);
VELMORA_API int VELMORA_CALL SetDrawItemVisibleEx(HWND window, int kind, int row, int column,
                                                  const char* id, int visible);
VELMORA_API int VELMORA_CALL GetDrawItemValueEx(HWND window, int kind, int row, int column,
                                                const char* id, char* buffer,
                                                unsigned int bufferSize);
VELMORA_API int VELMORA_CALL SetProgressItemPos(HWND window, int kind, int row, int column,
                                                int position);
VELMORA_API int VELMORA_CALL SetAnimatePlay(HWND window, int play);

// Rows of a skinned list control.
VELMORA_API int VELMORA_CALL SetItemStyle(HWND window, int kind, int row, int column,
                                          const char* styleName);
VELMORA_API int VELMORA_CALL SetItemData(HWND window, int kind, int row, DWORD_PTR data);
VELMORA_API DWORD_PTR VELMORA_CALL GetItemData(HWND window, int kind, int row);

// Colours and images of the loaded skin.
VELMORA_API int VELMORA_CALL AdjustColor(int hueShift, unsigned int saturation,
                                         unsigned int lightness);
VELMORA_API int VELMORA_CALL DrawImage(const char* imageId, HDC dc, const RECT* destination,
                                       const RECT* source, int option);

// Menus. The popup-menu function is exported as "TrackPopupMenu".
int VELMORA_CALL VelmoraTrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner,
                                       const char* menuId) VELMORA_EXPORT_NAME(TrackPopupMenu);
VELMORA_API HWND VELMORA_CALL AddMenuBar(HWND window, HMENU menu, const char* toolbarId,
                                         const char* menuId);

// The library's tab strip (kind 15) and toolbar (kind 13).
VELMORA_API int VELMORA_CALL TabCtrlExAddItem(HWND window, const char* styleName);
VELMORA_API int VELMORA_CALL TabCtrlExSetItemSelected(HWND window, int id);
VELMORA_API int VELMORA_CALL TabCtrlExGetItemSelectedIndex(HWND window);
VELMORA_API int VELMORA_CALL TabCtrlExRemoveItem(HWND window, int id);
VELMORA_API int VELMORA_CALL ToolBarExAddItem(HWND window, const char* styleName);
VELMORA_API int VELMORA_CALL ToolBarExSetItemSelected(HWND window, int id);
VELMORA_API int VELMORA_CALL ToolBarExRemoveItem(HWND window, int id);

// The library's slider (kind 21).
VELMORA_API int VELMORA_CALL SliderExSetRange(HWND window, int minimum, int maximum);
VELMORA_API int VELMORA_CALL SliderExSetPos(HWND window, int position);

// The library's tree control (kind 24).
VELMORA_API VelmoraTreeItem VELMORA_CALL TreeCtrlExInsertItem(HWND window, const char* text,
                                                              VelmoraTreeItem parent,
                                                              VelmoraTreeItem insertAfter,
                                                              DWORD_PTR data);
VELMORA_API VelmoraTreeItem VELMORA_CALL TreeCtrlExInsertItem2(HWND window, const char* text,
                                                               const char* styleName,
                                                               VelmoraTreeItem parent,
                                                               VelmoraTreeItem insertAfter,
                                                               DWORD_PTR data);
VELMORA_API int VELMORA_CALL TreeCtrlExSetLevelItemHeight(HWND window, int level, int mask,
                                                          int height);
VELMORA_API int VELMORA_CALL TreeCtrlExSetDrawItemVisible(HWND window, VelmoraTreeItem item,
                                                          const char* id, int visible);
VELMORA_API int VELMORA_CALL TreeCtrlExSetDrawItemValue(HWND window, VelmoraTreeItem item,
                                                        const char* id, const char* value);
VELMORA_API VelmoraTreeItem VELMORA_CALL TreeCtrlExHitTest(HWND window, int x, int y);
VELMORA_API VelmoraTreeItem VELMORA_CALL TreeCtrlExGetSelectedItem(HWND window);
VELMORA_API DWORD_PTR VELMORA_CALL TreeCtrlExGetItemData(HWND window, VelmoraTreeItem item);
VELMORA_API int VELMORA_CALL TreeCtrlExSetItemData(HWND window, VelmoraTreeItem item,
                                                   DWORD_PTR data);
VELMORA_API int VELMORA_CALL TreeCtrlExItemHasChildren(HWND window, VelmoraTreeItem item);
VELMORA_API VelmoraTreeItem VELMORA_CALL TreeCtrlExGetRootItem(HWND window);
VELMORA_API VelmoraTreeItem VELMORA_CALL TreeCtrlExGetChildItem(HWND window, VelmoraTreeItem item);
VELMORA_API VelmoraTreeItem VELMORA_CALL TreeCtrlExGetNextSiblingItem(HWND window,
                                                                      VelmoraTreeItem item);
VELMORA_API VelmoraTreeItem VELMORA_CALL TreeCtrlExGetParentItem(HWND window, VelmoraTreeItem item);
VELMORA_API int VELMORA_CALL TreeCtrlExExpand(HWND window, VelmoraTreeItem item);
VELMORA_API int VELMORA_CALL TreeCtrlExDeleteItem(HWND window, VelmoraTreeItem item);
VELMORA_API int VELMORA_CALL TreeCtrlExSelectItem(HWND window, VelmoraTreeItem item);
VELMORA_API int VELMORA_CALL TreeCtrlExDeleteAllItems(HWND window);
VELMORA_API int VELMORA_CALL TreeCtrlExSortChildrenCB(HWND window, const VelmoraTreeSort* sort);
VELMORA_API int VELMORA_CALL TreeCtrlExMoveItem(HWND window, VelmoraTreeItem item,
                                                VelmoraTreeItem newParent);

#ifdef __cplusplus
} // extern "C"

namespace Velmora {

// Marks a window so that recursive skinning of its parent leaves it alone, and
// takes the mark away again on destruction, unless someone else had set it.
class VELMORA_API CVelmoraWindowProp {
  public:
    CVelmoraWindowProp();
    explicit CVelmoraWindowProp(HWND window);
    CVelmoraWindowProp(const CVelmoraWindowProp& other);
    ~CVelmoraWindowProp();
    CVelmoraWindowProp& operator=(const CVelmoraWindowProp& other);

    // Marks window when it carries no mark yet and remembers it; otherwise
    // remembers no window.
    void SetPropA(HWND window);
    // Non-zero when the remembered window carries the mark.
    int IsSet() const;

  private:
    HWND m_window;
};

} // namespace Velmora
#endif
