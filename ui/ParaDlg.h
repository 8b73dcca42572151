#pragma once
// The parameter dialog: the register's parameters kept in section [Default] of SYSTEM.CFG
// (rates, print speed, option flags, clerks, receipt header and tail, barcode types, VAT rates
// and the tax-free choice).

#include <QDialog>
#include <QSpinBox>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QScrollArea;

// A spin field whose value changes only by its arrows, the arrow keys or the wheel.
class TSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    TSpinEdit(int minimum, int maximum, QWidget* parent = nullptr);
};

class TParaDlg : public QDialog {
    Q_OBJECT
public:
    explicit TParaDlg(QWidget* parent = nullptr);

    // Loads SYSTEM.CFG of the program directory, shows the dialog modally and, on OK, writes
    // every field back. True when the keys were written.
    bool ParaExecute();

    void LoadParameters(const std::string& path);
    // Texts are converted with the program's code page (DocumentCodePage). Writes all fields
    // with one read and one atomic write of the file; false (errno set) when it failed.
    bool SaveParameters(const std::string& path);
    // Disables the VAT field of the tax-free rate and enables the others.
    void UpdateVatFields();

    // "00" + the decimal separator + "00", made when the dialog is built.
    const QString& DefaultRateText() const { return defaultRateText_; }
    // A rate field's stored form: five characters, empty positions as 0.
    static QString RateText(const QLineEdit* field);

    // How a failed write of SYSTEM.CFG (errno) is told; an error box unless a test replaces it.
    std::function<void(int error)> ReportWriteFailure;

    void accept() override;

private:
    struct TextField {
        QLineEdit* edit;
        std::string key;
        int limit;
    };

    QLineEdit* MakeRateField(const char* name);
    QLineEdit* MakeTextField(const char* name, const std::string& key, int limit);

    QString defaultRateText_;
    QString rateMask_;

    QScrollArea* scroll_ = nullptr;
    QLineEdit* decRate_ = nullptr;
    QLineEdit* incRate_ = nullptr;
    TSpinEdit* printSpeed_ = nullptr;
    std::vector<QCheckBox*> flags_;
    std::vector<TextField> texts_; // clerks (name, password) 1 to 4, headers, tails
    std::array<TSpinEdit*, 10> barcodes_{};
    std::array<QLineEdit*, 9> vats_{};
    QComboBox* taxFree_ = nullptr;
};
