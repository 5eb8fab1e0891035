// Metafiles in the preview: an EMF listed under Img is described by its own
// size, drawn sharp into the fitted rectangle in the main window, at its own
// size in full-screen natural mode, and a damaged one is reported.
#include "../core/imaging/metafile_builder.h"
#include "window_rig.h"

#include <QImage>
#include <QScrollBar>

namespace t = harpoly::test;
namespace mf = harpoly::metafile_testing;

namespace {

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kBlue = 0x0000FF;

// A 1600 x 1200 picture: white, a red rectangle over its left half and a blue
// one over the bottom-right quarter.
mf::Bytes twoRectangles() {
    mf::EmfBuilder emf(1600, 1200);
    emf.createPen(1, 5 /* PS_NULL */, 0, 0).select(1);
    emf.createBrush(2, 0, kRed).select(2).rectangle(0, 0, 800, 1200);
    emf.createBrush(3, 0, kBlue).select(3).rectangle(800, 600, 1600, 1200);
    return emf.finish();
}

void writeBytes(const std::string& path, const mf::Bytes& bytes) {
    t::writeFile(path, std::string(bytes.begin(), bytes.end()));
}

struct MetafileWindows : t::WindowRig {
    MetafileWindows() {
        writeBytes(display + "a.emf", twoRectangles());
        writeBytes(display + "b.emf", mf::Bytes{0x01, 0x00, 0x00, 0x00, 0x6C, 0x00}); // cut short
        t::writeFile(settings,
                     "[Ext]\r\nImg=jpg,jpeg,bmp,ico,wmf,emf\r\n[Set]\r\nDir=" + display + "\r\n");
        start();
    }
    QRgb pixelAt(QPoint p) { return IMG->grab().toImage().pixel(p); }
};

} // namespace

class MetafilePreviewTest : public QObject {
    Q_OBJECT

private slots:
    void fitsIntoTheMainWindowAndShowsItsOwnSizeInFullScreen() {
        MetafileWindows w;
        QCOMPARE(w.currentName(), QStringLiteral("a.emf"));
        QCOMPARE(w.info(), QStringLiteral(" 幅 1600  高さ 1200  サイズ 0KB"));
        QTRY_VERIFY(w.IMG->isVisible()); // once drawn, off the window thread

        // Fit: shrunk, centred, the halves where the picture has them.
        const QRect drawn = w.IMG->drawnRect();
        QVERIFY(drawn.width() < 1600 && drawn.height() < 1200);
        QVERIFY(qAbs(drawn.width() * 3 - drawn.height() * 4) <= 4); // 4:3 kept
        const QPoint c = drawn.center();
        QCOMPARE(w.pixelAt({drawn.left() + drawn.width() / 4, c.y()}), qRgb(255, 0, 0));
        QCOMPARE(w.pixelAt({drawn.left() + 3 * drawn.width() / 4, drawn.top() + 5}),
                 qRgb(255, 255, 255));
        QCOMPARE(w.pixelAt({drawn.right() - 3, drawn.bottom() - 3}), qRgb(0, 0, 255));

        // Full screen, natural size: the pane takes the picture's own size and
        // the area scrolls; the blue quarter starts at (800, 600).
        w.BF->click();
        QVERIFY(QTest::qWaitForWindowExposed(w.full));
        QTRY_VERIFY(w.IMG->hasPicture());
        QTest::keyClick(w.full->focusWidget() ? w.full->focusWidget() : w.full, Qt::Key_Insert);
        QCOMPARE(w.IMG->mode(), harpoly::PictureMode::Natural);
        QCOMPARE(w.IMG->drawnRect(), QRect(0, 0, 1600, 1200));
        QTRY_COMPARE(w.IMG->size(), QSize(1600, 1200));
        // Drawn again at its own size once that drawing arrives.
        QTRY_COMPARE(w.IMG->picture().size(), QSize(1600, 1200));
        QCOMPARE(w.pixelAt({799, 700}), qRgb(255, 0, 0));
        QCOMPARE(w.pixelAt({800, 700}), qRgb(0, 0, 255));
        QCOMPARE(w.pixelAt({1000, 599}), qRgb(255, 255, 255));
        QTRY_VERIFY(w.BOX->verticalScrollBar()->maximum() > 0);
        w.item("N9")->trigger();
    }

    void aDamagedMetafileIsReportedAsInvalidPictureData() {
        MetafileWindows w;
        w.click(QStringLiteral("b.emf"));
        QCOMPARE(w.info(), QStringLiteral(" エラーが発生しました。 ( 不正な画像データ )"));
        QVERIFY(!w.IMG->isVisible());
        QVERIFY(!w.IMG->hasPicture());
    }
};

HARPOLY_WINDOW_TEST_MAIN(MetafilePreviewTest)
#include "metafile_preview_test.moc"
