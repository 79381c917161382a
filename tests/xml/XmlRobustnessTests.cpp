// Large, deep and damaged documents: the reader must index what it can and never crash,
// hang or read outside the text.
#include "XmlTestSupport.h"

#include <gtest/gtest.h>

#include <random>

using Velmora::CXmlDocument;
using XmlTest::CountElements;
using XmlTest::DumpTree;

namespace {

TEST(XmlRobustness, DeepNesting) {
    const int depth = 20000;
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<n d='" + std::to_string(i) + "'>";
    text += "<leaf/>";
    for (int i = 0; i < depth; ++i)
        text += "</n>";

    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(text.c_str())) << doc.GetResult().substr(0, 200);
    int reached = 0;
    while (doc.FindElement("n")) {
        ASSERT_EQ(doc.GetAttribute("d"), std::to_string(reached));
        ASSERT_TRUE(doc.IntoElement());
        ++reached;
    }
    EXPECT_EQ(reached, depth);
    EXPECT_TRUE(doc.FindElement("leaf"));
    int climbed = 0;
    while (doc.OutOfElement())
        ++climbed;
    EXPECT_EQ(climbed, depth);

    // The same depth without any end tag flattens into one level.
    std::string open;
    for (int i = 0; i < depth; ++i)
        open += "<n>";
    EXPECT_FALSE(doc.SetDocument(open.c_str()));
    EXPECT_EQ(CountElements(doc), static_cast<size_t>(depth));
    doc.ResetMainPosition();
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.IntoElement());
    EXPECT_FALSE(doc.FindElement());
}

TEST(XmlRobustness, ManyLoneEndTagsUnderDeepNesting) {
    // Would cost depth x end tags if every lone end tag searched all open elements.
    std::string text;
    for (int i = 0; i < 30000; ++i)
        text += "<a>";
    for (int i = 0; i < 30000; ++i)
        text += "</b>";
    text += "<c/>";
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocument(text.c_str()));
    EXPECT_EQ(CountElements(doc), 30001u);
}

TEST(XmlRobustness, MoreElementsThanOneBlock) {
    const int count = 150000;
    std::string text = "<list>";
    for (int i = 0; i < count; ++i)
        text += "<i n=\"" + std::to_string(i) + "\"><s/></i>";
    text += "</list>";

    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(text.c_str()));
    ASSERT_TRUE(doc.FindElement("list"));
    ASSERT_TRUE(doc.IntoElement());
    int seen = 0;
    while (doc.FindElement("i")) {
        ASSERT_EQ(doc.GetAttribute("n"), std::to_string(seen));
        ASSERT_TRUE(doc.IntoElement());
        ASSERT_TRUE(doc.FindElement("s"));
        ASSERT_TRUE(doc.OutOfElement());
        ++seen;
    }
    EXPECT_EQ(seen, count);
    ASSERT_TRUE(doc.OutOfElement());
    EXPECT_EQ(doc.GetTagName(), "list");
    doc.ResetMainPosition();
    EXPECT_EQ(CountElements(doc), 1u + 2u * count);
}

TEST(XmlRobustness, EveryPrefixOfADocument) {
    const std::string text = "<?xml version='1.0'?><!DOCTYPE t [<!ENTITY e 'x'>]><t a='1&amp;'>"
                             "<!-- c --><![CDATA[d]]><?p q?><u b=\"&#x41;\"/>x&lt;</t>";
    CXmlDocument doc;
    for (size_t length = 0; length <= text.size(); ++length) {
        const std::string prefix = text.substr(0, length);
        EXPECT_EQ(doc.SetDocument(prefix.c_str()), length == text.size()) << prefix;
        DumpTree(doc, {"a", "b"});
    }
}

TEST(XmlRobustness, ReferenceAtEveryCut) {
    CXmlDocument doc;
    for (const char* value : {"&", "&#", "&#x", "&#x1", "&amp", "&#65", "&alpha"}) {
        const std::string text = std::string("<a v=\"") + value + "\"/>";
        ASSERT_TRUE(doc.SetDocument(text.c_str()));
        ASSERT_TRUE(doc.FindElement());
        EXPECT_EQ(doc.GetAttribute("v"), value);
        // The unquoted attribute runs to the very end of the tag.
        const std::string open = std::string("<a v=") + value + "></a>";
        ASSERT_TRUE(doc.SetDocument(open.c_str()));
        ASSERT_TRUE(doc.FindElement());
        EXPECT_EQ(doc.GetAttribute("v"), value);
    }
}

// Applies one random edit biased towards the characters that steer the scanner.
void Mutate(std::string& text, std::mt19937& random) {
    static const char kSyntax[] = "<>/!?-[]\"'=&;# \n\x80\xFFxX0";
    auto pick = [&random](size_t bound) {
        return static_cast<size_t>(random() % static_cast<unsigned>(bound));
    };
    const size_t size = text.size();
    switch (pick(6)) {
    case 0:
        if (size)
            text[pick(size)] = kSyntax[pick(sizeof kSyntax - 1)];
        break;
    case 1:
        text.insert(size ? pick(size + 1) : 0, 1, kSyntax[pick(sizeof kSyntax - 1)]);
        break;
    case 2:
        if (size)
            text.erase(pick(size), 1 + pick(8));
        break;
    case 3:
        if (size) {
            const size_t from = pick(size);
            text.insert(pick(size + 1), text.substr(from, 1 + pick(40)));
        }
        break;
    case 4:
        if (size)
            text.resize(pick(size));
        break;
    default: {
        static const char* const kPieces[] = {"<!--", "-->", "<![CDATA[", "]]>",
                                              "<?",   "?>",  "<!DOCTYPE", "</",
                                              "/>",   "&#x", "&amp;",     "<a>"};
        text.insert(size ? pick(size + 1) : 0, kPieces[pick(12)]);
    }
    }
    // Embedded zero bytes would only shorten the C string SetDocument copies.
    for (char& c : text)
        if (c == '\0')
            c = ' ';
}

TEST(XmlRobustness, RandomMutationsNeitherCrashNorHang) {
    const std::string seeds[] = {
        "<?xml version=\"1.0\" encoding=\"GBK\"?>\n<theme><font><item id=\"a\" size=\"12\"/>"
        "</font><window><item id=\"dialog.main\" rect='0,0,10,10'><text id=\"t\" "
        "text=\"&lt;x&gt;&#20013;&eacute;\"/><image id=\"i\"/></item></window></theme>",
        "<!DOCTYPE r [<!ELEMENT r ANY><!-- c -->]><r><!-- x --><![CDATA[<y/>]]><?pi a='b'?>"
        "<s a=\"1\">t<u/></s></r>",
        "<a><b><c></b></a><d/></x>&amp;<e f='&#x41;&#66;&nbsp;'/>",
    };
    std::mt19937 random(20261206);
    size_t parsed = 0;
    for (const std::string& seed : seeds) {
        std::string text = seed;
        for (int round = 0; round < 4000; ++round) {
            if (round % 50 == 0)
                text = seed;
            Mutate(text, random);
            CXmlDocument doc;
            doc.SetDocument(text.c_str());
            // Every walk ends: no element is reached twice, so at most one per "<".
            const size_t elements = CountElements(doc, text.size());
            ASSERT_LE(elements, text.size()) << text;
            doc.ResetMainPosition();
            DumpTree(doc, {"id", "a", "f", "text", "v"}, text.size());
            doc.IsWellFormed();
            ++parsed;
        }
    }
    EXPECT_EQ(parsed, 12000u);
}

TEST(XmlRobustness, RandomMutationsOfFiles) {
    const std::string seed = "\xEF\xBB\xBF<?xml version='1.0' encoding='utf-8'?><r t='\xE4\xB8\xAD"
                             "'><c a='&#x4E2D;'/></r>";
    std::mt19937 random(7);
    std::string text = seed;
    for (int round = 0; round < 300; ++round) {
        if (round % 30 == 0)
            text = seed;
        Mutate(text, random);
        CXmlDocument doc;
        const std::string path = XmlTest::WriteFixture("mutated.xml", text);
        doc.LoadFile(path.c_str());
        EXPECT_FALSE(doc.GetResult().empty());
        CountElements(doc, text.size());
    }
}

} // namespace
