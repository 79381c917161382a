// LoadFile: byte-order marks, declared encodings and conversion to code page 936.
#include "XmlTestSupport.h"

using Velmora::CXmlDocument;
using XmlTest::ReportHas;
using XmlTest::WriteFixture;

namespace {

// "中文" and "升级" in UTF-8 and in code page 936.
const std::string kUtf8Chinese = "\xE4\xB8\xAD\xE6\x96\x87";
const std::string kGbkChinese = "\xD6\xD0\xCE\xC4";
const std::string kUtf8Upgrade = "\xE5\x8D\x87\xE7\xBA\xA7";
const std::string kGbkUpgrade = "升级";

std::string ToUtf16(const std::string& utf8, bool bigEndian) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(
        CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], int(wide.size()))));
    std::string bytes;
    for (wchar_t unit : wide) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// Loads bytes from a file and returns the "t" attribute of the root element.
std::string LoadAndRead(const std::string& name, const std::string& bytes, CXmlDocument& doc) {
    EXPECT_TRUE(doc.LoadFile(WriteFixture(name, bytes).c_str())) << name << "\n" << doc.GetResult();
    return doc.FindElement() ? doc.GetAttribute("t") : "(no element)";
}

TEST(XmlLoadFile, EncodingsAreDetectedAndConvertedTo936) {
    ASSERT_EQ(GetACP(), 936u) << "these cases assume code page 936";
    const std::string utf16 = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<r t=\"" +
                              kUtf8Chinese + "&#x5347;\"><c/></r>";
    const std::string utf8Body = "<r t=\"" + kUtf8Upgrade + kUtf8Chinese + "\"/>";
    const std::string le = ToUtf16(utf16, false), be = ToUtf16(utf16, true);
    // Each report fragment is listed as "+fragment" when it must appear, "-fragment" when not.
    const auto check = [](const char* name, const std::string& bytes, const std::string& value,
                          std::vector<std::string> events) {
        CXmlDocument doc;
        EXPECT_EQ(LoadAndRead(name, bytes, doc), value) << name;
        for (const std::string& event : events)
            EXPECT_EQ(ReportHas(doc, event.substr(1)), event[0] == '+')
                << name << " " << event << "\n"
                << doc.GetResult();
    };
    const std::string chinese = kGbkChinese + "\xC9\xFD";
    const std::string cp936 = "+<converted_to encoding=\"cp936\"";
    check("le_bom.xml", "\xFF\xFE" + le, chinese,
          {"+<bom ", "-<endian_swap", cp936,
           "+<read encoding=\"UTF-16LE\" length=\"" + std::to_string(le.size() + 2) + "\"/>"});
    check("le.xml", le, chinese,
          {"-<bom ", "-<endian_swap", cp936,
           "+<read encoding=\"UTF-16LE\" length=\"" + std::to_string(le.size()) + "\"/>"});
    check("be_bom.xml", "\xFE\xFF" + be, chinese,
          {"+<bom ", "+<endian_swap", cp936, "+<read encoding=\"UTF-16BE\""});
    check("be.xml", be, chinese,
          {"-<bom ", "+<endian_swap", cp936, "+<read encoding=\"UTF-16BE\""});
    check("odd16.xml", "\xFF\xFE" + ToUtf16("<r t='x'/>", false) + "\x41", "x",
          {"+<truncation_error encoding=\"UTF-16LE\""});
    check("gbk.xml", "<?xml version=\"1.0\" encoding=\"GBK\"?>\n<r t=\"" + kGbkUpgrade + "\"/>",
          kGbkUpgrade, {"+<read encoding=\"GBK\"", "-<converted_to"});
    check("utf8_decl.xml", "<?xml version='1.0' encoding='utf-8' ?>" + utf8Body,
          kGbkUpgrade + kGbkChinese, {cp936, "+<read encoding=\"utf-8\""});
    check("utf8_bom.xml", "\xEF\xBB\xBF" + utf8Body, kGbkUpgrade + kGbkChinese,
          {cp936, "+<read encoding=\"UTF-8\""});
    check("utf8_assumed.xml", utf8Body, kGbkUpgrade + kGbkChinese,
          {cp936, "+<read encoding=\"UTF-8\""});
    check("klingon.xml",
          "<?xml version=\"1.0\" encoding=\"x-klingon\"?><r t=\"" + kUtf8Chinese + "\"/>",
          kUtf8Chinese, {"+<read encoding=\"x-klingon\"", "-<converted_to"});
    // "é" in Latin-1 is E9; code page 936 has it as A8 A6.
    check("latin1.xml", "<?xml version='1.0' encoding='ISO-8859-1'?><r t='\xE9'/>", "\xA8\xA6",
          {"+<converted_to", "-<conversion_loss"});
    // Thai has no place in code page 936.
    check("thai.xml", "<r t='a\xE0\xB8\x81'/>", "a?", {"+<conversion_loss encoding=\"UTF-8\"/>"});
    // Not UTF-8 although nothing declares otherwise: kept as code page text.
    check("gbk_plain.xml", "<r t=\"" + kGbkUpgrade + "\"/>", kGbkUpgrade,
          {"+<utf8_detection", "-<converted_to"});
    check("cut.xml", "<r t='" + kUtf8Chinese + "'/>\xE4\xB8", kGbkChinese,
          {"+<truncation_error encoding=\"UTF-8\""});
    // A byte-only text cannot be in UTF-16 whatever it declares.
    check("liar.xml", "<?xml version='1.0' encoding='UTF-16'?><r t='" + kUtf8Chinese + "'/>",
          kGbkChinese, {});
    CXmlDocument doc;
    LoadAndRead("be.xml", "\xFE\xFF" + be, doc);
    EXPECT_TRUE(doc.IntoElement() && doc.FindElement("c"));
}

TEST(XmlLoadFile, HtmlMetaCharset) {
    const std::string head = "<!DOCTYPE html>\n<html><head><title>x</title>"
                             "<meta name=\"x\" content=\"charset=big5\">"
                             "<meta http-equiv=\"content-type\" content=\"text/html; charset=";
    for (const auto& c : {std::make_pair("UTF-8", kUtf8Chinese), {"gb2312", kGbkChinese}}) {
        CXmlDocument doc;
        ASSERT_FALSE(
            doc.LoadFile(WriteFixture("meta.html", head + c.first + "\"></head><body t=\"" +
                                                       c.second + "\"></body></html>")
                             .c_str()));
        ASSERT_TRUE(doc.FindElement("html") && doc.IntoElement() && doc.FindElement("body"));
        EXPECT_EQ(doc.GetAttribute("t"), kGbkChinese) << c.first;
        EXPECT_EQ(ReportHas(doc, "<converted_to"), c.second == kUtf8Chinese) << doc.GetResult();
    }
}

TEST(XmlLoadFile, UnreadableAndDegenerateFiles) {
    CXmlDocument doc;
    EXPECT_FALSE(doc.LoadFile("Z:\\nonexistent\\folder\\skin.xml"));
    EXPECT_EQ(doc.GetResult(), "<read msg=\"cannot read file\"/>");
    EXPECT_FALSE(doc.FindElement());
    EXPECT_FALSE(doc.LoadFile(nullptr));

    EXPECT_FALSE(doc.LoadFile(WriteFixture("empty.xml", "").c_str()));
    EXPECT_TRUE(ReportHas(doc, "<no_root_element/>")) << doc.GetResult();

    EXPECT_FALSE(doc.LoadFile(WriteFixture("nulls.xml", std::string(4096, '\0')).c_str()));
    EXPECT_TRUE(ReportHas(doc, "<nulls_removed count=\"4096\"/>")) << doc.GetResult();
    EXPECT_FALSE(doc.FindElement());

    for (const char* lone : {"\xFF", "\xFE", "\xEF\xBB", "<", "\xFF\xFE<"}) {
        doc.LoadFile(WriteFixture("tiny.xml", lone).c_str());
        EXPECT_FALSE(doc.IsWellFormed());
    }

    ASSERT_TRUE(
        doc.LoadFile(WriteFixture("with_nulls.xml", std::string("<r\0 t='1'/>", 11)).c_str()));
    ASSERT_TRUE(doc.FindElement("r"));
    EXPECT_EQ(doc.GetAttribute("t"), "1");
}

} // namespace
