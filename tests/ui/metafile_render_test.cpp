// Metafiles made byte by byte, read by the core and drawn by the window
// layer's painter into small images, checked at chosen pixels: each record
// family once, and the picture drawn at sizes other than its own.

#include "core/imaging/metafile_reader.h"
#include "imaging/metafile_builder.h"
#include "ui/browse/metafile_painter.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QTest>

#include <functional>
#include <vector>

using namespace harpoly;
using namespace harpoly::metafile_testing;
using harpoly::ui::paintMetafile;
using harpoly::ui::renderMetafile;

namespace {

constexpr std::uint32_t kNullPen = 0x80000008u;
constexpr std::uint32_t kSetPolyFillMode = 19;
constexpr std::uint32_t kSetMapMode = 17;
constexpr std::uint32_t kSetWindowExt = 9;
constexpr std::uint32_t kSetViewportExt = 11;
constexpr std::uint32_t kSetViewportOrg = 12;
constexpr std::uint32_t kSetBkMode = 18;
constexpr std::uint32_t kSaveDc = 33;
constexpr std::uint32_t kRestoreDc = 34;
constexpr std::uint32_t kIntersectClipRect = 30;
constexpr std::uint32_t kExcludeClipRect = 29;
constexpr std::uint32_t kBeginPath = 59;
constexpr std::uint32_t kEndPath = 60;
constexpr std::uint32_t kSelectClipPath = 67;
constexpr std::uint32_t kChord = 46;
constexpr std::uint32_t kPie = 47;
constexpr std::uint32_t kRoundRect = 44;
constexpr std::uint32_t kBitBlt = 76;

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kYellow = 0xFFFFFF00;

struct Probe {
    int x;
    int y;
    QRgb colour;
};
using Probes = std::vector<Probe>;

// An EMF of 100 x 100 pixels whose shapes are filled with `rgb` and not outlined.
EmfBuilder filledWith(std::uint32_t rgb) {
    EmfBuilder e(100, 100);
    e.createBrush(1, 0, rgb).select(1).select(kNullPen);
    return e;
}

QImage render(const Bytes& file, int width, int height) {
    const Metafile picture = readMetafile(file);
    return renderMetafile(picture, width, height);
}

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40 &&
           std::abs(qBlue(a) - qBlue(b)) < 40;
}

int darkPixels(const QImage& image, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            n += qGray(image.pixel(x, y)) < 128;
        }
    }
    return n;
}

Bytes figures() {
    return filledWith(0x00FF00)
        .polyPolygon(true, {{{10, 10}, {90, 10}, {90, 90}, {10, 90}},
                            {{30, 30}, {70, 30}, {70, 70}, {30, 70}}})
        .finish();
}

} // namespace

Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(Probes)

class MetafileRenderTest : public QObject {
    Q_OBJECT

private slots:
    void recordFamilies_data();
    void recordFamilies();
    void textRunStartsAtItsReferencePoint();
    void hatchedBrushLeavesGapsWhenTransparent();
    void pictureDrawnAtOtherSizesStaysSharp();
    void exposedPartOnlyIsDrawn();
    void timeBudgetEndsAHostileDrawing();
};

void MetafileRenderTest::recordFamilies_data() {
    QTest::addColumn<Bytes>("file");
    QTest::addColumn<Probes>("probes");

    QTest::newRow("filled rectangle") << filledWith(0xFF0000).rectangle(20, 20, 80, 60).finish()
                                      << Probes{{50, 40, kRed},
                                                {21, 21, kRed},
                                                {10, 10, kWhite},
                                                {90, 70, kWhite},
                                                {50, 70, kWhite}};
    QTest::newRow("one-pixel line on its own row")
        << EmfBuilder(100, 100).moveTo(10, 50).lineTo(90, 50).finish()
        << Probes{{50, 50, kBlack},
                  {11, 50, kBlack},
                  {50, 49, kWhite},
                  {50, 51, kWhite},
                  {5, 50, kWhite}};
    QTest::newRow("16-bit polygon")
        << filledWith(0x0000FF).poly(86, {{10, 10}, {90, 10}, {50, 90}}).finish()
        << Probes{{50, 37, kBlue}, {10, 80, kWhite}, {90, 80, kWhite}};
    QTest::newRow("32-bit polyline, thick pen")
        << EmfBuilder(100, 100)
               .createPen(1, 0, 6, 0x0000FF)
               .select(1)
               .poly(4, {{10, 20}, {90, 20}, {90, 80}})
               .finish()
        << Probes{{50, 20, kBlue}, {90, 50, kBlue}, {50, 50, kWhite}};
    QTest::newRow("poly-polygon leaves its hole, alternate")
        << figures() << Probes{{20, 20, kGreen}, {50, 50, kWhite}};
    QTest::newRow("poly-polygon fills its hole, winding")
        << filledWith(0x00FF00)
               .record(kSetPolyFillMode, {2})
               .polyPolygon(false, {{{10, 10}, {90, 10}, {90, 90}, {10, 90}},
                                    {{30, 30}, {70, 30}, {70, 70}, {30, 70}}})
               .finish()
        << Probes{{20, 20, kGreen}, {50, 50, kGreen}};
    QTest::newRow("ellipse") << filledWith(0xFF0000).ellipse(10, 10, 90, 90).finish()
                             << Probes{{50, 50, kRed}, {50, 12, kRed}, {13, 13, kWhite}};
    QTest::newRow("pie: the upper right quarter")
        << filledWith(0xFF0000).record(kPie, {10, 10, 90, 90, 90, 50, 50, 10}).finish()
        << Probes{{65, 35, kRed}, {35, 35, kWhite}, {35, 65, kWhite}, {65, 65, kWhite}};
    QTest::newRow("chord: beyond its line")
        << filledWith(0xFF0000).record(kChord, {10, 10, 90, 90, 90, 50, 50, 10}).finish()
        << Probes{{78, 23, kRed}, {60, 40, kWhite}};
    QTest::newRow("rounded rectangle")
        << filledWith(0xFF0000).record(kRoundRect, {10, 10, 90, 90, 40, 40}).finish()
        << Probes{{50, 50, kRed}, {50, 13, kRed}, {12, 12, kWhite}};
    QTest::newRow("Bezier through its middle")
        << EmfBuilder(100, 100)
               .createPen(1, 0, 5, 0x000000)
               .select(1)
               .poly(85, {{10, 90}, {10, 10}, {90, 10}, {90, 90}})
               .finish()
        << Probes{{50, 30, kBlack}, {50, 60, kWhite}};
    QTest::newRow("stretched bitmap keeps its corners")
        << EmfBuilder(100, 100)
               .stretchDib(10, 10, 80, 80,
                           makeDib24(2, 2,
                                     [](int x, int y) -> std::uint32_t {
                                         return y == 0 ? (x == 0 ? 0xFF0000 : 0x00FF00)
                                                       : (x == 0 ? 0x0000FF : 0xFFFF00);
                                     }))
               .finish()
        << Probes{{15, 15, kRed},    {85, 15, kGreen}, {15, 85, kBlue},
                  {85, 85, kYellow}, {5, 5, kWhite},   {95, 95, kWhite}};
    QTest::newRow("placeable WMF bitmap")
        << WmfBuilder(0, 0, 100, 100, 96)
               .windowExt(100, 100)
               .stretchDib(0, 0, 50, 50,
                           makeDib24(2, 1,
                                     [](int x, int) -> std::uint32_t {
                                         return x == 0 ? 0x0000FF : 0xFF0000;
                                     }))
               .finish()
        << Probes{{10, 25, kBlue}, {40, 25, kRed}, {75, 75, kWhite}};
    QTest::newRow("clip rectangle hides the right half")
        << filledWith(0xFF0000)
               .record(kIntersectClipRect, {0, 0, 50, 100})
               .rectangle(0, 0, 100, 100)
               .finish()
        << Probes{{25, 50, kRed}, {75, 50, kWhite}};
    QTest::newRow("excluded rectangle stays empty")
        << filledWith(0xFF0000)
               .record(kExcludeClipRect, {40, 40, 60, 60})
               .rectangle(0, 0, 100, 100)
               .finish()
        << Probes{{50, 50, kWhite}, {20, 20, kRed}};
    QTest::newRow("clip path of an ellipse")
        << filledWith(0xFF0000)
               .record(kBeginPath, {})
               .ellipse(20, 20, 80, 80)
               .record(kEndPath, {})
               .record(kSelectClipPath, {5})
               .rectangle(0, 0, 100, 100)
               .finish()
        << Probes{{50, 50, kRed}, {22, 22, kWhite}, {5, 50, kWhite}};
    QTest::newRow("clip saved and restored") << filledWith(0xFF0000)
                                                    .record(kSaveDc, {})
                                                    .record(kIntersectClipRect, {0, 0, 10, 10})
                                                    .record(kRestoreDc, {-1})
                                                    .rectangle(0, 0, 100, 100)
                                                    .finish()
                                             << Probes{{50, 50, kRed}};
    // Logical y up from the bottom edge: a shape low in y sits low in the picture.
    QTest::newRow("mapping mode flips the y axis") << filledWith(0x0000FF)
                                                          .record(kSetMapMode, {8})
                                                          .record(kSetWindowExt, {100, -100})
                                                          .record(kSetViewportExt, {100, 100})
                                                          .record(kSetViewportOrg, {0, 100})
                                                          .rectangle(10, 10, 40, 30)
                                                          .finish()
                                                   << Probes{{25, 80, kBlue}, {25, 20, kWhite}};
    QTest::newRow("world transform turns a quarter") << filledWith(0x0000FF)
                                                            .setWorldTransform(0, 1, -1, 0, 100, 0)
                                                            .rectangle(10, 10, 30, 60)
                                                            .finish()
                                                     << Probes{{65, 20, kBlue}, {20, 20, kWhite}};
    QTest::newRow("brush restored with the saved state") << filledWith(0xFF0000)
                                                                .record(kSaveDc, {})
                                                                .createBrush(2, 0, 0x0000FF)
                                                                .select(2)
                                                                .record(kRestoreDc, {-1})
                                                                .rectangle(10, 10, 90, 90)
                                                                .finish()
                                                         << Probes{{50, 50, kRed}};
    // The same bitmap xor-ed twice leaves the picture as it was.
    const Dib blue = makeDib24(1, 1, [](int, int) -> std::uint32_t { return 0x0000FF; });
    QTest::newRow("SRCINVERT twice") << filledWith(0xFF0000)
                                            .rectangle(0, 0, 100, 100)
                                            .stretchDib(0, 0, 50, 50, blue, 0x00660046u)
                                            .stretchDib(0, 0, 50, 50, blue, 0x00660046u)
                                            .finish()
                                     << Probes{{25, 25, kRed}, {75, 75, kRed}};
    QTest::newRow("SRCAND keeps the common bits")
        << filledWith(0xFF00FF)
               .rectangle(0, 0, 100, 100)
               .stretchDib(0, 0, 50, 50, blue, 0x008800C6u)
               .finish()
        << Probes{{25, 25, kBlue}, {75, 75, 0xFFFF00FF}};
    QTest::newRow("DSTINVERT without a source")
        << EmfBuilder(100, 100)
               .record(kBitBlt, {0, 0, 0, 0, 0, 0, 50, 50, 0x00550009, 0, 0, 1,
                                 0, 0, 1, 0, 0, 0, 0,  0,  0,          0, 0})
               .finish()
        << Probes{{25, 25, kBlack}, {75, 75, kWhite}};
    QTest::newRow("EMF+ comment before the fallback records")
        << filledWith(0xFF0000)
               .comment({'E', 'M', 'F', '+', 1, 0x40, 0, 0, 12, 0, 0, 0, 0, 0, 0, 0})
               .rectangle(10, 10, 90, 90)
               .finish()
        << Probes{{50, 50, kRed}};
    QTest::newRow("placeable WMF rectangle") << WmfBuilder(0, 0, 1440, 1440, 1440)
                                                    .windowOrg(0, 0)
                                                    .windowExt(1440, 1440)
                                                    .createBrush(0, 0x00FF00)
                                                    .select(0)
                                                    .rectangle(0, 0, 720, 1440)
                                                    .finish()
                                             << Probes{{20, 48, kGreen}, {70, 48, kWhite}};
}

void MetafileRenderTest::recordFamilies() {
    QFETCH(Bytes, file);
    QFETCH(Probes, probes);
    const Metafile picture = readMetafile(file);
    const QImage image = renderMetafile(picture, picture.width, picture.height);
    for (const Probe& p : probes) {
        const QRgb got = image.pixel(p.x, p.y);
        QVERIFY2(near(got, p.colour), qPrintable(QStringLiteral("(%1, %2) is %3, not %4")
                                                     .arg(p.x)
                                                     .arg(p.y)
                                                     .arg(got, 8, 16)
                                                     .arg(p.colour, 8, 16)));
    }
}

void MetafileRenderTest::textRunStartsAtItsReferencePoint() {
    // Top-left alignment: the run hangs below and right of (30, 40).
    const Bytes file = EmfBuilder(200, 100)
                           .font(1, -20, u"DejaVu Sans", 0, 700)
                           .select(1)
                           .record(kSetBkMode, {1})
                           .textW(30, 40, u"HHHH")
                           .finish();
    const QImage image = render(file, 200, 100);
    QVERIFY(darkPixels(image, QRect(30, 40, 60, 20)) > 50);
    QCOMPARE(darkPixels(image, QRect(0, 0, 28, 100)), 0);
    QCOMPARE(darkPixels(image, QRect(0, 0, 200, 39)), 0);
    QCOMPARE(darkPixels(image, QRect(0, 62, 200, 38)), 0);
    // Baseline alignment puts the same run above the reference point.
    const Bytes baseline = EmfBuilder(200, 100)
                               .font(1, -20, u"DejaVu Sans", 0, 700)
                               .select(1)
                               .record(kSetBkMode, {1})
                               .record(22, {24}) // TA_BASELINE
                               .textW(30, 40, u"HHHH", {15, 15, 15, 15})
                               .finish();
    const QImage above = render(baseline, 200, 100);
    QVERIFY(darkPixels(above, QRect(30, 22, 60, 18)) > 50);
    QCOMPARE(darkPixels(above, QRect(0, 42, 200, 58)), 0);
    // The advances the file gives set the run's length: four of 15 pixels.
    QCOMPARE(darkPixels(above, QRect(92, 0, 108, 100)), 0);
}

void MetafileRenderTest::hatchedBrushLeavesGapsWhenTransparent() {
    const Bytes file = EmfBuilder(100, 100)
                           .createBrush(1, 2 /*BS_HATCHED*/, 0x000000, 4 /*HS_CROSS*/)
                           .select(1)
                           .select(kNullPen)
                           .record(kSetBkMode, {1})
                           .rectangle(0, 0, 100, 100)
                           .finish();
    const QImage image = render(file, 100, 100);
    const int dark = darkPixels(image, QRect(10, 10, 80, 80));
    QVERIFY(dark > 200);
    QVERIFY(dark < 80 * 80 / 2);
}

void MetafileRenderTest::pictureDrawnAtOtherSizesStaysSharp() {
    const Bytes file = filledWith(0xFF0000).rectangle(20, 20, 80, 60).finish();
    // Shrunk to half (fit mode) and enlarged four times: the rectangle's edges
    // fall on the scaled pixels, with nothing blurred around them.
    const QImage half = render(file, 50, 50);
    QCOMPARE(half.pixel(10, 10), kRed);
    QCOMPARE(half.pixel(39, 29), kRed);
    QCOMPARE(half.pixel(9, 10), kWhite);
    QCOMPARE(half.pixel(10, 9), kWhite);
    QCOMPARE(half.pixel(40, 29), kWhite);
    const QImage big = render(file, 400, 400);
    QCOMPARE(big.pixel(80, 80), kRed);
    QCOMPARE(big.pixel(79, 80), kWhite);
    QCOMPARE(big.pixel(319, 239), kRed);
    QCOMPARE(big.pixel(320, 239), kWhite);
    QCOMPARE(big.pixel(319, 240), kWhite);
}

void MetafileRenderTest::exposedPartOnlyIsDrawn() {
    // Scrolling a large picture redraws only what comes into view: a shape
    // wholly outside the exposed part is left alone.
    const Bytes file =
        filledWith(0xFF0000).rectangle(0, 0, 40, 100).rectangle(60, 0, 100, 100).finish();
    const Metafile picture = readMetafile(file);
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintMetafile(painter, picture, QRectF(0, 0, 100, 100), QRectF(0, 0, 50, 100));
    painter.end();
    QCOMPARE(image.pixel(20, 50), kRed);
    QCOMPARE(image.pixel(80, 50), kWhite);
}

void MetafileRenderTest::timeBudgetEndsAHostileDrawing() {
    // 200,000 shapes each covering the whole picture would take minutes.
    EmfBuilder e(2000, 2000);
    e.createBrush(1, 0, 0xFF0000).select(1);
    for (int i = 0; i < 200'000; ++i) {
        e.ellipse(-2000, -2000, 4000, 4000);
    }
    const Metafile picture = readMetafile(e.finish());
    QCOMPARE(picture.drawing.items.size(), std::size_t{200'000});
    QElapsedTimer timer;
    timer.start();
    const QImage image =
        renderMetafile(picture, 2000, 2000, Qt::white, std::chrono::milliseconds(50));
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(image.pixel(1000, 1000), kRed); // what was drawn stays
}

QTEST_MAIN(MetafileRenderTest)
#include "metafile_render_test.moc"
