#pragma once
// The download and upload dialogs: which kinds of data to move and the range of PLU numbers.
// Both are created once and kept, so the range is remembered between uses.

#include "TransferContext.h"

#include <QDialog>

#include <array>
#include <string>

class QCheckBox;
class QSpinBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QVBoxLayout;
class TRegisterPicker;

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
    // A further choice, between the range and the buttons.
    void AddOption(QWidget* option);
    // The lines ticked at each opening: none for the download and upload dialogs.
    KindSet ticked_;
    // OK only once a line is ticked: a transfer of nothing would still connect, and an upload
    // would still empty the document.
    bool needsKind_ = false;
    KindSet Checked() const;

    QListWidget* checkList_;

private:
    int SpinValue(const QSpinBox* spin) const;
    void UpdateOkButton();

    const std::array<std::string, 4>& kindNames_;
    QGroupBox* rangeGroup_;
    QSpinBox* rangeBeginEdit_;
    QSpinBox* rangeEndEdit_;
    QPushButton* okBtn_;
    QPushButton* cancelBtn_;
    QVBoxLayout* layout_;

    KindSet kinds_;
    int rangeBegin_ = 1;
    int rangeEnd_ = 3000;
};

class TDownloadDlg : public TTransferRangeDlg {
    Q_OBJECT
public:
    explicit TDownloadDlg(QWidget* parent = nullptr);

    // "Back up the register first": read from SYSTEM.CFG at each opening, kept there on OK.
    bool BackupFirst() const;
    // With a register list: "Registers:" and the registers to send to, and whether each gets
    // only what differs from its own content.
    TRegisterPicker* Picker() const { return picker_; }
    bool OnlyChanges() const;

protected:
    void accept() override;
    void showEvent(QShowEvent* event) override;

private:
    QCheckBox* backupFirst_;
    TRegisterPicker* picker_;
    QCheckBox* onlyChanges_;
};

// "Compare with register...": the kinds and the PLU range to compare.
class TCompareDlg : public TTransferRangeDlg {
    Q_OBJECT
public:
    explicit TCompareDlg(QWidget* parent = nullptr);

protected:
    void accept() override;
};

class TUploadDlg : public TTransferRangeDlg {
    Q_OBJECT
public:
    explicit TUploadDlg(QWidget* parent = nullptr);
};

// A field for a PLU number of a range (MinPluRange to MaxPluRange).
QSpinBox* PluRangeSpin(const char* name, int value, QWidget* parent);
