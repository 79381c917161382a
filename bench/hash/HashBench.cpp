// Digest throughput over a 256 MiB file, each against the system's tool over
// the same bytes, all measured in this run: CUpdateFileList::ComputeFileHash
// against md5sum (the size is a multiple of 512, so the prefix rule covers the
// whole file) and ComputeFileSha256 against sha256sum. Prints the throughput
// ratios; the goal is at least 0.8 for each.
#include "BenchClock.h"
#include "UpdateFileList.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr DWORD kFileSize = 256u * 1024u * 1024u;
const char kFile[] = "Z:\\tmp\\tarnwick-bench-hash.bin";
const char kLinuxFile[] = "/tmp/tarnwick-bench-hash.bin";

bool WriteTestFile() {
    HANDLE file = CreateFileA(kFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::mt19937 random(7);
    std::vector<unsigned> block(1024 * 1024 / sizeof(unsigned));
    bool ok = true;
    for (DWORD written = 0; ok && written < kFileSize; written += 1024 * 1024) {
        for (unsigned& word : block)
            word = random();
        DWORD n = 0;
        ok = WriteFile(file, block.data(), 1024 * 1024, &n, nullptr) && n == 1024 * 1024;
    }
    CloseHandle(file);
    return ok;
}

// Runs a digest tool in Linux and returns its wall time, measured by the shell
// around the command; its digest goes to `digest`.
double TimeTool(const std::string& tool, std::string& digest) {
    const char result[] = "Z:\\tmp\\tarnwick-bench-tool.txt";
    DeleteFileA(result);
    std::string command = "/bin/sh -c \"s=$(date +%s%N); d=$(" + tool + " " +
                          std::string(kLinuxFile) +
                          "); e=$(date +%s%N); echo $d $((e - s)) > /tmp/tarnwick-bench-tool.part; "
                          "mv /tmp/tarnwick-bench-tool.part /tmp/tarnwick-bench-tool.txt\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // Wine cannot wait for a Linux child: wait for its result file instead.
    for (int i = 0; i < 1200 && GetFileAttributesA(result) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(50);
    FILE* in = std::fopen(result, "r");
    if (!in)
        return -1;
    char hex[80] = {}, name[MAX_PATH] = {};
    long long nanoseconds = -1;
    const int fields = std::fscanf(in, "%79s %259s %lld", hex, name, &nanoseconds);
    std::fclose(in);
    if (fields != 3)
        return -1;
    digest = hex;
    return double(nanoseconds) / 1e9;
}

struct Digest {
    const char* name;
    bool (*compute)(const char* path, std::string& digest);
    const char* tool;
};

} // namespace

int main() {
    if (!WriteTestFile()) {
        std::printf("cannot write %s\n", kFile);
        return 1;
    }
    const Digest digests[] = {
        {"ComputeFileHash", CUpdateFileList::ComputeFileHash, "md5sum"},
        {"ComputeFileSha256", CUpdateFileList::ComputeFileSha256, "sha256sum"}};
    const double mib = kFileSize / (1024.0 * 1024.0);
    bool ok = true;
    for (const Digest& digest : digests) {
        double ours = 1e9, reference = 1e9;
        std::string ourDigest, referenceDigest;
        // Best of five each, alternating, so both see a warm page cache (other work on the
        // machine only ever slows a round down).
        for (int round = 0; round < 5; ++round) {
            const double start = Seconds();
            if (!digest.compute(kFile, ourDigest)) {
                std::printf("%s failed\n", digest.name);
                return 1;
            }
            ours = std::min(ours, Seconds() - start);
            const double tool = TimeTool(digest.tool, referenceDigest);
            if (tool <= 0) {
                std::printf("%s could not be run\n", digest.tool);
                return 1;
            }
            reference = std::min(reference, tool);
        }
        std::printf("%-17s %7.1f MiB/s (%s)\n", digest.name, mib / ours, ourDigest.c_str());
        std::printf("%-17s %7.1f MiB/s (%s)\n", digest.tool, mib / reference,
                    referenceDigest.c_str());
        std::printf("ratio %s / %s: %.2f (goal >= 0.80)%s\n\n", digest.name, digest.tool,
                    reference / ours, ourDigest == referenceDigest ? "" : "  DIGESTS DIFFER");
        ok = ok && ourDigest == referenceDigest;
    }
    DeleteFileA(kFile);
    return ok ? 0 : 1;
}
