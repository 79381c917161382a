#include "XmlText.h"

#include "XmlCodePage.h"
#include "XmlEntities.h"
#include "XmlCharacters.h"

#include <algorithm>

namespace Velmora {
namespace {

// References longer than this many characters between "&" and ";" are not decoded.
constexpr size_t kMaxReferenceLength = 9;

int DigitValue(char c, unsigned base) {
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
}

// Code point named by the text between "&" and ";", 0 when it names none.
uint32_t ReferenceCodePoint(std::string_view reference) {
    if (reference.empty() || reference[0] != '#')
        return LookupEntity(reference.data(), reference.size());
    unsigned base = 10;
    size_t digits = 1;
    if (reference.size() > 1 && (reference[1] == 'x' || reference[1] == 'X')) {
        base = 16;
        digits = 2;
    }
    if (digits == reference.size())
        return 0;
    // At most 8 digits fit in the reference, so the value cannot overflow.
    uint32_t codePoint = 0;
    for (; digits < reference.size(); ++digits) {
        const int digit = DigitValue(reference[digits], base);
        if (digit < 0)
            return 0;
        codePoint = codePoint * base + static_cast<uint32_t>(digit);
    }
    return codePoint;
}

} // namespace

void ReadAttributes(std::string_view tagText, std::vector<XmlAttribute>& attributes) {
    attributes.clear();
    // Plain pointer loops: values are short, so a library search per value costs more than
    // it saves.
    const char* pos = tagText.data();
    const char* const end = pos + tagText.size();
    while (pos < end) {
        if (IsXmlNameEnd(*pos)) {
            // Blanks, a stray quote or "=", the "/" of an empty tag, the "?" of an instruction.
            ++pos;
            continue;
        }
        const char* const nameStart = pos;
        while (pos < end && !IsXmlNameEnd(*pos))
            ++pos;
        const std::string_view name(nameStart, static_cast<size_t>(pos - nameStart));
        while (pos < end && IsXmlSpace(*pos))
            ++pos;
        const char* valueStart = pos;
        const char* valueEnd = pos;
        if (pos < end && *pos == '=') {
            ++pos;
            while (pos < end && IsXmlSpace(*pos))
                ++pos;
            if (pos < end && (*pos == '"' || *pos == '\'')) {
                const char quote = *pos++;
                valueStart = pos;
                while (pos < end && *pos != quote)
                    ++pos;
                valueEnd = pos;
                if (pos < end)
                    ++pos;
            } else {
                valueStart = pos;
                while (pos < end && !IsXmlSpace(*pos))
                    ++pos;
                valueEnd = pos;
                // The "/" of an empty-element tag is not part of an unquoted last value.
                if (valueEnd == end && valueEnd > valueStart && valueEnd[-1] == '/')
                    --valueEnd;
            }
        }
        attributes.push_back(
            {name, std::string_view(valueStart, static_cast<size_t>(valueEnd - valueStart))});
    }
}

const XmlAttribute* FindAttribute(const std::vector<XmlAttribute>& attributes,
                                  std::string_view name) {
    for (const XmlAttribute& attribute : attributes) {
        if (attribute.name.size() != name.size())
            continue;
        size_t same = 0;
        while (same < name.size() && attribute.name[same] == name[same])
            ++same;
        if (same == name.size())
            return &attribute;
    }
    return nullptr;
}

std::string DecodeReferences(std::string_view text) {
    const auto findAmpersand = [text](size_t from) {
        const size_t found =
            static_cast<size_t>(std::find(text.begin() + from, text.end(), '&') - text.begin());
        return found == text.size() ? std::string_view::npos : found;
    };
    size_t ampersand = findAmpersand(0);
    if (ampersand == std::string_view::npos)
        return std::string(text);

    std::string decoded;
    decoded.reserve(text.size());
    size_t copied = 0;
    while (ampersand != std::string_view::npos) {
        decoded.append(text.data() + copied, ampersand - copied);
        copied = ampersand + 1;
        // A ";" right after the longest name still ends the reference.
        const size_t limit = std::min(text.size(), ampersand + kMaxReferenceLength + 2);
        size_t semicolon = std::string_view::npos;
        for (size_t pos = ampersand + 1; pos < limit; ++pos) {
            const unsigned char c = static_cast<unsigned char>(text[pos]);
            if (c == ';') {
                semicolon = pos;
                break;
            }
            if (c >= 128)
                break;
        }
        bool replaced = false;
        if (semicolon != std::string_view::npos) {
            const uint32_t codePoint =
                ReferenceCodePoint(text.substr(ampersand + 1, semicolon - ampersand - 1));
            replaced = codePoint != 0 && AppendCodePointAsAnsi(codePoint, decoded);
        }
        if (replaced)
            copied = semicolon + 1;
        else
            decoded += '&';
        ampersand = findAmpersand(copied);
    }
    decoded.append(text.data() + copied, text.size() - copied);
    return decoded;
}

} // namespace Velmora
