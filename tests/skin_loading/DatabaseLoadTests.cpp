// Loading skin databases held in memory: the index, entry kinds and bytes,
// entry lookup, and descriptions whose resources come from the entries.
#include "SkinLoadingSupport.h"

#include "SkinFiles.h"

#include <cstring>

using namespace Velmora;

namespace {

int LoadDatabase(const std::string& database) {
    return CManager::Instance()->LoadSkinFromSkinDBFileBuf(database.data(), database.size());
}

int LoadUnpacked(const std::string& index, const std::string& data) {
    return LoadDatabase(CompressSkinDatabase(index + data, static_cast<uint32_t>(index.size())));
}

std::string EntryBytes(const char* name) {
    const SkinEntry* entry = CManager::Instance()->FindSkinEntry(name);
    return entry ? std::string(reinterpret_cast<const char*>(entry->data.get()), entry->size)
                 : std::string("<none>");
}

} // namespace

TEST_F(SkinLoadingTest, EntriesKeepIndexOrderNamesKindsAndBytes) {
    // An index without a file root loads nothing and succeeds.
    EXPECT_EQ(LoadUnpacked("<files><item name=\"a.bmp\" size=\"3\"/></files>", "abc"), 1);
    EXPECT_EQ(LoadUnpacked("", ""), 1);
    EXPECT_TRUE(Manager().Entries().empty());

    const std::string index = "<file>"
                              "<item name=\"skin\\a.PNG\" size=\"2\"/>"
                              "<item name=\"notes.txt\" size=\"100\"/>"
                              "<item name=\"skin\\b.bmp\" size=\"3\"/>"
                              "<item name=\"noending\" size=\"1\"/>"
                              "<item name=\"c.ICO\" size=\"0\"/>"
                              "<item name=\"d.cur\" size=\"1\"/><item name=\"e.gif\" size=\"1\"/>"
                              "<item name=\"f.jpg\" size=\"1\"/>"
                              "<item name=\"g.jpeg\" size=\"1\"/>"
                              "</file>";
    const std::string data = "pn" + std::string(100, 'T') + "BMP" + "N" + "" + "CGJ" + "X";
    ASSERT_EQ(LoadUnpacked(index, data), 1);

    const std::vector<std::string> expectedNames = {"skin\\a.PNG", "skin\\b.bmp", "c.ICO",
                                                    "d.cur",       "e.gif",       "f.jpg"};
    EXPECT_EQ(EntryNames(), expectedNames);
    const std::vector<EntryKind> expectedKinds = {ENTRY_PNG, ENTRY_BMP, ENTRY_ICO,
                                                  ENTRY_CUR, ENTRY_GIF, ENTRY_JPG};
    for (size_t i = 0; i < expectedKinds.size() && i < Manager().Entries().size(); ++i)
        EXPECT_EQ(Manager().Entries()[i]->kind, expectedKinds[i]) << expectedNames[i];
    // The 100 bytes of the unknown item are skipped, not read as the next entry.
    EXPECT_EQ(EntryBytes("skin\\a.png"), "pn");
    EXPECT_EQ(EntryBytes("skin\\b.bmp"), "BMP");
    EXPECT_EQ(EntryBytes("c.ico"), "");
    EXPECT_EQ(EntryBytes("f.jpg"), "J");
}

TEST_F(SkinLoadingTest, EndingsOfThirtyTwoCharactersAreUnknownAndLookupIgnoresCase) {
    EXPECT_EQ(EntryKindOfName("a." + std::string(30, 'x')), ENTRY_UNKNOWN);
    EXPECT_EQ(EntryKindOfName("a.bmp"), ENTRY_BMP);
    EXPECT_EQ(EntryKindOfName("a.b.XmL"), ENTRY_XML);
    EXPECT_EQ(EntryKindOfName("bmp"), ENTRY_UNKNOWN);
    EXPECT_EQ(EntryKindOfName("a.bmp."), ENTRY_UNKNOWN);

    const std::string longEnding = "x." + std::string(40, 'b') + ".bmp" + std::string(20, 'p');
    const std::string index = "<file><item name=\"" + longEnding +
                              "\" size=\"4\"/><item name=\"y.bmp\" size=\"2\"/></file>";
    ASSERT_EQ(LoadUnpacked(index, "longYY"), 1);
    EXPECT_EQ(EntryNames(), std::vector<std::string>{"y.bmp"});
    EXPECT_EQ(EntryBytes("y.bmp"), "YY");

    CManager::Destroy();
    // In code page 936 "\x81\x41" and "\x81\x61" are two different characters
    // whose trail bytes happen to be "A" and "a".
    const std::string lookup = "<file><item name=\"Skin\\\x81\x41.BMP\" size=\"1\"/>"
                               "<item name=\"skin\\\xc6\xa4.bmp\" size=\"1\"/></file>";
    ASSERT_EQ(LoadUnpacked(lookup, "12"), 1);
    EXPECT_EQ(EntryBytes("sKIN\\\x81\x41.bmp"), "1");
    EXPECT_EQ(EntryBytes("skin\\\x81\x61.bmp"), "<none>");
    EXPECT_EQ(EntryBytes("SKIN\\\xc6\xa4.BMP"), "2");
    EXPECT_EQ(Manager().FindSkinEntry(nullptr), nullptr);
}

TEST_F(SkinLoadingTest, DescriptionImagesComeFromTheirEntriesInTheAnsiCodePage) {
    // The description's ending is in capitals and it is read all the same;
    // its resource entry is found whatever the case of its name.
    const std::vector<PackEntry> entries = {
        {"blue.XML", MakeDescription({{"bg", "bg.bmp"}, {"missing", "none.bmp"}}, "dialog.blue")},
        {"BLUE\\BG.BMP", PictureBytes("blue-5x5.bmp")},
    };
    ASSERT_EQ(LoadDatabase(BuildSkinDatabase(entries)), 1);
    ASSERT_EQ(LoadedImageColor("bg"), kBlue);
    EXPECT_EQ(Manager().FindImage("bg")->GetWidth(), 5);
    EXPECT_EQ(Manager().FindImage("missing"), nullptr);
    EXPECT_NE(Manager().FindDescription(DescriptionType::Dialog, "dialog.blue"), nullptr);

    CManager::Destroy();
    // The index is taken as it stands (code page 936 here), the description
    // is UTF-8 and must meet it in the ANSI code page.
    const std::string utf8Description =
        "\xEF\xBB\xBF" + MakeDescription({{"bg", u8"背景.bmp"}}, u8"对话框");
    const std::vector<PackEntry> ansi = {
        {"\xc6\xa4\xb7\xf4.xml", utf8Description},
        {"\xc6\xa4\xb7\xf4\\\xb1\xb3\xbe\xb0.bmp", PictureBytes("green-2x2.bmp")},
    };
    ASSERT_EQ(LoadDatabase(BuildSkinDatabase(ansi)), 1);
    EXPECT_EQ(LoadedImageColor("bg"), kGreen);
    EXPECT_NE(Manager().FindDescription(DescriptionType::Dialog, "\xb6\xd4\xbb\xb0\xbf\xf2"),
              nullptr);
}

TEST_F(SkinLoadingTest, SecondDatabaseFindsTheFirstDatabasesEntryOfAName) {
    const std::vector<PackEntry> first = {
        {"blue.xml", MakeDescription({{"first", "bg.bmp"}}, "dialog.first")},
        {"blue\\bg.bmp", PictureBytes("red-2x2.bmp")},
    };
    const std::vector<PackEntry> second = {
        {"blue\\bg.bmp", PictureBytes("green-2x2.bmp")},
        {"blue.xml", MakeDescription({{"second", "bg.bmp"}}, "dialog.second")},
    };
    ASSERT_EQ(LoadDatabase(BuildSkinDatabase(first)), 1);
    ASSERT_EQ(LoadDatabase(BuildSkinDatabase(second)), 1);

    EXPECT_EQ(LoadedImageColor("first"), kRed);
    EXPECT_EQ(LoadedImageColor("second"), kRed);
    const std::vector<std::string> expectedNames = {"blue.xml", "blue\\bg.bmp", "blue\\bg.bmp",
                                                    "blue.xml"};
    EXPECT_EQ(EntryNames(), expectedNames);
    // The first database's description is not read a second time.
    EXPECT_EQ(Manager().Descriptions(DescriptionType::Dialog).Size(), 2u);
    EXPECT_EQ(Manager().Images().Size(), 2u);
}

TEST_F(SkinLoadingTest, BrokenDescriptionStopsOnlyItself) {
    const std::string broken = "<theme><image><item id=\"early\" file=\"bg.bmp\"/></image>"
                               "<window><item id=\"w\" type=\"nosuchtype\"/></window></theme>";
    const std::vector<PackEntry> entries = {
        {"a.xml", broken},
        {"a\\bg.bmp", PictureBytes("red-2x2.bmp")},
        {"b.xml", "<theme><image><item id=\"late\" file=\"bg.bmp\"/></image>"},
        {"b\\bg.bmp", PictureBytes("green-2x2.bmp")},
        {"c.xml", MakeDescription({{"last", "bg.bmp"}})},
        {"c\\bg.bmp", PictureBytes("blue-2x2.bmp")},
    };
    ASSERT_EQ(LoadDatabase(BuildSkinDatabase(entries)), 1);
    EXPECT_EQ(LoadedImageColor("early"), kRed);
    EXPECT_EQ(LoadedImageColor("last"), kBlue);
}
