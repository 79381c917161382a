// The update manifest as the updater reads it (against the system's MSXML DOM), the destination
// rules, the up-to-date check and the file digest against Python's hashlib, and the manifest
// maker's output.
#include "UiProbe.h"
#include "UpdateFileList.h"

#include <gtest/gtest.h>

#include <msxml.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>
#include <random>
#include <sstream>

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

TEST_F(ManifestTest, PathsLeavingTheirBaseOrBadDigestsRejectTheWholeManifest) {
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
        "<FileName>ok.dll</FileName><Sha256>not a digest</Sha256>",
    };
    const std::string before = TestProgramFolder() + "\\made-before-refusal";
    for (const char* entry : bad) {
        EXPECT_FALSE(LoadManifest("<r>" +
                                  FileElement("<FileName>good.dll</FileName><LocalPath>"
                                              "made-before-refusal</LocalPath>") +
                                  FileElement(entry) + "</r>"))
            << entry;
        EXPECT_EQ(0, m_list.Count()) << entry;
        // Nothing is made for a refused manifest, not even the folders of its good entries.
        EXPECT_FALSE(FolderExists(before)) << entry;
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

// The system's XML DOM, the component the manifest reader stands in for: per "File" below the
// root, the texts of its FileName, URL, LocalPath and HashCode children (the last of each, names
// ignoring case); nothing when the DOM refuses the document.
std::optional<std::vector<std::string>> DomEntries(const std::string& path) {
    const CLSID domClass = {
        0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
    const IID domInterface = {
        0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
    const auto release = [](IUnknown* object) { object ? object->Release() : 0; };
    IXMLDOMDocument* document = nullptr;
    CoCreateInstance(domClass, nullptr, CLSCTX_INPROC_SERVER, domInterface,
                     reinterpret_cast<void**>(&document));
    if (!document)
        return std::nullopt;
    std::wstring widePath(path.begin(), path.end());
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = SysAllocString(widePath.c_str());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    document->put_async(VARIANT_FALSE);
    document->load(source, &loaded);
    VariantClear(&source);
    IXMLDOMElement* root = nullptr;
    IXMLDOMNodeList* files = nullptr;
    if (loaded == VARIANT_TRUE && SUCCEEDED(document->get_documentElement(&root)) && root) {
        BSTR tag = SysAllocString(L"File");
        root->getElementsByTagName(tag, &files);
        SysFreeString(tag);
    }
    std::optional<std::vector<std::string>> entries;
    long count = 0;
    if (files && SUCCEEDED(files->get_length(&count)))
        entries.emplace();
    for (long i = 0; i < count; ++i) {
        std::string fields[4];
        IXMLDOMNode* child = nullptr;
        IXMLDOMNode* item = nullptr;
        if (SUCCEEDED(files->get_item(i, &item)) && item)
            item->get_firstChild(&child);
        while (child) {
            BSTR name = nullptr, text = nullptr;
            child->get_nodeName(&name);
            child->get_text(&text);
            static const wchar_t* const kKeys[] = {L"FileName", L"URL", L"LocalPath", L"HashCode"};
            for (int k = 0; k < 4; ++k) {
                if (name && _wcsicmp(name, kKeys[k]) == 0) {
                    char ansi[1024] = {};
                    WideCharToMultiByte(CP_ACP, 0, text ? text : L"", -1, ansi, sizeof ansi - 1,
                                        nullptr, nullptr);
                    fields[k] = ansi;
                }
            }
            SysFreeString(name);
            SysFreeString(text);
            IXMLDOMNode* next = nullptr;
            child->get_nextSibling(&next);
            release(child);
            child = next;
        }
        release(item);
        entries->push_back(fields[0] + "|" + fields[1] + "|" + fields[2] + "|" + fields[3]);
    }
    release(files);
    release(root);
    release(document);
    return entries;
}

std::string Utf16(const std::string& utf8, bool bigEndian) {
    wchar_t wide[512];
    const int units =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide, 512);
    std::string bytes;
    for (int i = 0; i < units; ++i) {
        const char high = static_cast<char>(wide[i] >> 8), low = static_cast<char>(wide[i]);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// Documents in every encoding and shape the DOM read give the same entries; those it refused are
// refused.
TEST_F(ManifestTest, ReadsWhatTheSystemDomReads) {
    const std::string nested =
        "<File><File><FileName>a</FileName><File><FileName>b</FileName></File><FileName>c</"
        "FileName></File><g><File a='1' b=\"2\"><FileName >d</FileName ></File ></g></File>";
    const std::string documents[] = {
        "<r><File><FileName>  a   b  </FileName><URL>a<x/> b</URL><LocalPath>\n <![CDATA[ x ]]>\n"
        "</LocalPath><HashCode>a\r\nb\rc</HashCode></File><File><FileName> a <b> </b> c "
        "</FileName><URL>&#32;a&#32;</URL><LocalPath>a <b>b</b> c</LocalPath><HashCode><b> x "
        "</b><c> y </c></HashCode></File><File><filename>x<!-- c --> y</filename><url>  "
        "<![CDATA[]]>  z</url><LOCALPATH>a&amp;b&lt;&#x41;&apos;&quot;&#x5927;&#x1F600;</LOCALPATH>"
        "<HashCode>\t a\t</HashCode><URL/></File></r>",
        nested,
        "<?xml version='1.0' encoding='UTF-8' standalone='yes'?><!-- c --><?pi x?><!DOCTYPE r "
        "SYSTEM \"none.dtd\"><r><File><?p?><FileName>a</FileName></File></r><!-- t -->\r\n",
        "\xEF\xBB\xBF<r><File><FileName>\xE5\xA4\xA7\xC2\xA0</FileName></File></r>",
        "\xFF\xFE" +
            Utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><r><File><FileName>\xE5\xA4\xA7"
                  " x</FileName></File></r>",
                  false),
        Utf16("<?xml version='1.0'?><r><File><FileName>\xE5\xA4\xA7</FileName></File></r>", true),
        Utf16("<r><File><FileName>x</FileName></File></r>", false), // no byte order mark
        "<?xml version=\"1.0\" encoding=\"gbk\"?><r><File><FileName>\xB4\xF3\xCC\xFC</FileName>"
        "</File></r>",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r><File><URL>caf\xE9</URL></File></r>",
        // Refused by both.
        "",
        "  ",
        "<r><File>",
        "<r></s>",
        "<r/><r/>",
        "<r/>x",
        "<r>a & b</r>",
        "<r>&e;</r>",
        "<r>a]]>b</r>",
        "<r>a\x01b</r>",
        "<r><!-- a -- b --></r>",
        "<r a='1' a='2'/>",
        "<r a='<'/>",
        "<r>\xB4\xF3</r>",
        " <?xml version='1.0'?><r/>",
        "<r>&#0;</r>",
        "<?xml version='1.0' encoding='UTF-16'?><r/>",
        "<r><![CDATA[x</r>",
        "<1r/>",
        "<?xml version='1.0' encoding='x-nonsense'?><r/>",
        "\xEF\xBB\xBF<?xml version='1.0' encoding='GB2312'?><r/>",
    };
    const std::string path = m_folder + "\\dom.xml";
    for (const std::string& document : documents) {
        WriteFileBytes(path, document);
        const auto dom = DomEntries(path);
        ASSERT_EQ(dom.has_value(), m_list.Load(path.c_str())) << document;
        std::vector<std::string> ours;
        while (auto record = Pop())
            ours.push_back(record->fileName + "|" + record->url + "|" + record->localPath + "|" +
                           record->hashCode);
        if (dom) {
            EXPECT_EQ(*dom, ours) << document;
        }
    }
    // Code pages the DOM of Windows reads and Wine's does not.
    for (const auto& [document, name] :
         {std::pair<std::string, std::string>{
              "<?xml version=\"1.0\" encoding=\"GB2312\"?><r><File><FileName>\xB4\xF3\xCC\xFC.dat"
              "</FileName></File></r>",
              "大厅.dat"},
          {"<?xml version='1.0' encoding='big5'?><r><File><FileName>\xA4\x6A</FileName></File></r>",
           "大"}}) {
        WriteFileBytes(path, document);
        ASSERT_TRUE(m_list.Load(path.c_str())) << document;
        EXPECT_EQ(name, Pop()->fileName);
    }
}

// Python's hashlib over each file: "size prefix-md5 sha256" or "missing", per path.
std::vector<std::string> PythonDigests(const std::vector<std::string>& paths) {
    const std::string list = MakeScratchFolder("digest-list") + "\\paths.txt";
    std::string text;
    for (const std::string& path : paths)
        text += ToLinuxPath(path) + "\n";
    WriteFileBytes(list, text);
    EXPECT_TRUE(RunLinuxCommand("/usr/bin/python3 '" TEST_SOURCE_DIR "/file_digests.py' '" +
                                    ToLinuxPath(list) + "' '" + ToLinuxPath(list) + ".out'",
                                120000));
    std::vector<std::string> lines;
    std::istringstream out(ReadFileBytes(list + ".out"));
    for (std::string line; std::getline(out, line);)
        lines.push_back(line);
    return lines;
}

// Thousands of entries checked at once decide as each file decides on its own: a missing
// file, a size other than a non-zero FileSize, or another prefix digest needs an update.
TEST_F(ManifestTest, LargeCheckDecidesAsEachFileDoes) {
    constexpr int kEntries = 3000;
    const std::string release = MakeScratchFolder("large-release");
    const std::string local = TestProgramFolder() + "\\large-check";
    RunLinuxCommand("rm -rf '" + ToLinuxPath(local) + "'", 20000);
    std::vector<std::string> paths;
    for (int i = 0; i < kEntries; ++i) {
        const std::string name = "d" + std::to_string(i / 100) + "\\f" + std::to_string(i);
        if (i % 100 == 0)
            CreateDirectoryA((release + "\\d" + std::to_string(i / 100)).c_str(), nullptr);
        const std::string bytes = MakeContent(static_cast<std::size_t>(i * 7 % 3000), i);
        WriteFileBytes(release + "\\" + name, bytes);
        std::string mine = bytes; // kinds 0-4: current
        if (i % 9 == 5 && !mine.empty())
            mine[0] ^= 1; // other bytes, maybe only in the tail
        else if (i % 9 == 6)
            mine += "x"; // another size
        if (i % 100 == 0)
            SHCreateDirectoryExA(nullptr, (local + "\\d" + std::to_string(i / 100)).c_str(),
                                 nullptr);
        if (i % 9 != 7) { // missing
            WriteFileBytes(local + "\\" + name, mine);
        }
        paths.push_back(release + "\\" + name);
        paths.push_back(local + "\\" + name);
    }
    const std::vector<std::string> digests = PythonDigests(paths);
    ASSERT_EQ(paths.size(), digests.size());

    std::string xml = "<r>";
    std::vector<std::string> expected;
    for (int i = 0; i < kEntries; ++i) {
        std::istringstream published(digests[2 * i]), mine(digests[2 * i + 1]);
        std::size_t size = 0, localSize = 0;
        std::string md5, localMd5;
        published >> size >> md5;
        mine >> localSize >> localMd5;
        const bool sizeGiven = i % 9 != 8;
        if (i % 2)
            std::transform(md5.begin(), md5.end(), md5.begin(), ::toupper);
        if (digests[2 * i + 1] == "missing" || (sizeGiven && localSize != size) ||
            _stricmp(localMd5.c_str(), md5.c_str()) != 0)
            expected.push_back("f" + std::to_string(i));
        xml += FileElement("<FileName>f" + std::to_string(i) +
                           "</FileName><LocalPath>large-check\\d" + std::to_string(i / 100) +
                           "</LocalPath><HashCode>" + md5 + "</HashCode><FileSize>" +
                           std::to_string(sizeGiven ? size : 0) + "</FileSize>");
    }
    ASSERT_TRUE(LoadManifest(xml + "</r>"));
    EXPECT_EQ(static_cast<int>(expected.size()), m_list.FilterNeedsUpdate());
    std::vector<std::string> remaining;
    while (auto record = Pop())
        remaining.push_back(record->fileName);
    EXPECT_EQ(expected, remaining);
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
    ASSERT_TRUE(
        CUpdateFileList::ComputeFileSha256((release + "\\bin\\Plugin.dll").c_str(), digest));
    EXPECT_EQ(digest, plugin->sha256);

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

// The prefix digest covers the whole 512-byte blocks of a file, the SHA-256 all of it; Python's
// hashlib over the same files is the reference.
TEST(FileDigestTest, MatchIndependentDigests) {
    const std::string folder = MakeScratchFolder("digest");
    std::mt19937 random(1234);
    std::vector<std::string> paths;
    for (std::size_t size :
         {0u, 1u, 511u, 512u, 513u, 1024u, 1048575u, 1048576u, 3u * 1048576u + 700u}) {
        std::string bytes(size, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        paths.push_back(folder + "\\f" + std::to_string(size) + ".bin");
        WriteFileBytes(paths.back(), bytes);
    }
    const std::vector<std::string> reference = PythonDigests(paths);
    ASSERT_EQ(paths.size(), reference.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        std::string md5, sha256;
        ASSERT_TRUE(CUpdateFileList::ComputeFileHash(paths[i].c_str(), md5));
        ASSERT_TRUE(CUpdateFileList::ComputeFileSha256(paths[i].c_str(), sha256));
        EXPECT_EQ(reference[i],
                  std::to_string(ReadFileBytes(paths[i]).size()) + " " + md5 + " " + sha256);
    }
    std::string none;
    EXPECT_FALSE(CUpdateFileList::ComputeFileHash((folder + "\\missing").c_str(), none));
    EXPECT_FALSE(CUpdateFileList::ComputeFileSha256((folder + "\\missing").c_str(), none));
}

} // namespace
