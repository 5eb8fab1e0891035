// Icon extraction: a library holding 200 icons (each with 16, 32 and 48-pixel
// images in 4, 8 and 32 bits) is extracted whole as JPEG pictures into a
// temporary folder, the way the icon tab does it (file read once, one picture
// per icon). References: reading the library file alone (as `cat` does), a
// plain libjpeg loop encoding the same 200 pictures into memory, and the same
// loop writing each picture to its own file.
#include "../tests/core/generate/generate_fakes.h"
#include "../tests/core/generate/icon_test_files.h"
#include "core/generate/icon_extraction.h"
#include "core/imaging/icon_source.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <jpeglib.h>
#include <unistd.h>

using namespace harpoly;
using namespace harpoly::icon_test;
using namespace harpoly::generate_test;

namespace {

template <typename F> double bestOf5(F&& run) {
    double best = 1e300;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const auto end = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(end - start).count());
    }
    return best;
}

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

} // namespace

int main() {
    constexpr int kIcons = 200;
    std::vector<std::vector<Image>> groups;
    for (int i = 0; i < kIcons; ++i) {
        groups.push_back({{16, 16, 4, gradient(16, 4, i)},
                          {32, 32, 8, gradient(32, 8, i)},
                          {32, 32, 32, gradient(32, 32, i)},
                          {48, 48, 32, gradient(48, 32, i)}});
    }
    TempFolder display;
    TempFolder output;
    const Bytes library = peFile(groups, true);
    display.writeBytes("icons.dll", library);

    FakeFileList list;
    list.names = {"icons.dll"};
    ScriptedPrompter prompter;
    RecordingBusy busy;
    IconExtractRequest request;
    request.name = "icons.dll";
    request.displayFolder = display.path();
    request.outputFolder = output.path();
    request.formatIndex = 2;
    request.caption = "アイコン抽出";

    const double harpolyMs = bestOf5([&] { extractIcons(request, list, prompter, busy, [] {}); });
    if (!output.exists("icons-199.jpg") || output.exists("icons-200.jpg")) {
        std::fprintf(stderr, "extraction did not write 200 pictures\n");
        return 1;
    }

    const double catMs = bestOf5([&] { readWhole(display.path() + "icons.dll"); });

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
    const double encodeMs = bestOf5([&] { plainEncode(pictures); });
    TempFolder plain;
    const double encodeWriteMs = bestOf5([&] { plainEncode(pictures, plain.path()); });

    std::printf("workload, harpoly ms, reference ms, ratio\n");
    std::printf("extract %d icons as JPEG from a %zu-byte library vs cat of the file, %.2f, %.2f, "
                "%.2f\n",
                kIcons, library.size(), harpolyMs, catMs, harpolyMs / catMs);
    std::printf("extract %d icons as JPEG vs plain libjpeg encode of the same pictures, %.2f, "
                "%.2f, %.2f\n",
                kIcons, harpolyMs, encodeMs, harpolyMs / encodeMs);
    std::printf("extract %d icons as JPEG vs plain libjpeg encode and write of 200 files, %.2f, "
                "%.2f, %.2f\n",
                kIcons, harpolyMs, encodeWriteMs, harpolyMs / encodeWriteMs);
    return 0;
}
