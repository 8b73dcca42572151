#pragma once
// The download and upload dialogs: which kinds of data to move and the range of PLU numbers.
// Both are created once and kept, so the range is remembered between uses.

#include "TransferContext.h"

#include <QDialog>

#include <array>
#include <string>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

class TTransferRangeDlg : public QDialog {
    Q_OBJECT
public:
    // Refills the check list (all lines unticked) and shows the dialog modally. On OK the kind
    // set becomes exactly the ticked lines; otherwise it is left as it was.
    bool Execute();

    KindSet Kinds() const { return kinds_; }
    void SetKinds(KindSet kinds) { kinds_ = kinds; }
    int RangeBegin() const { return rangeBegin_; }
    int RangeEnd() const { return rangeEnd_; }

protected:
    TTransferRangeDlg(const char* name, const char* caption,
                      const std::array<std::string, 4>& kindNames, QWidget* parent);
    void accept() override;
    void showEvent(QShowEvent* event) override;

    QListWidget* checkList_;

private:
    int SpinValue(const QSpinBox* spin) const;

    const std::array<std::string, 4>& kindNames_;
    QGroupBox* rangeGroup_;
    QSpinBox* rangeBeginEdit_;
    QSpinBox* rangeEndEdit_;
    QPushButton* okBtn_;
    QPushButton* cancelBtn_;

    KindSet kinds_;
    int rangeBegin_ = 1;
    int rangeEnd_ = 3000;
};

class TDownloadDlg : public TTransferRangeDlg {
    Q_OBJECT
public:
    explicit TDownloadDlg(QWidget* parent = nullptr);
};

class TUploadDlg : public TTransferRangeDlg {
    Q_OBJECT
public:
    explicit TUploadDlg(QWidget* parent = nullptr);
};
