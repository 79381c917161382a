// libFuzzer entry for the native sanitizer build: parses the input as a document (or, by the
// first byte, loads it as a file), then walks it with every call the skin loaders use.
#include "XmlDocument.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

void Walk(Velmora::CXmlDocument& doc, const std::string& input) {
    // Names taken from the input itself make matching tag and attribute names likely.
    const std::string probe = input.substr(input.size() / 2, 6);
    const char* const names[] = {"id", "a", "v", "t", "", probe.c_str()};
    size_t steps = 0;
    for (;;) {
        if (++steps > 4 * input.size() + 16)
            __builtin_trap(); // the walk must end
        if (doc.FindElement()) {
            doc.GetTagName();
            for (const char* name : names)
                doc.GetAttribute(name);
            doc.IntoElement();
        } else if (!doc.OutOfElement()) {
            break;
        }
    }
    doc.ResetMainPosition();
    for (const char* name : names)
        doc.FindElement(name);
    doc.IsWellFormed();
    doc.GetResult();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    Velmora::CXmlDocument doc;
    if (data[0] & 1) {
        static const std::string path = "fuzz_input_" + std::to_string(getpid()) + ".xml";
        if (FILE* file = std::fopen(path.c_str(), "wb")) {
            std::fwrite(input.data(), 1, input.size(), file);
            std::fclose(file);
            doc.LoadFile(path.c_str());
        }
    } else {
        doc.SetDocument(input.c_str());
    }
    Walk(doc, input);
    return 0;
}
