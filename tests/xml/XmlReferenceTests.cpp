// Character references in attribute values and the encoding-name table, code page 936.
#include "XmlEncodings.h"
#include "XmlTestSupport.h"

#include <string>
#include <utility>

namespace {

TEST(XmlReferences, DecodedOrKeptAsWritten) {
    ASSERT_EQ(GetACP(), 936u) << "these cases assume code page 936";
    auto read = [](const std::string& text) {
        Velmora::CXmlDocument doc;
        EXPECT_TRUE(doc.SetDocument(text.c_str())) << text;
        EXPECT_TRUE(doc.FindElement("a")) << text;
        return doc.GetAttribute("v");
    };
    // Whole references, against the committed dump of what the reader decodes.
    Velmora::CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(XmlTest::ReadSourceFixture("references.xml").c_str()))
        << doc.GetResult();
    EXPECT_EQ(XmlTest::DumpTree(doc, {"v"}), XmlTest::ReadSourceFixture("references.txt"));
    // Cut references are kept as written, quoted or not.
    for (const char* value : {"&", "&#", "&#x", "&#x1", "&amp", "&#65", "&alpha"}) {
        EXPECT_EQ(read(std::string("<a v=\"") + value + "\"/>"), value);
        // Unquoted, a cut reference runs to the very end of the tag.
        EXPECT_EQ(read(std::string("<a v=") + value + "></a>"), value);
    }
}

TEST(XmlEncodingTable, NamesAndOddities) {
    const int unknown = Velmora::kUnknownEncoding;
    // The odd entries from "cp500" to "SHIFFT_JIS-MS" are kept as shipped.
    const std::pair<std::string, int> names[] = {
        {"", 0},
        {"GBK", 936},
        {"gb2312", 936},
        {"UTF-8", 65001},
        {"Utf8", 65001},
        {"UTF-16", 1200},
        {"utf-16be", 1201},
        {"utf-32", 12000},
        {"UTF-32", 65005},
        {"UTF-32BE", 65005},
        {"Big5", 950},
        {"ISO-8859-1", 28591},
        {"iso_8859-1:1987", 28591},
        {"EXTENDED_UNIX_CODE_PACKED_FORMAT_FOR_JAPANESE", 20932},
        {"_iso-2022-jp$sio", 50222},
        {"pc-multilingual-850+euro", 858},
        {"cp154", 154},
        {"x-mac-croatian", 10082},
        {"GB18030", 54936},
        {"windows-1252", 1252},
        {"cp500", 775},
        {"ebcdic-cp-ch", 775},
        {"cp1256", 1256},
        {"cp1256 ", 1256},
        {"shifft_jis", 932},
        {"SHIFFT_JIS-MS", 932},
        {"UTF-32" + std::string(200, 'x'), 65005},
        {"x-klingon", unknown},
        {"utf-9", unknown},
        {"cp1256  ", unknown},
        {" gbk", unknown},
        {"gbk\xD6\xD0", unknown},
        {"\xFF", unknown},
        {std::string(99, 'a'), unknown}};
    for (const auto& [name, code] : names)
        EXPECT_EQ(Velmora::LookupEncoding(name.c_str()), code) << name;
    EXPECT_EQ(Velmora::LookupEncoding(nullptr), 0);
}

} // namespace
