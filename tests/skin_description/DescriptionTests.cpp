// What the description reader makes of a document: one document holding every
// record and attribute, read from a folder and from database entries, against a
// committed text dump of every resource, record and draw item (set
// VELMORA_WRITE_GOLDEN=1 to write the dump anew, then review its difference),
// and the cases that stop or split a load.
#include "Manager.h"
#include "SkinDescription.h"
#include "SkinFiles.h"
#include "UiProbe.h"
#include "XmlDocument.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace Velmora {
namespace {

const char kGolden[] = "Z:" TEST_SOURCE_DIR "/fixtures/every-record.txt";

// One line of a dump: " name=value" per field, texts quoted, colours as "(r,g,b)".
struct Line {
    std::string text;
    Line& operator()(const char* name, int64_t value) {
        text += std::string(" ") + name + "=" + std::to_string(value);
        return *this;
    }
    Line& operator()(const char* name, const std::string& value) {
        text += std::string(" ") + name + "=\"" + value + "\"";
        return *this;
    }
    Line& Color(const char* name, uint32_t value) {
        text += std::string(" ") + name + "=";
        text += value == kNoColor
                    ? "none"
                    : "(" + std::to_string(value & 0xFF) + "," + std::to_string(value >> 8 & 0xFF) +
                          "," + std::to_string(value >> 16 & 0xFF) + ")";
        return *this;
    }
};

void DumpItems(std::string& out, const DrawItemList& items, const std::string& indent) {
    static const char* const kKinds[] = {"none", "line", "surface", "text", "image"};
    for (int32_t index = 0; index < items.IndexLimit(); ++index) {
        const DrawItemRef ref = items.ItemByIndex(index);
        if (!ref) {
            out += indent + "no item #" + std::to_string(index) + "\n";
            continue;
        }
        const DrawItemHeader& h = *ref.item;
        Line line{indent + kKinds[ref.kind] + " #" + std::to_string(h.index)};
        line("id", h.id)("visible", h.visible)("state", h.state)("relativeId", h.relativeId)(
            "relativeAlign", h.relativeAlign);
        if (ref.kind == DRAWITEM_TEXT) {
            const auto& t = static_cast<const TextItem&>(h);
            line("left", t.left)("top", t.top)("width", t.width)("height", t.height)(
                "singleLine", t.singleLine)("fontId", t.fontId)("content", t.content)
                .Color("textColor", t.textColor)("horzAlign", t.horzAlign)("vertAlign",
                                                                           t.vertAlign);
        } else if (ref.kind == DRAWITEM_LINE) {
            const auto& l = static_cast<const LineItem&>(h);
            line("startX", l.startX)("startY", l.startY)("endX", l.endX)("endY", l.endY)(
                "width", l.width)("style", l.style)
                .Color("lineColor", l.lineColor);
        } else if (ref.kind == DRAWITEM_SURFACE) {
            const auto& s = static_cast<const SurfaceItem&>(h);
            line("type", s.type)("borderWidth", s.borderWidth)("borderStyle", s.borderStyle)
                .Color("borderColor", s.borderColor)
                .Color("fillColor", s.fillColor)("upperLeftX", s.upperLeftX)(
                    "upperLeftY", s.upperLeftY)("lowerRightX", s.lowerRightX)("lowerRightY",
                                                                              s.lowerRightY)(
                    "roundRectWidth", s.roundRectWidth)("roundRectHeight", s.roundRectHeight);
        } else {
            const auto& i = static_cast<const ImageItem&>(h);
            line("imageId", i.imageId)("region.x", i.region.x)("region.y", i.region.y)(
                "region.width", i.region.width)("region.height", i.region.height)(
                "horzAlign", i.horzAlign)("vertAlign", i.vertAlign)("mode", i.mode)("left", i.left)(
                "top", i.top)("right", i.right)("bottom", i.bottom)("width", i.width)(
                "height", i.height)("stretchLeft", i.stretchLeft)("stretchTop", i.stretchTop)(
                "stretchRight", i.stretchRight)("stretchBottom", i.stretchBottom);
        }
        out += line.text + "\n";
    }
    if (items.Count() != static_cast<size_t>(items.IndexLimit()))
        out += indent + std::to_string(items.Count()) + " items in the kind lists\n";
}

void DumpEvents(std::string& out, const std::vector<std::unique_ptr<EventItem>>& events,
                const std::string& indent) {
    for (const auto& e : events) {
        out += Line{indent + "event"}("id", e->id)("event", e->event)("visible", e->visible)(
                   "state", e->state)("cursorId", e->cursorId)("left", e->left)("top", e->top)(
                   "width", e->width)("height", e->height)
                   .text +
               "\n";
        DumpItems(out, e->drawItems, indent + "  ");
    }
}

void DumpWindow(std::string& out, const char* type, const WindowInfo& w) {
    Line line{std::string("window ") + type};
    line("id", w.id)("left", w.left)("top", w.top)("width", w.width)("height", w.height)(
        "hasPosition", w.hasPosition)("cursorId", w.cursorId)("scrollBarId", w.scrollBarId)(
        "transparent", w.transparent);
    if (auto* b = dynamic_cast<const ButtonInfo*>(&w))
        line("buttonKind", b->buttonKind);
    if (auto* d = dynamic_cast<const DialogInfo*>(&w))
        line("resize", d->resize)("titleBar", d->titleBar)("minWidth", d->minWidth)("minHeight",
                                                                                    d->minHeight)
            .Color("clipColor", d->clipColor);
    if (auto* e = dynamic_cast<const EditInfo*>(&w))
        line("fontId", e->fontId).Color("textColor", e->textColor);
    if (auto* c = dynamic_cast<const ComboBoxInfo*>(&w))
        line("editMargin.0", c->editMargin[0])("editMargin.1", c->editMargin[1])(
            "editMargin.2", c->editMargin[2])("editMargin.3", c->editMargin[3]);
    if (auto* m = dynamic_cast<const MenuInfo*>(&w))
        line.Color("clipColor", m->clipColor)("separatorHeight", m->separatorHeight);
    if (auto* s = dynamic_cast<const ScrollBarInfo*>(&w))
        line("interval", s->interval);
    if (auto* t = dynamic_cast<const TabCtrlExInfo*>(&w))
        line("margin", t->margin)("itemWidth", t->itemWidth)("itemHeight", t->itemHeight);
    if (auto* t = dynamic_cast<const ToolBarExInfo*>(&w))
        line("margin", t->margin)("itemWidth", t->itemWidth)("itemHeight", t->itemHeight)(
            "startX", t->startX)("startY", t->startY)("checked", t->checked)("horzLayout",
                                                                             t->horzLayout);
    if (auto* l = dynamic_cast<const ListCtrlInfo*>(&w))
        line("headerCtrlId", l->headerCtrlId)("oddEvenLine", l->oddEvenLine);
    if (auto* t = dynamic_cast<const TreeCtrlExInfo*>(&w))
        line("levelIndent", t->levelIndent);
    if (auto* a = dynamic_cast<const AnimateInfo*>(&w))
        line("frameCount", a->frameCount)("delayTime", a->delayTime)("cycle", a->cycle);
    out += line.text + "\n";
    if (auto* d = dynamic_cast<const DialogInfo*>(&w)) {
        for (const auto& r : d->windowRegion)
            out += Line{"  region"}("x", r->x)("y", r->y)("width", r->width)("height", r->height)
                       .text +
                   "\n";
        for (const auto& c : d->commandButtons)
            out +=
                Line{"  command"}("id", c.id)("left", c.left)("top", c.top)("buttonId", c.buttonId)
                    .text +
                "\n";
    }
    DumpItems(out, w.drawItems, "  ");
    for (const auto& group : w.itemTemplates) {
        out += Line{"  template"}("id", group->id).text + "\n";
        DumpEvents(out, group->eventItems, "    ");
        for (const auto& p : group->progressItems) {
            out += Line{"    progress"}("id", p->id)("visible", p->visible)("state", p->state)(
                       "cursorId", p->cursorId)("left", p->left)("top", p->top)("width", p->width)(
                       "height", p->height)("value", p->value)("textFormat", p->textFormat)
                       .text +
                   "\n";
            DumpItems(out, p->drawItems, "      ");
        }
        DumpItems(out, group->drawItems, "    ");
    }
    DumpEvents(out, w.eventItems, "  ");
}

// Hot spot of a cursor as x * 100 + y; -1 without a cursor.
int64_t HotSpot(const GDICursor* cursor) {
    ICONINFO info{};
    if (!cursor || !GetIconInfo(cursor->GetCursor(), &info))
        return -1;
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    return info.xHotspot * 100 + info.yHotspot;
}

// Every resource, then every record of every registry in load order.
std::string DumpSkin(CManager& manager) {
    static const char* const kTypes[] = {
        "commonctrl", "dialog",    "button",   "static",    "edit",       "groupbox",   "combobox",
        "toolbar",    "scrollbar", "tabctrl",  "tabctrlex", "toolbarex",  "headerctrl", "listctrl",
        "progress",   "slider",    "sliderex", "animate",   "treectrlex", "menu"};
    std::string out;
    for (const auto& cursor : manager.Cursors().Items())
        out += Line{"cursor"}("id", cursor->GetId())("hotSpot", HotSpot(cursor.get())).text + "\n";
    for (const auto& font : manager.Fonts().Items()) {
        LOGFONTA f{};
        GetObjectA(font->GetFont(), sizeof f, &f);
        out += Line{"font"}("id", font->GetId())("face", f.lfFaceName)("height", f.lfHeight)(
                   "weight", f.lfWeight)("italic", f.lfItalic)("underline", f.lfUnderline)
                   .text +
               "\n";
    }
    for (const auto& image : manager.Images().Items())
        out += Line{"image"}("id", image->GetId())("width", image->GetWidth())(
                   "height", image->GetHeight())("adjust", image->GetAdjust())
                   .Color("transparentColor", image->GetTransparentColor())
                   .text +
               "\n";
    for (int type = 0; type <= static_cast<int>(DescriptionType::Menu); ++type)
        for (const auto& record :
             manager.Descriptions(static_cast<DescriptionType>(type)).Records())
            DumpWindow(out, kTypes[type], *record);
    return out;
}

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

    static void AddEntry(const std::string& name, const std::string& bytes) {
        auto entry = std::make_unique<SkinEntry>();
        entry->data = std::make_unique<uint8_t[]>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), entry->data.get());
        entry->size = bytes.size();
        entry->name = name;
        entry->kind = EntryKindOfName(name);
        Manager()->AddSkinEntry(std::move(entry));
    }

    static std::vector<std::string> ImageIds() {
        std::vector<std::string> ids;
        for (const auto& image : Manager()->Images().Items())
            ids.push_back(image->GetId());
        return ids;
    }
};

TEST_F(SkinDescription, EveryRecordFromAFolderOrADatabaseAsTheGoldenDump) {
    CXmlDocument document;
    ASSERT_TRUE(document.LoadFile("Z:" TEST_SOURCE_DIR "/fixtures/every-record.xml"));
    if (std::getenv("VELMORA_WRITE_GOLDEN")) {
        ASSERT_EQ(ParseSkinDescription(*Manager(), document, PictureFolder().c_str(), ""), 1);
        ASSERT_TRUE(WriteFileBytes(kGolden, DumpSkin(*Manager())));
        CManager::Destroy();
    }
    const std::string golden = ReadFileBytes(kGolden);
    ASSERT_FALSE(golden.empty());
    for (const bool database : {false, true}) {
        SCOPED_TRACE(database ? "database" : "folder");
        if (database) {
            // Entry names compare without case; entries under another prefix are not seen.
            for (const char* name :
                 {"gray-4x3.bmp", "red-2x2.bmp", "arrow-32.cur", "arrow-16.cur", "broken.bmp"})
                AddEntry(std::string("skin\\") + name, PictureBytes(name));
            AddEntry("SKIN\\Gray-6x5.BMP", PictureBytes("gray-6x5.bmp"));
            AddEntry("other\\nothere.bmp", PictureBytes("red-2x2.bmp"));
        }
        ASSERT_EQ(ParseSkinDescription(*Manager(), document,
                                       database ? "" : PictureFolder().c_str(),
                                       database ? "skin" : ""),
                  1);
        EXPECT_EQ(golden, DumpSkin(*Manager()));
        CManager::Destroy();
    }
}

TEST_F(SkinDescription, DocumentsWithoutAThemeRootLoadNothing) {
    for (const char* text : {"", "<theme/>",
                             "<skin><font><item id='f' family='Arial' size='12'/></font>"
                             "<window><item type='button' id='b'/></window></skin>"})
        EXPECT_EQ(Parse(text), 1) << text;
    EXPECT_EQ(DumpSkin(*Manager()), "");
}

// "Button" is not "button": type names compare with case.
TEST_F(SkinDescription, UnknownTypeStopsTheDocumentAndKeepsEarlierItems) {
    EXPECT_EQ(Parse("<theme><window><item type='button' id='ok'/><item type='Button' id='x'/>"
                    "<item type='static' id='later'/></window></theme>"),
              0);
    EXPECT_EQ(Parse("<theme><window><item id='untyped'/></window></theme>"), 0);
    EXPECT_EQ(DumpSkin(*Manager()),
              "window button id=\"ok\" left=0 top=0 width=0 height=0 hasPosition=0 cursorId=\"\" "
              "scrollBarId=\"\" transparent=0 buttonKind=0\n");
}

TEST_F(SkinDescription, LookupsFindTheFirstRecordAndResourceOfAnId) {
    ASSERT_EQ(Parse("<theme><window><item type='static' id='s'><property width='1'/></item>"
                    "<item type='static' id='s'><property width='2'/></item></window></theme>"),
              1);
    EXPECT_EQ(Manager()->FindDescription(DescriptionType::Static, "s")->width, 1);

    AddEntry("first\\arrow.cur", PictureBytes("arrow-32.cur"));
    AddEntry("second\\arrow.cur", PictureBytes("arrow-16.cur"));
    const char cursor[] = "<theme><cursor><item id='arrow' file='arrow.cur'/></cursor></theme>";
    EXPECT_EQ(Parse(cursor, "", "first"), 1);
    EXPECT_EQ(Parse(cursor, "", "second"), 1);
    EXPECT_EQ(
        Parse("<theme><cursor><item id='Arrow' file='arrow.cur'/></cursor></theme>", "", "second"),
        1);
    ASSERT_EQ(Manager()->Cursors().Size(), 2u) << "ids compare with case";
    EXPECT_EQ((std::vector<int64_t>{HotSpot(Manager()->FindCursor("arrow")),
                                    HotSpot(Manager()->FindCursor("Arrow"))}),
              (std::vector<int64_t>{903, 407}));
}

TEST_F(SkinDescription, DatabaseEntriesAreDecodedByContentUpToTheLongestName) {
    AddEntry("skin\\picture.dat", PictureBytes("gray-6x5.bmp"));
    AddEntry("skin\\misnamed.png", PictureBytes("gray-6x5.bmp"));
    const std::string fits(259 - 5, 'a');    // "skin\" + 254 characters
    const std::string tooLong(259 - 4, 'b'); // "skin\" + 255 characters
    AddEntry("skin\\" + fits, PictureBytes("red-2x2.bmp"));
    AddEntry("skin\\" + tooLong, PictureBytes("red-2x2.bmp"));
    EXPECT_EQ(Parse("<theme><image><item id='dat' file='picture.dat'/>"
                    "<item id='png' file='misnamed.png'/><item id='fits' file='" +
                    fits + "'/><item id='long' file='" + tooLong + "'/></image></theme>"),
              1);
    // Any ending is decoded by content, but a .png entry only as PNG.
    EXPECT_EQ(ImageIds(), (std::vector<std::string>{"dat", "fits"}));
    EXPECT_EQ(Manager()->FindImage("dat")->GetWidth(), 6);
}

} // namespace
} // namespace Velmora
