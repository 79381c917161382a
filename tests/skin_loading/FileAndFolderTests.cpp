// Skins read from files and folders next to the program, and from the
// program's own resources.
#include "SkinLoadingSupport.h"

#include "SkinFiles.h"
#include "UiProbe.h"

#include <windows.h>

using namespace Velmora;

namespace {

std::string ModulePath(const std::string& name) {
    return CManager::GetModuleDirectory() + "\\" + name;
}

// A folder below the program's folder, removed again with everything in it.
struct ScratchFolder {
    explicit ScratchFolder(const std::string& name) : name(name), path(ModulePath(name)) {
        RemoveAll(path);
        CreateDirectoryA(path.c_str(), nullptr);
    }
    ~ScratchFolder() { RemoveAll(path); }
    // Writes a file below the folder, making its subfolder first.
    bool Write(const std::string& relative, const std::string& bytes) const {
        const size_t slash = relative.find('\\');
        if (slash != std::string::npos)
            CreateDirectoryA((path + "\\" + relative.substr(0, slash)).c_str(), nullptr);
        return WriteFileBytes(path + "\\" + relative, bytes);
    }
    std::string name;
    std::string path;
};

std::string Stem(const std::string& name) {
    return name.substr(0, name.rfind('.'));
}

} // namespace

TEST_F(SkinLoadingTest, SkinFileNextToTheProgramLoads) {
    const std::vector<PackEntry> entries = {{"file.xml", MakeDescription({{"f", "a.bmp"}})},
                                            {"file\\a.bmp", PictureBytes("green-2x2.bmp")}};
    const std::string path = ModulePath("skin_loading_file.sdb");
    ASSERT_TRUE(WriteFileBytes(path, BuildSkinDatabase(entries)));
    EXPECT_EQ(Manager().LoadSkinFile("skin_loading_file.sdb"), 1);
    EXPECT_EQ(LoadedImageColor("f"), kGreen);

    // Missing, damaged and overlong names fail and leave the loaded skin alone.
    EXPECT_EQ(Manager().LoadSkinFile("skin_loading_missing.sdb"), 0);
    ASSERT_TRUE(WriteFileBytes(path, std::string("\x10\0\0\0\0\0\0\0not zlib", 16)));
    EXPECT_EQ(Manager().LoadSkinFile("skin_loading_file.sdb"), 0);
    EXPECT_EQ(Manager().LoadSkinFile((std::string(300, 'x') + ".sdb").c_str()), 0);
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"file.xml", "file\\a.bmp"}));
    DeleteFileA(path.c_str());
}

TEST_F(SkinLoadingTest, FolderSkinReadsEveryDescriptionWithItsResourceFolder) {
    ScratchFolder folder("skin_loading_folder");
    for (const char* name : {"one", "two"}) {
        ASSERT_TRUE(
            folder.Write(std::string(name) + ".xml",
                         MakeDescription({{name, "bg.bmp"}}, std::string("dialog.") + name)));
        ASSERT_TRUE(folder.Write(std::string(name) + "\\bg.bmp",
                                 PictureBytes(name[0] == 'o' ? "red-2x2.bmp" : "blue-2x2.bmp")));
    }
    ASSERT_TRUE(folder.Write("readme.txt", "not a description"));

    EXPECT_EQ(Manager().LoadSkinFolder(folder.name.c_str()), 1);
    EXPECT_EQ(LoadedImageColor("one"), kRed);
    EXPECT_EQ(LoadedImageColor("two"), kBlue);
    EXPECT_NE(Manager().FindDescription(DescriptionType::Dialog, "dialog.two"), nullptr);
    EXPECT_TRUE(Manager().Entries().empty());
    EXPECT_EQ(Manager().LoadSkinFolder("skin_loading_no_such_folder"), 0);
}

TEST_F(SkinLoadingTest, FolderSkinStopsAtADescriptionWithoutItsFolder) {
    ScratchFolder folder("skin_loading_stop");
    for (const std::string name : {"b1.xml", "a.xml", "c2.xml", "d3.xml", "e4.xml"}) {
        const std::string stem = Stem(name);
        ASSERT_TRUE(folder.Write(name, MakeDescription({{stem, "bg.bmp"}})));
        if (stem != "a") {
            ASSERT_TRUE(folder.Write(stem + "\\bg.bmp", PictureBytes("green-2x2.bmp")));
        }
    }
    // A file named like the folder does not count as one.
    ASSERT_TRUE(folder.Write("a", "a file, not a folder"));

    EXPECT_EQ(Manager().LoadSkinFolder(folder.name.c_str()), 0);
    // Descriptions are read in the order the system's search gives them.
    bool beforeA = true;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder.path + "\\*.xml").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        const std::string name = found.cFileName;
        if (name == "a.xml")
            beforeA = false;
        EXPECT_EQ(Manager().FindImage(Stem(name)) != nullptr, beforeA) << name;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    EXPECT_FALSE(beforeA) << "a.xml was not found by the search";
}

TEST_F(SkinLoadingTest, SkinFromTheProgramsResources) {
    EXPECT_EQ(Manager().LoadSkinFromResource("SKIN_LOADING_DB", RT_RCDATA), 1);
    EXPECT_EQ(LoadedImageColor("resource.bg"), kBlue);
    EXPECT_NE(Manager().FindDescription(DescriptionType::Dialog, "dialog.resource"), nullptr);
    const std::vector<std::string> names = EntryNames();

    EXPECT_EQ(Manager().LoadSkinFromResource("SKIN_LOADING_MISSING", RT_RCDATA), 0);
    EXPECT_EQ(Manager().LoadSkinFromResource("SKIN_LOADING_DB", "NOSUCHTYPE"), 0);
    EXPECT_EQ(Manager().LoadSkinFromResource("SKIN_LOADING_EMPTY", RT_RCDATA), 0);
    EXPECT_EQ(Manager().LoadSkinFromResource("SKIN_LOADING_JUNK", RT_RCDATA), 0);
    EXPECT_EQ(EntryNames(), names);
}
