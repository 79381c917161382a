// Large, deep and damaged documents: the reader must index what it can and never crash,
// hang or read outside the text.
#include "XmlTestSupport.h"

#include <random>

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

// Applies one random edit biased towards the characters and pieces that steer the scanner.
void Mutate(std::string& text, std::mt19937& random) {
    static const char* const kPieces[] = {
        "<",  ">",  "/",  "!",  "?",   "-",    "[",    "]",     "\"",        "'",        "=",
        "&",  ";",  "#",  " ",  "\n",  "\x80", "\xFF", "x",     "0",         "<!--",     "-->",
        "<?", "?>", "</", "/>", "&#x", "<a>",  "]]>",  "&amp;", "<![CDATA[", "<!DOCTYPE"};
    auto pick = [&random](size_t bound) { return static_cast<size_t>(random() % bound); };
    const size_t size = text.size();
    switch (size ? pick(4) : 0) {
    case 0:
        text.insert(pick(size + 1), kPieces[pick(sizeof kPieces / sizeof *kPieces)]);
        break;
    case 1:
        text.erase(pick(size), 1 + pick(8));
        break;
    case 2:
        text.insert(pick(size + 1), text.substr(pick(size), 1 + pick(40)));
        break;
    default:
        text.resize(pick(size));
    }
}

TEST(XmlRobustness, RandomMutationsNeitherCrashNorHang) {
    const std::string seeds[] = {
        "<?xml version=\"1.0\" encoding=\"GBK\"?>\n<theme><font><item id=\"a\" size=\"12\"/>"
        "</font><window><item id=\"dialog.main\" rect='0,0,10,10'><text id=\"t\" "
        "text=\"&lt;x&gt;&#20013;&eacute;\"/><image id=\"i\"/></item></window></theme>",
        "<!DOCTYPE r [<!ELEMENT r ANY><!-- c -->]><r><!-- x --><![CDATA[<y/>]]><?pi a='b'?>"
        "<s a=\"1\">t<u/></s></r>",
        "<a><b><c></b></a><d/></x>&amp;<e f='&#x41;&#66;&nbsp;'/>",
        // Read from a file, through the byte-order mark and conversion.
        "\xEF\xBB\xBF<?xml version='1.0' encoding='utf-8'?><r t='\xE4\xB8\xAD'><c "
        "a='&#x4E2D;'/></r>",
    };
    std::mt19937 random(20261206);
    for (const std::string& seed : seeds) {
        const bool file = &seed == &seeds[3];
        std::string text = seed;
        for (int round = 0; round < (file ? 300 : 4000); ++round) {
            if (round % 50 == 0)
                text = seed;
            Mutate(text, random);
            CXmlDocument doc;
            if (file) {
                doc.LoadFile(XmlTest::WriteFixture("mutated.xml", text).c_str());
                EXPECT_FALSE(doc.GetResult().empty());
            } else {
                doc.SetDocument(text.c_str());
            }
            // Every walk ends: no element is reached twice, so at most one per "<".
            ASSERT_LE(CountElements(doc, text.size() + 1), text.size()) << text;
            doc.ResetMainPosition();
            DumpTree(doc, {"id", "a", "f", "text", "t"}, text.size());
            doc.IsWellFormed();
        }
    }
}

} // namespace
