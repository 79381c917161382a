// Base of every skinned window: the window's description and its draw items,
// one painter per kind, the cached background under the window, placement,
// repainting, the draw-item operations of the library interface, and the
// message handlers the skins share.
#pragma once

#include "DrawHelpers.h"
#include "HookWindow.h"
#include "SkinHost.h"
#include "WindowInfo.h"

#include <commctrl.h>
#include <windows.h>

#include <initializer_list>
#include <memory>
#include <string>

namespace Velmora {

// What a program hands to SetSelfPaint: called after the skin painted the window.
class ISelfPaint {
  public:
    virtual void OnSelfPaint(HDC dc, int value) = 0;

  protected:
    ~ISelfPaint() = default;
};

class CWindow : public CHookWindow {
  public:
    // host is the owner of the skin and of this object; it outlives the object.
    CWindow(ISkinHost& host, WindowInfo* info);
    ~CWindow() override;

    void Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void PaintWindow(HDC dc);
    virtual void CaptureBackground(HDC parentDc);
    virtual LRESULT CustomDraw(NMCUSTOMDRAW* record);
    virtual void DrawItem(DRAWITEMSTRUCT* record);
    virtual void MeasureItem(MEASUREITEMSTRUCT* record);
    virtual void Redraw(bool rebuild, const RECT* rect);
    virtual int SetItemStyle(int row, int column, const char* style);
    virtual int SetItemData(int item, DWORD_PTR data);
    virtual DWORD_PTR GetItemData(int item);
    virtual int SetDrawItemVisible(const char* id, bool visible);
    virtual int SetDrawItemValue(const char* id, const char* value);
    virtual int SetDrawItemVisibleEx(int row, int column, const char* id, bool visible);
    virtual int SetDrawItemValueEx(int row, int column, const char* id, const char* value);
    virtual int TreeCtrlExSetDrawItemVisible(void* item, const char* id, bool visible);
    virtual int TreeCtrlExSetDrawItemValue(void* item, const char* id, const char* value);
    virtual int SetProgressItemPos(int row, int column, int position);
    virtual std::unique_ptr<SubItemOverride> GetSubItemValue(int row, int column, const char* id);
    virtual std::unique_ptr<SubItemOverride> GetSubItemVisible(int row, int column, const char* id);
    virtual std::unique_ptr<SubItemOverride> GetTreeItemValue(void* item, const char* id);
    virtual std::unique_ptr<SubItemOverride> GetTreeItemVisible(void* item, const char* id);
    // The colours of a child control its parent is asked for (WM_CTLCOLOREDIT,
    // WM_CTLCOLORSTATIC with the child's device context): the skin sets them
    // and gives the brush to answer with; null when it has none.
    virtual HBRUSH ControlColor(UINT message, HDC dc);
    // The drop-down list of a combo box opened or closed (its parent heard
    // CBN_DROPDOWN or CBN_CLOSEUP).
    virtual void SetDroppedDown(bool dropped);

    // The images of a button's states, built on the device context of the
    // WM_CTLCOLORBTN its parent heard; skins without them do nothing.
    virtual void BuildStateImages(HDC dc);

    // Paints the list's items of state and of "all" in index order.
    void PaintItems(HDC dc, int windowKind, const DrawItemList& list, int state, const RECT& target,
                    int row, int column, void* extra);
    // The same for a tree item, whose handle goes to the painters.
    void PaintSubItems(HDC dc, int windowKind, const DrawItemList& list, int state,
                       const RECT& target, void* treeItem, void* extra);
    DrawItemHeader* FindItem(const std::string& id, DrawItemKind kind) const;
    // The description's item template ("drawitem") of that id; null when none.
    const DrawItemGroup* FindItemTemplate(const std::string& id) const;
    DrawItemHeader* FindItemOfState(DrawItemKind kind, int state) const;

    // Changes style bits (index GWL_STYLE or GWL_EXSTYLE) that the skin needs
    // for its own drawing (owner-draw, icon captions, a frame of its own) on
    // window, the one it attaches to or has. The host remembers what changed
    // in GWL_STYLE, so the window keeps its kind; the window gets its own bits
    // back when the skin lets go of it while it lives on.
    void ChangeWindowStyle(HWND window, int index, LONG remove, LONG add);
    void AddWindowStyle(LONG bits) { ChangeWindowStyle(m_hwnd, GWL_STYLE, 0, bits); }

    ISkinHost& Host() const { return m_host; }
    WindowInfo* GetInfo() const { return m_info; }
    void SetInfo(WindowInfo* info) { m_info = info; }
    bool IsTransparent() const { return m_info && m_info->transparent; }
    void SetSelfPaint(ISelfPaint* handler, int value) {
        m_selfPaint = handler;
        m_selfPaintValue = value;
    }
    ISelfPaint* GetSelfPaint() const { return m_selfPaint; }
    int GetSelfPaintValue() const { return m_selfPaintValue; }
    const CMemoryCanvas& GetBackground() const { return m_background; }

  protected:
    // Puts the skin's scroll bars in place of the window's own, as the
    // description's "scrollbar" property names them; they go again when the
    // skin lets go of the window.
    void InstallWindowScrollBars();

    const IDraw* PainterOf(DrawItemKind kind) const;
    // Paints the description's item of that id, of the first of kinds that has
    // one, over target as a whole-window item; false when none of them has it.
    bool PaintFirstOf(HDC dc, int windowKind, const std::string& id,
                      std::initializer_list<DrawItemKind> kinds, const RECT& target);

    // Shared message handlers of the derived skins.
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnSizeRedraw(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground();
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnMeasureItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
    // A menu bar child is painted through its custom-draw notifications.
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnCtlColorButton(WPARAM wParam, LPARAM lParam);
    // Colour messages about a skinned edit child go to its skin.
    LRESULT OnCtlColorEdit(HDC dc, HWND child);
    LRESULT OnCtlColorStatic(HDC dc, HWND child);
    // Tells a skinned combo box child that its list opened or closed.
    void NotifyComboBox(int code, HWND child);
    // WM_MOVE and WM_SIZE of a child that paints over its parent's look: the
    // background it holds lies under its former place, so it takes it anew.
    LRESULT OnPlaceChanged(UINT message, WPARAM wParam, LPARAM lParam);

    // Asks for WM_MOUSELEAVE once the mouse leaves the window.
    void TrackMouseLeave() const;

    // A skin whose background was dropped takes it again from the cached look
    // of its parent's skin, when the parent has one.
    void TakeBackgroundFromParent();
    // Whether the window is being destroyed: nothing needs to be given back.
    bool IsWindowEnding() const { return m_windowEnding; }

    // What a skin that paints a background for skinned children does for
    // them, given the lists of the children it serves. Leaves the visible,
    // non-transparent ones out of dc's clip region (with keepComplexRegions,
    // those shaped by a complex window region stay in).
    void ExcludeOpaqueChildren(HDC dc, std::initializer_list<SkinList> lists,
                               bool keepComplexRegions = false) const;
    // Lets the children take their backgrounds from this window's painted look.
    void LetChildrenCaptureBackground(HDC look, std::initializer_list<SkinList> lists) const;
    // After a part of this window was redrawn: the transparent children paint
    // again over the new look, taking their backgrounds from cachedLook (this
    // window's cached look, when it has one) if their rebuild dropped them.
    void RedrawTransparentChildren(std::initializer_list<SkinList> lists,
                                   const CMemoryCanvas* cachedLook) const;

    ISkinHost& m_host;
    CMemoryCanvas m_background;
    CDrawLineHelper m_lineHelper;
    CDrawTextHelper m_textHelper;
    CDrawSurfaceHelper m_surfaceHelper;
    CDrawImageHelper m_imageHelper;
    WindowInfo* m_info = nullptr;
    ISelfPaint* m_selfPaint = nullptr;
    int m_selfPaintValue = 0;
    bool m_scrollBarsInstalled = false;

  private:
    void ReleaseWindowScrollBars();
    struct StyleChange {
        LONG added = 0;
        LONG removed = 0;
    };
    // Unhooks the window and gives it back its own style bits.
    void LetGo();

    // For GWL_STYLE and GWL_EXSTYLE.
    StyleChange m_styleChanges[2];
    bool m_windowEnding = false;

    template <class ChangeText, class ChangeImage>
    int ChangeItem(const char* id, ChangeText changeText, ChangeImage changeImage);
    void PaintList(HDC dc, int windowKind, const DrawItemList& list, int state, const RECT& target,
                   const SubItem& subItem, void* extra);
};

} // namespace Velmora
