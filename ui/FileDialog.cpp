#include "FileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QString RunFileDialog(QWidget* parent, const TFileChoice& choice, const QString& folder,
                      const QString& proposedName) {
    QFileDialog dialog(parent, choice.title, folder, choice.filter);
    dialog.setObjectName("FileDialog");
    if (choice.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(choice.suffix);
        if (!proposedName.isEmpty())
            dialog.selectFile(QDir(folder).filePath(proposedName));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QString path = dialog.selectedFiles().value(0);
    // The desktop's own dialog may hand the name back as typed.
    return choice.save ? WithDefaultSuffix(path, choice.suffix) : path;
}

QString WithDefaultSuffix(const QString& path, const QString& suffix) {
    if (path.isEmpty() || suffix.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path.endsWith(u'.') ? path + suffix : path + '.' + suffix;
}
