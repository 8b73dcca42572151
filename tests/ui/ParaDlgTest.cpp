#include "ParaDlg.h"
#include "Defs.h"
#include "DocumentFile.h"
#include "Ini.h"
#include "Settings.h"
#include "TempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace std::string_literals;

// Types any characters, also those QTest's ASCII key table has no key for.
void TypeText(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

// Each test builds the dialog under the separator it needs, as the program builds it at start.
class ParaDlgTest : public ::testing::Test {
protected:
    void TearDown() override { SetDecimalSeparator('.'); }

    template <typename T> static T* Field(TParaDlg& dlg, const QString& name) {
        T* field = dlg.findChild<T*>(name);
        EXPECT_NE(field, nullptr) << name.toStdString();
        return field;
    }
    static bool Run(TParaDlg& dlg, const std::function<void()>& user) {
        QTimer::singleShot(0, &dlg, user);
        return dlg.ParaExecute();
    }
    static void Click(TParaDlg& dlg, const char* name) {
        dlg.findChild<QPushButton*>(QLatin1String(name))->click();
    }
    TempProgramDir dir_;
};

// Every key the dialog writes, in its order, as OK writes them into a new file.
const std::string DefaultFile = "[Default]\r\n"
                                "-% rate=00.00\r\n+% rate=00.00\r\nPrint Speed=1\r\n"
                                "Flag00=0\r\nFlag01=0\r\nFlag02=0\r\nFlag03=0\r\nFlag04=0\r\n"
                                "Flag05=0\r\nFlag06=0\r\nFlag07=0\r\nFlag10=0\r\nFlag11=0\r\n"
                                "Flag12=0\r\n"
                                "ClerkName1=\r\nClerkPWD1=\r\nClerkName2=\r\nClerkPWD2=\r\n"
                                "ClerkName3=\r\nClerkPWD3=\r\nClerkName4=\r\nClerkPWD4=\r\n"
                                "Header1=\r\nHeader2=\r\nHeader3=\r\nHeader4=\r\nHeader5=\r\n"
                                "Tail1=\r\nTail2=\r\n"
                                "BCode1=0\r\nBCode2=0\r\nBCode3=0\r\nBCode4=0\r\nBCode5=0\r\n"
                                "BCode6=0\r\nBCode7=0\r\nBCode8=0\r\nBCode9=0\r\nBCode10=0\r\n"
                                "VAT1=00.00\r\nVAT2=00.00\r\nVAT3=00.00\r\nVAT4=00.00\r\n"
                                "VAT5=00.00\r\nVAT6=00.00\r\nVAT7=00.00\r\nVAT8=00.00\r\n"
                                "VAT9=00.00\r\nTax-free=8\r\n";

TEST_F(ParaDlgTest, WithoutAFileShowsDefaultsAndOkWritesEveryKeyInOrder) {
    TParaDlg dlg;
    EXPECT_EQ(dlg.objectName(), "ParaDlg");
    EXPECT_EQ(dlg.windowTitle(), "Parameter");
    EXPECT_TRUE(Run(dlg, [&] {
        EXPECT_EQ(Field<QLineEdit>(dlg, "DecRateME")->displayText(), "00.00");
        EXPECT_EQ(Field<QSpinBox>(dlg, "PrnSpeedSE")->value(), 1);
        EXPECT_FALSE(Field<QCheckBox>(dlg, "Flag12")->isChecked());
        EXPECT_EQ(Field<QLineEdit>(dlg, "HeaderEd5")->text(), "");
        EXPECT_EQ(Field<QSpinBox>(dlg, "BCodeSE10")->value(), 0);
        EXPECT_EQ(Field<QComboBox>(dlg, "TaxFreeCB")->currentText(), "VAT I");
        EXPECT_FALSE(Field<QLineEdit>(dlg, "VATME9")->isEnabled());
        EXPECT_TRUE(Field<QLineEdit>(dlg, "VATME1")->isEnabled());
        Click(dlg, "OKBtn");
    }));
    EXPECT_EQ(ReadFileBytes(SystemCfgPath()), DefaultFile);
}

TEST_F(ParaDlgTest, CancelWritesNothingAndTheNextOpeningReloads) {
    const std::string file = "[Default]\nHeader1=Shop\nUnknown=keep\n";
    WriteFileBytes(SystemCfgPath(), file);
    TParaDlg dlg;
    EXPECT_FALSE(Run(dlg, [&] {
        Field<QLineEdit>(dlg, "HeaderEd1")->setText("Changed");
        Field<QCheckBox>(dlg, "Flag03")->setChecked(true);
        Click(dlg, "CancelBtn");
    }));
    EXPECT_EQ(ReadFileBytes(SystemCfgPath()), file);
    EXPECT_FALSE(Run(dlg, [&] {
        EXPECT_EQ(Field<QLineEdit>(dlg, "HeaderEd1")->text(), "Shop");
        EXPECT_FALSE(Field<QCheckBox>(dlg, "Flag03")->isChecked());
        dlg.reject();
    }));
}

TEST_F(ParaDlgTest, StoredValuesLoadIntoTheirFieldsClampedAndSaveBack) {
    WriteFileBytes(SystemCfgPath(),
                   "[Comm]\r\nPort=3\r\n[Default]\r\nPrint Speed=12\r\nBCode1=-4\r\nBCode2=99\r\n"
                   "BCode10=21\r\nClerkPWD3=4321\r\nClerkName3=Ann\r\nFlag11=1\r\nFlag13=1\r\n"
                   "Tax-free=2\r\nVAT3=22.00\r\n-% rate=08.50\r\nMine=x\r\n");
    TParaDlg dlg;
    dlg.LoadParameters(SystemCfgPath());
    EXPECT_EQ(Field<QSpinBox>(dlg, "PrnSpeedSE")->value(), 9);
    EXPECT_EQ(Field<QSpinBox>(dlg, "BCodeSE1")->value(), 0);
    EXPECT_EQ(Field<QSpinBox>(dlg, "BCodeSE2")->value(), 36);
    EXPECT_EQ(Field<QSpinBox>(dlg, "BCodeSE10")->value(), 21);
    EXPECT_EQ(Field<QLineEdit>(dlg, "ClerkPWDEd3")->text(), "4321");
    EXPECT_EQ(Field<QLineEdit>(dlg, "ClerkNameEd3")->text(), "Ann");
    EXPECT_EQ(Field<QLineEdit>(dlg, "ClerkPWDEd1")->text(), "");
    EXPECT_TRUE(Field<QCheckBox>(dlg, "Flag11")->isChecked());
    EXPECT_EQ(Field<QLineEdit>(dlg, "DecRateME")->displayText(), "08.50");
    // VAT C is tax-free: its field is greyed with its text kept, and I is open again.
    EXPECT_FALSE(Field<QLineEdit>(dlg, "VATME3")->isEnabled());
    EXPECT_EQ(Field<QLineEdit>(dlg, "VATME3")->displayText(), "22.00");
    EXPECT_TRUE(Field<QLineEdit>(dlg, "VATME9")->isEnabled());

    ASSERT_TRUE(dlg.SaveParameters(SystemCfgPath()));
    const IniFile saved(SystemCfgPath());
    EXPECT_EQ(saved.ReadInteger("Default", "Print Speed", 0), 9);
    EXPECT_EQ(saved.ReadInteger("Default", "BCode2", 0), 36);
    EXPECT_EQ(saved.ReadString("Default", "ClerkPWD3", ""), "4321");
    EXPECT_EQ(saved.ReadString("Default", "Flag13", ""), "1") << "a flag without a box is kept";
    EXPECT_EQ(saved.ReadString("Default", "Mine", ""), "x");
    EXPECT_EQ(saved.ReadInteger("Comm", "Port", 0), 3);
    EXPECT_EQ(saved.ReadInteger("Default", "Tax-free", 0), 2);
}

TEST_F(ParaDlgTest, TaxFreeChoiceSwitchesTheVatFields) {
    TParaDlg dlg;
    dlg.LoadParameters(SystemCfgPath());
    auto* taxFree = Field<QComboBox>(dlg, "TaxFreeCB");
    EXPECT_FALSE(taxFree->isEditable());
    struct Case {
        int index;
        int disabled; // 1-based VAT field, 0 for none
    };
    for (const Case c : {Case{2, 3}, Case{0, 1}, Case{8, 9}, Case{-1, 0}}) {
        taxFree->setCurrentIndex(c.index);
        for (int n = 1; n <= 9; ++n)
            EXPECT_EQ(Field<QLineEdit>(dlg, "VATME" + QString::number(n))->isEnabled(),
                      n != c.disabled)
                << "choice " << c.index << " field " << n;
    }
    // Nothing chosen is stored as -1, and a stored value out of range opens without a choice.
    ASSERT_TRUE(dlg.SaveParameters(SystemCfgPath()));
    EXPECT_EQ(IniFile(SystemCfgPath()).ReadInteger("Default", "Tax-free", 0), -1);
    IniWriteInteger(SystemCfgPath(), "Default", "Tax-free", 9);
    dlg.LoadParameters(SystemCfgPath());
    EXPECT_EQ(taxFree->currentIndex(), -1);
    EXPECT_TRUE(Field<QLineEdit>(dlg, "VATME9")->isEnabled());
}

TEST_F(ParaDlgTest, RateFieldsFollowTheLocaleSeparator) {
    struct Case {
        char separator;
        const char* typed;
        const char* shown;
    };
    for (const Case c : {Case{',', "0850", "08,50"}, Case{'.', "0850", "08.50"},
                         Case{',', "22", "22,00"}, Case{',', "", "00,00"}}) {
        SetDecimalSeparator(c.separator);
        TParaDlg dlg;
        EXPECT_EQ(dlg.DefaultRateText(), QString("00") + QChar(c.separator) + "00");
        dlg.show();
        auto* rate = Field<QLineEdit>(dlg, "VATME1");
        rate->setFocus();
        rate->selectAll();
        QTest::keyClick(rate, Qt::Key_Delete);
        rate->home(false);
        QTest::keyClicks(rate, c.typed);
        EXPECT_EQ(TParaDlg::RateText(rate), c.shown) << c.typed;
        ASSERT_TRUE(dlg.SaveParameters(SystemCfgPath()));
        EXPECT_EQ(IniFile(SystemCfgPath()).ReadString("Default", "VAT1", ""), c.shown);
        EXPECT_EQ(IniFile(SystemCfgPath()).ReadString("Default", "VAT2", ""),
                  dlg.DefaultRateText().toStdString());
    }
    // A stored comma rate opens as it was in a comma locale.
    SetDecimalSeparator(',');
    TParaDlg dlg;
    IniWriteString(SystemCfgPath(), "Default", "+% rate", "12,75");
    dlg.LoadParameters(SystemCfgPath());
    EXPECT_EQ(TParaDlg::RateText(Field<QLineEdit>(dlg, "IncRateME")), "12,75");
}

TEST_F(ParaDlgTest, SpinFieldsChangeOnlyByTheirArrows) {
    TParaDlg dlg;
    dlg.LoadParameters(SystemCfgPath());
    dlg.show();
    auto* speed = Field<QSpinBox>(dlg, "PrnSpeedSE");
    speed->setFocus();
    QTest::keyClicks(speed, "7");
    EXPECT_EQ(speed->value(), 1);
    QTest::keyClick(speed, Qt::Key_Up);
    QTest::keyClick(speed, Qt::Key_Up);
    EXPECT_EQ(speed->value(), 3);
    for (int i = 0; i < 12; ++i)
        QTest::keyClick(speed, Qt::Key_Up);
    EXPECT_EQ(speed->value(), 9);
    auto* barcode = Field<QSpinBox>(dlg, "BCodeSE4");
    barcode->setFocus();
    QTest::keyClick(barcode, Qt::Key_Down);
    EXPECT_EQ(barcode->value(), 0);
    QTest::keyClicks(barcode, "25");
    EXPECT_EQ(barcode->value(), 0);
}

TEST_F(ParaDlgTest, TextFieldsKeepTheirLimitsAndCodePageBytes) {
    // "Łódź" in CP1250, a byte CP1250 leaves undefined, and a 40-byte header.
    const std::string lodz = "\xA3\xF3\x64\x9F";
    const std::string undefined = "A\x81Z";
    const std::string longHeader(40, 'h');
    WriteFileBytes(SystemCfgPath(), "[Default]\r\nHeader1=" + lodz + "\r\nHeader2=" + undefined +
                                        "\r\nHeader3=" + longHeader + "\r\n");
    TParaDlg dlg;
    dlg.LoadParameters(SystemCfgPath());
    dlg.show();
    EXPECT_EQ(Field<QLineEdit>(dlg, "HeaderEd1")->text(), QString::fromUtf8("Łódź"));
    EXPECT_EQ(Field<QLineEdit>(dlg, "HeaderEd3")->text().size(), 40);

    struct Typed {
        const char* field;
        QString keys;
        QString result;
    };
    const Typed typed[] = {
        {"ClerkNameEd1", "abcdefghijkl", "abcdefghij"},
        {"ClerkPWDEd2", "123456789012", "1234567890"},
        {"TailEd1", QString(40, 'x'), QString(32, 'x')},
        {"HeaderEd4", QString::fromUtf8("Zażółć 中€"), QString::fromUtf8("Zażółć €")},
    };
    for (const Typed& t : typed) {
        auto* edit = Field<QLineEdit>(dlg, t.field);
        edit->setFocus();
        TypeText(edit, t.keys);
        EXPECT_EQ(edit->text(), t.result) << t.field;
    }
    ASSERT_TRUE(dlg.SaveParameters(SystemCfgPath()));
    const IniFile saved(SystemCfgPath());
    EXPECT_EQ(saved.ReadString("Default", "Header1", ""), lodz);
    EXPECT_EQ(saved.ReadString("Default", "Header2", ""), undefined) << "untouched bytes stay";
    EXPECT_EQ(saved.ReadString("Default", "Header3", ""), longHeader);
    EXPECT_EQ(saved.ReadString("Default", "Header4", ""), "Za\xBF\xF3\xB3\xE6 \x80");
    EXPECT_EQ(saved.ReadString("Default", "ClerkName1", ""), "abcdefghij");
}

TEST_F(ParaDlgTest, LineBreaksInATextCannotAddKeys) {
    WriteFileBytes(SystemCfgPath(), "[Default]\r\nVAT1=05.00\r\n");
    TParaDlg dlg;
    EXPECT_TRUE(Run(dlg, [&] {
        Field<QLineEdit>(dlg, "HeaderEd1")->setText("Shop\r\n[Comm]\r\nPort=4");
        Field<QLineEdit>(dlg, "TailEd2")->setText("Bye\nVAT1=99.99\rTax-free=0");
        Click(dlg, "OKBtn");
    }));
    const IniFile saved(SystemCfgPath());
    EXPECT_EQ(saved.ReadString("Default", "VAT1", ""), "05.00");
    EXPECT_EQ(saved.ReadInteger("Default", "Tax-free", -5), 8);
    EXPECT_EQ(saved.ReadInteger("Comm", "Port", -5), -5);
    const std::string header = saved.ReadString("Default", "Header1", "");
    const std::string tail = saved.ReadString("Default", "Tail2", "");
    EXPECT_EQ(header.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(tail.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(tail.substr(0, 3), "Bye");
}

TEST_F(ParaDlgTest, AFailedWriteKeepsTheDialogOpenWithTheEdits) {
    std::filesystem::create_directory(SystemCfgPath());
    TParaDlg dlg;
    std::vector<int> told;
    dlg.ReportWriteFailure = [&](int error) { told.push_back(error); };
    EXPECT_FALSE(Run(dlg, [&] {
        Field<QLineEdit>(dlg, "HeaderEd1")->setText("Shop");
        Click(dlg, "OKBtn");
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(Field<QLineEdit>(dlg, "HeaderEd1")->text(), "Shop");
        Click(dlg, "CancelBtn");
    }));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(FileErrorText(told[0]), "File access denied");
}

} // namespace
