#pragma once
// Import of a spreadsheet file into one of the document's tables: the file's dialect as found,
// which the user may change, a preview of its first rows with a box above each column choosing
// the table column it feeds, the table, the mode and how rows are matched. Import checks every
// cell; on problems it lists them and the document stays as it is. Replace asks before it
// empties rows. Columns chosen by hand are remembered for the next file with the same header.

#include "SheetColumnMemory.h"
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
class TImportColumnHeader;
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
    TImportColumnHeader* ColumnHeader() const { return columnHeader_; }
    // Why the columns chosen could not be remembered; empty when they were (or nothing was).
    QString ColumnMemoryError() const { return memoryError_; }
    // Where the chosen columns are kept; the settings folder's file when empty.
    std::string columnMemoryPath;

    // Runs the import; on problems lists them and stays open.
    void accept() override;

private:
    void Reread();
    void Remap();
    void ShowPreview();
    void ShowDialect(const SheetDialect& dialect);
    void UpdateMatch();
    void ChooseColumn(int fileCol, int item);
    bool ConfirmReplace(const ImportResult& result);
    void RememberColumns();
    SheetColumnMemory Memory() const;
    void ShowProblems(const std::vector<SheetProblem>& problems);

    std::string bytes_;
    SheetText sheet_;
    ColumnMap map_;
    SheetDialect found_;
    std::optional<bool> header_; // set once the user says whether the first line is a header
    std::optional<ColumnChoice> chosen_; // the columns as chosen by hand or remembered
    bool remembered_ = false;            // chosen_ came from the memory
    bool matchChosen_ = false;           // the user picked how rows are matched
    QString memoryError_;
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
    TImportColumnHeader* columnHeader_;
    QLabel* previewLabel_;
    QLabel* columnsLabel_;
    QLabel* readProblemLabel_;
    QPushButton* importButton_;
    QPushButton* cancelButton_;
    TProblemList* problems_;
};
