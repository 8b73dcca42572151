#include "CompareForm.h"

#include "AtomicFile.h"
#include "CodePage.h"
#include "DifferenceModel.h"
#include "ErrorBox.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <cerrno>
#include <cstring>

TCompareForm::TCompareForm(QWidget* parent) : QDialog(parent) {
    setObjectName("CompareForm");
    setWindowTitle("Compare with register");
    setSizeGripEnabled(true);
    setWindowModality(Qt::WindowModal);

    summaryLabel_ = new QLabel(this);
    summaryLabel_->setObjectName("SummaryLabel");
    summaryLabel_->setWordWrap(true);
    summaryLabel_->setTextFormat(Qt::PlainText);

    model_ = new TDifferenceModel(this);
    grid_ = new QTableView(this);
    grid_->setObjectName("DifferenceGrid");
    grid_->setModel(model_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setAlternatingRowColors(true);
    grid_->setWordWrap(false);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    QHeaderView* header = grid_->horizontalHeader();
    header->setSectionResizeMode(TDifferenceModel::PcColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(TDifferenceModel::RegisterColumn, QHeaderView::Stretch);
    for (int column : {TDifferenceModel::KindColumn, TDifferenceModel::ItemColumn,
                       TDifferenceModel::FieldColumn})
        grid_->setColumnWidth(column, column == TDifferenceModel::ItemColumn ? 60 : 100);

    saveBtn_ = new QPushButton("Save &list...", this);
    saveBtn_->setObjectName("SaveListBtn");
    sendBtn_ = new QPushButton("Send &these changes", this);
    sendBtn_->setObjectName("SendBtn");
    closeBtn_ = new QPushButton("&Close", this);
    closeBtn_->setObjectName("CloseBtn");
    // Enter closes: sending is never the answer to a stray key.
    closeBtn_->setDefault(true);
    connect(saveBtn_, &QPushButton::clicked, this, &TCompareForm::SaveListClick);
    connect(sendBtn_, &QPushButton::clicked, this, &TCompareForm::SendClick);
    connect(closeBtn_, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(saveBtn_);
    buttons->addStretch();
    buttons->addWidget(sendBtn_);
    buttons->addWidget(closeBtn_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summaryLabel_);
    layout->addWidget(grid_, 1);
    layout->addLayout(buttons);
    resize(820, 480);

    chooseSaveFile = [this] {
        return QFileDialog::getSaveFileName(this, "Save list", "comparison.txt",
                                            "Text files (*.txt);;All files (*)");
    };
}

void TCompareForm::ShowComparison(const TComparison& comparison) {
    comparison_ = comparison;
    model_->SetDifferences(&comparison_.differences);
    sendBtn_->setEnabled(!comparison_.Equal() && sendChanges != nullptr);
    saveBtn_->setEnabled(true);
    ShowSummary(comparison_.Equal() ? "A download would change nothing: the register holds what "
                                      "the document holds."
                                    : QString());
    if (comparison_.Equal())
        closeBtn_->setFocus();
    else {
        grid_->setFocus();
        grid_->selectRow(0);
    }
    exec();
    model_->SetDifferences(nullptr);
}

void TCompareForm::ShowSummary(const QString& outcome) {
    const CodePage& cp = DocumentCodePage();
    QString text = "Register";
    if (!comparison_.identification.empty())
        text += " " + cp.ToUnicode(comparison_.identification);
    if (comparison_.kinds.test(KindPLU))
        text += QString(", PLU %1-%2").arg(comparison_.rangeBegin).arg(comparison_.rangeEnd);
    text += ":\n" + cp.ToUnicode(ComparisonSummary(comparison_));
    if (!outcome.isEmpty())
        text += "\n" + outcome;
    summaryLabel_->setText(text);
}

void TCompareForm::SaveListClick() {
    const QString path = chooseSaveFile();
    if (path.isEmpty())
        return;
    if (!WriteFileAtomically(path.toLocal8Bit().toStdString(), ComparisonReport(comparison_))) {
        const int error = errno;
        QMessageBox box(QMessageBox::Critical, windowTitle(), "The list could not be saved.",
                        QMessageBox::Ok, this);
        box.setInformativeText(path + ": " + QString::fromLocal8Bit(std::strerror(error)));
        box.exec();
    }
}

void TCompareForm::SendClick() {
    if (!sendChanges || comparison_.Equal())
        return;
    sendBtn_->setEnabled(false);
    const TFlowOutcome outcome = sendChanges(comparison_);
    // The progress window has gone; the keyboard comes back here, not to the main window.
    activateWindow();
    if (outcome.Done()) {
        ShowSummary("The changes have been sent.");
        closeBtn_->setFocus();
        return;
    }
    sendBtn_->setEnabled(true);
    ShowSummary(outcome.result == TFlowResult::Cancelled
                    ? QString("Sending was cancelled.")
                    : "Sending stopped: " + OutcomeText(outcome));
}
