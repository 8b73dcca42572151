#include "ExportDlg.h"

#include "CodePage.h"
#include "Defs.h"
#include "SheetExport.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TExportDlg::TExportDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("ExportDlg");
    setWindowTitle(tr("Export"));

    tableBox_ = new QComboBox(this);
    tableBox_->setObjectName("TableCB");
    tableBox_->addItem(tr("PLU items"), int(SheetTable::PLU));
    tableBox_->addItem(tr("Departments"), int(SheetTable::Department));
    tableBox_->addItem(tr("Package prices (recycling)"), int(SheetTable::Recycling));
    dialectBox_ = new QComboBox(this);
    dialectBox_->setObjectName("DialectCB");
    dialectBox_->addItem("Excel", "excel");
    dialectBox_->addItem("LibreOffice Calc", "calc");
    dialectBox_->addItem(tr("Tab-separated text"), "tsv");
    encodingBox_ = new QComboBox(this);
    encodingBox_->setObjectName("EncodingCB");
    encodingBox_->addItem(tr("UTF-8 with BOM"), int(SheetEncoding::Utf8));
    encodingBox_->addItem(QString(), int(SheetEncoding::CodePage)); // named when shown
    dialectLabel_ = new QLabel(this);
    dialectLabel_->setObjectName("DialectLbl");

    okButton_ = new QPushButton(tr("OK"), this);
    okButton_->setObjectName("OKBtn");
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(tr("Cancel"), this);
    cancelButton_->setObjectName("CancelBtn");
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(tr("&Table:"), tableBox_);
    form->addRow(tr("&Written for:"), dialectBox_);
    form->addRow(tr("&Encoding:"), encodingBox_);
    form->addRow(QString(), dialectLabel_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    layout->addLayout(buttons);

    for (QComboBox* box : {dialectBox_, encodingBox_})
        connect(box, &QComboBox::currentIndexChanged, this, &TExportDlg::ShowDialect);
    ShowDialect();
}

SheetTable TExportDlg::Table() const {
    return SheetTable(tableBox_->currentData().toInt());
}

SheetDialect TExportDlg::Dialect() const {
    // The locale may have changed since the dialog was made (tests switch it): asked each time.
    SheetDialect dialect = ExportDialect(dialectBox_->currentData().toString().toStdString())
                               .value_or(DefaultExportDialect());
    if (encodingBox_->currentData().toInt() == int(SheetEncoding::CodePage)) {
        dialect.encoding = SheetEncoding::CodePage;
        dialect.bom = false;
    }
    return dialect;
}

void TExportDlg::showEvent(QShowEvent* event) {
    ShowDialect();
    QDialog::showEvent(event);
}

QString TExportDlg::Suffix() const {
    return Dialect().separator == '\t' ? "tsv" : "csv";
}

void TExportDlg::ShowDialect() {
    encodingBox_->setItemText(encodingBox_->findData(int(SheetEncoding::CodePage)),
                              QString::fromStdString(DocumentCodePage().Name()));
    const SheetDialect dialect = Dialect();
    const QString separator = dialect.separator == '\t'  ? tr("Tab")
                              : dialect.separator == ';' ? tr("Semicolon")
                                                         : tr("Comma");
    dialectLabel_->setText(tr("%1 between fields, decimal %2, lines ended by %3")
                               .arg(separator, dialect.decimal == ',' ? tr("comma") : tr("point"),
                                    dialect.crlf ? "CR LF" : "LF"));
}
