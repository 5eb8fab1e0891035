// Preview decode of a large JPEG for a pane of about 1000 x 700 pixels (at the
// size it is drawn there, as the preview decodes it), against
// djpeg's full decode of the same file. Usage: preview_jpeg_bench [ROOT]
// (default /work/corpus); uses ROOT/big/big24mp.jpg and
// ROOT/big/big24mp_lowdetail.jpg, generating a stand-in under /tmp when the
// first is missing.
#include "bench_timing.h"
#include "core/imaging/jpeg_decoder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

namespace {

using bench::exists;
using bench::timeMs;

void measure(const std::string& path, int paneWidth, int paneHeight) {
    int scaledWidth = 0;
    const std::string command = "djpeg -outfile /dev/null '" + path + "'";
    bool failed = false;
    // Best of 5 each, the two taking turns so that a busy moment of the
    // machine weighs on both alike.
    double ours = 1e30;
    double reference = 1e30;
    for (int i = 0; i < 5; ++i) {
        ours = std::min(ours, timeMs([&] {
                            // As the preview decodes it: at the size drawn in the pane.
                            const harpoly::DecodedPicture pic = harpoly::decodeJpegFile(
                                path, harpoly::DecodeTarget{paneWidth, paneHeight, true, {}});
                            scaledWidth = pic.image.width;
                        }));
        reference =
            std::min(reference, timeMs([&] { failed |= std::system(command.c_str()) != 0; }));
    }
    if (failed) {
        std::printf("djpeg failed on %s\n", path.c_str());
    }
    const std::string name = path.substr(path.find_last_of('/') + 1);
    // workload, harpoly ms, reference ms, ratio
    std::printf("preview decode %s for a %dx%d pane (decoded %d wide) vs djpeg full decode, "
                "%.2f, %.2f, %.2f\n",
                name.c_str(), paneWidth, paneHeight, scaledWidth, ours, reference,
                ours / reference);
}

} // namespace

int main(int argc, char** argv) {
    const std::string root = argc > 1 ? argv[1] : "/work/corpus";
    std::string big = root + "/big/big24mp.jpg";
    if (!exists(big)) {
        big = "/tmp/harpoly_bench_big24mp.jpg";
        if (!exists(big)) {
            const std::string make =
                "convert -seed 24 -size 1500x1000 plasma:fractal -blur 0x1 -resize '6000x4000!' "
                "-seed 24 -attenuate 0.5 +noise Gaussian -quality 92 -sampling-factor 2x2 " +
                big;
            if (std::system(make.c_str()) != 0) {
                std::fprintf(stderr, "cannot make %s\n", big.c_str());
                return 1;
            }
        }
    }
    measure(big, 1000, 700);
    const std::string low = root + "/big/big24mp_lowdetail.jpg";
    if (exists(low)) {
        measure(low, 1000, 700);
    }
    return 0;
}
