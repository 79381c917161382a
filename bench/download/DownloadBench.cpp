// One timed CInetFile download without a notify window, for run.sh:
//   download_bench.exe <url> <windows target path> <expected size>
// Prints the seconds from Start to the end of the run, or a failure on stderr.
#include "InetFile.h"

#include <cstdio>
#include <cstdlib>

namespace {

double Seconds() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: download_bench <url> <target> <expected size>\n");
        return 2;
    }
    CInetFile job;
    job.SetStatusCallback(true);
    job.SetKind(CInetFile::KindManifest);
    job.SetUrl(argv[1]);
    job.SetTargetPath(argv[2]);
    job.SetExpectedSize(static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)));

    const double start = Seconds();
    if (!job.Start()) {
        std::fprintf(stderr, "no worker thread\n");
        return 1;
    }
    job.WaitForCompletion();
    const double elapsed = Seconds() - start;
    if (!job.ErrorText().empty() || job.Received() != job.ExpectedSize()) {
        std::fprintf(stderr, "download failed after %u bytes\n", job.Received());
        return 1;
    }
    std::printf("%.4f\n", elapsed);
    return 0;
}
