#include "ManifestReader.h"

#include "XmlEncodings.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr char32_t kEnd = 0xFFFFFFFF;
// Deeper documents are refused rather than followed without bound.
constexpr std::size_t kMaxDepth = 1000;

bool IsSpace(char32_t c) {
    return c == 0x20 || c == 0x9 || c == 0xA || c == 0xD;
}

bool IsXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

bool IsNameStart(char32_t c) {
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':';
    return (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || c == 0x200C ||
           c == 0x200D || (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) ||
           (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
           (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(char32_t c) {
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || c == 0x203F || c == 0x2040;
}

void AppendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

bool Equals(const std::u16string& text, const char* ascii) {
    std::size_t i = 0;
    for (; ascii[i]; ++i)
        if (i >= text.size() || text[i] != static_cast<char16_t>(ascii[i]))
            return false;
    return i == text.size();
}

bool EqualsIgnoringCase(const std::u16string& text, const char* ascii) {
    std::size_t i = 0;
    for (; ascii[i]; ++i) {
        if (i >= text.size())
            return false;
        char16_t c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char16_t>(c - 'A' + 'a');
        if (c != static_cast<char16_t>(ascii[i]))
            return false;
    }
    return i == text.size();
}

// The text of one child element of a "File", built as the DOM's text property builds it: a
// run of character data between markup that is only white space becomes one blank between
// the texts around it, CDATA sections count as they are, and the result loses its leading
// and trailing white space outside CDATA sections.
struct FieldText {
    std::u16string name;
    std::u16string text;
    bool blankPending = false;
    std::size_t cdataBegin = 0;
    std::size_t cdataEnd = 0;
    bool hasCdata = false;

    void Reset(const std::u16string& elementName) {
        name = elementName;
        text.clear();
        blankPending = hasCdata = false;
        cdataBegin = cdataEnd = 0;
    }
    void AddRun(const std::u16string& run, bool onlySpace) {
        if (onlySpace) {
            blankPending = true;
            return;
        }
        AddBlank();
        text += run;
    }
    void AddCdata(const std::u16string& data) {
        AddBlank();
        if (!hasCdata)
            cdataBegin = text.size();
        hasCdata = true;
        text += data;
        cdataEnd = text.size();
    }
    void AddBlank() {
        if (blankPending && !text.empty())
            text += u' ';
        blankPending = false;
    }
    void Trim() {
        std::size_t begin = 0, end = text.size();
        const std::size_t keepFrom = hasCdata ? cdataBegin : end;
        while (begin < keepFrom && IsSpace(text[begin]))
            ++begin;
        const std::size_t keepTo = hasCdata ? cdataEnd : begin;
        while (end > keepTo && end > begin && IsSpace(text[end - 1]))
            --end;
        text.erase(end);
        text.erase(0, begin);
    }
};

struct Frame {
    std::u16string name;
    bool isFile = false;
    bool isField = false;
};

class CParser {
  public:
    CParser(const unsigned char* data, std::size_t size, IManifestHandler& handler,
            IManifestCodePage& codePages)
        : m_data(data), m_size(size), m_handler(handler), m_codePages(codePages) {}

    bool Run();

  private:
    enum class Encoding { Utf8, Utf16Le, Utf16Be, CodePage };

    void DetectEncoding();
    char32_t Decode();
    char32_t DecodeUtf8();
    char32_t DecodeUtf16();
    // Consumes the current character and decodes the next (kEnd past the last one). Line ends
    // become one line feed; an undecodable or forbidden character sets m_bad.
    void Next();
    bool Expect(char32_t c) {
        if (m_char != c)
            return false;
        Next();
        return true;
    }
    bool ExpectAscii(const char* text) {
        for (; *text; ++text)
            if (!Expect(static_cast<unsigned char>(*text)))
                return false;
        return true;
    }
    // Consumes characters up to and including the first `lead` followed by `next`.
    bool SkipThrough(char32_t lead, char32_t next);
    bool SkipSpace() {
        bool skipped = false;
        while (IsSpace(m_char)) {
            Next();
            skipped = true;
        }
        return skipped;
    }

    bool ParseName(std::u16string& name);
    bool ParseReference(char32_t& character);
    bool ParseQuoted(std::u16string* value);
    bool ParseXmlDeclaration();
    bool ApplyDeclaredEncoding(const std::u16string& name);
    bool ParseProcessingInstruction(bool atStart);
    bool ParseComment();
    bool ParseCdata();
    bool ParseDoctype();
    bool ParseMarkup(bool atStart);
    bool ParseRoot();
    bool ParseStartTag();
    bool ParseEndTag();
    bool ElementEnded();
    void FlushRun();

    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    IManifestHandler& m_handler;
    IManifestCodePage& m_codePages;
    Encoding m_encoding = Encoding::Utf8;
    bool m_byteOrderMark = false;
    char32_t m_char = kEnd;
    bool m_bad = false;
    bool m_seenRoot = false;
    bool m_seenDoctype = false;

    // Open elements, and the child elements of "File" elements whose text is being gathered;
    // both only grow, so their strings keep their buffers.
    std::vector<Frame> m_frames;
    std::size_t m_depth = 0;
    std::vector<FieldText> m_fields;
    std::size_t m_openFields = 0;
    // Character data since the last markup, gathered while a field is open.
    std::u16string m_run;
    bool m_runOnlySpace = true;
    std::u16string m_scratch;
    std::vector<std::u16string> m_attributes;
};

void CParser::DetectEncoding() {
    const unsigned char* d = m_data;
    if (m_size >= 3 && d[0] == 0xEF && d[1] == 0xBB && d[2] == 0xBF) {
        m_pos = 3;
        m_byteOrderMark = true;
    } else if (m_size >= 2 && d[0] == 0xFF && d[1] == 0xFE) {
        m_encoding = Encoding::Utf16Le;
        m_pos = 2;
        m_byteOrderMark = true;
    } else if (m_size >= 2 && d[0] == 0xFE && d[1] == 0xFF) {
        m_encoding = Encoding::Utf16Be;
        m_pos = 2;
        m_byteOrderMark = true;
    } else if (m_size >= 4 && d[0] == '<' && d[1] == 0 && d[2] == '?' && d[3] == 0) {
        // UTF-16 without a byte order mark only with the XML declaration first.
        m_encoding = Encoding::Utf16Le;
    } else if (m_size >= 4 && d[0] == 0 && d[1] == '<' && d[2] == 0 && d[3] == '?') {
        m_encoding = Encoding::Utf16Be;
    }
}

char32_t CParser::DecodeUtf8() {
    const unsigned char* p = m_data + m_pos;
    const std::size_t available = m_size - m_pos;
    const unsigned char lead = p[0];
    std::size_t length;
    char32_t c;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        m_bad = true;
        return kEnd;
    }
    if (available < length || p[1] < low || p[1] > high) {
        m_bad = true;
        return kEnd;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            m_bad = true;
            return kEnd;
        }
        c = (c << 6) | (p[i] & 0x3F);
    }
    m_pos += length;
    return c;
}

char32_t CParser::DecodeUtf16() {
    const bool little = m_encoding == Encoding::Utf16Le;
    const auto unitAt = [&](std::size_t at) {
        return little ? char32_t(m_data[at] | (m_data[at + 1] << 8))
                      : char32_t((m_data[at] << 8) | m_data[at + 1]);
    };
    if (m_size - m_pos < 2) {
        m_bad = true;
        return kEnd;
    }
    const char32_t unit = unitAt(m_pos);
    m_pos += 2;
    if (unit < 0xD800 || unit > 0xDFFF)
        return unit;
    if (unit >= 0xDC00 || m_size - m_pos < 2) {
        m_bad = true;
        return kEnd;
    }
    const char32_t low = unitAt(m_pos);
    if (low < 0xDC00 || low > 0xDFFF) {
        m_bad = true;
        return kEnd;
    }
    m_pos += 2;
    return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
}

char32_t CParser::Decode() {
    if (m_pos >= m_size)
        return kEnd;
    switch (m_encoding) {
    case Encoding::Utf8:
        if (m_data[m_pos] < 0x80)
            return m_data[m_pos++];
        return DecodeUtf8();
    case Encoding::CodePage: {
        if (m_data[m_pos] < 0x80)
            return m_data[m_pos++];
        char32_t c = 0;
        const std::size_t length = m_codePages.Decode(m_data + m_pos, m_size - m_pos, c);
        if (length == 0 || length > m_size - m_pos) {
            m_bad = true;
            return kEnd;
        }
        m_pos += length;
        return c;
    }
    default:
        return DecodeUtf16();
    }
}

void CParser::Next() {
    char32_t c = Decode();
    if (c == '\r') {
        const std::size_t at = m_pos;
        if (Decode() != '\n')
            m_pos = at;
        c = '\n';
    }
    if (c != kEnd && !IsXmlChar(c))
        m_bad = true;
    m_char = m_bad ? kEnd : c;
}

bool CParser::ParseName(std::u16string& name) {
    name.clear();
    if (!IsNameStart(m_char))
        return false;
    do {
        AppendUtf16(name, m_char);
        Next();
    } while (IsNameChar(m_char));
    return true;
}

// After '&': a character reference or one of the five predefined entities.
bool CParser::ParseReference(char32_t& character) {
    if (m_char == '#') {
        Next();
        const bool hex = m_char == 'x';
        if (hex)
            Next();
        char32_t value = 0;
        int digits = 0;
        for (;; ++digits, Next()) {
            int digit;
            if (m_char >= '0' && m_char <= '9')
                digit = static_cast<int>(m_char - '0');
            else if (hex && m_char >= 'a' && m_char <= 'f')
                digit = static_cast<int>(m_char - 'a' + 10);
            else if (hex && m_char >= 'A' && m_char <= 'F')
                digit = static_cast<int>(m_char - 'A' + 10);
            else
                break;
            value = std::min<char32_t>(value * (hex ? 16 : 10) + digit, 0x110000);
        }
        character = value;
        return digits > 0 && Expect(';') && IsXmlChar(value);
    }
    if (!ParseName(m_scratch) || !Expect(';'))
        return false;
    static const struct {
        const char* name;
        char32_t character;
    } kPredefined[] = {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"apos", '\''}, {"quot", '"'}};
    for (const auto& entity : kPredefined) {
        if (Equals(m_scratch, entity.name)) {
            character = entity.character;
            return true;
        }
    }
    return false;
}

// A quoted attribute value; references are checked, the value kept only when asked for.
bool CParser::ParseQuoted(std::u16string* value) {
    const char32_t quote = m_char;
    if (quote != '"' && quote != '\'')
        return false;
    Next();
    if (value)
        value->clear();
    while (m_char != quote) {
        char32_t c = m_char;
        if (c == kEnd || c == '<')
            return false;
        Next();
        if (c == '&' && !ParseReference(c))
            return false;
        if (value)
            AppendUtf16(*value, c);
    }
    Next();
    return true;
}

// After "<?xml": version, then the optional encoding and standalone declarations.
bool CParser::ParseXmlDeclaration() {
    static const char* const kNames[] = {"version", "encoding", "standalone"};
    std::u16string values[3];
    std::size_t next = 0;
    while (SkipSpace() && IsNameStart(m_char)) {
        if (!ParseName(m_scratch))
            return false;
        while (next < 3 && !Equals(m_scratch, kNames[next]))
            ++next;
        if (next == 3)
            return false;
        SkipSpace();
        if (!Expect('=') || (SkipSpace(), !ParseQuoted(&values[next])))
            return false;
        ++next;
    }
    const std::u16string& version = values[0];
    if (version.size() < 3 || version[0] != '1' || version[1] != '.' ||
        !std::all_of(version.begin() + 2, version.end(),
                     [](char16_t c) { return c >= '0' && c <= '9'; }))
        return false;
    const std::u16string& standalone = values[2];
    if (!standalone.empty() && !Equals(standalone, "yes") && !Equals(standalone, "no"))
        return false;
    // The characters after the declaration are read in the encoding it names.
    return Expect('?') && m_char == '>' && ApplyDeclaredEncoding(values[1]) && Expect('>');
}

bool CParser::ApplyDeclaredEncoding(const std::u16string& name) {
    // A UTF-16 document is told by its first bytes; what it declares does not change that.
    if (name.empty() || m_encoding == Encoding::Utf16Le || m_encoding == Encoding::Utf16Be)
        return true;
    std::string ascii;
    for (char16_t c : name) {
        if (c >= 0x80)
            return false;
        ascii += static_cast<char>(c);
    }
    const int codePage = Velmora::LookupEncoding(ascii.c_str());
    if (codePage == 65001)
        return true;
    // UTF-16 and UTF-32 declared in a document of 8-bit units, a byte order mark of UTF-8
    // with another encoding declared, and names no one knows.
    if (m_byteOrderMark || codePage <= 0 || codePage == 1200 || codePage == 1201 ||
        codePage == 12000 || codePage == 12001 || codePage == 65005 ||
        !m_codePages.Select(static_cast<unsigned>(codePage)))
        return false;
    m_encoding = Encoding::CodePage;
    return true;
}

// After "<?": a processing instruction, or the XML declaration at the very start.
bool CParser::ParseProcessingInstruction(bool atStart) {
    if (!ParseName(m_scratch))
        return false;
    if (Equals(m_scratch, "xml") && atStart)
        return ParseXmlDeclaration();
    if (EqualsIgnoringCase(m_scratch, "xml"))
        return false;
    return (m_char == '?' || SkipSpace()) && SkipThrough('?', '>');
}

// After "<!-": the rest of a comment, which may not hold "--".
bool CParser::ParseComment() {
    return Expect('-') && SkipThrough('-', '-') && Expect('>');
}

bool CParser::SkipThrough(char32_t lead, char32_t next) {
    for (;;) {
        if (m_char == kEnd)
            return false;
        const bool match = m_char == lead;
        Next();
        if (match && m_char == next) {
            Next();
            return true;
        }
    }
}

// After "<![": a CDATA section; its characters count as they are.
bool CParser::ParseCdata() {
    if (!ExpectAscii("CDATA["))
        return false;
    const bool gather = m_openFields > 0;
    m_scratch.clear();
    int brackets = 0;
    for (;;) {
        const char32_t c = m_char;
        if (c == kEnd)
            return false;
        Next();
        if (c == '>' && brackets >= 2)
            break;
        brackets = c == ']' ? brackets + 1 : 0;
        if (gather)
            AppendUtf16(m_scratch, c);
    }
    if (gather) {
        m_scratch.resize(m_scratch.size() - 2);
        for (std::size_t i = 0; i < m_openFields; ++i)
            m_fields[i].AddCdata(m_scratch);
    }
    return true;
}

// After "<!" at 'D': the document type declaration, skipped with its internal subset.
bool CParser::ParseDoctype() {
    if (!ExpectAscii("DOCTYPE") || !SkipSpace() || !ParseName(m_scratch))
        return false;
    char32_t quote = 0;
    int depth = 0;
    for (;;) {
        const char32_t c = m_char;
        if (c == kEnd)
            return false;
        Next();
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++depth;
        } else if (c == ']') {
            if (depth-- == 0)
                return false;
        } else if (c == '>' && depth == 0) {
            return true;
        } else if (c == '<' && depth > 0 && m_char == '!') {
            // Comments of the internal subset may hold quotes.
            Next();
            if (m_char == '-' && (Next(), !ParseComment()))
                return false;
        }
    }
}

void CParser::FlushRun() {
    if (m_run.empty())
        return;
    for (std::size_t i = 0; i < m_openFields; ++i)
        m_fields[i].AddRun(m_run, m_runOnlySpace);
    m_run.clear();
    m_runOnlySpace = true;
}

// After '<' at a name: a start tag, and the element's start as the handler sees it.
bool CParser::ParseStartTag() {
    if (m_depth >= kMaxDepth)
        return false;
    if (m_frames.size() <= m_depth)
        m_frames.resize(m_depth + 1);
    Frame& frame = m_frames[m_depth];
    if (!ParseName(frame.name))
        return false;
    std::size_t attributes = 0;
    for (;;) {
        const bool space = SkipSpace();
        if (m_char == '>' || m_char == '/')
            break;
        if (!space)
            return false;
        if (m_attributes.size() <= attributes)
            m_attributes.resize(attributes + 1);
        std::u16string& name = m_attributes[attributes];
        if (!ParseName(name) || std::find(m_attributes.begin(), m_attributes.begin() + attributes,
                                          name) != m_attributes.begin() + attributes)
            return false;
        ++attributes;
        SkipSpace();
        if (!Expect('='))
            return false;
        SkipSpace();
        if (!ParseQuoted(nullptr))
            return false;
    }
    const bool empty = m_char == '/';
    if (empty)
        Next();
    if (!Expect('>'))
        return false;

    const Frame* parent = m_depth > 0 ? &m_frames[m_depth - 1] : nullptr;
    frame.isField = parent && parent->isFile;
    if (frame.isField) {
        if (m_fields.size() <= m_openFields)
            m_fields.resize(m_openFields + 1);
        m_fields[m_openFields++].Reset(frame.name);
    }
    frame.isFile = parent && Equals(frame.name, "File");
    if (frame.isFile)
        m_handler.BeginFile();
    ++m_depth;
    return !empty || ElementEnded();
}

// After "</": the end tag of the innermost open element.
bool CParser::ParseEndTag() {
    if (!ParseName(m_scratch) || m_scratch != m_frames[m_depth - 1].name)
        return false;
    SkipSpace();
    return Expect('>') && ElementEnded();
}

bool CParser::ElementEnded() {
    const Frame& frame = m_frames[--m_depth];
    if (frame.isFile && !m_handler.EndFile())
        return false;
    if (frame.isField) {
        FieldText& field = m_fields[--m_openFields];
        field.Trim();
        m_handler.Field(field.name, field.text);
    }
    return true;
}

// At the root's name: the whole element tree.
bool CParser::ParseRoot() {
    if (!ParseStartTag())
        return false;
    int brackets = 0;
    while (m_depth > 0) {
        const char32_t c = m_char;
        if (c == kEnd)
            return false;
        if (c == '<') {
            FlushRun();
            brackets = 0;
            Next();
            if (!ParseMarkup(false) || m_bad)
                return false;
            continue;
        }
        char32_t character = c;
        Next();
        if (c == '&') {
            brackets = 0;
            if (!ParseReference(character))
                return false;
        } else if (c == '>' && brackets >= 2) {
            return false; // "]]>" outside a CDATA section
        } else {
            brackets = c == ']' ? brackets + 1 : 0;
        }
        if (m_openFields > 0) {
            AppendUtf16(m_run, character);
            m_runOnlySpace = m_runOnlySpace && IsSpace(character);
        }
    }
    return !m_bad;
}

// After '<': in content an end tag, a processing instruction, a comment, a CDATA section or a
// child element; outside the root a processing instruction, a comment, the document type
// declaration (before the root only) or the root.
bool CParser::ParseMarkup(bool atStart) {
    const bool inContent = m_depth > 0;
    if (m_char == '/' && inContent) {
        Next();
        return ParseEndTag();
    }
    if (m_char == '?') {
        Next();
        return ParseProcessingInstruction(atStart);
    }
    if (m_char == '!') {
        Next();
        if (m_char == '-') {
            Next();
            return ParseComment();
        }
        if (inContent)
            return m_char == '[' && (Next(), ParseCdata());
        if (m_seenRoot || m_seenDoctype || m_char != 'D')
            return false;
        m_seenDoctype = true;
        return ParseDoctype();
    }
    if (inContent)
        return ParseStartTag();
    if (m_seenRoot)
        return false;
    m_seenRoot = true;
    return ParseRoot();
}

bool CParser::Run() {
    DetectEncoding();
    Next();
    for (bool atStart = true;; atStart = false) {
        if (m_bad)
            return false;
        if (m_char == kEnd)
            return m_seenRoot;
        if (IsSpace(m_char))
            Next();
        else if (!Expect('<') || !ParseMarkup(atStart))
            return false;
    }
}

} // namespace

bool ReadManifest(const unsigned char* data, std::size_t size, IManifestHandler& handler,
                  IManifestCodePage& codePages) {
    return CParser(data, size, handler, codePages).Run();
}
