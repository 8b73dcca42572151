// The main window's document files: new, open and save, asking before unsaved work is lost,
// and the file dialogs. The document's own dialogs start in its folder; the others in the last
// folder used, which the window keeps between runs.
#include "MainForm.h"

#include "BusyCursor.h"
#include "CompareForm.h"
#include "DocumentFile.h"
#include "GridModel.h"
#include "Language.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

#include <cstring>

namespace {

bool IsFolder(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace

void TMainForm::SetUpFileDialogs() {
    const QString pluFilter = tr("PLU files(*.PLU)");
    chooseOpenFile = [=, this] {
        return ChooseFile(this, {QString(), pluFilter, "PLU", false}, DocumentFolder());
    };
    chooseSaveFile = [=, this] {
        const QString name =
            fileName_.empty() ? QString() : QFileInfo(QString::fromLocal8Bit(fileName_)).fileName();
        return ChooseFile(this, {QString(), pluFilter, "PLU", true}, DocumentFolder(), name);
    };
    chooseImportFile = [this] {
        return ChooseFile(this,
                          {tr("Import"), tr("Spreadsheet text (*.csv *.tsv *.txt);;All files (*)"),
                           QString(), false},
                          WorkFolder());
    };
    chooseExportFile = [this](const QString& suffix) {
        const QString filter = suffix == "tsv" ? tr("Tab-separated text (*.tsv *.txt)")
                                               : tr("Comma-separated values (*.csv)");
        const QString name =
            fileName_.empty()
                ? QString()
                : QFileInfo(QString::fromLocal8Bit(fileName_)).completeBaseName() + '.' + suffix;
        return ChooseFile(this, {tr("Export"), filter, suffix, true}, WorkFolder(), name);
    };
    CompareForm->chooseSaveFile = [this] {
        return ChooseFile(CompareForm,
                          {tr("Save list"), tr("Text files (*.txt);;All files (*)"), "txt", true},
                          WorkFolder(), "comparison.txt");
    };
}

QString TMainForm::ChooseFile(QWidget* parent, const TFileChoice& choice, const QString& folder,
                              const QString& proposedName) {
    const QString path = RunFileDialog(parent, choice, folder, proposedName);
    if (!path.isEmpty())
        memory_.lastFolder = QFileInfo(path).absolutePath();
    return path;
}

QString TMainForm::DocumentFolder() const {
    if (!fileName_.empty()) {
        const QString folder = QFileInfo(QString::fromLocal8Bit(fileName_)).absolutePath();
        if (IsFolder(folder))
            return folder;
    }
    return WorkFolder();
}

QString TMainForm::WorkFolder() const {
    if (IsFolder(memory_.lastFolder))
        return memory_.lastFolder;
    if (!fileName_.empty()) {
        const QString folder = QFileInfo(QString::fromLocal8Bit(fileName_)).absolutePath();
        if (IsFolder(folder))
            return folder;
    }
    // Never the program's own folder: a shop keeps its files with its other documents.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return IsFolder(documents) ? documents : QDir::homePath();
}

bool TMainForm::ConfirmDiscard() {
    if (!modified_)
        return true;
    const auto answer =
        QMessageBox::warning(this, AppTitle(), tr("File has not been saved,save it now?"),
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel || answer == QMessageBox::Escape ||
        answer == QMessageBox::NoButton)
        return false;
    if (answer == QMessageBox::No)
        return true;
    // The user asked for the work to be kept: if it was not saved after all (the name dialog
    // cancelled, a write failed), the command that would discard it stops.
    return SaveItemClick();
}

void TMainForm::NewDocument() {
    BusyCursor busy;
    pluModel_->ResetRows(1, PLURowCount);
    deptModel_->ResetRows(1, DeptRowCount);
    for (RecyEntry& entry : recy_)
        entry.price = LocaleDefault(RecyDefaults[1]);
    fileName_.clear();
    UpdateCaption();
    modified_ = false;
    ClearHistory();
}

void TMainForm::UpdateCaption() {
    QString title = AppTitle();
    if (!fileName_.empty())
        title += "~[" + QString::fromLocal8Bit(fileName_) + "]";
    if (!chosenRegister_.empty())
        title += " - " + QString::fromStdString(chosenRegister_);
    setWindowTitle(title);
}

void TMainForm::ShowFileError(int error, const std::string& path) {
    QMessageBox box(QMessageBox::Critical, AppTitle(), PeopleText(FileErrorText(error)),
                    QMessageBox::Ok, this);
    const QString reason = QString::fromLocal8Bit(std::strerror(error));
    box.setInformativeText(path.empty() ? reason : QString::fromLocal8Bit(path) + ": " + reason);
    box.exec();
}

bool TMainForm::LoadDocument(const std::string& fileName) {
    fileName_ =
        QFileInfo(QString::fromLocal8Bit(fileName)).absoluteFilePath().toLocal8Bit().toStdString();
    int error = 0;
    {
        BusyCursor busy;
        error = ReadDocumentFiles(fileName_, pluModel_->Table(), deptModel_->Table(), recy_);
        pluModel_->TableChanged();
        deptModel_->TableChanged();
    }
    ClearHistory();
    if (error) {
        ShowFileError(error);
        return false;
    }
    modified_ = false;
    UpdateCaption();
    return true;
}

bool TMainForm::SaveDocument(const std::string& fileName) {
    int error = 0;
    std::string failed;
    {
        BusyCursor busy;
        error =
            WriteDocumentFiles(fileName, pluModel_->Table(), deptModel_->Table(), recy_, &failed);
    }
    if (error) {
        ShowFileError(error, failed);
        return false;
    }
    modified_ = false;
    return true;
}

void TMainForm::NewItemClick() {
    if (ConfirmDiscard())
        NewDocument();
}

void TMainForm::OpenItemClick() {
    if (!ConfirmDiscard())
        return;
    const QString name = chooseOpenFile();
    if (name.isEmpty())
        return;
    NewDocument();
    LoadDocument(name.toLocal8Bit().toStdString());
}

bool TMainForm::SaveItemClick() {
    if (!ValidateActiveCell())
        return false;
    if (fileName_.empty())
        return SaveAsItemClick();
    return SaveDocument(fileName_);
}

bool TMainForm::SaveAsItemClick() {
    if (!ValidateActiveCell())
        return false;
    const QString name = chooseSaveFile();
    if (name.isEmpty())
        return false;
    fileName_ = QFileInfo(name).absoluteFilePath().toLocal8Bit().toStdString();
    if (!SaveDocument(fileName_))
        return false;
    UpdateCaption();
    return true;
}
