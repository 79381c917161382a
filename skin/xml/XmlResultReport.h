// Writes one event of a CXmlDocument result report: an empty element named by the event
// with the attributes that apply, e.g. <lone_end_tag tagname="b" offset="12"/>.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Velmora {

class CResultEvent {
  public:
    CResultEvent(std::string& report, const char* name);
    ~CResultEvent();
    CResultEvent(const CResultEvent&) = delete;
    CResultEvent& operator=(const CResultEvent&) = delete;

    CResultEvent& Text(const char* attribute, std::string_view value);
    CResultEvent& Number(const char* attribute, size_t value);

  private:
    std::string& m_report;
};

} // namespace Velmora
