// The main window's file dialogs: where each starts and what it proposes. The document's own
// dialogs start in its folder; the others in the last folder used, which the window keeps
// between runs.
#include "MainForm.h"

#include "CompareForm.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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
