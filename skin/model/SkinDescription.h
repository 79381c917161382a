// Reading of one skin description document into a skin's resource lists and
// window description registries.
#pragma once

#include "SkinStore.h"
#include "XmlDocument.h"

namespace Velmora {

// Reads the "theme" of a document that already holds its text into skin. Exactly one of
// resourceFolder (folder skins) and resourcePrefix (entry-name prefix in the
// loaded skin database) is non-empty. Returns 1 when the whole document was
// read (a document without "theme" included), 0 when a window item had an
// unknown type; the window items before it stay registered.
int ParseSkinDescription(ISkinStore& skin, CXmlDocument& document, const char* resourceFolder,
                         const char* resourcePrefix);

} // namespace Velmora
