// The main window's commands: the key handler, the buttons of the top panel,
// the prompts, the busy indicator and the folder choosers.
#include "core/app/confirm.h"
#include "ui/app/harpoly_application.h"
#include "ui/app/message_box_prompter.h"
#include "ui/app/panel_bar.h"
#include "ui/app/ta.h"
#include "core/app/window_rules.h"
#include "ui/browse/file_list_item_model.h"
#include "ui/browse/preview_box.h"
#include "ui/browse/previewer.h"
#include "ui/folders/folder_chooser.h"
#include "ui/fullscreen/tfull.h"
#include "ui/fullscreen/thk.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <unistd.h>

namespace harpoly::ui {

// ---------------------------------------------------------------- keys

bool TA::AEShortCut(int keyCode) {
    const bool functionKey =
        keyCode == 118 || keyCode == 119 || keyCode == 120 || keyCode == 121 || keyCode == 123;
    const bool dialogShown = hk_ != nullptr && hk_->isVisible();
    // A modal prompt keeps the main window from taking input as a disabled
    // window would, so its keys do not start commands behind it.
    const bool takesInput = isEnabled() && QApplication::activeModalWidget() == nullptr;
    if (takesInput) {
        switch (keyCode) {
        case 118:
            BIClick();
            break;
        case 119:
            BOClick();
            break;
        case 120:
            BFClick();
            break;
        case 121:
            BEClick();
            break;
        case 123:
            BHKClick();
            break;
        default:
            break;
        }
        // The command ran; the key still goes on to the focused control.
    } else if (!dialogShown && functionKey &&
               !(full_ != nullptr && full_->isVisible() && full_->hasMenuKeyOn(keyCode))) {
        // Swallowed, unless the full-screen window takes it as a menu key.
        return true;
    }
    if (dialogShown && (keyCode == 8 || keyCode == 13 || keyCode == 27 || keyCode == 32)) {
        // Hot-key fields cannot take these keys themselves; giving them here
        // also keeps them from pressing the dialog's buttons.
        hk_->setFocusedFieldKey(keyCode);
        return true;
    }
    return false;
}

void TA::keyPressEvent(QKeyEvent* event) {
    // Enter in a control that does not take it itself presses the action
    // button of the tool tab on show.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QWidget* focus = focusWidget();
    // Push buttons take Enter themselves; check boxes and radio buttons do
    // not. The text pane is a rich-text box, which takes Enter too, even
    // read-only: a key meant for it must not start a batch operation.
    const bool takesEnter = qobject_cast<QPushButton*>(focus) != nullptr ||
                            (focus != nullptr && (focus == TXT || TXT->isAncestorOf(focus)));
    const int tab = Utility->currentIndex();
    if (enter && !takesEnter && tab >= 0 && tab < static_cast<int>(tabs_.size()) &&
        tabs_[tab].action != nullptr && tabs_[tab].action->isEnabled()) {
        tabs_[tab].action->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

// ---------------------------------------------------------------- buttons

void TA::BIClick() {
    OpenFolderChooser(true);
}

void TA::BOClick() {
    OpenFolderChooser(false);
}

void TA::BEClick() {
    close();
}

void TA::BHKClick() {
    if (hk_ == nullptr) {
        return;
    }
    hk_->show();
    setEnabled(false);
}

// ---------------------------------------------------------------- prompts

Prompter& TA::prompter() {
    if (testPrompter_ != nullptr) {
        return *testPrompter_;
    }
    return *boxPrompter_;
}

bool TA::ConfirmAction(const std::string& question, const std::string& caption,
                       bool requireSelection, const std::string& detail) {
    return harpoly::ConfirmAction(prompter(), *listModel_, question, caption, requireSelection,
                                  detail);
}

void TA::ShowNotice(const std::string& text, const std::string& caption) {
    prompter().notice(text, caption);
}

// ---------------------------------------------------------------- busy indicator

void TA::BeginBusy() {
    begin(listModel_->count());
}

void TA::EndBusy() {
    end();
}

void TA::begin(int steps) {
    previewer_->stopPreview();
    BOX->setBusyColour(true);
    PB->setRange(0, steps);
    PB->setValue(0);
    PB->show();
    PB->raise();
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TA::step() {
    PB->setValue(PB->value() + 1);
}

void TA::end() {
    PB->hide();
    // An operation broken off by an error leaves its cursor set; restore
    // every level so the next normal end brings the arrow back.
    while (QApplication::overrideCursor() != nullptr) {
        QApplication::restoreOverrideCursor();
    }
    BOX->setBusyColour(false);
}

// ---------------------------------------------------------------- folders

void TA::OpenFolderChooser(bool displayFolder) {
    const QString caption =
        QString::fromUtf8(displayFolder ? kDisplayChooserCaption : kOutputChooserCaption);
    const std::string folder = displayFolder ? displayFolder_ : outputFolder_;
    // The chooser opens on the current directory; a folder that has gone
    // away leaves it where it was.
    if (!folder.empty()) {
        [[maybe_unused]] const int ignored = ::chdir(folder.c_str());
    }
    openFolderChooser(
        this, caption, folder,
        [this](const QString& chosenCaption, const std::string& path) {
            runReported([&] { ApplyChosenFolder(chosenCaption, path); });
        },
        outputFolder_);
}

void TA::ApplyChosenFolder(const QString& caption, const std::string& path) {
    if (caption == QString::fromUtf8(kDisplayChooserCaption)) {
        setDisplayFolder(chosenFolder(path));
        RefreshFileList({});
    } else {
        setOutputFolder(chosenFolder(path));
    }
}

// ---------------------------------------------------------------- file list

FileListPort& TA::fileList() {
    return *listModel_;
}

void TA::RefreshFileList(const std::string& name) {
    listModel_->core().setFolder(displayFolder_);
    listModel_->core().setFilter(BExt->currentText().toStdString());
    listModel_->refresh(name);
}

std::string TA::SelectedName(int index) const {
    return listModel_->core().SelectedName(index);
}

void TA::BExtChange() {
    RefreshFileList(SelectedName(-1));
}

void TA::syncViewToModel() {
    syncingView_ = true;
    const int current = listModel_->currentIndex();
    QItemSelectionModel* selection = FL->selectionModel();
    // The view's selection already matches the core's: a refresh empties
    // both, and a move of the current item by program leaves both.
    if (current >= 0) {
        const QModelIndex index = listModel_->index(current);
        selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        FL->scrollTo(index);
    } else {
        selection->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    }
    syncingView_ = false;
}

void TA::onViewCurrentChanged(int row) {
    if (syncingView_ || row < 0) {
        return;
    }
    listModel_->core().setCurrent(row);
    FLClick();
}

void TA::setCurrentItem(int index) {
    listModel_->core().setCurrent(index);
    syncViewToModel();
    FLClick();
}

} // namespace harpoly::ui
