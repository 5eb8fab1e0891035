// Small or sparse hostile files against the readers of pictures, icons and
// programs: each must answer in a fraction of a second of processor time and
// a few megabytes of memory, whatever size the file claims. Every case runs
// in a child process, which measures both (child_cost.h); the limits are
// loose enough for a busy machine and far below what an unbounded reader
// costs (seconds and hundreds of megabytes).

#include "core/errors.h"
#include "core/imaging/bmp_decoder.h"
#include "core/imaging/icon_file.h"
#include "core/imaging/icon_source.h"
#include "core/imaging/jpeg_decoder.h"
#include "generate/icon_test_files.h"
#include "imaging/test_pictures.h"
#include "platform/scratch_folder.h"
#include "robustness/child_cost.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace harpoly {
namespace {

using namespace icon_test;
using test::ChildCost;
using test::measureInChild;
using test::ScratchFolder;

constexpr double kCpuLimitSeconds = 0.5;
constexpr long kMemoryLimitKb = 48 * 1024;
constexpr std::uint64_t kHugeSize = 1536ull << 20; // 1.5 GB

std::string kindOf(const std::function<std::string()>& work) {
    try {
        return work();
    } catch (const Error& e) {
        return e.kind();
    }
}

void expectCheap(const ChildCost& cost, const std::string& outcome,
                 long memoryKb = kMemoryLimitKb) {
    ASSERT_TRUE(cost.finished) << "the child crashed or ran out of time";
    EXPECT_EQ(cost.outcome, outcome);
    EXPECT_LT(cost.cpuSeconds, kCpuLimitSeconds);
    EXPECT_LT(cost.peakGrowthKb, memoryKb);
}

// A file of `size` bytes, holes except for `parts` written at their offsets.
void writeSparse(const std::string& path, std::uint64_t size,
                 const std::vector<std::pair<std::uint64_t, Bytes>>& parts) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
    for (const auto& [offset, bytes] : parts) {
        ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)),
                  static_cast<ssize_t>(bytes.size()));
    }
    ::close(fd);
}

// A progressive JPEG whose last scan (the final refinement of the brightness)
// is repeated `repeats` times: each copy is a few bytes and a whole pass over
// the picture for the decoder.
Bytes scanBomb(int repeats) {
    preview_testing::JpegSpec layout;
    layout.width = 1024;
    layout.height = 1024;
    layout.progressive = true;
    const std::vector<unsigned char> jpeg = preview_testing::makeJpeg(layout);
    std::size_t lastScan = jpeg.size() - 2;
    while (lastScan > 0 && !(jpeg[lastScan] == 0xFF && jpeg[lastScan + 1] == 0xDA)) {
        --lastScan;
    }
    const std::size_t end = jpeg.size() - 2; // the end-of-image marker
    Bytes out(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(end));
    for (int i = 0; i < repeats; ++i) {
        out.insert(out.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(lastScan),
                   jpeg.begin() + static_cast<std::ptrdiff_t>(end));
    }
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}

TEST(BoundedWork, AJpegWithThousandsOfScansIsRefused) {
    const Bytes bomb = scanBomb(5000);
    ASSERT_LT(bomb.size(), 400u * 1024);
    ScratchFolder dir;
    dir.writeBytes("bomb.jpg", bomb);
    const std::string path = dir.path() + "bomb.jpg";
    for (const auto& [needWidth, needHeight] : {std::pair{0, 0}, std::pair{400, 300}}) {
        expectCheap(measureInChild([&] {
                        return kindOf([&] {
                            decodeJpegFile(path, needWidth, needHeight);
                            return std::string("decoded");
                        });
                    }),
                    kind::JPEG);
    }
    // A progressive file as encoders write it still decodes.
    preview_testing::JpegSpec layout;
    layout.progressive = true;
    const std::vector<unsigned char> normal = preview_testing::makeJpeg(layout);
    EXPECT_EQ(decodeJpegMemory(normal.data(), normal.size()).width, 16);
}

TEST(BoundedWork, LargeFilesNamedJpgAreRefusedWithoutBeingReadThrough) {
    ScratchFolder dir;
    const std::string path = dir.path() + "huge.jpg";
    const auto decodeKind = [&] {
        return kindOf([&] {
            decodeJpegFile(path, 400, 300);
            return std::string("decoded");
        });
    };
    // Another kind of file, and one that begins like a JPEG and has no
    // marker after that.
    for (const Bytes& head : {Bytes{'M', 'Z', 0, 0}, Bytes{0xFF, 0xD8}}) {
        writeSparse(path, kHugeSize, {{0, head}});
        expectCheap(measureInChild(decodeKind), kind::JPEG);
    }
}

TEST(BoundedWork, ARunLengthBitmapDeclaringAHugeSizeIsDecodedSmall) {
    // 8-bit, run-length encoded, 10000 x 10000 over a few bytes of data.
    Bytes v(14 + 40 + 256 * 4, 0);
    v[0] = 'B';
    v[1] = 'M';
    set32(v, 10, static_cast<std::uint32_t>(v.size()));
    set32(v, 14, 40);
    set32(v, 18, 10000);
    set32(v, 22, 10000);
    set16(v, 26, 1);
    set16(v, 28, 8);
    set32(v, 30, 1); // BI_RLE8
    set32(v, 14 + 40 + 4, 0xFF0000);
    // The bottom ten rows begin with a run of 255 red pixels; a delta then
    // jumps 200 rows up for one more run.
    for (int row = 0; row < 10; ++row) {
        v.insert(v.end(), {255, 1, 0, 0});
    }
    v.insert(v.end(), {0, 2, 0, 200, 255, 1, 0, 1});
    ScratchFolder dir;
    dir.writeBytes("huge.bmp", v);
    const ChildCost cost = measureInChild([&] {
        const DecodedPicture pic = decodeBmpFile(dir.path() + "huge.bmp");
        return std::to_string(pic.width) + "x" + std::to_string(pic.height) + " " +
               std::to_string(pic.image.width) + "x" + std::to_string(pic.image.height) + " " +
               std::to_string(pic.image.at(0, pic.image.height - 1) & 0xFFFFFF);
    });
    // Every tenth row and column: the least a run-length bitmap gets.
    expectCheap(cost, "10000x10000 1000x1000 16711680");

    // The runs are where they belong at the reduced scale.
    const DecodedPicture pic = decodeBmpMemory(v.data(), v.size());
    const int bottom = pic.image.height - 1;
    EXPECT_EQ(pic.image.at(25, bottom), 0xFFFF0000u); // column 250
    EXPECT_EQ(pic.image.at(26, bottom), 0xFF000000u); // column 260: background
}

TEST(BoundedWork, LargeFilesNamedBmpAreReadOnlyAsFarAsNeeded) {
    ScratchFolder dir;
    // 600 MB that do not begin like a bitmap.
    writeSparse(dir.path() + "junk.bmp", 600u << 20, {{0, Bytes{'M', 'Z', 0, 0}}});
    expectCheap(measureInChild([&] {
                    return kindOf([&] {
                        decodeBmpFile(dir.path() + "junk.bmp");
                        return std::string("decoded");
                    });
                }),
                kind::InvalidGraphic);

    // A real 24-bit header over 600 MB of (sparse) pixels: decoded at the
    // reduced scale from the rows it shows.
    const std::uint64_t rowBytes = 14000 * 3 + 2;
    Bytes header(54, 0);
    header[0] = 'B';
    header[1] = 'M';
    set32(header, 10, 54);
    set32(header, 14, 40);
    set32(header, 18, 14000);
    set32(header, 22, 14000);
    set16(header, 26, 1);
    set16(header, 28, 24);
    writeSparse(dir.path() + "big.bmp", 54 + rowBytes * 14000, {{0, header}});
    const ChildCost cost = measureInChild([&] {
        const DecodedPicture pic = decodeBmpFile(dir.path() + "big.bmp");
        return std::to_string(pic.image.width) + "x" + std::to_string(pic.image.height);
    });
    // 3500 x 3500 pixels are the picture's 49 MB; nothing else may add much.
    expectCheap(cost, "3500x3500", 64 * 1024);
}

TEST(BoundedWork, AHugeIconFileReadsItsDirectoryAndOneImage) {
    const Image image = solidImage(32, 4, 9);
    Bytes head = icoFile({image});
    head.resize(22); // the header and its one entry
    set32(head, 18, static_cast<std::uint32_t>(kHugeSize - 4096));
    ScratchFolder dir;
    writeSparse(dir.path() + "huge.ico", kHugeSize, {{0, head}, {kHugeSize - 4096, image.data}});
    const std::string path = dir.path() + "huge.ico";
    expectCheap(measureInChild([&] {
                    const RgbaImage picture = loadIconFileImage(path);
                    IconSource source = IconSource::fromFile(path);
                    return std::to_string(picture.width) + " " + std::to_string(source.count()) +
                           " " + std::to_string(source.icon(0).width);
                }),
                "32 1 32");

    // An entry count of 65535 pointing all over the file.
    Bytes crowded(6 + 65535 * 16, 0);
    set16(crowded, 2, 1);
    set16(crowded, 4, 65535);
    for (std::uint32_t i = 0; i < 65535; ++i) {
        const std::size_t at = 6 + i * 16;
        crowded[at] = 32;
        crowded[at + 1] = 32;
        set32(crowded, at + 8, 744);
        set32(crowded, at + 12, i * 23000u + 1000000u); // bit count 0: the header tells
    }
    writeSparse(path, kHugeSize, {{0, crowded}});
    expectCheap(measureInChild([&] {
                    return kindOf([&] {
                        loadIconFileImage(path);
                        return std::string("decoded");
                    });
                }),
                kind::InvalidGraphic);
}

TEST(BoundedWork, AHugeProgramFileAnswersItsIconCountAtOnce) {
    ScratchFolder dir;
    const std::string path = dir.path() + "huge.exe";
    // Nothing but "MZ" and holes.
    writeSparse(path, kHugeSize, {{0, Bytes{'M', 'Z'}}});
    expectCheap(measureInChild([&] { return std::to_string(IconSource::fromFile(path).count()); }),
                "0");

    // A library whose resource section lies behind 1.5 GB of holes.
    const Bytes library =
        peFile({{solidImage(16, 4, 1), solidImage(32, 8, 7)}, {solidImage(32, 4, 2)}});
    Bytes headers(library.begin(), library.begin() + kPeRsrcFileOffset);
    constexpr std::size_t kRawOffsetField = 0x44 + 20 + 224 + 20; // of the one section header
    set32(headers, kRawOffsetField, static_cast<std::uint32_t>(kHugeSize));
    writeSparse(
        path, kHugeSize + library.size() - kPeRsrcFileOffset,
        {{0, headers}, {kHugeSize, Bytes(library.begin() + kPeRsrcFileOffset, library.end())}});
    expectCheap(measureInChild([&] {
                    IconSource source = IconSource::fromFile(path);
                    return std::to_string(source.count()) + " " +
                           std::to_string(drawIconOnWhite(source.icon(0)).at(5, 5) & 0xFFFFFF);
                }),
                "2 " + std::to_string(testPaletteColor(7)));
}

// One icon group of 65535 images and 131070 icon resources, every image a
// 32 x 32 one whose depth only its header tells: each of them is looked up.
Bytes crowdedProgram() {
    constexpr std::uint32_t kImages = 65535;
    const Bytes image = solidImage(32, 4, 12).data;
    const std::size_t root = 0;
    const std::size_t iconNames = root + 16 + 2 * 8;
    const std::size_t groupNames = iconNames + 16 + 2 * kImages * 8;
    const std::size_t iconLanguage = groupNames + 16 + 8;
    const std::size_t groupLanguage = iconLanguage + 24;
    const std::size_t iconEntry = groupLanguage + 24;
    const std::size_t groupEntry = iconEntry + 16;
    const std::size_t imageAt = groupEntry + 16;
    const std::size_t groupAt = imageAt + image.size();
    Bytes rsrc(groupAt + 6 + kImages * 14, 0);
    const auto subdirectory = [](std::size_t at) {
        return 0x80000000u | static_cast<std::uint32_t>(at);
    };
    set16(rsrc, root + 14, 2);
    set32(rsrc, root + 16, 3);
    set32(rsrc, root + 20, subdirectory(iconNames));
    set32(rsrc, root + 24, 14);
    set32(rsrc, root + 28, subdirectory(groupNames));
    set16(rsrc, iconNames + 12, kImages); // named entries first, then ids
    set16(rsrc, iconNames + 14, kImages);
    for (std::uint32_t i = 0; i < 2 * kImages; ++i) {
        const std::size_t at = iconNames + 16 + i * 8;
        set32(rsrc, at, i < kImages ? subdirectory(groupAt) : i - kImages + 1);
        set32(rsrc, at + 4, subdirectory(iconLanguage)); // all share one language directory
    }
    set16(rsrc, groupNames + 14, 1);
    set32(rsrc, groupNames + 16, 1);
    set32(rsrc, groupNames + 20, subdirectory(groupLanguage));
    for (const auto& [language, entry] :
         {std::pair{iconLanguage, iconEntry}, std::pair{groupLanguage, groupEntry}}) {
        set16(rsrc, language + 14, 1);
        set32(rsrc, language + 16, 0x409);
        set32(rsrc, language + 20, static_cast<std::uint32_t>(entry));
    }
    set32(rsrc, iconEntry, kPeRsrcRva + static_cast<std::uint32_t>(imageAt));
    set32(rsrc, iconEntry + 4, static_cast<std::uint32_t>(image.size()));
    set32(rsrc, groupEntry, kPeRsrcRva + static_cast<std::uint32_t>(groupAt));
    set32(rsrc, groupEntry + 4, 6 + kImages * 14);
    std::copy(image.begin(), image.end(), rsrc.begin() + static_cast<std::ptrdiff_t>(imageAt));
    set16(rsrc, groupAt + 2, 1);
    set16(rsrc, groupAt + 4, kImages);
    for (std::uint32_t i = 0; i < kImages; ++i) {
        const std::size_t at = groupAt + 6 + i * 14;
        rsrc[at] = 32;
        rsrc[at + 1] = 32;
        rsrc[at + 2] = 16;
        set32(rsrc, at + 8, static_cast<std::uint32_t>(image.size()));
        set16(rsrc, at + 12, i + 1);
    }
    const auto size = static_cast<std::uint32_t>(rsrc.size());
    Bytes file = peHeaders(size, size, kPeRsrcFileOffset);
    file.insert(file.end(), rsrc.begin(), rsrc.end());
    return file;
}

TEST(BoundedWork, AnIconGroupOfManyImagesFindsThemThroughAnIndex) {
    const Bytes program = crowdedProgram();
    ScratchFolder dir;
    dir.writeBytes("crowded.dll", program);
    const auto firstIcon = [](const IconSource& source) {
        return std::to_string(source.count()) + " " +
               std::to_string(drawIconOnWhite(source.icon(0)).at(0, 0) & 0xFFFFFF);
    };
    const std::string expected = "1 " + std::to_string(testPaletteColor(12));
    expectCheap(measureInChild([&] { return firstIcon(IconSource::fromBytes(program)); }),
                expected);
    expectCheap(
        measureInChild([&] { return firstIcon(IconSource::fromFile(dir.path() + "crowded.dll")); }),
        expected);
}

} // namespace
} // namespace harpoly
