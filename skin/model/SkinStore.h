// Where the description reader puts what it reads of a skin, and where it
// finds the bytes of a skin database's entries.
#pragma once

#include "DescriptionRegistry.h"
#include "GDICursor.h"
#include "GDIFont.h"
#include "GDIImage.h"
#include "ResourceList.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace Velmora {

// One entry of a loaded skin database as the reader uses it.
struct SkinEntryData {
    const uint8_t* bytes = nullptr;
    size_t size = 0;
    // The image layer's format id (PixFormat) its name's ending gives.
    uint32_t imageFormat = 0;
};

class ISkinStore {
  public:
    virtual ResourceList<GDIFont>& Fonts() = 0;
    virtual ResourceList<GDICursor>& Cursors() = 0;
    virtual ResourceList<GDIImage>& Images() = 0;
    virtual DescriptionRegistry& Descriptions(DescriptionType type) = 0;
    // The entry of that name (case of ASCII letters ignored); false when the
    // loaded databases have none.
    virtual bool FindEntry(const std::string& name, SkinEntryData& entry) const = 0;

  protected:
    ~ISkinStore() = default;
};

} // namespace Velmora
