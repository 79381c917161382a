#include "XmlText.h"

#include "XmlCodePage.h"
#include "XmlEntities.h"
#include "XmlIndexBuilder.h"

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

bool FindAttributeValue(std::string_view tagText, std::string_view name, std::string_view& value) {
    const size_t size = tagText.size();
    size_t pos = 0;
    while (pos < size) {
        if (IsXmlNameEnd(tagText[pos])) {
            // Blanks, a stray quote or "=", the "/" of an empty tag, the "?" of an instruction.
            ++pos;
            continue;
        }
        const size_t nameStart = pos;
        while (pos < size && !IsXmlNameEnd(tagText[pos]))
            ++pos;
        const std::string_view attribute = tagText.substr(nameStart, pos - nameStart);
        while (pos < size && IsXmlSpace(tagText[pos]))
            ++pos;
        std::string_view found;
        if (pos < size && tagText[pos] == '=') {
            ++pos;
            while (pos < size && IsXmlSpace(tagText[pos]))
                ++pos;
            if (pos < size && (tagText[pos] == '"' || tagText[pos] == '\'')) {
                const char quote = tagText[pos++];
                size_t close = tagText.find(quote, pos);
                if (close == std::string_view::npos)
                    close = size;
                found = tagText.substr(pos, close - pos);
                pos = close + 1;
            } else {
                const size_t valueStart = pos;
                while (pos < size && !IsXmlSpace(tagText[pos]))
                    ++pos;
                size_t valueEnd = pos;
                // The "/" of an empty-element tag is not part of an unquoted last value.
                if (valueEnd == size && valueEnd > valueStart && tagText[valueEnd - 1] == '/')
                    --valueEnd;
                found = tagText.substr(valueStart, valueEnd - valueStart);
            }
        }
        if (attribute == name) {
            value = found;
            return true;
        }
    }
    return false;
}

std::string DecodeReferences(std::string_view text) {
    size_t ampersand = text.find('&');
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
        ampersand = text.find('&', copied);
    }
    decoded.append(text.data() + copied, text.size() - copied);
    return decoded;
}

} // namespace Velmora
