// Window descriptions and draw items read from documents written inline.
#include "DescriptionFixture.h"

#include <windows.h>

#include <gtest/gtest.h>


namespace Velmora {
namespace {

using DescriptionDocument = SkinDescriptionFixture;

TEST_F(DescriptionDocument, WithoutThemeRootNothingIsLoadedAndTheReadSucceeds) {
    EXPECT_EQ(Parse(R"xml(<skin>
        <font><item id="f" family="Arial" size="12"/></font>
        <window><item type="button" id="b"/></window>
    </skin>)xml"),
              1);
    EXPECT_EQ(Manager()->Fonts().Size(), 0u);
    EXPECT_EQ(Manager()->Descriptions(DescriptionType::Button).Size(), 0u);

    EXPECT_EQ(Parse(""), 1);
    EXPECT_EQ(Parse("<theme/>"), 1);
}

TEST_F(DescriptionDocument, SectionsAreFoundInAnyOrderAndOnlyTheFirstOfEachNameIsRead) {
    EXPECT_EQ(Parse(R"xml(<theme>
        <window><item type="static" id="first"><text id="t" fontid="#title"/></item></window>
        <font><item id="title" family="Arial" size="-13" bold="true" underline="true"
                    italic="TRUE"/></font>
        <font><item id="second" family="Arial" size="14"/></font>
        <window><item type="static" id="later"/></window>
    </theme>)xml"),
              1);

    ASSERT_EQ(Manager()->Fonts().Size(), 1u);
    GDIFont* font = Manager()->FindFont("title");
    ASSERT_NE(font, nullptr);
    LOGFONTA logFont{};
    ASSERT_NE(GetObjectA(font->GetFont(), sizeof logFont, &logFont), 0);
    EXPECT_EQ(logFont.lfHeight, -13);
    EXPECT_EQ(logFont.lfWeight, 700);
    EXPECT_EQ(logFont.lfUnderline, 1);
    EXPECT_EQ(logFont.lfItalic, 0) << "flags compare their word exactly";
    EXPECT_STREQ(logFont.lfFaceName, "Arial");

    EXPECT_NE(Find<WindowInfo>(DescriptionType::Static, "first"), nullptr);
    EXPECT_EQ(Find<WindowInfo>(DescriptionType::Static, "later"), nullptr);
    EXPECT_EQ(Find<WindowInfo>(DescriptionType::Static, "first")->drawItems.Texts()[0]->fontId,
              "title");
}

TEST_F(DescriptionDocument, DrawItemsTakeEveryAttribute) {
    ASSERT_EQ(Parse(R"xml(<theme><window><item type="commonctrl" id="w">
        <text id="caption" visible="false" state="over" relativeid="icon" relativealign="RIGHT"
              left="-5" top="6" width="70" height="18" singleline="false" fontid="#big"
              content="Hello" textcolor="(10,20,30)" horzalign="center" vertalign="bottom"/>
        <line id="rule" state="down" startx="1" starty="2" endx="-3" endy="4" width="2"
              style="dashdot" linecolor="(255,0,0)"/>
        <surface id="box" state="disable" type="round" borderwidth="3" borderstyle="dot"
                 bordercolor="(0,255,0)" fillcolor="(0,0,255)" upperleftx="1" upperlefty="2"
                 lowerrightx="-1" lowerrighty="-2" roundrectwidth="5" roundrectheight="6"/>
        <image id="icon" state="checkednormal" relativeid="caption" relativealign="right"
               imageid="#pic" region="1,2,30,40" horzalign="right" vertalign="middle"
               mode="StretchBoth" left="1" top="2" right="3" bottom="4" width="50" height="60"
               stretchleft="5" stretchtop="6" stretchright="7" stretchbottom="8"/>
    </item></window></theme>)xml"),
              1);
    WindowInfo* info = Find<WindowInfo>(DescriptionType::CommonCtrl, "w");
    ASSERT_NE(info, nullptr);
    const DrawItemList& items = info->drawItems;
    ASSERT_EQ(items.Texts().size(), 1u);
    ASSERT_EQ(items.Lines().size(), 1u);
    ASSERT_EQ(items.Surfaces().size(), 1u);
    ASSERT_EQ(items.Images().size(), 1u);

    const TextItem& text = *items.Texts()[0];
    EXPECT_EQ(text.id, "caption");
    EXPECT_EQ(text.index, 0);
    EXPECT_FALSE(text.visible);
    EXPECT_EQ(text.state, STATE_OVER);
    EXPECT_EQ(text.relativeId, "icon");
    EXPECT_EQ(text.relativeAlign, RELATIVE_RIGHT);
    EXPECT_EQ(text.left, -5);
    EXPECT_EQ(text.top, 6);
    EXPECT_EQ(text.width, 70);
    EXPECT_EQ(text.height, 18);
    EXPECT_FALSE(text.singleLine);
    EXPECT_EQ(text.fontId, "big");
    EXPECT_EQ(text.content, "Hello");
    EXPECT_EQ(text.textColor, 0x1E140Au);
    EXPECT_EQ(text.horzAlign, ALIGN_CENTER);
    EXPECT_EQ(text.vertAlign, ALIGN_FAR);

    const LineItem& line = *items.Lines()[0];
    EXPECT_EQ(line.id, "rule");
    EXPECT_EQ(line.index, 1);
    EXPECT_EQ(line.state, STATE_DOWN);
    EXPECT_EQ(line.startX, 1);
    EXPECT_EQ(line.startY, 2);
    EXPECT_EQ(line.endX, -3);
    EXPECT_EQ(line.endY, 4);
    EXPECT_EQ(line.width, 2);
    EXPECT_EQ(line.style, LINESTYLE_DASHDOT);
    EXPECT_EQ(line.lineColor, 0x0000FFu);

    const SurfaceItem& surface = *items.Surfaces()[0];
    EXPECT_EQ(surface.id, "box");
    EXPECT_EQ(surface.index, 2);
    EXPECT_EQ(surface.state, STATE_DISABLE);
    EXPECT_EQ(surface.type, SURFACE_ROUND);
    EXPECT_EQ(surface.borderWidth, 3);
    EXPECT_EQ(surface.borderStyle, LINESTYLE_DOT);
    EXPECT_EQ(surface.borderColor, 0x00FF00u);
    EXPECT_EQ(surface.fillColor, 0xFF0000u);
    EXPECT_EQ(surface.upperLeftX, 1);
    EXPECT_EQ(surface.upperLeftY, 2);
    EXPECT_EQ(surface.lowerRightX, -1);
    EXPECT_EQ(surface.lowerRightY, -2);
    EXPECT_EQ(surface.roundRectWidth, 5);
    EXPECT_EQ(surface.roundRectHeight, 6);
    EXPECT_TRUE(surface.relativeId.empty()) << "only texts and images are placed relatively";

    const ImageItem& image = *items.Images()[0];
    EXPECT_EQ(image.id, "icon");
    EXPECT_EQ(image.index, 3);
    EXPECT_TRUE(image.visible);
    EXPECT_EQ(image.state, STATE_CHECKEDNORMAL);
    EXPECT_EQ(image.relativeId, "caption");
    EXPECT_EQ(image.relativeAlign, RELATIVE_RIGHT);
    EXPECT_EQ(image.imageId, "pic");
    EXPECT_EQ(image.region.x, 1);
    EXPECT_EQ(image.region.y, 2);
    EXPECT_EQ(image.region.width, 30);
    EXPECT_EQ(image.region.height, 40);
    EXPECT_EQ(image.horzAlign, ALIGN_FAR);
    EXPECT_EQ(image.vertAlign, ALIGN_CENTER);
    EXPECT_EQ(image.mode, IMAGEMODE_STRETCHBOTH);
    EXPECT_EQ(image.left, 1);
    EXPECT_EQ(image.top, 2);
    EXPECT_EQ(image.right, 3);
    EXPECT_EQ(image.bottom, 4);
    EXPECT_EQ(image.width, 50);
    EXPECT_EQ(image.height, 60);
    EXPECT_EQ(image.stretchLeft, 5);
    EXPECT_EQ(image.stretchTop, 6);
    EXPECT_EQ(image.stretchRight, 7);
    EXPECT_EQ(image.stretchBottom, 8);
}

TEST_F(DescriptionDocument, DrawItemsWithoutAttributesKeepTheirDefaults) {
    ASSERT_EQ(Parse(R"xml(<theme><window><item type="commonctrl" id="w">
        <text/><line/><surface/><image/>
    </item></window></theme>)xml"),
              1);
    const DrawItemList& items = Find<WindowInfo>(DescriptionType::CommonCtrl, "w")->drawItems;
    ASSERT_EQ(items.Count(), 4u);

    const TextItem& text = *items.Texts()[0];
    EXPECT_EQ(text.id, "");
    EXPECT_TRUE(text.visible);
    EXPECT_EQ(text.state, STATE_ALL);
    EXPECT_EQ(text.relativeAlign, RELATIVE_LEFT);
    EXPECT_TRUE(text.singleLine);
    EXPECT_EQ(text.textColor, kNoColor);
    EXPECT_EQ(text.horzAlign, ALIGN_NONE);
    EXPECT_EQ(text.vertAlign, ALIGN_NONE);
    EXPECT_EQ(text.left + text.top + text.width + text.height, 0);

    const LineItem& line = *items.Lines()[0];
    EXPECT_EQ(line.style, LINESTYLE_SOLID);
    EXPECT_EQ(line.lineColor, kNoColor);
    EXPECT_EQ(line.startX + line.startY + line.endX + line.endY + line.width, 0);

    const SurfaceItem& surface = *items.Surfaces()[0];
    EXPECT_EQ(surface.type, SURFACE_RECT);
    EXPECT_EQ(surface.borderStyle, LINESTYLE_SOLID);
    EXPECT_EQ(surface.borderColor, kNoColor);
    EXPECT_EQ(surface.fillColor, kNoColor);

    const ImageItem& image = *items.Images()[0];
    EXPECT_EQ(image.imageId, "");
    EXPECT_EQ(image.mode, IMAGEMODE_NORMAL);
    EXPECT_EQ(image.horzAlign, ALIGN_NONE);
    EXPECT_EQ(image.vertAlign, ALIGN_NONE);
    EXPECT_EQ(image.region.x + image.region.y + image.region.width + image.region.height, 0);
    EXPECT_EQ(image.left + image.right + image.width + image.stretchLeft + image.stretchBottom, 0);
}

TEST_F(DescriptionDocument, FlagsColoursAndReferencesFollowTheirSyntax) {
    ASSERT_EQ(Parse(R"xml(<theme><window>
        <item type="static" id="w">
            <property transparent="TRUE" cursorid="#hand"/>
            <text id="a" visible="FALSE" singleline="FALSE" textcolor="(0,0,300)"/>
            <text id="b" textcolor=""/>
            <image id="c" imageid="##odd"/>
        </item>
    </window></theme>)xml"),
              1);
    WindowInfo* info = Find<WindowInfo>(DescriptionType::Static, "w");
    ASSERT_NE(info, nullptr);
    EXPECT_FALSE(info->transparent);
    EXPECT_EQ(info->cursorId, "hand");
    const TextItem& a = *info->drawItems.FindTextItem("a");
    EXPECT_TRUE(a.visible);
    EXPECT_TRUE(a.singleLine);
    EXPECT_EQ(a.textColor, 44u << 16);
    EXPECT_EQ(info->drawItems.FindTextItem("b")->textColor, kNoColor);
    EXPECT_EQ(info->drawItems.FindImage("c")->imageId, "#odd");
}

TEST_F(DescriptionDocument, StateListsCopyTheItemWithConsecutiveIndexes) {
    ASSERT_EQ(Parse(R"xml(<theme><window><item type="button" id="b">
        <text id="label" content="OK" state="normal|over"/>
        <line id="l"/>
        <image id="face" state="DOWN|bogus|checkedover" imageid="pic"/>
        <unknown id="skipped"/>
        <surface id="s" state=""/>
    </item></window></theme>)xml"),
              1);
    const DrawItemList& items = Find<ButtonInfo>(DescriptionType::Button, "b")->drawItems;
    ASSERT_EQ(items.Texts().size(), 2u);
    EXPECT_EQ(items.Texts()[0]->state, STATE_NORMAL);
    EXPECT_EQ(items.Texts()[0]->index, 0);
    EXPECT_EQ(items.Texts()[1]->state, STATE_OVER);
    EXPECT_EQ(items.Texts()[1]->index, 1);
    EXPECT_EQ(items.Texts()[1]->content, "OK");
    EXPECT_EQ(items.Lines()[0]->index, 2);
    EXPECT_EQ(items.Lines()[0]->state, STATE_ALL);

    ASSERT_EQ(items.Images().size(), 3u);
    const int32_t imageStates[] = {STATE_DOWN, STATE_ALL, STATE_CHECKEDOVER};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(items.Images()[i]->index, 3 + i);
        EXPECT_EQ(items.Images()[i]->state, imageStates[i]);
        EXPECT_EQ(items.Images()[i]->imageId, "pic");
    }
    ASSERT_EQ(items.Surfaces().size(), 1u);
    EXPECT_EQ(items.Surfaces()[0]->index, 6) << "other children take no index";
    EXPECT_EQ(items.Surfaces()[0]->state, STATE_ALL);

    // The paint walk reaches every item without a gap.
    EXPECT_EQ(items.IndexLimit(), 7);
    for (int32_t index = 0; index < 7; ++index)
        EXPECT_TRUE(items.ItemByIndex(index)) << index;
}

struct PropertyCase {
    const char* type;
    DescriptionType registry;
    bool transparent;
    bool position;
    bool size;
    bool cursor;
    bool scrollBar;
};

TEST_F(DescriptionDocument, EachTypeReadsItsPropertyAttributes) {
    const PropertyCase cases[] = {
        {"commonctrl", DescriptionType::CommonCtrl, true, true, true, true, true},
        {"dialog", DescriptionType::Dialog, false, true, true, true, false},
        {"button", DescriptionType::Button, true, true, true, true, false},
        {"checkbox", DescriptionType::Button, true, true, true, true, false},
        {"radiobox", DescriptionType::Button, true, true, true, true, false},
        {"static", DescriptionType::Static, true, true, true, true, false},
        {"groupbox", DescriptionType::GroupBox, true, true, true, true, false},
        {"toolbar", DescriptionType::ToolBar, true, true, true, true, false},
        {"headerctrl", DescriptionType::HeaderCtrl, true, true, true, true, false},
        {"progress", DescriptionType::Progress, true, true, true, true, false},
        {"slider", DescriptionType::Slider, true, true, true, true, false},
        {"sliderex", DescriptionType::SliderEx, true, true, true, true, false},
        {"edit", DescriptionType::Edit, true, true, true, true, true},
        {"combobox", DescriptionType::ComboBox, true, true, true, true, false},
        {"menu", DescriptionType::Menu, false, false, true, false, false},
        {"scrollbar", DescriptionType::ScrollBar, false, true, true, true, false},
        {"tabctrl", DescriptionType::TabCtrl, false, false, false, false, false},
        {"tabctrlex", DescriptionType::TabCtrlEx, true, true, true, true, false},
        {"toolbarex", DescriptionType::ToolBarEx, true, true, true, true, false},
        {"listctrl", DescriptionType::ListCtrl, true, false, true, true, true},
        {"treectrlex", DescriptionType::TreeCtrlEx, true, false, true, true, true},
        {"animate", DescriptionType::Animate, true, true, true, true, false},
    };
    for (const PropertyCase& c : cases) {
        SCOPED_TRACE(c.type);
        const std::string document =
            std::string("<theme><window><item type=\"") + c.type +
            "\" id=\"w\"><property transparent=\"true\" left=\"1\" top=\"2\" width=\"3\" "
            "height=\"4\" cursorid=\"#cur\" scrollbar=\"#sb\"/></item></window></theme>";
        ASSERT_EQ(Parse(document.c_str()), 1);
        WindowInfo* info = Manager()->FindDescription(c.registry, "w");
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->transparent, c.transparent);
        EXPECT_EQ(info->left, c.position ? 1 : 0);
        EXPECT_EQ(info->top, c.position ? 2 : 0);
        EXPECT_EQ(info->hasPosition, c.position);
        EXPECT_EQ(info->width, c.size ? 3 : 0);
        EXPECT_EQ(info->height, c.size ? 4 : 0);
        EXPECT_EQ(info->cursorId, c.cursor ? "cur" : "");
        EXPECT_EQ(info->scrollBarId, c.scrollBar ? "sb" : "");
        CManager::Destroy();
    }
}

TEST_F(DescriptionDocument, PositionIsSetOnlyByALeftOrTopThatIsNotEmpty) {
    ASSERT_EQ(Parse(R"xml(<theme><window>
        <item type="static" id="none"><property width="5"/></item>
        <item type="static" id="empty"><property left="" top=""/></item>
        <item type="static" id="top"><property top="0"/></item>
        <item type="static" id="left"><property left="-4"/></item>
    </window></theme>)xml"),
              1);
    EXPECT_FALSE(Find<WindowInfo>(DescriptionType::Static, "none")->hasPosition);
    EXPECT_FALSE(Find<WindowInfo>(DescriptionType::Static, "empty")->hasPosition);
    EXPECT_TRUE(Find<WindowInfo>(DescriptionType::Static, "top")->hasPosition);
    WindowInfo* left = Find<WindowInfo>(DescriptionType::Static, "left");
    EXPECT_TRUE(left->hasPosition);
    EXPECT_EQ(left->left, -4);
}

TEST_F(DescriptionDocument, KindRecordsTakeTheirOwnAttributes) {
    ASSERT_EQ(Parse(R"xml(<theme><window>
        <item type="button" id="push"/>
        <item type="checkbox" id="check"/>
        <item type="radiobox" id="radio"/>
        <item type="dialog" id="dlg">
            <property resize="1" clipcolor="(255,0,256)" minwidth="100" minheight="80"
                      titlebar="30"/>
            <commandbutton>
                <item id="close" left="-20" top="4" buttonid="btn.close"/>
                <item id="min" left="-40" top="5" buttonid="#btn.min"/>
            </commandbutton>
            <windowregion>
                <item left="1" top="2" width="3" height="4"/>
                <item left="5" top="6" width="7" height="8"/>
            </windowregion>
            <image id="back"/>
        </item>
        <item type="dialog" id="plaindlg"/>
        <item type="edit" id="ed"><property fontid="#small" textcolor="(1,2,3)"/></item>
        <item type="edit" id="plained"/>
        <item type="combobox" id="cb"><property editmargin="1,2,3,4"/></item>
        <item type="menu" id="popup">
            <property separatorheight="7" clipcolor="(9,9,9)"/><text id="t"/>
        </item>
        <item type="menu" id="plainmenu"/>
        <item type="scrollbar" id="sb"><property interval="12"/></item>
        <item type="listctrl" id="list"><property headerctrl="#hdr"/>
            <listctrlinfo oddevenline="true"/></item>
        <item type="treectrlex" id="tree"><treectrlexinfo levelindent="16"/></item>
        <item type="tabctrlex" id="tabs">
            <tabctrlexinfo margin="2" itemwidth="80" itemheight="24"/></item>
        <item type="toolbarex" id="tools"><property/>
            <toolbarexinfo margin="3" itemwidth="40" itemheight="30" checked="true"
                           horzlayout="true" startx="5" starty="6"/></item>
        <item type="toolbarex" id="plaintools"><toolbarexinfo checked="TRUE"/></item>
    </window></theme>)xml"),
              1);

    EXPECT_EQ(Find<ButtonInfo>(DescriptionType::Button, "push")->buttonKind, 0);
    EXPECT_EQ(Find<ButtonInfo>(DescriptionType::Button, "check")->buttonKind, 1);
    EXPECT_EQ(Find<ButtonInfo>(DescriptionType::Button, "radio")->buttonKind, 2);

    DialogInfo* dialog = Find<DialogInfo>(DescriptionType::Dialog, "dlg");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->resize, 1);
    EXPECT_EQ(dialog->clipColor, 0x0000FFu);
    EXPECT_EQ(dialog->minWidth, 100);
    EXPECT_EQ(dialog->minHeight, 80);
    EXPECT_EQ(dialog->titleBar, 30);
    ASSERT_EQ(dialog->windowRegion.size(), 2u);
    EXPECT_EQ(dialog->windowRegion[1].left, 5);
    EXPECT_EQ(dialog->windowRegion[1].top, 6);
    EXPECT_EQ(dialog->windowRegion[1].width, 7);
    EXPECT_EQ(dialog->windowRegion[1].height, 8);
    ASSERT_EQ(dialog->commandButtons.size(), 2u);
    EXPECT_EQ(dialog->commandButtons[0].id, "close");
    EXPECT_EQ(dialog->commandButtons[0].left, -20);
    EXPECT_EQ(dialog->commandButtons[0].top, 4);
    EXPECT_EQ(dialog->commandButtons[0].buttonId, "btn.close");
    EXPECT_EQ(dialog->commandButtons[1].buttonId, "#btn.min") << "a button id is plain text";
    EXPECT_EQ(dialog->drawItems.Images().size(), 1u);
    DialogInfo* plainDialog = Find<DialogInfo>(DescriptionType::Dialog, "plaindlg");
    EXPECT_EQ(plainDialog->clipColor, kNoColor);
    EXPECT_TRUE(plainDialog->windowRegion.empty());

    EditInfo* edit = Find<EditInfo>(DescriptionType::Edit, "ed");
    EXPECT_EQ(edit->fontId, "small");
    EXPECT_EQ(edit->textColor, 0x030201u);
    EXPECT_EQ(Find<EditInfo>(DescriptionType::Edit, "plained")->textColor, kNoColor);

    EXPECT_EQ(Find<ComboBoxInfo>(DescriptionType::ComboBox, "cb")->editMargin,
              (std::array<int32_t, 4>{1, 2, 3, 4}));

    MenuInfo* menu = Find<MenuInfo>(DescriptionType::Menu, "popup");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->separatorHeight, 7);
    EXPECT_EQ(menu->clipColor, 0x090909u);
    EXPECT_EQ(menu->drawItems.Texts().size(), 1u);
    EXPECT_EQ(Find<MenuInfo>(DescriptionType::Menu, "plainmenu")->clipColor, kNoColor);

    EXPECT_EQ(Find<ScrollBarInfo>(DescriptionType::ScrollBar, "sb")->interval, 12);

    ListCtrlInfo* list = Find<ListCtrlInfo>(DescriptionType::ListCtrl, "list");
    EXPECT_EQ(list->headerCtrlId, "hdr");
    EXPECT_TRUE(list->oddEvenLine);
    EXPECT_EQ(Find<TreeCtrlExInfo>(DescriptionType::TreeCtrlEx, "tree")->levelIndent, 16);

    TabCtrlExInfo* tabs = Find<TabCtrlExInfo>(DescriptionType::TabCtrlEx, "tabs");
    EXPECT_EQ(tabs->margin, 2);
    EXPECT_EQ(tabs->itemWidth, 80);
    EXPECT_EQ(tabs->itemHeight, 24);

    ToolBarExInfo* tools = Find<ToolBarExInfo>(DescriptionType::ToolBarEx, "tools");
    EXPECT_EQ(tools->margin, 3);
    EXPECT_EQ(tools->itemWidth, 40);
    EXPECT_EQ(tools->itemHeight, 30);
    EXPECT_TRUE(tools->checked);
    EXPECT_TRUE(tools->horzLayout);
    EXPECT_EQ(tools->startX, 5);
    EXPECT_EQ(tools->startY, 6);
    EXPECT_FALSE(Find<ToolBarExInfo>(DescriptionType::ToolBarEx, "plaintools")->checked);
}

TEST_F(DescriptionDocument, ToolBarInfoIsLookedForOnlyAfterTheProperty) {
    ASSERT_EQ(Parse(R"xml(<theme><window>
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
        </item>
    </window></theme>)xml"),
              1);
    ToolBarExInfo* before = Find<ToolBarExInfo>(DescriptionType::ToolBarEx, "before");
    EXPECT_EQ(before->width, 10);
    EXPECT_EQ(before->margin, 0);
    EXPECT_TRUE(before->itemTemplates.empty());

    ToolBarExInfo* after = Find<ToolBarExInfo>(DescriptionType::ToolBarEx, "after");
    EXPECT_EQ(after->margin, 9);
    EXPECT_EQ(after->itemTemplates.size(), 1u);

    ToolBarExInfo* noProperty = Find<ToolBarExInfo>(DescriptionType::ToolBarEx, "noproperty");
    EXPECT_EQ(noProperty->margin, 9);
    EXPECT_EQ(noProperty->itemTemplates.size(), 1u);
    EXPECT_EQ(noProperty->drawItems.Texts().size(), 1u);

    // The other kinds rewind before looking for their info element.
    TabCtrlExInfo* tabs = Find<TabCtrlExInfo>(DescriptionType::TabCtrlEx, "tabs");
    EXPECT_EQ(tabs->margin, 9);
    EXPECT_EQ(tabs->itemTemplates.size(), 1u);
}

TEST_F(DescriptionDocument, TemplatesAndEventItemsCarryTheirOwnItems) {
    ASSERT_EQ(Parse(R"xml(<theme><window>
        <item type="listctrl" id="list">
            <text id="own" state="normal|over"/>
            <eventitem id="click" event="rbuttondown" visible="false" state="over"
                       cursorid="#hand" left="1" top="2" width="3" height="4">
                <image id="e1"/><text id="e2"/>
            </eventitem>
            <listctrlinfo>
                <drawitem id="row">
                    <text id="cell"/>
                    <progressitem id="bar" visible="false" state="DOWN" cursorid="#wait"
                                  left="5" top="6" width="7" height="8" value="40"
                                  textformat="%d%%">
                        <surface id="back"/><surface id="step"/>
                    </progressitem>
                    <eventitem id="inner" event="LButtonDblDown" state="normal|over">
                        <line id="u"/>
                    </eventitem>
                    <image id="icon"/>
                </drawitem>
                <drawitem id="second"/>
            </listctrlinfo>
            <eventitem id="dbl" event="unknown"/>
        </item>
        <item type="commonctrl" id="plain">
            <eventitem id="ignored"><text id="t"/></eventitem>
        </item>
    </window></theme>)xml"),
              1);
    ListCtrlInfo* list = Find<ListCtrlInfo>(DescriptionType::ListCtrl, "list");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->drawItems.Count(), 2u) << "event item children are not the window's items";

    ASSERT_EQ(list->eventItems.size(), 2u);
    const EventItem& click = *list->eventItems[0];
    EXPECT_EQ(click.id, "click");
    EXPECT_EQ(click.event, EVENT_RBUTTONDOWN);
    EXPECT_FALSE(click.visible);
    EXPECT_EQ(click.state, STATE_OVER);
    EXPECT_EQ(click.cursorId, "hand");
    EXPECT_EQ(click.left, 1);
    EXPECT_EQ(click.top, 2);
    EXPECT_EQ(click.width, 3);
    EXPECT_EQ(click.height, 4);
    ASSERT_EQ(click.drawItems.Count(), 2u);
    EXPECT_EQ(click.drawItems.FindImage("e1")->index, 0);
    EXPECT_EQ(click.drawItems.FindTextItem("e2")->index, 1);
    EXPECT_EQ(list->eventItems[1]->id, "dbl");
    EXPECT_EQ(list->eventItems[1]->event, EVENT_LBUTTONDOWN);
    EXPECT_EQ(list->eventItems[1]->state, STATE_ALL);

    ASSERT_EQ(list->itemTemplates.size(), 2u);
    const DrawItemGroup& row = *list->itemTemplates[0];
    EXPECT_EQ(row.id, "row");
    EXPECT_EQ(row.drawItems.Count(), 2u);
    EXPECT_EQ(row.drawItems.FindTextItem("cell")->index, 0);
    EXPECT_EQ(row.drawItems.FindImage("icon")->index, 1);
    ASSERT_EQ(row.eventItems.size(), 1u);
    EXPECT_EQ(row.eventItems[0]->event, EVENT_LBUTTONDBLDOWN);
    EXPECT_EQ(row.eventItems[0]->state, STATE_ALL) << "an event item has one state, no list";
    EXPECT_EQ(row.eventItems[0]->drawItems.Lines().size(), 1u);
    ASSERT_EQ(row.progressItems.size(), 1u);
    const ProgressItem& bar = *row.progressItems[0];
    EXPECT_EQ(bar.id, "bar");
    EXPECT_FALSE(bar.visible);
    EXPECT_EQ(bar.state, STATE_DOWN);
    EXPECT_EQ(bar.cursorId, "wait");
    EXPECT_EQ(bar.left, 5);
    EXPECT_EQ(bar.top, 6);
    EXPECT_EQ(bar.width, 7);
    EXPECT_EQ(bar.height, 8);
    EXPECT_EQ(bar.value, 40);
    EXPECT_EQ(bar.textFormat, "%d%%");
    EXPECT_EQ(bar.drawItems.FindSurface("step")->index, 1);
    EXPECT_EQ(list->itemTemplates[1]->id, "second");

    EXPECT_TRUE(Find<WindowInfo>(DescriptionType::CommonCtrl, "plain")->eventItems.empty());
}

TEST_F(DescriptionDocument, AnimationFramesComeFromItsAnimateItemsOnly) {
    ASSERT_EQ(Parse(R"xml(<theme><window>
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
        <item type="animate" id="once">
            <animateitem cycle="FALSE"/>
        </item>
    </window></theme>)xml"),
              1);
    AnimateInfo* spin = Find<AnimateInfo>(DescriptionType::Animate, "spin");
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->width, 32);
    EXPECT_EQ(spin->frameCount, 8);
    EXPECT_EQ(spin->delayTime, 50);
    EXPECT_FALSE(spin->cycle);
    EXPECT_EQ(spin->drawItems.FindImage("outside"), nullptr);
    ASSERT_EQ(spin->drawItems.Count(), 5u);
    EXPECT_EQ(spin->drawItems.Images()[0]->index, 0);
    EXPECT_EQ(spin->drawItems.Images()[1]->index, 1);
    EXPECT_EQ(spin->drawItems.FindImage("f1")->index, 2);
    EXPECT_EQ(spin->drawItems.FindImage("g0")->index, 3);
    EXPECT_EQ(spin->drawItems.FindTextItem("g1")->index, 4);
    EXPECT_EQ(spin->drawItems.IndexLimit(), 5);

    EXPECT_TRUE(Find<AnimateInfo>(DescriptionType::Animate, "once")->cycle);
}

TEST_F(DescriptionDocument, PlainTabControlRegistersWithoutReadingItsChildren) {
    ASSERT_EQ(Parse(R"xml(<theme><window>
        <item type="tabctrl" id="tabs">
            <property left="1" width="100" cursorid="hand"/>
            <text id="t"/>
            <eventitem id="e"/>
        </item>
    </window></theme>)xml"),
              1);
    TabCtrlInfo* tabs = Find<TabCtrlInfo>(DescriptionType::TabCtrl, "tabs");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->width, 0);
    EXPECT_FALSE(tabs->hasPosition);
    EXPECT_EQ(tabs->cursorId, "");
    EXPECT_TRUE(tabs->drawItems.Empty());
    EXPECT_TRUE(tabs->eventItems.empty());
}

TEST_F(DescriptionDocument, UnknownTypeStopsTheDocumentAndKeepsEarlierItems) {
    EXPECT_EQ(Parse(R"xml(<theme>
        <window>
            <item type="button" id="ok"/>
            <item type="static" id="label"/>
            <item type="Button" id="capital"/>
            <item type="button" id="cancel"/>
        </window>
    </theme>)xml"),
              0);
    EXPECT_NE(Find<ButtonInfo>(DescriptionType::Button, "ok"), nullptr);
    EXPECT_NE(Find<WindowInfo>(DescriptionType::Static, "label"), nullptr);
    EXPECT_EQ(Find<WindowInfo>(DescriptionType::Button, "capital"), nullptr);
    EXPECT_EQ(Find<ButtonInfo>(DescriptionType::Button, "cancel"), nullptr);
    EXPECT_EQ(Manager()->Descriptions(DescriptionType::Button).Size(), 1u);

    EXPECT_EQ(Parse(R"xml(<theme><window><item id="untyped"/></window></theme>)xml"), 0);
}

TEST_F(DescriptionDocument, EarlierRecordOfAnIdWins) {
    ASSERT_EQ(Parse(R"xml(<theme><window>
        <item type="static" id="s"><property width="1"/></item>
        <item type="static" id="s"><property width="2"/></item>
    </window></theme>)xml"),
              1);
    ASSERT_EQ(Parse(R"xml(<theme><window>
        <item type="static" id="s"><property width="3"/></item>
    </window></theme>)xml"),
              1);
    EXPECT_EQ(Manager()->Descriptions(DescriptionType::Static).Size(), 3u);
    EXPECT_EQ(Find<WindowInfo>(DescriptionType::Static, "s")->width, 1);
}

} // namespace
} // namespace Velmora
