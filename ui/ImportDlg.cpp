#include "ImportDlg.h"

#include "CodePage.h"
#include "Placement.h"
#include "ProblemList.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
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

QString SeparatorName(char separator) {
    switch (separator) {
    case ';':
        return "semicolon";
    case ',':
        return "comma";
    default:
        return "tab";
    }
}

QString EncodingName(const SheetDialect& dialect) {
    switch (dialect.encoding) {
    case SheetEncoding::Utf8:
        return dialect.bom ? "UTF-8 with BOM" : "UTF-8";
    case SheetEncoding::Utf16LE:
        return "UTF-16 LE";
    case SheetEncoding::Utf16BE:
        return "UTF-16 BE";
    default:
        return QString::fromStdString(DocumentCodePage().Name());
    }
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

} // namespace

TImportDlg::TImportDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("ImportDlg");
    setWindowTitle("Import");
    setSizeGripEnabled(true);

    fileLabel_ = new QLabel(this);
    fileLabel_->setObjectName("FileLbl");
    fileLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    foundLabel_ = new QLabel(this);
    foundLabel_->setObjectName("FoundLbl");

    tableBox_ = NamedCombo("TableCB", this);
    tableBox_->addItem("PLU items", int(SheetTable::PLU));
    tableBox_->addItem("Departments", int(SheetTable::Department));
    tableBox_->addItem("Package prices (recycling)", int(SheetTable::Recycling));

    auto* fileGroup = new QGroupBox("File", this);
    fileGroup->setObjectName("FileGroup");
    separatorBox_ = NamedCombo("SeparatorCB", fileGroup);
    separatorBox_->addItem("; (semicolon)", int(';'));
    separatorBox_->addItem(", (comma)", int(','));
    separatorBox_->addItem("Tab", int('\t'));
    decimalBox_ = NamedCombo("DecimalCB", fileGroup);
    decimalBox_->addItem(", (comma)", int(','));
    decimalBox_->addItem(". (point)", int('.'));
    encodingBox_ = NamedCombo("EncodingCB", fileGroup);
    encodingBox_->addItem("UTF-8", int(SheetEncoding::Utf8));
    encodingBox_->addItem("UTF-16 LE", int(SheetEncoding::Utf16LE));
    encodingBox_->addItem("UTF-16 BE", int(SheetEncoding::Utf16BE));
    encodingBox_->addItem(QString(), int(SheetEncoding::CodePage)); // named when shown
    headerCheck_ = new QCheckBox("&First line names the columns", fileGroup);
    headerCheck_->setObjectName("HeaderChk");
    auto* fileForm = new QFormLayout(fileGroup);
    fileForm->addRow("&Separator:", separatorBox_);
    fileForm->addRow("&Decimal separator:", decimalBox_);
    fileForm->addRow("&Encoding:", encodingBox_);
    fileForm->addRow(headerCheck_);

    auto* rowsGroup = new QGroupBox("Rows", this);
    rowsGroup->setObjectName("RowsGroup");
    replaceButton_ = new QRadioButton("&Replace: the file's rows become the table", rowsGroup);
    replaceButton_->setObjectName("ReplaceRB");
    updateButton_ =
        new QRadioButton("&Update: only the rows the file names, empty cells kept", rowsGroup);
    updateButton_->setObjectName("UpdateRB");
    replaceButton_->setChecked(true);
    matchBox_ = NamedCombo("MatchCB", rowsGroup);
    matchBox_->addItem("PLU number", int(MatchBy::Number));
    matchBox_->addItem("Barcode", int(MatchBy::Barcode));
    matchLabel_ = new QLabel("&Match rows by:", rowsGroup);
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
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->setWordWrap(false);
    preview_->setFocusPolicy(Qt::NoFocus);
    preview_->verticalHeader()->setDefaultSectionSize(preview_->fontMetrics().height() + 6);
    columnsLabel_ = new QLabel(this);
    columnsLabel_->setObjectName("ColumnsLbl");
    columnsLabel_->setWordWrap(true);
    readProblemLabel_ = new QLabel(this);
    readProblemLabel_->setObjectName("ReadProblemLbl");
    readProblemLabel_->setWordWrap(true);
    QPalette red = readProblemLabel_->palette();
    red.setColor(QPalette::WindowText, QColor(170, 0, 0));
    readProblemLabel_->setPalette(red);

    importButton_ = new QPushButton("&Import", this);
    importButton_->setObjectName("ImportBtn");
    importButton_->setDefault(true);
    cancelButton_ = new QPushButton("Cancel", this);
    cancelButton_->setObjectName("CancelBtn");
    connect(importButton_, &QPushButton::clicked, this, &TImportDlg::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &TImportDlg::reject);

    auto* tableRow = new QHBoxLayout;
    auto* tableLabel = new QLabel("&Table:", this);
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
    layout->addWidget(preview_, 1);
    layout->addWidget(columnsLabel_);
    layout->addWidget(readProblemLabel_);
    layout->addLayout(buttons);
    resize(760, 560);

    problems_ = new TProblemList(this);
    problems_->setWindowTitle("Import problems");
    problems_->setModal(true);

    for (QComboBox* box : {separatorBox_, decimalBox_, encodingBox_})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!updating_)
                Reread();
        });
    connect(tableBox_, &QComboBox::currentIndexChanged, this, [this] {
        if (!updating_)
            Remap();
        UpdateMatch();
    });
    connect(headerCheck_, &QCheckBox::toggled, this, [this](bool on) {
        if (updating_)
            return;
        header_ = on;
        Remap();
    });
    connect(updateButton_, &QRadioButton::toggled, this, &TImportDlg::UpdateMatch);
    UpdateMatch();
}

bool TImportDlg::Execute(const QString& fileName, std::string bytes, const TextTable& plu,
                         const TextTable& dept, const RecyTable& recy) {
    bytes_ = std::move(bytes);
    plu_ = &plu;
    dept_ = &dept;
    recy_ = &recy;
    header_.reset();
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
    if (const std::optional<SheetTable> named = TableNamedBy(sheet_))
        SelectData(tableBox_, int(*named));
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
    return QString("Found: %1, %2 between fields, decimal %3")
        .arg(EncodingName(found_), SeparatorName(found_.separator),
             found_.decimal == ',' ? "comma" : "point");
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
    QApplication::setOverrideCursor(Qt::WaitCursor);
    sheet_ = ReadSheet(bytes_, Dialect());
    QApplication::restoreOverrideCursor();
    Remap();
}

void TImportDlg::Remap() {
    map_ = MapColumns(sheet_, Table(), header_);
    updating_ = true;
    headerCheck_->setChecked(map_.header);
    updating_ = false;
    ShowPreview();
}

void TImportDlg::UpdateMatch() {
    // Only PLU rows have barcodes; replace mode places rows by number or order.
    const bool barcodes = Table() == SheetTable::PLU && updateButton_->isChecked();
    if (!barcodes)
        SelectData(matchBox_, int(MatchBy::Number));
    matchBox_->setEnabled(barcodes);
    matchLabel_->setEnabled(barcodes);
}

void TImportDlg::ShowPreview() {
    const SheetTable table = Table();
    // Which table column each file column feeds.
    std::vector<int> feeds(map_.names.size(), -1);
    for (int col = 0; col < int(map_.fileColumn.size()); ++col)
        if (int fc = map_.fileColumn[size_t(col)]; fc >= 0 && size_t(fc) < feeds.size())
            feeds[size_t(fc)] = col;

    const size_t first = map_.header ? 1 : 0;
    const size_t last = std::min(sheet_.Records(), first + PreviewRows);
    int columns = int(map_.names.size());
    for (size_t r = first; r < last; ++r)
        columns = std::max(columns, sheet_.Fields(r));
    preview_->clear();
    preview_->setRowCount(int(last > first ? last - first : 0));
    preview_->setColumnCount(columns);
    QStringList headers;
    for (int fc = 0; fc < columns; ++fc) {
        const int col = size_t(fc) < feeds.size() ? feeds[size_t(fc)] : -1;
        headers << (col >= 0 ? map_.Name(fc) + QString::fromUtf8(" \xE2\x86\x92 ") +
                                   SheetColumnTitle(table, col)
                             : map_.Name(fc) + " (ignored)");
    }
    preview_->setHorizontalHeaderLabels(headers);
    QStringList lines;
    for (size_t r = first; r < last; ++r) {
        lines << QString::number(sheet_.Line(r));
        for (int fc = 0; fc < sheet_.Fields(r); ++fc)
            preview_->setItem(int(r - first), fc,
                              new QTableWidgetItem(sheet_.Field(r, fc).toString()));
    }
    preview_->setVerticalHeaderLabels(lines);
    preview_->resizeColumnsToContents();

    columnsLabel_->setText(
        map_.ignored.empty()
            ? QString("Every column of the file is used.")
            : "Ignored columns: " +
                  QStringList(map_.ignored.begin(), map_.ignored.end()).join(", "));
    std::vector<SheetProblem> reading = sheet_.problems;
    reading.insert(reading.end(), map_.problems.begin(), map_.problems.end());
    readProblemLabel_->setVisible(!reading.empty());
    if (!reading.empty())
        readProblemLabel_->setText(
            ProblemText(reading.front()) +
            (reading.size() > 1 ? QString(" (%1 problems in all)").arg(reading.size()) : ""));
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
    result_ = std::move(result);
    QDialog::accept();
}

void TImportDlg::ShowProblems(const std::vector<SheetProblem>& problems) {
    QApplication::beep();
    shownProblems_ = problems;
    const int count = int(shownProblems_.size());
    problems_->SetProblems(
        QString("Nothing was imported: %1 problem%2 in the file.")
            .arg(count >= int(MaxSheetProblems) ? QString("more than %1").arg(MaxSheetProblems)
                                                : QString::number(count))
            .arg(count == 1 ? "" : "s"),
        {"Line", "Column", "Value", "Reason"}, count, [this](int line, int column) {
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
