// Icon extraction: a library holding 200 icons (each with 16, 32 and 48-pixel
// images in 4, 8 and 32 bits) is extracted whole as JPEG pictures into a
// temporary folder, the way the icon tab does it (file read once, one picture
// per icon). References: reading the library file alone (as `cat` does), a
// plain libjpeg loop encoding the same 200 pictures into memory, and the same
// loop writing each picture to its own file.
//
// Every step is timed in a fresh process of this program (`--step ...`), as a
// user's first extraction runs: timed again in the process that has just built
// the library, with its heap and code warm, the extraction took half as long.
// That warm figure is shown too, for comparison.
#include "../tests/core/generate/generate_fakes.h"
#include "../tests/core/generate/icon_test_files.h"
#include "bench_timing.h"
#include "core/generate/icon_extraction.h"
#include "core/imaging/icon_source.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <jpeglib.h>
#include <memory>
#include <string>
#include <unistd.h>

using namespace harpoly;
using namespace harpoly::icon_test;
using namespace harpoly::generate_test;

namespace {

using bench::bestOf5;
using bench::timeMs;

Bytes gradient(int size, int bits, int seed) {
    return dibImage(
        size, size, bits,
        [=](int x, int y) -> std::uint32_t {
            if (bits <= 8) {
                return static_cast<std::uint32_t>((x + y + seed) % (1 << bits));
            }
            return 0xFF000000u | static_cast<std::uint32_t>((x * 8 + seed) & 0xFF) << 16 |
                   static_cast<std::uint32_t>((y * 8) & 0xFF) << 8 |
                   static_cast<std::uint32_t>(seed & 0xFF);
        },
        [](int x, int y) { return x + y < 6; });
}

void readWhole(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    static char buffer[1 << 16];
    while (::read(fd, buffer, sizeof buffer) > 0) {
    }
    ::close(fd);
}

// libjpeg with the same settings, straight from RGB rows into memory, and
// each result written to its own file when `folder` is given.
std::size_t plainEncode(const std::vector<std::vector<std::uint8_t>>& pictures,
                        const std::string& folder = {}) {
    std::size_t total = 0;
    int index = 0;
    for (const auto& rgb : pictures) {
        jpeg_compress_struct cinfo{};
        jpeg_error_mgr err{};
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_compress(&cinfo);
        unsigned char* out = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&cinfo, &out, &size);
        cinfo.image_width = 32;
        cinfo.image_height = 32;
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, 90, TRUE);
        cinfo.dct_method = JDCT_FLOAT;
        jpeg_start_compress(&cinfo, TRUE);
        while (cinfo.next_scanline < cinfo.image_height) {
            JSAMPROW row = const_cast<std::uint8_t*>(rgb.data()) + cinfo.next_scanline * 32 * 3;
            jpeg_write_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_compress(&cinfo);
        jpeg_destroy_compress(&cinfo);
        total += size;
        if (!folder.empty()) {
            const std::string path = folder + "plain-" + std::to_string(index++) + ".jpg";
            if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
                std::fwrite(out, 1, size, f);
                std::fclose(f);
            }
        }
        std::free(out);
    }
    return total;
}

// The pictures of the library's icons as RGB rows, as the extraction draws
// them (on white).
std::vector<std::vector<std::uint8_t>> iconPictures(const Bytes& library) {
    std::vector<std::vector<std::uint8_t>> pictures;
    const IconSource source = IconSource::fromBytes(library);
    for (int i = 0; i < source.count(); ++i) {
        const RgbaImage picture = drawIconOnWhite(source.icon(i));
        std::vector<std::uint8_t> rgb;
        for (std::uint32_t p : picture.pixels) {
            rgb.push_back(static_cast<std::uint8_t>(p >> 16));
            rgb.push_back(static_cast<std::uint8_t>(p >> 8));
            rgb.push_back(static_cast<std::uint8_t>(p));
        }
        pictures.push_back(std::move(rgb));
    }
    return pictures;
}

Bytes readBytes(const std::string& path) {
    Bytes bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF) {
            bytes.push_back(static_cast<std::uint8_t>(c));
        }
        std::fclose(f);
    }
    return bytes;
}

// The icon tab's extraction of icons.dll in `displayFolder` as JPEG, with
// the list and prompts the tab would hand it.
struct Extraction {
    explicit Extraction(std::string displayFolder) {
        list.names = {"icons.dll"};
        request.name = "icons.dll";
        request.displayFolder = std::move(displayFolder);
        request.formatIndex = 2;
        request.caption = "アイコン抽出";
    }
    void operator()() {
        extractIcons(request, list, prompter, busy, [] {});
    }

    FakeFileList list;
    ScriptedPrompter prompter;
    RecordingBusy busy;
    IconExtractRequest request;
};

// One step in this (fresh) process; prints the milliseconds it took.
//   extract FOLDER OUTPUT: the icon tab's extraction of FOLDER/icons.dll
//   read FILE: the whole file, as cat reads it
//   encode FILE [OUTPUT]: libjpeg encodes of the icons' pictures (drawn
//   before the clock starts), into memory or each into its own file
int runStep(int argc, char** argv) {
    const std::string step = argc > 2 ? argv[2] : "";
    double took = -1;
    if (step == "extract" && argc == 5) {
        Extraction run(argv[3]);
        run.request.outputFolder = argv[4];
        took = timeMs([&] { run(); });
    } else if (step == "read" && argc == 4) {
        took = timeMs([&] { readWhole(argv[3]); });
    } else if (step == "encode" && (argc == 4 || argc == 5)) {
        const auto pictures = iconPictures(readBytes(argv[3]));
        took = timeMs([&] { plainEncode(pictures, argc == 5 ? argv[4] : std::string()); });
    } else {
        std::fprintf(stderr, "unknown step\n");
        return 2;
    }
    std::printf("%.3f\n", took);
    return 0;
}

// The best of five runs of `step` (arguments after --step), each in a fresh
// process; `fresh` makes a new output folder for each run when asked.
double bestOfFreshRuns(const std::string& step, const std::function<std::string()>& fresh = {}) {
    double best = 1e300;
    for (int i = 0; i < 5; ++i) {
        const std::string command = "/proc/" + std::to_string(::getpid()) + "/exe --step " + step +
                                    (fresh ? " " + fresh() : std::string());
        std::FILE* child = ::popen(command.c_str(), "r");
        double took = -1;
        if (child == nullptr || std::fscanf(child, "%lf", &took) != 1) {
            took = -1;
        }
        if (child != nullptr) {
            ::pclose(child);
        }
        if (took < 0) {
            std::fprintf(stderr, "step failed: %s\n", command.c_str());
            std::exit(1);
        }
        best = std::min(best, took);
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--step") {
        return runStep(argc, argv);
    }
    constexpr int kIcons = 200;
    std::vector<std::vector<Image>> groups;
    for (int i = 0; i < kIcons; ++i) {
        groups.push_back({{16, 16, 4, gradient(16, 4, i)},
                          {32, 32, 8, gradient(32, 8, i)},
                          {32, 32, 32, gradient(32, 32, i)},
                          {48, 48, 32, gradient(48, 32, i)}});
    }
    TempFolder display;
    const Bytes library = peFile(groups, true);
    display.writeBytes("icons.dll", library);
    const std::string libraryPath = display.path() + "icons.dll";

    // Each run writes into an output folder of its own.
    std::vector<std::unique_ptr<TempFolder>> outputs;
    const auto freshOutput = [&] {
        outputs.push_back(std::make_unique<TempFolder>());
        return outputs.back()->path();
    };
    const double harpolyMs = bestOfFreshRuns("extract " + display.path(), freshOutput);
    if (!outputs.back()->exists("icons-199.jpg") || outputs.back()->exists("icons-200.jpg")) {
        std::fprintf(stderr, "extraction did not write 200 pictures\n");
        return 1;
    }
    const double catMs = bestOfFreshRuns("read " + libraryPath);
    const double encodeMs = bestOfFreshRuns("encode " + libraryPath);
    const double encodeWriteMs = bestOfFreshRuns("encode " + libraryPath, freshOutput);

    // The same extraction again and again in this process, warm.
    Extraction warm(display.path());
    const double warmMs = bestOf5([&] {
        warm.request.outputFolder = freshOutput();
        warm();
    });

    std::printf("workload (each step in a fresh process, best of 5), harpoly ms, reference ms, "
                "ratio\n");
    std::printf("extract %d icons as JPEG from a %zu-byte library vs cat of the file, %.2f, %.2f, "
                "%.2f\n",
                kIcons, library.size(), harpolyMs, catMs, harpolyMs / catMs);
    std::printf("extract %d icons as JPEG vs plain libjpeg encode of the same pictures, %.2f, "
                "%.2f, %.2f\n",
                kIcons, harpolyMs, encodeMs, harpolyMs / encodeMs);
    std::printf("extract %d icons as JPEG vs plain libjpeg encode and write of 200 files, %.2f, "
                "%.2f, %.2f\n",
                kIcons, harpolyMs, encodeWriteMs, harpolyMs / encodeWriteMs);
    std::printf("(the same extraction repeated in the process that built the library, warm: "
                "%.2f ms)\n",
                warmMs);
    return 0;
}
