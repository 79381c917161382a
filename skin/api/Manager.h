// The skin library's process-wide owner of a loaded skin: database entries,
// resources, window descriptions, the skin objects of skinned windows, and
// the values and visibilities a program set for draw items. It hands itself
// to what it loads and skins through the narrow interfaces of the layers
// below (ISkinStore, ISkinView, ISkinHost).
#pragma once

#include "ColorAdjust.h"
#include "DescriptionRegistry.h"
#include "GDICursor.h"
#include "GDIFont.h"
#include "GDIImage.h"
#include "ResourceList.h"
#include "Singleton.h"
#include "SkinEntry.h"
#include "SkinHost.h"
#include "SkinStore.h"
#include "VelmoraImage.h"

#include <windows.h>

#include <array>
#include <initializer_list>
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace Velmora {

class CWindow;
class ISelfPaint;

// One window kind's skin objects in creation order; the object of a window is
// found and taken out in constant time. An object is taken out of the list
// before it is destroyed, so a destructor that destroys further skinned windows
// finds the list consistent.
class SkinObjectList {
  public:
    SkinObjectList();
    SkinObjectList(const SkinObjectList&) = delete;
    SkinObjectList& operator=(const SkinObjectList&) = delete;
    ~SkinObjectList();

    CWindow* Find(HWND window) const;
    CWindow* Add(HWND window, std::unique_ptr<CWindow> object);
    // The window's object, no longer listed; null when the window has none.
    std::unique_ptr<CWindow> Take(HWND window);
    // Destroys the objects one by one, oldest first.
    void Clear();
    struct Entry {
        HWND window;
        std::unique_ptr<CWindow> object;
    };
    const std::list<Entry>& Entries() const { return m_objects; }

  private:
    using Position = std::list<Entry>::iterator;
    std::list<Entry> m_objects;
    std::unordered_map<HWND, Position> m_byWindow;
};

class CManager : public CSingleton<CManager>, public ISkinHost, public ISkinStore {
    friend class CSingleton<CManager>;

  public:
    ~CManager() override;

    // Loading a skin; every load adds to what is loaded.
    int LoadSkinFolder(const char* folderName);
    int LoadSkinFile(const char* fileName);
    int LoadSkinFromResource(const char* resourceName, const char* resourceType);
    int LoadSkinFromSkinDBFileBuf(const void* buffer, size_t size);
    int LoadSkinEntries(const uint8_t* unpacked, size_t unpackedSize, uint32_t indexLength);
    int LoadDescriptionEntries();
    // Appends a database entry; the first entry of a name (ignoring case) stays
    // the one FindSkinEntry returns.
    void AddSkinEntry(std::unique_ptr<SkinEntry> entry);
    const SkinEntry* FindSkinEntry(const char* name) const;
    const std::vector<std::unique_ptr<SkinEntry>>& Entries() const { return m_entries; }
    static std::string GetModuleDirectory();

    // Window descriptions, one registry per description type; menus are the
    // popup-menu skin's.
    DescriptionRegistry& Descriptions(DescriptionType type) override;
    WindowInfo* FindDescription(DescriptionType type, const std::string& id) const override;
    bool FindEntry(const std::string& name, SkinEntryData& entry) const override;

    // Resources; lookups compare ids exactly.
    ResourceList<GDIFont>& Fonts() override { return m_fonts; }
    ResourceList<GDICursor>& Cursors() override { return m_cursors; }
    ResourceList<GDIImage>& Images() override { return m_images; }
    GDIFont* FindFont(const std::string& id) const override { return m_fonts.Find(id); }
    GDICursor* FindCursor(const std::string& id) const override { return m_cursors.Find(id); }
    GDIImage* FindImage(const std::string& id) const override { return m_images.Find(id); }
    CVelmoraImage* GetFileImage(const std::string& name, bool reload) override;
    CVelmoraImage* FindFileImage(const std::string& name) const override;

    // Skinning windows. Kinds are the library interface's window kinds.
    // A window keeps the kind it had before its skin added style bits.
    int WindowKindOf(HWND window) const;
    int SkinWindow(HWND window, int kind, const char* id, bool recursive) override;
    CWindow* FindSkinObject(HWND window, int kind) const;
    CWindow* FindSkinObject(HWND window, SkinList list) const override;
    std::vector<CWindow*> SkinnedChildren(HWND parent,
                                          std::initializer_list<SkinList> lists) const override;
    CWindow* AddSkinObject(HWND window, SkinList list, std::unique_ptr<CWindow> object) override;
    void RememberStyleChange(HWND window, LONG added, LONG removed) override;
    void ForgetWindow(HWND window) override;
    IPopupMenuSkin* PopupMenuSkin() const override;
    void RemoveWindow(HWND window);
    int SetDrawItemValue(HWND window, int kind, const char* id, const char* value);
    int SetDrawItemVisible(HWND window, int kind, const char* id, bool visible);
    int SetSelfPaint(HWND window, ISelfPaint* handler, int value);
    // Repaints every skinned window, e.g. after the skin's colours changed.
    void RedrawSkinnedWindows();

    // Whole-skin colour adjustment; 1 applied, 0 out of range.
    int AdjustColor(int32_t hueShift, int32_t saturation, int32_t lightness);
    const ColorAdjustment& GetColorAdjustment() const { return m_colorAdjustment; }

    // Values and visibilities a program set for (window, draw item id).
    void SetValueRecord(HWND window, const std::string& id, const std::string& value);
    void SetVisibleRecord(HWND window, const std::string& id, bool visible);
    const std::string* FindValueRecord(HWND window, const std::string& id) const override;
    std::optional<bool> FindVisibleRecord(HWND window, const std::string& id) const override;
    void RemoveWindowValues(HWND window);
    // The overrides the control skin of a window keeps for its sub-items.
    std::unique_ptr<SubItemOverride> FindSubItemValue(HWND window, int windowKind,
                                                      const SubItem& subItem,
                                                      const std::string& id) override;
    std::unique_ptr<SubItemOverride> FindSubItemVisible(HWND window, int windowKind,
                                                        const SubItem& subItem,
                                                        const std::string& id) override;

  private:
    CManager();
    int LoadFolderDescriptions(const char* folderName);
    std::unique_ptr<SubItemOverride> FindSubItemOverride(HWND window, int windowKind,
                                                         const SubItem& subItem,
                                                         const std::string& id,
                                                         bool visibility) const;

    ColorAdjustment m_colorAdjustment;
    std::vector<std::unique_ptr<SkinEntry>> m_entries;
    std::unordered_map<std::string, const SkinEntry*> m_entryByFoldedName;
    // Entries before this one have had their descriptions read.
    size_t m_entriesDescribed = 0;
    std::vector<std::unique_ptr<CVelmoraImage>> m_fileImages;
    std::unordered_map<std::string, CVelmoraImage*> m_fileImageByName;
    ResourceList<GDIFont> m_fonts;
    ResourceList<GDICursor> m_cursors;
    ResourceList<GDIImage> m_images;
    std::array<SkinObjectList, kSkinListCount> m_skinObjects;
    std::array<DescriptionRegistry, kDescriptionRegistryCount> m_descriptions;
    std::unordered_map<HWND, std::unordered_map<std::string, std::string>> m_values;
    std::unordered_map<HWND, std::unordered_map<std::string, bool>> m_visibilities;
    // Style bits that skins added to and removed from their windows' styles.
    struct StyleChange {
        LONG added = 0;
        LONG removed = 0;
    };
    std::unordered_map<HWND, StyleChange> m_styleChanges;
};

} // namespace Velmora
