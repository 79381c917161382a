// Large, deep and damaged documents: the reader must index what it can and never crash,
// hang or read outside the text.
#include "XmlTestSupport.h"

using Velmora::CXmlDocument;
using XmlTest::CountElements;
using XmlTest::DumpTree;

namespace {

std::string Repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

TEST(XmlRobustness, DeepNesting) {
    const int depth = 20000;
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<n d='" + std::to_string(i) + "'>";
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument((text + "<leaf/>" + Repeat("</n>", depth)).c_str()));
    int reached = 0;
    while (doc.FindElement("n")) {
        ASSERT_EQ(doc.GetAttribute("d"), std::to_string(reached++));
        ASSERT_TRUE(doc.IntoElement());
    }
    EXPECT_EQ(reached, depth);
    EXPECT_TRUE(doc.FindElement("leaf"));
    int climbed = 0;
    while (doc.OutOfElement())
        ++climbed;
    EXPECT_EQ(climbed, depth);

    // Without end tags the same depth flattens into one level. Lone end tags under it would
    // cost depth x end tags if each searched all open elements.
    EXPECT_FALSE(doc.SetDocument((Repeat("<a>", 30000) + Repeat("</b>", 30000) + "<c/>").c_str()));
    EXPECT_EQ(CountElements(doc), 30001u);
    doc.ResetMainPosition();
    ASSERT_TRUE(doc.FindElement() && doc.IntoElement());
    EXPECT_FALSE(doc.FindElement());
}

TEST(XmlRobustness, MoreElementsThanOneBlock) {
    const int count = 150000;
    std::string text = "<list>";
    for (int i = 0; i < count; ++i)
        text += "<i n=\"" + std::to_string(i) + "\"><s/></i>";
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument((text + "</list>").c_str()));
    ASSERT_TRUE(doc.FindElement("list") && doc.IntoElement());
    int seen = 0;
    while (doc.FindElement("i")) {
        ASSERT_EQ(doc.GetAttribute("n"), std::to_string(seen++));
        ASSERT_TRUE(doc.IntoElement() && doc.FindElement("s") && doc.OutOfElement());
    }
    EXPECT_EQ(seen, count);
    ASSERT_TRUE(doc.OutOfElement());
    doc.ResetMainPosition();
    EXPECT_EQ(CountElements(doc), 1u + 2u * count);
}

// A cut document keeps every element whose start tag is whole; an element cut
// before its end tag keeps only its start tag.
TEST(XmlRobustness, EveryPrefixOfADocument) {
    const std::string text = "<?xml version='1.0'?><!DOCTYPE t [<!ENTITY e 'x'>]><t a='1&amp;'>"
                             "<!-- c --><![CDATA[d]]><?p q?><u b=\"&#x41;\"/>x&lt;</t>";
    const size_t tEnds = text.find("<!--"), uEnds = text.find("x&lt;");
    CXmlDocument doc;
    for (size_t length = 0; length <= text.size(); ++length) {
        const std::string prefix = text.substr(0, length);
        EXPECT_EQ(doc.SetDocument(prefix.c_str()), length == text.size()) << prefix;
        const char* walk = length < tEnds         ? ""
                           : length < uEnds       ? "t a=1&\n"
                           : length < text.size() ? "t a=1&\nu b=A\n"
                                                  : "t a=1&\n  u b=A\n";
        EXPECT_EQ(DumpTree(doc, {"a", "b"}), walk) << prefix;
    }
}

} // namespace
