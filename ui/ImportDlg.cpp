#include "ImportDlg.h"

#include "CodePage.h"
#include "Counted.h"
#include "ImportColumnHeader.h"
#include "Placement.h"
#include "ProblemList.h"
#include "Settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int PreviewRows = 20;

QComboBox* NamedCombo(const char* name, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    return box;
}

// Selects the item whose data is value; false when there is none.
bool SelectData(QComboBox* box, const QVariant& value) {
    const int index = box->findData(value);
    if (index >= 0)
        box->setCurrentIndex(index);
    return index >= 0;
}

// The table whose columns the header names best; without a header names nothing, so the table
// stays as the user had it.
std::optional<SheetTable> TableNamedBy(const SheetText& sheet) {
    std::optional<SheetTable> best;
    int bestScore = 0;
    for (SheetTable table : {SheetTable::PLU, SheetTable::Department, SheetTable::Recycling}) {
        const ColumnMap map = MapColumns(sheet, table);
        if (!map.header)
            continue;
        int score = -int(map.ignored.size());
        for (int fc : map.fileColumn)
            score += fc >= 0 ? 1 : 0;
        if (!best || score > bestScore) {
            best = table;
            bestScore = score;
        }
    }
    return best;
}

QString TableQuestionName(SheetTable table) {
    switch (table) {
    case SheetTable::PLU:
        return QCoreApplication::translate("TImportDlg", "PLU table");
    case SheetTable::Department:
        return QCoreApplication::translate("TImportDlg", "department table");
    default:
        return QCoreApplication::translate("TImportDlg", "recycling table");
    }
}

QString RowsSet(int count) {
    return PluralOr(QT_TRANSLATE_N_NOOP("Plural", "%n rows are set"), count,
                    QString("%1 %2 set").arg(count).arg(count == 1 ? "row is" : "rows are"));
}

QString RowsEmptied(int count) {
    return PluralOr(QT_TRANSLATE_N_NOOP("Plural", "%n rows are emptied"), count,
                    QString("%1 %2 emptied").arg(count).arg(count == 1 ? "row is" : "rows are"));
}

} // namespace

TImportDlg::TImportDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("ImportDlg");
    setWindowTitle(tr("Import"));
    setSizeGripEnabled(true);

    fileLabel_ = new QLabel(this);
    fileLabel_->setObjectName("FileLbl");
    fileLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    foundLabel_ = new QLabel(this);
    foundLabel_->setObjectName("FoundLbl");

    tableBox_ = NamedCombo("TableCB", this);
    tableBox_->addItem(tr("PLU items"), int(SheetTable::PLU));
    tableBox_->addItem(tr("Departments"), int(SheetTable::Department));
    tableBox_->addItem(tr("Package prices (recycling)"), int(SheetTable::Recycling));

    auto* fileGroup = new QGroupBox(tr("File"), this);
    fileGroup->setObjectName("FileGroup");
    separatorBox_ = NamedCombo("SeparatorCB", fileGroup);
    separatorBox_->addItem(tr("; (semicolon)"), int(';'));
    separatorBox_->addItem(tr(", (comma)"), int(','));
    separatorBox_->addItem(tr("Tab"), int('\t'));
    decimalBox_ = NamedCombo("DecimalCB", fileGroup);
    decimalBox_->addItem(tr(", (comma)"), int(','));
    decimalBox_->addItem(tr(". (point)"), int('.'));
    encodingBox_ = NamedCombo("EncodingCB", fileGroup);
    encodingBox_->addItem("UTF-8", int(SheetEncoding::Utf8));
    encodingBox_->addItem("UTF-16 LE", int(SheetEncoding::Utf16LE));
    encodingBox_->addItem("UTF-16 BE", int(SheetEncoding::Utf16BE));
    encodingBox_->addItem(QString(), int(SheetEncoding::CodePage)); // named when shown
    headerCheck_ = new QCheckBox(tr("&First line names the columns"), fileGroup);
    headerCheck_->setObjectName("HeaderChk");
    auto* fileForm = new QFormLayout(fileGroup);
    fileForm->addRow(tr("&Separator:"), separatorBox_);
    fileForm->addRow(tr("&Decimal separator:"), decimalBox_);
    fileForm->addRow(tr("&Encoding:"), encodingBox_);
    fileForm->addRow(headerCheck_);

    auto* rowsGroup = new QGroupBox(tr("Rows"), this);
    rowsGroup->setObjectName("RowsGroup");
    replaceButton_ = new QRadioButton(tr("&Replace: the file's rows become the table"), rowsGroup);
    replaceButton_->setObjectName("ReplaceRB");
    updateButton_ =
        new QRadioButton(tr("&Update: only the rows the file names, empty cells kept"), rowsGroup);
    updateButton_->setObjectName("UpdateRB");
    updateButton_->setChecked(true); // replace empties rows: the user asks for it
    matchBox_ = NamedCombo("MatchCB", rowsGroup);
    matchBox_->addItem(tr("PLU number"), int(MatchBy::Number));
    matchBox_->addItem(tr("Barcode"), int(MatchBy::Barcode));
    matchLabel_ = new QLabel(tr("&Match rows by:"), rowsGroup);
    matchLabel_->setBuddy(matchBox_);
    auto* matchRow = new QHBoxLayout;
    matchRow->addSpacing(20);
    matchRow->addWidget(matchLabel_);
    matchRow->addWidget(matchBox_);
    matchRow->addStretch(1);
    auto* rowsLayout = new QVBoxLayout(rowsGroup);
    rowsLayout->addWidget(replaceButton_);
    rowsLayout->addWidget(updateButton_);
    rowsLayout->addLayout(matchRow);
    rowsLayout->addStretch(1);

    preview_ = new QTableWidget(this);
    preview_->setObjectName("PreviewGrid");
    columnHeader_ = new TImportColumnHeader(preview_);
    preview_->setHorizontalHeader(columnHeader_);
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->setWordWrap(false);
    preview_->setFocusPolicy(Qt::NoFocus);
    // Tab goes from box to box above the columns, not from cell to cell of the preview.
    preview_->setTabKeyNavigation(false);
    preview_->verticalHeader()->setDefaultSectionSize(preview_->fontMetrics().height() + 6);
    previewLabel_ =
        new QLabel(tr("C&olumns: the table column each column of the file feeds"), this);
    previewLabel_->setObjectName("PreviewLbl");
    columnsLabel_ = new QLabel(this);
    columnsLabel_->setObjectName("ColumnsLbl");
    columnsLabel_->setWordWrap(true);
    readProblemLabel_ = new QLabel(this);
    readProblemLabel_->setObjectName("ReadProblemLbl");
    readProblemLabel_->setWordWrap(true);
    QPalette red = readProblemLabel_->palette();
    red.setColor(QPalette::WindowText, QColor(170, 0, 0));
    readProblemLabel_->setPalette(red);

    importButton_ = new QPushButton(tr("&Import"), this);
    importButton_->setObjectName("ImportBtn");
    importButton_->setDefault(true);
    cancelButton_ = new QPushButton(tr("Cancel"), this);
    cancelButton_->setObjectName("CancelBtn");
    connect(importButton_, &QPushButton::clicked, this, &TImportDlg::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &TImportDlg::reject);

    auto* tableRow = new QHBoxLayout;
    auto* tableLabel = new QLabel(tr("&Table:"), this);
    tableLabel->setBuddy(tableBox_);
    tableRow->addWidget(tableLabel);
    tableRow->addWidget(tableBox_);
    tableRow->addStretch(1);
    auto* options = new QHBoxLayout;
    options->addWidget(fileGroup);
    options->addWidget(rowsGroup, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(importButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fileLabel_);
    layout->addWidget(foundLabel_);
    layout->addLayout(tableRow);
    layout->addLayout(options);
    layout->addWidget(previewLabel_);
    layout->addWidget(preview_, 1);
    layout->addWidget(columnsLabel_);
    layout->addWidget(readProblemLabel_);
    layout->addLayout(buttons);
    resize(760, 560);

    problems_ = new TProblemList(this);
    problems_->setWindowTitle(tr("Import problems"));
    problems_->setModal(true);

    for (QComboBox* box : {separatorBox_, decimalBox_, encodingBox_})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!updating_)
                Reread();
        });
    connect(tableBox_, &QComboBox::currentIndexChanged, this, [this] {
        if (updating_)
            return;
        chosen_.reset(); // chosen for another table's columns
        remembered_ = false;
        Remap();
    });
    connect(headerCheck_, &QCheckBox::toggled, this, [this](bool on) {
        if (updating_)
            return;
        header_ = on;
        chosen_.reset();
        remembered_ = false;
        Remap();
    });
    connect(columnHeader_, &TImportColumnHeader::Chosen, this, &TImportDlg::ChooseColumn);
    connect(updateButton_, &QRadioButton::toggled, this, &TImportDlg::UpdateMatch);
    connect(matchBox_, &QComboBox::activated, this, [this] { matchChosen_ = true; });
    UpdateMatch();
}

bool TImportDlg::Execute(const QString& fileName, std::string bytes, const TextTable& plu,
                         const TextTable& dept, const RecyTable& recy) {
    bytes_ = std::move(bytes);
    plu_ = &plu;
    dept_ = &dept;
    recy_ = &recy;
    header_.reset();
    chosen_.reset();
    remembered_ = false;
    matchChosen_ = false;
    memoryError_.clear();
    result_ = {};
    fileLabel_->setText(QFileInfo(fileName).absoluteFilePath());
    encodingBox_->setItemText(encodingBox_->findData(int(SheetEncoding::CodePage)),
                              QString::fromStdString(DocumentCodePage().Name()));
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        sheet_ = ReadSheet(bytes_);
        QApplication::restoreOverrideCursor();
    }
    found_ = sheet_.dialect;
    foundLabel_->setText(FoundText());
    updating_ = true;
    ShowDialect(found_);
    if (const std::optional<RememberedColumns> kept = Memory().Find(sheet_)) {
        SelectData(tableBox_, int(kept->table));
        header_ = true;
        chosen_ = kept->feeds;
        remembered_ = true;
    } else if (const std::optional<SheetTable> named = TableNamedBy(sheet_)) {
        SelectData(tableBox_, int(*named));
    }
    updating_ = false;
    Remap();
    CentreOnScreen(this);
    const bool imported = exec() == QDialog::Accepted;
    plu_ = nullptr;
    dept_ = nullptr;
    recy_ = nullptr;
    return imported;
}

QString TImportDlg::FoundText() const {
    return tr("Found: %1").arg(DialectText(found_));
}

SheetTable TImportDlg::Table() const {
    return SheetTable(tableBox_->currentData().toInt());
}

ImportOptions TImportDlg::Options() const {
    ImportOptions options;
    options.mode = updateButton_->isChecked() ? ImportMode::Update : ImportMode::Replace;
    options.by = MatchBy(matchBox_->currentData().toInt());
    return options;
}

SheetDialect TImportDlg::Dialect() const {
    SheetDialect dialect = found_;
    dialect.encoding = SheetEncoding(encodingBox_->currentData().toInt());
    dialect.separator = char(separatorBox_->currentData().toInt());
    dialect.decimal = char(decimalBox_->currentData().toInt());
    return dialect;
}

void TImportDlg::ShowDialect(const SheetDialect& dialect) {
    SelectData(separatorBox_, int(dialect.separator));
    SelectData(decimalBox_, int(dialect.decimal));
    SelectData(encodingBox_, int(dialect.encoding));
}

void TImportDlg::Reread() {
    const SheetDialect dialect = Dialect();
    // Other separators make other columns; the encoding and decimals leave them as they are.
    if (dialect.separator != sheet_.dialect.separator) {
        chosen_.reset();
        remembered_ = false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    sheet_ = ReadSheet(bytes_, dialect);
    QApplication::restoreOverrideCursor();
    Remap();
}

void TImportDlg::Remap() {
    map_ = MapColumns(sheet_, Table(), header_, chosen_);
    updating_ = true;
    headerCheck_->setChecked(map_.header);
    updating_ = false;
    UpdateMatch();
    ShowPreview();
}

void TImportDlg::ChooseColumn(int fileCol, int item) {
    // Two columns feeding one is a problem to put right, not a reason to undo the other
    // choice: the arrow keys pass through every item on their way to the one meant.
    ColumnChoice choice = chosen_ ? *chosen_ : map_.feeds;
    choice.resize(std::max(choice.size(), size_t(fileCol) + 1), -1);
    choice[size_t(fileCol)] = item - 1; // item 0 is "(ignore)"
    chosen_ = std::move(choice);
    header_ = map_.header;
    remembered_ = false;
    Remap();
}

void TImportDlg::UpdateMatch() {
    // Only PLU rows have barcodes; replace mode places rows by number or order.
    const bool barcodes = Table() == SheetTable::PLU && updateButton_->isChecked();
    if (!barcodes)
        SelectData(matchBox_, int(MatchBy::Number));
    else if (!matchChosen_ && map_.fileColumn.size() > 1)
        // A file without PLU numbers can only be matched by its barcodes.
        SelectData(matchBox_,
                   int(map_.fileColumn[0] < 0 && map_.fileColumn[1] >= 0 ? MatchBy::Barcode
                                                                         : MatchBy::Number));
    matchBox_->setEnabled(barcodes);
    matchLabel_->setEnabled(barcodes);
}

void TImportDlg::ShowPreview() {
    const SheetTable table = Table();
    const size_t first = map_.header ? 1 : 0;
    const size_t last = std::min(sheet_.Records(), first + PreviewRows);
    int columns = map_.FileColumns();
    for (size_t r = first; r < last; ++r)
        columns = std::max(columns, sheet_.Fields(r));
    preview_->clear();
    preview_->setRowCount(int(last > first ? last - first : 0));
    preview_->setColumnCount(columns);
    QStringList headers;
    std::vector<int> current;
    // As chosen, also where two columns feed one and the map leaves both out.
    const ColumnChoice& feeds = chosen_ ? *chosen_ : map_.feeds;
    for (int fc = 0; fc < columns; ++fc) {
        const bool named = fc < map_.FileColumns() && !map_.names[size_t(fc)].isEmpty();
        headers << (named ? map_.names[size_t(fc)] : tr("column %1").arg(fc + 1));
        current.push_back(
            fc < map_.FileColumns() && size_t(fc) < feeds.size() ? feeds[size_t(fc)] + 1 : 0);
    }
    preview_->setHorizontalHeaderLabels(headers);
    QStringList items{tr("(ignore)")};
    for (int col = 0; col <= SheetColumns(table); ++col)
        items << SheetColumnTitle(table, col);
    columnHeader_->SetChoices(items, current);
    // Beyond the header's columns a record holds fields no title names: they are a problem.
    for (int fc = 0; fc < columns; ++fc)
        columnHeader_->Box(fc)->setEnabled(fc < map_.FileColumns());
    const QBrush unused = palette().brush(QPalette::Disabled, QPalette::Text);
    QStringList lines;
    for (size_t r = first; r < last; ++r) {
        lines << QString::number(sheet_.Line(r));
        for (int fc = 0; fc < sheet_.Fields(r); ++fc) {
            auto* item = new QTableWidgetItem(sheet_.Field(r, fc).toString());
            if (current[size_t(fc)] == 0)
                item->setForeground(unused);
            preview_->setItem(int(r - first), fc, item);
        }
    }
    preview_->setVerticalHeaderLabels(lines);
    preview_->resizeColumnsToContents();
    columnHeader_->FitBoxes();
    // The boxes come after the options and before the buttons, as they stand on the screen.
    QWidget* previous = matchBox_;
    for (int fc = 0; fc < columnHeader_->Boxes(); ++fc) {
        setTabOrder(previous, columnHeader_->Box(fc));
        previous = columnHeader_->Box(fc);
    }
    setTabOrder(previous, importButton_);
    previewLabel_->setBuddy(columnHeader_->Boxes() > 0 ? columnHeader_->Box(0) : nullptr);

    QString used = map_.ignored.empty()
                       ? QString(tr("Every column of the file is used."))
                       : tr("Ignored columns: %1")
                             .arg(QStringList(map_.ignored.begin(), map_.ignored.end()).join(", "));
    if (remembered_)
        used += tr(" The columns are as chosen before for files with this header.");
    columnsLabel_->setText(used);
    std::vector<SheetProblem> reading = sheet_.problems;
    reading.insert(reading.end(), map_.problems.begin(), map_.problems.end());
    readProblemLabel_->setVisible(!reading.empty());
    if (!reading.empty())
        readProblemLabel_->setText(
            ProblemText(reading.front()) +
            (reading.size() > 1 ? tr(" (%1 problems in all)").arg(reading.size()) : ""));
}

void TImportDlg::accept() {
    if (!plu_)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ImportResult result = ImportSheet(sheet_, map_, Options(), *plu_, *dept_, *recy_);
    QApplication::restoreOverrideCursor();
    if (!result.Ok()) {
        ShowProblems(result.problems);
        return;
    }
    if (!ConfirmReplace(result))
        return;
    RememberColumns();
    result_ = std::move(result);
    QDialog::accept();
}

bool TImportDlg::ConfirmReplace(const ImportResult& result) {
    if (Options().mode != ImportMode::Replace || result.removed == 0)
        return true;
    QMessageBox box(
        QMessageBox::Question, windowTitle(),
        tr("Replace the %1? %2 and %3.")
            .arg(TableQuestionName(Table()), RowsSet(result.placed), RowsEmptied(result.removed)),
        QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName("ReplaceBox");
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

SheetColumnMemory TImportDlg::Memory() const {
    return SheetColumnMemory(columnMemoryPath.empty() ? SettingsDir + SheetColumnMemory::FileName
                                                      : columnMemoryPath);
}

// Only what differs from what the header's names would choose: a file that maps by itself needs
// no memory, and a later, better reading of its names is not held back by an old copy.
void TImportDlg::RememberColumns() {
    if (!map_.header)
        return;
    std::optional<RememberedColumns> choice;
    const ColumnMap named = MapColumns(sheet_, Table(), true);
    if (TableNamedBy(sheet_) != Table() || named.feeds != map_.feeds)
        choice = RememberedColumns{Table(), map_.feeds};
    memoryError_ = Memory().Remember(sheet_, choice);
}

void TImportDlg::ShowProblems(const std::vector<SheetProblem>& problems) {
    QApplication::beep();
    shownProblems_ = problems;
    const int count = int(shownProblems_.size());
    problems_->SetProblems(
        count >= int(MaxSheetProblems)
            ? tr("Nothing was imported: more than %1 problems in the file.").arg(MaxSheetProblems)
            : PluralOr(QT_TRANSLATE_N_NOOP("Plural", "Nothing was imported: %n problems in the "
                                                     "file."),
                       count,
                       QString("Nothing was imported: %1 problem%2 in the file.")
                           .arg(count)
                           .arg(count == 1 ? "" : "s")),
        {tr("Line"), tr("Column"), tr("Value"), tr("Reason")}, count, [this](int line, int column) {
            const SheetProblem& p = shownProblems_[size_t(line)];
            switch (column) {
            case 0:
                return p.line > 0 ? QString::number(p.line) : QString();
            case 1:
                return p.column;
            case 2:
                return p.value;
            default:
                return p.reason;
            }
        });
    problems_->exec();
}
