#pragma once
// Import of a spreadsheet file into one of the document's tables: the file's dialect as found,
// which the user may change, a preview of its first rows with the column each one feeds, the
// table, the mode and how rows are matched. Import checks every cell; on problems it lists them
// and the document stays as it is.

#include "SheetImport.h"
#include "SheetText.h"

#include <QDialog>

#include <optional>
#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;
class TProblemList;

class TImportDlg : public QDialog {
    Q_OBJECT
public:
    explicit TImportDlg(QWidget* parent = nullptr);

    // Shows the file's preview; the tables are what the import is checked against and must live
    // while the dialog is shown. True when imported: TakeResult() holds the new table.
    bool Execute(const QString& fileName, std::string bytes, const TextTable& plu,
                 const TextTable& dept, const RecyTable& recy);
    ImportResult TakeResult() { return std::move(result_); }

    SheetTable Table() const;
    ImportOptions Options() const;
    SheetDialect Dialect() const;
    const SheetText& Sheet() const { return sheet_; }
    const ColumnMap& Map() const { return map_; }
    QString FoundText() const;
    TProblemList* Problems() const { return problems_; }

    // Runs the import; on problems lists them and stays open.
    void accept() override;

private:
    void Reread();
    void Remap();
    void ShowPreview();
    void ShowDialect(const SheetDialect& dialect);
    void UpdateMatch();
    void ShowProblems(const std::vector<SheetProblem>& problems);

    std::string bytes_;
    SheetText sheet_;
    ColumnMap map_;
    SheetDialect found_;
    std::optional<bool> header_; // set once the user says whether the first line is a header
    ImportResult result_;
    std::vector<SheetProblem> shownProblems_;
    const TextTable* plu_ = nullptr;
    const TextTable* dept_ = nullptr;
    const RecyTable* recy_ = nullptr;
    bool updating_ = false;

    QLabel* fileLabel_;
    QLabel* foundLabel_;
    QComboBox* tableBox_;
    QComboBox* separatorBox_;
    QComboBox* decimalBox_;
    QComboBox* encodingBox_;
    QCheckBox* headerCheck_;
    QRadioButton* replaceButton_;
    QRadioButton* updateButton_;
    QComboBox* matchBox_;
    QLabel* matchLabel_;
    QTableWidget* preview_;
    QLabel* columnsLabel_;
    QLabel* readProblemLabel_;
    QPushButton* importButton_;
    QPushButton* cancelButton_;
    TProblemList* problems_;
};
