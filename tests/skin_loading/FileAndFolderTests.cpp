// Skins read from files and folders next to the program, and from the
// program's own resources.
#include "SkinLoadingSupport.h"

#include "SkinFiles.h"

#include <windows.h>

#include <algorithm>

using namespace Velmora;

namespace {

std::string ModulePath(const std::string& name) {
    return CManager::GetModuleDirectory() + "\\" + name;
}

// The test binary folder as Wine shows it: the Linux root is drive Z:.
std::string WineBinaryDir() {
    std::string path = "Z:" + std::string(TEST_BINARY_DIR);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// A folder below the program's folder, removed again with everything in it.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& name) : m_name(name), m_path(ModulePath(name)) {
        Remove();
        CreateDirectoryA(m_path.c_str(), nullptr);
    }
    ~ScratchFolder() { Remove(); }
    const std::string& Name() const { return m_name; }
    std::string Path(const std::string& relative) const { return m_path + "\\" + relative; }

  private:
    void Remove() {
        std::string from = m_path;
        from.push_back('\0');
        SHFILEOPSTRUCTA operation = {};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        SHFileOperationA(&operation);
    }
    std::string m_name;
    std::string m_path;
};

// Files of a folder in the order the system's search gives them.
std::vector<std::string> SearchOrder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::string Stem(const std::string& name) {
    return name.substr(0, name.rfind('.'));
}

} // namespace

TEST_F(SkinLoadingTest, ModuleDirectoryIsTheTestProgramsFolder) {
    EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE,
                             CManager::GetModuleDirectory().c_str(), -1, WineBinaryDir().c_str(),
                             -1),
              CSTR_EQUAL)
        << CManager::GetModuleDirectory();
}

TEST_F(SkinLoadingTest, SkinFileNextToTheProgramLoads) {
    const std::vector<PackEntry> entries = {{"file.xml", MakeDescription({{"f", "a.bmp"}})},
                                            {"file\\a.bmp", MakeBmpFile(2, 2, kGreen)}};
    const std::string path = ModulePath("skin_loading_file.sdb");
    ASSERT_TRUE(WriteBytes(path, BuildSkinDatabase(entries)));
    EXPECT_EQ(Manager().LoadSkinFile("skin_loading_file.sdb"), 1);
    EXPECT_EQ(LoadedImageColor("f"), kGreen);

    // Missing, damaged and overlong names fail and leave the loaded skin alone.
    EXPECT_EQ(Manager().LoadSkinFile("skin_loading_missing.sdb"), 0);
    ASSERT_TRUE(WriteBytes(path, "\x10\x00\x00\x00\x00\x00\x00\x00not zlib"));
    EXPECT_EQ(Manager().LoadSkinFile("skin_loading_file.sdb"), 0);
    EXPECT_EQ(Manager().LoadSkinFile((std::string(300, 'x') + ".sdb").c_str()), 0);
    EXPECT_EQ(EntryNames(), (std::vector<std::string>{"file.xml", "file\\a.bmp"}));
    DeleteFileA(path.c_str());
}

TEST_F(SkinLoadingTest, FolderSkinReadsEveryDescriptionWithItsResourceFolder) {
    ScratchFolder folder("skin_loading_folder");
    for (const char* name : {"one", "two"}) {
        ASSERT_TRUE(WriteBytes(folder.Path(std::string(name) + ".xml"),
                               MakeDescription({{name, "bg.bmp"}}, std::string("dialog.") + name)));
        CreateDirectoryA(folder.Path(name).c_str(), nullptr);
        ASSERT_TRUE(WriteBytes(folder.Path(std::string(name) + "\\bg.bmp"),
                               MakeBmpFile(3, 2, name[0] == 'o' ? kRed : kBlue)));
    }
    ASSERT_TRUE(WriteBytes(folder.Path("readme.txt"), "not a description"));

    EXPECT_EQ(Manager().LoadSkinFolder(folder.Name().c_str()), 1);
    EXPECT_EQ(LoadedImageColor("one"), kRed);
    EXPECT_EQ(LoadedImageColor("two"), kBlue);
    EXPECT_NE(Manager().FindDescription(DescriptionType::Dialog, "dialog.two"), nullptr);
    // Folder skins add no database entries.
    EXPECT_TRUE(Manager().Entries().empty());
    EXPECT_EQ(Manager().LoadSkinFolder("skin_loading_no_such_folder"), 0);
}

TEST_F(SkinLoadingTest, FolderSkinStopsAtADescriptionWithoutItsFolder) {
    ScratchFolder folder("skin_loading_stop");
    const std::vector<std::string> names = {"b1.xml", "a.xml", "c2.xml", "d3.xml", "e4.xml"};
    for (const std::string& name : names) {
        const std::string stem = Stem(name);
        ASSERT_TRUE(WriteBytes(folder.Path(name), MakeDescription({{stem, "bg.bmp"}})));
        if (stem == "a")
            continue;
        CreateDirectoryA(folder.Path(stem).c_str(), nullptr);
        ASSERT_TRUE(WriteBytes(folder.Path(stem + "\\bg.bmp"), MakeBmpFile(1, 1, kGreen)));
    }
    // A file named like the folder does not count as one.
    ASSERT_TRUE(WriteBytes(folder.Path("a"), "a file, not a folder"));

    EXPECT_EQ(Manager().LoadSkinFolder(folder.Name().c_str()), 0);
    bool beforeA = true;
    for (const std::string& name : SearchOrder(folder.Path(""))) {
        if (EntryKindOfName(name) != ENTRY_XML)
            continue;
        if (name == "a.xml")
            beforeA = false;
        EXPECT_EQ(Manager().FindImage(Stem(name)) != nullptr, beforeA) << name;
    }
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
