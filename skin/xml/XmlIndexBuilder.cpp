#include "XmlIndexBuilder.h"

#include "XmlCharacters.h"
#include "XmlResultReport.h"

#include <cstring>
#include <unordered_map>

namespace Velmora {
namespace {

bool StartsWith(std::string_view text, size_t pos, std::string_view prefix) {
    return text.size() - pos >= prefix.size() && text.compare(pos, prefix.size(), prefix) == 0;
}

class CIndexBuilder {
  public:
    CIndexBuilder(std::string_view text, CXmlElementIndex& index, std::string& report)
        : m_text(text), m_index(index), m_report(report) {}

    void Run();

  private:
    size_t ScanStartTag(size_t pos);
    size_t ScanEndTag(size_t pos);
    size_t ScanInstruction(size_t pos);
    size_t ScanExclamation(size_t pos);
    size_t ScanComment(size_t pos);
    size_t ScanDocumentType(size_t pos);

    size_t FindOpenElement(std::string_view name);
    void EndWithoutEndTags(size_t depth);
    void Push(uint32_t element);
    void Pop();
    void MarkIllFormed(uint32_t element);
    void SyntaxError(const char* event, const char* type, size_t offset, size_t length);
    std::string_view NameOf(uint32_t element) const {
        const XmlElement& record = m_index[element];
        return m_text.substr(record.start + 1, record.nameLength);
    }

    std::string_view m_text;
    CXmlElementIndex& m_index;
    std::string& m_report;
    // Open elements from the virtual root (always at the bottom) to the innermost one.
    std::vector<uint32_t> m_open;
    // Count of open elements per tag name, kept only once an end tag has failed to match the
    // innermost element, so that ill-formed text cannot make end-tag matching quadratic.
    std::unordered_map<std::string_view, uint32_t> m_openNames;
    bool m_trackingNames = false;
};

void CIndexBuilder::Run() {
    XmlElement root;
    root.length = static_cast<uint32_t>(m_text.size());
    m_index.Add(root);
    m_open.push_back(0);

    const char* text = m_text.data();
    const size_t size = m_text.size();
    size_t pos = 0;
    while (pos < size) {
        const void* tag = std::memchr(text + pos, '<', size - pos);
        if (!tag)
            break;
        pos = static_cast<size_t>(static_cast<const char*>(tag) - text);
        if (pos + 1 == size) {
            SyntaxError("unterminated_tag_syntax", "tag", pos, 1);
            break;
        }
        switch (text[pos + 1]) {
        case '/':
            pos = ScanEndTag(pos);
            break;
        case '?':
            pos = ScanInstruction(pos);
            break;
        case '!':
            pos = ScanExclamation(pos);
            break;
        default:
            if (IsXmlNameEnd(text[pos + 1])) {
                // A "<" that cannot start a tag is kept as text.
                SyntaxError("first_tag_syntax", "tag", pos, 1);
                ++pos;
            } else {
                pos = ScanStartTag(pos);
            }
        }
    }
    EndWithoutEndTags(0);

    const XmlElement& rootRecord = m_index[0];
    if (rootRecord.firstChild == 0) {
        CResultEvent(m_report, "no_root_element");
    } else {
        const uint32_t sibling = m_index[rootRecord.firstChild].nextSibling;
        if (sibling != 0)
            CResultEvent(m_report, "root_has_sibling")
                .Text("tagname", NameOf(sibling))
                .Number("offset", m_index[sibling].start);
    }
}

size_t CIndexBuilder::ScanStartTag(size_t pos) {
    const char* text = m_text.data();
    const size_t size = m_text.size();
    size_t cursor = pos + 1;
    while (cursor < size && !IsXmlNameEnd(text[cursor]))
        ++cursor;
    const size_t nameLength = cursor - pos - 1;

    // A "<" before the closing ">" (outside or inside quotes) means the tag never ended.
    while (cursor < size) {
        const char c = text[cursor];
        if (c == '>' || c == '<')
            break;
        ++cursor;
        if (c == '"' || c == '\'') {
            while (cursor < size && text[cursor] != c && text[cursor] != '<')
                ++cursor;
            if (cursor < size && text[cursor] == c)
                ++cursor;
        }
    }
    if (cursor == size || text[cursor] != '>') {
        SyntaxError("unterminated_tag_syntax", "start_tag", pos, cursor - pos);
        return cursor;
    }
    const size_t end = cursor + 1;
    const bool isEmptyTag = text[cursor - 1] == '/';

    XmlElement element;
    element.start = static_cast<uint32_t>(pos);
    element.startTagLength = static_cast<uint32_t>(end - pos);
    element.nameLength = static_cast<uint32_t>(nameLength);
    element.length = isEmptyTag ? element.startTagLength : 0;
    const uint32_t parent = m_open.back();
    element.parent = parent;
    element.prevSibling = m_index[parent].lastChild;
    const uint32_t added = m_index.Add(element);

    XmlElement& parentRecord = m_index[parent];
    if (parentRecord.lastChild != 0)
        m_index[parentRecord.lastChild].nextSibling = added;
    else
        parentRecord.firstChild = added;
    parentRecord.lastChild = added;

    if (!isEmptyTag)
        Push(added);
    return end;
}

size_t CIndexBuilder::ScanEndTag(size_t pos) {
    const char* text = m_text.data();
    const size_t size = m_text.size();
    size_t cursor = pos + 2;
    while (cursor < size && !IsXmlNameEnd(text[cursor]))
        ++cursor;
    const std::string_view name = m_text.substr(pos + 2, cursor - pos - 2);
    while (cursor < size && text[cursor] != '>' && text[cursor] != '<')
        ++cursor;
    if (cursor == size || text[cursor] != '>') {
        SyntaxError("unterminated_tag_syntax", "end_tag", pos, cursor - pos);
        return cursor;
    }
    const size_t end = cursor + 1;

    const size_t depth = FindOpenElement(name);
    if (depth == 0) {
        CResultEvent(m_report, "lone_end_tag")
            .Text("tagname", name)
            .Number("offset", pos)
            .Number("length", end - pos);
        MarkIllFormed(m_open.back());
        return end;
    }
    EndWithoutEndTags(depth);
    XmlElement& element = m_index[m_open.back()];
    element.endTagLength = static_cast<uint32_t>(end - pos);
    element.length = static_cast<uint32_t>(end - element.start);
    Pop();
    return end;
}

size_t CIndexBuilder::ScanInstruction(size_t pos) {
    const size_t end = m_text.find("?>", pos + 2);
    if (end == std::string_view::npos) {
        SyntaxError("unterminated_tag_syntax", "processing_instruction", pos, m_text.size() - pos);
        return m_text.size();
    }
    return end + 2;
}

size_t CIndexBuilder::ScanExclamation(size_t pos) {
    if (StartsWith(m_text, pos, "<!--"))
        return ScanComment(pos);
    if (StartsWith(m_text, pos, "<![CDATA[")) {
        const size_t end = m_text.find("]]>", pos + 9);
        if (end == std::string_view::npos) {
            SyntaxError("unterminated_tag_syntax", "cdata_section", pos, m_text.size() - pos);
            return m_text.size();
        }
        return end + 3;
    }
    if (StartsWith(m_text, pos, "<!DOCTYPE"))
        return ScanDocumentType(pos);

    // Any other "<!" construct is skipped up to its ">" as far as it is recognisable.
    const size_t end = m_text.find_first_of("<>", pos + 2);
    const size_t stop = end == std::string_view::npos ? m_text.size() : end;
    const bool looksLikeCdata = StartsWith(m_text, pos, "<![");
    SyntaxError(looksLikeCdata ? "cdata_section_syntax" : "exclamation_tag_syntax",
                looksLikeCdata ? "cdata_section" : "tag", pos, stop - pos);
    return stop < m_text.size() && m_text[stop] == '>' ? stop + 1 : stop;
}

size_t CIndexBuilder::ScanComment(size_t pos) {
    bool reported = false;
    size_t dashes = m_text.find("--", pos + 4);
    while (dashes != std::string_view::npos) {
        if (dashes + 2 < m_text.size() && m_text[dashes + 2] == '>')
            return dashes + 3;
        if (!reported) {
            // "--" inside a comment is not allowed; the comment still ends at "-->".
            SyntaxError("comment_tag_syntax", "comment", pos, dashes - pos);
            reported = true;
        }
        dashes = m_text.find("--", dashes + 1);
    }
    SyntaxError("unterminated_tag_syntax", "comment", pos, m_text.size() - pos);
    return m_text.size();
}

size_t CIndexBuilder::ScanDocumentType(size_t pos) {
    const char* text = m_text.data();
    const size_t size = m_text.size();
    size_t cursor = pos + 9;
    if (cursor == size || !IsXmlSpace(text[cursor]))
        SyntaxError("doctype_tag_syntax", "document_type", pos, cursor - pos);

    bool inSubset = false;
    while (cursor < size) {
        const char c = text[cursor];
        if (c == '"' || c == '\'') {
            const size_t close = m_text.find(c, cursor + 1);
            cursor = close == std::string_view::npos ? size : close + 1;
        } else if (inSubset && StartsWith(m_text, cursor, "<!--")) {
            const size_t close = m_text.find("-->", cursor + 4);
            cursor = close == std::string_view::npos ? size : close + 3;
        } else if (c == '>' && !inSubset) {
            return cursor + 1;
        } else {
            if (c == '[')
                inSubset = true;
            else if (c == ']')
                inSubset = false;
            ++cursor;
        }
    }
    SyntaxError("unterminated_tag_syntax", "document_type", pos, size - pos);
    return size;
}

// Depth in m_open of the innermost open element named name, 0 when there is none.
size_t CIndexBuilder::FindOpenElement(std::string_view name) {
    const size_t top = m_open.size() - 1;
    if (top > 0 && NameOf(m_open[top]) == name)
        return top;
    if (!m_trackingNames) {
        for (size_t depth = 1; depth <= top; ++depth)
            ++m_openNames[NameOf(m_open[depth])];
        m_trackingNames = true;
    }
    if (m_openNames.find(name) == m_openNames.end())
        return 0;
    // Every element passed here is ended without end tag right after, so the search costs
    // no more than the elements it removes from the stack.
    for (size_t depth = top; depth > 0; --depth) {
        if (NameOf(m_open[depth]) == name)
            return depth;
    }
    return 0;
}

// Every element open above depth is treated as a lone start tag: it keeps only its start tag
// and the elements linked under it follow it as siblings under the element at depth.
void CIndexBuilder::EndWithoutEndTags(size_t depth) {
    if (m_open.size() - 1 == depth)
        return;
    const uint32_t parent = m_open[depth];
    for (size_t level = depth + 1; level < m_open.size(); ++level) {
        const uint32_t unended = m_open[level];
        XmlElement& element = m_index[unended];
        element.length = element.startTagLength;
        element.endTagLength = 0;
        element.flags |= XmlElement::kNotEnded;
        CResultEvent(m_report, "unended_start_tag")
            .Text("tagname", NameOf(unended))
            .Number("offset", element.start);

        // The unended element is its parent's last child here, and so are its children.
        const uint32_t first = element.firstChild;
        if (first == 0)
            continue;
        const uint32_t last = element.lastChild;
        for (uint32_t child = first; child != 0; child = m_index[child].nextSibling)
            m_index[child].parent = parent;
        element.nextSibling = first;
        element.firstChild = 0;
        element.lastChild = 0;
        m_index[first].prevSibling = unended;
        m_index[parent].lastChild = last;
    }
    while (m_open.size() - 1 > depth)
        Pop();
    MarkIllFormed(parent);
}

void CIndexBuilder::Push(uint32_t element) {
    m_open.push_back(element);
    if (m_trackingNames)
        ++m_openNames[NameOf(element)];
}

void CIndexBuilder::Pop() {
    const uint32_t element = m_open.back();
    m_open.pop_back();
    if (m_trackingNames) {
        const auto found = m_openNames.find(NameOf(element));
        if (--found->second == 0)
            m_openNames.erase(found);
    }
}

// An ill-formed element makes all its ancestors ill-formed; a marked element's ancestors are
// already marked, so the walk stops there.
void CIndexBuilder::MarkIllFormed(uint32_t element) {
    for (;;) {
        XmlElement& record = m_index[element];
        if (record.flags & XmlElement::kIllFormed)
            return;
        record.flags |= XmlElement::kIllFormed;
        if (element == 0)
            return;
        element = record.parent;
    }
}

void CIndexBuilder::SyntaxError(const char* event, const char* type, size_t offset, size_t length) {
    CResultEvent(m_report, event)
        .Text("type", type)
        .Number("offset", offset)
        .Number("length", length);
    MarkIllFormed(m_open.back());
}

} // namespace

void BuildElementIndex(std::string_view text, CXmlElementIndex& index, std::string& report) {
    CIndexBuilder(text, index, report).Run();
}

} // namespace Velmora
