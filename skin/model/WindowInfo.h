// Window descriptions: the parsed form of one window item of a skin
// description, with the records that the kinds with extra properties add.
#pragma once

#include "DrawItems.h"
#include "Region.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Velmora {

// The "type" of a window item. The first nineteen name the manager's
// description registries, in the manager's order; menus are kept apart.
enum class DescriptionType : int32_t {
    CommonCtrl,
    Dialog,
    Button, // also "checkbox" and "radiobox"
    Static,
    Edit,
    GroupBox,
    ComboBox,
    ToolBar,
    ScrollBar,
    TabCtrl,
    TabCtrlEx,
    ToolBarEx,
    HeaderCtrl,
    ListCtrl,
    Progress,
    Slider,
    SliderEx,
    Animate,
    TreeCtrlEx,
    Menu,
};

constexpr size_t kDescriptionRegistryCount = 19;

struct WindowInfo {
    virtual ~WindowInfo() = default;

    std::string id;
    DrawItemList drawItems;
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool hasPosition = false;
    std::string cursorId;
    std::string scrollBarId;
    bool transparent = false;
    std::vector<std::unique_ptr<DrawItemGroup>> itemTemplates;
    std::vector<std::unique_ptr<EventItem>> eventItems;
};

struct ButtonInfo : WindowInfo {
    // 0 push button ("button"), 1 check box ("checkbox"), 2 radio box ("radiobox").
    int32_t buttonKind = 0;
};

// A minimise, maximise, restore or close button of a dialog ("min", "max",
// "restore", "close"), placed at left, top (negative: from the right or bottom
// edge) with the look of the button description buttonId. Its width and
// height come from that look when the dialog makes the button.
struct CommandButtonItem {
    std::string id;
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::string buttonId;
};

struct DialogInfo : WindowInfo {
    int32_t resize = 0;
    int32_t titleBar = 0;
    int32_t minWidth = 0;
    int32_t minHeight = 0;
    uint32_t clipColor = kNoColor;
    // Pieces of the background image along the window's edges whose
    // clip-coloured pixels are cut out of the window; each piece's region is
    // built on first use and kept for every later window region.
    std::vector<std::unique_ptr<CRegion>> windowRegion;
    std::vector<CommandButtonItem> commandButtons;
};

struct EditInfo : WindowInfo {
    std::string fontId;
    uint32_t textColor = kNoColor;
};

struct ComboBoxInfo : WindowInfo {
    std::array<int32_t, 4> editMargin{};
};

struct MenuInfo : WindowInfo {
    uint32_t clipColor = kNoColor;
    int32_t separatorHeight = 0;
};

struct ScrollBarInfo : WindowInfo {
    int32_t interval = 0;
};

struct TabCtrlInfo : WindowInfo {};

struct TabCtrlExInfo : WindowInfo {
    int32_t margin = 0;
    int32_t itemWidth = 0;
    int32_t itemHeight = 0;
};

struct ToolBarExInfo : WindowInfo {
    int32_t margin = 0;
    int32_t itemWidth = 0;
    int32_t itemHeight = 0;
    int32_t startX = 0;
    int32_t startY = 0;
    bool checked = false;
    bool horzLayout = false;
};

struct ListCtrlInfo : WindowInfo {
    std::string headerCtrlId;
    bool oddEvenLine = false;
};

struct TreeCtrlExInfo : WindowInfo {
    int32_t levelIndent = 0;
};

struct AnimateInfo : WindowInfo {
    int32_t frameCount = 0;
    int32_t delayTime = 0;
    bool cycle = true;
};

} // namespace Velmora
