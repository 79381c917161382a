// The update manifest as the updater reads it (against the system's MSXML DOM), the destination
// rules, the up-to-date check and the file digest against Python's hashlib, and the manifest
// maker's output.
#include "UiProbe.h"
#include "UpdateFileList.h"

#include <gtest/gtest.h>

#include <msxml.h>
#include <objbase.h>

#include <algorithm>
#include <optional>
#include <random>
#include <sstream>

namespace {

std::string FileElement(const std::string& children) {
    return "<File>" + children + "</File>";
}

// "fileName size hashCode installDir localPath url registerServer [sha256]" of a record.
std::string Text(const CUpdateFileInfo& record) {
    return record.fileName + " " + std::to_string(record.size) + " " + record.hashCode + " " +
           record.installDir + " " + record.localPath + " " + record.url + " " +
           (record.registerServer ? "register" : "-") +
           (record.sha256.empty() ? "" : " " + record.sha256);
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

// The records, one "Text" line each in the ANSI code page, against the committed
// list of what the manifest holds.
TEST_F(ManifestTest, ReadsChildElementsOfEveryFileInDocumentOrder) {
    ASSERT_TRUE(m_list.Load("Z:" TEST_SOURCE_DIR "/fixtures/child-elements.xml"));
    std::string records;
    while (auto record = Pop())
        records += Text(*record) + "\n";
    EXPECT_EQ(ReadFileBytes("Z:" TEST_SOURCE_DIR "/fixtures/child-elements.txt"), records);
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
    RemoveAll(TestProgramFolder() + "\\manifest-made");
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

// Documents in every encoding and shape the DOM reads give the same entries; those it refuses
// are refused (fixtures/make-documents.sh wrote them).
TEST_F(ManifestTest, ReadsWhatTheSystemDomReads) {
    const std::string folder = "Z:" TEST_SOURCE_DIR "/fixtures/";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "dom/*.xml").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    int documents = 0;
    do {
        const std::string path = folder + "dom/" + found.cFileName;
        const auto dom = DomEntries(path);
        ASSERT_EQ(dom.has_value(), m_list.Load(path.c_str())) << found.cFileName;
        std::vector<std::string> ours;
        while (auto record = Pop())
            ours.push_back(record->fileName + "|" + record->url + "|" + record->localPath + "|" +
                           record->hashCode);
        if (dom) {
            EXPECT_EQ(*dom, ours) << found.cFileName;
        }
        ++documents;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    EXPECT_EQ(30, documents);
    // Code pages the DOM of Windows reads and Wine's does not.
    for (const auto& [file, name] :
         {std::pair<const char*, const char*>{"gb2312", "大厅.dat"}, {"big5", "大"}}) {
        ASSERT_TRUE(m_list.Load((folder + "codepage-" + file + ".xml").c_str())) << file;
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

// A local file needs the update when it is missing, has another size than a size given, or
// another MD5 of its longest prefix of whole 512-byte blocks (published in any letter case);
// the sizes of the files to fetch add up. Thousands of entries, each of them one of these
// cases, are judged as each file alone is, in the manifest's order.
TEST_F(ManifestTest, CheckDecidesByTheSizeAndThePrefixDigest) {
    const std::string release = MakeScratchFolder("check-release");
    const std::string local = TestProgramFolder() + "\\check";
    RemoveAll(local);
    CreateDirectoryA(local.c_str(), nullptr);
    const std::string bytes = MakeContent(1000, 1), small = MakeContent(300, 2);
    std::string flipped = bytes, tail = bytes;
    flipped[0] ^= 1;
    tail[999] ^= 1;
    const struct {
        const std::string& published;
        std::string mine; // "-": missing
        bool sizeGiven, upperCase, needed;
    } cases[] = {
        {bytes, bytes, true, false, false},        {bytes, bytes, true, true, false},
        {bytes, flipped, true, false, true},       {bytes, bytes + "x", true, false, true},
        {bytes, bytes + "x", false, false, false}, {bytes, "-", true, false, true},
        {bytes, tail, true, false, false},         {small, MakeContent(300, 3), true, false, false},
    };
    constexpr std::size_t kEntries = 400 * std::size(cases);
    const auto kind = [&cases](std::size_t entry) -> const auto& {
        return cases[entry % std::size(cases)];
    };
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < kEntries; ++i) {
        paths.push_back(release + "\\f" + std::to_string(i));
        WriteFileBytes(paths.back(), kind(i).published);
        if (kind(i).mine != "-")
            WriteFileBytes(local + "\\f" + std::to_string(i), kind(i).mine);
    }
    const std::vector<std::string> digests = PythonDigests(paths);
    ASSERT_EQ(paths.size(), digests.size());
    std::string xml = "<r>";
    for (std::size_t i = 0; i < kEntries; ++i) {
        std::string md5 = digests[i].substr(digests[i].find(' ') + 1, 32);
        if (kind(i).upperCase)
            std::transform(md5.begin(), md5.end(), md5.begin(), ::toupper);
        xml += FileElement("<FileName>f" + std::to_string(i) + "</FileName><LocalPath>check" +
                           "</LocalPath><HashCode>" + md5 + "</HashCode><FileSize>" +
                           (kind(i).sizeGiven ? std::to_string(kind(i).published.size()) : "0") +
                           "</FileSize>");
    }
    ASSERT_TRUE(LoadManifest(xml + "</r>"));
    std::string expected, needed;
    for (std::size_t i = 0; i < kEntries; ++i)
        expected += kind(i).needed ? "f" + std::to_string(i) + " " : "";
    EXPECT_EQ(3 * 400, m_list.FilterNeedsUpdate());
    EXPECT_EQ(3000u * 400, m_list.TotalSize());
    while (auto record = Pop())
        needed += record->fileName + (record->needsUpdate ? " " : "? ");
    EXPECT_EQ(expected, needed);
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
    // "md5 ... sha256" of a file as the updater computes them.
    const auto digests = [&release](const std::string& file, const std::string& between) {
        std::string md5, sha256;
        EXPECT_TRUE(CUpdateFileList::ComputeFileHash((release + "\\" + file).c_str(), md5));
        EXPECT_TRUE(CUpdateFileList::ComputeFileSha256((release + "\\" + file).c_str(), sha256));
        return md5 + between + sha256;
    };
    std::vector<std::string> records;
    while (auto record = Pop())
        records.push_back(Text(*record));
    const std::string url = "http://127.0.0.1:8080/game/";
    EXPECT_EQ(
        records,
        (std::vector<std::string>{
            "Plugin.dll 1500 " +
                digests("bin\\Plugin.dll", " CURRENTDIR bin " + url + "bin/Plugin.dll register "),
            "大厅 1.map 2048 " +
                digests("data\\maps\\大厅 1.map", " CURRENTDIR data\\maps " + url +
                                                      "data/maps/%E5%A4%A7%E5%8E%85%201.map - "),
            // The manifest itself is left out.
            "readme.txt 5 d41d8cd98f00b204e9800998ecf8427e CURRENTDIR  " + url +
                "readme.txt - 2cf24dba5fb0a30e26e83b2ac5b9e29e1b161e5c1fa7425e73043362938b9824",
        }));
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
