// Helpers shared by the XML reader tests: whole-tree walks and fixture files.
#pragma once

#include "UiProbe.h"
#include "XmlDocument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>
#include <windows.h>

namespace XmlTest {

// Walks every element the way the skin loaders do (FindElement, IntoElement, OutOfElement),
// one line per element: indentation, tag name and the listed attributes that are present.
// Stops after maxElements elements.
inline std::string DumpTree(Velmora::CXmlDocument& doc, const std::vector<const char*>& attributes,
                            size_t maxElements = 1000000) {
    std::string out;
    size_t depth = 0, count = 0;
    for (;;) {
        if (doc.FindElement()) {
            if (++count > maxElements)
                break;
            out.append(depth * 2, ' ');
            out += doc.GetTagName();
            for (const char* name : attributes) {
                const std::string value = doc.GetAttribute(name);
                if (!value.empty())
                    out += std::string(" ") + name + "=" + value;
            }
            out += '\n';
            doc.IntoElement();
            ++depth;
        } else if (doc.OutOfElement()) {
            --depth;
        } else {
            break;
        }
    }
    return out;
}

// Number of elements reached by the same walk, at most maxElements.
inline size_t CountElements(Velmora::CXmlDocument& doc, size_t maxElements = 10000000) {
    const std::string tree = DumpTree(doc, {}, maxElements);
    return static_cast<size_t>(std::count(tree.begin(), tree.end(), '\n'));
}

inline bool ReportHas(const Velmora::CXmlDocument& doc, const std::string& fragment) {
    return doc.GetResult().find(fragment) != std::string::npos;
}

// The bytes of a committed file in tests/xml/fixtures; empty when there is none.
inline std::string ReadSourceFixture(const std::string& name) {
    return ReadFileBytes("Z:" TEST_SOURCE_DIR "/fixtures/" + name);
}

// Writes bytes to a file below the test's build folder; returns its Windows path.
inline std::string WriteFixture(const std::string& name, const std::string& bytes) {
    const std::string folder = ToWinePath(TEST_BINARY_DIR "/data");
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "\\" + name;
    EXPECT_TRUE(WriteFileBytes(path, bytes)) << path;
    return path;
}

} // namespace XmlTest
