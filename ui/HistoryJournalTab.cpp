#include "HistoryJournalTab.h"

#include "HistoryForm.h"
#include "HistoryStore.h"
#include "Journal.h"
#include "Language.h"
#include "PagedTableModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const char* const Operations[] = {
    operations::Download, operations::SendChanges, operations::Upload,  operations::Compare,
    operations::Backup,   operations::Restore,     operations::Report,  operations::Test,
    operations::Detect,   operations::Dump,        operations::Program, operations::Font};

// The stored words, marked for the translation; OperationText and KindsText look them up.
[[maybe_unused]] const char* const StoredWords[] = {
    QT_TRANSLATE_NOOP("THistoryJournalTab", "download"),
    QT_TRANSLATE_NOOP("THistoryJournalTab", "send-changes"),
    QT_TRANSLATE_NOOP("THistoryJournalTab", "upload"),
    QT_TRANSLATE_NOOP("THistoryJournalTab", "compare"),
    QT_TRANSLATE_NOOP("THistoryJournalTab", "backup"),
    QT_TRANSLATE_NOOP("THistoryJournalTab", "restore"),
    QT_TRANSLATE_NOOP("THistoryJournalTab", "report"),
    QT_TRANSLATE_NOOP("THistoryJournalTab", "test"),
    QT_TRANSLATE_NOOP("THistoryJournalTab", "detect"),
    QT_TRANSLATE_NOOP("THistoryJournalTab", "dump"),
    QT_TRANSLATE_NOOP("THistoryJournalTab", "program"),
    QT_TRANSLATE_NOOP("THistoryJournalTab", "font"),
    QT_TRANSLATE_NOOP("THistoryJournalTab", "plu"),
    QT_TRANSLATE_NOOP("THistoryJournalTab", "dept"),
    QT_TRANSLATE_NOOP("THistoryJournalTab", "recy"),
    QT_TRANSLATE_NOOP("THistoryJournalTab", "param"),
};

QString RangeText(const TJournalEntry& e) {
    if (!e.rangeBegin && !e.rangeEnd)
        return {};
    return QString("%1-%2").arg(e.rangeBegin.value_or(1)).arg(e.rangeEnd.value_or(0));
}

QString OneLine(QString text) {
    return text.replace("\r\n", " ").replace('\n', ' ');
}

} // namespace

THistoryJournalTab::THistoryJournalTab(THistoryStore& store, THistoryForm& form)
    : store_(store), form_(form) {
    setObjectName("JournalTab");
    register_ = new QLineEdit;
    register_->setObjectName("JournalRegister");
    register_->setPlaceholderText(tr("Any"));
    register_->setClearButtonEnabled(true);
    typing_ = new QTimer(this);
    typing_->setSingleShot(true);
    typing_->setInterval(250);
    connect(register_, &QLineEdit::textChanged, typing_, qOverload<>(&QTimer::start));
    connect(register_, &QLineEdit::returnPressed, this, &THistoryJournalTab::Reload);
    connect(typing_, &QTimer::timeout, this, &THistoryJournalTab::Reload);

    operation_ = new QComboBox;
    operation_->setObjectName("JournalOperation");
    operation_->addItem(tr("All"), QString());
    for (const char* name : Operations)
        operation_->addItem(OperationText(QString::fromLatin1(name)), QString::fromLatin1(name));
    result_ = new QComboBox;
    result_->setObjectName("JournalResult");
    result_->addItem(tr("Any"), QString());
    for (const char* name :
         {results::Done, results::Failed, results::Cancelled, results::Unfinished})
        result_->addItem(ResultText(name), QString::fromLatin1(name));

    dates_ = new QCheckBox(tr("&From"));
    dates_->setObjectName("JournalDates");
    from_ = new QDateEdit(QDate::currentDate().addMonths(-1));
    from_->setObjectName("JournalFrom");
    to_ = new QDateEdit(QDate::currentDate());
    to_->setObjectName("JournalTo");
    for (QDateEdit* edit : {from_, to_}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat("yyyy-MM-dd");
        edit->setEnabled(false);
        connect(edit, &QDateEdit::dateChanged, this, &THistoryJournalTab::Reload);
    }
    connect(dates_, &QCheckBox::toggled, this, [this](bool on) {
        from_->setEnabled(on);
        to_->setEnabled(on);
        Reload();
    });
    connect(operation_, &QComboBox::currentIndexChanged, this, &THistoryJournalTab::Reload);
    connect(result_, &QComboBox::currentIndexChanged, this, &THistoryJournalTab::Reload);

    auto* registerLabel = new QLabel(tr("Re&gister:"));
    registerLabel->setBuddy(register_);
    auto* operationLabel = new QLabel(tr("&Operation:"));
    operationLabel->setBuddy(operation_);
    auto* resultLabel = new QLabel(tr("Res&ult:"));
    resultLabel->setBuddy(result_);
    auto* toLabel = new QLabel(tr("&to"));
    toLabel->setBuddy(to_);
    auto* filters = new QHBoxLayout;
    filters->addWidget(registerLabel);
    filters->addWidget(register_, 1);
    filters->addWidget(operationLabel);
    filters->addWidget(operation_);
    filters->addWidget(resultLabel);
    filters->addWidget(result_);
    filters->addSpacing(12);
    filters->addWidget(dates_);
    filters->addWidget(from_);
    filters->addWidget(toLabel);
    filters->addWidget(to_);

    model_ = new TPagedTableModel({tr("Started"), tr("Register"), tr("Shop"), tr("Port"),
                                   tr("Operation"), tr("Result"), tr("Blocks"), tr("Bytes"),
                                   tr("Seconds"), tr("Error")},
                                  this);
    list_ = NewHistoryList("JournalList", model_);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    FitColumns(list_, {"2026-12-31 23:59", "QUORVE SIM ECR 1.0 ", "SHOP-PC-01", "/dev/ttyUSB0",
                       "send-changes", ResultText(results::Unfinished), "00000", "0000000", "000.0",
                       "Error"});
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &THistoryJournalTab::ShowCurrent);
    connect(list_, &QAbstractItemView::activated, this, [this] { detail_->setFocus(); });
    connect(model_, &TPagedTableModel::failed, &form_, [this](const QString& error) {
        form_.ShowMessage(tr("The journal could not be read (%1).").arg(error));
    });

    detail_ = new QPlainTextEdit;
    detail_->setObjectName("JournalDetail");
    detail_->setReadOnly(true);
    detail_->setTabChangesFocus(true);

    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(list_);
    splitter->addWidget(detail_);
    splitter->setStretchFactor(0, 4);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(splitter, 1);

    setTabOrder(register_, operation_);
    setTabOrder(operation_, result_);
    setTabOrder(result_, dates_);
    setTabOrder(dates_, from_);
    setTabOrder(from_, to_);
    setTabOrder(to_, list_);
    setTabOrder(list_, detail_);
    setFocusProxy(list_);
}

QString THistoryJournalTab::ResultText(const QString& result) {
    if (result == results::Done)
        return tr("done");
    if (result == results::Failed)
        return tr("failed");
    if (result == results::Cancelled)
        return tr("cancelled");
    if (result == results::Unfinished)
        return tr("unfinished");
    return result;
}

QString THistoryJournalTab::OperationText(const QString& operation) {
    return tr(operation.toUtf8().constData());
}

QString THistoryJournalTab::KindsText(const QString& kinds) {
    QStringList words = kinds.split(',', Qt::SkipEmptyParts);
    for (QString& word : words)
        word = tr(word.toUtf8().constData());
    return words.join(',');
}

QString THistoryJournalTab::DetailText(const TJournalEntry& e) {
    QStringList lines;
    lines << tr("%1 on %2, %3 to %4: %5")
                 .arg(OperationText(e.operation), e.port.isEmpty() ? tr("no port") : e.port,
                      e.started.toLocalTime().toString("yyyy-MM-dd HH:mm:ss"),
                      e.ended.toLocalTime().toString("HH:mm:ss"), ResultText(e.result));
    if (!e.error.isEmpty())
        lines << e.error;
    if (!e.registerName.isEmpty())
        lines << tr("Register: %1").arg(e.registerName);
    QStringList what;
    if (!e.kinds.isEmpty())
        what << KindsText(e.kinds);
    if (const QString range = RangeText(e); !range.isEmpty())
        what << tr("PLU %1").arg(range);
    if (!what.isEmpty())
        lines << tr("Chosen: %1").arg(what.join(", "));
    lines << tr("%1 at %2 baud: %n block(s), %3 bytes in %4 s", nullptr, int(e.blocks))
                 .arg(e.device.isEmpty() ? e.port : e.device)
                 .arg(e.rate)
                 .arg(e.bytes)
                 .arg(PeopleNumber(e.seconds, 1));
    if (!e.document.isEmpty())
        lines << tr("Document: %1").arg(e.document);
    if (!e.documentSha256.isEmpty())
        lines << tr("SHA-256 of the data sent: %1").arg(e.documentSha256);
    return lines.join('\n');
}

void THistoryJournalTab::Reload() {
    typing_->stop();
    TJournalFilter filter;
    filter.registerName = register_->text().trimmed();
    filter.operation = operation_->currentData().toString();
    filter.result = result_->currentData().toString();
    if (dates_->isChecked()) {
        const QDate first = std::min(from_->date(), to_->date());
        const QDate last = std::max(from_->date(), to_->date());
        filter.since = DayStart(first);
        filter.until = DayStart(last.addDays(1));
    }
    model_->Reset([this, filter](int offset, int limit, QString* error) {
        TJournalFilter page = filter;
        page.offset = offset;
        page.limit = limit;
        std::vector<TPagedRow> rows;
        for (const TJournalEntry& e : ListJournal(store_, page, error))
            rows.push_back({e.id,
                            {e.started.toLocalTime().toString("yyyy-MM-dd HH:mm"), e.registerName,
                             e.shop, e.port, OperationText(e.operation), ResultText(e.result),
                             QString::number(e.blocks), QString::number(e.bytes),
                             PeopleNumber(e.seconds, 1), OneLine(e.error)},
                            DetailText(e),
                            e.result == results::Failed || e.result == results::Unfinished});
        return rows;
    });
    if (model_->rowCount() > 0)
        list_->setCurrentIndex(model_->index(0, 0));
    else
        ShowCurrent();
}

void THistoryJournalTab::ShowCurrent() {
    const TPagedRow* row = model_->Row(list_->currentIndex().row());
    detail_->setPlainText(row ? row->detail : QString());
}
