#pragma once
// The range dialog of the memory dump: first page in hexadecimal, page count, ROM or RAM.

#include "MemoryDump.h"

#include <QDialog>

#include <optional>

class QLineEdit;
class QRadioButton;

class TDataDlg : public QDialog {
    Q_OBJECT
public:
    explicit TDataDlg(QWidget* parent = nullptr);

    QLineEdit* Edit1 = nullptr; // base page, hexadecimal
    QLineEdit* Edit2 = nullptr; // page count
    QRadioButton* RomBtn = nullptr;
    QRadioButton* RamBtn = nullptr;

    // The range after OK; nullopt when either text is not a number.
    std::optional<MemoryRange> Range() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
