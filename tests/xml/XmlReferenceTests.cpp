// Character references in attribute values and the encoding-name table, code page 936.
#include "XmlEncodings.h"
#include "XmlTestSupport.h"

#include <vector>

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
    ASSERT_TRUE(doc.SetDocument(XmlTest::ReadSourceFixture("references.xml").c_str())) << doc.GetResult();
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
    const std::vector<std::string> names = {"",
                                            "GBK",
                                            "gb2312",
                                            "UTF-8",
                                            "Utf8",
                                            "UTF-16",
                                            "utf-16be",
                                            "utf-32",
                                            "UTF-32",
                                            "UTF-32BE",
                                            "Big5",
                                            "ISO-8859-1",
                                            "iso_8859-1:1987",
                                            "EXTENDED_UNIX_CODE_PACKED_FORMAT_FOR_JAPANESE",
                                            "_iso-2022-jp$sio",
                                            "pc-multilingual-850+euro",
                                            "cp154",
                                            "x-mac-croatian",
                                            "GB18030",
                                            "windows-1252",
                                            "cp500",
                                            "ebcdic-cp-ch",
                                            "cp1256",
                                            "cp1256 ",
                                            "shifft_jis",
                                            "SHIFFT_JIS-MS",
                                            "UTF-32" + std::string(200, 'x'),
                                            "x-klingon",
                                            "utf-9",
                                            "cp1256  ",
                                            " gbk",
                                            "gbk\xD6\xD0",
                                            "\xFF",
                                            std::string(99, 'a')};
    std::vector<int> codes;
    for (const std::string& name : names)
        codes.push_back(Velmora::LookupEncoding(name.c_str()));
    EXPECT_EQ(codes, (std::vector<int>{0,       936,     936,     65001,   65001,   1200,   1201,
                                       12000,   65005,   65005,   950,     28591,   28591,  20932,
                                       50222,   858,     154,     10082,   54936,   1252,   775,
                                       775,     1256,    1256,    932,     932,     65005,  unknown,
                                       unknown, unknown, unknown, unknown, unknown, unknown}));
    EXPECT_EQ(Velmora::LookupEncoding(nullptr), 0);
}

} // namespace
