#include "core/app/ui_ports.h"
#include "core/errors.h"
#include "core/folders/directory_outline.h"
#include "core/folders/folder_reader.h"
#include "core/platform/volumes.h"
#include "ui/folders/folder_chooser.h"
#include "ui/folders/folder_chooser_window.h"

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include <map>

using namespace harpoly;
using namespace harpoly::ui;

namespace {

class FakeVolumes : public VolumeSource {
public:
    explicit FakeVolumes(std::vector<std::string> list) : list_(std::move(list)) {}
    std::vector<std::string> volumes() const override { return list_; }

private:
    std::vector<std::string> list_;
};

class CountingReader : public FolderReader {
public:
    bool subFolders(const std::string& folder, std::vector<std::string>& names) const override {
        ++reads[folder];
        return folder != failing && system.subFolders(folder, names);
    }
    mutable std::map<std::string, int> reads;
    std::string failing;
    SystemFolderReader system;
};

class RecordingPrompter : public Prompter {
public:
    bool ask(const std::string&, const std::string&, const std::string&) override { return true; }
    void notice(const std::string& text, const std::string& caption) override {
        notices.emplace_back(text, caption);
    }
    std::vector<std::pair<std::string, std::string>> notices;
};

struct Applied {
    QString caption;
    std::string path;
};

} // namespace

class FolderChooserTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensOnTheStartFolderAtTheOwnersCorner();
    void returnConfirmsFromAnyControl_data();
    void returnConfirmsFromAnyControl();
    void closingWithoutConfirmChangesNothing_data();
    void closingWithoutConfirmChangesNothing();
    void theRootOfTheVolumeIsChosen();
    void arrowsExpandAndCollapseEvenFromTheDriveList();
    void switchingTheDriveWalksToTheOutputFolder_data();
    void switchingTheDriveWalksToTheOutputFolder();
    void aDriveThatCannotBeReadWarnsAndReturns();
    void openFolderChooserUsesTheSystemDrives();
    void aStartVolumeThatCannotBeReadOpensNothing();

private:
    std::string path(const char* below) const { return root_ + below; }
    FolderChooserWindow* open(const std::string& start, const std::string& output = {});
    void pickDrive(FolderChooserWindow* chooser, const std::string& volume);
    static QString currentText(FolderChooserWindow* chooser) {
        return chooser->findChild<QTreeView*>("CD")->currentIndex().data().toString();
    }
    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::unique_ptr<QTemporaryDir> tmp_;
    std::string root_;
    std::unique_ptr<QWidget> owner_;
    std::shared_ptr<CountingReader> reader_;
    std::shared_ptr<RecordingPrompter> prompter_;
    std::vector<Applied> applied_;
};

void FolderChooserTest::init() {
    tmp_ = std::make_unique<QTemporaryDir>();
    QVERIFY(tmp_->isValid());
    root_ = QDir(tmp_->path()).canonicalPath().toStdString();
    for (const char* d : {"a/photos/2004/Summer", "a/photos/2005", "a/work/out", "b/photos/work",
                          "b/work/out", "b/work/zz"}) {
        QVERIFY(QDir().mkpath(QString::fromStdString(path("/") + d)));
    }
    owner_ = std::make_unique<QWidget>();
    owner_->setGeometry(140, 90, 650, 500);
    owner_->show();
    reader_ = std::make_shared<CountingReader>();
    prompter_ = std::make_shared<RecordingPrompter>();
    applied_.clear();
}

void FolderChooserTest::cleanup() {
    owner_.reset(); // takes an open chooser with it
    flushDeletes();
    tmp_.reset();
}

FolderChooserWindow* FolderChooserTest::open(const std::string& start, const std::string& output) {
    FolderChooserDeps deps;
    deps.volumes = std::make_shared<FakeVolumes>(
        std::vector<std::string>{path("/a"), path("/b"), path("/none")});
    deps.reader = reader_;
    deps.folders = std::make_shared<VolumeFolders>();
    deps.prompter = prompter_;
    return openFolderChooserWith(
        owner_.get(), QStringLiteral("表示フォルダの選択"), start, output,
        [this](const QString& caption, const std::string& p) {
            applied_.push_back({caption, p});
        },
        std::move(deps));
}

void FolderChooserTest::pickDrive(FolderChooserWindow* chooser, const std::string& volume) {
    auto* ad = chooser->findChild<QComboBox*>("AD");
    const int i = ad->findData(QByteArray::fromStdString(volume));
    QVERIFY(i >= 0);
    ad->setCurrentIndex(i);
    emit ad->activated(i);
}

void FolderChooserTest::opensOnTheStartFolderAtTheOwnersCorner() {
    FolderChooserWindow* chooser = open(path("/a/photos/2004/"));
    QCOMPARE(chooser->windowTitle(), QStringLiteral("表示フォルダの選択"));
    QCOMPARE(chooser->pos(), owner_->pos());
    QCOMPARE(chooser->size(), QSize(286, 460));
    QVERIFY(chooser->isVisible());
    QVERIFY(!owner_->isEnabled());
    QVERIFY(chooser->isEnabled());
    for (const char* name : {"P", "AD", "B1", "B2", "CD"}) {
        QVERIFY2(chooser->findChild<QWidget*>(name) != nullptr, name);
    }
    QCOMPARE(chooser->findChild<QPushButton*>("B1")->text(), QStringLiteral("決定 (RETURN)"));
    QCOMPARE(chooser->findChild<QPushButton*>("B2")->text(), QStringLiteral("閉じる (ESC)"));
    auto* ad = chooser->findChild<QComboBox*>("AD");
    QCOMPARE(ad->count(), 3);
    QCOMPARE(ad->currentText(), QString::fromStdString(path("/a")));
    QCOMPARE(chooser->outline().fullPath(chooser->outline().selected()), path("/a/photos/2004"));
    QCOMPARE(currentText(chooser), QStringLiteral("2004"));
    auto* cd = chooser->findChild<QTreeView*>("CD");
    QVERIFY(cd->isExpanded(cd->currentIndex().parent()));
}

void FolderChooserTest::returnConfirmsFromAnyControl_data() {
    QTest::addColumn<QString>("control");
    QTest::newRow("tree") << "CD";
    QTest::newRow("close button") << "B2";
    QTest::newRow("drive list") << "AD";
    QTest::newRow("confirm button click") << "";
}

void FolderChooserTest::returnConfirmsFromAnyControl() {
    QFETCH(QString, control);
    QPointer<FolderChooserWindow> chooser = open(path("/a/photos/2004"));
    if (control.isEmpty()) {
        QTest::mouseClick(chooser->findChild<QPushButton*>("B1"), Qt::LeftButton);
    } else {
        QTest::keyClick(chooser->findChild<QWidget*>(control), Qt::Key_Return);
    }
    QVERIFY(owner_->isEnabled());
    QCOMPARE(applied_.size(), std::size_t{1});
    QCOMPARE(applied_[0].caption, QStringLiteral("表示フォルダの選択"));
    QCOMPARE(applied_[0].path, path("/a/photos/2004"));
    flushDeletes();
    QVERIFY(chooser.isNull());
}

void FolderChooserTest::closingWithoutConfirmChangesNothing_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("Esc") << 0;
    QTest::newRow("B2") << 1;
    QTest::newRow("close box") << 2;
}

void FolderChooserTest::closingWithoutConfirmChangesNothing() {
    QFETCH(int, how);
    QPointer<FolderChooserWindow> chooser = open(path("/a/photos"));
    QVERIFY(!owner_->isEnabled());
    if (how == 0) {
        QTest::keyClick(chooser->findChild<QWidget*>("CD"), Qt::Key_Escape);
    } else if (how == 1) {
        QTest::mouseClick(chooser->findChild<QPushButton*>("B2"), Qt::LeftButton);
    } else {
        chooser->close(); // what the window manager's close box does
    }
    QVERIFY(owner_->isEnabled());
    QVERIFY(applied_.empty());
    flushDeletes();
    QVERIFY(chooser.isNull());
}

void FolderChooserTest::theRootOfTheVolumeIsChosen() {
    FolderChooserWindow* chooser = open(path("/a/work"));
    auto* cd = chooser->findChild<QTreeView*>("CD");
    cd->setCurrentIndex(cd->model()->index(0, 0)); // the root item, by the view
    QCOMPARE(chooser->outline().selected(), 1);
    QTest::keyClick(cd, Qt::Key_Return);
    QCOMPARE(applied_.size(), std::size_t{1});
    QCOMPARE(applied_[0].path, path("/a"));
    // The system root "/" goes out as "", so that the caller's "/" gives "/".
    QCOMPARE(chosenFolderArgument("/"), std::string());
    QCOMPARE(chosenFolderArgument("/mnt/usb"), std::string("/mnt/usb"));
}

void FolderChooserTest::arrowsExpandAndCollapseEvenFromTheDriveList() {
    FolderChooserWindow* chooser = open(path("/a"));
    auto* cd = chooser->findChild<QTreeView*>("CD");
    auto* ad = chooser->findChild<QComboBox*>("AD");
    const QModelIndex rootIndex = cd->model()->index(0, 0);
    const QModelIndex photos = cd->model()->index(0, 0, rootIndex);
    QCOMPARE(photos.data().toString(), QStringLiteral("photos"));
    cd->setCurrentIndex(photos);
    QCOMPARE(reader_->reads[path("/a/photos")], 0);

    ad->setFocus();
    QTest::keyClick(ad, Qt::Key_Right);
    QCOMPARE(reader_->reads[path("/a/photos")], 1);
    QVERIFY(cd->isExpanded(photos));
    QCOMPARE(cd->model()->rowCount(photos), 2);
    QCOMPARE(ad->currentIndex(), 0); // the arrow did not move the drive list

    QTest::keyClick(ad, Qt::Key_Left);
    QVERIFY(!cd->isExpanded(photos));
    QVERIFY(!chooser->outline().item(chooser->outline().selected()).expanded);
    QTest::keyClick(cd, Qt::Key_Right);
    cd->collapse(photos);
    cd->expand(photos); // the mouse's way
    QVERIFY(chooser->outline().item(chooser->outline().selected()).expanded);
    QCOMPARE(reader_->reads[path("/a/photos")], 1);

    // A folder never read, opened by the view, is read once too.
    const QModelIndex work = cd->model()->index(1, 0, rootIndex);
    QCOMPARE(work.data().toString(), QStringLiteral("work"));
    cd->expand(work);
    QCOMPARE(cd->model()->rowCount(work), 1);
    QCOMPARE(reader_->reads[path("/a/work")], 1);
}

void FolderChooserTest::switchingTheDriveWalksToTheOutputFolder_data() {
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("selected");
    QTest::newRow("opens work then out") << "/a/work/out/"
                                         << "/b/work/out";
    QTest::newRow("letter case counts") << "/a/Work/out/"
                                        << "/b";
    QTest::newRow("the last item of the tree") << "/a/work/zz/"
                                               << "/b/work/zz";
}

void FolderChooserTest::switchingTheDriveWalksToTheOutputFolder() {
    QFETCH(QString, output);
    QFETCH(QString, selected);
    FolderChooserWindow* chooser = open(path("/a/photos"), path(output.toUtf8().constData()));
    pickDrive(chooser, path("/b"));
    const auto& outline = chooser->outline();
    QCOMPARE(outline.volume(), path("/b"));
    QCOMPARE(outline.fullPath(outline.selected()), path(selected.toUtf8().constData()));
    auto* cd = chooser->findChild<QTreeView*>("CD");
    QCOMPARE(chooser->focusWidget(), cd);
    QCOMPARE(cd->currentIndex().data().toString(),
             QString::fromStdString(outline.text(outline.selected())));
    QVERIFY(prompter_->notices.empty());
}

void FolderChooserTest::aDriveThatCannotBeReadWarnsAndReturns() {
    FolderChooserWindow* chooser = open(path("/a/photos"));
    pickDrive(chooser, path("/none"));
    QCOMPARE(prompter_->notices.size(), std::size_t{1});
    QCOMPARE(prompter_->notices[0].first,
             std::string("ディスクあるいはメディアが入っていません。"));
    QCOMPARE(prompter_->notices[0].second, std::string("警告"));
    auto* ad = chooser->findChild<QComboBox*>("AD");
    QCOMPARE(ad->currentText(), QString::fromStdString(path("/a")));
    QCOMPARE(chooser->outline().fullPath(chooser->outline().selected()), path("/a/photos"));
    QCOMPARE(currentText(chooser), QStringLiteral("photos"));
}

void FolderChooserTest::openFolderChooserUsesTheSystemDrives() {
    std::vector<Applied> applied;
    openFolderChooser(owner_.get(), QStringLiteral("出力フォルダの選択"), path("/b/work/out/"),
                      [&](const QString& caption, const std::string& p) {
                          applied.push_back({caption, p});
                      });
    auto* chooser = owner_->findChild<FolderChooserWindow*>();
    QVERIFY(chooser != nullptr);
    QVERIFY(!owner_->isEnabled());
    QCOMPARE(chooser->findChild<QComboBox*>("AD")->itemText(0), QStringLiteral("/"));
    QTest::keyClick(chooser->findChild<QWidget*>("CD"), Qt::Key_Return);
    QVERIFY(owner_->isEnabled());
    QCOMPARE(applied.size(), std::size_t{1});
    QCOMPARE(applied[0].caption, QStringLiteral("出力フォルダの選択"));
    QCOMPARE(applied[0].path, path("/b/work/out"));
}

void FolderChooserTest::aStartVolumeThatCannotBeReadOpensNothing() {
    reader_->failing = path("/a");
    try {
        open(path("/a/photos"));
        QFAIL("no error");
    } catch (const harpoly::Error& e) {
        QCOMPARE(e.kind(), std::string("EOutlineError"));
    }
    QVERIFY(owner_->isEnabled());
    QVERIFY(owner_->findChild<FolderChooserWindow*>() == nullptr);
}

QTEST_MAIN(FolderChooserTest)
#include "folder_chooser_test.moc"
