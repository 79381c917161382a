// Throughput of CXmlDocument against pugixml on a generated 10 MiB skin-like document: parse,
// then visit every element and read every attribute by name, as the skin loaders do.
#include "XmlDocument.h"

#include <pugixml.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr size_t kTargetSize = 10u << 20;
constexpr int kRounds = 5;

struct TagAttributes {
    const char* tag;
    std::vector<const char*> names;
};

// Attribute names per element kind of the generated document.
const TagAttributes kTags[] = {
    {"theme", {"name", "version"}},
    {"window", {}},
    {"item", {"id", "type", "rect", "font", "cursor"}},
    {"property", {"caption", "font", "region", "resize"}},
    {"image", {"id", "image", "state", "mode", "rect"}},
    {"text", {"id", "text", "font", "color", "rect", "align"}},
    {"line", {"id", "rect", "color", "style"}},
    {"surface", {"id", "rect", "color", "border"}},
    {"eventitem", {"id", "event", "rect"}},
};

const std::vector<const char*>& NamesOf(const char* tag) {
    for (const TagAttributes& entry : kTags)
        if (std::strcmp(entry.tag, tag) == 0)
            return entry.names;
    static const std::vector<const char*> none;
    return none;
}

std::string MakeDocument() {
    std::string text = "<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n"
                       "<theme name=\"默认皮肤\" version=\"2\">\r\n<window>\r\n";
    for (int n = 0; text.size() < kTargetSize; ++n) {
        const std::string id = std::to_string(n);
        text += "  <item id=\"dialog." + id + "\" type=\"dialog\" rect=\"0,0,400," + id +
                "\" font=\"default\">\r\n"
                "    <property caption=\"升级 &amp; 更新 " +
                id +
                "\" font=\"title\" region=\"true\"/>\r\n"
                "    <image id=\"bg\" image=\"#back\" state=\"normal|over\" mode=\"stretchboth\" "
                "rect=\"0,0,-0,-0\"/>\r\n"
                "    <text id=\"tips.top\" text=\"&lt;正在检查&gt; &#65;" +
                id +
                "\" font=\"default\" color=\"(0,0,0)\" rect=\"10,10,-10,30\" align=\"left\"/>\r\n"
                "    <line id=\"sep\" rect=\"10,40,-10,41\" color=\"(128,128,128)\" "
                "style=\"dash\"/>\r\n"
                "    <surface id=\"progress.back\" rect=\"10,50,-10,60\" color=\"(200,200,200)\" "
                "border=\"(0,0,0)\"></surface>\r\n"
                "    <eventitem id=\"close\" event=\"LButtonDown\" rect=\"-20,0,-1,20\"/>\r\n"
                "  </item>\r\n";
    }
    text += "</window>\r\n</theme>\r\n";
    return text;
}

struct WalkResult {
    size_t elements = 0;
    size_t attributeBytes = 0;
};

WalkResult WalkOurs(const std::string& text) {
    Velmora::CXmlDocument doc;
    doc.SetDocument(text.c_str());
    WalkResult result;
    for (;;) {
        if (doc.FindElement()) {
            ++result.elements;
            for (const char* name : NamesOf(doc.GetTagName().c_str()))
                result.attributeBytes += doc.GetAttribute(name).size();
            doc.IntoElement();
        } else if (!doc.OutOfElement()) {
            break;
        }
    }
    return result;
}

WalkResult WalkPugi(const std::string& text) {
    pugi::xml_document doc;
    doc.load_buffer(text.data(), text.size());
    WalkResult result;
    pugi::xml_node node = doc.first_child();
    while (node) {
        if (node.type() == pugi::node_element) {
            ++result.elements;
            for (const char* name : NamesOf(node.name()))
                result.attributeBytes += std::strlen(node.attribute(name).value());
            if (node.first_child()) {
                node = node.first_child();
                continue;
            }
        }
        while (node && !node.next_sibling())
            node = node.parent();
        if (node)
            node = node.next_sibling();
    }
    return result;
}

WalkResult ParseOurs(const std::string& text) {
    Velmora::CXmlDocument doc;
    doc.SetDocument(text.c_str());
    return WalkResult();
}

WalkResult ParsePugi(const std::string& text) {
    pugi::xml_document doc;
    doc.load_buffer(text.data(), text.size());
    return WalkResult();
}

template <typename Walk> double BestSeconds(Walk walk, const std::string& text, WalkResult& out) {
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        out = walk(text);
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        best = std::min(best, spent.count());
    }
    return best;
}

} // namespace

int main() {
    const std::string text = MakeDocument();
    const double mib = static_cast<double>(text.size()) / (1 << 20);

    WalkResult ours, pugi, unused;
    const double oursParse = BestSeconds(ParseOurs, text, unused);
    const double pugiParse = BestSeconds(ParsePugi, text, unused);
    const double oursSeconds = BestSeconds(WalkOurs, text, ours);
    const double pugiSeconds = BestSeconds(WalkPugi, text, pugi);

    std::printf("document: %.2f MiB, %u elements, %u attribute bytes read\n", mib,
                static_cast<unsigned>(ours.elements), static_cast<unsigned>(ours.attributeBytes));
    std::printf("parse only:   CXmlDocument %7.1f MiB/s, pugixml %7.1f MiB/s\n", mib / oursParse,
                mib / pugiParse);
    std::printf("parse + walk: CXmlDocument %7.1f MiB/s, pugixml %7.1f MiB/s (best of %d)\n",
                mib / oursSeconds, mib / pugiSeconds, kRounds);
    std::printf("ratio CXmlDocument/pugixml throughput, parse + walk: %.2f (goal >= 0.50)\n",
                pugiSeconds / oursSeconds);
    if (ours.elements != pugi.elements || ours.attributeBytes != pugi.attributeBytes) {
        std::printf("the two readers disagree: %u/%u elements, %u/%u attribute bytes\n",
                    static_cast<unsigned>(ours.elements), static_cast<unsigned>(pugi.elements),
                    static_cast<unsigned>(ours.attributeBytes),
                    static_cast<unsigned>(pugi.attributeBytes));
        return 1;
    }
    return 0;
}
