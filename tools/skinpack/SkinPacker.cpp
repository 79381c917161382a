#include "SkinPacker.h"

#include "SkinDatabase.h"
#include "SkinEntry.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace Velmora {

namespace {

std::string EscapeAttribute(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string DecodeAttribute(const std::string& text) {
    static const struct {
        const char* entity;
        char character;
    } kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string decoded;
    for (size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& known : kEntities) {
            if (text.compare(i, std::char_traits<char>::length(known.entity), known.entity) == 0) {
                decoded += known.character;
                i += std::char_traits<char>::length(known.entity);
                replaced = true;
                break;
            }
        }
        if (!replaced)
            decoded += text[i++];
    }
    return decoded;
}

bool IsNameEnd(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '>';
}

// Position just after "<tag" at or after from, or npos.
size_t FindStartTag(const std::string& text, const char* tag, size_t from) {
    const std::string open = std::string("<") + tag;
    for (size_t at = text.find(open, from); at != std::string::npos; at = text.find(open, at + 1)) {
        const size_t end = at + open.size();
        if (end < text.size() && IsNameEnd(text[end]))
            return end;
    }
    return std::string::npos;
}

// The attributes of the tag starting at from, up to its ">".
std::vector<std::pair<std::string, std::string>> ReadAttributes(const std::string& text,
                                                                size_t from) {
    std::vector<std::pair<std::string, std::string>> attributes;
    size_t i = from;
    while (i < text.size() && text[i] != '>') {
        const size_t nameStart = text.find_first_not_of(" \t\r\n/", i);
        if (nameStart == std::string::npos || text[nameStart] == '>')
            break;
        const size_t equals = text.find('=', nameStart);
        if (equals == std::string::npos)
            break;
        const size_t quote = text.find_first_of("\"'", equals);
        if (quote == std::string::npos)
            break;
        const size_t close = text.find(text[quote], quote + 1);
        if (close == std::string::npos)
            break;
        std::string name = text.substr(nameStart, equals - nameStart);
        name.erase(name.find_last_not_of(" \t\r\n") + 1);
        attributes.emplace_back(name, DecodeAttribute(text.substr(quote + 1, close - quote - 1)));
        i = close + 1;
    }
    return attributes;
}

// Items of an index in the form MakeSkinIndex writes (attributes in any order).
std::vector<SkinIndexItem> ParseSkinIndex(const std::string& index) {
    std::vector<SkinIndexItem> items;
    const size_t root = FindStartTag(index, "file", 0);
    if (root == std::string::npos)
        return items;
    for (size_t at = FindStartTag(index, "item", root); at != std::string::npos;
         at = FindStartTag(index, "item", at)) {
        SkinIndexItem item;
        for (const auto& [name, value] : ReadAttributes(index, at)) {
            if (name == "name")
                item.name = value;
            else if (name == "size")
                item.size = value;
        }
        items.push_back(std::move(item));
    }
    return items;
}

std::string ToEntryName(const fs::path& relative) {
    std::string name;
    for (const fs::path& part : relative) {
        if (!name.empty())
            name += '\\';
        name += part.string();
    }
    return name;
}

} // namespace

std::string MakeSkinIndex(const std::vector<PackEntry>& entries) {
    std::string index = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<file>\r\n";
    for (const PackEntry& entry : entries) {
        index += "<item name=\"" + EscapeAttribute(entry.name) + "\" size=\"" +
                 std::to_string(entry.bytes.size()) + "\"/>\r\n";
    }
    index += "</file>\r\n";
    return index;
}

std::string CompressSkinDatabase(const std::string& unpacked, uint32_t indexLength) {
    uLongf compressedSize = compressBound(static_cast<uLong>(unpacked.size()));
    std::string database(kSkinDatabaseHeaderSize + compressedSize, '\0');
    compress2(reinterpret_cast<Bytef*>(&database[kSkinDatabaseHeaderSize]), &compressedSize,
              reinterpret_cast<const Bytef*>(unpacked.data()), static_cast<uLong>(unpacked.size()),
              Z_BEST_COMPRESSION);
    database.resize(kSkinDatabaseHeaderSize + compressedSize);
    const uint32_t fields[2] = {static_cast<uint32_t>(unpacked.size()), indexLength};
    for (int field = 0; field < 2; ++field) {
        for (int byte = 0; byte < 4; ++byte)
            database[field * 4 + byte] = static_cast<char>((fields[field] >> (8 * byte)) & 0xFF);
    }
    return database;
}

std::string BuildSkinDatabase(const std::vector<PackEntry>& entries) {
    std::string unpacked = MakeSkinIndex(entries);
    const uint32_t indexLength = static_cast<uint32_t>(unpacked.size());
    for (const PackEntry& entry : entries)
        unpacked += entry.bytes;
    return CompressSkinDatabase(unpacked, indexLength);
}

bool CollectSkinFolder(const std::string& folder, std::vector<PackEntry>& entries,
                       std::vector<std::string>& skipped, std::string& error) {
    std::error_code failure;
    std::vector<fs::path> descriptions;
    for (fs::directory_iterator it(folder, failure), end; !failure && it != end;
         it.increment(failure)) {
        if (it->is_regular_file() && EntryKindOfName(it->path().filename().string()) == ENTRY_XML)
            descriptions.push_back(it->path());
    }
    if (failure) {
        error = "cannot read folder " + folder + ": " + failure.message();
        return false;
    }
    std::sort(descriptions.begin(), descriptions.end());

    uint64_t total = 0;
    auto add = [&](const std::string& name, const fs::path& path) {
        if (name.size() > kMaxSkinNameLength) {
            error = "entry name longer than 259 characters: " + name;
            return false;
        }
        PackEntry entry{name, std::string()};
        if (!ReadWholeFile(path.string(), entry.bytes)) {
            error = "cannot read " + path.string();
            return false;
        }
        total += entry.bytes.size();
        entries.push_back(std::move(entry));
        return true;
    };

    for (const fs::path& description : descriptions) {
        if (!add(description.filename().string(), description))
            return false;
        const fs::path resourceFolder = description.parent_path() / description.stem();
        if (!fs::is_directory(resourceFolder, failure))
            continue;
        std::vector<fs::path> resources;
        for (fs::recursive_directory_iterator it(resourceFolder, failure), end;
             !failure && it != end; it.increment(failure)) {
            if (it->is_regular_file())
                resources.push_back(it->path());
        }
        if (failure) {
            error = "cannot read folder " + resourceFolder.string() + ": " + failure.message();
            return false;
        }
        std::sort(resources.begin(), resources.end());
        for (const fs::path& resource : resources) {
            const std::string name =
                ToEntryName(description.stem() / resource.lexically_relative(resourceFolder));
            if (EntryKindOfName(name) == ENTRY_UNKNOWN) {
                skipped.push_back(name);
                continue;
            }
            if (!add(name, resource))
                return false;
        }
    }
    if (total + MakeSkinIndex(entries).size() > kMaxSkinUnpackedSize) {
        error = "the skin is larger than the 256 MiB a database may hold";
        return false;
    }
    return true;
}

bool ReadSkinDatabase(const std::string& database, std::vector<PackEntry>& entries,
                      std::string& error) {
    SkinDatabaseContent content;
    if (!InflateSkinDatabase(reinterpret_cast<const uint8_t*>(database.data()), database.size(),
                             content)) {
        error = "damaged database: bad header or compressed data";
        return false;
    }
    const std::string index(reinterpret_cast<const char*>(content.unpacked.get()),
                            content.indexLength);
    std::vector<SkinEntrySpan> spans;
    if (!LayOutSkinEntries(ParseSkinIndex(index), content.unpackedSize, content.indexLength,
                           spans)) {
        error = "damaged database: the index does not fit the data";
        return false;
    }
    entries.clear();
    for (const SkinEntrySpan& span : spans) {
        entries.push_back({span.name, std::string(reinterpret_cast<const char*>(
                                                      content.unpacked.get() + span.offset),
                                                  span.size)});
    }
    return true;
}

bool IsSafeEntryName(const std::string& name) {
    if (name.empty() || name.size() > kMaxSkinNameLength || name.find(':') != std::string::npos)
        return false;
    if (name.front() == '\\' || name.front() == '/')
        return false;
    size_t start = 0;
    while (start <= name.size()) {
        const size_t end = std::min(name.find_first_of("\\/", start), name.size());
        const std::string part = name.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        start = end + 1;
    }
    return true;
}

bool UnpackSkinEntries(const std::vector<PackEntry>& entries, const std::string& folder,
                       std::string& error) {
    for (const PackEntry& entry : entries) {
        if (!IsSafeEntryName(entry.name)) {
            error = "refusing entry name outside the folder: " + entry.name;
            return false;
        }
    }
    for (const PackEntry& entry : entries) {
        fs::path path(folder);
        size_t start = 0;
        while (start <= entry.name.size()) {
            const size_t end = std::min(entry.name.find_first_of("\\/", start), entry.name.size());
            path /= entry.name.substr(start, end - start);
            start = end + 1;
        }
        std::error_code failure;
        fs::create_directories(path.parent_path(), failure);
        if (failure || !WriteWholeFile(path.string(), entry.bytes)) {
            error = "cannot write " + path.string();
            return false;
        }
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > uint64_t(kMaxSkinUnpackedSize) + (1u << 20))
        return false;
    file.seekg(0, std::ios::beg);
    bytes.assign(static_cast<size_t>(size), '\0');
    return static_cast<bool>(file.read(bytes.data(), size));
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    return file && file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace Velmora
