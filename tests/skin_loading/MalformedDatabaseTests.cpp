// Damaged and hostile skin databases: each is refused without reading outside
// its buffer and leaves what was loaded before untouched.
#include "SkinLoadingSupport.h"

#include "SkinDatabase.h"
#include "SkinFiles.h"

using namespace Velmora;

namespace {

// Writes a little-endian 32-bit word over four bytes of a database.
void PutWord(std::string& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string WithHeader(std::string database, uint32_t unpackedSize, uint32_t indexLength) {
    PutWord(database, 0, unpackedSize);
    PutWord(database, 4, indexLength);
    return database;
}

std::string OneItemDatabase(const std::string& name, const std::string& size,
                            const std::string& data) {
    const std::string index = "<file><item name=\"keep.png\" size=\"1\"/><item name=\"" + name +
                              "\" size=\"" + size + "\"/></file>";
    return CompressSkinDatabase(index + "P" + data, static_cast<uint32_t>(index.size()));
}

} // namespace

TEST_F(SkinLoadingTest, EveryDamagedDatabaseIsRefusedAndChangesNothing) {
    const std::string old = BuildSkinDatabase({{"old.xml", MakeDescription({{"old", "a.bmp"}})},
                                               {"old\\a.bmp", PictureBytes("red-2x2.bmp")}});
    ASSERT_EQ(Manager().LoadSkinFromSkinDBFileBuf(old.data(), old.size()), 1);
    auto expectOnlyTheEarlierSkin = [] {
        EXPECT_EQ(EntryNames(), (std::vector<std::string>{"old.xml", "old\\a.bmp"}));
        EXPECT_EQ(Manager().Images().Size(), 1u);
        EXPECT_EQ(LoadedImageColor("old"), kRed);
    };

    const std::vector<PackEntry> entries = {{"new.xml", MakeDescription({{"new", "a.bmp"}})},
                                            {"new\\a.bmp", PictureBytes("green-2x2.bmp")}};
    const std::string valid = BuildSkinDatabase(entries);
    const uint32_t indexLength = static_cast<uint32_t>(MakeSkinIndex(entries).size());
    const uint32_t unpackedSize =
        indexLength + static_cast<uint32_t>(entries[0].bytes.size() + entries[1].bytes.size());
    std::string flipped = valid;
    flipped[valid.size() / 2] ^= 0x5A;
    std::vector<std::pair<const char*, std::string>> cases = {
        {"header only", valid.substr(0, kSkinDatabaseHeaderSize)},
        {"index longer than the data", WithHeader(valid, unpackedSize, unpackedSize + 1)},
        {"unpacked size one more than the data", WithHeader(valid, unpackedSize + 1, indexLength)},
        {"unpacked size one less than the data", WithHeader(valid, unpackedSize - 1, indexLength)},
        {"unpacked size over the cap", WithHeader(valid, kMaxSkinUnpackedSize + 1, indexLength)},
        {"unpacked size 4 GiB", WithHeader(valid, 0xFFFFFFFF, indexLength)},
        {"truncated stream", valid.substr(0, valid.size() - 5)},
        {"damaged stream", flipped},
        {"not zlib at all", WithHeader(std::string(64, 'x'), 10, 0)},
        {"item past the end", OneItemDatabase("late.bmp", "4", "abc")},
        {"unknown item past the end", OneItemDatabase("late.txt", "4", "abc")},
        {"huge item size", OneItemDatabase("late.bmp", "4294967295", "abc")},
        {"size over 32 bits", OneItemDatabase("late.bmp", "4294967299", "abc")},
        {"negative size", OneItemDatabase("late.bmp", "-1", "abc")},
        {"size not a number", OneItemDatabase("late.bmp", "three", "abc")},
        {"size with trailing text", OneItemDatabase("late.bmp", "3x", "abc")},
        {"empty size", OneItemDatabase("late.bmp", "", "abc")},
        {"name of 260 characters", OneItemDatabase(std::string(256, 'n') + ".bmp", "3", "abc")},
    };
    for (size_t length = 0; length < kSkinDatabaseHeaderSize; ++length)
        cases.push_back({"shorter than the header", valid.substr(0, length)});
    for (const auto& [what, database] : cases) {
        SCOPED_TRACE(what);
        // A copy of exactly its size, so that a read past the end can be caught.
        std::vector<char> buffer(database.begin(), database.end());
        EXPECT_EQ(Manager().LoadSkinFromSkinDBFileBuf(buffer.data(), buffer.size()), 0);
        expectOnlyTheEarlierSkin();
    }
    EXPECT_EQ(Manager().LoadSkinFromSkinDBFileBuf(nullptr, 0), 0);

    // Entries ending exactly at the data and the longest names are accepted.
    const std::string name = std::string(255, 'n') + ".bmp";
    const std::string database = OneItemDatabase(name, "3", "abc");
    ASSERT_EQ(Manager().LoadSkinFromSkinDBFileBuf(database.data(), database.size()), 1);
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"old.xml", "old\\a.bmp", "keep.png", name}));
}
