// Cursors and images of a description, read from files in a folder and from
// entries of a loaded skin database.
#include "DescriptionFixture.h"
#include "SkinFiles.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace Velmora {
namespace {

// Pictures here are checked for their size only.
constexpr COLORREF kGray = RGB(0x80, 0x80, 0x80);
// A picture file that ends right after its signature.
const char kBrokenBmp[] = "BM\x01\x02\x03";

// A 32 x 32 cursor, its top half black and the rest transparent.
std::string TopHalfCursor(int hotX, int hotY) {
    return MakeCurFile(32, 32, hotX, hotY, [](int, int y) { return y < 16; });
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

    static void WriteFile(const std::string& folder, const char* name, const std::string& bytes) {
        std::ofstream file(folder + "\\" + name, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(file.good()) << name;
    }

    static void AddEntry(const std::string& name, const std::string& bytes) {
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
    WriteFile(folder, "bg.bmp", MakeBmpFile(4, 3, kGray));
    WriteFile(folder, "small.bmp", MakeBmpFile(2, 2, kGray));
    WriteFile(folder, "broken.bmp", kBrokenBmp);
    WriteFile(folder, "arrow.cur", TopHalfCursor(5, 7));

    EXPECT_EQ(Parse(kImageDocument, folder.c_str(), ""), 1);
    ExpectImagesOfTheDocument();
}

TEST_F(ResourceItems, DatabaseSkinLoadsEntriesUnderThePrefix) {
    AddEntry("skin\\bg.bmp", MakeBmpFile(4, 3, kGray));
    AddEntry("SKIN\\Small.BMP", MakeBmpFile(2, 2, kGray));
    AddEntry("skin\\broken.bmp", kBrokenBmp);
    AddEntry("skin\\arrow.cur", TopHalfCursor(5, 7));
    AddEntry("other\\nothere.bmp", MakeBmpFile(1, 1, kGray));

    EXPECT_EQ(Parse(kImageDocument, "", "skin"), 1);
    ExpectImagesOfTheDocument();
}

TEST_F(ResourceItems, DatabaseImagesOfAnyEndingAreDecodedByTheirContent) {
    AddEntry("skin\\picture.dat", MakeBmpFile(6, 5, kGray));
    AddEntry("skin\\misnamed.png", MakeBmpFile(6, 5, kGray));
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
    AddEntry("skin\\" + fits, MakeBmpFile(1, 1, kGray));
    AddEntry("skin\\" + tooLong, MakeBmpFile(1, 1, kGray));
    const std::string document = "<theme><image><item id=\"fits\" file=\"" + fits +
                                 "\"/><item id=\"long\" file=\"" + tooLong + "\"/></image></theme>";
    EXPECT_EQ(Parse(document.c_str()), 1);
    EXPECT_EQ(ImageIds(), std::vector<std::string>{"fits"});
}

TEST_F(ResourceItems, ResourceOfAnIdLoadedByAnEarlierDocumentIsSkipped) {
    AddEntry("first\\arrow.cur", TopHalfCursor(3, 4));
    AddEntry("second\\arrow.cur", TopHalfCursor(9, 10));
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
