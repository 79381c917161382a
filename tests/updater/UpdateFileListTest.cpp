// The update manifest as the updater reads it through the system's MSXML, the
// destination rules, and the file digest against an independent MD5.
#include "UiProbe.h"
#include "UpdateFileList.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <random>

namespace {

class ComApartment {
  public:
    ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { CoUninitialize(); }
};

std::string FileElement(const std::string& children) {
    return "<File>" + children + "</File>";
}

class ManifestTest : public ::testing::Test {
  protected:
    void SetUp() override { m_folder = MakeScratchFolder("manifest"); }

    bool LoadManifest(const std::string& body) {
        const std::string path = m_folder + "\\UpdateNew.xml";
        WriteFileBytes(path, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n" + body);
        return m_list.Load(path.c_str());
    }

    std::unique_ptr<CUpdateFileInfo> Pop() { return m_list.PopFront(); }

    ComApartment m_com;
    std::string m_folder;
    CUpdateFileList m_list;
};

TEST_F(ManifestTest, ReadsEveryFieldFromChildElements) {
    ASSERT_TRUE(LoadManifest("<Update><Files>" +
                             FileElement("<FileName>game.dll</FileName>"
                                         "<FileSize>  1234xyz</FileSize>"
                                         "<HashCode>ABCDEF0123456789abcdef0123456789</HashCode>"
                                         "<InstallDir>CURRENTDIR</InstallDir>"
                                         "<Register>YES</Register>"
                                         "<!-- a comment -->"
                                         "<LocalPath>data</LocalPath>"
                                         "<Unknown>ignored</Unknown>"
                                         "<URL>http://127.0.0.1/game.dll</URL>") +
                             "</Files></Update>"));
    ASSERT_EQ(1, m_list.Count());
    auto record = Pop();
    EXPECT_EQ("game.dll", record->fileName);
    EXPECT_EQ(1234, record->size);
    EXPECT_EQ("ABCDEF0123456789abcdef0123456789", record->hashCode);
    EXPECT_TRUE(record->registerServer);
    EXPECT_EQ("data", record->localPath);
    EXPECT_EQ("http://127.0.0.1/game.dll", record->url);
    EXPECT_EQ(m_list.ProgramFolder() + "\\data\\game.dll", record->targetPath);
    EXPECT_FALSE(record->needsUpdate);
}

TEST_F(ManifestTest, KeysIgnoreCaseAndRegisterNeedsTheWordYes) {
    ASSERT_TRUE(
        LoadManifest("<r>" + FileElement("<filename>a.txt</filename><REGISTER>yEs</REGISTER>") +
                     FileElement("<FileName>b.txt</FileName><Register>true</Register>") +
                     FileElement("<FileName>c.txt</FileName><Register>YESS</Register>") + "</r>"));
    ASSERT_EQ(3, m_list.Count());
    auto a = Pop(), b = Pop(), c = Pop();
    EXPECT_EQ("a.txt", a->fileName);
    EXPECT_TRUE(a->registerServer);
    EXPECT_FALSE(b->registerServer);
    EXPECT_FALSE(c->registerServer);
}

TEST_F(ManifestTest, LaterDuplicateChildWinsAndTextIsConcatenated) {
    ASSERT_TRUE(
        LoadManifest("<r>" +
                     FileElement("<FileName>first</FileName><FileName>sec<b>on</b>d</FileName>"
                                 "<FileSize>-12</FileSize><FileSize>7</FileSize>") +
                     FileElement("<FileSize>-12</FileSize>") +
                     FileElement("<FileSize>abc</FileSize>") + "</r>"));
    auto first = Pop();
    EXPECT_EQ("second", first->fileName);
    EXPECT_EQ(7, first->size);
    EXPECT_EQ(-12, Pop()->size);
    EXPECT_EQ(0, Pop()->size);
}

TEST_F(ManifestTest, AttributesOnlyGiveDefaults) {
    ASSERT_TRUE(
        LoadManifest("<r><File FileName=\"x.dll\" FileSize=\"9\" URL=\"http://h/x\"/></r>"));
    ASSERT_EQ(1, m_list.Count());
    auto record = Pop();
    EXPECT_EQ("", record->fileName);
    EXPECT_EQ(0, record->size);
    EXPECT_EQ("CURRENTDIR", record->installDir);
    EXPECT_EQ("", record->url);
    EXPECT_FALSE(record->registerServer);
}

TEST_F(ManifestTest, FileElementsAnywhereBelowTheRootInDocumentOrder) {
    ASSERT_TRUE(LoadManifest("<any><File><FileName>1</FileName></File><g><h><File>"
                             "<FileName>2</FileName></File></h></g><File><FileName>3</FileName>"
                             "</File></any>"));
    EXPECT_EQ("1", Pop()->fileName);
    EXPECT_EQ("2", Pop()->fileName);
    EXPECT_EQ("3", Pop()->fileName);
}

TEST_F(ManifestTest, ChineseNamesArriveInTheAnsiCodePage) {
    ASSERT_TRUE(LoadManifest(
        "<r>" + FileElement("<FileName>\xE5\xA4\xA7\xE5\x8E\x85.dat</FileName>") + "</r>"));
    EXPECT_EQ("大厅.dat", Pop()->fileName);
}

TEST_F(ManifestTest, EmptyManifestLoadsWithNoRecords) {
    ASSERT_TRUE(LoadManifest("<Update/>"));
    EXPECT_EQ(0, m_list.Count());
    EXPECT_EQ(0, m_list.FilterNeedsUpdate());
}

TEST_F(ManifestTest, BadManifestsFailAndLeaveTheListEmpty) {
    ASSERT_TRUE(LoadManifest("<r>" + FileElement("<FileName>a</FileName>") + "</r>"));
    EXPECT_FALSE(LoadManifest("<r><File><FileName>a</FileName></File>"));
    EXPECT_EQ(0, m_list.Count());
    EXPECT_FALSE(m_list.Load((m_folder + "\\missing.xml").c_str()));
    EXPECT_FALSE(LoadManifest(""));
}

TEST_F(ManifestTest, InstallFolders) {
    ASSERT_TRUE(LoadManifest(
        "<r>" + FileElement("<FileName>w.dll</FileName><InstallDir>windowsdir</InstallDir>") +
        FileElement("<FileName>s.dll</FileName><InstallDir>SYSTEMDIR</InstallDir>") +
        FileElement("<FileName>u.dll</FileName><InstallDir>ELSEWHERE</InstallDir>") +
        FileElement("<FileName>w2.dll</FileName><InstallDir>WINDOWSDIR</InstallDir>"
                    "<LocalPath>tarnwick-never-made</LocalPath>") +
        "</r>"));
    char windows[MAX_PATH], system[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(std::string(windows) + "\\w.dll", Pop()->targetPath);
    EXPECT_EQ(std::string(system) + "\\s.dll", Pop()->targetPath);
    EXPECT_EQ(TestProgramFolder() + "\\u.dll", Pop()->targetPath);
    EXPECT_EQ(std::string(windows) + "\\tarnwick-never-made\\w2.dll", Pop()->targetPath);
    // Only the program folder gets missing folders made.
    EXPECT_FALSE(FolderExists(std::string(windows) + "\\tarnwick-never-made"));
}

TEST_F(ManifestTest, ProgramFolderSubFoldersAreCreated) {
    const std::string sub = "manifest-made\\deeper\\deepest";
    RunLinuxCommand("rm -rf '" + ToLinuxPath(TestProgramFolder() + "\\manifest-made") + "'", 10000);
    ASSERT_TRUE(LoadManifest(
        "<r>" + FileElement("<FileName>f.bin</FileName><LocalPath>" + sub + "</LocalPath>") +
        "</r>"));
    EXPECT_TRUE(FolderExists(TestProgramFolder() + "\\" + sub));
    EXPECT_EQ(TestProgramFolder() + "\\" + sub + "\\f.bin", Pop()->targetPath);
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

// The digest rule, checked against Python's hashlib over the same prefix.
class FileDigestTest : public ::testing::Test {
  protected:
    void SetUp() override { m_folder = MakeScratchFolder("digest"); }

    std::string ReferenceDigest(const std::string& path) {
        const std::string out = path + ".md5";
        EXPECT_TRUE(RunLinuxCommand("/usr/bin/python3 '" TEST_SOURCE_DIR "/prefix_md5.py' '" +
                                        ToLinuxPath(path) + "' '" + ToLinuxPath(out) + "'",
                                    60000));
        return ReadFileBytes(out);
    }

    std::string m_folder;
};

TEST_F(FileDigestTest, MatchesTheWhole512ByteBlocksOfAFile) {
    std::mt19937 random(1234);
    for (std::size_t size :
         {0u, 1u, 511u, 512u, 513u, 1024u, 1048575u, 1048576u, 3u * 1048576u + 700u}) {
        std::string bytes(size, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        const std::string path = m_folder + "\\f" + std::to_string(size) + ".bin";
        WriteFileBytes(path, bytes);
        std::string digest;
        ASSERT_TRUE(CUpdateFileList::ComputeFileHash(path.c_str(), digest)) << size;
        EXPECT_EQ(ReferenceDigest(path), digest) << size;
    }
}

TEST_F(FileDigestTest, ShortFilesShareTheDigestOfEmptyInput) {
    WriteFileBytes(m_folder + "\\a", std::string(511, 'a'));
    WriteFileBytes(m_folder + "\\b", std::string(511, 'b'));
    std::string a, b;
    ASSERT_TRUE(CUpdateFileList::ComputeFileHash((m_folder + "\\a").c_str(), a));
    ASSERT_TRUE(CUpdateFileList::ComputeFileHash((m_folder + "\\b").c_str(), b));
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", a);
    EXPECT_EQ(a, b);
    std::string none;
    EXPECT_FALSE(CUpdateFileList::ComputeFileHash((m_folder + "\\missing").c_str(), none));
}

// Which local files count as current.
class NeedsUpdateTest : public ManifestTest {
  protected:
    std::string Entry(const std::string& name, const std::string& digest, long long size) {
        return FileElement("<FileName>" + name + "</FileName><LocalPath>needs-update-test" +
                           "</LocalPath><HashCode>" + digest + "</HashCode><FileSize>" +
                           std::to_string(size) + "</FileSize>");
    }
    std::string Local(const std::string& name) {
        return TestProgramFolder() + "\\needs-update-test\\" + name;
    }
};

TEST_F(NeedsUpdateTest, KeepsMissingChangedAndResizedFilesOnly) {
    RunLinuxCommand("rm -rf '" + ToLinuxPath(TestProgramFolder() + "\\needs-update-test") + "'",
                    10000);
    const std::string current(2000, 'c');
    std::string currentDigest;
    CreateDirectoryA((TestProgramFolder() + "\\needs-update-test").c_str(), nullptr);
    WriteFileBytes(Local("current.bin"), current);
    WriteFileBytes(Local("changed.bin"), std::string(2000, 'x'));
    // Same whole blocks, different tail: only the size tells them apart.
    WriteFileBytes(Local("tail.bin"), current.substr(0, 1536) + "old");
    WriteFileBytes(Local("nosize.bin"), current);
    ASSERT_TRUE(CUpdateFileList::ComputeFileHash(Local("current.bin").c_str(), currentDigest));

    std::string upper = currentDigest;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    ASSERT_TRUE(LoadManifest(
        "<r>" + Entry("current.bin", upper, 2000) + Entry("missing.bin", currentDigest, 2000) +
        Entry("changed.bin", currentDigest, 2000) + Entry("tail.bin", currentDigest, 2000) +
        Entry("nosize.bin", currentDigest, 0) + "</r>"));
    EXPECT_EQ(3, m_list.FilterNeedsUpdate());
    EXPECT_EQ(6000u, m_list.TotalSize());
    auto first = Pop();
    EXPECT_EQ("missing.bin", first->fileName);
    EXPECT_TRUE(first->needsUpdate);
    EXPECT_EQ("changed.bin", Pop()->fileName);
    EXPECT_EQ("tail.bin", Pop()->fileName);
    EXPECT_EQ(nullptr, Pop());
}

TEST_F(NeedsUpdateTest, TotalSizeUsesTheLow32BitsAndWraps) {
    ASSERT_TRUE(LoadManifest("<r>" + Entry("m1", "", 2147483647) + Entry("m2", "", 2147483647) +
                             Entry("m3", "", 2) + Entry("m4", "", -1) + "</r>"));
    EXPECT_EQ(4, m_list.FilterNeedsUpdate());
    EXPECT_EQ(static_cast<std::uint32_t>(2147483647u * 2u + 2u + 0xFFFFFFFFu), m_list.TotalSize());
    m_list.Clear();
    EXPECT_EQ(0, m_list.Count());
    EXPECT_EQ(0u, m_list.TotalSize());
}

} // namespace
