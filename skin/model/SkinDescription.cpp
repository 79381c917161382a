#include "SkinDescription.h"

#include "ValueSyntax.h"
#include "WindowInfo.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace Velmora {

namespace {

// A resource path or entry name holds at most this many characters.
constexpr size_t kMaxResourcePath = 259;

// The "property" attributes a window type reads besides its own.
enum PropertySet : unsigned {
    kTransparent = 1u << 0,
    kPosition = 1u << 1, // left, top
    kSize = 1u << 2,     // width, height
    kCursor = 1u << 3,
    kScrollBar = 1u << 4,
    kControl = kTransparent | kPosition | kSize | kCursor,
};

struct WindowType {
    const char* name;
    DescriptionType type;
    unsigned properties;
    int32_t buttonKind;
};

const WindowType kWindowTypes[] = {
    {"commonctrl", DescriptionType::CommonCtrl, kControl | kScrollBar, 0},
    {"dialog", DescriptionType::Dialog, kPosition | kSize | kCursor, 0},
    {"button", DescriptionType::Button, kControl, 0},
    {"checkbox", DescriptionType::Button, kControl, 1},
    {"radiobox", DescriptionType::Button, kControl, 2},
    {"static", DescriptionType::Static, kControl, 0},
    {"groupbox", DescriptionType::GroupBox, kControl, 0},
    {"toolbar", DescriptionType::ToolBar, kControl, 0},
    {"headerctrl", DescriptionType::HeaderCtrl, kControl, 0},
    {"progress", DescriptionType::Progress, kControl, 0},
    {"slider", DescriptionType::Slider, kControl, 0},
    {"sliderex", DescriptionType::SliderEx, kControl, 0},
    {"edit", DescriptionType::Edit, kControl | kScrollBar, 0},
    {"combobox", DescriptionType::ComboBox, kControl, 0},
    {"menu", DescriptionType::Menu, kSize, 0},
    {"scrollbar", DescriptionType::ScrollBar, kPosition | kSize | kCursor, 0},
    {"tabctrl", DescriptionType::TabCtrl, 0, 0},
    {"tabctrlex", DescriptionType::TabCtrlEx, kControl, 0},
    {"toolbarex", DescriptionType::ToolBarEx, kControl, 0},
    {"listctrl", DescriptionType::ListCtrl, kTransparent | kSize | kCursor | kScrollBar, 0},
    {"treectrlex", DescriptionType::TreeCtrlEx, kTransparent | kSize | kCursor | kScrollBar, 0},
    {"animate", DescriptionType::Animate, kControl, 0},
};

const WindowType* FindWindowType(const std::string& name) {
    for (const WindowType& type : kWindowTypes) {
        if (name == type.name)
            return &type;
    }
    return nullptr;
}

std::unique_ptr<WindowInfo> CreateRecord(const WindowType& type) {
    switch (type.type) {
    case DescriptionType::Dialog:
        return std::make_unique<DialogInfo>();
    case DescriptionType::Button: {
        auto button = std::make_unique<ButtonInfo>();
        button->buttonKind = type.buttonKind;
        return button;
    }
    case DescriptionType::Edit:
        return std::make_unique<EditInfo>();
    case DescriptionType::ComboBox:
        return std::make_unique<ComboBoxInfo>();
    case DescriptionType::Menu:
        return std::make_unique<MenuInfo>();
    case DescriptionType::ScrollBar:
        return std::make_unique<ScrollBarInfo>();
    case DescriptionType::TabCtrl:
        return std::make_unique<TabCtrlInfo>();
    case DescriptionType::TabCtrlEx:
        return std::make_unique<TabCtrlExInfo>();
    case DescriptionType::ToolBarEx:
        return std::make_unique<ToolBarExInfo>();
    case DescriptionType::ListCtrl:
        return std::make_unique<ListCtrlInfo>();
    case DescriptionType::TreeCtrlEx:
        return std::make_unique<TreeCtrlExInfo>();
    case DescriptionType::Animate:
        return std::make_unique<AnimateInfo>();
    default:
        return std::make_unique<WindowInfo>();
    }
}

// Walks one document with the reader's position; every Read function starts
// with the element it reads as the current one and leaves it current.
class CDescriptionReader {
  public:
    CDescriptionReader(ISkinStore& skin, CXmlDocument& document, const char* resourceFolder,
                       const char* resourcePrefix)
        : m_skin(skin), m_document(document), m_folder(resourceFolder ? resourceFolder : ""),
          m_prefix(resourcePrefix ? resourcePrefix : "") {}

    int Read();

  private:
    std::string Text(const char* name) const { return m_document.GetAttribute(name); }
    int32_t Integer(const char* name) const { return ParseInteger(Text(name)); }
    uint32_t Color(const char* name) const { return ParseColorValue(Text(name)); }
    std::string Reference(const char* name) const { return ParseReference(Text(name)); }

    // Each item child of the current resource element, in document order.
    template <class ReadItem> void ForEachItem(ReadItem readItem);
    void ReadCursorItem();
    void ReadFontItem();
    void ReadImageItem();
    bool ResourceLocation(const std::string& file, std::string& location) const;
    bool FindEntry(const std::string& entryName, SkinEntryData& entry) const;

    bool ReadWindowItem();
    void ReadProperty(const WindowType& type, WindowInfo& info);
    void ReadKindPart(const WindowType& type, WindowInfo& info);
    void ReadDialogInfo(DialogInfo& dialog);
    void ReadInfoElement(const WindowType& type, WindowInfo& info);
    void ReadAnimateItems(AnimateInfo& animate);

    // Draw items among the current parent's children, indexed from firstIndex;
    // returns the index after the last item read.
    int32_t ReadDrawItems(DrawItemList& list, int32_t firstIndex);
    int32_t ReadDrawItem(const std::string& tag, DrawItemList& list, int32_t index);
    void ReadHeader(DrawItemHeader& header, int32_t index);
    void ReadRelative(DrawItemHeader& header);
    template <class Item> int32_t AppendPerState(std::unique_ptr<Item> item, DrawItemList& list);

    // The fields event and progress items share: id, visibility, state, cursor, box.
    template <class Record> void ReadBoxedRecord(Record& record);
    void ReadEventItems(std::vector<std::unique_ptr<EventItem>>& items);
    void ReadProgressItems(std::vector<std::unique_ptr<ProgressItem>>& items);
    void ReadDrawItemGroups(std::vector<std::unique_ptr<DrawItemGroup>>& groups);

    ISkinStore& m_skin;
    CXmlDocument& m_document;
    std::string m_folder;
    std::string m_prefix;
};

int CDescriptionReader::Read() {
    m_document.ResetMainPosition();
    if (!m_document.FindElement("theme"))
        return 1;
    m_document.IntoElement();

    m_document.ResetMainPosition();
    if (m_document.FindElement("cursor"))
        ForEachItem([this] { ReadCursorItem(); });
    m_document.ResetMainPosition();
    if (m_document.FindElement("font"))
        ForEachItem([this] { ReadFontItem(); });
    m_document.ResetMainPosition();
    if (m_document.FindElement("image"))
        ForEachItem([this] { ReadImageItem(); });

    int result = 1;
    m_document.ResetMainPosition();
    if (m_document.FindElement("window")) {
        m_document.IntoElement();
        m_document.ResetMainPosition();
        while (m_document.FindElement("item")) {
            if (!ReadWindowItem()) {
                result = 0;
                break;
            }
        }
        m_document.OutOfElement();
    }
    m_document.OutOfElement();
    return result;
}

template <class ReadItem> void CDescriptionReader::ForEachItem(ReadItem readItem) {
    m_document.IntoElement();
    m_document.ResetMainPosition();
    while (m_document.FindElement("item"))
        readItem();
    m_document.OutOfElement();
}

bool CDescriptionReader::ResourceLocation(const std::string& file, std::string& location) const {
    const std::string& base = m_folder.empty() ? m_prefix : m_folder;
    char buffer[kMaxResourcePath + 1];
    const int length = std::snprintf(buffer, sizeof buffer, "%s\\%s", base.c_str(), file.c_str());
    if (length < 0 || static_cast<size_t>(length) > kMaxResourcePath)
        return false;
    location.assign(buffer, static_cast<size_t>(length));
    return true;
}

bool CDescriptionReader::FindEntry(const std::string& entryName, SkinEntryData& entry) const {
    return m_skin.FindEntry(entryName, entry) && entry.bytes;
}

void CDescriptionReader::ReadCursorItem() {
    std::string id = Text("id");
    if (m_skin.Cursors().Contains(id))
        return;
    std::string location;
    if (!ResourceLocation(Text("file"), location))
        return;

    auto cursor = std::make_unique<GDICursor>();
    if (!m_folder.empty()) {
        if (!cursor->LoadCursorFile(location.c_str()))
            return;
    } else {
        SkinEntryData entry;
        if (!FindEntry(location, entry) || !cursor->LoadCursorData(entry.bytes, entry.size))
            return;
    }
    cursor->SetId(std::move(id));
    m_skin.Cursors().Add(std::move(cursor));
}

void CDescriptionReader::ReadFontItem() {
    std::string id = Text("id");
    if (m_skin.Fonts().Contains(id))
        return;
    auto font = std::make_unique<GDIFont>();
    if (!font->CreateFontResource(Text("family").c_str(), Integer("size"),
                                  ParseFlagTrue(Text("bold")), ParseFlagTrue(Text("underline")),
                                  ParseFlagTrue(Text("italic"))))
        return;
    font->SetId(std::move(id));
    m_skin.Fonts().Add(std::move(font));
}

void CDescriptionReader::ReadImageItem() {
    std::string id = Text("id");
    if (m_skin.Images().Contains(id))
        return;
    std::string location;
    if (!ResourceLocation(Text("file"), location))
        return;

    auto image = std::make_unique<GDIImage>();
    if (!m_folder.empty()) {
        if (!image->ReadFromFile(location.c_str(), PIXFORMAT_UNKNOWN))
            return;
    } else {
        SkinEntryData entry;
        if (!FindEntry(location, entry) ||
            !image->ReadFromMemory(entry.bytes, entry.size, entry.imageFormat))
            return;
    }
    image->SetId(std::move(id));
    image->SetAdjust(ParseFlagFalse(Text("adjust")));
    image->SetTransparentColor(Color("transparentcolor"));
    m_skin.Images().Add(std::move(image));
}

bool CDescriptionReader::ReadWindowItem() {
    const WindowType* type = FindWindowType(Text("type"));
    if (!type)
        return false;
    std::unique_ptr<WindowInfo> info = CreateRecord(*type);
    info->id = Text("id");

    // A plain tab control is the system's own; nothing inside its item is used.
    if (type->type != DescriptionType::TabCtrl) {
        m_document.IntoElement();
        ReadProperty(*type, *info);
        ReadKindPart(*type, *info);
        m_document.OutOfElement();
    }
    m_skin.Descriptions(type->type).Add(std::move(info));
    return true;
}

void CDescriptionReader::ReadProperty(const WindowType& type, WindowInfo& info) {
    m_document.ResetMainPosition();
    if (!m_document.FindElement("property"))
        return;

    if (type.properties & kTransparent)
        info.transparent = ParseFlagTrue(Text("transparent"));
    if (type.properties & kPosition) {
        const std::string left = Text("left");
        const std::string top = Text("top");
        info.left = ParseInteger(left);
        info.top = ParseInteger(top);
        info.hasPosition = !left.empty() || !top.empty();
    }
    if (type.properties & kSize) {
        info.width = Integer("width");
        info.height = Integer("height");
    }
    if (type.properties & kCursor)
        info.cursorId = Reference("cursorid");
    if (type.properties & kScrollBar)
        info.scrollBarId = Reference("scrollbar");

    switch (type.type) {
    case DescriptionType::Dialog: {
        auto& dialog = static_cast<DialogInfo&>(info);
        dialog.resize = Integer("resize");
        dialog.clipColor = Color("clipcolor");
        dialog.minWidth = Integer("minwidth");
        dialog.minHeight = Integer("minheight");
        dialog.titleBar = Integer("titlebar");
        break;
    }
    case DescriptionType::Edit: {
        auto& edit = static_cast<EditInfo&>(info);
        edit.fontId = Reference("fontid");
        edit.textColor = Color("textcolor");
        break;
    }
    case DescriptionType::ComboBox:
        static_cast<ComboBoxInfo&>(info).editMargin = ParseQuadruple(Text("editmargin"));
        break;
    case DescriptionType::Menu: {
        auto& menu = static_cast<MenuInfo&>(info);
        menu.separatorHeight = Integer("separatorheight");
        menu.clipColor = Color("clipcolor");
        break;
    }
    case DescriptionType::ScrollBar:
        static_cast<ScrollBarInfo&>(info).interval = Integer("interval");
        break;
    case DescriptionType::ListCtrl:
        static_cast<ListCtrlInfo&>(info).headerCtrlId = Reference("headerctrl");
        break;
    default:
        break;
    }
}

void CDescriptionReader::ReadKindPart(const WindowType& type, WindowInfo& info) {
    switch (type.type) {
    case DescriptionType::Dialog:
        ReadDialogInfo(static_cast<DialogInfo&>(info));
        break;
    case DescriptionType::TabCtrlEx:
    case DescriptionType::ToolBarEx:
    case DescriptionType::ListCtrl:
    case DescriptionType::TreeCtrlEx:
        ReadInfoElement(type, info);
        break;
    case DescriptionType::Animate:
        // Its draw items live inside its "animateitem" elements only.
        ReadAnimateItems(static_cast<AnimateInfo&>(info));
        return;
    default:
        break;
    }
    if (type.type == DescriptionType::TabCtrlEx || type.type == DescriptionType::ListCtrl ||
        type.type == DescriptionType::TreeCtrlEx)
        ReadEventItems(info.eventItems);
    ReadDrawItems(info.drawItems, 0);
}

void CDescriptionReader::ReadDialogInfo(DialogInfo& dialog) {
    m_document.ResetMainPosition();
    if (m_document.FindElement("windowregion")) {
        ForEachItem([this, &dialog] {
            auto piece = std::make_unique<CRegion>();
            piece->x = Integer("left");
            piece->y = Integer("top");
            piece->width = Integer("width");
            piece->height = Integer("height");
            dialog.windowRegion.push_back(std::move(piece));
        });
    }
    m_document.ResetMainPosition();
    if (m_document.FindElement("commandbutton")) {
        ForEachItem([this, &dialog] {
            CommandButtonItem button;
            button.id = Text("id");
            button.left = Integer("left");
            button.top = Integer("top");
            button.buttonId = Text("buttonid");
            dialog.commandButtons.push_back(std::move(button));
        });
    }
}

void CDescriptionReader::ReadInfoElement(const WindowType& type, WindowInfo& info) {
    const char* name = nullptr;
    switch (type.type) {
    case DescriptionType::TabCtrlEx:
        name = "tabctrlexinfo";
        break;
    case DescriptionType::ToolBarEx:
        name = "toolbarexinfo";
        break;
    case DescriptionType::ListCtrl:
        name = "listctrlinfo";
        break;
    default:
        name = "treectrlexinfo";
        break;
    }
    // The toolbar's info element is looked for after its "property" element
    // (when there is one), not from the first child.
    if (type.type != DescriptionType::ToolBarEx)
        m_document.ResetMainPosition();
    if (!m_document.FindElement(name))
        return;

    switch (type.type) {
    case DescriptionType::TabCtrlEx: {
        auto& tab = static_cast<TabCtrlExInfo&>(info);
        tab.margin = Integer("margin");
        tab.itemWidth = Integer("itemwidth");
        tab.itemHeight = Integer("itemheight");
        break;
    }
    case DescriptionType::ToolBarEx: {
        auto& toolBar = static_cast<ToolBarExInfo&>(info);
        toolBar.margin = Integer("margin");
        toolBar.itemWidth = Integer("itemwidth");
        toolBar.itemHeight = Integer("itemheight");
        toolBar.checked = ParseFlagTrue(Text("checked"));
        toolBar.horzLayout = ParseFlagTrue(Text("horzlayout"));
        toolBar.startX = Integer("startx");
        toolBar.startY = Integer("starty");
        break;
    }
    case DescriptionType::ListCtrl:
        static_cast<ListCtrlInfo&>(info).oddEvenLine = ParseFlagTrue(Text("oddevenline"));
        break;
    default:
        static_cast<TreeCtrlExInfo&>(info).levelIndent = Integer("levelindent");
        break;
    }

    m_document.IntoElement();
    ReadDrawItemGroups(info.itemTemplates);
    m_document.OutOfElement();
}

void CDescriptionReader::ReadAnimateItems(AnimateInfo& animate) {
    // Indexes run on from one "animateitem" to the next so that they stay
    // unique in the one list that holds the frames of all of them.
    int32_t nextIndex = 0;
    m_document.ResetMainPosition();
    while (m_document.FindElement("animateitem")) {
        animate.frameCount = Integer("framecount");
        animate.delayTime = Integer("delaytime");
        animate.cycle = ParseFlagFalse(Text("cycle"));
        m_document.IntoElement();
        nextIndex = ReadDrawItems(animate.drawItems, nextIndex);
        m_document.OutOfElement();
    }
}

int32_t CDescriptionReader::ReadDrawItems(DrawItemList& list, int32_t firstIndex) {
    int32_t index = firstIndex;
    m_document.ResetMainPosition();
    while (m_document.FindElement())
        index += ReadDrawItem(m_document.GetTagName(), list, index);
    return index;
}

int32_t CDescriptionReader::ReadDrawItem(const std::string& tag, DrawItemList& list,
                                         int32_t index) {
    if (tag == "text") {
        auto text = std::make_unique<TextItem>();
        ReadHeader(*text, index);
        ReadRelative(*text);
        text->left = Integer("left");
        text->top = Integer("top");
        text->width = Integer("width");
        text->height = Integer("height");
        text->singleLine = ParseFlagFalse(Text("singleline"));
        text->fontId = Reference("fontid");
        text->content = Text("content");
        text->textColor = Color("textcolor");
        text->horzAlign = ParseHorzAlign(Text("horzalign"));
        text->vertAlign = ParseVertAlign(Text("vertalign"));
        return AppendPerState(std::move(text), list);
    }
    if (tag == "line") {
        auto line = std::make_unique<LineItem>();
        ReadHeader(*line, index);
        line->startX = Integer("startx");
        line->startY = Integer("starty");
        line->endX = Integer("endx");
        line->endY = Integer("endy");
        line->width = Integer("width");
        line->style = ParseLineStyle(Text("style"));
        line->lineColor = Color("linecolor");
        return AppendPerState(std::move(line), list);
    }
    if (tag == "surface") {
        auto surface = std::make_unique<SurfaceItem>();
        ReadHeader(*surface, index);
        surface->type = ParseSurfaceType(Text("type"));
        surface->borderWidth = Integer("borderwidth");
        surface->borderStyle = ParseLineStyle(Text("borderstyle"));
        surface->borderColor = Color("bordercolor");
        surface->fillColor = Color("fillcolor");
        surface->upperLeftX = Integer("upperleftx");
        surface->upperLeftY = Integer("upperlefty");
        surface->lowerRightX = Integer("lowerrightx");
        surface->lowerRightY = Integer("lowerrighty");
        surface->roundRectWidth = Integer("roundrectwidth");
        surface->roundRectHeight = Integer("roundrectheight");
        return AppendPerState(std::move(surface), list);
    }
    if (tag == "image") {
        auto image = std::make_unique<ImageItem>();
        ReadHeader(*image, index);
        ReadRelative(*image);
        image->imageId = Reference("imageid");
        const std::array<int32_t, 4> region = ParseQuadruple(Text("region"));
        image->region = ImageRegion{region[0], region[1], region[2], region[3]};
        image->horzAlign = ParseHorzAlign(Text("horzalign"));
        image->vertAlign = ParseVertAlign(Text("vertalign"));
        image->mode = ParseImageMode(Text("mode"));
        image->left = Integer("left");
        image->top = Integer("top");
        image->right = Integer("right");
        image->bottom = Integer("bottom");
        image->width = Integer("width");
        image->height = Integer("height");
        image->stretchLeft = Integer("stretchleft");
        image->stretchTop = Integer("stretchtop");
        image->stretchRight = Integer("stretchright");
        image->stretchBottom = Integer("stretchbottom");
        return AppendPerState(std::move(image), list);
    }
    return 0;
}

void CDescriptionReader::ReadHeader(DrawItemHeader& header, int32_t index) {
    header.id = Text("id");
    header.index = index;
    header.visible = ParseFlagFalse(Text("visible"));
}

void CDescriptionReader::ReadRelative(DrawItemHeader& header) {
    header.relativeId = Text("relativeid");
    header.relativeAlign = ParseRelativeAlign(Text("relativealign"));
}

template <class Item>
int32_t CDescriptionReader::AppendPerState(std::unique_ptr<Item> item, DrawItemList& list) {
    const std::vector<int32_t> states = ParseStateList(Text("state"));
    if (states.empty()) {
        item->state = STATE_ALL;
        list.Add(std::move(item));
        return 1;
    }
    // The item itself serves the first state, copies of it the others.
    item->state = states.front();
    const Item* first = list.Add(std::move(item));
    for (size_t copyNumber = 1; copyNumber < states.size(); ++copyNumber) {
        auto copy = std::make_unique<Item>(*first);
        copy->state = states[copyNumber];
        copy->index = first->index + static_cast<int32_t>(copyNumber);
        list.Add(std::move(copy));
    }
    return static_cast<int32_t>(states.size());
}

template <class Record> void CDescriptionReader::ReadBoxedRecord(Record& record) {
    record.id = Text("id");
    record.visible = ParseFlagFalse(Text("visible"));
    record.state = ParseStateName(Text("state"));
    record.cursorId = Reference("cursorid");
    record.left = Integer("left");
    record.top = Integer("top");
    record.width = Integer("width");
    record.height = Integer("height");
}

void CDescriptionReader::ReadEventItems(std::vector<std::unique_ptr<EventItem>>& items) {
    m_document.ResetMainPosition();
    while (m_document.FindElement("eventitem")) {
        auto item = std::make_unique<EventItem>();
        ReadBoxedRecord(*item);
        item->event = ParseEventName(Text("event"));
        m_document.IntoElement();
        ReadDrawItems(item->drawItems, 0);
        m_document.OutOfElement();
        items.push_back(std::move(item));
    }
}

void CDescriptionReader::ReadProgressItems(std::vector<std::unique_ptr<ProgressItem>>& items) {
    m_document.ResetMainPosition();
    while (m_document.FindElement("progressitem")) {
        auto item = std::make_unique<ProgressItem>();
        ReadBoxedRecord(*item);
        item->value = Integer("value");
        item->textFormat = Text("textformat");
        m_document.IntoElement();
        ReadDrawItems(item->drawItems, 0);
        m_document.OutOfElement();
        items.push_back(std::move(item));
    }
}

void CDescriptionReader::ReadDrawItemGroups(std::vector<std::unique_ptr<DrawItemGroup>>& groups) {
    m_document.ResetMainPosition();
    while (m_document.FindElement("drawitem")) {
        auto group = std::make_unique<DrawItemGroup>();
        group->id = Text("id");
        m_document.IntoElement();
        ReadEventItems(group->eventItems);
        ReadProgressItems(group->progressItems);
        ReadDrawItems(group->drawItems, 0);
        m_document.OutOfElement();
        groups.push_back(std::move(group));
    }
}

} // namespace

int ParseSkinDescription(ISkinStore& skin, CXmlDocument& document, const char* resourceFolder,
                         const char* resourcePrefix) {
    return CDescriptionReader(skin, document, resourceFolder, resourcePrefix).Read();
}

} // namespace Velmora
