#pragma once
// The file dialogs of the window program: each starts in a folder its caller chooses, proposes a
// name when saving, and gives a name typed without an extension the usual one.

#include <QString>

class QWidget;

struct TFileChoice {
    QString title;
    QString filter; // "PLU files(*.PLU)"
    QString suffix; // without the dot; what a name saved without an extension gets
    bool save = false;
};

// The chosen path, or empty when cancelled.
QString RunFileDialog(QWidget* parent, const TFileChoice& choice, const QString& folder,
                      const QString& proposedName = {});

// path with ".suffix" when its file name has no extension.
QString WithDefaultSuffix(const QString& path, const QString& suffix);
