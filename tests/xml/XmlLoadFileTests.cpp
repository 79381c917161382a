// LoadFile: byte-order marks, declared encodings and conversion to code page 936.
#include "XmlTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

using Velmora::CXmlDocument;
using XmlTest::WriteFixture;

namespace {

// "中文" and "升级" in UTF-8 and in code page 936.
const std::string kUtf8Chinese = "\xE4\xB8\xAD\xE6\x96\x87";
const std::string kGbkChinese = "\xD6\xD0\xCE\xC4";
const std::string kUtf8Upgrade = "\xE5\x8D\x87\xE7\xBA\xA7";
const std::string kGbkUpgrade = "升级";

std::string ToUtf16(const std::string& utf8, bool bigEndian) {
    const int count =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], count);
    std::string bytes;
    for (wchar_t unit : wide) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// Loads bytes from a file and returns the "t" attribute of the root element.
std::string LoadAndRead(const std::string& name, const std::string& bytes, CXmlDocument& doc) {
    const std::string path = WriteFixture(name, bytes);
    EXPECT_TRUE(doc.LoadFile(path.c_str())) << name << "\n" << doc.GetResult();
    if (!doc.FindElement())
        return "(no element)";
    return doc.GetAttribute("t");
}

bool ReportHas(const CXmlDocument& doc, const std::string& fragment) {
    return doc.GetResult().find(fragment) != std::string::npos;
}

class XmlLoadFile : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(GetACP(), 936u) << "these cases assume code page 936"; }
};

TEST_F(XmlLoadFile, Utf16BothByteOrdersWithAndWithoutMark) {
    const std::string utf8Text = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<r t=\"" +
                                 kUtf8Chinese + "&#x5347;\"><c/></r>";
    struct Case {
        const char* name;
        bool bigEndian;
        bool mark;
    };
    for (const Case& c : {Case{"le_bom.xml", false, true}, Case{"le.xml", false, false},
                          Case{"be_bom.xml", true, true}, Case{"be.xml", true, false}}) {
        std::string bytes = ToUtf16(utf8Text, c.bigEndian);
        if (c.mark)
            bytes = (c.bigEndian ? "\xFE\xFF" : "\xFF\xFE") + bytes;
        CXmlDocument doc;
        EXPECT_EQ(LoadAndRead(c.name, bytes, doc), kGbkChinese + "\xC9\xFD") << c.name;
        EXPECT_EQ(ReportHas(doc, "<bom "), c.mark) << c.name << doc.GetResult();
        EXPECT_EQ(ReportHas(doc, "<endian_swap"), c.bigEndian) << c.name;
        EXPECT_TRUE(ReportHas(doc, "<converted_to encoding=\"cp936\"")) << c.name;
        EXPECT_TRUE(ReportHas(doc, std::string("<read encoding=\"UTF-16") +
                                       (c.bigEndian ? "BE" : "LE") + "\" length=\"" +
                                       std::to_string(bytes.size()) + "\"/>"))
            << c.name << doc.GetResult();
        EXPECT_TRUE(doc.IntoElement());
        EXPECT_TRUE(doc.FindElement("c")) << c.name;
    }
}

TEST_F(XmlLoadFile, OddUtf16LengthIsCutAndReported) {
    CXmlDocument doc;
    EXPECT_EQ(LoadAndRead("odd16.xml", "\xFF\xFE" + ToUtf16("<r t='x'/>", false) + "\x41", doc),
              "x");
    EXPECT_TRUE(ReportHas(doc, "<truncation_error encoding=\"UTF-16LE\"")) << doc.GetResult();
}

TEST_F(XmlLoadFile, GbkDeclarationIsReadUnchanged) {
    CXmlDocument doc;
    const std::string text =
        "<?xml version=\"1.0\" encoding=\"GBK\"?>\n<r t=\"" + kGbkUpgrade + "\"/>";
    EXPECT_EQ(LoadAndRead("gbk.xml", text, doc), kGbkUpgrade);
    EXPECT_FALSE(ReportHas(doc, "<converted_to")) << doc.GetResult();
    EXPECT_TRUE(ReportHas(doc, "<read encoding=\"GBK\"")) << doc.GetResult();
}

TEST_F(XmlLoadFile, Utf8IsConvertedTo936) {
    const std::string body = "<r t=\"" + kUtf8Upgrade + kUtf8Chinese + "\"/>";
    struct Case {
        const char* name;
        std::string bytes;
        const char* encoding;
    };
    const Case cases[] = {
        {"utf8_decl.xml", "<?xml version='1.0' encoding='utf-8' ?>" + body, "utf-8"},
        {"utf8_bom.xml", "\xEF\xBB\xBF" + body, "UTF-8"},
        {"utf8_assumed.xml", body, "UTF-8"},
    };
    for (const Case& c : cases) {
        CXmlDocument doc;
        EXPECT_EQ(LoadAndRead(c.name, c.bytes, doc), kGbkUpgrade + kGbkChinese) << c.name;
        EXPECT_TRUE(ReportHas(doc, "<converted_to encoding=\"cp936\"")) << c.name;
        EXPECT_TRUE(ReportHas(doc, std::string("<read encoding=\"") + c.encoding + "\""))
            << c.name << doc.GetResult();
    }
}

TEST_F(XmlLoadFile, HtmlMetaCharset) {
    const std::string head = "<!DOCTYPE html>\n<html><head><title>x</title>"
                             "<meta name=\"x\" content=\"charset=big5\">"
                             "<meta http-equiv=\"content-type\" content=\"text/html; charset=";
    CXmlDocument doc;
    ASSERT_FALSE(doc.LoadFile(WriteFixture("meta_utf8.html", head + "UTF-8\"></head><body t=\"" +
                                                                 kUtf8Chinese + "\"></body></html>")
                                  .c_str()));
    ASSERT_TRUE(doc.FindElement("html") && doc.IntoElement() && doc.FindElement("body"));
    EXPECT_EQ(doc.GetAttribute("t"), kGbkChinese);
    EXPECT_TRUE(ReportHas(doc, "<read encoding=\"UTF-8\"")) << doc.GetResult();

    ASSERT_FALSE(doc.LoadFile(WriteFixture("meta_gb.html", head + "gb2312\"></head><body t=\"" +
                                                               kGbkChinese + "\"></body></html>")
                                  .c_str()));
    ASSERT_TRUE(doc.FindElement("html") && doc.IntoElement() && doc.FindElement("body"));
    EXPECT_EQ(doc.GetAttribute("t"), kGbkChinese);
    EXPECT_FALSE(ReportHas(doc, "<converted_to")) << doc.GetResult();
}

TEST_F(XmlLoadFile, UnknownEncodingIsNotConverted) {
    CXmlDocument doc;
    const std::string text =
        "<?xml version=\"1.0\" encoding=\"x-klingon\"?><r t=\"" + kUtf8Chinese + "\"/>";
    EXPECT_EQ(LoadAndRead("klingon.xml", text, doc), kUtf8Chinese);
    EXPECT_FALSE(ReportHas(doc, "<converted_to")) << doc.GetResult();
    EXPECT_TRUE(ReportHas(doc, "<read encoding=\"x-klingon\"")) << doc.GetResult();
}

TEST_F(XmlLoadFile, OtherCodePagesAreConvertedThroughUtf16) {
    CXmlDocument doc;
    // "é" in Latin-1 is E9; code page 936 has it as A8 A6.
    EXPECT_EQ(
        LoadAndRead("latin1.xml", "<?xml version='1.0' encoding='ISO-8859-1'?><r t='\xE9'/>", doc),
        "\xA8\xA6");
    EXPECT_TRUE(ReportHas(doc, "<converted_to")) << doc.GetResult();
    EXPECT_FALSE(ReportHas(doc, "<conversion_loss")) << doc.GetResult();

    // Thai has no place in code page 936.
    EXPECT_EQ(LoadAndRead("thai.xml", "<r t='a\xE0\xB8\x81'/>", doc), "a?");
    EXPECT_TRUE(ReportHas(doc, "<conversion_loss encoding=\"UTF-8\"/>")) << doc.GetResult();
}

TEST_F(XmlLoadFile, Utf8ChecksOfUndeclaredAndCutText) {
    CXmlDocument doc;
    // Not UTF-8 although nothing declares otherwise: kept as code page text.
    EXPECT_EQ(LoadAndRead("gbk_plain.xml", "<r t=\"" + kGbkUpgrade + "\"/>", doc), kGbkUpgrade);
    EXPECT_TRUE(ReportHas(doc, "<utf8_detection")) << doc.GetResult();
    EXPECT_FALSE(ReportHas(doc, "<converted_to")) << doc.GetResult();

    // A character cut by the end of the file.
    EXPECT_EQ(LoadAndRead("cut.xml", "<r t='" + kUtf8Chinese + "'/>\xE4\xB8", doc), kGbkChinese);
    EXPECT_TRUE(ReportHas(doc, "<truncation_error encoding=\"UTF-8\"")) << doc.GetResult();

    // A byte-only text cannot be in UTF-16 whatever it declares.
    EXPECT_EQ(LoadAndRead("liar.xml",
                          "<?xml version='1.0' encoding='UTF-16'?><r t='" + kUtf8Chinese + "'/>",
                          doc),
              kGbkChinese);
}

TEST_F(XmlLoadFile, UnreadableAndDegenerateFiles) {
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
