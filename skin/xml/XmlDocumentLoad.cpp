// CXmlDocument::LoadFile: reading a file and bringing its text into the ANSI code page.
#include "XmlDocument.h"

#include "XmlCodePage.h"
#include "XmlEncodings.h"
#include "XmlCharacters.h"
#include "XmlResultReport.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace Velmora {
namespace {

// Only this much of the text is searched for a declared encoding.
constexpr size_t kDeclarationWindow = 1024;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool ReadWholeFile(const char* path, std::string& bytes) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file)
        return false;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        bytes.append(buffer, got);
    return std::ferror(file.get()) == 0;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x >= 'A' && x <= 'Z' ? x - 'A' + 'a' : x) ==
                      (y >= 'A' && y <= 'Z' ? y - 'A' + 'a' : y);
           });
}

// "charset=NAME" inside the content of an HTML meta element.
std::string CharsetOfContent(const std::string& content) {
    static const std::string_view kKey = "charset=";
    for (size_t pos = 0; pos + kKey.size() <= content.size(); ++pos) {
        if (EqualsNoCase(std::string_view(content).substr(pos, kKey.size()), kKey)) {
            const size_t begin = pos + kKey.size();
            const size_t end = content.find_first_of("; \t\r\n\"'", begin);
            return content.substr(begin, end == std::string::npos ? end : end - begin);
        }
    }
    return std::string();
}

// Encoding named by an "xml" declaration or, in HTML, by a Content-Type meta element.
std::string DeclaredEncoding(std::string_view head) {
    size_t pos = 0;
    while (pos < head.size() && IsXmlSpace(head[pos]))
        ++pos;
    if (head.compare(pos, 5, "<?xml") == 0 && pos + 5 < head.size() &&
        (IsXmlSpace(head[pos + 5]) || head[pos + 5] == '?')) {
        const size_t end = std::min(head.find("?>", pos), head.size());
        std::vector<XmlAttribute> attributes;
        ReadAttributes(head.substr(pos + 5, end - pos - 5), attributes);
        const XmlAttribute* encoding = FindAttribute(attributes, "encoding");
        return encoding ? std::string(encoding->value) : std::string();
    }

    CXmlDocument html;
    html.SetDocument(std::string(head).c_str());
    if (!html.FindElement("html") || !html.IntoElement() || !html.FindElement("head") ||
        !html.IntoElement())
        return std::string();
    while (html.FindElement("meta")) {
        if (EqualsNoCase(html.GetAttribute("http-equiv"), "Content-Type"))
            return CharsetOfContent(html.GetAttribute("content"));
    }
    return std::string();
}

// A text readable as bytes cannot be in a 16- or 32-bit encoding, whatever it declares.
bool IsWideCodePage(int codePage) {
    return codePage == 1200 || codePage == 1201 || codePage == 12000 || codePage == 12001 ||
           codePage == 65005;
}

enum class Utf8Check { Valid, CutAtEnd, Invalid };

// Strict UTF-8 check; cutAt receives where an incomplete last character begins.
Utf8Check CheckUtf8(std::string_view text, size_t& cutAt) {
    const size_t size = text.size();
    size_t pos = 0;
    while (pos < size) {
        const unsigned char lead = static_cast<unsigned char>(text[pos]);
        if (lead < 0x80) {
            ++pos;
            continue;
        }
        size_t trail;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trail = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trail = 2;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trail = 3;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        } else {
            return Utf8Check::Invalid;
        }
        for (size_t i = 1; i <= trail; ++i) {
            if (pos + i == size) {
                cutAt = pos;
                return Utf8Check::CutAtEnd;
            }
            const unsigned char c = static_cast<unsigned char>(text[pos + i]);
            if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF))
                return Utf8Check::Invalid;
        }
        pos += trail + 1;
    }
    return Utf8Check::Valid;
}

} // namespace

bool CXmlDocument::LoadFile(const char* path) {
    m_text.clear();
    m_result.clear();
    m_index.Clear();
    m_parent = m_main = m_child = 0;
    m_attributesOf = 0;

    std::string bytes;
    if (!path || !ReadWholeFile(path, bytes)) {
        CResultEvent(m_result, "read").Text("msg", "cannot read file");
        return false;
    }
    m_text = DecodeFileText(bytes);
    Parse();
    return IsWellFormed();
}

std::string CXmlDocument::DecodeFileText(const std::string& bytes) {
    const auto startsWith = [&bytes](std::string_view mark) {
        return bytes.compare(0, mark.size(), mark) == 0;
    };
    std::string encoding;
    size_t skip = 0;
    if (startsWith("\xEF\xBB\xBF")) {
        encoding = "UTF-8";
        skip = 3;
    } else if (startsWith("\xFF\xFE")) {
        encoding = "UTF-16LE";
        skip = 2;
    } else if (startsWith("\xFE\xFF")) {
        encoding = "UTF-16BE";
        skip = 2;
    }
    if (skip)
        CResultEvent(m_result, "bom").Text("encoding", encoding);

    bool declared = false;
    if (!skip && bytes.size() >= 2) {
        // Without a mark, UTF-16 shows itself by the zero byte next to the first "<".
        if (bytes[0] == '<' && bytes[1] == '\0')
            encoding = "UTF-16LE";
        else if (bytes[0] == '\0' && bytes[1] == '<')
            encoding = "UTF-16BE";
    }
    if (encoding.empty()) {
        encoding = DeclaredEncoding(std::string_view(bytes).substr(0, kDeclarationWindow));
        declared = !encoding.empty();
        if (declared && IsWideCodePage(LookupEncoding(encoding.c_str())))
            encoding.clear();
        if (encoding.empty() && !bytes.empty() && bytes[0] == '<')
            encoding = "UTF-8";
    }

    std::string_view body = std::string_view(bytes).substr(skip);
    std::string text;
    bool attempted = false;
    bool converted = false;
    bool lossy = false;
    const int codePage = LookupEncoding(encoding.c_str());
    if (codePage == 1200 || codePage == 1201) {
        if (body.size() % 2 != 0) {
            CResultEvent(m_result, "truncation_error")
                .Text("encoding", encoding)
                .Number("offset", skip + body.size() - 1);
            body.remove_suffix(1);
        }
        std::wstring wide(body.size() / 2, L'\0');
        const int high = codePage == 1201 ? 0 : 1;
        for (size_t i = 0; i < wide.size(); ++i)
            wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(body[2 * i + high]) << 8 |
                                           static_cast<unsigned char>(body[2 * i + 1 - high]));
        if (codePage == 1201)
            CResultEvent(m_result, "endian_swap").Text("encoding", encoding);
        attempted = true;
        converted = WideToAnsi(wide, text, lossy);
    } else if (codePage != kUnknownEncoding && codePage != 0 &&
               static_cast<unsigned>(codePage) != AnsiCodePage()) {
        size_t cutAt = 0;
        const Utf8Check check = codePage == 65001 ? CheckUtf8(body, cutAt) : Utf8Check::Valid;
        if (check == Utf8Check::CutAtEnd) {
            CResultEvent(m_result, "truncation_error")
                .Text("encoding", encoding)
                .Number("offset", skip + cutAt);
            body = body.substr(0, cutAt);
        }
        if (check == Utf8Check::Invalid && skip == 0) {
            // Declared or assumed UTF-8 that is not: most likely text in the ANSI code page.
            CResultEvent(m_result, "utf8_detection")
                .Text("encoding", encoding)
                .Text("msg", declared ? "declared encoding is not UTF-8" : "not UTF-8");
        } else {
            attempted = true;
            converted = CodePageToAnsi(static_cast<unsigned>(codePage), body, text, lossy);
        }
    }
    if (converted) {
        CResultEvent(m_result, "converted_to")
            .Text("encoding", "cp" + std::to_string(AnsiCodePage()))
            .Number("length", text.size());
        if (lossy)
            CResultEvent(m_result, "conversion_loss").Text("encoding", encoding);
    } else {
        if (attempted)
            CResultEvent(m_result, "conversion_loss")
                .Text("encoding", encoding)
                .Text("msg", "the system cannot convert this encoding; text kept as read");
        text.assign(body.data(), body.size());
    }

    // Zero bytes would end the text for every caller that reads it as a C string.
    const size_t withNulls = text.size();
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    if (text.size() != withNulls)
        CResultEvent(m_result, "nulls_removed").Number("count", withNulls - text.size());

    CResultEvent(m_result, "read").Text("encoding", encoding).Number("length", bytes.size());
    return text;
}

} // namespace Velmora
