// Window descriptions, draw items and resources read from documents written inline.
#include "Manager.h"
#include "SkinDescription.h"
#include "SkinFiles.h"
#include "XmlDocument.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace Velmora {
namespace {

// Attribute checks compare whole rows so that one table line stands for one item.
using Ints = std::vector<int64_t>;
using Texts = std::vector<std::string>;

class SkinDescription : public ::testing::Test {
  protected:
    void TearDown() override { CManager::Destroy(); }

    static CManager* Manager() { return CManager::Instance(); }

    // Database skins are the default: resources are entries under "skin".
    static int Parse(const std::string& text, const char* folder = "",
                     const char* prefix = "skin") {
        CXmlDocument document;
        document.SetDocument(text.c_str());
        return ParseSkinDescription(*Manager(), document, folder, prefix);
    }

    template <class Info> static Info* Find(DescriptionType type, const char* id) {
        return dynamic_cast<Info*>(Manager()->FindDescription(type, id));
    }

    static std::string Window(const std::string& items) {
        return "<theme><window>" + items + "</window></theme>";
    }

    static Texts ImageIds() {
        Texts ids;
        for (const auto& image : Manager()->Images().Items())
            ids.push_back(image->GetId());
        return ids;
    }

    static void AddEntry(const std::string& name, const std::string& bytes) {
        auto entry = std::make_unique<SkinEntry>();
        entry->data = std::make_unique<uint8_t[]>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), entry->data.get());
        entry->size = bytes.size();
        entry->name = name;
        entry->kind = EntryKindOfName(name);
        Manager()->AddSkinEntry(std::move(entry));
    }
};

TEST_F(SkinDescription, OnlyTheFirstSectionOfEachNameIsReadInAnyOrder) {
    EXPECT_EQ(Parse("<skin><font><item id='f' family='Arial' size='12'/></font>"
                    "<window><item type='button' id='b'/></window></skin>"),
              1);
    EXPECT_EQ(Manager()->Fonts().Size(), 0u) << "without a theme root nothing is loaded";
    EXPECT_EQ(Manager()->Descriptions(DescriptionType::Button).Size(), 0u);
    EXPECT_EQ(Parse(""), 1);
    EXPECT_EQ(Parse("<theme/>"), 1);

    EXPECT_EQ(Parse(R"xml(<theme>
        <window><item type="static" id="first"><text id="t" fontid="#title"/></item></window>
        <font><item id="title" family="Arial" size="-13" bold="true" underline="true"
                    italic="TRUE"/></font>
        <font><item id="second" family="Arial" size="14"/></font>
        <window><item type="static" id="later"/></window>
    </theme>)xml"),
              1);
    ASSERT_EQ(Manager()->Fonts().Size(), 1u);
    LOGFONTA font{};
    ASSERT_NE(GetObjectA(Manager()->FindFont("title")->GetFont(), sizeof font, &font), 0);
    // Flags compare their word exactly: "TRUE" is not italic.
    EXPECT_EQ((Ints{font.lfHeight, font.lfWeight, font.lfUnderline, font.lfItalic}),
              (Ints{-13, 700, 1, 0}));
    EXPECT_STREQ(font.lfFaceName, "Arial");
    EXPECT_EQ(Find<WindowInfo>(DescriptionType::Static, "first")->drawItems.Texts()[0]->fontId,
              "title");
    EXPECT_EQ(Find<WindowInfo>(DescriptionType::Static, "later"), nullptr);
}

TEST_F(SkinDescription, DrawItemsTakeEveryAttributeOrTheirDefaults) {
    ASSERT_EQ(Parse(Window(R"xml(<item type="commonctrl" id="w">
        <text id="caption" visible="false" state="over" relativeid="icon" relativealign="RIGHT"
              left="-5" top="6" width="70" height="18" singleline="false" fontid="#big"
              content="Hello" textcolor="(10,20,30)" horzalign="center" vertalign="bottom"/>
        <line id="rule" state="down" startx="1" starty="2" endx="-3" endy="4" width="2"
              style="dashdot" linecolor="(255,0,0)"/>
        <surface id="box" state="disable" type="round" borderwidth="3" borderstyle="dot"
                 bordercolor="(0,255,0)" fillcolor="(0,0,255)" upperleftx="1" upperlefty="2"
                 lowerrightx="-1" lowerrighty="-2" roundrectwidth="5" roundrectheight="6"
                 relativeid="caption"/>
        <image id="icon" state="checkednormal" relativeid="caption" relativealign="right"
               imageid="#pic" region="1,2,30,40" horzalign="right" vertalign="middle"
               mode="StretchBoth" left="1" top="2" right="3" bottom="4" width="50" height="60"
               stretchleft="5" stretchtop="6" stretchright="7" stretchbottom="8"/>
    </item><item type="commonctrl" id="empty"><text/><line/><surface/><image/></item>)xml")),
              1);
    const DrawItemList& items = Find<WindowInfo>(DescriptionType::CommonCtrl, "w")->drawItems;
    const DrawItemList& empty = Find<WindowInfo>(DescriptionType::CommonCtrl, "empty")->drawItems;
    ASSERT_EQ(items.Count(), 4u);
    ASSERT_EQ(empty.Count(), 4u);
    for (const DrawItemList* list : {&items, &empty}) {
        const bool set = list == &items;
        SCOPED_TRACE(set ? "attributes" : "defaults");
        const TextItem& t = *list->Texts()[0];
        const LineItem& l = *list->Lines()[0];
        const SurfaceItem& s = *list->Surfaces()[0];
        const ImageItem& i = *list->Images()[0];
        EXPECT_EQ((Texts{t.id, t.relativeId, t.fontId, t.content, l.id, s.id, s.relativeId, i.id,
                         i.relativeId, i.imageId}),
                  set ? (Texts{"caption", "icon", "big", "Hello", "rule", "box", "", "icon",
                               "caption", "pic"})
                      : Texts(10))
            << "only texts and images are placed relatively";
        EXPECT_EQ((Ints{t.index, t.visible, t.state, t.relativeAlign, t.left, t.top, t.width,
                        t.height, t.singleLine, t.textColor, t.horzAlign, t.vertAlign}),
                  set ? (Ints{0, false, STATE_OVER, RELATIVE_RIGHT, -5, 6, 70, 18, false, 0x1E140A,
                              ALIGN_CENTER, ALIGN_FAR})
                      : (Ints{0, true, STATE_ALL, RELATIVE_LEFT, 0, 0, 0, 0, true, kNoColor,
                              ALIGN_NONE, ALIGN_NONE}));
        EXPECT_EQ((Ints{l.index, l.state, l.startX, l.startY, l.endX, l.endY, l.width, l.style,
                        l.lineColor}),
                  set ? (Ints{1, STATE_DOWN, 1, 2, -3, 4, 2, LINESTYLE_DASHDOT, 0x0000FF})
                      : (Ints{1, STATE_ALL, 0, 0, 0, 0, 0, LINESTYLE_SOLID, kNoColor}));
        EXPECT_EQ((Ints{s.index, s.state, s.type, s.borderWidth, s.borderStyle, s.borderColor,
                        s.fillColor, s.upperLeftX, s.upperLeftY, s.lowerRightX, s.lowerRightY,
                        s.roundRectWidth, s.roundRectHeight}),
                  set ? (Ints{2, STATE_DISABLE, SURFACE_ROUND, 3, LINESTYLE_DOT, 0x00FF00, 0xFF0000,
                              1, 2, -1, -2, 5, 6})
                      : (Ints{2, STATE_ALL, SURFACE_RECT, 0, LINESTYLE_SOLID, kNoColor, kNoColor, 0,
                              0, 0, 0, 0, 0}));
        EXPECT_EQ(
            (Ints{i.index, i.visible, i.state, i.relativeAlign, i.horzAlign, i.vertAlign, i.mode}),
            set ? (Ints{3, true, STATE_CHECKEDNORMAL, RELATIVE_RIGHT, ALIGN_FAR, ALIGN_CENTER,
                        IMAGEMODE_STRETCHBOTH})
                : (Ints{3, true, STATE_ALL, RELATIVE_LEFT, ALIGN_NONE, ALIGN_NONE,
                        IMAGEMODE_NORMAL}));
        EXPECT_EQ((Ints{i.region.x, i.region.y, i.region.width, i.region.height, i.left, i.top,
                        i.right, i.bottom, i.width, i.height, i.stretchLeft, i.stretchTop,
                        i.stretchRight, i.stretchBottom}),
                  set ? (Ints{1, 2, 30, 40, 1, 2, 3, 4, 50, 60, 5, 6, 7, 8}) : Ints(14));
    }
}

TEST_F(SkinDescription, FlagsColoursAndReferencesFollowTheirSyntax) {
    ASSERT_EQ(Parse(Window(R"xml(<item type="static" id="w">
            <property transparent="TRUE" cursorid="#hand"/>
            <text id="a" visible="FALSE" singleline="FALSE" textcolor="(0,0,300)"/>
            <text id="b" textcolor=""/>
            <image id="c" imageid="##odd"/>
        </item>)xml")),
              1);
    WindowInfo* info = Find<WindowInfo>(DescriptionType::Static, "w");
    ASSERT_NE(info, nullptr);
    const TextItem& a = *info->drawItems.FindTextItem("a");
    EXPECT_EQ((Ints{info->transparent, a.visible, a.singleLine, a.textColor,
                    info->drawItems.FindTextItem("b")->textColor}),
              (Ints{false, true, true, 44 << 16, kNoColor}));
    EXPECT_EQ((Texts{info->cursorId, info->drawItems.FindImage("c")->imageId}),
              (Texts{"hand", "#odd"}));
}

TEST_F(SkinDescription, StateListsCopyTheItemWithConsecutiveIndexes) {
    ASSERT_EQ(Parse(Window(R"xml(<item type="button" id="b">
        <text id="label" content="OK" state="normal|over"/>
        <line id="l"/>
        <image id="face" state="DOWN|bogus|checkedover" imageid="pic"/>
        <unknown id="skipped"/>
        <surface id="s" state=""/>
    </item>)xml")),
              1);
    const DrawItemList& items = Find<ButtonInfo>(DescriptionType::Button, "b")->drawItems;
    ASSERT_EQ(items.Texts().size(), 2u);
    ASSERT_EQ(items.Images().size(), 3u);
    ASSERT_EQ(items.Surfaces().size(), 1u);
    EXPECT_EQ(items.Texts()[1]->content, "OK");
    EXPECT_EQ(items.Images()[2]->imageId, "pic");
    const auto& t = items.Texts();
    const auto& i = items.Images();
    const auto& l = items.Lines()[0];
    const auto& s = items.Surfaces()[0];
    EXPECT_EQ(
        (Ints{t[0]->index, t[1]->index, l->index, i[0]->index, i[1]->index, i[2]->index, s->index}),
        (Ints{0, 1, 2, 3, 4, 5, 6}))
        << "other children take no index";
    EXPECT_EQ(
        (Ints{t[0]->state, t[1]->state, l->state, i[0]->state, i[1]->state, i[2]->state, s->state}),
        (Ints{STATE_NORMAL, STATE_OVER, STATE_ALL, STATE_DOWN, STATE_ALL, STATE_CHECKEDOVER,
              STATE_ALL}));
    // The paint walk reaches every item without a gap.
    EXPECT_EQ(items.IndexLimit(), 7);
    for (int32_t index = 0; index < 7; ++index)
        EXPECT_TRUE(items.ItemByIndex(index)) << index;
}

TEST_F(SkinDescription, EachTypeReadsItsPropertyAttributes) {
    const struct {
        const char* type;
        DescriptionType registry;
        bool transparent, position, size, cursor, scrollBar;
    } cases[] = {
        {"commonctrl", DescriptionType::CommonCtrl, 1, 1, 1, 1, 1},
        {"dialog", DescriptionType::Dialog, 0, 1, 1, 1, 0},
        {"button", DescriptionType::Button, 1, 1, 1, 1, 0},
        {"checkbox", DescriptionType::Button, 1, 1, 1, 1, 0},
        {"radiobox", DescriptionType::Button, 1, 1, 1, 1, 0},
        {"static", DescriptionType::Static, 1, 1, 1, 1, 0},
        {"groupbox", DescriptionType::GroupBox, 1, 1, 1, 1, 0},
        {"toolbar", DescriptionType::ToolBar, 1, 1, 1, 1, 0},
        {"headerctrl", DescriptionType::HeaderCtrl, 1, 1, 1, 1, 0},
        {"progress", DescriptionType::Progress, 1, 1, 1, 1, 0},
        {"slider", DescriptionType::Slider, 1, 1, 1, 1, 0},
        {"sliderex", DescriptionType::SliderEx, 1, 1, 1, 1, 0},
        {"edit", DescriptionType::Edit, 1, 1, 1, 1, 1},
        {"combobox", DescriptionType::ComboBox, 1, 1, 1, 1, 0},
        {"menu", DescriptionType::Menu, 0, 0, 1, 0, 0},
        {"scrollbar", DescriptionType::ScrollBar, 0, 1, 1, 1, 0},
        // A plain tab control registers without reading any of its children.
        {"tabctrl", DescriptionType::TabCtrl, 0, 0, 0, 0, 0},
        {"tabctrlex", DescriptionType::TabCtrlEx, 1, 1, 1, 1, 0},
        {"toolbarex", DescriptionType::ToolBarEx, 1, 1, 1, 1, 0},
        {"listctrl", DescriptionType::ListCtrl, 1, 0, 1, 1, 1},
        {"treectrlex", DescriptionType::TreeCtrlEx, 1, 0, 1, 1, 1},
        {"animate", DescriptionType::Animate, 1, 1, 1, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        ASSERT_EQ(Parse(Window(std::string("<item type='") + c.type +
                               "' id='w'><property transparent='true' left='1' top='2' "
                               "width='3' height='4' cursorid='#cur' scrollbar='#sb'/>"
                               "<text id='t'/><eventitem id='e'/></item>")),
                  1);
        WindowInfo* info = Manager()->FindDescription(c.registry, "w");
        ASSERT_NE(info, nullptr);
        EXPECT_EQ((Ints{info->transparent, info->hasPosition, info->left, info->top, info->width,
                        info->height}),
                  (Ints{c.transparent, c.position, c.position ? 1 : 0, c.position ? 2 : 0,
                        c.size ? 3 : 0, c.size ? 4 : 0}));
        if (c.registry == DescriptionType::TabCtrl) {
            EXPECT_TRUE(info->drawItems.Empty() && info->eventItems.empty());
        }
        EXPECT_EQ(info->cursorId, c.cursor ? "cur" : "");
        EXPECT_EQ(info->scrollBarId, c.scrollBar ? "sb" : "");
        CManager::Destroy();
    }

    // Only a left or top that is not empty sets the position.
    ASSERT_EQ(Parse(Window(R"xml(<item type="static" id="none"><property width="5"/></item>
        <item type="static" id="empty"><property left="" top=""/></item>
        <item type="static" id="top"><property top="0"/></item>
        <item type="static" id="left"><property left="-4"/></item>)xml")),
              1);
    Ints positions;
    for (const char* id : {"none", "empty", "top", "left"})
        positions.push_back(Find<WindowInfo>(DescriptionType::Static, id)->hasPosition);
    EXPECT_EQ(positions, (Ints{false, false, true, true}));
    EXPECT_EQ(Find<WindowInfo>(DescriptionType::Static, "left")->left, -4);
}

TEST_F(SkinDescription, KindRecordsTakeTheirOwnAttributes) {
    ASSERT_EQ(Parse(Window(R"xml(
        <item type="button" id="push"/><item type="checkbox" id="check"/>
        <item type="radiobox" id="radio"/><item type="dialog" id="plaindlg"/>
        <item type="dialog" id="dlg">
            <property resize="1" clipcolor="(255,0,256)" minwidth="100" minheight="80"
                      titlebar="30"/>
            <commandbutton><item id="close" left="-20" top="4" buttonid="btn.close"/>
                <item id="min" left="-40" top="5" buttonid="#btn.min"/></commandbutton>
            <windowregion><item left="1" top="2" width="3" height="4"/>
                <item left="5" top="6" width="7" height="8"/></windowregion>
            <image id="back"/>
        </item>
        <item type="edit" id="ed"><property fontid="#small" textcolor="(1,2,3)"/></item>
        <item type="edit" id="plained"/><item type="menu" id="plainmenu"/>
        <item type="combobox" id="cb"><property editmargin="1,2,3,4"/></item>
        <item type="menu" id="popup"><property separatorheight="7" clipcolor="(9,9,9)"/>
            <text id="t"/></item>
        <item type="scrollbar" id="sb"><property interval="12"/></item>
        <item type="listctrl" id="list"><property headerctrl="#hdr"/>
            <listctrlinfo oddevenline="true"/></item>
        <item type="treectrlex" id="tree"><treectrlexinfo levelindent="16"/></item>
        <item type="tabctrlex" id="tabs">
            <tabctrlexinfo margin="2" itemwidth="80" itemheight="24"/></item>
        <item type="toolbarex" id="tools"><property/>
            <toolbarexinfo margin="3" itemwidth="40" itemheight="30" checked="true"
                           horzlayout="true" startx="5" starty="6"/></item>
        <item type="toolbarex" id="plaintools"><toolbarexinfo checked="TRUE"/></item>)xml")),
              1);
    const auto button = [](const char* id) {
        return Find<ButtonInfo>(DescriptionType::Button, id)->buttonKind;
    };
    EXPECT_EQ((Ints{button("push"), button("check"), button("radio")}), (Ints{0, 1, 2}));

    DialogInfo* dialog = Find<DialogInfo>(DescriptionType::Dialog, "dlg");
    DialogInfo* plainDialog = Find<DialogInfo>(DescriptionType::Dialog, "plaindlg");
    ASSERT_EQ(dialog->windowRegion.size(), 2u);
    ASSERT_EQ(dialog->commandButtons.size(), 2u);
    const Velmora::CRegion& region = *dialog->windowRegion[1];
    const auto& close = dialog->commandButtons[0];
    EXPECT_EQ(
        (Ints{dialog->resize, dialog->clipColor, dialog->minWidth, dialog->minHeight,
              dialog->titleBar, region.x, region.y, region.width, region.height, close.left,
              close.top, static_cast<int64_t>(dialog->drawItems.Count()), plainDialog->clipColor,
              static_cast<int64_t>(plainDialog->windowRegion.size())}),
        (Ints{1, 0x0000FF, 100, 80, 30, 5, 6, 7, 8, -20, 4, 1, kNoColor, 0}));
    EXPECT_EQ((Texts{close.id, close.buttonId, dialog->commandButtons[1].buttonId}),
              (Texts{"close", "btn.close", "#btn.min"}))
        << "a button id is plain text";

    EditInfo* edit = Find<EditInfo>(DescriptionType::Edit, "ed");
    EXPECT_EQ(edit->fontId, "small");
    EXPECT_EQ((Ints{edit->textColor, Find<EditInfo>(DescriptionType::Edit, "plained")->textColor}),
              (Ints{0x030201, kNoColor}));
    EXPECT_EQ(Find<ComboBoxInfo>(DescriptionType::ComboBox, "cb")->editMargin,
              (std::array<int32_t, 4>{1, 2, 3, 4}));

    MenuInfo* menu = Find<MenuInfo>(DescriptionType::Menu, "popup");
    ListCtrlInfo* list = Find<ListCtrlInfo>(DescriptionType::ListCtrl, "list");
    TabCtrlExInfo* tabs = Find<TabCtrlExInfo>(DescriptionType::TabCtrlEx, "tabs");
    ToolBarExInfo* tools = Find<ToolBarExInfo>(DescriptionType::ToolBarEx, "tools");
    EXPECT_EQ(
        (Ints{menu->separatorHeight, menu->clipColor,
              static_cast<int64_t>(menu->drawItems.Texts().size()),
              Find<MenuInfo>(DescriptionType::Menu, "plainmenu")->clipColor,
              Find<ScrollBarInfo>(DescriptionType::ScrollBar, "sb")->interval, list->oddEvenLine,
              Find<TreeCtrlExInfo>(DescriptionType::TreeCtrlEx, "tree")->levelIndent, tabs->margin,
              tabs->itemWidth, tabs->itemHeight, tools->margin, tools->itemWidth, tools->itemHeight,
              tools->checked, tools->horzLayout, tools->startX, tools->startY,
              Find<ToolBarExInfo>(DescriptionType::ToolBarEx, "plaintools")->checked}),
        (Ints{7, 0x090909, 1, kNoColor, 12, true, 16, 2, 80, 24, 3, 40, 30, true, true, 5, 6,
              false}));
    EXPECT_EQ(list->headerCtrlId, "hdr");
}

TEST_F(SkinDescription, ToolBarInfoIsLookedForOnlyAfterTheProperty) {
    ASSERT_EQ(Parse(Window(R"xml(
        <item type="toolbarex" id="before">
            <toolbarexinfo margin="9"><drawitem id="tpl"/></toolbarexinfo>
            <property width="10"/>
        </item>
        <item type="toolbarex" id="after">
            <property width="10"/>
            <toolbarexinfo margin="9"><drawitem id="tpl"/></toolbarexinfo>
        </item>
        <item type="toolbarex" id="noproperty">
            <text id="t"/>
            <toolbarexinfo margin="9"><drawitem id="tpl"/></toolbarexinfo>
        </item>
        <item type="tabctrlex" id="tabs">
            <tabctrlexinfo margin="9"><drawitem id="tpl"/></tabctrlexinfo>
            <property width="10"/>
        </item>)xml")),
              1);
    const auto tools = [](const char* id) {
        return Find<ToolBarExInfo>(DescriptionType::ToolBarEx, id);
    };
    TabCtrlExInfo* tabs = Find<TabCtrlExInfo>(DescriptionType::TabCtrlEx, "tabs");
    // The other kinds rewind before looking for their info element.
    EXPECT_EQ(
        (Ints{tools("before")->margin, tools("after")->margin, tools("noproperty")->margin,
              tabs->margin, tools("before")->width,
              static_cast<int64_t>(
                  tools("before")->itemTemplates.size() + tools("after")->itemTemplates.size() +
                  tools("noproperty")->itemTemplates.size() + tabs->itemTemplates.size()),
              static_cast<int64_t>(tools("noproperty")->drawItems.Count())}),
        (Ints{0, 9, 9, 9, 10, 3, 1}));
}

TEST_F(SkinDescription, TemplatesAndEventItemsCarryTheirOwnItems) {
    ASSERT_EQ(Parse(Window(R"xml(<item type="listctrl" id="list">
            <text id="own" state="normal|over"/>
            <eventitem id="click" event="rbuttondown" visible="false" state="over"
                       cursorid="#hand" left="1" top="2" width="3" height="4">
                <image id="e1"/><text id="e2"/></eventitem>
            <listctrlinfo>
                <drawitem id="row"><text id="cell"/>
                    <progressitem id="bar" visible="false" state="DOWN" cursorid="#wait"
                                  left="5" top="6" width="7" height="8" value="40"
                                  textformat="%d%%"><surface id="back"/><surface id="step"/>
                    </progressitem>
                    <eventitem id="inner" event="LButtonDblDown" state="normal|over">
                        <line id="u"/></eventitem>
                    <image id="icon"/>
                </drawitem>
                <drawitem id="second"/>
            </listctrlinfo>
            <eventitem id="dbl" event="unknown"/>
        </item>
        <item type="commonctrl" id="plain"><eventitem id="ignored"><text id="t"/></eventitem>
        </item>)xml")),
              1);
    ListCtrlInfo* list = Find<ListCtrlInfo>(DescriptionType::ListCtrl, "list");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->drawItems.Count(), 2u) << "event item children are not the window's items";
    EXPECT_TRUE(Find<WindowInfo>(DescriptionType::CommonCtrl, "plain")->eventItems.empty());
    ASSERT_EQ(list->eventItems.size(), 2u);
    ASSERT_EQ(list->itemTemplates.size(), 2u);
    const EventItem& click = *list->eventItems[0];
    const EventItem& dbl = *list->eventItems[1];
    const DrawItemGroup& row = *list->itemTemplates[0];
    ASSERT_EQ(row.eventItems.size(), 1u);
    ASSERT_EQ(row.progressItems.size(), 1u);
    ASSERT_EQ(click.drawItems.Count(), 2u);
    const EventItem& inner = *row.eventItems[0];
    const ProgressItem& bar = *row.progressItems[0];
    EXPECT_EQ((Texts{click.id, click.cursorId, dbl.id, row.id, bar.id, bar.cursorId, bar.textFormat,
                     list->itemTemplates[1]->id}),
              (Texts{"click", "hand", "dbl", "row", "bar", "wait", "%d%%", "second"}));
    // An event item has one state, not a list; an unknown event is a left click.
    EXPECT_EQ((Ints{click.event, click.visible, click.state, click.left, click.top, click.width,
                    click.height, click.drawItems.FindImage("e1")->index,
                    click.drawItems.FindTextItem("e2")->index, dbl.event, dbl.state, inner.event,
                    inner.state, static_cast<int64_t>(inner.drawItems.Lines().size())}),
              (Ints{EVENT_RBUTTONDOWN, false, STATE_OVER, 1, 2, 3, 4, 0, 1, EVENT_LBUTTONDOWN,
                    STATE_ALL, EVENT_LBUTTONDBLDOWN, STATE_ALL, 1}));
    EXPECT_EQ(
        (Ints{static_cast<int64_t>(row.drawItems.Count()),
              row.drawItems.FindTextItem("cell")->index, row.drawItems.FindImage("icon")->index,
              bar.visible, bar.state, bar.left, bar.top, bar.width, bar.height, bar.value,
              bar.drawItems.FindSurface("step")->index}),
        (Ints{2, 0, 1, false, STATE_DOWN, 5, 6, 7, 8, 40, 1}));
}

TEST_F(SkinDescription, AnimationFramesComeFromItsAnimateItemsOnly) {
    ASSERT_EQ(Parse(Window(R"xml(
        <item type="animate" id="spin">
            <property width="32" height="32"/>
            <image id="outside"/>
            <animateitem framecount="4" delaytime="100">
                <image id="f0" state="normal|over"/><image id="f1"/>
            </animateitem>
            <animateitem framecount="8" delaytime="50" cycle="false">
                <image id="g0"/><text id="g1"/>
            </animateitem>
        </item>
        <item type="animate" id="once"><animateitem cycle="FALSE"/></item>)xml")),
              1);
    AnimateInfo* spin = Find<AnimateInfo>(DescriptionType::Animate, "spin");
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->drawItems.FindImage("outside"), nullptr);
    ASSERT_EQ(spin->drawItems.Count(), 5u);
    const DrawItemList& items = spin->drawItems;
    EXPECT_EQ(
        (Ints{spin->width, spin->frameCount, spin->delayTime, spin->cycle, items.Images()[0]->index,
              items.Images()[1]->index, items.FindImage("f1")->index, items.FindImage("g0")->index,
              items.FindTextItem("g1")->index, items.IndexLimit(),
              Find<AnimateInfo>(DescriptionType::Animate, "once")->cycle}),
        (Ints{32, 8, 50, false, 0, 1, 2, 3, 4, 5, true}));
}

TEST_F(SkinDescription, UnknownTypeStopsTheDocumentAndKeepsEarlierItems) {
    // "Button" is not "button": type names compare with case.
    EXPECT_EQ(Parse(Window(R"xml(<item type="button" id="ok"/><item type="static" id="label"/>
            <item type="Button" id="capital"/><item type="button" id="cancel"/>)xml")),
              0);
    EXPECT_NE(Find<ButtonInfo>(DescriptionType::Button, "ok"), nullptr);
    EXPECT_NE(Find<WindowInfo>(DescriptionType::Static, "label"), nullptr);
    EXPECT_EQ(Manager()->Descriptions(DescriptionType::Button).Size(), 1u);
    EXPECT_EQ(Parse(Window("<item id='untyped'/>")), 0);
}

TEST_F(SkinDescription, EarlierRecordOfAnIdWins) {
    ASSERT_EQ(Parse(Window("<item type='static' id='s'><property width='1'/></item>"
                           "<item type='static' id='s'><property width='2'/></item>")),
              1);
    ASSERT_EQ(Parse(Window("<item type='static' id='s'><property width='3'/></item>")), 1);
    EXPECT_EQ(Manager()->Descriptions(DescriptionType::Static).Size(), 3u);
    EXPECT_EQ(Find<WindowInfo>(DescriptionType::Static, "s")->width, 1);
}

// A 32 x 32 cursor, its top half black and the rest transparent.
std::string TopHalfCursor(int hotX, int hotY) {
    return MakeCurFile(32, 32, hotX, hotY, [](int, int y) { return y < 16; });
}

// Hot spot of a loaded cursor as x * 100 + y.
int64_t HotSpot(const char* id) {
    const GDICursor* cursor = CManager::Instance()->FindCursor(id);
    ICONINFO info{};
    if (!cursor || !GetIconInfo(cursor->GetCursor(), &info))
        return -1;
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    return info.xHotspot * 100 + info.yHotspot;
}

const char kBrokenBmp[] = "BM\x01\x02\x03";
const COLORREF kGray = RGB(0x80, 0x80, 0x80);

// Folder skins and database skins: the first definition of an id wins, resources that
// cannot be loaded are dropped.
TEST_F(SkinDescription, ResourcesFromFolderAndDatabase) {
    std::string folder = std::string("Z:") + TEST_BINARY_DIR + "/resources";
    for (char& c : folder)
        c = c == '/' ? '\\' : c;
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::pair<const char*, std::string> files[] = {{"bg.bmp", MakeBmpFile(4, 3, kGray)},
                                                         {"small.bmp", MakeBmpFile(2, 2, kGray)},
                                                         {"broken.bmp", kBrokenBmp},
                                                         {"arrow.cur", TopHalfCursor(5, 7)}};
    for (const auto& file : files) {
        std::ofstream out(folder + "\\" + file.first, std::ios::binary | std::ios::trunc);
        out << file.second;
        ASSERT_TRUE(out.good()) << file.first;
    }
    const char document[] = R"xml(<theme><image>
        <item id="bg" file="bg.bmp" adjust="false" transparentcolor="(255,0,300)"/>
        <item id="small" file="small.bmp" adjust="FALSE"/><item id="bg" file="small.bmp"/>
        <item id="broken" file="broken.bmp"/><item id="missing" file="nothere.bmp"/>
        <item id="after" file="small.bmp" transparentcolor=""/>
    </image><cursor>
        <item id="arrow" file="arrow.cur"/><item id="nocursor" file="nothere.cur"/>
        <item id="badcursor" file="broken.bmp"/>
    </cursor></theme>)xml";
    for (const bool database : {false, true}) {
        SCOPED_TRACE(database ? "database" : "folder");
        if (database) {
            AddEntry("skin\\bg.bmp", files[0].second);
            AddEntry("SKIN\\Small.BMP", files[1].second);
            AddEntry("skin\\broken.bmp", kBrokenBmp);
            AddEntry("skin\\arrow.cur", files[3].second);
            AddEntry("other\\nothere.bmp", MakeBmpFile(1, 1, kGray));
        }
        EXPECT_EQ(Parse(document, database ? "" : folder.c_str(), database ? "skin" : ""), 1);
        ASSERT_EQ(ImageIds(), (Texts{"bg", "small", "after"}));
        GDIImage* bg = Manager()->FindImage("bg");
        GDIImage* small = Manager()->FindImage("small");
        EXPECT_EQ((Ints{bg->GetWidth(), bg->GetHeight(), bg->GetAdjust(), bg->GetTransparentColor(),
                        small->GetWidth(), small->GetAdjust(), small->GetTransparentColor(),
                        Manager()->FindImage("after")->GetTransparentColor(),
                        static_cast<int64_t>(Manager()->Cursors().Size()), HotSpot("arrow")}),
                  (Ints{4, 3, false, 0x2C00FF, 2, true, kNoColor, kNoColor, 1, 507}));
        CManager::Destroy();
    }
}

TEST_F(SkinDescription, DatabaseEntriesByContentLengthAndEarlierDocument) {
    AddEntry("skin\\picture.dat", MakeBmpFile(6, 5, kGray));
    AddEntry("skin\\misnamed.png", MakeBmpFile(6, 5, kGray));
    const std::string fits(259 - 5, 'a');    // "skin\" + 254 characters
    const std::string tooLong(259 - 4, 'b'); // "skin\" + 255 characters
    AddEntry("skin\\" + fits, MakeBmpFile(1, 1, kGray));
    AddEntry("skin\\" + tooLong, MakeBmpFile(1, 1, kGray));
    EXPECT_EQ(Parse("<theme><image><item id='dat' file='picture.dat'/>"
                    "<item id='png' file='misnamed.png'/><item id='fits' file='" +
                    fits + "'/><item id='long' file='" + tooLong + "'/></image></theme>"),
              1);
    // Any ending is decoded by content, but a .png entry only as PNG.
    EXPECT_EQ(ImageIds(), (Texts{"dat", "fits"}));
    EXPECT_EQ(Manager()->FindImage("dat")->GetWidth(), 6);

    AddEntry("first\\arrow.cur", TopHalfCursor(3, 4));
    AddEntry("second\\arrow.cur", TopHalfCursor(9, 10));
    const char cursor[] = "<theme><cursor><item id='arrow' file='arrow.cur'/></cursor></theme>";
    EXPECT_EQ(Parse(cursor, "", "first"), 1);
    const GDICursor* first = Manager()->FindCursor("arrow");
    EXPECT_EQ(Parse(cursor, "", "second"), 1);
    EXPECT_EQ(
        Parse("<theme><cursor><item id='Arrow' file='arrow.cur'/></cursor></theme>", "", "second"),
        1);
    ASSERT_EQ(Manager()->Cursors().Size(), 2u) << "ids compare with case";
    EXPECT_EQ(Manager()->FindCursor("arrow"), first);
    EXPECT_EQ((Ints{HotSpot("arrow"), HotSpot("Arrow")}), (Ints{304, 910}));
}

} // namespace
} // namespace Velmora
