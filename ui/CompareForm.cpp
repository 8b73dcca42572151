#include "CompareForm.h"

#include "AtomicFile.h"
#include "CodePage.h"
#include "DifferenceModel.h"
#include "DisplayTexts.h"
#include "ErrorBox.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <cstring>

TCompareForm::TCompareForm(QWidget* parent) : QDialog(parent) {
    setObjectName("CompareForm");
    setWindowTitle(tr("Compare with register"));
    setSizeGripEnabled(true);
    setWindowModality(Qt::WindowModal);

    summaryLabel_ = new QLabel(this);
    summaryLabel_->setObjectName("SummaryLabel");
    summaryLabel_->setWordWrap(true);
    summaryLabel_->setTextFormat(Qt::PlainText);

    model_ = new TDifferenceModel(this);
    tree_ = new QTreeView(this);
    tree_->setObjectName("DifferenceTree");
    tree_->setModel(model_);
    tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setAlternatingRowColors(true);
    tree_->setWordWrap(false);
    // Tens of thousands of rows scroll smoothly only when every row has one height.
    tree_->setUniformRowHeights(true);
    tree_->setAllColumnsShowFocus(true);
    QHeaderView* header = tree_->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(TDifferenceModel::PcColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(TDifferenceModel::RegisterColumn, QHeaderView::Stretch);
    tree_->setColumnWidth(TDifferenceModel::FieldColumn,
                          14 * tree_->fontMetrics().horizontalAdvance('0'));
    connect(model_, &TDifferenceModel::ChosenChanged, this, &TCompareForm::UpdateSendButton);

    saveBtn_ = new QPushButton(tr("Save &list..."), this);
    saveBtn_->setObjectName("SaveListBtn");
    sendBtn_ = new QPushButton(tr("Send &these changes"), this);
    sendBtn_->setObjectName("SendBtn");
    closeBtn_ = new QPushButton(tr("&Close"), this);
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
    layout->addWidget(tree_, 1);
    layout->addLayout(buttons);
    resize(820, 480);

    chooseSaveFile = [this] {
        return QFileDialog::getSaveFileName(this, tr("Save list"), "comparison.txt",
                                            tr("Text files (*.txt);;All files (*)"));
    };
}

void TCompareForm::ShowComparison(const TComparison& comparison) {
    comparison_ = comparison;
    model_->SetComparison(&comparison_);
    // A kind's summary reads across the whole row.
    for (int row = 0; row < model_->rowCount(); ++row)
        tree_->setFirstColumnSpanned(row, QModelIndex(), true);
    tree_->expandAll();
    // "recycling 100" whole beside the tree's indentation, under any kind names.
    const QFontMetrics metrics = tree_->fontMetrics();
    int itemWidth = 0;
    for (const std::string& kind : DownloadKindNames)
        itemWidth = std::max(itemWidth, metrics.horizontalAdvance(DisplayWord(kind) + " 10000"));
    tree_->setColumnWidth(TDifferenceModel::ItemColumn,
                          itemWidth + tree_->indentation() + 2 * metrics.horizontalAdvance('0'));
    saveBtn_->setEnabled(true);
    ShowSummary(comparison_.Equal() ? tr("A download would change nothing: the register holds "
                                         "what the document holds.")
                                    : QString());
    UpdateSendButton();
    if (comparison_.Equal())
        closeBtn_->setFocus();
    else {
        tree_->setFocus();
        for (int kind = KindPLU; kind <= KindParameter; ++kind)
            if (comparison_.KindDiffers(kind)) {
                tree_->setCurrentIndex(model_->KindIndex(kind));
                break;
            }
    }
    exec();
    model_->SetComparison(nullptr);
}

void TCompareForm::UpdateSendButton() {
    sendBtn_->setEnabled(sendChanges != nullptr && model_->Chosen().any());
}

void TCompareForm::ShowSummary(const QString& outcome) {
    const CodePage& cp = DocumentCodePage();
    QString text = tr("Register");
    if (!comparison_.identification.empty())
        text += " " + cp.ToUnicode(comparison_.identification);
    if (comparison_.kinds.test(KindPLU))
        text += QString(", PLU %1-%2").arg(comparison_.rangeBegin).arg(comparison_.rangeEnd);
    text += ":\n" + ComparisonSummaryText(comparison_);
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
        QMessageBox box(QMessageBox::Critical, windowTitle(), tr("The list could not be saved."),
                        QMessageBox::Ok, this);
        box.setInformativeText(path + ": " + QString::fromLocal8Bit(std::strerror(error)));
        box.exec();
    }
}

void TCompareForm::SendClick() {
    const KindSet chosen = model_->Chosen();
    if (!sendChanges || chosen.none())
        return;
    sendBtn_->setEnabled(false);
    const TFlowOutcome outcome = sendChanges(comparison_, chosen);
    // The progress window has gone; the keyboard comes back here, not to the main window.
    activateWindow();
    if (!outcome.Done()) {
        UpdateSendButton();
        ShowSummary(outcome.result == TFlowResult::Cancelled
                        ? tr("Sending was cancelled.")
                        : tr("Sending stopped: %1").arg(OutcomeText(outcome)));
        return;
    }
    model_->MarkSent(chosen);
    QStringList left;
    const KindSet unsent = model_->Unsent();
    for (int kind = KindPLU; kind <= KindParameter; ++kind)
        if (unsent.test(size_t(kind)))
            left << DisplayWord(DownloadKindNames[size_t(kind)]);
    ShowSummary(left.isEmpty()
                    ? tr("The changes have been sent.")
                    : tr("The changes have been sent, except those of %1.").arg(left.join(", ")));
    if (!sendBtn_->isEnabled())
        closeBtn_->setFocus();
}
