#pragma once
// The range dialog of the memory dump: first page in hexadecimal, page count, ROM or RAM.

#include "ServiceFlows.h"

#include <QDialog>

#include <optional>
#include <string_view>

class QLineEdit;
class QRadioButton;

// The base text as a hexadecimal number of at most 8 digits, kept as a signed 32-bit value
// ("FFFFFFFF" is -1); nullopt when it is not one.
std::optional<int32_t> ParseHexBase(std::string_view text);
// The count text as a decimal signed 32-bit number; nullopt when it is not one.
std::optional<int32_t> ParseCount(std::string_view text);

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
