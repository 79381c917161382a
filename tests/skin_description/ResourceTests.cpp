// Cursors and images of a description, read from files in a folder and from
// entries of a loaded skin database.
#include "DescriptionFixture.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace Velmora {
namespace {

using Bytes = std::vector<uint8_t>;

void PutU16(Bytes& bytes, uint32_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(Bytes& bytes, uint32_t value) {
    PutU16(bytes, value & 0xFFFF);
    PutU16(bytes, value >> 16);
}

void PutInfoHeader(Bytes& bytes, int32_t width, int32_t height, uint16_t bitCount,
                   uint32_t imageSize) {
    PutU32(bytes, 40);
    PutU32(bytes, static_cast<uint32_t>(width));
    PutU32(bytes, static_cast<uint32_t>(height));
    PutU16(bytes, 1);
    PutU16(bytes, bitCount);
    PutU32(bytes, 0);
    PutU32(bytes, imageSize);
    for (int i = 0; i < 4; ++i)
        PutU32(bytes, 0);
}

// A 24-bit picture of one colour.
Bytes MakeBmp(int32_t width, int32_t height) {
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * static_cast<uint32_t>(height);
    Bytes bytes{'B', 'M'};
    PutU32(bytes, 54 + imageSize);
    PutU32(bytes, 0);
    PutU32(bytes, 54);
    PutInfoHeader(bytes, width, height, 24, imageSize);
    bytes.resize(bytes.size() + imageSize, 0x80);
    return bytes;
}

// A 32 x 32 monochrome cursor with the given hot spot.
Bytes MakeCursor(uint16_t hotX, uint16_t hotY) {
    Bytes bytes;
    PutU16(bytes, 0);
    PutU16(bytes, 2);
    PutU16(bytes, 1);
    bytes.push_back(32);
    bytes.push_back(32);
    bytes.push_back(0);
    bytes.push_back(0);
    PutU16(bytes, hotX);
    PutU16(bytes, hotY);
    PutU32(bytes, 40 + 8 + 128 + 128);
    PutU32(bytes, 22);
    PutInfoHeader(bytes, 32, 64, 1, 256);
    PutU32(bytes, 0x000000);
    PutU32(bytes, 0xFFFFFF);
    // XOR mask: black; AND mask: the top half opaque, the rest transparent.
    bytes.resize(bytes.size() + 128, 0x00);
    for (int row = 0; row < 32; ++row) // stored bottom-up
        bytes.resize(bytes.size() + 4, row < 16 ? 0xFF : 0x00);
    return bytes;
}

POINT HotSpot(const GDICursor* cursor) {
    ICONINFO info{};
    if (!cursor || !GetIconInfo(cursor->GetCursor(), &info))
        return POINT{-1, -1};
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return POINT{static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
}

std::vector<std::string> ImageIds() {
    std::vector<std::string> ids;
    for (const auto& image : CManager::Instance()->Images().Items())
        ids.push_back(image->GetId());
    return ids;
}

class ResourceItems : public SkinDescriptionFixture {
  protected:
    // A folder of its own per test, as Wine sees it.
    static std::string Folder() {
        std::string path = std::string("Z:") + TEST_BINARY_DIR + "/resources_" +
                           ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : path)
            c = c == '/' ? '\\' : c;
        CreateDirectoryA(path.c_str(), nullptr);
        return path;
    }

    static void WriteFile(const std::string& folder, const char* name, const Bytes& bytes) {
        std::ofstream file(folder + "\\" + name, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(file.good()) << name;
    }

    static void AddEntry(const std::string& name, const Bytes& bytes) {
        auto entry = std::make_unique<SkinEntry>();
        entry->data = std::make_unique<uint8_t[]>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), entry->data.get());
        entry->size = bytes.size();
        entry->name = name;
        entry->kind = EntryKindOfName(name);
        Manager()->AddSkinEntry(std::move(entry));
    }
};

const char kImageDocument[] = R"xml(<theme>
    <image>
        <item id="bg" file="bg.bmp" adjust="false" transparentcolor="(255,0,300)"/>
        <item id="small" file="small.bmp" adjust="FALSE"/>
        <item id="bg" file="small.bmp"/>
        <item id="broken" file="broken.bmp"/>
        <item id="missing" file="nothere.bmp"/>
        <item id="after" file="small.bmp" transparentcolor=""/>
    </image>
    <cursor>
        <item id="arrow" file="arrow.cur"/>
        <item id="nocursor" file="nothere.cur"/>
        <item id="badcursor" file="broken.bmp"/>
    </cursor>
</theme>)xml";

void ExpectImagesOfTheDocument() {
    EXPECT_EQ(ImageIds(), (std::vector<std::string>{"bg", "small", "after"}));
    GDIImage* bg = CManager::Instance()->FindImage("bg");
    ASSERT_NE(bg, nullptr);
    EXPECT_EQ(bg->GetWidth(), 4) << "the first definition wins";
    EXPECT_EQ(bg->GetHeight(), 3);
    EXPECT_FALSE(bg->GetAdjust());
    EXPECT_EQ(bg->GetTransparentColor(), 0x2C00FFu);
    GDIImage* small = CManager::Instance()->FindImage("small");
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->GetWidth(), 2);
    EXPECT_TRUE(small->GetAdjust());
    EXPECT_EQ(small->GetTransparentColor(), kNoColor);
    EXPECT_EQ(CManager::Instance()->FindImage("after")->GetTransparentColor(), kNoColor);

    ASSERT_EQ(CManager::Instance()->Cursors().Size(), 1u);
    const POINT hotSpot = HotSpot(CManager::Instance()->FindCursor("arrow"));
    EXPECT_EQ(hotSpot.x, 5);
    EXPECT_EQ(hotSpot.y, 7);
}

TEST_F(ResourceItems, FolderSkinLoadsFilesAndDropsWhatCannotBeLoaded) {
    const std::string folder = Folder();
    WriteFile(folder, "bg.bmp", MakeBmp(4, 3));
    WriteFile(folder, "small.bmp", MakeBmp(2, 2));
    WriteFile(folder, "broken.bmp", Bytes{'B', 'M', 1, 2, 3});
    WriteFile(folder, "arrow.cur", MakeCursor(5, 7));

    EXPECT_EQ(Parse(kImageDocument, folder.c_str(), ""), 1);
    ExpectImagesOfTheDocument();
}

TEST_F(ResourceItems, DatabaseSkinLoadsEntriesUnderThePrefix) {
    AddEntry("skin\\bg.bmp", MakeBmp(4, 3));
    AddEntry("SKIN\\Small.BMP", MakeBmp(2, 2));
    AddEntry("skin\\broken.bmp", Bytes{'B', 'M', 1, 2, 3});
    AddEntry("skin\\arrow.cur", MakeCursor(5, 7));
    AddEntry("other\\nothere.bmp", MakeBmp(1, 1));

    EXPECT_EQ(Parse(kImageDocument, "", "skin"), 1);
    ExpectImagesOfTheDocument();
}

TEST_F(ResourceItems, DatabaseImagesOfAnyEndingAreDecodedByTheirContent) {
    AddEntry("skin\\picture.dat", MakeBmp(6, 5));
    AddEntry("skin\\misnamed.png", MakeBmp(6, 5));
    EXPECT_EQ(Parse(R"xml(<theme><image>
        <item id="dat" file="picture.dat"/>
        <item id="png" file="misnamed.png"/>
    </image></theme>)xml"),
              1);
    ASSERT_NE(Manager()->FindImage("dat"), nullptr);
    EXPECT_EQ(Manager()->FindImage("dat")->GetWidth(), 6);
    EXPECT_EQ(Manager()->FindImage("png"), nullptr) << "a .png entry is decoded as PNG only";
}

TEST_F(ResourceItems, ResourceNamesLongerThan259CharactersAreDropped) {
    const std::string fits(259 - 5, 'a');    // "skin\" + 254 characters
    const std::string tooLong(259 - 4, 'b'); // "skin\" + 255 characters
    AddEntry("skin\\" + fits, MakeBmp(1, 1));
    AddEntry("skin\\" + tooLong, MakeBmp(1, 1));
    const std::string document = "<theme><image><item id=\"fits\" file=\"" + fits +
                                 "\"/><item id=\"long\" file=\"" + tooLong + "\"/></image></theme>";
    EXPECT_EQ(Parse(document.c_str()), 1);
    EXPECT_EQ(ImageIds(), std::vector<std::string>{"fits"});
}

TEST_F(ResourceItems, ResourceOfAnIdLoadedByAnEarlierDocumentIsSkipped) {
    AddEntry("first\\arrow.cur", MakeCursor(3, 4));
    AddEntry("second\\arrow.cur", MakeCursor(9, 10));
    const char document[] = R"xml(<theme><cursor>
        <item id="arrow" file="arrow.cur"/>
    </cursor></theme>)xml";
    EXPECT_EQ(Parse(document, "", "first"), 1);
    const GDICursor* first = Manager()->FindCursor("arrow");
    EXPECT_EQ(Parse(document, "", "second"), 1);
    EXPECT_EQ(Parse(R"xml(<theme><cursor>
        <item id="Arrow" file="arrow.cur"/>
    </cursor></theme>)xml",
                    "", "second"),
              1);

    ASSERT_EQ(Manager()->Cursors().Size(), 2u) << "ids compare with case";
    EXPECT_EQ(Manager()->FindCursor("arrow"), first);
    EXPECT_EQ(HotSpot(Manager()->FindCursor("arrow")).x, 3);
    EXPECT_EQ(HotSpot(Manager()->FindCursor("Arrow")).x, 9);
}

} // namespace
} // namespace Velmora
