// The service commands through their windows: port detection over four ports, and the main
// window's commands, hidden keys, report pane and printing.
#include "DataDlg.h"
#include "DetectPortDlg.h"
#include "Document.h"
#include "FakeSerialTree.h"
#include "Ini.h"
#include "MainForm.h"
#include "ModalAnswer.h"
#include "PdfText.h"
#include "PrinterJob.h"
#include "ProgressForm.h"
#include "RegisterState.h"
#include "ServiceSim.h"
#include "Settings.h"
#include "SimProcess.h"
#include "TempDir.h"
#include "TolvIBus.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A pseudo-terminal nobody answers on: the port opens, the register stays silent.
class SilentPort {
public:
    SilentPort() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0)
            path_ = ptsname(master_);
    }
    ~SilentPort() {
        if (master_ >= 0)
            close(master_);
    }
    const std::string& Path() const { return path_; }

private:
    int master_ = -1;
    std::string path_;
};

struct Detection : ::testing::Test {
    TempProgramDir dir;
    TSimProcess sim;
    SilentPort com1, com2, com4;
    std::unique_ptr<TDetectPortDlg> dialog;
    std::vector<std::string> boxes;
    int questions = 0;

    void SetUp() override {
        ASSERT_FALSE(com1.Path().empty());
        IniFile cfg(SystemCfgPath());
        cfg.WriteInteger("Comm", "Port", 2);
        cfg.WriteString("Ports", "COM1", com1.Path());
        cfg.WriteString("Ports", "COM2", com2.Path());
        cfg.WriteString("Ports", "COM4", com4.Path());
        ASSERT_TRUE(cfg.Save());
        ASSERT_TRUE(sim.Start(QPLU_SIM_PATH, dir.Path("ttySIM"), SystemCfgPath(), {}, "COM3"));
        PortNumber = 2;
        dialog = std::make_unique<TDetectPortDlg>();
        dialog->TolvIBusComm1->TimeScale = 0.05; // 21 silent attempts of 40 ms
        dialog->TolvIBusComm1->ShowErrorBox = [this](const std::string& t, const ECommsError&) {
            boxes.push_back(t);
        };
        dialog->show();
    }
    std::vector<QString> Outcomes() {
        std::vector<QString> texts;
        for (QLineEdit* edit : dialog->Edits)
            texts.push_back(edit->text());
        return texts;
    }
};

TEST_F(Detection, FindsTheRegisterOnCom3AndStoresItOnlyOnYes) {
    EXPECT_EQ(dialog->objectName(), "DetectPortDlg");
    EXPECT_EQ(dialog->windowTitle(), "Detect port");
    EXPECT_EQ(dialog->TolvIBusComm1->BaudRate(), tbr9600);
    EXPECT_EQ(dialog->TolvIBusComm1->RetryInterval, 800);
    EXPECT_EQ(dialog->TolvIBusComm1->RetryCount(), 6);
    for (bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        questions = 0;
        dialog->askApply = [&] {
            ++questions;
            EXPECT_EQ(Outcomes(), (std::vector<QString>{"No tolv found.", "No tolv found.",
                                                        "Tolv found!", ""}));
            return yes;
        };
        dialog->DetectBtnClick();
        EXPECT_EQ(questions, 1);
        EXPECT_EQ(Outcomes(),
                  (std::vector<QString>{"No tolv found.", "No tolv found.", "Tolv found!", ""}));
        EXPECT_TRUE(dialog->DetectBtn->isEnabled());
        EXPECT_EQ(IniReadInteger(SystemCfgPath(), "Comm", "Port", -1), yes ? 3 : 2);
        EXPECT_EQ(PortNumber, yes ? 3 : 2);
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Detection, ClosingDuringCom2StopsTheSearch) {
    dialog->askApply = [&] {
        ++questions;
        return true;
    };
    QTimer watch;
    watch.setInterval(2);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (dialog->Edits[1]->text() == TestingText) {
            watch.stop();
            dialog->CloseBtn->click();
        }
    });
    watch.start();
    dialog->DetectBtnClick();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Outcomes(), (std::vector<QString>{"No tolv found.", "Testing...", "", ""}));
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(IniReadInteger(SystemCfgPath(), "Comm", "Port", -1), 2);
}

TEST_F(Detection, UnopenablePortsCountAsNotFound) {
    IniWriteString(SystemCfgPath(), "Ports", "COM1", dir.Path("no-such-tty"));
    IniWriteString(SystemCfgPath(), "Ports", "COM2", dir.Path("no-such-tty"));
    dialog->askApply = [] { return false; };
    dialog->DetectBtnClick();
    EXPECT_EQ(Outcomes(),
              (std::vector<QString>{"No tolv found.", "No tolv found.", "Tolv found!", ""}));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1], "Error opening COM2!\r\nplease select other ports.");
}

TEST_F(Detection, OpeningAgainClearsTheOutcomes) {
    dialog->hide();
    dialog->Edits[0]->setText("No tolv found.");
    dialog->DetectBtn->setEnabled(false);
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(Outcomes(), (std::vector<QString>{"", "", "", ""}));
        EXPECT_TRUE(dialog->DetectBtn->isEnabled());
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
    });
    dialog->Execute();
    EXPECT_FALSE(dialog->isVisible());
}

// No register on COM1 to COM4, but on an adapter no COM name opens: the other devices are tried
// (one that is no serial device says so), and the one that answered becomes COM2, the configured
// port, in one write that keeps the other ports.
TEST_F(Detection, FindsTheRegisterOnAnUnmappedDeviceAndMapsIt) {
    IniWriteString(SystemCfgPath(), "Ports", "COM3", com4.Path());
    FakeSerialTree tree(dir.Path("machine"));
    tree.AddUsb({"ttyUSB0", "10c4", "ea60", "Silicon Labs", "CP2102 USB to UART Bridge", "0001",
                 "cp210x", "usb-Silicon_Labs_CP2102_0001-if00-port0", ""});
    const std::string ftdi = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0";
    tree.AddUsb({"ttyUSB1", "0403", "6001", "FTDI", "FT232R USB UART", "A1", "ftdi_sio",
                 "usb-FTDI_FT232R_USB_UART_A1-if00-port0", ""});
    std::filesystem::remove(tree.Path("/dev/ttyUSB1"));
    std::filesystem::create_symlink(dir.Path("ttySIM"), tree.Path("/dev/ttyUSB1"));
    dialog->discoveryRoot = tree.Root();
    int probes = 0;
    QString question;
    dialog->askApply = [&] {
        ++questions;
        return true;
    };
    dialog->askProbe = [&](const QStringList& devices) {
        EXPECT_EQ(Outcomes(), (std::vector<QString>(4, "No tolv found.")));
        probes = int(devices.size());
        return true;
    };
    dialog->askUseDevice = [&](const QString& text) {
        question = text;
        return true;
    };
    const std::string before = ReadFileBytes(SystemCfgPath());
    dialog->DetectBtnClick();
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(probes, 2);
    ASSERT_EQ(dialog->DeviceList->count(), 2);
    EXPECT_TRUE(dialog->DeviceList->isVisible());
    EXPECT_EQ(dialog->DeviceList->item(0)->text(),
              "Silicon Labs CP2102 USB to UART Bridge, serial 0001 (ttyUSB0): /dev/serial/by-id/"
              "usb-Silicon_Labs_CP2102_0001-if00-port0 is not a serial device (a regular file).");
    EXPECT_EQ(dialog->DeviceList->item(1)->text(),
              "FTDI FT232R USB UART, serial A1 (ttyUSB1): Tolv found!");
    EXPECT_EQ(question, "Register found on FTDI FT232R USB UART, serial A1 (ttyUSB1). Use it as "
                        "COM2?");
    EXPECT_TRUE(boxes.empty()) << "the devices tried are no ports the user chose: no error box";
    EXPECT_TRUE(dialog->DetectBtn->isEnabled());
    IniFile expected = IniFile::FromText(before);
    expected.WriteString("Ports", "COM2", ftdi);
    EXPECT_EQ(ReadFileBytes(SystemCfgPath()), expected.Text());
    EXPECT_EQ(PortNumber, 2);

    // Detection opened again starts without the devices' list.
    dialog->hide();
    QTimer::singleShot(0, [&] {
        EXPECT_FALSE(dialog->DeviceList->isVisible());
        dialog->CloseBtn->click();
    });
    dialog->Execute();
}

// ---- The main window's commands ----------------------------------------------------------------

struct MainService : ::testing::Test {
    TempProgramDir dir;
    TSimProcess sim;
    std::unique_ptr<TMainForm> form;
    std::vector<std::string> opened;

    void SetUp() override {
        IniWriteInteger(SystemCfgPath(), "Comm", "BaudRate", 4);
        form = std::make_unique<TMainForm>();
        form->TolvIBusComm1->TimeScale = 0.05;
        form->openListing = [this](const std::string& path) { opened.push_back(path); };
        form->resize(900, 600);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void TearDown() override {
        form->SetModified(false);
        form.reset();
    }
    void Start(const TRegisterState& state) {
        ASSERT_TRUE(state.Save(dir.Path("state.txt")));
        ASSERT_TRUE(sim.Start(QPLU_SIM_PATH, dir.Path("ttySIM"), SystemCfgPath(),
                              {"--state", QString::fromStdString(dir.Path("state.txt"))}));
    }
    void HiddenKey(Qt::Key key) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : form.get();
        QTest::keyClick(target, key, Qt::ControlModifier | Qt::AltModifier);
    }
};

TEST_F(MainService, CommandsAreEnabledAndNamed) {
    // A hidden action also reads as disabled, so the font item is left out here.
    for (QAction* item :
         {form->TestItem, form->DetectportItem, form->UploadRPItem, form->PrintItem})
        EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
    EXPECT_FALSE(form->DownloadFontItem->isVisible());
    auto* testBtn = form->findChild<QWidget*>("TestBtn");
    ASSERT_NE(testBtn, nullptr);
    EXPECT_TRUE(testBtn->isEnabled());
    EXPECT_EQ(form->UploadRPItem->shortcut(), QKeySequence(Qt::Key_F7));
    EXPECT_EQ(form->TolvIBusComm1->RetryInterval, 2000);
    EXPECT_EQ(form->TolvIBusComm1->RetryCount(), 10);
    EXPECT_EQ(form->DetectPortDlg->objectName(), "DetectPortDlg");
    EXPECT_EQ(form->DataDlg->objectName(), "DataDlg");
}

// A port that will not open keeps its box text; beside it the box says why.
TEST_F(MainService, TheOpenErrorBoxSaysWhyThePortFailed) {
    const std::string missing = dir.Path("ttyUSB9");
    IniWriteString(SystemCfgPath(), "Ports", "COM2", missing);
    ModalAnswer answer(QMessageBox::Ok);
    form->TestItem->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return answer.Count() == 1; }));
    EXPECT_EQ(answer.Text(), "Error opening COM2!\r\nplease select other ports.");
    EXPECT_TRUE(answer.InformativeText().startsWith(
        QString::fromStdString(missing + " is not present (unplugged?)\n")))
        << answer.InformativeText().toStdString();
    EXPECT_FALSE(form->ProgressForm->isVisible());
    EXPECT_EQ(form->Message(), "") << "no word of a test that did not run";
}

// An FTDI adapter that keeps its 16 ms timer: one notice for the first exchange, which goes on
// meanwhile; none for the next.
TEST_F(MainService, ASlowAdapterIsToldOnceAndTheExchangeGoesOn) {
    FakeSerialTree tree(dir.Path("machine"));
    tree.AddUsb({"ttyUSB0", "0403", "6001", "FTDI", "FT232R USB UART", "A1", "ftdi_sio",
                 "usb-FTDI_FT232R_USB_UART_A1-if00-port0", "", 16});
    // The simulator's link, as the fake machine sees it, is that adapter.
    tree.Link(dir.Path("ttySIM"), "/dev/ttyUSB0");
    form->LatencyCheck = TLatencyCheck(tree.Root());
    Start(TRegisterState::Default());
    auto notices = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += w->objectName() == "LatencyNotice" && w->isVisible();
        return n;
    };
    for (int run = 0; run < 2; ++run) {
        QFile::remove(QString::fromStdString(dir.Path("DEBUG.LOG")));
        form->TestItem->trigger();
        // A loaded machine may answer late and have a packet sent again; the order is what counts.
        std::vector<std::string> keys = Keys(SentPackets(ReadFileBytes(dir.Path("DEBUG.LOG"))));
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
        EXPECT_EQ(keys, (std::vector<std::string>{"14.1", "14.16", "14.2"})) << run;
        EXPECT_EQ(notices(), 1) << run;
    }
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "LatencyNotice") {
            EXPECT_NE(qobject_cast<QMessageBox*>(w)->text().indexOf("up to 16 ms"), -1);
            w->close();
        }
}

TEST_F(MainService, ReportBytesAreShownAsTextNotMarkup) {
    TRegisterState state = TRegisterState::Default();
    state.report = "<b>TOTAL</b> &amp; <img src=x>\r\nLINE\x01 2\r\n\xa3\xf3\x64\xbc\r\n";
    Start(state);
    form->RptEd()->setPlainText("previous");
    form->UploadRPItem->trigger();
    EXPECT_EQ(form->RptEd()->toPlainText(),
              QString::fromUtf8("<b>TOTAL</b> &amp; <img src=x>\nLINE\x01 2\n\xc5\x81\xc3\xb3"
                                "d\xc4\xbd\n"));
    EXPECT_TRUE(form->isEnabled());
    EXPECT_FALSE(form->ProgressForm->isVisible());
}

TEST_F(MainService, TestButtonRunsTheLinkTest) {
    Start(TRegisterState::Default());
    auto* testBtn = form->findChild<QToolButton*>("TestBtn");
    ASSERT_NE(testBtn, nullptr);
    testBtn->click();
    std::vector<SentPacket> sent = SentPackets(ReadFileBytes(dir.Path("DEBUG.LOG")));
    EXPECT_EQ(Keys(sent), (std::vector<std::string>{"14.1", "14.16", "14.2"}));
    EXPECT_TRUE(form->isEnabled());
    EXPECT_TRUE(form->Message().startsWith("Test done: the register answered in "))
        << form->Message().toStdString();
}

TEST_F(MainService, CtrlAltF8RefusesAnImageOfTheWrongSize) {
    WriteFileBytes(dir.Path("bad.hex"), std::string(1000, 'x'));
    int asked = 0;
    form->chooseProgramFile = [&] {
        ++asked;
        return QString::fromStdString(dir.Path("bad.hex"));
    };
    ModalAnswer answer(QMessageBox::Ok);
    HiddenKey(Qt::Key_F8);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return answer.Count() == 1; }));
    EXPECT_EQ(answer.Text(), "Not a valid file!");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.Path("DEBUG.LOG"))));
}

TEST_F(MainService, CtrlAltF6DumpsTheChosenRange) {
    Start(TRegisterState::Default());
    int shown = 0;
    for (int run = 0; run < 2; ++run) {
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTimer::singleShot(0, form.get(), [&, run] {
            ++shown;
            TDataDlg* dlg = form->DataDlg;
            EXPECT_TRUE(dlg->isVisible());
            EXPECT_EQ(dlg->windowTitle(), "Upload data range");
            if (run == 0) {
                dlg->Edit1->setText("1f");
                dlg->Edit2->setText("2");
                dlg->RamBtn->setChecked(true);
            } else {
                // The values of the last use are still there.
                EXPECT_EQ(dlg->Edit1->text(), "1f");
                EXPECT_TRUE(dlg->RamBtn->isChecked());
                dlg->Edit2->setText("two");
            }
            dlg->findChild<QPushButton*>("OKBtn")->click();
        });
        HiddenKey(Qt::Key_F6);
        EXPECT_EQ(shown, run + 1);
    }
    // The second run's count is no number: nothing is read, nothing opened again.
    ASSERT_EQ(opened.size(), 1u);
    const std::string bin = ReadFileBytes(dir.Path("TEMP.BIN"));
    ASSERT_EQ(bin.size(), 512u);
    Block page = TRegisterState::Default().MemoryPage(1, 0x20);
    EXPECT_EQ(0, std::memcmp(bin.data() + 256, page.data(), 256));
    EXPECT_EQ(ReadFileBytes(dir.Path("TEMP.LOG")).substr(0, 10), "00001f00  ");
}

TEST_F(MainService, PrintsTheNamedRowsToThePrinter) {
    TextTable& table = form->PLUModel()->Table();
    for (int row = 1; row <= 150; ++row) {
        table.Cell(row, 1) = std::to_string(5900000000000LL + row);
        table.Cell(row, 2) = "ITEM" + std::to_string(row);
    }
    table.Cell(151, 1) = "777777"; // no name: not printed
    table.Cell(200, 2) = "LAST";
    form->PLUModel()->TableChanged();
    const std::string pdf = dir.Path("list.pdf");
    form->openPrinter = [&](QString&) {
        auto printer = std::make_unique<QPrinter>();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(pdf));
        return printer;
    };
    form->PrintItem->trigger();
    const std::string text = PdfText(pdf);
    EXPECT_GT(std::count(text.begin(), text.end(), '\f'), 1); // more than one page
    size_t at = 0;
    for (int row = 1; row <= 150; ++row) {
        const std::string name = "ITEM" + std::to_string(row) + " ";
        size_t found = text.find(std::to_string(5900000000000LL + row) + " ", at);
        ASSERT_NE(found, std::string::npos) << row;
        const size_t lineEnd = text.find('\n', found);
        EXPECT_NE(text.substr(found, lineEnd - found).find(name), std::string::npos) << row;
        at = lineEnd;
    }
    EXPECT_NE(text.find("LAST", at), std::string::npos);
    EXPECT_EQ(text.find("777777"), std::string::npos);
    EXPECT_EQ(text.find("Barcode"), std::string::npos); // no headings
}

TEST_F(MainService, PrintErrorsAreShownWithTheirMessage) {
    form->PLUModel()->Table().Cell(1, 2) = "MILK";
    struct Case {
        bool printer;
        QString expect; // empty: no box
    } cases[] = {
        {false, ""}, // no default printer, and the print dialog cancelled
        {true, QString::fromStdString("Cannot start printing on " + dir.Path("gone/x.pdf"))},
    };
    form->choosePrinter = [] { return nullptr; };
    for (const Case& c : cases) {
        form->openPrinter = [&](QString& error) -> std::unique_ptr<QPrinter> {
            if (!c.printer) {
                error = NoDefaultPrinterText;
                return nullptr;
            }
            auto printer = std::make_unique<QPrinter>();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(QString::fromStdString(dir.Path("gone/x.pdf")));
            return printer;
        };
        ModalAnswer answer(QMessageBox::Ok);
        form->PrintItem->trigger();
        if (c.expect.isEmpty()) {
            QTest::qWait(50);
            EXPECT_EQ(answer.Count(), 0) << answer.Text().toStdString();
            continue;
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return answer.Count() == 1; }));
        EXPECT_EQ(answer.Text(), c.expect);
    }
}

// Without a default printer the print dialog offers the printers and a PDF file; the lines are
// the same whichever is chosen.
TEST_F(MainService, WithoutADefaultPrinterThePrintDialogLetsTheUserChoose) {
    TextTable& table = form->PLUModel()->Table();
    table.Cell(1, 1) = "5900000000001";
    table.Cell(1, 2) = "MILK";
    form->openPrinter = [](QString& error) -> std::unique_ptr<QPrinter> {
        error = NoDefaultPrinterText;
        return nullptr;
    };
    bool offeredFile = false;
    QString dialogName;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
            offeredFile = dialog->testOption(QAbstractPrintDialog::PrintToFile);
            dialogName = dialog->objectName();
            dialog->reject();
        }
    });
    {
        ModalAnswer none(QMessageBox::Ok);
        form->PrintItem->trigger();
        QTest::qWait(50);
        EXPECT_EQ(none.Count(), 0) << "Cancel in the dialog is an answer, not a failure";
    }
    EXPECT_EQ(dialogName, "PrintDialog");
    EXPECT_TRUE(offeredFile);

    const std::string pdf = dir.Path("chosen.pdf");
    form->choosePrinter = [&] {
        auto printer = std::make_unique<QPrinter>();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(pdf));
        return printer;
    };
    form->PrintItem->trigger();
    const std::string text = PdfText(pdf);
    const size_t line = text.find("5900000000001 ");
    ASSERT_NE(line, std::string::npos) << text;
    EXPECT_NE(text.substr(line, text.find('\n', line) - line).find(" MILK"), std::string::npos)
        << text;
}

} // namespace
