#pragma once
// "Change prices...": the rows (the selected ones or a PLU range), what changes, and a preview
// of what the change does before anything is written.

#include "BulkChange.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

class TBulkChangeDlg : public QDialog {
    Q_OBJECT
public:
    explicit TBulkChangeDlg(QWidget* parent = nullptr);

    // selected: the PLU numbers of the grid's selection, ascending. True when the user chose to
    // change; Plan() then holds the change, which passed every check.
    bool Execute(const TextTable& plu, const TextTable& dept, std::vector<int> selected);
    const BulkPlan& Plan() const { return plan_; }
    // The rows and the change as the controls stand.
    std::vector<int> Rows() const;
    std::optional<BulkChange> Change() const;
    // Computes the plan and shows it; the change button follows it.
    void UpdatePreview();
    QString PreviewText() const;

private:
    const TextTable* plu_ = nullptr;
    const TextTable* dept_ = nullptr;
    std::vector<int> selected_;
    BulkPlan plan_;

    QRadioButton* selectedRows_;
    QRadioButton* range_;
    QSpinBox* from_;
    QSpinBox* to_;
    QComboBox* priceOp_;
    QLineEdit* value_;
    QComboBox* rounding_;
    QCheckBox* setDept_;
    QSpinBox* deptBox_;
    QCheckBox* setFlag_;
    QSpinBox* flag_;
    QLabel* preview_;
    QDialogButtonBox* buttons_;
};
