// Parsing, tree walk and attribute reading of CXmlDocument on documents held in memory.
#include "XmlTestSupport.h"

using Velmora::CXmlDocument;
using XmlTest::DumpTree;
using XmlTest::ReadSourceFixture;
using XmlTest::ReportHas;

namespace {

// A skin document with every kind of node, in GBK as skins are written, against
// the committed dump of the elements and attributes the reader finds in it.
TEST(XmlDocument, SkinDocumentWalksCompletely) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(ReadSourceFixture("every-node.xml").c_str())) << doc.GetResult();
    EXPECT_EQ(DumpTree(doc, {"id", "file", "family", "size", "transparentcolor", "type", "rect",
                             "caption", "font", "text", "color"}),
              ReadSourceFixture("every-node.txt"));
    EXPECT_EQ(doc.GetResult(), "");

    // The loaders look for each section from the first child, whatever the order.
    doc.ResetMainPosition();
    ASSERT_TRUE(doc.FindElement("theme") && doc.IntoElement() && doc.FindElement("window"));
    doc.ResetMainPosition();
    ASSERT_TRUE(doc.FindElement("font") && doc.IntoElement() && doc.FindElement("item"));
    EXPECT_FALSE(doc.FindElement("item"));
    EXPECT_EQ(doc.GetAttribute("id"), "title") << "a failed search keeps the position";
    ASSERT_TRUE(doc.OutOfElement());
    EXPECT_EQ(doc.GetTagName(), "font");
    ASSERT_TRUE(doc.FindElement("image") && doc.OutOfElement());
    EXPECT_EQ(doc.GetTagName(), "theme");
    EXPECT_FALSE(doc.OutOfElement());
    EXPECT_EQ(doc.GetTagName(), "theme");
}

TEST(XmlDocument, NameMatchingAllowsSuffixesOnly) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument("<r><items/><item n='1'/><it/></r>"));
    ASSERT_TRUE(doc.FindElement("r") && doc.IntoElement() && doc.FindElement("item"));
    EXPECT_EQ(doc.GetAttribute("n"), "1") << "\"item\" must not match <items>";
    const struct {
        const char* name;
        const char* tag;
    } cases[] = {{"item[2]", "item"}, {"item=x", "item"}, {"item/sub", "item"}, {"item x", "item"},
                 {"item]", "item"},   {"it=1", "it"},     {"", "items"},        {"i", nullptr},
                 {"ite", nullptr},    {"itemx", nullptr}, {"item.x", nullptr},  {"Item", nullptr}};
    for (const auto& c : cases) {
        doc.ResetMainPosition();
        EXPECT_EQ(doc.FindElement(c.name), c.tag != nullptr) << c.name;
        EXPECT_EQ(doc.GetTagName(), c.tag ? c.tag : "") << c.name;
    }
}

TEST(XmlDocument, PositionsWithAndWithoutElements) {
    CXmlDocument doc;
    EXPECT_FALSE(doc.FindElement() || doc.IntoElement() || doc.OutOfElement());
    EXPECT_FALSE(doc.IsWellFormed());
    EXPECT_EQ(doc.GetAttribute("id"), "");

    ASSERT_TRUE(doc.SetDocument("<a><b x='1'/><c>text</c></a>"));
    EXPECT_EQ(doc.GetTagName(), "") << "no main element before the first search";
    EXPECT_EQ(doc.GetAttribute("x"), "");
    EXPECT_FALSE(doc.IntoElement());
    ASSERT_TRUE(doc.FindElement("a") && doc.IntoElement() && doc.FindElement());
    EXPECT_EQ(doc.GetAttribute("x"), "1");
    ASSERT_TRUE(doc.FindElement("c") && doc.IntoElement());
    EXPECT_EQ(doc.GetTagName(), "");
    EXPECT_FALSE(doc.FindElement());
    ASSERT_TRUE(doc.OutOfElement());
    EXPECT_EQ(doc.GetTagName(), "c");
    // Leaving a level and coming back resumes behind the element we came from.
    ASSERT_TRUE(doc.OutOfElement() && doc.IntoElement());
    EXPECT_EQ(doc.GetTagName(), "c");
    EXPECT_FALSE(doc.FindElement());

    // A new document replaces positions, report and attributes of the same element index.
    EXPECT_FALSE(doc.SetDocument("<a><b>"));
    ASSERT_TRUE(doc.SetDocument("<r><a x='4'/></r>"));
    EXPECT_EQ(doc.GetResult(), "");
    EXPECT_EQ(doc.GetTagName(), "");
    ASSERT_TRUE(doc.FindElement() && doc.IntoElement() && doc.FindElement());
    EXPECT_EQ(doc.GetAttribute("x"), "4");
    EXPECT_FALSE(doc.FindElement());
}

TEST(XmlDocument, AttributeSyntaxVariants) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument("<a one=\"1\" two = '2' three=3 flag idx=\"x\" id=\"y\" "
                                "gt=\"a>b\" q='say \"hi\"' one=\"dup\" last=end/>"));
    ASSERT_TRUE(doc.FindElement());
    const std::pair<const char*, const char*> cases[] = {
        {"one", "1"}, // the first of duplicate attributes wins
        {"two", "2"},        {"three", "3"},  {"flag", ""}, {"id", "y"}, {"gt", "a>b"},
        {"q", "say \"hi\""}, {"last", "end"}, {"ONE", ""}, // names keep their case
        {"missing", ""},     {"a", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(doc.GetAttribute(c.first), c.second) << c.first;
}

TEST(XmlDocument, MalformedDocumentsAreReportedAndIndexedAsFarAsPossible) {
    const struct {
        const char* text;
        const char* event;
        const char* walk;
    } cases[] = {
        {"<a/><b/>", "<root_has_sibling tagname=\"b\" offset=\"4\"/>", "a\nb\n"},
        // An unended element keeps only its start tag; what it held follows it.
        {"<a><b x='1'><c/>t</a>", "<unended_start_tag tagname=\"b\" offset=\"3\"/>",
         "a\n  b x=1\n  c\n"},
        {"<r><a><b><c><d/></r>",
         "<unended_start_tag tagname=\"a\" offset=\"3\"/>"
         "<unended_start_tag tagname=\"b\" offset=\"6\"/>"
         "<unended_start_tag tagname=\"c\" offset=\"9\"/>",
         "r\n  a\n  b\n  c\n  d\n"},
        {"<a><a><b></a><c/></a>", "<unended_start_tag tagname=\"b\"", "a\n  a\n    b\n  c\n"},
        {"<a><b/></x><c/></a>", "<lone_end_tag tagname=\"x\" offset=\"7\" length=\"4\"/>",
         "a\n  b\n  c\n"},
        {"<a><b><c/>", "<unended_start_tag tagname=\"a\" offset=\"0\"/>", "a\nb\nc\n"},
        {"<a><b><c/>", "<unended_start_tag tagname=\"b\" offset=\"3\"/>", "a\nb\nc\n"},
        {"<a><b><c/>", "<root_has_sibling", "a\nb\nc\n"},
        {nullptr, "<no_root_element/>", ""},
        {"", "<no_root_element/>", ""},
        {"   \r\n", "<no_root_element/>", ""},
        {"just text", "<no_root_element/>", ""},
        {"<!-- only a comment -->", "<no_root_element/>", ""},
        {"<?xml version='1.0'?>", "<no_root_element/>", ""},
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
    for (const auto& c : cases) {
        const char* shown = c.text ? c.text : "(none)";
        CXmlDocument doc;
        EXPECT_FALSE(doc.SetDocument(c.text)) << shown;
        EXPECT_FALSE(doc.IsWellFormed()) << shown;
        EXPECT_TRUE(ReportHas(doc, c.event)) << shown << "\n" << doc.GetResult();
        EXPECT_EQ(DumpTree(doc, {"x"}), c.walk) << shown;
    }
}

} // namespace
