#pragma once
// Export of one of the document's tables to a spreadsheet file: which table, the dialect
// (Excel's by default, as the locale writes numbers) and the encoding.

#include "SheetImport.h"
#include "SheetText.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

class TExportDlg : public QDialog {
    Q_OBJECT
public:
    explicit TExportDlg(QWidget* parent = nullptr);

    SheetTable Table() const;
    SheetDialect Dialect() const;
    // The file name's usual ending for the dialect: csv, or tsv for tabs.
    QString Suffix() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowDialect();

    QComboBox* tableBox_;
    QComboBox* dialectBox_;
    QComboBox* encodingBox_;
    QLabel* dialectLabel_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};
