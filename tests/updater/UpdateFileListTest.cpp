// The update manifest as the updater reads it through the system's MSXML, the
// destination rules, the file digest against an independent MD5 and the manifest maker's output.
#include "UiProbe.h"
#include "UpdateFileList.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <random>

namespace {

std::string FileElement(const std::string& children) {
    return "<File>" + children + "</File>";
}

class ManifestTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        m_folder = MakeScratchFolder("manifest");
    }
    void TearDown() override { CoUninitialize(); }

    bool LoadManifest(const std::string& body) {
        const std::string path = m_folder + "\\UpdateNew.xml";
        WriteFileBytes(path, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n" + body);
        return m_list.Load(path.c_str());
    }
    std::unique_ptr<CUpdateFileInfo> Pop() { return m_list.PopFront(); }

    std::string m_folder;
    CUpdateFileList m_list;
};

TEST_F(ManifestTest, ReadsChildElementsOfEveryFileInDocumentOrder) {
    ASSERT_TRUE(LoadManifest(
        "<Update><Files>" +
        FileElement("<FileName>game.dll</FileName><FileSize>  1234xyz</FileSize>"
                    "<HashCode>ABCDEF0123456789abcdef0123456789</HashCode>"
                    "<InstallDir>CURRENTDIR</InstallDir><REGISTER>yEs</REGISTER>"
                    "<!-- a comment --><localpath>data</localpath><Unknown>ignored</Unknown>"
                    "<URL>http://127.0.0.1/game.dll</URL>") +
        "<g><h>" +
        FileElement("<FileName>first</FileName><FileName>sec<b>on</b>d</FileName>"
                    "<FileSize>-12</FileSize><FileSize>7</FileSize><Register>true</Register>") +
        "</h></g>" +
        // Attributes are not read: only the defaults remain.
        "<File FileName=\"x.dll\" FileSize=\"9\" URL=\"http://h/x\"><FileSize>abc</FileSize>"
        "<Register>YESS</Register></File>" +
        FileElement("<FileName>\xE5\xA4\xA7\xE5\x8E\x85.dat</FileName><FileSize>-12</FileSize>") +
        "</Files></Update>"));
    ASSERT_EQ(4, m_list.Count());
    auto record = Pop();
    EXPECT_EQ("game.dll", record->fileName);
    EXPECT_EQ(1234, record->size);
    EXPECT_EQ("ABCDEF0123456789abcdef0123456789", record->hashCode);
    EXPECT_TRUE(record->registerServer);
    EXPECT_EQ("data", record->localPath);
    EXPECT_EQ("http://127.0.0.1/game.dll", record->url);
    EXPECT_EQ(m_list.ProgramFolder() + "\\data\\game.dll", record->targetPath);
    EXPECT_FALSE(record->needsUpdate);

    record = Pop();
    EXPECT_EQ("second", record->fileName);
    EXPECT_EQ(7, record->size);
    EXPECT_FALSE(record->registerServer);

    record = Pop();
    EXPECT_EQ("", record->fileName);
    EXPECT_EQ(0, record->size);
    EXPECT_EQ("CURRENTDIR", record->installDir);
    EXPECT_EQ("", record->url);
    EXPECT_FALSE(record->registerServer);

    record = Pop();
    EXPECT_EQ("大厅.dat", record->fileName); // in the ANSI code page
    EXPECT_EQ(-12, record->size);
}

TEST_F(ManifestTest, EmptyAndBadManifests) {
    ASSERT_TRUE(LoadManifest("<Update/>"));
    EXPECT_EQ(0, m_list.Count());
    EXPECT_EQ(0, m_list.FilterNeedsUpdate());
    // A failed load leaves no record of an earlier one.
    ASSERT_TRUE(LoadManifest("<r>" + FileElement("<FileName>a</FileName>") + "</r>"));
    EXPECT_FALSE(LoadManifest("<r><File><FileName>a</FileName></File>"));
    EXPECT_EQ(0, m_list.Count());
    EXPECT_FALSE(m_list.Load((m_folder + "\\missing.xml").c_str()));
    EXPECT_FALSE(LoadManifest(""));
}

TEST_F(ManifestTest, TargetFolders) {
    const std::string sub = "manifest-made\\deeper\\deepest";
    RunLinuxCommand("rm -rf '" + ToLinuxPath(TestProgramFolder() + "\\manifest-made") + "'", 10000);
    ASSERT_TRUE(LoadManifest(
        "<r>" + FileElement("<FileName>w.dll</FileName><InstallDir>windowsdir</InstallDir>") +
        FileElement("<FileName>s.dll</FileName><InstallDir>SYSTEMDIR</InstallDir>") +
        FileElement("<FileName>u.dll</FileName><InstallDir>ELSEWHERE</InstallDir>") +
        FileElement("<FileName>w2.dll</FileName><InstallDir>WINDOWSDIR</InstallDir>"
                    "<LocalPath>tarnwick-never-made</LocalPath>") +
        FileElement("<FileName>f.bin</FileName><LocalPath>" + sub + "</LocalPath>") + "</r>"));
    char windows[MAX_PATH], system[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(std::string(windows) + "\\w.dll", Pop()->targetPath);
    EXPECT_EQ(std::string(system) + "\\s.dll", Pop()->targetPath);
    EXPECT_EQ(TestProgramFolder() + "\\u.dll", Pop()->targetPath);
    EXPECT_EQ(std::string(windows) + "\\tarnwick-never-made\\w2.dll", Pop()->targetPath);
    EXPECT_EQ(TestProgramFolder() + "\\" + sub + "\\f.bin", Pop()->targetPath);
    // Only the program folder gets missing folders made.
    EXPECT_FALSE(FolderExists(std::string(windows) + "\\tarnwick-never-made"));
    EXPECT_TRUE(FolderExists(TestProgramFolder() + "\\" + sub));
}

TEST_F(ManifestTest, PathsThatLeaveTheirBaseFolderRejectTheWholeManifest) {
    const char* bad[] = {
        "<FileName>..\\evil.dll</FileName>",
        "<FileName>a\\..\\..\\evil.dll</FileName>",
        "<FileName>ok.dll</FileName><LocalPath>..</LocalPath>",
        "<FileName>ok.dll</FileName><LocalPath>sub/../../x</LocalPath>",
        "<FileName>C:\\evil.dll</FileName>",
        "<FileName>ok.dll</FileName><LocalPath>C:\\Windows</LocalPath>",
        "<FileName>ok.dll</FileName><LocalPath>\\\\server\\share</LocalPath>",
        "<FileName>\\evil.dll</FileName>",
        "<FileName>ok.dll</FileName><LocalPath>sub\\... </LocalPath>",
        "<FileName>c:evil.dll</FileName>",
    };
    for (const char* entry : bad) {
        EXPECT_FALSE(LoadManifest("<r>" + FileElement("<FileName>good.dll</FileName>") +
                                  FileElement(entry) + "</r>"))
            << entry;
        EXPECT_EQ(0, m_list.Count()) << entry;
    }
    EXPECT_TRUE(LoadManifest("<r>" +
                             FileElement("<FileName>sub\\good..dll</FileName>"
                                         "<LocalPath>a\\b..c</LocalPath>") +
                             "</r>"));
    EXPECT_EQ(1, m_list.Count());
}

TEST_F(ManifestTest, KeepsMissingChangedAndResizedFilesOnly) {
    const std::string folder = TestProgramFolder() + "\\needs-update-test\\";
    RunLinuxCommand("rm -rf '" + ToLinuxPath(folder) + "'", 10000);
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string current(2000, 'c');
    WriteFileBytes(folder + "current.bin", current);
    WriteFileBytes(folder + "changed.bin", std::string(2000, 'x'));
    // Same whole blocks, different tail: only the size tells them apart.
    WriteFileBytes(folder + "tail.bin", current.substr(0, 1536) + "old");
    WriteFileBytes(folder + "nosize.bin", current);
    std::string digest;
    ASSERT_TRUE(CUpdateFileList::ComputeFileHash((folder + "current.bin").c_str(), digest));
    std::string upper = digest;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));

    const auto entry = [](const std::string& name, const std::string& hash, int size) {
        return FileElement("<FileName>" + name +
                           "</FileName><LocalPath>needs-update-test</LocalPath><HashCode>" + hash +
                           "</HashCode><FileSize>" + std::to_string(size) + "</FileSize>");
    };
    ASSERT_TRUE(LoadManifest("<r>" + entry("current.bin", upper, 2000) +
                             entry("missing.bin", digest, 2000) +
                             entry("changed.bin", digest, 2000) + entry("tail.bin", digest, 2000) +
                             entry("nosize.bin", digest, 0) + "</r>"));
    EXPECT_EQ(3, m_list.FilterNeedsUpdate());
    EXPECT_EQ(6000u, m_list.TotalSize());
    auto first = Pop();
    EXPECT_EQ("missing.bin", first->fileName);
    EXPECT_TRUE(first->needsUpdate);
    EXPECT_EQ("changed.bin", Pop()->fileName);
    EXPECT_EQ("tail.bin", Pop()->fileName);
    EXPECT_EQ(nullptr, Pop());
}

// The publishers' manifest maker: every file of a release folder comes back with its size,
// digest, sub-folder, URL and registration flag.
TEST_F(ManifestTest, UpdaterReadsWhatTheMakerWrites) {
    const std::string release = MakeScratchFolder("maker-release");
    CreateDirectoryA((release + "\\bin").c_str(), nullptr);
    CreateDirectoryA((release + "\\data").c_str(), nullptr);
    CreateDirectoryA((release + "\\data\\maps").c_str(), nullptr);
    WriteFileBytes(release + "\\readme.txt", "hello");
    WriteFileBytes(release + "\\bin\\Plugin.dll", std::string(1500, 'p'));
    WriteFileBytes(release + "\\data\\maps\\大厅 1.map", std::string(2048, 'm'));

    CChildProcess maker;
    ASSERT_TRUE(maker.Start("\"" MAKE_MANIFEST_EXE "\" --root \"" + release +
                            "\" --base-url http://127.0.0.1:8080/game/ --register bin/Plugin.dll"));
    ASSERT_TRUE(maker.WaitForExit(30000));
    DWORD exitCode = 1;
    GetExitCodeProcess(maker.Handle(), &exitCode);
    ASSERT_EQ(0u, exitCode);

    ASSERT_TRUE(m_list.Load((release + "\\UpdateNew.xml").c_str()));
    ASSERT_EQ(3, m_list.Count()); // the manifest itself is left out

    auto plugin = m_list.PopFront();
    EXPECT_EQ("Plugin.dll", plugin->fileName);
    EXPECT_EQ(1500, plugin->size);
    EXPECT_EQ("bin", plugin->localPath);
    EXPECT_EQ("http://127.0.0.1:8080/game/bin/Plugin.dll", plugin->url);
    EXPECT_TRUE(plugin->registerServer);
    std::string digest;
    ASSERT_TRUE(CUpdateFileList::ComputeFileHash((release + "\\bin\\Plugin.dll").c_str(), digest));
    EXPECT_EQ(digest, plugin->hashCode);

    auto map = m_list.PopFront();
    EXPECT_EQ("大厅 1.map", map->fileName);
    EXPECT_EQ("data\\maps", map->localPath);
    EXPECT_EQ("http://127.0.0.1:8080/game/data/maps/%E5%A4%A7%E5%8E%85%201.map", map->url);
    EXPECT_FALSE(map->registerServer);
    ASSERT_TRUE(
        CUpdateFileList::ComputeFileHash((release + "\\data\\maps\\大厅 1.map").c_str(), digest));
    EXPECT_EQ(digest, map->hashCode);

    auto readme = m_list.PopFront();
    EXPECT_EQ("readme.txt", readme->fileName);
    EXPECT_EQ(5, readme->size);
    EXPECT_EQ("", readme->localPath);
    EXPECT_EQ("CURRENTDIR", readme->installDir);
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", readme->hashCode);
}

// The digest covers the whole 512-byte blocks of a file; Python's hashlib over the same prefix
// is the reference.
TEST(FileDigestTest, MatchesAnIndependentMd5OfTheWholeBlocks) {
    const std::string folder = MakeScratchFolder("digest");
    std::mt19937 random(1234);
    for (std::size_t size :
         {0u, 1u, 511u, 512u, 513u, 1024u, 1048575u, 1048576u, 3u * 1048576u + 700u}) {
        std::string bytes(size, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        const std::string path = folder + "\\f" + std::to_string(size) + ".bin";
        WriteFileBytes(path, bytes);
        std::string digest;
        ASSERT_TRUE(CUpdateFileList::ComputeFileHash(path.c_str(), digest)) << size;
        ASSERT_TRUE(RunLinuxCommand("/usr/bin/python3 '" TEST_SOURCE_DIR "/prefix_md5.py' '" +
                                        ToLinuxPath(path) + "' '" + ToLinuxPath(path) + ".md5'",
                                    60000));
        EXPECT_EQ(ReadFileBytes(path + ".md5"), digest) << size;
    }
    std::string none;
    EXPECT_FALSE(CUpdateFileList::ComputeFileHash((folder + "\\missing").c_str(), none));
}

} // namespace
