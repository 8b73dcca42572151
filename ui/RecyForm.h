#pragma once
// The recycling editor: the 100 package prices of the document's recycling table in a grid
// that edits like the main window's grids, copied back into the table only on OK.

#include "Document.h"

#include <QDialog>

class QPushButton;
class TEditGrid;
class TGridModel;

class TRecyForm : public QDialog {
    Q_OBJECT
public:
    explicit TRecyForm(QWidget* parent = nullptr);

    // Fills the grid from the table and shows the dialog modally. OK writes every entry back
    // (numbers 1 to 100, the grid's prices) and returns true; Cancel leaves the table as it was.
    // The document's modified flag is not the editor's business. The editor opens on the
    // entry given (1 to 100).
    bool RecyExecute(RecyTable& table, int entry = 1);

    TEditGrid* Grid() const { return grid_; }
    TGridModel* Model() const { return model_; }

    void accept() override;
    void done(int result) override;

private:
    std::string zeroPrice_;
    TGridModel* model_;
    TEditGrid* grid_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};
