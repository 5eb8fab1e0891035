// Icon count of big program files, as the icon tab takes it before its
// question: a sparse 1.5 GB file holding nothing but "MZ", and one whose
// resource section (a library of 200 icons) lies behind 1.5 GB of holes.
// Reference: reading the first 64 KiB of the same file, what a file-type
// probe such as file(1) reads. The peak memory of the count is measured in a
// child process (its resident-memory high-water mark, reset before the
// count).
#include "../tests/core/generate/icon_test_files.h"
#include "../tests/core/platform/scratch_folder.h"
#include "bench_timing.h"
#include "core/imaging/icon_source.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace harpoly;
using namespace harpoly::icon_test;

namespace {

using bench::bestOf5;

constexpr std::uint64_t kHugeSize = 1536ull << 20;

void writeSparse(const std::string& path, std::uint64_t size,
                 const std::vector<std::pair<std::uint64_t, Bytes>>& parts) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    (void)!::ftruncate(fd, static_cast<off_t>(size));
    for (const auto& [offset, bytes] : parts) {
        (void)!::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
    }
    ::close(fd);
}

long statusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(field, 0) == 0) {
            return std::stol(line.substr(std::string(field).size() + 1));
        }
    }
    return 0;
}

// Growth of the resident memory at its peak while counting, in a child.
double peakMegabytes(const std::string& path) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        std::ofstream("/proc/self/clear_refs") << "5";
        const long start = statusKb("VmRSS");
        (void)IconSource::fromFile(path).count();
        const long growth = statusKb("VmHWM") - start;
        (void)!::write(fds[1], &growth, sizeof growth);
        ::_exit(0);
    }
    ::close(fds[1]);
    long growth = -1024;
    (void)!::read(fds[0], &growth, sizeof growth);
    ::close(fds[0]);
    ::waitpid(child, nullptr, 0);
    return growth / 1024.0;
}

void readHead(const std::string& path) {
    static char buffer[64 * 1024];
    const int fd = ::open(path.c_str(), O_RDONLY);
    (void)!::read(fd, buffer, sizeof buffer);
    ::close(fd);
}

void report(const char* what, const std::string& path, int expected) {
    int count = -1;
    const double countMs = bestOf5([&] { count = IconSource::fromFile(path).count(); });
    const double headMs = bestOf5([&] { readHead(path); });
    if (count != expected) {
        std::fprintf(stderr, "%s: counted %d icons, not %d\n", what, count, expected);
        std::exit(1);
    }
    std::printf("icon count of %s vs reading its first 64 KiB, %.3f, %.3f, %.2f, peak %.1f MB\n",
                what, countMs, headMs, countMs / headMs, peakMegabytes(path));
}

} // namespace

int main() {
    test::ScratchFolder folder;
    const std::string bare = folder.path() + "bare.exe";
    writeSparse(bare, kHugeSize, {{0, Bytes{'M', 'Z'}}});

    std::vector<std::vector<Image>> groups;
    for (int i = 0; i < 200; ++i) {
        groups.push_back({solidImage(16, 4, static_cast<std::uint32_t>(i % 16)),
                          solidImage(32, 8, static_cast<std::uint32_t>(i))});
    }
    const Bytes library = peFile(groups);
    Bytes headers(library.begin(), library.begin() + kPeRsrcFileOffset);
    constexpr std::size_t kRawOffsetField = 0x44 + 20 + 224 + 20; // of the one section header
    for (int i = 0; i < 4; ++i) {
        headers[kRawOffsetField + i] = static_cast<std::uint8_t>(kHugeSize >> (8 * i));
    }
    const std::string big = folder.path() + "big.dll";
    writeSparse(
        big, kHugeSize + library.size() - kPeRsrcFileOffset,
        {{0, headers}, {kHugeSize, Bytes(library.begin() + kPeRsrcFileOffset, library.end())}});

    std::printf("workload, harpoly ms, reference ms, ratio, memory\n");
    report("a sparse 1.5 GB file holding only MZ", bare, 0);
    report("a 1.5 GB library of 200 icons behind holes", big, 200);
    return 0;
}
