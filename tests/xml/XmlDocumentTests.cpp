// Parsing, tree walk and attribute reading of CXmlDocument on documents held in memory.
#include "XmlTestSupport.h"

#include <gtest/gtest.h>

using Velmora::CXmlDocument;
using XmlTest::DumpTree;

namespace {

bool ReportHas(const CXmlDocument& doc, const std::string& fragment) {
    return doc.GetResult().find(fragment) != std::string::npos;
}

const char kSkin[] = R"xml(<?xml version="1.0" encoding="GBK"?>
<!-- skin of the updater -->
<theme>
  <cursor>
    <item id="hand" file="cursor\hand.cur"/>
  </cursor>
  <font>
    <item id="default" family="宋体" size="12" bold="false"/>
    <item id="title" family="宋体" size="14" bold="true"/>
  </font>
  <image>
    <item id="#back" file="back.png" transparentcolor="(255,0,255)"/>
  </image>
  <window>
    <item id="dialog.update" type="dialog" rect = '0,0,400,300'>
      <property caption="升级 &amp; 更新" font="title"/>
      <image id="bg" image="#back" state="normal|over" mode="stretchboth"/>
      <text id="tips.top" text="正在检查&#x2026;" font="default" color="(0,0,0)"/>
      <text id="tips.bottom" text="&lt;请稍候&gt;"></text>
      <line id="sep" rect="10,40,-10,41" style="dash"/>
      <eventitem id="close" event="LButtonDown"/>
    </item>
    <item id="progress.update" type="progress">
      <surface id="progress.back" color="(200,200,200)"/>
    </item>
  </window>
</theme>
)xml";

const std::vector<const char*> kSkinAttributes = {
    "id",   "file", "family",  "size",  "bold",  "transparentcolor",
    "type", "rect", "caption", "font",  "image", "state",
    "mode", "text", "color",   "style", "event"};

TEST(XmlDocument, SkinDocumentWalksCompletely) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(kSkin)) << doc.GetResult();
    EXPECT_EQ(DumpTree(doc, kSkinAttributes),
              "theme\n"
              "  cursor\n"
              "    item id=hand file=cursor\\hand.cur\n"
              "  font\n"
              "    item id=default family=宋体 size=12 bold=false\n"
              "    item id=title family=宋体 size=14 bold=true\n"
              "  image\n"
              "    item id=#back file=back.png transparentcolor=(255,0,255)\n"
              "  window\n"
              "    item id=dialog.update type=dialog rect=0,0,400,300\n"
              "      property caption=升级 & 更新 font=title\n"
              "      image id=bg image=#back state=normal|over mode=stretchboth\n"
              "      text id=tips.top font=default text=正在检查… color=(0,0,0)\n"
              "      text id=tips.bottom text=<请稍候>\n"
              "      line id=sep rect=10,40,-10,41 style=dash\n"
              "      eventitem id=close event=LButtonDown\n"
              "    item id=progress.update type=progress\n"
              "      surface id=progress.back color=(200,200,200)\n");
    EXPECT_EQ(doc.GetResult(), "");
}

TEST(XmlDocument, LoaderStyleLookupsFromFirstChild) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(kSkin));
    ASSERT_TRUE(doc.FindElement("theme"));
    ASSERT_TRUE(doc.IntoElement());
    // Sections are looked for from the first child whatever their order.
    ASSERT_TRUE(doc.FindElement("window"));
    doc.ResetMainPosition();
    ASSERT_TRUE(doc.FindElement("font"));
    ASSERT_TRUE(doc.IntoElement());
    ASSERT_TRUE(doc.FindElement("item"));
    EXPECT_EQ(doc.GetAttribute("id"), "default");
    ASSERT_TRUE(doc.FindElement("item"));
    EXPECT_EQ(doc.GetAttribute("id"), "title");
    EXPECT_FALSE(doc.FindElement("item"));
    EXPECT_EQ(doc.GetAttribute("id"), "title") << "a failed search keeps the position";
    ASSERT_TRUE(doc.OutOfElement());
    EXPECT_EQ(doc.GetTagName(), "font");
    ASSERT_TRUE(doc.FindElement("image"));
    ASSERT_TRUE(doc.OutOfElement());
    EXPECT_EQ(doc.GetTagName(), "theme");
    EXPECT_FALSE(doc.OutOfElement());
    EXPECT_EQ(doc.GetTagName(), "theme");
}

TEST(XmlDocument, NameMatchingAllowsSuffixesOnly) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument("<r><items/><item n='1'/><it/></r>"));
    ASSERT_TRUE(doc.FindElement("r"));
    ASSERT_TRUE(doc.IntoElement());
    ASSERT_TRUE(doc.FindElement("item"));
    EXPECT_EQ(doc.GetAttribute("n"), "1") << "\"item\" must not match <items>";
    for (const char* name : {"item[2]", "item=x", "item/sub", "item x", "item]"}) {
        doc.ResetMainPosition();
        ASSERT_TRUE(doc.FindElement(name)) << name;
        EXPECT_EQ(doc.GetTagName(), "item") << name;
    }
    doc.ResetMainPosition();
    ASSERT_TRUE(doc.FindElement("it=1"));
    EXPECT_EQ(doc.GetTagName(), "it");
    for (const char* name : {"i", "ite", "itemx", "item.x", "Item"}) {
        doc.ResetMainPosition();
        EXPECT_FALSE(doc.FindElement(name)) << name;
    }
    EXPECT_TRUE(doc.FindElement("")) << "an empty name takes any element";
    EXPECT_EQ(doc.GetTagName(), "items");
}

TEST(XmlDocument, IntoChildlessElementThenBack) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument("<a><b/><c>text</c></a>"));
    ASSERT_TRUE(doc.FindElement("a"));
    ASSERT_TRUE(doc.IntoElement());
    ASSERT_TRUE(doc.FindElement("c"));
    ASSERT_TRUE(doc.IntoElement());
    EXPECT_EQ(doc.GetTagName(), "");
    EXPECT_FALSE(doc.FindElement());
    ASSERT_TRUE(doc.OutOfElement());
    EXPECT_EQ(doc.GetTagName(), "c");
    // Leaving a level and coming back resumes behind the element we came from.
    ASSERT_TRUE(doc.OutOfElement());
    ASSERT_TRUE(doc.IntoElement());
    EXPECT_EQ(doc.GetTagName(), "c");
    EXPECT_FALSE(doc.FindElement());
}

TEST(XmlDocument, NoMainElementGivesEmptyValues) {
    CXmlDocument doc;
    EXPECT_FALSE(doc.FindElement());
    EXPECT_FALSE(doc.IntoElement());
    EXPECT_FALSE(doc.OutOfElement());
    EXPECT_FALSE(doc.IsWellFormed());
    EXPECT_EQ(doc.GetTagName(), "");
    EXPECT_EQ(doc.GetAttribute("id"), "");
    ASSERT_TRUE(doc.SetDocument("<a id='1'/>"));
    EXPECT_EQ(doc.GetTagName(), "");
    EXPECT_EQ(doc.GetAttribute("id"), "");
    EXPECT_FALSE(doc.IntoElement());
}

TEST(XmlDocument, AttributeSyntaxVariants) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument("<a one=\"1\" two = '2' three=3 flag idx=\"x\" id=\"y\" "
                                "gt=\"a>b\" q='say \"hi\"' one=\"dup\" last=end/>"));
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetAttribute("one"), "1") << "the first of duplicate attributes wins";
    EXPECT_EQ(doc.GetAttribute("two"), "2");
    EXPECT_EQ(doc.GetAttribute("three"), "3");
    EXPECT_EQ(doc.GetAttribute("flag"), "");
    EXPECT_EQ(doc.GetAttribute("id"), "y");
    EXPECT_EQ(doc.GetAttribute("gt"), "a>b");
    EXPECT_EQ(doc.GetAttribute("q"), "say \"hi\"");
    EXPECT_EQ(doc.GetAttribute("last"), "end");
    EXPECT_EQ(doc.GetAttribute("ONE"), "") << "attribute names keep their case";
    EXPECT_EQ(doc.GetAttribute("missing"), "");
    EXPECT_EQ(doc.GetAttribute("a"), "");
}

TEST(XmlDocument, EveryNodeKindIsSkipped) {
    const char* text = "<?xml version=\"1.0\"?>\r\n"
                       "<!DOCTYPE theme [\n"
                       "  <!ELEMENT theme (item)*>\n"
                       "  <!-- don't stop at '>' or ] here -->\n"
                       "  <!ATTLIST item id CDATA \"<fake1/>\">\n"
                       "]>\n"
                       "<!-- <fake2/> -->\n"
                       "<theme>\n"
                       "  text <b>bold</b> more text\t\n"
                       "  <![CDATA[ <fake3/> ]] ]]>\n"
                       "  <?pi attr=\"a>b\" ?>\n"
                       "  <item id='1'><!----><![CDATA[]]></item>\n"
                       "</theme>\n"
                       "<?trailer?>\n<!-- end -->  \n";
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(text)) << doc.GetResult();
    EXPECT_EQ(DumpTree(doc, {"id"}), "theme\n  b\n  item id=1\n");
    EXPECT_EQ(doc.GetResult(), "");
}

TEST(XmlDocument, TwoRootElements) {
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocument("<a/><b/>"));
    EXPECT_FALSE(doc.IsWellFormed());
    EXPECT_TRUE(ReportHas(doc, "<root_has_sibling tagname=\"b\" offset=\"4\"/>"))
        << doc.GetResult();
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetTagName(), "a");
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetTagName(), "b");
    EXPECT_FALSE(doc.FindElement());
}

TEST(XmlDocument, UnendedElementInsideClosedOne) {
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocument("<a><b x='1'><c/>t</a>"));
    EXPECT_EQ(doc.GetResult(), "<unended_start_tag tagname=\"b\" offset=\"3\"/>");
    // <b> keeps only its start tag; what it held follows it under <a>.
    EXPECT_EQ(DumpTree(doc, {"x"}), "a\n  b x=1\n  c\n");
    doc.ResetMainPosition();
    ASSERT_TRUE(doc.FindElement("a"));
    ASSERT_TRUE(doc.IntoElement());
    ASSERT_TRUE(doc.FindElement("b"));
    ASSERT_TRUE(doc.IntoElement());
    EXPECT_FALSE(doc.FindElement()) << "an unended element has no children";
}

TEST(XmlDocument, NestedUnendedElementsFlattenInOrder) {
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocument("<r><a><b><c><d/></r>"));
    EXPECT_EQ(DumpTree(doc, {}), "r\n  a\n  b\n  c\n  d\n");
    EXPECT_EQ(doc.GetResult(), "<unended_start_tag tagname=\"a\" offset=\"3\"/>"
                               "<unended_start_tag tagname=\"b\" offset=\"6\"/>"
                               "<unended_start_tag tagname=\"c\" offset=\"9\"/>");
}

TEST(XmlDocument, EndTagClosesInnermostOfItsName) {
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocument("<a><a><b></a><c/></a>"));
    EXPECT_EQ(DumpTree(doc, {}), "a\n  a\n    b\n  c\n");
}

TEST(XmlDocument, LoneEndTag) {
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocument("<a><b/></x><c/></a>"));
    EXPECT_EQ(doc.GetResult(), "<lone_end_tag tagname=\"x\" offset=\"7\" length=\"4\"/>");
    EXPECT_EQ(DumpTree(doc, {}), "a\n  b\n  c\n");
}

TEST(XmlDocument, ElementsOpenAtEndOfText) {
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocument("<a><b><c/>"));
    EXPECT_EQ(DumpTree(doc, {}), "a\nb\nc\n");
    EXPECT_TRUE(ReportHas(doc, "<unended_start_tag tagname=\"a\" offset=\"0\"/>"));
    EXPECT_TRUE(ReportHas(doc, "<unended_start_tag tagname=\"b\" offset=\"3\"/>"));
    EXPECT_TRUE(ReportHas(doc, "<root_has_sibling"));
}

TEST(XmlDocument, EmptyDocuments) {
    CXmlDocument doc;
    for (const char* text : {static_cast<const char*>(nullptr), "", "   \r\n", "just text",
                             "<!-- only a comment -->", "<?xml version='1.0'?>"}) {
        EXPECT_FALSE(doc.SetDocument(text)) << (text ? text : "(none)");
        EXPECT_TRUE(ReportHas(doc, "<no_root_element/>")) << doc.GetResult();
        EXPECT_FALSE(doc.FindElement());
        EXPECT_FALSE(doc.IsWellFormed());
    }
}

TEST(XmlDocument, SyntaxErrorsAreReportedAndSkipped) {
    struct Case {
        const char* text;
        const char* event;
        const char* walk;
    };
    const Case cases[] = {
        {"<a><!-- open", "<unterminated_tag_syntax type=\"comment\" offset=\"3\"", "a\n"},
        {"<a><![CDATA[x</a>", "<unterminated_tag_syntax type=\"cdata_section\"", "a\n"},
        {"<a><?pi </a>", "<unterminated_tag_syntax type=\"processing_instruction\"", "a\n"},
        {"<!DOCTYPE a [ <!ENTITY x 'y'> <a/>", "type=\"document_type\"", ""},
        {"<a><", "<unterminated_tag_syntax type=\"tag\" offset=\"3\" length=\"1\"", "a\n"},
        {"<a>< b/></a>", "<first_tag_syntax type=\"tag\" offset=\"3\"", "a\n"},
        {"<a>1 << 2</a>", "<first_tag_syntax", "a\n"},
        {"<a><!ELEMENT x><b/></a>", "<exclamation_tag_syntax type=\"tag\" offset=\"3\"",
         "a\n  b\n"},
        {"<a><![x[ ]]><b/></a>", "<cdata_section_syntax", "a\n  b\n"},
        {"<a><!-- a -- b --><b/></a>", "<comment_tag_syntax type=\"comment\"", "a\n  b\n"},
        {"<!DOCTYPEa><a/>", "<doctype_tag_syntax", "a\n"},
        {"<a x=\"1><b/></a>", "<unterminated_tag_syntax type=\"start_tag\" offset=\"0\"", "b\n"},
        {"<a><b</a>", "<unterminated_tag_syntax type=\"start_tag\" offset=\"3\"", "a\n"},
        {"<a></a", "<unterminated_tag_syntax type=\"end_tag\" offset=\"3\"", "a\n"},
        {"<a></b<c/></a>", "<unterminated_tag_syntax type=\"end_tag\"", "a\n  c\n"},
    };
    for (const Case& c : cases) {
        CXmlDocument doc;
        EXPECT_FALSE(doc.SetDocument(c.text)) << c.text;
        EXPECT_TRUE(ReportHas(doc, c.event)) << c.text << "\n" << doc.GetResult();
        EXPECT_EQ(DumpTree(doc, {}), c.walk) << c.text;
    }
}

TEST(XmlDocument, SettingAgainReplacesEverything) {
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocument("<a><b>"));
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.IntoElement());
    EXPECT_TRUE(doc.SetDocument("<c/>"));
    EXPECT_EQ(doc.GetResult(), "");
    EXPECT_EQ(doc.GetTagName(), "");
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetTagName(), "c");
    EXPECT_FALSE(doc.FindElement());
}

TEST(XmlDocument, AttributesFollowTheCurrentElementAndDocument) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument("<r><a x='1'/><b x='2' y='3'/></r>"));
    ASSERT_TRUE(doc.FindElement() && doc.IntoElement() && doc.FindElement());
    EXPECT_EQ(doc.GetAttribute("x"), "1");
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetAttribute("x"), "2");
    EXPECT_EQ(doc.GetAttribute("y"), "3");
    // The same element index in a new document.
    ASSERT_TRUE(doc.SetDocument("<r><a x='4'/></r>"));
    ASSERT_TRUE(doc.FindElement() && doc.IntoElement() && doc.FindElement());
    EXPECT_EQ(doc.GetAttribute("x"), "4");
}

} // namespace
