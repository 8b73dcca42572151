#include "RecyForm.h"

#include "EditGrid.h"
#include "GridModel.h"
#include "Placement.h"
#include "ProblemList.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int ClientWidth = 232;
constexpr int ClientHeight = 284;
constexpr int ButtonStripHeight = 36;

} // namespace

TRecyForm::TRecyForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("RecyForm"));
    setWindowTitle(tr("Recycling"));

    zeroPrice_ = LocaleDefault(RecyDefaults[1]);
    model_ = new TGridModel(TextTable(RecyEntryCount, 1, {zeroPrice_}), RecyTitles, this);
    grid_ = new TEditGrid(model_, {KeyClass::Digits, KeyClass::Numeric}, RecyMaxLen, this);
    grid_->setObjectName(QStringLiteral("RecyGrid"));
    // Typing here is not a change of the document, and the OK button checks the cell itself.
    grid_->onStartTyping = nullptr;
    grid_->checkOnFocusLoss = false;
    grid_->validateCell = [this](int col, int row) {
        std::string& price = model_->Table().Cell(row, col);
        if (price.empty())
            price = zeroPrice_;
        const CellCheck check = ValidateRecyPrice(price);
        model_->CellChanged(row, col);
        return check.Ok();
    };
    grid_->pasteBlock = [this](const QString& text, const CellRect& target) {
        PastedCells pasted =
            PasteCells(SheetTable::Recycling, text, target, model_->Table(), model_->Table());
        if (!pasted.Ok()) {
            ShowPasteRefused(this, SheetTable::Recycling, pasted);
            return std::optional<CellRect>();
        }
        ApplyCells(model_->Table(), pasted);
        const CellRect& block = pasted.block;
        model_->CellsChanged(block.top, block.left, block.bottom, block.right);
        return std::optional<CellRect>(block);
    };
    grid_->verticalHeader()->setFixedWidth(60);
    grid_->verticalHeader()->setDefaultSectionSize(20);
    grid_->horizontalHeader()->setFixedHeight(20);
    grid_->setColumnWidth(0, 138);

    okButton_ = new QPushButton(tr("OK"), this);
    okButton_->setObjectName(QStringLiteral("OKBtn"));
    cancelButton_ = new QPushButton(tr("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelBtn"));
    // Enter belongs to the grid (check the cell, move right), never to a default button.
    for (QPushButton* button : {okButton_, cancelButton_}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(okButton_, &QPushButton::clicked, this, &TRecyForm::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &TRecyForm::reject);

    auto* strip = new QWidget(this);
    strip->setFixedHeight(ButtonStripHeight);
    auto* buttons = new QHBoxLayout(strip);
    buttons->setContentsMargins(6, 4, 6, 4);
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(grid_, 1);
    outer->addWidget(strip);
    setFixedSize(ClientWidth, ClientHeight);
}

bool TRecyForm::RecyExecute(RecyTable& table, int entry) {
    // Whatever a cancelled opening left in the grid is not seen again.
    grid_->SetEditing(false);
    for (int k = 0; k < RecyEntryCount; ++k)
        model_->Table().Cell(k + 1, 1) = table[size_t(k)].price;
    model_->TableChanged();
    grid_->SetCurrentCell(std::clamp(entry, 1, RecyEntryCount), 1);
    grid_->setFocus();
    CentreOnScreen(this);
    if (exec() != QDialog::Accepted)
        return false;
    for (int k = 0; k < RecyEntryCount; ++k) {
        table[size_t(k)].number = std::to_string(k + 1);
        table[size_t(k)].price = model_->Cell(k + 1, 1);
    }
    return true;
}

void TRecyForm::accept() {
    // The cell being edited must pass its check; on failure the grid keeps the user in it.
    if (!grid_->ValidateActiveCell()) {
        grid_->setFocus();
        grid_->SetEditing(true);
        return;
    }
    QDialog::accept();
}

void TRecyForm::done(int result) {
    if (result != QDialog::Accepted)
        grid_->SetEditing(false);
    QDialog::done(result);
}
