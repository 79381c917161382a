// Character references in attribute values and the encoding-name table, code page 936.
#include "XmlDocument.h"
#include "XmlEncodings.h"

#include <gtest/gtest.h>

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
    using Velmora::LookupEncoding;
    const std::pair<std::string, int> cases[] = {
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
        // Kept as shipped.
        {"cp500", 775},
        {"ebcdic-cp-ch", 775},
        {"cp1256", 1256},
        {"cp1256 ", 1256},
        {"shifft_jis", 932},
        {"SHIFFT_JIS-MS", 932},
        {"UTF-32" + std::string(200, 'x'), 65005},
        {"x-klingon", Velmora::kUnknownEncoding},
        {"utf-9", Velmora::kUnknownEncoding},
        {"cp1256  ", Velmora::kUnknownEncoding},
        {" gbk", Velmora::kUnknownEncoding},
        {"gbk\xD6\xD0", Velmora::kUnknownEncoding},
        {"\xFF", Velmora::kUnknownEncoding},
        {std::string(99, 'a'), Velmora::kUnknownEncoding}};
    EXPECT_EQ(LookupEncoding(nullptr), 0);
    for (const auto& c : cases)
        EXPECT_EQ(LookupEncoding(c.first.c_str()), c.second) << c.first.substr(0, 40);
}

} // namespace
