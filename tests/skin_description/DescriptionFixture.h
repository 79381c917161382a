// Shared fixture of the skin description tests: parses inline documents into a
// fresh manager and finds the records they registered.
#pragma once

#include "Manager.h"
#include "SkinDescription.h"
#include "XmlDocument.h"

#include <gtest/gtest.h>

namespace Velmora {

class SkinDescriptionFixture : public ::testing::Test {
  protected:
    void TearDown() override { CManager::Destroy(); }

    static CManager* Manager() { return CManager::Instance(); }

    // Database skins are the default: resources are entries under "skin".
    static int Parse(const char* text, const char* resourceFolder = "",
                     const char* resourcePrefix = "skin") {
        CXmlDocument document;
        document.SetDocument(text);
        return ParseSkinDescription(document, resourceFolder, resourcePrefix);
    }

    template <class Info> static Info* Find(DescriptionType type, const char* id) {
        return dynamic_cast<Info*>(Manager()->FindDescription(type, id));
    }
};

} // namespace Velmora
