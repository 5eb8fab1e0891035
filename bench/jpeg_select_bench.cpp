// JPEG selection over ROOT/jpeg as a dry run (every file examined, matches
// counted, nothing moved), against a plain C loop that opens each file and
// reads its header with libjpeg, and against ImageMagick's
// `identify -ping -format '%w %h'` on a sample of the files, scaled up.
#include "bench_ports.h"
#include "core/app/ui_ports.h"
#include "core/batch/jpeg_selection.h"
#include "core/browse/file_list_port.h"
#include "core/platform/code_page.h"

#include <algorithm>
#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

#include <jpeglib.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// The regular files of the folder, as the file list shows them.
std::vector<std::string> readFolder(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            struct stat st {};
            if (e->d_name[0] != '.' && ::stat((folder + e->d_name).c_str(), &st) == 0 &&
                S_ISREG(st.st_mode)) {
                names.emplace_back(e->d_name);
            }
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class Listed : public harpoly::FileListPort {
public:
    explicit Listed(std::vector<std::string> names) : names_(std::move(names)) {}
    int count() const override { return static_cast<int>(names_.size()); }
    std::string name(int i) const override { return names_[static_cast<std::size_t>(i)]; }
    bool isSelected(int) const override { return false; }
    bool anySelected() const override { return false; }
    int currentIndex() const override { return 0; }
    void refresh(const std::string&) override {}

private:
    std::vector<std::string> names_;
};

double harpolyRun(const std::string& folder, const std::vector<std::string>& names, int& matches) {
    Listed list(names);
    bench::AlwaysOk yes;
    bench::CountingBar bar;
    matches = 0;
    const harpoly::BatchPorts ports{list, yes, bar,
                                    [&](const std::string&, const std::string&) {
                                        ++matches;
                                        return true;
                                    },
                                    harpoly::utf8CodePage()};
    const auto condition = harpoly::JpegSizeCondition::widthAndHeight(0, 1000, 0, 0, 700);
    const auto t0 = Clock::now();
    harpoly::selectJpegsBySize(ports, folder, "/nonexistent/", "JPG選別1", condition);
    return msSince(t0);
}

struct JumpingError {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void jumpBack(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JumpingError*>(cinfo->err)->jump, 1);
}

// What a C programmer would write: fopen, a stdio source, read the header.
double referenceRun(const std::string& folder, const std::vector<std::string>& names,
                    int& matches) {
    matches = 0;
    const auto t0 = Clock::now();
    for (const auto& name : names) {
        FILE* f = std::fopen((folder + name).c_str(), "rb");
        if (!f) {
            continue;
        }
        jpeg_decompress_struct cinfo;
        JumpingError err;
        cinfo.err = jpeg_std_error(&err.base);
        err.base.error_exit = jumpBack;
        if (setjmp(err.jump) == 0) {
            jpeg_create_decompress(&cinfo);
            jpeg_stdio_src(&cinfo, f);
            jpeg_read_header(&cinfo, TRUE);
            if (cinfo.image_width >= 1000 && cinfo.image_height >= 700) {
                ++matches;
            }
        }
        jpeg_destroy_decompress(&cinfo);
        std::fclose(f);
    }
    return msSince(t0);
}

double identifyRun(const std::string& folder, const std::vector<std::string>& sample) {
    std::vector<std::string> args = {"identify", "-ping", "-format", "%w %h\n"};
    for (const auto& n : sample) {
        args.push_back(folder + n);
    }
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto t0 = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "identify", &actions, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return -1;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double ms = msSince(t0);
    posix_spawn_file_actions_destroy(&actions);
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    const std::string root = argc > 1 ? argv[1] : "/work/corpus";
    const std::string folder = root + "/jpeg/";
    const std::vector<std::string> names = readFolder(folder);
    if (names.empty()) {
        std::fprintf(stderr, "no files in %s\n", folder.c_str());
        return 1;
    }
    int matches = 0, refMatches = 0;
    referenceRun(folder, names, refMatches); // warms the page cache for both
    double best = 1e300, bestRef = 1e300;
    for (int round = 0; round < 3; ++round) {
        best = std::min(best, harpolyRun(folder, names, matches));
        bestRef = std::min(bestRef, referenceRun(folder, names, refMatches));
    }
    if (matches != refMatches) {
        std::fprintf(stderr, "match counts differ: %d against %d\n", matches, refMatches);
        return 1;
    }
    std::printf("JPEG selection, %zu files examined (%d match), harpoly %.1f ms, "
                "libjpeg header loop %.1f ms, ratio %.2f\n",
                names.size(), matches, best, bestRef, best / bestRef);

    std::vector<std::string> sample;
    for (std::size_t i = 0; i < names.size(); i += 20) {
        sample.push_back(names[i]);
    }
    const double identify = identifyRun(folder, sample);
    if (identify < 0) {
        std::printf("identify not available\n");
        return 0;
    }
    const double scaled = identify * static_cast<double>(names.size()) / sample.size();
    std::printf("JPEG selection, %zu files (identify -ping on %zu, scaled), harpoly %.1f ms, "
                "identify %.1f ms, ratio %.3f (%.0fx faster)\n",
                names.size(), sample.size(), best, scaled, best / scaled, scaled / best);
    return 0;
}
