// The metafile reader on files made byte by byte: the picture's own size by
// each format's rule, where records land in picture pixels, the objects and
// saved states in force, text in its character set, paths and clipping, and
// damaged or hostile files. What the drawing list looks like once painted is
// checked pixel by pixel in tests/ui/metafile_render_test.cpp.

#include "core/errors.h"
#include "core/imaging/metafile_reader.h"
#include "imaging/metafile_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace harpoly {
namespace {

using namespace metafile_testing;
namespace mf = metafile;

constexpr std::uint32_t kSetMapMode = 17;
constexpr std::uint32_t kSetWindowExt = 9;
constexpr std::uint32_t kSetWindowOrg = 10;
constexpr std::uint32_t kSetViewportExt = 11;
constexpr std::uint32_t kSetViewportOrg = 12;
constexpr std::uint32_t kSaveDc = 33;
constexpr std::uint32_t kRestoreDc = 34;
constexpr std::uint32_t kDeleteObject = 40;
constexpr std::uint32_t kArc = 45;
constexpr std::uint32_t kSetArcDirection = 57;
constexpr std::uint32_t kIntersectClipRect = 30;
constexpr std::uint32_t kExtSelectClipRgn = 75;
constexpr std::uint32_t kSelectClipPath = 67;
constexpr std::uint32_t kStockWhiteBrush = 0x80000000u;

Metafile read(const Bytes& data, const MetafileLimits& limits = {}) {
    return readMetafile(data, limits);
}

mf::Box shapeBox(const Metafile& m, std::size_t n) {
    const mf::Shape& s = m.drawing.shapes.at(n);
    mf::Box b{1e9f, 1e9f, -1e9f, -1e9f};
    for (std::uint32_t i = 0; i < s.path.pointCount; ++i) {
        const mf::Point& p = m.drawing.points.at(s.path.firstPoint + i);
        b.left = std::min(b.left, p.x);
        b.top = std::min(b.top, p.y);
        b.right = std::max(b.right, p.x);
        b.bottom = std::max(b.bottom, p.y);
    }
    return b;
}

const mf::Style& shapeStyle(const Metafile& m, std::size_t n) {
    return m.drawing.styles.at(m.drawing.shapes.at(n).style);
}

void expectBox(const mf::Box& b, float l, float t, float r, float bottom) {
    EXPECT_NEAR(b.left, l, 0.01);
    EXPECT_NEAR(b.top, t, 0.01);
    EXPECT_NEAR(b.right, r, 0.01);
    EXPECT_NEAR(b.bottom, bottom, 0.01);
}

std::string invalidWhy(const Bytes& data) {
    try {
        read(data);
    } catch (const Error& e) {
        return e.kind();
    }
    return "no error";
}

// ---------------------------------------------------------------- size rules

struct SizeCase {
    const char* name;
    Bytes file;
    MetafileFormat format;
    int width;
    int height;
};

EmfBuilder::Header micrometreHeader() {
    // A 1920 x 1080 screen of 508 x 285.75 mm: the millimetre field says 286.
    EmfBuilder::Header h;
    h.frame[2] = 10000; // 100 mm
    h.frame[3] = 20000; // 200 mm
    h.device[0] = 1920;
    h.device[1] = 1080;
    h.millimetres[0] = 508;
    h.millimetres[1] = 286;
    h.micrometres[0] = 508000;
    h.micrometres[1] = 285750;
    return h;
}

EmfBuilder::Header boundsOnlyHeader() {
    EmfBuilder::Header h;
    h.bounds[0] = 10;
    h.bounds[1] = 20;
    h.bounds[2] = 59;
    h.bounds[3] = 39;
    return h;
}

TEST(MetafileSize, EachFormatStatesItsOwnPixelSize) {
    const SizeCase cases[] = {
        {"EMF frame at its reference device", EmfBuilder(100, 50).finish(), MetafileFormat::Emf,
         100, 50},
        // 100 mm at 1920 / 508 px per mm; 200 mm at 1080 / 285.75 (not / 286).
        {"EMF frame at the device's micrometre size", EmfBuilder(micrometreHeader()).finish(),
         MetafileFormat::Emf, 378, 756},
        {"EMF without a frame takes its bounds", EmfBuilder(boundsOnlyHeader()).finish(),
         MetafileFormat::Emf, 50, 20},
        {"placeable WMF box at 1440 units per inch", WmfBuilder(0, 0, 2880, 1440, 1440).finish(),
         MetafileFormat::PlaceableWmf, 192, 96},
        {"placeable WMF box given right to left", WmfBuilder(1440, 0, 0, 720, 1440).finish(),
         MetafileFormat::PlaceableWmf, 96, 48},
        {"plain WMF window extent, y up", WmfBuilder().windowExt(300, -200).finish(),
         MetafileFormat::Wmf, 300, 200},
        {"plain WMF without extent covers what it draws",
         WmfBuilder().rectangle(10, 10, 60, 40).finish(), MetafileFormat::Wmf, 50, 30},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Metafile m = read(c.file);
        EXPECT_EQ(m.format, c.format);
        EXPECT_EQ(m.width, c.width);
        EXPECT_EQ(m.height, c.height);
        EXPECT_FALSE(m.cut);
    }
}

TEST(MetafileSize, DataWithoutAUsableSizeIsAnInvalidGraphic) {
    Bytes cutHeader = EmfBuilder(10, 10).finish();
    cutHeader.resize(60);
    EmfBuilder::Header enormous;
    enormous.frame[2] = 40000 * 25; // 40,000 pixels wide
    enormous.frame[3] = 250;
    EmfBuilder::Header empty; // no frame, and bounds right of nothing
    empty.bounds[0] = 5;
    empty.bounds[2] = 4;
    Bytes noWmfHeader = WmfBuilder(0, 0, 100, 100, 96).finish();
    noWmfHeader[22] = 7;
    const std::pair<const char*, Bytes> cases[] = {
        {"no metafile", Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}},
        {"nothing", Bytes{}},
        {"EMF header cut short", cutHeader},
        {"EMF frame beyond any screen", EmfBuilder(enormous).finish()},
        {"EMF without frame or bounds", EmfBuilder(empty).finish()},
        {"placeable WMF at zero units per inch", WmfBuilder(0, 0, 100, 100, 0).finish()},
        {"placeable WMF with an empty box", WmfBuilder(0, 0, 0, 100, 96).finish()},
        {"placeable header before no WMF", noWmfHeader},
        {"plain WMF that neither sizes nor draws", WmfBuilder().finish()},
        {"plain WMF window extent of no height", WmfBuilder().windowExt(300, 0).finish()},
    };
    for (const auto& [name, data] : cases) {
        EXPECT_EQ(invalidWhy(data), kind::InvalidGraphic) << name;
    }
}

// ---------------------------------------------------------------- mapping

struct MappingCase {
    const char* name;
    std::function<void(EmfBuilder&)> setUp;
    int rect[4];
    mf::Box expected;
};

TEST(MetafileMapping, RecordsLandInPicturePixels) {
    const MappingCase cases[] = {
        {"logical units are device pixels", [](EmfBuilder&) {}, {10, 20, 30, 40}, {10, 20, 30, 40}},
        {"anisotropic window onto viewport",
         [](EmfBuilder& e) {
             e.record(kSetMapMode, {8})
                 .record(kSetWindowOrg, {500, 500})
                 .record(kSetWindowExt, {1000, 2000})
                 .record(kSetViewportExt, {100, 100});
         },
         {500, 500, 1000, 1000},
         {0, 0, 50, 25}},
        {"isotropic keeps the aspect",
         [](EmfBuilder& e) {
             e.record(kSetMapMode, {7})
                 .record(kSetWindowExt, {100, 50})
                 .record(kSetViewportExt, {100, 100});
         },
         {0, 0, 100, 50},
         {0, 0, 100, 50}},
        // A tenth of a millimetre at four pixels to the millimetre, y up.
        {"metric mode flips the y axis",
         [](EmfBuilder& e) { e.record(kSetMapMode, {2}); },
         {0, 0, 100, -100},
         {0, 0, 40, 40}},
        {"viewport origin moves the picture",
         [](EmfBuilder& e) {
             e.record(kSetViewportOrg, {10, 10});
         },
         {0, 0, 10, 10},
         {10, 10, 20, 20}},
        {"world transform scales and moves",
         [](EmfBuilder& e) { e.setWorldTransform(2, 0, 0, 2, 5, 5); },
         {0, 0, 10, 10},
         {5, 5, 25, 25}},
    };
    for (const MappingCase& c : cases) {
        SCOPED_TRACE(c.name);
        EmfBuilder e(100, 100);
        c.setUp(e);
        e.rectangle(c.rect[0], c.rect[1], c.rect[2], c.rect[3]);
        const Metafile m = read(e.finish());
        ASSERT_EQ(m.drawing.shapes.size(), 1u);
        expectBox(shapeBox(m, 0), c.expected.left, c.expected.top, c.expected.right,
                  c.expected.bottom);
    }
}

TEST(MetafileMapping, EmfFrameAwayFromTheOriginStartsThePicture) {
    // The frame covers device pixels 100..300 x 100..200.
    EmfBuilder::Header h;
    h.frame[0] = 2500;
    h.frame[1] = 2500;
    h.frame[2] = 7500;
    h.frame[3] = 5000;
    const Metafile m = read(EmfBuilder(h).rectangle(100, 100, 150, 120).finish());
    EXPECT_EQ(m.width, 200);
    EXPECT_EQ(m.height, 100);
    expectBox(shapeBox(m, 0), 0, 0, 50, 20);
}

TEST(MetafileMapping, PlaceableWmfBoxFillsThePicture) {
    // 1440 units to the inch shown at 96 pixels: a 15th of the units.
    const Metafile m = read(WmfBuilder(1440, 1440, 2880, 2880, 1440)
                                .windowOrg(1440, 1440)
                                .windowExt(1440, 1440)
                                .rectangle(1440, 1440, 2160, 2880)
                                .finish());
    EXPECT_EQ(m.width, 96);
    ASSERT_EQ(m.drawing.shapes.size(), 1u);
    expectBox(shapeBox(m, 0), 0, 0, 48, 96);
}

TEST(MetafileMapping, ArcsRunAnticlockwiseUnlessToldOtherwise) {
    for (const bool clockwise : {false, true}) {
        SCOPED_TRACE(clockwise ? "clockwise" : "anticlockwise");
        EmfBuilder e(100, 100);
        if (clockwise) {
            e.record(kSetArcDirection, {2});
        }
        // From the right-hand point to the top one.
        e.record(kArc, {0, 0, 100, 100, 100, 50, 50, 0});
        const Metafile m = read(e.finish());
        ASSERT_EQ(m.drawing.shapes.size(), 1u);
        const mf::Box b = shapeBox(m, 0);
        if (clockwise) {
            // Three quarters: down, round the left and up to the top.
            EXPECT_LT(b.left, 1);
            EXPECT_GT(b.bottom, 99);
        } else {
            // The quarter through the upper right.
            EXPECT_GT(b.left, 49);
            EXPECT_LT(b.bottom, 51);
        }
    }
}

// ---------------------------------------------------------------- objects and state

TEST(MetafileState, ObjectsSavedStatesAndBadIndexes) {
    const Metafile m = read(EmfBuilder(100, 100)
                                .createBrush(1, 0, 0xFF0000)
                                .createPen(2, 1 /*PS_DASH*/, 0, 0x0000FF)
                                .select(1)
                                .select(2)
                                .rectangle(0, 0, 10, 10) // red, blue dashes
                                .record(kSaveDc, {})
                                .select(kStockWhiteBrush)
                                .rectangle(0, 0, 10, 10) // white
                                .record(kRestoreDc, {-1})
                                .rectangle(0, 0, 10, 10) // red again
                                .record(kDeleteObject, {1})
                                .createBrush(3, 0, 0x00FF00)
                                .select(1)          // deleted: no change
                                .select(99)         // never created
                                .select(0x7FFFFFF0) // far out of range
                                .rectangle(0, 0, 10, 10)
                                .select(3)
                                .rectangle(0, 0, 10, 10) // green
                                .finish());
    ASSERT_EQ(m.drawing.shapes.size(), 5u);
    const std::uint32_t brushes[] = {0xFFFF0000u, 0xFFFFFFFFu, 0xFFFF0000u, 0xFFFF0000u,
                                     0xFF00FF00u};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(shapeStyle(m, i).brush.colour, brushes[i]) << i;
        EXPECT_EQ(shapeStyle(m, i).pen.colour, 0xFF0000FFu) << i;
        EXPECT_EQ(shapeStyle(m, i).pen.style, mf::PenStyle::Dash) << i;
    }
}

TEST(MetafileState, WmfObjectsTakeTheLowestFreeSlot) {
    const Metafile m = read(WmfBuilder()
                                .windowExt(100, 100)
                                .createBrush(0, 0xFF0000) // slot 0
                                .createBrush(0, 0x00FF00) // slot 1
                                .record(0x01F0, {0})      // delete slot 0
                                .createBrush(0, 0x0000FF) // slot 0 again
                                .select(1)
                                .rectangle(0, 0, 10, 10)
                                .select(0)
                                .rectangle(0, 0, 10, 10)
                                .finish());
    ASSERT_EQ(m.drawing.shapes.size(), 2u);
    EXPECT_EQ(shapeStyle(m, 0).brush.colour, 0xFF00FF00u);
    EXPECT_EQ(shapeStyle(m, 1).brush.colour, 0xFF0000FFu);
}

// ---------------------------------------------------------------- text

TEST(MetafileText, RunsAreDecodedFromTheirCharacterSet) {
    struct Case {
        const char* name;
        Bytes file;
        std::string text;
        std::vector<float> advances;
    };
    const Case cases[] = {
        {"UTF-16 with advances",
         EmfBuilder(100, 100).textW(10, 20, u"Ab", {7, 9}).finish(),
         "Ab",
         {7, 9}},
        {"UTF-16 pair as one character",
         EmfBuilder(100, 100).textW(0, 0, u"x\U0001F600", {5, 10, 0}).finish(),
         "x\xF0\x9F\x98\x80",
         {5, 10}},
        {"Shift-JIS font, advances folded per character",
         EmfBuilder(100, 100)
             .font(1, -12, u"ＭＳ ゴシック", 128)
             .select(1)
             .textA(0, 0,
                    "\x93\xfa\x96\x7b"
                    "A",
                    {8, 0, 8, 0, 4})
             .finish(),
         "日本A",
         {8, 8, 4}},
        {"Western font",
         EmfBuilder(100, 100).font(1, -12, u"Arial", 0).select(1).textA(0, 0, "\xe9t\xe9").finish(),
         "été",
         {}},
        {"WMF text in the font's Shift-JIS",
         WmfBuilder()
             .windowExt(100, 100)
             .createFont(-12, "\x82\x6c\x82\x72 Gothic", 128)
             .select(0)
             .textOut(5, 6, "\x83\x65\x83\x58\x83\x67")
             .finish(),
         "テスト",
         {}},
        // The position after a short string is no list of advances.
        {"WMF text of one character",
         WmfBuilder().windowExt(100, 100).textOut(5, 6, "A").finish(),
         "A",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Metafile m = read(c.file);
        ASSERT_EQ(m.drawing.texts.size(), 1u);
        EXPECT_EQ(m.drawing.texts[0].text, c.text);
        EXPECT_EQ(m.drawing.texts[0].advances, c.advances);
    }
}

TEST(MetafileText, FontAndPlaceFollowTheMapping) {
    const Metafile m = read(EmfBuilder(100, 100)
                                .record(kSetMapMode, {8})
                                .record(kSetWindowExt, {1000, 1000})
                                .record(kSetViewportExt, {100, 100})
                                .font(1, -120, u"ＭＳ ゴシック", 128, 700)
                                .select(1)
                                .textW(200, 300, u"A", {80})
                                .finish());
    ASSERT_EQ(m.drawing.texts.size(), 1u);
    const mf::Text& t = m.drawing.texts[0];
    EXPECT_NEAR(t.origin.x, 20, 0.01);
    EXPECT_NEAR(t.origin.y, 30, 0.01);
    EXPECT_NEAR(t.advances.at(0), 8, 0.01);
    const mf::Font& f = m.drawing.fonts.at(t.font);
    EXPECT_EQ(f.family, "ＭＳ ゴシック");
    EXPECT_NEAR(f.height, 12, 0.01);
    EXPECT_FALSE(f.cellHeight);
    EXPECT_EQ(f.weight, 700);
}

// ---------------------------------------------------------------- paths, clips, comments

TEST(MetafilePaths, APathIsDrawnOnlyWhenFilledOrStroked) {
    const Metafile m = read(EmfBuilder(100, 100)
                                .record(59, {}) // BeginPath
                                .moveTo(10, 10)
                                .lineTo(90, 10)
                                .lineTo(90, 90)
                                .rectangle(20, 20, 30, 30)
                                .record(61, {})           // CloseFigure
                                .record(60, {})           // EndPath
                                .record(62, {0, 0, 0, 0}) // FillPath
                                .finish());
    ASSERT_EQ(m.drawing.items.size(), 1u);
    const mf::Shape& s = m.drawing.shapes.at(0);
    EXPECT_TRUE(s.fill);
    EXPECT_FALSE(s.stroke);
    EXPECT_EQ(s.path.pointCount, 3u + 4u);
}

TEST(MetafilePaths, ClipsChainAndReset) {
    Bytes copyNone;
    put32(copyNone, 0); // no region data
    put32(copyNone, 5); // RGN_COPY
    const Metafile m = read(EmfBuilder(100, 100)
                                .record(kIntersectClipRect, {0, 0, 50, 100})
                                .rectangle(0, 0, 100, 100)
                                .record(59, {})
                                .rectangle(10, 10, 20, 20)
                                .record(60, {})
                                .record(kSelectClipPath, {1}) // RGN_AND
                                .rectangle(0, 0, 100, 100)
                                .raw(kExtSelectClipRgn, copyNone)
                                .rectangle(0, 0, 100, 100)
                                .finish());
    ASSERT_EQ(m.drawing.items.size(), 3u);
    const std::int32_t first = m.drawing.items[0].clip;
    const std::int32_t second = m.drawing.items[1].clip;
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    EXPECT_EQ(m.drawing.clips.at(second).parent, first);
    EXPECT_EQ(m.drawing.clips.at(second).op, mf::ClipOp::Intersect);
    EXPECT_EQ(m.drawing.items[2].clip, -1);
}

TEST(MetafileComments, EmfPlusAndNestedMetafilesAreSkipped) {
    Bytes emfPlus = {'E', 'M', 'F', '+', 0x01, 0x40, 0x01, 0xDB, 0x1C, 0, 0, 0, 0x10, 0, 0, 0};
    // A whole metafile inside a comment, itself holding a comment.
    const Bytes inner =
        EmfBuilder(10, 10).comment(EmfBuilder(5, 5).finish()).rectangle(0, 0, 5, 5).finish();
    const Metafile m = read(EmfBuilder(100, 100)
                                .comment(emfPlus)
                                .comment(inner)
                                .record(0x7777, {1, 2, 3}) // unknown
                                .rectangle(0, 0, 10, 10)
                                .finish());
    EXPECT_EQ(m.drawing.shapes.size(), 1u);
    EXPECT_FALSE(m.cut);
}

// ---------------------------------------------------------------- damage

TEST(MetafileDamage, BadRecordsAreSkippedOrEndTheDrawing) {
    Bytes sizeZero;
    put32(sizeZero, 43);
    put32(sizeZero, 0);
    Bytes pastTheEnd;
    put32(pastTheEnd, 43);
    put32(pastTheEnd, 0x7FFFFFF0u);
    Bytes polygonTooMany(16, 0); // bounds
    put32(polygonTooMany, 1'000'000'000u);
    Bytes polyPolyWrongTotal(16, 0);
    for (const std::uint32_t v : {2u, 3u, 2u, 2u, 0u, 0u, 1u, 1u}) {
        put32(polyPolyWrongTotal, v);
    }
    Bytes textTooLong = EmfBuilder(1, 1).textW(0, 0, u"abc").finish();
    textTooLong.erase(textTooLong.begin(), textTooLong.begin() + 108 + 8);
    textTooLong.resize(textTooLong.size() - 20); // the EOF record
    textTooLong[44 - 8] = 0xFF;                  // nChars
    textTooLong[45 - 8] = 0xFF;

    struct Case {
        const char* name;
        std::function<void(EmfBuilder&)> add;
        std::size_t shapes; // after a first rectangle and before a last one
        bool cut;
    };
    const Case cases[] = {
        {"record of size zero", [&](EmfBuilder& e) { e.bytes(sizeZero); }, 1, true},
        {"record past the end", [&](EmfBuilder& e) { e.bytes(pastTheEnd); }, 1, true},
        {"point count beyond the record", [&](EmfBuilder& e) { e.raw(86, polygonTooMany); }, 2,
         false},
        {"figure counts not adding up", [&](EmfBuilder& e) { e.raw(91, polyPolyWrongTotal); }, 2,
         false},
        {"text longer than its record", [&](EmfBuilder& e) { e.raw(84, textTooLong); }, 2, false},
        {"objects far out of range",
         [](EmfBuilder& e) {
             e.createBrush(0xFFFFFFF0u, 0, 0xFF).select(0xFFFFFFF0u).select(65536);
         },
         2, false},
        {"restores with nothing saved",
         [](EmfBuilder& e) {
             e.record(kRestoreDc, {-1}).record(kRestoreDc, {INT_MIN}).record(kRestoreDc, {5});
         },
         2, false},
        {"window extent of zero and a singular world transform",
         [](EmfBuilder& e) {
             e.record(kSetMapMode, {8})
                 .record(kSetWindowExt, {0, 0})
                 .setWorldTransform(0, 0, 0, 0, 1, 1);
         },
         2, false},
        {"enormous world transform",
         [](EmfBuilder& e) { e.setWorldTransform(1e30f, 0, 0, 1e30f, 0, 0); }, 2, false},
        {"not-a-number transform", [](EmfBuilder& e) { e.setWorldTransform(NAN, 0, 0, 1, 0, 0); },
         2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmfBuilder e(100, 100);
        e.rectangle(0, 0, 10, 10);
        c.add(e);
        e.rectangle(0, 0, 10, 10);
        const Metafile m = read(e.finish());
        EXPECT_EQ(m.drawing.shapes.size(), c.shapes);
        EXPECT_EQ(m.cut, c.cut);
        for (const mf::Point& p : m.drawing.points) {
            EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
        }
    }
}

TEST(MetafileDamage, BadWmfRecordsAreSkippedOrEndTheDrawing) {
    Bytes zeroWords;
    put32(zeroWords, 0);
    put16(zeroWords, 0x041B);
    Bytes pastTheEnd;
    put32(pastTheEnd, 0x40000000u);
    put16(pastTheEnd, 0x041B);
    const Metafile a = read(WmfBuilder()
                                .windowExt(100, 100)
                                .rectangle(0, 0, 5, 5)
                                .bytes(zeroWords)
                                .rectangle(0, 0, 5, 5)
                                .finish());
    EXPECT_EQ(a.drawing.shapes.size(), 1u);
    EXPECT_TRUE(a.cut);
    const Metafile b = read(WmfBuilder().windowExt(100, 100).bytes(pastTheEnd).finish());
    EXPECT_TRUE(b.cut);
    // A polygon claiming more points than it holds, a selection of a slot
    // never filled, and more objects than any table holds.
    WmfBuilder w;
    w.windowExt(100, 100).record(0x0324, {30000, 1, 2, 3, 4}).select(0xFFFF);
    for (int i = 0; i < 70000; ++i) {
        w.createBrush(0, 0xFF0000);
    }
    w.select(0).rectangle(0, 0, 5, 5);
    const Metafile c = read(w.finish());
    ASSERT_EQ(c.drawing.shapes.size(), 1u);
    EXPECT_EQ(shapeStyle(c, 0).brush.colour, 0xFFFF0000u);
    EXPECT_FALSE(c.cut);
}

TEST(MetafileDamage, DeepSaveNestingStaysWithinItsDepth) {
    EmfBuilder e(100, 100);
    e.createBrush(1, 0, 0xFF0000).select(1);
    for (int i = 0; i < 100'000; ++i) {
        e.record(kSaveDc, {});
    }
    e.select(kStockWhiteBrush);
    for (int i = 0; i < 100'000; ++i) {
        e.record(kRestoreDc, {-1});
    }
    e.rectangle(0, 0, 10, 10);
    const Metafile m = read(e.finish());
    ASSERT_EQ(m.drawing.shapes.size(), 1u);
    // The first save holds the red brush, and the restores come back to it.
    EXPECT_EQ(shapeStyle(m, 0).brush.colour, 0xFFFF0000u);
}

TEST(MetafileDamage, LimitsCutThePictureInsteadOfGrowing) {
    const auto rectangles = [](int n) {
        EmfBuilder e(100, 100);
        for (int i = 0; i < n; ++i) {
            e.rectangle(i, 0, i + 5, 5);
        }
        return e.finish();
    };
    MetafileLimits items;
    items.items = 5;
    const Metafile a = read(rectangles(10), items);
    EXPECT_EQ(a.drawing.items.size(), 5u);
    EXPECT_TRUE(a.cut);

    MetafileLimits points;
    points.points = 12;
    const Metafile b = read(rectangles(10), points);
    EXPECT_EQ(b.drawing.points.size(), 12u);
    EXPECT_TRUE(b.cut);

    MetafileLimits text;
    text.textBytes = 10;
    const Metafile c =
        read(EmfBuilder(100, 100).textW(0, 0, u"abcdef").textW(0, 0, u"ghijkl").finish(), text);
    EXPECT_EQ(c.drawing.texts.size(), 1u);
    EXPECT_TRUE(c.cut);

    MetafileLimits pixels;
    pixels.bitmapPixels = 100;
    const Dib small = makeDib24(8, 8, [](int, int) { return 0xFF0000u; });
    const Metafile d = read(
        EmfBuilder(100, 100).stretchDib(0, 0, 8, 8, small).stretchDib(0, 0, 8, 8, small).finish(),
        pixels);
    EXPECT_EQ(d.drawing.bitmaps.size(), 1u);
    EXPECT_TRUE(d.cut);
}

TEST(MetafileDamage, ABitmapClaimingBillionsOfPixelsIsNotDecoded) {
    Dib huge = makeDib24(2, 2, [](int, int) { return 0u; });
    for (const std::size_t at : {4u, 8u}) { // width and height 100,000
        huge.info[at] = 0xA0;
        huge.info[at + 1] = 0x86;
        huge.info[at + 2] = 0x01;
    }
    const Metafile m =
        read(EmfBuilder(100, 100).stretchDib(0, 0, 8, 8, huge).rectangle(0, 0, 5, 5).finish());
    EXPECT_TRUE(m.drawing.images.empty());
    EXPECT_EQ(m.drawing.shapes.size(), 1u);
}

TEST(MetafileFile, ReadsFromDiskAndNamesItsExtensions) {
    EXPECT_TRUE(isMetafileExtension(".wmf"));
    EXPECT_TRUE(isMetafileExtension(".emf"));
    EXPECT_FALSE(isMetafileExtension(".EMF"));
    EXPECT_FALSE(isMetafileExtension(".bmp"));
    try {
        readMetafileFile("/nonexistent/picture.emf");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), kind::FOpen);
    }
}

} // namespace
} // namespace harpoly
