// Seeded random damage (bit flips, overwritten, inserted and removed bytes,
// cuts) to small sound files, fed through the readers that take files from
// the user's folders: the JPEG picture decoder, the JPEG size reader, the
// bitmap decoder, the metafile reader, the rich-text reader and the settings
// file. Every outcome
// must be a result or the reader's own error; a crash, a hang or a memory
// fault (under the address sanitizer) is the fault these tests look for.
// Icons and programs have their own damage test next to their reader.
//
// HARPOLY_DAMAGE_ROUNDS=<n> multiplies the number of cases and
// HARPOLY_DAMAGE_SEED=<n> changes the seed, for longer runs by hand;
// HARPOLY_DAMAGE_FOLDER=<folder> also feeds every file of a folder through the
// two JPEG readers.

#include "core/batch/jpeg_size_reader.h"
#include "core/browse/rtf_reader.h"
#include "core/errors.h"
#include "core/imaging/bmp_decoder.h"
#include "core/imaging/jpeg_decoder.h"
#include "core/imaging/metafile_reader.h"
#include "core/settings/settings.h"
#include "imaging/metafile_builder.h"
#include "imaging/test_pictures.h"
#include "platform/scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace harpoly {
namespace {

using Bytes = std::vector<unsigned char>;
using metafile_testing::sampleMetafiles;
using preview_testing::BmpSpec;
using preview_testing::JpegColour;
using preview_testing::JpegSpec;

long envNumber(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtol(value, nullptr, 10) : fallback;
}

int rounds(int base) {
    return base * static_cast<int>(std::max(1L, envNumber("HARPOLY_DAMAGE_ROUNDS", 1)));
}

std::mt19937 seeded(unsigned salt) {
    return std::mt19937(static_cast<unsigned>(envNumber("HARPOLY_DAMAGE_SEED", 20261211)) + salt);
}

// One to eight changes of the kinds a damaged disk, a cut download or a bad
// writer leave. Half of the changes fall into the first `headerSpan` bytes,
// where the sizes and offsets live.
Bytes damage(Bytes data, std::mt19937& random, std::size_t headerSpan) {
    const int changes = 1 + static_cast<int>(random() % 8);
    for (int c = 0; c < changes && !data.empty(); ++c) {
        const std::size_t span = random() % 2 ? std::min(data.size(), headerSpan) : data.size();
        const std::size_t at = random() % span;
        switch (random() % 6) {
        case 0: // one bit
            data[at] ^= static_cast<unsigned char>(1u << (random() % 8));
            break;
        case 1: // one byte
            data[at] = static_cast<unsigned char>(random());
            break;
        case 2: // the extremes sizes are made of
            data[at] = random() % 2 ? 0xFF : 0x00;
            break;
        case 3: { // bytes inserted
            const std::size_t n = 1 + random() % 16;
            Bytes extra(n);
            for (unsigned char& b : extra) {
                b = static_cast<unsigned char>(random());
            }
            data.insert(data.begin() + static_cast<std::ptrdiff_t>(at), extra.begin(), extra.end());
            break;
        }
        case 4: { // bytes removed
            const std::size_t n = std::min<std::size_t>(1 + random() % 16, data.size() - at);
            data.erase(data.begin() + static_cast<std::ptrdiff_t>(at),
                       data.begin() + static_cast<std::ptrdiff_t>(at + n));
            break;
        }
        default: // cut short
            data.resize(at);
            break;
        }
    }
    return data;
}

// A decoded picture must be whole: its pixels match its stated size.
void expectSoundPicture(const DecodedPicture& picture, const char* what) {
    EXPECT_GT(picture.width, 0) << what;
    EXPECT_GT(picture.height, 0) << what;
    EXPECT_EQ(picture.image.pixels.size(),
              static_cast<std::size_t>(picture.image.width) * picture.image.height)
        << what;
}

std::string bytesAsText(const Bytes& data) {
    return {data.begin(), data.end()};
}

Bytes sampleJpeg(int width, int height, JpegColour colour, bool progressive) {
    JpegSpec layout;
    layout.width = width;
    layout.height = height;
    layout.colour = colour;
    layout.progressive = progressive;
    return preview_testing::makeJpeg(layout);
}

std::vector<Bytes> sampleJpegs() {
    return {sampleJpeg(40, 24, JpegColour::Rgb, false), sampleJpeg(24, 40, JpegColour::Grey, true),
            sampleJpeg(17, 9, JpegColour::AdobeCmyk, false)};
}

// Counts the outcomes, so that a test can tell that both paths were taken.
struct Outcomes {
    int results = 0;
    int errors = 0;
};

void decodeJpegOrFail(const Bytes& data, int needWidth, int needHeight, Outcomes& outcomes) {
    try {
        expectSoundPicture(decodeJpegMemory(data.data(), data.size(), needWidth, needHeight),
                           "JPEG");
        ++outcomes.results;
    } catch (const Error& e) {
        EXPECT_TRUE(e.kind() == kind::JPEG || e.kind() == kind::InvalidGraphic) << e.kind();
        ++outcomes.errors;
    }
}

TEST(DamagedInput, JpegPicturesDecodeOrAreAJpegError) {
    std::mt19937 random = seeded(1);
    Outcomes outcomes;
    for (const Bytes& original : sampleJpegs()) {
        for (int round = 0; round < rounds(300); ++round) {
            const Bytes damaged = damage(original, random, 700);
            // Full size, and a small box that makes libjpeg scale down.
            decodeJpegOrFail(damaged, 0, 0, outcomes);
            decodeJpegOrFail(damaged, 5, 5, outcomes);
        }
    }
    EXPECT_GT(outcomes.results, 100);
    EXPECT_GT(outcomes.errors, 100);
}

TEST(DamagedInput, JpegSizeReaderGivesASizeOrAJpegError) {
    test::ScratchFolder dir;
    const std::string path = dir.path() + "picture.jpg";
    JpegSizeReader reader; // one reader for the whole run, as a batch uses it
    std::mt19937 random = seeded(2);
    Outcomes outcomes;
    for (const Bytes& original : sampleJpegs()) {
        for (int round = 0; round < rounds(150); ++round) {
            dir.writeBytes("picture.jpg", damage(original, random, 700));
            try {
                const PixelSize size = reader.read(path);
                EXPECT_GE(size.width, 0);
                EXPECT_GE(size.height, 0);
                ++outcomes.results;
            } catch (const Error& e) {
                EXPECT_EQ(e.kind(), kind::JPEG);
                ++outcomes.errors;
            }
        }
    }
    EXPECT_GT(outcomes.results, 50);
    EXPECT_GT(outcomes.errors, 50);
    // After all that, a sound file still reads.
    dir.writeBytes("picture.jpg", sampleJpeg(40, 24, JpegColour::Rgb, false));
    const PixelSize size = reader.read(path);
    EXPECT_EQ(size.width, 40);
    EXPECT_EQ(size.height, 24);
}

// Feeds a folder of odd files (given by hand) through both JPEG readers.
TEST(DamagedInput, FilesOfAFolderGivenByHand) {
    const char* folder = std::getenv("HARPOLY_DAMAGE_FOLDER");
    if (!folder || !*folder) {
        GTEST_SKIP() << "HARPOLY_DAMAGE_FOLDER is not set";
    }
    JpegSizeReader reader;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);
        ++files;
        try {
            reader.read(path);
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), kind::JPEG);
        }
        for (const auto& [w, h] : {std::pair(0, 0), std::pair(160, 120)}) {
            try {
                expectSoundPicture(decodeJpegFile(path, w, h), "JPEG file");
            } catch (const Error& e) {
                EXPECT_TRUE(e.kind() == kind::JPEG || e.kind() == kind::InvalidGraphic) << e.kind();
            }
        }
    }
    EXPECT_GT(files, 0);
}

std::uint32_t stripes(int x, int y) {
    return static_cast<std::uint32_t>((x * 7 + y * 3) % 16);
}

// Bitmaps of every bit count the reader takes, and both run-length kinds.
std::vector<Bytes> sampleBitmaps() {
    std::vector<Bytes> out;
    std::vector<std::uint32_t> palette(256);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        palette[i] = static_cast<std::uint32_t>(i * 0x010203);
    }
    for (const int bits : {1, 4, 8, 16, 24, 32}) {
        BmpSpec layout;
        layout.width = 13;
        layout.height = 6;
        layout.bitCount = bits;
        layout.topDown = bits == 24;
        layout.masks565 = bits == 16;
        if (bits <= 8) {
            layout.palette.assign(palette.begin(), palette.begin() + (1 << bits));
        }
        out.push_back(preview_testing::makeBmp(
            layout,
            bits == 1 ? [](int x, int y) -> std::uint32_t { return (x + y) % 2; } : stripes));
    }
    // Run-length data: runs, an absolute run, a delta, line ends, the end.
    const Bytes rle8 = {3, 1, 0, 3, 2, 2, 3, 0, 0, 0, 2, 2, 1, 4, 5, 0, 0, 0, 1};
    const Bytes rle4 = {5, 0x12, 0, 3, 0x30, 0x00, 0, 0, 0, 2, 1, 1, 3, 0x45, 0, 1};
    for (const auto& [bits, data] : {std::pair(8, rle8), std::pair(4, rle4)}) {
        BmpSpec layout;
        layout.width = 8;
        layout.height = 4;
        layout.bitCount = bits;
        layout.palette.assign(palette.begin(), palette.begin() + (1 << bits));
        Bytes v = preview_testing::makeBmp(layout, [](int, int) -> std::uint32_t { return 0; });
        const std::size_t offset = v[10] | v[11] << 8;
        v.resize(offset);
        v[30] = static_cast<unsigned char>(bits == 8 ? 1 : 2); // BI_RLE8 / BI_RLE4
        v.insert(v.end(), data.begin(), data.end());
        out.push_back(v);
    }
    return out;
}

TEST(DamagedInput, BitmapsDecodeOrAreAnInvalidGraphic) {
    std::mt19937 random = seeded(3);
    Outcomes outcomes;
    for (const Bytes& original : sampleBitmaps()) {
        ASSERT_NO_THROW(decodeBmpMemory(original.data(), original.size()));
        for (int round = 0; round < rounds(250); ++round) {
            const Bytes damaged = damage(original, random, 60);
            try {
                expectSoundPicture(decodeBmpMemory(damaged.data(), damaged.size()), "bitmap");
                ++outcomes.results;
            } catch (const Error& e) {
                EXPECT_EQ(e.kind(), kind::InvalidGraphic);
                ++outcomes.errors;
            }
        }
    }
    EXPECT_GT(outcomes.results, 100);
    EXPECT_GT(outcomes.errors, 100);
}

// A drawing list a painter can walk: every index it holds points inside it.
void expectSoundDrawing(const Metafile& m) {
    const metafile::Drawing& d = m.drawing;
    EXPECT_GE(m.width, 1);
    EXPECT_GE(m.height, 1);
    EXPECT_LE(m.width, kMaxMetafileSide);
    EXPECT_LE(m.height, kMaxMetafileSide);
    const auto spanInside = [&d](const metafile::PathSpan& s) {
        return s.firstVerb + std::uint64_t{s.verbCount} <= d.verbs.size() &&
               s.firstPoint + std::uint64_t{s.pointCount} <= d.points.size();
    };
    for (const metafile::Item& item : d.items) {
        EXPECT_LT(item.clip, static_cast<std::int32_t>(d.clips.size()));
        switch (item.kind) {
        case metafile::ItemKind::Shape:
            ASSERT_LT(item.index, d.shapes.size());
            EXPECT_TRUE(spanInside(d.shapes[item.index].path));
            EXPECT_LT(d.shapes[item.index].style, d.styles.size());
            break;
        case metafile::ItemKind::Text:
            ASSERT_LT(item.index, d.texts.size());
            EXPECT_LT(d.texts[item.index].font, d.fonts.size());
            break;
        case metafile::ItemKind::Bitmap: {
            ASSERT_LT(item.index, d.bitmaps.size());
            const metafile::Bitmap& b = d.bitmaps[item.index];
            ASSERT_LT(b.image, d.images.size());
            EXPECT_LE(b.srcX + b.srcWidth, d.images[b.image].width);
            EXPECT_LE(b.srcY + b.srcHeight, d.images[b.image].height);
            break;
        }
        }
    }
    for (std::size_t i = 0; i < d.clips.size(); ++i) {
        EXPECT_LT(d.clips[i].parent, static_cast<std::int32_t>(i));
        EXPECT_TRUE(spanInside(d.clips[i].path));
    }
}

TEST(DamagedInput, MetafilesDrawOrAreAnInvalidGraphic) {
    std::mt19937 random = seeded(6);
    Outcomes outcomes;
    for (const Bytes& original : sampleMetafiles()) {
        ASSERT_NO_THROW(expectSoundDrawing(readMetafile(original)));
        for (int round = 0; round < rounds(400); ++round) {
            const Bytes damaged = damage(original, random, 120);
            try {
                expectSoundDrawing(readMetafile(damaged));
                ++outcomes.results;
            } catch (const Error& e) {
                EXPECT_EQ(e.kind(), kind::InvalidGraphic);
                ++outcomes.errors;
            }
        }
    }
    EXPECT_GT(outcomes.results, 300);
    EXPECT_GT(outcomes.errors, 50);
}

TEST(DamagedInput, RichTextIsAlwaysReadWithinItsTextLimit) {
    const std::string sample =
        "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fcharset128 \\'82\\'6c\\'82\\'72 "
        "Gothic;}{\\f1\\fswiss Arial;}}{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue9;}"
        "{\\*\\generator Writer 1.0;}{\\info{\\title x}}\\pard\\qc\\f0\\fs24 \\'93\\'fa\\'96\\'7b "
        "{\\b\\cf1 bold\\b0} \\u8364?\\uc2\\u55357\\'3f\\'3f\\u56832??\\par"
        "{\\pict\\wmetafile8 0102\\bin4 \x01{}\x02}\\line\\tab\\emdash{\\i\\ul x\\ulnone}\\-\\~"
        "\\f1\\fs-20 end\\par}";
    std::mt19937 random = seeded(4);
    const Bytes original(sample.begin(), sample.end());
    for (int round = 0; round < rounds(600); ++round) {
        const std::string damaged = bytesAsText(damage(original, random, original.size()));
        const RtfDocument doc = readRtf(damaged, round % 3 == 0 ? 20 : SIZE_MAX);
        if (round % 3 == 0) {
            EXPECT_LE(doc.plainText().size(), 20u);
        }
    }
}

TEST(DamagedInput, SettingsFilesGiveValuesAndTheNextSaveIsSound) {
    test::ScratchFolder dir;
    const std::string path = dir.path() + "harpoly.ini";
    Settings defaults;
    defaults.outputFolder = dir.path();
    defaults.displayFolder = dir.path();
    Settings sample = defaults;
    sample.maximised = true;
    sample.height = 480;
    sample.width = -7;
    sample.filterExtensions = {"jpg", "txt"};
    sample.imageExtensions = {"bmp"};
    sample.nextKey = 0x2041;
    SaveSettings(path, sample, false);
    std::ifstream in(path, std::ios::binary);
    const Bytes original{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(original.empty());

    std::mt19937 random = seeded(5);
    for (int round = 0; round < rounds(200); ++round) {
        dir.writeBytes("harpoly.ini", damage(original, random, original.size()));
        const Settings loaded = LoadSettings(path, defaults);
        if (round % 10 == 0) {
            // What was read can be written back and reads back the same.
            SaveSettings(path, loaded, loaded.maximised);
            EXPECT_EQ(LoadSettings(path, defaults), loaded);
        }
    }
}

} // namespace
} // namespace harpoly
