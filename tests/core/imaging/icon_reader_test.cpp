#include "core/errors.h"
#include "core/imaging/icon_choice.h"
#include "core/imaging/icon_file.h"
#include "core/imaging/icon_image.h"
#include "core/imaging/icon_source.h"
#include "generate/icon_test_files.h"
#include "platform/scratch_folder.h"

#include <gtest/gtest.h>

#include <random>

namespace harpoly {
namespace {

using namespace icon_test;
using test::ScratchFolder;

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

// A 32 by 32 picture whose top-left 4 by 4 corner is transparent.
bool cornerClear(int x, int y) {
    return x < 4 && y < 4;
}

TEST(ChooseIconImage, TakesTheExactSizeThenTheDeepestColourElseTheNearest) {
    struct Case {
        const char* what;
        std::vector<IconCandidate> candidates;
        int chosen;
    };
    const Case cases[] = {
        {"exact size, deepest colour",
         {{16, 16, 4}, {32, 32, 4}, {32, 32, 8}, {32, 32, 32}, {48, 48, 32}},
         3},
        {"first of equal images", {{32, 32, 8}, {32, 32, 8}}, 0},
        {"nothing deeper than the display", {{32, 32, 8}, {32, 32, 64}}, 0},
        {"only too deep: the shallowest", {{32, 32, 64}, {32, 32, 48}}, 1},
        {"nearest size", {{16, 16, 32}, {24, 24, 4}, {256, 256, 32}}, 1},
        {"a tie goes to the larger", {{16, 16, 32}, {48, 48, 8}}, 1},
        {"256 only", {{256, 256, 32}}, 0},
        {"none", {}, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chooseIconImage(c.candidates), c.chosen) << c.what;
    }
}

// Each depth with its AND mask: the corner is white, the rest its colour.
TEST(IconFileImage, DrawsEveryDepthOnWhiteThroughItsMask) {
    struct Case {
        int bits;
        std::uint32_t stored; // palette index for the indexed depths
        std::uint32_t shown;
    };
    const Case cases[] = {
        {1, 0, 0xFF000000u},         {4, 9, 0xFFFF0000u},           {8, 200, 0xFFC8C8C8u},
        {24, 0x123456, 0xFF123456u}, {32, 0x00ABCDEF, 0xFFABCDEFu},
    };
    ScratchFolder dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        Image im{32, 32, c.bits,
                 dibImage(
                     32, 32, c.bits,
                     [&](int x, int y) { return cornerClear(x, y) ? 0u : c.stored; }, cornerClear)};
        dir.writeBytes("a.ico", icoFile({im}));
        const RgbaImage picture = loadIconFileImage(dir.path() + "a.ico");
        ASSERT_EQ(picture.width, 32);
        ASSERT_EQ(picture.height, 32);
        EXPECT_EQ(picture.at(0, 0), kWhite);
        EXPECT_EQ(picture.at(3, 3), kWhite);
        EXPECT_EQ(picture.at(4, 0), c.shown);
        EXPECT_EQ(picture.at(31, 31), c.shown);
    }
}

TEST(IconFileImage, BlendsAlphaImagesAndPngImagesWithWhite) {
    auto color = [](int x, int) -> std::uint32_t {
        return x == 0 ? 0x00FF0000u : x == 1 ? 0x80FF0000u : 0xFF0000FFu;
    };
    ScratchFolder dir;
    for (bool png : {false, true}) {
        SCOPED_TRACE(png);
        Image im{16, 16, 32,
                 png ? pngImage(16, 16, color)
                     : dibImage(16, 16, 32, color, [](int, int) { return false; })};
        dir.writeBytes("a.ico", icoFile({im}));
        const RgbaImage picture = loadIconFileImage(dir.path() + "a.ico");
        ASSERT_EQ(picture.width, 16); // shown at its own size
        EXPECT_EQ(picture.at(0, 5), kWhite);
        EXPECT_EQ(picture.at(1, 5), 0xFFFF7F7Fu);
        EXPECT_EQ(picture.at(2, 5), 0xFF0000FFu);
    }
}

TEST(IconFileImage, ShowsTheImageNearestTheStandardSize) {
    ScratchFolder dir;
    dir.writeBytes("a.ico", icoFile({solidImage(16, 4, 9), solidImage(48, 4, 12),
                                     solidImage(32, 4, 10), solidImage(32, 8, 100)}));
    const RgbaImage picture = loadIconFileImage(dir.path() + "a.ico");
    EXPECT_EQ(picture.width, 32);
    EXPECT_EQ(picture.at(5, 5), 0xFF646464u); // the 8-bit one
}

TEST(IconFileImage, RefusesDamagedFiles) {
    const Image good = solidImage(32, 4, 9);
    Bytes pastTheEnd = icoFile({good});
    set32(pastTheEnd, 18, 0x7FFFFFF0u); // image offset
    Bytes hugeSize = icoFile({good});
    set32(hugeSize, 14, 0xFFFFFFFFu); // image size
    Bytes noMask = icoFile({good});
    noMask.resize(noMask.size() - 128);
    Bytes absurdWidth = icoFile({good});
    set32(absurdWidth, 22 + 4, 100000);
    Bytes badDepth = icoFile({good});
    set16(badDepth, 22 + 14, 7);
    Bytes noImages = icoFile({});
    Bytes absurdCount = icoFile({good});
    set16(absurdCount, 4, 0xFFFF);
    set32(absurdCount, 18, 0x7FFFFFF0u);
    Bytes damagedPng = icoFile({{32, 32, 32, pngImage(32, 32, [](int, int) { return ~0u; })}});
    for (std::size_t i = 22 + 40; i < damagedPng.size() - 20; ++i) {
        damagedPng[i] ^= 0x5A;
    }
    Bytes truncatedPng = icoFile({{32, 32, 32, pngImage(32, 32, [](int x, int) { return x; })}});
    truncatedPng.resize(truncatedPng.size() - 30);

    const std::pair<const char*, Bytes> cases[] = {
        {"empty", {}},
        {"header only", {0, 0, 1, 0}},
        {"no images", noImages},
        {"offset past the end", pastTheEnd},
        {"size past the end", hugeSize},
        {"mask missing", noMask},
        {"absurd width", absurdWidth},
        {"unknown depth", badDepth},
        {"absurd count", absurdCount},
        {"damaged PNG", damagedPng},
        {"truncated PNG", truncatedPng},
        {"text", {'h', 'e', 'l', 'l', 'o', '!', '!'}},
    };
    ScratchFolder dir;
    for (const auto& [what, bytes] : cases) {
        dir.writeBytes("bad.ico", bytes);
        try {
            loadIconFileImage(dir.path() + "bad.ico");
            ADD_FAILURE() << what << ": no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), kind::InvalidGraphic) << what;
        }
    }
    EXPECT_THROW(loadIconFileImage(dir.path() + "missing.ico"), Error);
}

Image cornerIconLike() {
    return {32, 32, 8,
            dibImage(
                32, 32, 8, [](int x, int) { return x * 7u; }, cornerClear)};
}

std::vector<std::vector<Image>> twelveIcons() {
    std::vector<std::vector<Image>> groups;
    for (int i = 0; i < 12; ++i) {
        groups.push_back({solidImage(32, 4, static_cast<std::uint32_t>(i))});
    }
    return groups;
}

TEST(IconSource, CountsTheIconGroupsOfProgramsAndLibraries) {
    for (bool plus : {false, true}) {
        SCOPED_TRACE(plus ? "PE32+" : "PE32");
        IconSource source = IconSource::fromBytes(peFile(twelveIcons(), plus));
        ASSERT_EQ(source.count(), 12);
        for (int i = 0; i < 12; ++i) {
            const IconImage icon = source.icon(i);
            EXPECT_EQ(icon.width, 32);
            EXPECT_EQ(drawIconOnWhite(icon).at(7, 7),
                      0xFF000000u | testPaletteColor(i)); // icon i is palette colour i
        }
        EXPECT_THROW(source.icon(12), Error);
        EXPECT_EQ(IconSource::fromBytes(peFile({}, plus)).count(), 0);
    }
    EXPECT_EQ(IconSource::fromBytes(Bytes{'M', 'Z'}).count(), 0);
    EXPECT_EQ(IconSource::fromBytes(icoFile({solidImage(16, 4, 1)})).count(), 1);
    EXPECT_EQ(IconSource::fromBytes(Bytes(100, 'x')).count(), 0);
}

TEST(IconSource, TakesTheImageOfTheLargeIconSize) {
    IconSource several = IconSource::fromBytes(
        peFile({{solidImage(16, 4, 9), solidImage(32, 4, 10), solidImage(32, 32, 0xFF102030u),
                 solidImage(32, 8, 77), solidImage(48, 32, 0xFF405060u)}}));
    EXPECT_EQ(drawIconOnWhite(several.icon(0)).at(0, 0), 0xFF102030u);

    // Only a 16 and a 256 (directory width 0): the 16 is nearer and is doubled.
    IconSource scaled =
        IconSource::fromBytes(peFile({{solidImage(256, 4, 12),
                                       {16, 16, 4,
                                        dibImage(
                                            16, 16, 4, [](int x, int) { return x < 8 ? 9u : 10u; },
                                            [](int, int) { return false; })}}}));
    const IconImage icon = scaled.icon(0);
    ASSERT_EQ(icon.width, 32);
    EXPECT_EQ(drawIconOnWhite(icon).at(15, 0), 0xFFFF0000u);
    EXPECT_EQ(drawIconOnWhite(icon).at(16, 0), 0xFF00FF00u);

    // A 256 image alone is taken and scaled down.
    IconSource big = IconSource::fromBytes(peFile({{solidImage(256, 4, 12)}}));
    EXPECT_EQ(drawIconOnWhite(big.icon(0)).at(31, 31), 0xFF0000FFu);
}

TEST(IconSource, GivesTheIconsOfSixteenBitPrograms) {
    ScratchFolder dir;
    for (unsigned shift : {4u, 9u}) {
        SCOPED_TRACE(shift);
        dir.writeBytes("old.exe", neFile(twelveIcons(), shift));
        IconSource source = IconSource::fromFile(dir.path() + "old.exe");
        ASSERT_EQ(source.count(), 12);
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(drawIconOnWhite(source.icon(i)).at(7, 7), 0xFF000000u | testPaletteColor(i));
        }
    }
    // A group of several sizes gives the image of the large-icon size.
    IconSource several = IconSource::fromBytes(
        neFile({{solidImage(16, 4, 9), solidImage(32, 4, 10), solidImage(48, 4, 12)}}));
    EXPECT_EQ(drawIconOnWhite(several.icon(0)).at(0, 0), 0xFF000000u | testPaletteColor(10));
    EXPECT_EQ(IconSource::fromBytes(neFile({})).count(), 0);
}

// Resource tables past the end, absurd counts and shifts: a count of 0 or an
// error for the damaged icon, never a crash or a long walk.
TEST(IconSource, SurvivesDamagedSixteenBitPrograms) {
    const Bytes good = neFile(twelveIcons());
    constexpr std::size_t ne = 0x40;
    const std::size_t table = ne + get16(good, ne + 0x24);
    const auto tryAll = [](const Bytes& bytes) {
        IconSource source = IconSource::fromBytes(bytes);
        int decoded = 0;
        for (int i = 0; i < source.count(); ++i) {
            try {
                source.icon(i);
                ++decoded;
            } catch (const Error& e) {
                EXPECT_EQ(e.kind(), kind::InvalidGraphic);
            }
        }
        return std::pair{source.count(), decoded};
    };
    ASSERT_EQ(tryAll(good), std::pair(12, 12));
    for (std::size_t cut = 0; cut < good.size(); cut += 5) {
        const auto [count, decoded] = tryAll(Bytes(good.begin(), good.begin() + cut));
        EXPECT_LE(decoded, count);
        EXPECT_LE(count, 12);
    }
    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value;
        std::pair<int, int> outcome;
    };
    const std::size_t icons = table + 2;            // the RT_ICON type block
    const std::size_t groups = icons + 8 + 12 * 12; // the RT_GROUP_ICON type block
    const Case cases[] = {
        {"table past the end", ne + 0x24, 0xFFF0, {0, 0}},
        {"header past the end", 0x3C, 0x7FFFFFF0u, {0, 0}},
        {"absurd shift", table, 40, {0, 0}},
        {"shift too large for the file", table, 20, {0, 0}},
        {"absurd image count", icons + 2, 0xFFFF, {0, 0}},
        {"absurd group count", groups + 2, 0xFFFF, {12, 12}},
        {"group past the end", groups + 8, 0xFFFF, {11, 11}},
        {"image past the end", icons + 8, 0xFFFF, {12, 11}},
        {"missing terminator", groups + 8 + 12 * 12, 0x800E, {12, 12}},
    };
    for (const Case& c : cases) {
        Bytes bad = good;
        if (c.at == 0x3C) {
            set32(bad, c.at, c.value);
        } else {
            set16(bad, c.at, c.value);
        }
        EXPECT_EQ(tryAll(bad), c.outcome) << c.what;
    }
}

// Damaged programs: a count of 0 or an error for the damaged icon, never a
// crash, an endless walk or a huge allocation.
TEST(IconSource, SurvivesDamagedPrograms) {
    PeLayout layout;
    const Bytes good = peFile(twelveIcons(), false, &layout);

    auto tryAll = [](const Bytes& bytes) {
        IconSource source = IconSource::fromBytes(bytes);
        int decoded = 0;
        for (int i = 0; i < source.count(); ++i) {
            try {
                source.icon(i);
                ++decoded;
            } catch (const Error& e) {
                EXPECT_EQ(e.kind(), kind::InvalidGraphic);
            }
        }
        return std::pair{source.count(), decoded};
    };

    for (std::size_t cut = 0; cut < good.size(); cut += 7) {
        const auto [count, decoded] = tryAll(Bytes(good.begin(), good.begin() + cut));
        EXPECT_LE(count, 12);
        EXPECT_LE(decoded, count);
    }

    Bytes selfRoot = good; // the group type points back at the root
    set32(selfRoot, layout.rsrcOffset + 28, 0x80000000u);
    EXPECT_EQ(tryAll(selfRoot).second, 0);

    Bytes selfLoop = good; // a group's language level points at its own name level
    set32(selfLoop, layout.groupTypeDir + 20,
          0x80000000u | (layout.groupTypeDir - layout.rsrcOffset));
    EXPECT_LE(tryAll(selfLoop).first, 12);

    Bytes hugeCount = good;
    set16(hugeCount, layout.groupTypeDir + 14, 0xFFFF);
    set16(hugeCount, layout.groupTypeDir + 12, 0xFFFF);
    EXPECT_LE(tryAll(hugeCount).first, 100); // bounded by the section's bytes

    Bytes pastEnd = good; // group 0's data lies past the end
    set32(pastEnd, layout.groupDataEntries[0], 0x7FFFFFF0u);
    EXPECT_EQ(tryAll(pastEnd), std::pair(11, 11));

    Bytes hugeSize = good;
    set32(hugeSize, layout.groupDataEntries[0] + 4, 0xFFFFFFF0u);
    EXPECT_EQ(tryAll(hugeSize), std::pair(11, 11));

    Bytes sections = good; // a section count far beyond the file
    set16(sections, 0x44 + 2, 0xFFFF);
    EXPECT_EQ(tryAll(sections).first, 0);

    Bytes peOffset = good;
    set32(peOffset, 0x3C, 0xFFFFFFF0u);
    EXPECT_EQ(tryAll(peOffset).first, 0);

    Bytes badGroup = good; // a group whose header is not an icon group's
    const std::size_t groupData =
        get32(good, layout.groupDataEntries[1]) - layout.rsrcRva + layout.rsrcOffset;
    set16(badGroup, groupData + 2, 2);
    EXPECT_EQ(tryAll(badGroup), std::pair(11, 11));

    Bytes missingImage = good; // a group naming an icon id that is not there
    set16(missingImage, groupData + 6 + 12, 999);
    EXPECT_EQ(tryAll(missingImage), std::pair(12, 11));

    Bytes groupCount = good; // a group counting more entries than it holds
    set16(groupCount, groupData + 4, 0xFFFF);
    EXPECT_EQ(tryAll(groupCount), std::pair(12, 12));

    const Bytes damagedPng =
        peFile({{{32, 32, 32, Bytes{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0}}}});
    EXPECT_EQ(tryAll(damagedPng), std::pair(1, 0));
}

// Seeded random damage to a program (DIB and PNG images) and an icon file:
// every outcome is a count, a picture or an error.
TEST(IconSource, RandomlyDamagedFilesGiveAPictureOrAnError) {
    const Image png{32, 32, 32, pngImage(32, 32, [](int x, int y) { return 0x80000000u | x * y; })};
    const Bytes program = peFile({{solidImage(16, 4, 3), cornerIconLike()}, {png}}, true);
    const Bytes icon = icoFile({solidImage(16, 8, 3), png, cornerIconLike()});
    std::mt19937 random(20261211);
    for (const Bytes* original : {&program, &icon}) {
        for (int round = 0; round < 400; ++round) {
            Bytes damaged = *original;
            const int changes = 1 + static_cast<int>(random() % 8);
            for (int c = 0; c < changes; ++c) {
                // Every other round hits the headers and directories only.
                const std::size_t span =
                    round % 2 ? std::min<std::size_t>(damaged.size(), 1200) : damaged.size();
                damaged[random() % span] = static_cast<std::uint8_t>(random());
            }
            if (round % 5 == 0) {
                damaged.resize(random() % damaged.size());
            }
            IconSource source = IconSource::fromBytes(damaged);
            ASSERT_LE(source.count(), 1000);
            for (int i = 0; i < source.count(); ++i) {
                try {
                    const IconImage image = source.icon(i);
                    EXPECT_EQ(image.width, 32);
                } catch (const Error& e) {
                    EXPECT_EQ(e.kind(), kind::InvalidGraphic);
                }
            }
        }
    }
}

} // namespace
} // namespace harpoly
