// The up-to-date check of a large installation: a release of small files, all current, below the
// program folder; the whole check (manifest file to filtered list) against a plain loop that
// opens and reads the same files through the Windows file API, both measured in this run.
// Prints both times and the ratio (goal <= 1.5) for a manifest with the prefix digests only and
// for one with whole-file SHA-256 too (as MakeManifest writes it), and the peak private memory
// of a check of a 100 000-entry manifest of the latter kind (goal < 64 MiB).
//
//   bench_update_check.exe [files for the ratio, 20000] [files for memory, 100000]
#include "BenchClock.h"
#include "Md5.h"
#include "UpdateFileList.h"

#include <windows.h>

#include <psapi.h>
#include <sodium.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kFilesPerFolder = 100;
const char kReleaseFolder[] = "check-release";

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\'));
}

std::string SubFolder(int index) {
    char name[64];
    std::snprintf(name, sizeof name, "%s\\d%04d", kReleaseFolder, index / kFilesPerFolder);
    return name;
}

std::string FileName(int index) {
    char name[32];
    std::snprintf(name, sizeof name, "f%06d.bin", index);
    return name;
}

// Small files of 100 to 4000 bytes, the same on every run.
std::string Content(int index) {
    unsigned state = static_cast<unsigned>(index) * 2654435761u + 7;
    std::string bytes(100 + state % 3900, '\0');
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 16);
    }
    return bytes;
}

std::string PrefixDigest(const std::string& bytes) {
    CMd5 md5;
    md5.Update(bytes.data(), bytes.size() / 512 * 512);
    return md5.FinalHex();
}

std::string Sha256Element(const std::string& bytes) {
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(digest, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    char hex[2 * crypto_hash_sha256_BYTES + 1];
    return std::string("</HashCode>\r\n    <Sha256>") +
           sodium_bin2hex(hex, sizeof hex, digest, sizeof digest) + "</Sha256>";
}

// Writes the files that are missing or of another size and the manifest naming `count` of them.
bool MakeRelease(int count, const std::string& manifest, bool withSha256) {
    const std::string base = ProgramFolder() + "\\";
    CreateDirectoryA((base + kReleaseFolder).c_str(), nullptr);
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Update>\r\n";
    for (int i = 0; i < count; ++i) {
        const std::string folder = SubFolder(i);
        const std::string path = base + folder + "\\" + FileName(i);
        const std::string bytes = Content(i);
        if (i % kFilesPerFolder == 0)
            CreateDirectoryA((base + folder).c_str(), nullptr);
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
            data.nFileSizeLow != bytes.size()) {
            HANDLE file =
                CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            const bool ok = file != INVALID_HANDLE_VALUE &&
                            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                      &written, nullptr) &&
                            written == bytes.size();
            CloseHandle(file);
            if (!ok)
                return false;
        }
        xml += "  <File>\r\n    <FileName>" + FileName(i) + "</FileName>\r\n    <FileSize>" +
               std::to_string(bytes.size()) + "</FileSize>\r\n    <HashCode>" +
               PrefixDigest(bytes) + (withSha256 ? Sha256Element(bytes) : "</HashCode>") +
               "\r\n    <InstallDir>CURRENTDIR</InstallDir>\r\n    <LocalPath>" + folder +
               "</LocalPath>\r\n    <URL>http://updates.example.com/game/" + folder + "/" +
               FileName(i) + "</URL>\r\n    <Register>NO</Register>\r\n  </File>\r\n";
    }
    xml += "</Update>\r\n";
    HANDLE file =
        CreateFileA(manifest.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok =
        file != INVALID_HANDLE_VALUE &&
        WriteFile(file, xml.data(), static_cast<DWORD>(xml.size()), &written, nullptr) &&
        written == xml.size();
    CloseHandle(file);
    return ok;
}

// The reference: every file opened and read to its end once.
double ReadEveryFile(int count) {
    const std::string base = ProgramFolder() + "\\";
    std::vector<char> buffer(64 * 1024);
    const double start = Seconds();
    for (int i = 0; i < count; ++i) {
        const std::string path = base + SubFolder(i) + "\\" + FileName(i);
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            std::printf("cannot open %s\n", path.c_str());
            std::exit(1);
        }
        DWORD read = 0;
        while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) &&
               read > 0) {
        }
        CloseHandle(file);
    }
    return Seconds() - start;
}

// The process's private memory. Windows reports it as the commit charge in both fields; Wine
// leaves PrivateUsage 0 and gives the resident private pages as PagefileUsage.
SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return std::max(counters.PrivateUsage, counters.PagefileUsage);
}

struct CheckResult {
    double seconds = 0;
    double loadSeconds = 0;
    int remaining = -1;
    SIZE_T peakPrivate = 0;
};

// The whole check as the updater runs it, with the private memory sampled every millisecond
// (the system keeps no peak of it).
CheckResult RunCheck(const std::string& manifest) {
    CheckResult result;
    std::atomic<bool> done{false};
    std::atomic<SIZE_T> peak{PrivateBytes()};
    std::thread sampler([&] {
        while (!done) {
            const SIZE_T now = PrivateBytes();
            if (now > peak)
                peak = now;
            Sleep(1);
        }
    });
    const double start = Seconds();
    {
        CUpdateFileList list;
        if (list.Load(manifest.c_str())) {
            result.loadSeconds = Seconds() - start;
            result.remaining = list.FilterNeedsUpdate();
        }
        const SIZE_T now = PrivateBytes();
        if (now > peak)
            peak = now;
    }
    result.seconds = Seconds() - start;
    done = true;
    sampler.join();
    result.peakPrivate = peak;
    return result;
}

} // namespace

int main(int argc, char** argv) {
    const int ratioFiles = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int memoryFiles = argc > 2 ? std::atoi(argv[2]) : 100000;
    const std::string folder = ProgramFolder() + "\\check-";
    const std::string manifests[] = {folder + std::to_string(ratioFiles) + "-md5.xml",
                                     folder + std::to_string(ratioFiles) + "-sha256.xml",
                                     folder + std::to_string(memoryFiles) + "-sha256.xml"};
    std::printf("making the releases of %d and %d files below %s ...\n", ratioFiles, memoryFiles,
                ProgramFolder().c_str());
    if (!MakeRelease(ratioFiles, manifests[0], false) ||
        !MakeRelease(ratioFiles, manifests[1], true) ||
        !MakeRelease(memoryFiles, manifests[2], true)) {
        std::printf("cannot write the release\n");
        return 1;
    }

    bool met = true;
    for (int kind = 0; kind < 2; ++kind) {
        // Warm caches for both sides, then the best of five rounds each, alternating (other
        // work on the machine only ever slows a round down).
        ReadEveryFile(ratioFiles);
        double check = 1e9, load = 0, reference = 1e9;
        for (int round = 0; round < 5; ++round) {
            const CheckResult result = RunCheck(manifests[kind]);
            if (result.remaining != 0) {
                std::printf("the check found %d of %d current files outdated\n", result.remaining,
                            ratioFiles);
                return 1;
            }
            if (result.seconds < check) {
                check = result.seconds;
                load = result.loadSeconds;
            }
            reference = std::min(reference, ReadEveryFile(ratioFiles));
        }
        std::printf("check of %d current files by %s: %.3f s (manifest read %.3f s)\n", ratioFiles,
                    kind ? "SHA-256" : "prefix MD5", check, load);
        std::printf("open and read the same files: %.3f s\n", reference);
        std::printf("ratio check / reading: %.2f (goal <= 1.50)\n\n", check / reference);
        met = met && check <= 1.5 * reference;
    }

    const SIZE_T baseline = PrivateBytes();
    const CheckResult big = RunCheck(manifests[2]);
    if (big.remaining != 0) {
        std::printf("the check found %d of %d current files outdated\n", big.remaining,
                    memoryFiles);
        return 1;
    }
    const double mib = 1024.0 * 1024.0;
    std::printf("check of %d current files by SHA-256: %.3f s, peak private memory %.1f MiB "
                "(%.1f MiB before it; goal < 64 MiB)\n",
                memoryFiles, big.seconds, big.peakPrivate / mib, baseline / mib);
    return met && big.peakPrivate < 64 * 1024 * 1024 ? 0 : 2;
}
