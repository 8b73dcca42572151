#include "ProblemList.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

class TProblemModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void Set(const QStringList& headers, int lines, std::function<QString(int, int)> text) {
        beginResetModel();
        headers_ = headers;
        lines_ = lines;
        text_ = std::move(text);
        endResetModel();
    }
    QString Text(int line, int column) const { return text_ ? text_(line, column) : QString(); }
    const QStringList& Headers() const { return headers_; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : lines_;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(headers_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return {};
        return Text(index.row(), index.column());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
            return {};
        return headers_.value(section);
    }

private:
    QStringList headers_;
    int lines_ = 0;
    std::function<QString(int, int)> text_;
};

TProblemList::TProblemList(QWidget* parent) : QDialog(parent) {
    setObjectName("ProblemList");
    setWindowTitle(tr("Problems"));
    setSizeGripEnabled(true);

    summary_ = new QLabel(this);
    summary_->setObjectName("SummaryLbl");
    summary_->setWordWrap(true);

    model_ = new TProblemModel(this);
    table_ = new QTableView(this);
    table_->setObjectName("ProblemGrid");
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    connect(table_, &QTableView::activated, this, [this](const QModelIndex& index) {
        if (onActivated && index.isValid())
            onActivated(index.row());
    });

    copyButton_ = new QPushButton(tr("&Copy"), this);
    copyButton_->setObjectName("CopyBtn");
    copyButton_->setToolTip(tr("Copy every line, tab-separated, for a spreadsheet or a message"));
    checkButton_ = new QPushButton(tr("Check &again"), this);
    checkButton_->setObjectName("CheckBtn");
    checkButton_->hide();
    closeButton_ = new QPushButton(tr("Close"), this);
    closeButton_->setObjectName("CloseBtn");
    for (QPushButton* button : {copyButton_, checkButton_})
        button->setAutoDefault(false);
    connect(copyButton_, &QPushButton::clicked, this, &TProblemList::CopyAll);
    connect(checkButton_, &QPushButton::clicked, this, [this] {
        if (checkAgain_)
            checkAgain_();
    });
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copyButton_);
    buttons->addWidget(checkButton_);
    buttons->addStretch(1);
    buttons->addWidget(closeButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    resize(720, 380);
}

void TProblemList::SetProblems(const QString& summary, const QStringList& headers, int lines,
                               std::function<QString(int line, int column)> text) {
    summary_->setText(summary);
    model_->Set(headers, lines, std::move(text));
    copyButton_->setEnabled(lines > 0);
    // The reason takes the rest; the other columns as wide as their first lines need.
    const QFontMetrics metrics(table_->font());
    for (int c = 0; c + 1 < int(headers.size()); ++c) {
        int width = metrics.horizontalAdvance(headers[c]) + 24;
        for (int line = 0; line < std::min(lines, 50); ++line)
            width = std::max(width, metrics.horizontalAdvance(model_->Text(line, c)) + 16);
        table_->setColumnWidth(c, std::min(width, 240));
    }
    if (lines > 0)
        table_->setCurrentIndex(model_->index(0, 0));
}

int TProblemList::Lines() const {
    return model_->rowCount();
}

QString TProblemList::Summary() const {
    return summary_->text();
}

QString TProblemList::Text() const {
    QString text = model_->Headers().join(u'\t') + u'\n';
    for (int line = 0; line < model_->rowCount(); ++line) {
        for (int c = 0; c < model_->columnCount(); ++c) {
            if (c > 0)
                text += u'\t';
            // One problem a line, also when a value holds a tab or a line break.
            text += model_->Text(line, c)
                        .replace(u'\t', u' ')
                        .replace(u'\r', u' ')
                        .replace(u'\n', u' ');
        }
        text += u'\n';
    }
    return text;
}

void TProblemList::SetCheckAgain(std::function<void()> check) {
    checkAgain_ = std::move(check);
    checkButton_->setVisible(bool(checkAgain_));
}

void TProblemList::CopyAll() {
    QApplication::clipboard()->setText(Text());
}

void ShowPasteRefused(QWidget* parent, SheetTable table, const PastedCells& pasted) {
    QApplication::beep();
    QMessageBox box(QMessageBox::Warning, TProblemList::tr("Quorve PLU manager"),
                    TProblemList::tr("Nothing was pasted: %1")
                        .arg(PasteProblemText(table, pasted.problems.front())),
                    QMessageBox::Ok, parent);
    box.setObjectName("PasteRefusedBox");
    if (pasted.problems.size() > 1)
        box.setInformativeText(
            pasted.problems.size() >= MaxSheetProblems
                ? TProblemList::tr("More than %1 cells in all do not pass their check.")
                      .arg(MaxSheetProblems)
                : TProblemList::tr("%1 cells in all do not pass their check.")
                      .arg(pasted.problems.size()));
    box.exec();
}
