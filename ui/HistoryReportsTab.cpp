#include "HistoryReportsTab.h"

#include "AtomicFile.h"
#include "HistoryForm.h"
#include "HistoryStore.h"
#include "PagedTableModel.h"
#include "PrinterJob.h"
#include "ReportArchive.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <cerrno>

THistoryReportsTab::THistoryReportsTab(THistoryStore& store, THistoryForm& form)
    : store_(store), form_(form) {
    setObjectName("ReportsTab");
    search_ = new QLineEdit;
    search_->setObjectName("ReportSearch");
    search_->setPlaceholderText(tr("Words in the report's text"));
    search_->setClearButtonEnabled(true);
    auto* searchLabel = new QLabel(tr("&Search:"));
    searchLabel->setBuddy(search_);
    count_ = new QLabel;
    count_->setObjectName("ReportCount");
    // One query per pause in the typing, not per key.
    typing_ = new QTimer(this);
    typing_->setSingleShot(true);
    typing_->setInterval(250);
    connect(search_, &QLineEdit::textChanged, typing_, qOverload<>(&QTimer::start));
    connect(typing_, &QTimer::timeout, this, &THistoryReportsTab::Search);
    connect(search_, &QLineEdit::returnPressed, this, &THistoryReportsTab::Search);

    model_ = new TPagedTableModel({tr("Date"), tr("Register"), tr("Shop"), tr("First line")}, this);
    list_ = NewHistoryList("ReportList", model_);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    FitColumns(list_, {"2026-12-31 23:59", "QUORVE SIM ECR 1.0 ", "SHOP-PC-01", "Z REPORT"});
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &THistoryReportsTab::ShowCurrent);
    // Enter on a report takes the user to its text.
    connect(list_, &QAbstractItemView::activated, this, [this] {
        ShowCurrent();
        text_->setFocus();
    });
    connect(model_, &TPagedTableModel::failed, &form_, [this](const QString& error) {
        form_.ShowMessage(tr("The reports could not be read (%1).").arg(error));
    });

    text_ = new QPlainTextEdit;
    text_->setObjectName("ReportText");
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text_->setTabChangesFocus(true);

    save_ = new QPushButton(tr("Sa&ve as text file..."));
    save_->setObjectName("SaveReportBtn");
    print_ = new QPushButton(tr("&Print..."));
    print_->setObjectName("PrintReportBtn");
    copy_ = new QPushButton(tr("&Copy"));
    copy_->setObjectName("CopyReportBtn");
    for (QPushButton* button : {save_, print_, copy_})
        button->setAutoDefault(false);
    connect(save_, &QPushButton::clicked, this, &THistoryReportsTab::SaveAs);
    connect(print_, &QPushButton::clicked, this, &THistoryReportsTab::Print);
    connect(copy_, &QPushButton::clicked, this, &THistoryReportsTab::Copy);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(search_, 1);
    searchRow->addWidget(count_);
    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addLayout(searchRow);
    leftLayout->addWidget(list_, 1);
    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(text_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save_);
    buttons->addWidget(print_);
    buttons->addWidget(copy_);
    buttons->addStretch();
    rightLayout->addLayout(buttons);
    auto* splitter = new QSplitter;
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);

    setTabOrder(search_, list_);
    setTabOrder(list_, text_);
    setTabOrder(text_, save_);
    setTabOrder(save_, print_);
    setTabOrder(print_, copy_);
    setFocusProxy(list_);
}

void THistoryReportsTab::Reload() {
    typing_->stop();
    TReportFilter filter;
    filter.words = search_->text();
    model_->Reset([this, filter](int offset, int limit, QString* error) {
        TReportFilter page = filter;
        page.offset = offset;
        page.limit = limit;
        std::vector<TPagedRow> rows;
        for (const TArchivedReport& r : ListReports(store_, page, error))
            rows.push_back(
                {r.id, {ShownTime(r.readAt), r.registerName, r.shop, r.firstLine}, {}, false});
        return rows;
    });
    // A first page that is the whole list is its own count; only a longer one is counted.
    QString error = model_->Error();
    int count = model_->rowCount();
    if (error.isEmpty() && model_->canFetchMore({}))
        count = CountReports(store_, filter, &error);
    count_->setText(error.isEmpty() ? tr("%n report(s)", nullptr, count) : QString());
    if (model_->rowCount() > 0)
        list_->setCurrentIndex(model_->index(0, 0));
    else
        ShowCurrent();
}

void THistoryReportsTab::Search() {
    Reload();
}

void THistoryReportsTab::ShowCurrent() {
    const TPagedRow* row = model_->Row(list_->currentIndex().row());
    QString text;
    if (row) {
        QString error;
        if (const auto report = ArchivedReport(store_, row->id, &error))
            text = report->text;
        else if (!error.isEmpty())
            form_.ShowMessage(tr("The report could not be read (%1).").arg(error));
    }
    text_->setPlainText(text);
    for (QPushButton* button : {save_, print_, copy_})
        button->setEnabled(row != nullptr);
}

void THistoryReportsTab::SaveAs() {
    if (!model_->Row(list_->currentIndex().row()))
        return;
    const QString path = form_.chooseTextFile();
    if (path.isEmpty())
        return;
    const QByteArray bytes = text_->toPlainText().toUtf8();
    if (!WriteFileAtomically(path.toLocal8Bit().toStdString(),
                             std::string_view(bytes.constData(), size_t(bytes.size())))) {
        form_.ShowWriteError(path, errno);
        return;
    }
    form_.ShowMessage(tr("The report was saved as %1.").arg(QFileInfo(path).fileName()));
}

void THistoryReportsTab::Print() {
    if (!model_->Row(list_->currentIndex().row()))
        return;
    QString error;
    std::unique_ptr<QPrinter> printer = form_.openPrinter(error);
    if (printer) {
        // Line by line as the register wrote them, as the Report pane prints.
        TPrinterJob job(*printer);
        bool printed = job.Begin();
        for (const QString& line : text_->toPlainText().split('\n'))
            printed = printed && job.PrintLine(line);
        printed = printed && job.End();
        if (!printed)
            error = job.ErrorText();
    }
    if (!error.isEmpty())
        QMessageBox::critical(&form_, form_.windowTitle(), error);
    else if (printer)
        form_.ShowMessage(tr("The report was sent to the printer."));
}

void THistoryReportsTab::Copy() {
    QApplication::clipboard()->setText(text_->toPlainText());
    form_.ShowMessage(tr("The report was copied."));
}
