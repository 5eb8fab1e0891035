// Preview of a metafile of 100,000 records for a pane of 1000 x 700 pixels
// (read from disk, then painted at that size), against decoding a JPEG of the
// same pixel size in the same run. Both inputs are made here, in a temporary
// folder: an EMF and a WMF of office-drawing records (objects made, selected
// and deleted, shapes, polylines, lines and labelled text) and a JPEG of
// noise-like detail. Usage: metafile_bench [ROOT] (ROOT is ignored).
#include "bench_timing.h"
#include "core/imaging/icon_writers.h"
#include "core/imaging/jpeg_decoder.h"
#include "core/imaging/metafile_reader.h"
#include "core/platform/whole_file.h"
#include "imaging/metafile_builder.h"
#include "ui/browse/metafile_painter.h"

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <unistd.h>

using namespace harpoly;
using namespace harpoly::metafile_testing;

namespace {

using bench::timeMs;

constexpr int kWidth = 1000;
constexpr int kHeight = 700;
constexpr int kRecords = 100'000;

// Ten records a round: a brush and a pen made and selected, a shape, a
// polyline, a line, a label, the brush deleted.
Bytes makeEmf() {
    EmfBuilder e(kWidth, kHeight);
    std::mt19937 random(7);
    const auto coordinate = [&](int limit) { return static_cast<int>(random() % limit); };
    std::size_t records = 1;
    for (int round = 0; records + 10 <= kRecords; ++round, records += 10) {
        const int x = coordinate(kWidth - 60);
        const int y = coordinate(kHeight - 40);
        e.createBrush(1, round % 7 == 0 ? 2 : 0, random() & 0xFFFFFF, round % 6)
            .select(1)
            .createPen(2, round % 5 == 0 ? 1 : 0, round % 3, random() & 0xFFFFFF)
            .select(2);
        switch (round % 4) {
        case 0:
            e.rectangle(x, y, x + 50, y + 30);
            break;
        case 1:
            e.ellipse(x, y, x + 50, y + 30);
            break;
        case 2:
            e.poly(86, {{x, y}, {x + 50, y + 5}, {x + 40, y + 30}, {x + 10, y + 35}, {x, y + 20}});
            break;
        default:
            e.record(44, {x, y, x + 50, y + 30, 10, 10}); // RoundRect
            break;
        }
        e.poly(87, {{x, y + 35},
                    {x + 7, y + 31},
                    {x + 14, y + 38},
                    {x + 21, y + 32},
                    {x + 28, y + 37},
                    {x + 35, y + 33},
                    {x + 42, y + 39},
                    {x + 49, y + 34}})
            .moveTo(x, y + 40)
            .lineTo(x + 50, y + 40)
            .textW(x + 2, y + 2, u"Label " + std::u16string(1, u'0' + round % 10),
                   {6, 6, 6, 6, 6, 3, 6})
            .record(40, {1}); // DeleteObject
    }
    return e.finish();
}

// The same rounds as WMF records, in a placeable file of the same size.
Bytes makeWmf() {
    WmfBuilder w(0, 0, kWidth, kHeight, 96);
    w.windowExt(kWidth, kHeight).createFont(-12, "Arial", 0).select(0);
    std::mt19937 random(7);
    const auto coordinate = [&](int limit) { return static_cast<int>(random() % limit); };
    std::size_t records = 3;
    for (int round = 0; records + 11 <= kRecords; ++round, records += 11) {
        const int x = coordinate(kWidth - 60);
        const int y = coordinate(kHeight - 40);
        w.createBrush(0, random() & 0xFFFFFF)
            .select(1)
            .createPen(0, round % 3, random() & 0xFFFFFF)
            .select(2);
        if (round % 2) {
            w.rectangle(x, y, x + 50, y + 30);
        } else {
            w.record(0x0418, {y + 30, x + 50, y, x}); // Ellipse
        }
        w.record(0x0325, {4, x, y + 35, x + 15, y + 31, x + 30, y + 38, x + 49, y + 34})
            .record(0x0214, {y + 40, x})      // MoveTo
            .record(0x0213, {y + 40, x + 50}) // LineTo
            .textOut(x + 2, y + 2, "Label " + std::to_string(round % 10))
            .record(0x01F0, {1})  // DeleteObject: the brush
            .record(0x01F0, {2}); // and the pen
    }
    return w.finish();
}

struct Outcome {
    double read = 1e30;
    double paint = 1e30;
    double total = 1e30;
    std::size_t items = 0;
};

Outcome measureMetafile(const std::string& path, int width, int height) {
    Outcome best;
    for (int i = 0; i < 5; ++i) {
        double read = 0;
        double paint = 0;
        std::size_t items = 0;
        const double total = timeMs([&] {
            Metafile picture;
            read = timeMs([&] { picture = readMetafileFile(path); });
            paint = timeMs([&] {
                const QImage image = ui::renderMetafile(picture, width, height);
                items = picture.drawing.items.size() + static_cast<std::size_t>(image.isNull());
            });
        });
        if (total < best.total) {
            best = {read, paint, total, items};
        }
    }
    return best;
}

double measureJpeg(const std::string& path) {
    double best = 1e30;
    for (int i = 0; i < 5; ++i) {
        best = std::min(best, timeMs([&] {
                            const DecodedPicture pic = decodeJpegFile(path, kWidth, kHeight);
                            if (pic.width != kWidth) {
                                std::abort();
                            }
                        }));
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    // Pictures are painted into images only; no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    char folder[] = "/tmp/harpoly_metafile_bench_XXXXXX";
    if (!mkdtemp(folder)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string emf = std::string(folder) + "/drawing.emf";
    const std::string wmf = std::string(folder) + "/drawing.wmf";
    const std::string jpeg = std::string(folder) + "/photo.jpg";
    overwriteFile(emf, makeEmf());
    overwriteFile(wmf, makeWmf());
    RgbaImage photo(kWidth, kHeight);
    std::mt19937 random(3);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const std::uint32_t shade = (x * 255 / kWidth + random() % 64) & 0xFF;
            photo.at(x, y) =
                0xFF000000u | shade << 16 | (y * 255 / kHeight) << 8 | (random() & 0xFF);
        }
    }
    overwriteFile(jpeg, encodeJpeg(photo));

    const double reference = measureJpeg(jpeg);
    for (const auto& [name, path] : {std::pair("EMF", emf), std::pair("WMF", wmf)}) {
        // At its own size, as the natural-size view and a pane of 1000 x 700
        // show it, and shrunk as the fit mode shows it in a smaller pane.
        for (const auto& [width, height] : {std::pair(kWidth, kHeight), std::pair(600, 420)}) {
            const Outcome o = measureMetafile(path, width, height);
            // workload, harpoly ms, reference ms, ratio
            std::printf("%s of %d records (%zu drawn items) read and painted at %dx%d "
                        "(read %.2f ms, paint %.2f ms) vs JPEG %dx%d decode, %.2f, %.2f, %.2f\n",
                        name, kRecords, o.items, width, height, o.read, o.paint, kWidth, kHeight,
                        o.total, reference, o.total / reference);
        }
    }
    for (const std::string& path : {emf, wmf, jpeg}) {
        ::unlink(path.c_str());
    }
    ::rmdir(folder);
    return 0;
}
