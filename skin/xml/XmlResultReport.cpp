#include "XmlResultReport.h"

#include <cstdio>

namespace Velmora {

CResultEvent::CResultEvent(std::string& report, const char* name) : m_report(report) {
    m_report += '<';
    m_report += name;
}

CResultEvent::~CResultEvent() {
    m_report += "/>";
}

CResultEvent& CResultEvent::Text(const char* attribute, std::string_view value) {
    m_report += ' ';
    m_report += attribute;
    m_report += "=\"";
    for (char c : value) {
        switch (c) {
        case '&':
            m_report += "&amp;";
            break;
        case '<':
            m_report += "&lt;";
            break;
        case '"':
            m_report += "&quot;";
            break;
        default:
            m_report += c;
        }
    }
    m_report += '"';
    return *this;
}

CResultEvent& CResultEvent::Number(const char* attribute, size_t value) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", static_cast<int>(value));
    return Text(attribute, digits);
}

} // namespace Velmora
