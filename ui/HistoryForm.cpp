#include "HistoryForm.h"

#include "DocumentFile.h"
#include "HistoryJournalTab.h"
#include "HistoryReportsTab.h"
#include "HistorySalesTab.h"
#include "HistoryTime.h"
#include "SheetExport.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

THistoryForm::THistoryForm(THistoryStore& store, QWidget* parent) : QDialog(parent) {
    setObjectName("HistoryForm");
    setWindowTitle(tr("History"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);

    tabs_ = new QTabWidget;
    tabs_->setObjectName("HistoryTabs");
    reports_ = new THistoryReportsTab(store, *this);
    journal_ = new THistoryJournalTab(store, *this);
    sales_ = new THistorySalesTab(store, *this);
    tabs_->addTab(reports_, tr("&Reports"));
    tabs_->addTab(journal_, tr("&Journal"));
    tabs_->addTab(sales_, tr("S&ales"));

    message_ = new QLabel;
    message_->setObjectName("HistoryMessage");
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Enter in a list shows its row; it must not close the window.
    buttons->button(QDialogButtonBox::Close)->setAutoDefault(false);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(message_, 1);
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addLayout(bottom);

    openPrinter = [this](QString&) -> std::unique_ptr<QPrinter> {
        auto printer = std::make_unique<QPrinter>();
        QPrintDialog dialog(printer.get(), this);
        return dialog.exec() == QDialog::Accepted ? std::move(printer) : nullptr;
    };
    chooseTextFile = [this] {
        QFileDialog dialog(this, tr("Save the report"), ".", tr("Text files (*.txt)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix("txt");
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    chooseSheetFile = [this](SheetDialect* dialect) {
        const QStringList filters{tr("Excel CSV (*.csv)"), tr("Calc CSV (*.csv)"),
                                  tr("Tab-separated text (*.tsv)")};
        const char* const names[] = {"excel", "calc", "tsv"};
        QFileDialog dialog(this, tr("Export the sales"), ".");
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters(filters);
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        const int chosen = std::max<int>(0, int(filters.indexOf(dialog.selectedNameFilter())));
        *dialect = ExportDialect(names[chosen]).value_or(DefaultExportDialect());
        QString path = dialog.selectedFiles().value(0);
        if (QFileInfo(path).suffix().isEmpty())
            path += chosen == 2 ? ".tsv" : ".csv";
        return path;
    };

    resize(960, 600);
    Reload();
}

THistoryForm::~THistoryForm() = default;

void THistoryForm::Reload() {
    message_->clear();
    reports_->Reload();
    journal_->Reload();
    sales_->Reload();
}

QString THistoryForm::Message() const {
    return message_->text();
}

void THistoryForm::ShowMessage(const QString& text) {
    message_->setText(text);
}

void THistoryForm::ShowWriteError(const QString& path, int error) {
    QMessageBox box(QMessageBox::Critical, windowTitle(),
                    QString::fromStdString(FileErrorText(error)), QMessageBox::Ok, this);
    box.setInformativeText(path + ": " + QString::fromLocal8Bit(std::strerror(error)));
    box.exec();
}

QDateTime DayStart(const QDate& day) {
    return day.startOfDay().toUTC();
}

QString ShownTime(const QString& stored) {
    return FromStoredTime(stored).toLocalTime().toString("yyyy-MM-dd HH:mm");
}

QTableView* NewHistoryList(const char* name, QAbstractItemModel* model) {
    auto* list = new QTableView;
    list->setObjectName(name);
    list->setModel(model);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setTabKeyNavigation(false);
    list->setWordWrap(false);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 6);
    return list;
}

void FitColumns(QTableView* view, const QStringList& samples) {
    const QFontMetrics metrics(view->font());
    QHeaderView* header = view->horizontalHeader();
    const QFontMetrics headerMetrics(header->font());
    for (int c = 0; c < samples.size(); ++c) {
        const QString title = view->model()->headerData(c, Qt::Horizontal).toString();
        header->resizeSection(c, std::max(metrics.horizontalAdvance(samples[c]),
                                          headerMetrics.horizontalAdvance(title)) +
                                     24);
    }
    header->setStretchLastSection(true);
}
