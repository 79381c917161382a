// Base of the skin's shared GDI resources (fonts, cursors, images): the id a
// description names it by and the handle it owns.
#pragma once

#include <windows.h>

#include <string>

namespace Velmora {

class GDIObject {
  public:
    GDIObject() = default;
    GDIObject(const GDIObject&) = delete;
    GDIObject& operator=(const GDIObject&) = delete;
    virtual ~GDIObject() = default;

    // Gives up what the object created; the object stays usable.
    virtual void Release() = 0;

    const std::string& GetId() const { return m_id; }
    void SetId(std::string id) { m_id = std::move(id); }
    HANDLE GetHandle() const { return m_handle; }

  protected:
    std::string m_id;
    HANDLE m_handle = nullptr;
};

} // namespace Velmora
