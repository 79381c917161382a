// MakeManifest: writes "UpdateNew.xml" for a release folder.
//
//   MakeManifest --root <release folder> --base-url <http://server/path>
//                [--out <file>] [--register <relative path>]...
//                [--windows-dir <relative path>]... [--system-dir <relative path>]...
//
// Relative paths use '/' and name files below the root. The output defaults
// to <root>/UpdateNew.xml, which is itself left out of the manifest.
#include "ManifestWriter.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

int Usage() {
    std::cerr << "usage: MakeManifest --root DIR --base-url URL [--out FILE]\n"
                 "                    [--register REL]... [--windows-dir REL]... "
                 "[--system-dir REL]...\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    ManifestOptions options;
    fs::path out;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (i + 1 >= argc)
            return Usage();
        const std::string value = argv[++i];
        if (flag == "--root")
            options.root = fs::u8path(value);
        else if (flag == "--base-url")
            options.baseUrl = value;
        else if (flag == "--out")
            out = fs::u8path(value);
        else if (flag == "--register")
            options.registered.insert(value);
        else if (flag == "--windows-dir")
            options.windowsFolder.insert(value);
        else if (flag == "--system-dir")
            options.systemFolder.insert(value);
        else
            return Usage();
    }
    if (options.root.empty() || options.baseUrl.empty())
        return Usage();
    if (out.empty())
        out = options.root / "UpdateNew.xml";

    std::error_code error;
    const fs::path outAbsolute = fs::weakly_canonical(out, error);
    const fs::path rootAbsolute = fs::weakly_canonical(options.root, error);
    const fs::path inside = outAbsolute.lexically_relative(rootAbsolute);
    if (!inside.empty() && *inside.begin() != "..")
        options.excluded.insert(inside.generic_u8string());

    try {
        const std::vector<ManifestEntry> entries = CollectEntries(options);
        const std::string xml = WriteManifest(entries, options.baseUrl);
        std::ofstream file(out, std::ios::binary | std::ios::trunc);
        if (!file.write(xml.data(), static_cast<std::streamsize>(xml.size())))
            throw std::runtime_error("cannot write " + out.u8string());
        std::cout << entries.size() << " files in " << out.u8string() << "\n";
    } catch (const std::exception& failure) {
        std::cerr << "MakeManifest: " << failure.what() << "\n";
        return 1;
    }
    return 0;
}
