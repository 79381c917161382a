// Character references in attribute values and the encoding-name table, code page 936.
#include "XmlDocument.h"
#include "XmlEncodings.h"

#include <gtest/gtest.h>

#include <windows.h>

using Velmora::CXmlDocument;

namespace {

std::string ReadValue(const std::string& quotedValue) {
    CXmlDocument doc;
    const std::string text = "<a v=\"" + quotedValue + "\"/>";
    EXPECT_TRUE(doc.SetDocument(text.c_str())) << text;
    EXPECT_TRUE(doc.FindElement("a"));
    return doc.GetAttribute("v");
}

class XmlReferences : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(GetACP(), 936u) << "these cases assume code page 936"; }
};

TEST_F(XmlReferences, NumericAndXmlNames) {
    EXPECT_EQ(ReadValue("&lt;&#65;&#x42;&amp;"), "<AB&");
    EXPECT_EQ(ReadValue("x&quot;y&apos;z&gt;"), "x\"y'z>");
    EXPECT_EQ(ReadValue("&#X43;&#x4e2d;&#20013;"), "C中中");
    EXPECT_EQ(ReadValue("&#00000065;"), "A") << "nine characters are allowed";
    EXPECT_EQ(ReadValue("&&amp;&"), "&&&");
}

TEST_F(XmlReferences, LetterCaseOfPairedNames) {
    EXPECT_EQ(ReadValue("&alpha;&Alpha;&ALPHA;&aLpha;"), "αΑΑΑ");
    EXPECT_EQ(ReadValue("&eacute;"), "é");
    // The capital letter of the pair does not exist in code page 936.
    EXPECT_EQ(ReadValue("&Eacute;"), "&Eacute;");
    // Names without a pair ignore letter case.
    EXPECT_EQ(ReadValue("&AMP;&Lt;&QUOT;&Hellip;"), "&<\"…");
}

TEST_F(XmlReferences, NotDecodedStayAsWritten) {
    const char* const unchanged[] = {
        "&nbsp;",       // no no-break space in code page 936
        "&abcdefghij;", // ten letters
        "&#000000065;", // ten characters
        "&unknown;",    "&;",    "&#;",        "&#x;",       "&#12a;",   "&#xg1;",
        "&#0;",         "&#x0;", "&#x110000;", "&#1114112;", "&#xD800;", "&#x0E01;",
        "&#x1F600;",    "&amp",  "end&",       "&中;",       "&#65 ;",
    };
    for (const char* value : unchanged)
        EXPECT_EQ(ReadValue(value), value);
    EXPECT_EQ(ReadValue("a&b;c&lt;"), "a&b;c<");
}

TEST(XmlEncodingTable, NamesAndOddities) {
    using Velmora::LookupEncoding;
    EXPECT_EQ(LookupEncoding(""), 0);
    EXPECT_EQ(LookupEncoding(nullptr), 0);
    EXPECT_EQ(LookupEncoding("GBK"), 936);
    EXPECT_EQ(LookupEncoding("gb2312"), 936);
    EXPECT_EQ(LookupEncoding("UTF-8"), 65001);
    EXPECT_EQ(LookupEncoding("Utf8"), 65001);
    EXPECT_EQ(LookupEncoding("UTF-16"), 1200);
    EXPECT_EQ(LookupEncoding("utf-16be"), 1201);
    EXPECT_EQ(LookupEncoding("utf-32"), 12000);
    EXPECT_EQ(LookupEncoding("UTF-32"), 65005);
    EXPECT_EQ(LookupEncoding("UTF-32BE"), 65005);
    EXPECT_EQ(LookupEncoding("Big5"), 950);
    EXPECT_EQ(LookupEncoding("ISO-8859-1"), 28591);
    EXPECT_EQ(LookupEncoding("iso_8859-1:1987"), 28591);
    EXPECT_EQ(LookupEncoding("EXTENDED_UNIX_CODE_PACKED_FORMAT_FOR_JAPANESE"), 20932);
    EXPECT_EQ(LookupEncoding("_iso-2022-jp$sio"), 50222);
    EXPECT_EQ(LookupEncoding("pc-multilingual-850+euro"), 858);
    EXPECT_EQ(LookupEncoding("cp154"), 154);
    EXPECT_EQ(LookupEncoding("x-mac-croatian"), 10082);
    EXPECT_EQ(LookupEncoding("GB18030"), 54936);
    EXPECT_EQ(LookupEncoding("windows-1252"), 1252);
    // Kept as shipped.
    EXPECT_EQ(LookupEncoding("cp500"), 775);
    EXPECT_EQ(LookupEncoding("ebcdic-cp-ch"), 775);
    EXPECT_EQ(LookupEncoding("cp1256"), 1256);
    EXPECT_EQ(LookupEncoding("cp1256 "), 1256);
    EXPECT_EQ(LookupEncoding("shifft_jis"), 932);
    EXPECT_EQ(LookupEncoding("SHIFFT_JIS-MS"), 932);

    for (const char* unknown : {"x-klingon", "utf-9", "cp1256  ", " gbk", "gbk\xD6\xD0", "\xFF"})
        EXPECT_EQ(LookupEncoding(unknown), Velmora::kUnknownEncoding) << unknown;
    EXPECT_EQ(LookupEncoding(std::string(99, 'a').c_str()), Velmora::kUnknownEncoding);
    EXPECT_EQ(LookupEncoding(("UTF-32" + std::string(200, 'x')).c_str()), 65005);
}

} // namespace
