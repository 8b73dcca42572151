#include "BulkChangeDlg.h"

#include "CheckTexts.h"
#include "CodePage.h"
#include "Counted.h"
#include "Defs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int ExampleRows = 5;
constexpr int ShownProblems = 5;
constexpr std::array<int, 4> RoundingCents{1, 5, 10, 100};

QString Text(const std::string& bytes) {
    return DocumentCodePage().ToUnicode(bytes);
}

} // namespace

TBulkChangeDlg::TBulkChangeDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("BulkChangeDlg");
    setWindowTitle(tr("Change prices"));
    auto* layout = new QVBoxLayout(this);

    auto* rowsBox = new QGroupBox(tr("Rows"), this);
    auto* rowsLayout = new QGridLayout(rowsBox);
    selectedRows_ = new QRadioButton(rowsBox);
    selectedRows_->setObjectName("SelectedRowsBtn");
    range_ = new QRadioButton(tr("PLU &range:"), rowsBox);
    range_->setObjectName("RangeBtn");
    from_ = new QSpinBox(rowsBox);
    from_->setObjectName("FromEdit");
    to_ = new QSpinBox(rowsBox);
    to_->setObjectName("ToEdit");
    for (QSpinBox* box : {from_, to_})
        box->setRange(1, PLURowCount);
    to_->setValue(PLURowCount);
    rowsLayout->addWidget(selectedRows_, 0, 0, 1, 4);
    rowsLayout->addWidget(range_, 1, 0);
    rowsLayout->addWidget(from_, 1, 1);
    rowsLayout->addWidget(new QLabel(tr("to"), rowsBox), 1, 2);
    rowsLayout->addWidget(to_, 1, 3);
    layout->addWidget(rowsBox);

    auto* changeBox = new QGroupBox(tr("Change"), this);
    auto* form = new QFormLayout(changeBox);
    priceOp_ = new QComboBox(changeBox);
    priceOp_->setObjectName("PriceOpBox");
    priceOp_->addItems({tr("Keep"), tr("Raise by %"), tr("Lower by %"), tr("Raise by amount"),
                        tr("Lower by amount"), tr("Set to")});
    value_ = new QLineEdit(changeBox);
    value_->setObjectName("ValueEdit");
    auto* priceRow = new QHBoxLayout;
    priceRow->addWidget(priceOp_);
    priceRow->addWidget(value_, 1);
    auto* priceLabel = new QLabel(tr("Unit &price:"), changeBox);
    priceLabel->setBuddy(priceOp_);
    form->addRow(priceLabel, priceRow);
    rounding_ = new QComboBox(changeBox);
    rounding_->setObjectName("RoundingBox");
    for (int cents : RoundingCents)
        rounding_->addItem(QString::fromStdString(FormatFixed(cents / 100.0, 2)), cents);
    form->addRow(tr("R&ounded to:"), rounding_);
    setDept_ = new QCheckBox(tr("Set &department:"), changeBox);
    setDept_->setObjectName("SetDeptBox");
    deptBox_ = new QSpinBox(changeBox);
    deptBox_->setObjectName("DeptEdit");
    deptBox_->setRange(1, DeptRowCount);
    form->addRow(setDept_, deptBox_);
    setFlag_ = new QCheckBox(tr("Set &flag:"), changeBox);
    setFlag_->setObjectName("SetFlagBox");
    flag_ = new QSpinBox(changeBox);
    flag_->setObjectName("FlagEdit");
    flag_->setRange(0, 100);
    form->addRow(setFlag_, flag_);
    layout->addWidget(changeBox);

    preview_ = new QLabel(this);
    preview_->setObjectName("PreviewLbl");
    preview_->setWordWrap(true);
    preview_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    preview_->setMinimumSize(460, preview_->fontMetrics().lineSpacing() * 9);
    preview_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(preview_, 1);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(tr("C&hange"));
    buttons_->button(QDialogButtonBox::Ok)->setObjectName("ChangeBtn");
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto update = [this] { UpdatePreview(); };
    for (QRadioButton* button : {selectedRows_, range_})
        connect(button, &QRadioButton::toggled, this, update);
    for (QSpinBox* box : {from_, to_, deptBox_, flag_})
        connect(box, &QSpinBox::valueChanged, this, update);
    for (QComboBox* box : {priceOp_, rounding_})
        connect(box, &QComboBox::currentIndexChanged, this, update);
    for (QCheckBox* box : {setDept_, setFlag_})
        connect(box, &QCheckBox::toggled, this, update);
    connect(value_, &QLineEdit::textChanged, this, update);
    connect(from_, &QSpinBox::valueChanged, this, [this] { range_->setChecked(true); });
    connect(to_, &QSpinBox::valueChanged, this, [this] { range_->setChecked(true); });
}

bool TBulkChangeDlg::Execute(const TextTable& plu, const TextTable& dept,
                             std::vector<int> selected) {
    plu_ = &plu;
    dept_ = &dept;
    selected_ = std::move(selected);
    selectedRows_->setText(selected_.empty() ? tr("&Selected rows (none)")
                                             : tr("&Selected rows (%1)").arg(selected_.size()));
    selectedRows_->setEnabled(!selected_.empty());
    if (selected_.size() > 1)
        selectedRows_->setChecked(true);
    else
        range_->setChecked(true);
    // Each opening starts from no change: an Enter must never repeat a change the user
    // cancelled or already made. The rows and the rounding are kept.
    priceOp_->setCurrentIndex(0);
    value_->clear();
    setDept_->setChecked(false);
    setFlag_->setChecked(false);
    UpdatePreview();
    priceOp_->setFocus();
    const bool accepted = exec() == QDialog::Accepted && plan_.Ok() && !plan_.changes.empty();
    plu_ = nullptr;
    dept_ = nullptr;
    return accepted;
}

std::vector<int> TBulkChangeDlg::Rows() const {
    if (selectedRows_->isChecked())
        return selected_;
    std::vector<int> rows;
    for (int r = from_->value(); r <= to_->value(); ++r)
        rows.push_back(r);
    return rows;
}

std::optional<BulkChange> TBulkChangeDlg::Change() const {
    BulkChange change;
    change.price = BulkChange::Price(priceOp_->currentIndex());
    if (change.price != BulkChange::Price::Keep) {
        const std::optional<std::string> bytes = DocumentCodePage().FromUnicode(value_->text());
        const std::optional<double> value = bytes ? ParseFloat(*bytes) : std::nullopt;
        if (!value || !std::isfinite(*value) || *value < 0)
            return std::nullopt;
        change.value = *value;
    }
    change.roundCents = rounding_->currentData().toInt();
    if (setDept_->isChecked())
        change.department = deptBox_->value();
    if (setFlag_->isChecked())
        change.flag = flag_->value();
    return change;
}

void TBulkChangeDlg::UpdatePreview() {
    plan_ = {};
    value_->setEnabled(priceOp_->currentIndex() != 0);
    const std::optional<BulkChange> change = Change();
    if (plu_ && dept_ && change)
        plan_ = PlanBulkChange(*plu_, *dept_, Rows(), *change);
    preview_->setText(PreviewText());
    buttons_->button(QDialogButtonBox::Ok)
        ->setEnabled(change && plan_.Ok() && !plan_.changes.empty());
}

QString TBulkChangeDlg::PreviewText() const {
    if (!Change())
        return tr("Type the percentage or the amount as a number, for example %1.")
            .arg(QString::fromStdString(FormatFixed(4.5, 1)));
    if (!plan_.Ok()) {
        QString text =
            PluralOr(QT_TRANSLATE_N_NOOP("Plural", "Nothing changes: %n cells would not pass "
                                                   "the check."),
                     qint64(plan_.problems.size()),
                     QString("Nothing changes: %1 cell%2 would not pass the check.")
                         .arg(plan_.problems.size())
                         .arg(plan_.problems.size() == 1 ? "" : "s"));
        for (size_t i = 0; i < plan_.problems.size() && i < size_t(ShownProblems); ++i) {
            const BulkProblem& p = plan_.problems[i];
            text += QString("\nPLU %1 \"%2\": %3")
                        .arg(p.row)
                        .arg(Text(p.value), CheckReasonText(p.reason));
        }
        return text;
    }
    QString text = PluralOr(
        QT_TRANSLATE_N_NOOP("Plural", "%n rows change"), plan_.rowsChanged,
        QString("%1 row%2 change").arg(plan_.rowsChanged).arg(plan_.rowsChanged == 1 ? "" : "s"));
    if (plan_.rowsSkipped > 0)
        text += PluralOr(QT_TRANSLATE_N_NOOP("Plural", "; %n unused rows left alone"),
                         plan_.rowsSkipped,
                         QString("; %1 unused row%2 left alone")
                             .arg(plan_.rowsSkipped)
                             .arg(plan_.rowsSkipped == 1 ? "" : "s"));
    text += '.';
    int shown = 0;
    int lastRow = 0;
    for (const BulkCellChange& c : plan_.changes) {
        if (c.row != lastRow) {
            if (shown == ExampleRows)
                break;
            ++shown;
            lastRow = c.row;
            text += QString("\nPLU %1 %2:").arg(c.row).arg(Text(plu_->Cell(c.row, 2)));
        } else {
            text += ',';
        }
        text += QString(" %1 %2 \u2192 %3")
                    .arg(Text(PLUTitles[size_t(c.col)]), Text(c.before), Text(c.after));
    }
    return text;
}
