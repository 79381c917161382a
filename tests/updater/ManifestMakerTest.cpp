// The publishers' manifest maker against the updater's own reading of its
// output: every file of a release folder comes back with its size, digest,
// sub-folder, URL and registration flag.
#include "UiProbe.h"
#include "UpdateFileList.h"

#include <gtest/gtest.h>

#include <objbase.h>

namespace {

TEST(ManifestMakerTest, UpdaterReadsWhatTheMakerWrites) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
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

    CUpdateFileList list;
    ASSERT_TRUE(list.Load((release + "\\UpdateNew.xml").c_str()));
    ASSERT_EQ(3, list.Count()); // the manifest itself is left out

    auto plugin = list.PopFront();
    EXPECT_EQ("Plugin.dll", plugin->fileName);
    EXPECT_EQ(1500, plugin->size);
    EXPECT_EQ("bin", plugin->localPath);
    EXPECT_EQ("http://127.0.0.1:8080/game/bin/Plugin.dll", plugin->url);
    EXPECT_TRUE(plugin->registerServer);
    std::string digest;
    ASSERT_TRUE(CUpdateFileList::ComputeFileHash((release + "\\bin\\Plugin.dll").c_str(), digest));
    EXPECT_EQ(digest, plugin->hashCode);

    auto map = list.PopFront();
    EXPECT_EQ("大厅 1.map", map->fileName);
    EXPECT_EQ("data\\maps", map->localPath);
    EXPECT_EQ("http://127.0.0.1:8080/game/data/maps/%E5%A4%A7%E5%8E%85%201.map", map->url);
    EXPECT_FALSE(map->registerServer);
    ASSERT_TRUE(
        CUpdateFileList::ComputeFileHash((release + "\\data\\maps\\大厅 1.map").c_str(), digest));
    EXPECT_EQ(digest, map->hashCode);

    auto readme = list.PopFront();
    EXPECT_EQ("readme.txt", readme->fileName);
    EXPECT_EQ(5, readme->size);
    EXPECT_EQ("", readme->localPath);
    EXPECT_EQ("CURRENTDIR", readme->installDir);
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", readme->hashCode);
    CoUninitialize();
}

} // namespace
