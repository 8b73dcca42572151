#include "ParaDlg.h"

#include "CodePage.h"
#include "Defs.h"
#include "ErrorBox.h"
#include "Ini.h"
#include "Placement.h"
#include "Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QValidator>

#include <cerrno>

namespace {

// The parameters are bytes of the register's code page: a character it cannot hold is refused
// like any other filtered key.
class CodePageValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return DocumentCodePage().FromUnicode(input) ? Acceptable : Invalid;
    }
};

// Only a text set from outside the field's validator can hold a character without a byte.
std::string ToBytes(const QString& text) {
    std::string bytes;
    bytes.reserve(size_t(text.size()));
    for (QChar c : text)
        bytes += DocumentCodePage().ByteFor(c).value_or('?');
    return bytes;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text,
                  QWidget* buddy = nullptr) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    if (buddy != nullptr)
        label->setBuddy(buddy);
    return label;
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const QString& title) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QLatin1String(name));
    return group;
}

QString Numbered(const char* stem, int n) {
    return QLatin1String(stem) + QString::number(n);
}

struct FlagInfo {
    const char* key;
    const char* caption;
};
constexpr std::array<FlagInfo, 11> Flags{{
    {"Flag00", QT_TRANSLATE_NOOP("TParaDlg", "Not print subtotal")},
    {"Flag01", QT_TRANSLATE_NOOP("TParaDlg", "Angel")},
    {"Flag02", QT_TRANSLATE_NOOP("TParaDlg", "Print while item value is zero in report")},
    {"Flag03", QT_TRANSLATE_NOOP("TParaDlg", "ForceTender")},
    {"Flag04",
     QT_TRANSLATE_NOOP("TParaDlg", "Don't erase counters of report KASOWY automatically")},
    {"Flag05",
     QT_TRANSLATE_NOOP("TParaDlg", "Don't erase counters of report KASJEROW automatically")},
    {"Flag06",
     QT_TRANSLATE_NOOP("TParaDlg", "Don't erase counters of report SPRZEDAZY automatically")},
    {"Flag07", QT_TRANSLATE_NOOP("TParaDlg", "Not warning when AC lost.")},
    {"Flag10", QT_TRANSLATE_NOOP("TParaDlg", "Z report must be done after data changing")},
    {"Flag11", QT_TRANSLATE_NOOP("TParaDlg", "Price without cents (depends from currency)")},
    {"Flag12", QT_TRANSLATE_NOOP("TParaDlg", "Item check and confirm, during sale")},
}};

constexpr const char* Section = "Default";
constexpr int TaxFreeDefault = 8;

} // namespace

TSpinEdit::TSpinEdit(int minimum, int maximum, QWidget* parent) : QSpinBox(parent) {
    setRange(minimum, maximum);
    lineEdit()->setReadOnly(true);
}

QLineEdit* TParaDlg::MakeRateField(const char* name) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    edit->setInputMask(rateMask_);
    edit->setText(defaultRateText_);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    return edit;
}

QLineEdit* TParaDlg::MakeTextField(const char* name, const std::string& key, int limit) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(limit);
    edit->setValidator(new CodePageValidator(edit));
    texts_.push_back({edit, key, limit});
    return edit;
}

TParaDlg::TParaDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ParaDlg"));
    setWindowTitle(tr("Parameter"));

    // Two digits, the locale's separator as a literal, two digits; an empty position shows and
    // counts as 0.
    const QChar separator = QLatin1Char(DecimalSeparator());
    defaultRateText_ = QStringLiteral("00") + separator + QStringLiteral("00");
    rateMask_ = QStringLiteral("99\\") + separator + QStringLiteral("99;0");

    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("ParaPanel"));
    auto* column = new QVBoxLayout(content);

    // Rates, print speed and option flags.
    {
        auto* group = MakeGroup(content, "GroupBox1", {});
        auto* grid = new QGridLayout(group);
        decRate_ = MakeRateField("DecRateME");
        incRate_ = MakeRateField("IncRateME");
        printSpeed_ = new TSpinEdit(1, 9, group);
        printSpeed_->setObjectName(QStringLiteral("PrnSpeedSE"));
        grid->addWidget(MakeLabel(group, QStringLiteral("DecRateLbl"), tr("-% rate:"), decRate_), 0,
                        0);
        grid->addWidget(decRate_, 0, 1);
        grid->addWidget(MakeLabel(group, QStringLiteral("IncRateLbl"), tr("+% rate:"), incRate_), 0,
                        2);
        grid->addWidget(incRate_, 0, 3);
        grid->addWidget(
            MakeLabel(group, QStringLiteral("PrnSpeedLbl"), tr("Print speed:"), printSpeed_), 0, 4);
        grid->addWidget(printSpeed_, 0, 5);
        grid->setColumnStretch(6, 1);
        int row = 1;
        for (const FlagInfo& flag : Flags) {
            auto* box = new QCheckBox(tr(flag.caption), group);
            box->setObjectName(QLatin1String(flag.key));
            flags_.push_back(box);
            grid->addWidget(box, row++, 0, 1, 7);
        }
        column->addWidget(group);
    }
    // Clerks: name and password of each.
    {
        auto* group = MakeGroup(content, "GroupBox2", {});
        auto* grid = new QGridLayout(group);
        for (int n = 1; n <= 4; ++n) {
            const std::string digit = std::to_string(n);
            QLineEdit* name =
                MakeTextField(qPrintable(Numbered("ClerkNameEd", n)), "ClerkName" + digit, 10);
            QLineEdit* password =
                MakeTextField(qPrintable(Numbered("ClerkPWDEd", n)), "ClerkPWD" + digit, 10);
            grid->addWidget(MakeLabel(group, Numbered("ClerkLbl", n), tr("Clerk%1").arg(n)), n - 1,
                            0);
            grid->addWidget(MakeLabel(group, Numbered("ClerkNameLbl", n), tr("Name:"), name), n - 1,
                            1);
            grid->addWidget(name, n - 1, 2);
            grid->addWidget(MakeLabel(group, Numbered("ClerkPWDLbl", n), tr("Password:"), password),
                            n - 1, 3);
            grid->addWidget(password, n - 1, 4);
        }
        column->addWidget(group);
    }
    // Receipt header and tail lines.
    auto addLines = [&](const char* groupName, const QString& title, const char* editStem,
                        const char* labelStem, const char* keyStem, int count) {
        auto* group = MakeGroup(content, groupName, title);
        auto* grid = new QGridLayout(group);
        for (int n = 1; n <= count; ++n) {
            QLineEdit* edit =
                MakeTextField(qPrintable(Numbered(editStem, n)), keyStem + std::to_string(n), 32);
            grid->addWidget(MakeLabel(group, Numbered(labelStem, n),
                                      QString::number(n) + QLatin1Char(':'), edit),
                            n - 1, 0);
            grid->addWidget(edit, n - 1, 1);
        }
        column->addWidget(group);
    };
    addLines("HeaderGB", tr("&Header message"), "HeaderEd", "HeaderLbl", "Header", 5);
    addLines("TailGB", tr("&Tail message"), "TailEd", "TailLbl", "Tail", 2);
    // Barcode types 20 to 29.
    {
        auto* group = MakeGroup(content, "BCodeGB", tr("&Barcode type"));
        auto* grid = new QGridLayout(group);
        for (int n = 1; n <= 10; ++n) {
            auto* spin = new TSpinEdit(0, 36, group);
            spin->setObjectName(Numbered("BCodeSE", n));
            barcodes_[size_t(n - 1)] = spin;
            const int row = (n - 1) % 5;
            const int col = (n - 1) / 5 * 2;
            grid->addWidget(MakeLabel(group, Numbered("BCodeLbl", n),
                                      QString::number(19 + n) + QLatin1Char(':'), spin),
                            row, col);
            grid->addWidget(spin, row, col + 1);
        }
        grid->setColumnStretch(4, 1);
        column->addWidget(group);
    }
    // VAT rates A to I and the tax-free choice.
    {
        auto* group = MakeGroup(content, "VATGB", tr("&VAT Rate"));
        auto* grid = new QGridLayout(group);
        for (int n = 1; n <= 9; ++n) {
            QLineEdit* rate = MakeRateField(qPrintable(Numbered("VATME", n)));
            vats_[size_t(n - 1)] = rate;
            const int row = (n - 1) % 5;
            const int col = (n - 1) / 5 * 3;
            grid->addWidget(MakeLabel(group, Numbered("VATLbl", n),
                                      QChar(QLatin1Char(char('A' + n - 1))) + QLatin1Char(':'),
                                      rate),
                            row, col);
            grid->addWidget(rate, row, col + 1);
            grid->addWidget(MakeLabel(group, Numbered("VATPctLbl", n), QStringLiteral("%")), row,
                            col + 2);
        }
        taxFree_ = new QComboBox(group);
        taxFree_->setObjectName(QStringLiteral("TaxFreeCB"));
        taxFree_->setEditable(false);
        for (char c = 'A'; c <= 'I'; ++c)
            taxFree_->addItem(tr("VAT %1").arg(QLatin1Char(c)));
        taxFree_->setCurrentIndex(TaxFreeDefault);
        grid->addWidget(MakeLabel(group, QStringLiteral("TaxFreeLbl"), tr("Tax-free:"), taxFree_),
                        4, 3);
        grid->addWidget(taxFree_, 4, 4, 1, 2);
        grid->setColumnStretch(6, 1);
        connect(taxFree_, &QComboBox::currentIndexChanged, this, &TParaDlg::UpdateVatFields);
        column->addWidget(group);
    }

    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("ScrollBox1"));
    scroll_->setWidget(content);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* okButton = new QPushButton(tr("OK"), this);
    okButton->setObjectName(QStringLiteral("OKBtn"));
    okButton->setDefault(true);
    auto* cancelButton = new QPushButton(tr("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("CancelBtn"));
    connect(okButton, &QPushButton::clicked, this, &TParaDlg::accept);
    connect(cancelButton, &QPushButton::clicked, this, &TParaDlg::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(scroll_, 1);
    outer->addLayout(buttons);

    ReportWriteFailure = [this](int error) { ShowSystemCfgWriteError(this, error); };

    // As wide as the content, tall enough for the first groups; the rest scrolls.
    const int width = content->sizeHint().width() +
                      scroll_->verticalScrollBar()->sizeHint().width() + 2 * scroll_->frameWidth() +
                      outer->contentsMargins().left() + outer->contentsMargins().right();
    setFixedSize(width, 520);
    UpdateVatFields();
}

QString TParaDlg::RateText(const QLineEdit* field) {
    QString text = field->displayText();
    text.replace(QLatin1Char(' '), QLatin1Char('0'));
    return text;
}

void TParaDlg::LoadParameters(const std::string& path) {
    const IniFile ini(path);
    const std::string defaultRate = defaultRateText_.toStdString();
    auto loadRate = [&](QLineEdit* field, const char* key) {
        field->setText(QString::fromStdString(ini.ReadString(Section, key, defaultRate)));
    };
    loadRate(decRate_, "-% rate");
    loadRate(incRate_, "+% rate");
    // setValue clamps a stored value outside the range.
    printSpeed_->setValue(ini.ReadInteger(Section, "Print Speed", 1));
    for (QCheckBox* box : flags_)
        box->setChecked(ini.ReadBool(Section, box->objectName().toStdString(), false));
    for (const TextField& field : texts_) {
        const QString text = DocumentCodePage().ToUnicode(ini.ReadString(Section, field.key, ""));
        // A longer stored text is shown whole, not cut, so OK cannot shorten it unseen.
        field.edit->setMaxLength(std::max<int>(field.limit, int(text.size())));
        field.edit->setText(text);
    }
    for (size_t i = 0; i < barcodes_.size(); ++i)
        barcodes_[i]->setValue(ini.ReadInteger(Section, "BCode" + std::to_string(i + 1), 0));
    for (size_t i = 0; i < vats_.size(); ++i)
        loadRate(vats_[i], ("VAT" + std::to_string(i + 1)).c_str());
    const int taxFree = ini.ReadInteger(Section, "Tax-free", TaxFreeDefault);
    taxFree_->setCurrentIndex(taxFree >= 0 && taxFree < taxFree_->count() ? taxFree : -1);
    UpdateVatFields();
}

bool TParaDlg::SaveParameters(const std::string& path) {
    IniFile ini(path);
    ini.WriteString(Section, "-% rate", RateText(decRate_).toStdString());
    ini.WriteString(Section, "+% rate", RateText(incRate_).toStdString());
    ini.WriteInteger(Section, "Print Speed", printSpeed_->value());
    for (QCheckBox* box : flags_)
        ini.WriteBool(Section, box->objectName().toStdString(), box->isChecked());
    for (const TextField& field : texts_)
        ini.WriteString(Section, field.key, ToBytes(field.edit->text()));
    for (size_t i = 0; i < barcodes_.size(); ++i)
        ini.WriteInteger(Section, "BCode" + std::to_string(i + 1), barcodes_[i]->value());
    for (size_t i = 0; i < vats_.size(); ++i)
        ini.WriteString(Section, "VAT" + std::to_string(i + 1), RateText(vats_[i]).toStdString());
    ini.WriteInteger(Section, "Tax-free", taxFree_->currentIndex());
    return ini.Save();
}

void TParaDlg::UpdateVatFields() {
    const int k = taxFree_->currentIndex() + 1;
    for (int n = 1; n <= int(vats_.size()); ++n)
        vats_[size_t(n - 1)]->setEnabled(n != k);
}

bool TParaDlg::ParaExecute() {
    LoadParameters(SystemCfgPath());
    scroll_->verticalScrollBar()->setValue(0);
    decRate_->setFocus();
    CentreOnScreen(this);
    return exec() == QDialog::Accepted;
}

void TParaDlg::accept() {
    if (!SaveParameters(SystemCfgPath())) {
        // The dialog stays open with the user's edits; Cancel leaves it.
        if (ReportWriteFailure)
            ReportWriteFailure(errno);
        return;
    }
    QDialog::accept();
}
