#include "XmlTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <windows.h>

namespace XmlTest {

std::string DumpTree(Velmora::CXmlDocument& doc, const std::vector<const char*>& attributes,
                     size_t maxElements) {
    std::string out;
    size_t depth = 0;
    size_t count = 0;
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

size_t CountElements(Velmora::CXmlDocument& doc, size_t maxElements) {
    size_t count = 0;
    for (;;) {
        if (doc.FindElement()) {
            if (++count > maxElements)
                break;
            doc.IntoElement();
        } else if (!doc.OutOfElement()) {
            break;
        }
    }
    return count;
}

std::string WriteFixture(const std::string& name, const std::string& bytes) {
    std::string folder = "Z:" TEST_BINARY_DIR "/data";
    for (char& c : folder)
        if (c == '/')
            c = '\\';
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "\\" + name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    EXPECT_TRUE(file.good()) << path;
    return path;
}

} // namespace XmlTest
