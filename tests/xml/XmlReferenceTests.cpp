// Character references in attribute values and the encoding-name table, code page 936.
#include "XmlDocument.h"
#include "XmlEncodings.h"

#include <gtest/gtest.h>

#include <vector>

#include <windows.h>

namespace {

TEST(XmlReferences, DecodedOrKeptAsWritten) {
    ASSERT_EQ(GetACP(), 936u) << "these cases assume code page 936";
    const std::pair<const char*, const char*> cases[] = {
        {"&lt;&#65;&#x42;&amp;", "<AB&"},
        {"x&quot;y&apos;z&gt;", "x\"y'z>"},
        {"&#X43;&#x4e2d;&#20013;", "C中中"},
        {"&#00000065;", "A"}, // nine characters are allowed
        {"&&amp;&", "&&&"},
        {"&alpha;&Alpha;&ALPHA;&aLpha;", "αΑΑΑ"},
        {"&eacute;", "é"},
        {"&Eacute;", "&Eacute;"},             // the capital of the pair is not in code page 936
        {"&AMP;&Lt;&QUOT;&Hellip;", "&<\"…"}, // names without a pair ignore letter case
        {"a&b;c&lt;", "a&b;c<"},
    };
    const char* const unchanged[] = {
        "&nbsp;",       // no no-break space in code page 936
        "&abcdefghij;", // ten letters
        "&#000000065;", // ten characters
        "&unknown;",    "&;",    "&#;",        "&#x;",       "&#12a;",   "&#xg1;",
        "&#0;",         "&#x0;", "&#x110000;", "&#1114112;", "&#xD800;", "&#x0E01;",
        "&#x1F600;",    "&amp",  "end&",       "&中;",       "&#65 ;"};
    const char* const cut[] = {"&", "&#", "&#x", "&#x1", "&amp", "&#65", "&alpha"};
    auto read = [](const std::string& text) {
        Velmora::CXmlDocument doc;
        EXPECT_TRUE(doc.SetDocument(text.c_str())) << text;
        EXPECT_TRUE(doc.FindElement("a")) << text;
        return doc.GetAttribute("v");
    };
    for (const auto& c : cases)
        EXPECT_EQ(read(std::string("<a v=\"") + c.first + "\"/>"), c.second) << c.first;
    for (const char* value : unchanged)
        EXPECT_EQ(read(std::string("<a v=\"") + value + "\"/>"), value);
    for (const char* value : cut) {
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
