#include "FileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QString RunFileDialog(QWidget* parent, const TFileDialogSpec& spec, const QString& folder,
                      const QString& proposedName) {
    QFileDialog dialog(parent, spec.title, folder, spec.filter);
    dialog.setObjectName("FileDialog");
    if (spec.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(spec.suffix);
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
    return spec.save ? WithDefaultSuffix(path, spec.suffix) : path;
}

QString WithDefaultSuffix(const QString& path, const QString& suffix) {
    if (path.isEmpty() || suffix.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path.endsWith(u'.') ? path + suffix : path + '.' + suffix;
}
