// quorve-plu-cli run as a user runs it, against the simulated register on a pseudo-terminal,
// with no display: the program's copy lives in a temporary folder, beside its SYSTEM.CFG and
// DEBUG.LOG.
#include "CodePage.h"
#include "Commands.h"
#include "Defs.h"
#include "DocumentFile.h"
#include "FakeSerialTree.h"
#include "Ini.h"
#include "RegisterState.h"
#include "Settings.h"
#include "SimProcess.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/stat.h>

namespace {

struct ToolRun {
    int exit = -1;
    QByteArray out;
    QByteArray err;
    // The --json lines of stdout; a line that is no JSON object fails the test.
    std::vector<QJsonObject> Events() const {
        std::vector<QJsonObject> events;
        for (const QByteArray& line : out.split('\n')) {
            if (line.isEmpty())
                continue;
            const QJsonDocument doc = QJsonDocument::fromJson(line);
            EXPECT_TRUE(doc.isObject()) << line.toStdString();
            events.push_back(doc.object());
        }
        return events;
    }
};

struct CliTool : ::testing::Test {
    QTemporaryDir dir;
    TSimProcess sim;
    QString cli;

    void SetUp() override {
        cli = dir.filePath("quorve-plu-cli");
        ASSERT_TRUE(QFile::copy(QPLU_CLI_PATH, cli));
        IniFile cfg(Path("SYSTEM.CFG"));
        cfg.WriteInteger("Comm", "Port", 2);
        cfg.WriteInteger("Comm", "BaudRate", 4);
        cfg.WriteString("Default", "Header1", "PC SHOP");
        ASSERT_TRUE(cfg.Save());
    }
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
    void StartSim(QStringList flags = {}, const TRegisterState& state = TRegisterState::Default()) {
        ASSERT_TRUE(state.Save(Path("state.txt")));
        flags << "--state" << QString::fromStdString(Path("state.txt"));
        ASSERT_TRUE(sim.Start(QPLU_SIM_PATH, Path("ttySIM"), Path("SYSTEM.CFG"), flags));
    }
    TRegisterState StoppedState() {
        EXPECT_TRUE(sim.Stop());
        TRegisterState state;
        std::string error;
        EXPECT_TRUE(state.Load(Path("state.txt"), &error)) << error;
        return state;
    }
    // The tool started where no display exists: no X, no Wayland, no platform plugin.
    void Start(QProcess& process, const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY"})
            env.remove(name);
        env.insert("LC_ALL", "C");
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(dir.path());
        process.start(cli, args);
        ASSERT_TRUE(process.waitForStarted(5000));
    }
    ToolRun Tool(const QStringList& args) {
        QProcess process;
        Start(process, args);
        ToolRun run;
        EXPECT_TRUE(process.waitForFinished(60000));
        run.exit = process.exitCode();
        run.out = process.readAllStandardOutput();
        run.err = process.readAllStandardError();
        return run;
    }
    // The tool run by bash -c script, "$0" being the tool and "$@" the arguments: standard
    // output as a shell redirects it.
    ToolRun Shell(const QString& script, const QStringList& args) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LC_ALL", "C");
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(dir.path());
        process.start("bash", QStringList{"-c", script, cli} + args);
        EXPECT_TRUE(process.waitForStarted(5000));
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }
};

// Rows whose every field the record layouts carry exactly.
void FillDocument(TextTable& plu, TextTable& dept, RecyTable& recy) {
    for (int r = 1; r <= 40; ++r) {
        plu.Cell(r, 1) = std::to_string(5900000000000LL + r * 7);
        plu.Cell(r, 2) = "ITEM " + std::to_string(r) + " \xA3\xF3\x64\xBC"; // CP1250 bytes
        plu.Cell(r, 3) = FormatFixed(r * 1.25, 2);
        plu.Cell(r, 4) = std::to_string(r % 8 + 1);
        plu.Cell(r, 5) = FormatFixed(-r * 0.5, 3);
        plu.Cell(r, 6) = std::to_string(r % 100);
    }
    for (int d = 1; d <= DeptRowCount; ++d) {
        dept.Cell(d, 1) = "DEPT " + std::to_string(d);
        dept.Cell(d, 2) = std::to_string(d);
        dept.Cell(d, 3) = FormatFixed(d * 0.1, 2);
    }
    for (int k = 0; k < RecyEntryCount; ++k)
        recy[size_t(k)].price = FormatFixed(k * 0.05, 2);
}

TEST_F(CliTool, DownloadThenUploadGivesTheDocumentBackFieldForField) {
    SetDecimalSeparator('.');
    TextTable plu = MakePLUTable(), dept = MakeDeptTable();
    RecyTable recy;
    InitialRecyTable(recy);
    FillDocument(plu, dept, recy);
    ASSERT_EQ(WriteDocumentFiles(Path("shop.PLU"), plu, dept, recy), 0);
    StartSim({"--rate", "0"});

    const ToolRun down = Tool({"download", "shop.PLU", "--range", "1-40", "--json"});
    ASSERT_EQ(down.exit, 0) << down.err.toStdString();
    const std::vector<QJsonObject> events = down.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back()["result"].toString(), "done");
    EXPECT_EQ(events.front()["text"].toString(), "Connect...");
    IniWriteString(Path("SYSTEM.CFG"), "Default", "Header1", "CHANGED ON THE PC");

    const ToolRun up = Tool({"upload", "back.PLU", "--range", "1-40", "--json", "--quiet"});
    ASSERT_EQ(up.exit, 0) << up.err.toStdString();
    EXPECT_EQ(up.err, "") << "--quiet leaves only errors on stderr";
    EXPECT_EQ(up.Events().back()["document"].toString(), QString::fromStdString(Path("back.PLU")));
    TextTable backPlu = MakePLUTable(), backDept = MakeDeptTable();
    RecyTable backRecy;
    InitialRecyTable(backRecy);
    ASSERT_EQ(ReadDocumentFiles(Path("back.PLU"), backPlu, backDept, backRecy), 0);
    for (int r = 1; r <= 40; ++r)
        for (int c = 1; c <= 6; ++c)
            EXPECT_EQ(backPlu.Cell(r, c), plu.Cell(r, c)) << "PLU " << r << " column " << c;
    for (int d = 1; d <= DeptRowCount; ++d)
        for (int c = 1; c <= 3; ++c)
            EXPECT_EQ(backDept.Cell(d, c), dept.Cell(d, c)) << "department " << d;
    for (int k = 0; k < RecyEntryCount; ++k)
        EXPECT_EQ(backRecy[size_t(k)].price, recy[size_t(k)].price) << "entry " << k + 1;
    EXPECT_EQ(IniReadString(Path("SYSTEM.CFG"), "Default", "Header1", ""), "PC SHOP");
    EXPECT_NE(QFile(dir.filePath("DEBUG.LOG")).size(), 0) << "the trace beside the program";
}

TEST_F(CliTool, ExitCodes) {
    WriteFileBytes(Path("bad.PLU"), "12a\tMILK\t1.5x\r\n");
    WriteFileBytes(Path("have.PLU"), "");
    struct Case {
        const char* name;
        QStringList args;
        QStringList simFlags; // empty: no register
        int exit;
        const char* stderrPart;
    } cases[] = {
        {"done", {"test"}, {"--rate", "0"}, 0, ""},
        {"register answers garbled",
         {"download", "have.PLU", "--kinds", "dept"},
         {"--rate", "0", "--faults-after", "2", "--bad-checksum", "100000"},
         1,
         "Check ecr status...Error!"},
        {"usage", {"test", "--colour"}, {}, 2, "unknown option --colour"},
        {"port",
         {"test", "--port", "/nonexistent/ttyX"},
         {},
         3,
         "Error opening /nonexistent/ttyX!\nplease select other ports.\n"
         "/nonexistent/ttyX is not present (unplugged?)\n"},
        {"file", {"download", "missing.PLU"}, {}, 4, "missing.PLU: File not found"},
        {"no replacing without --force", {"upload", "have.PLU"}, {}, 4, "add --force"},
        {"problems", {"check", "bad.PLU"}, {}, 5, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.simFlags.isEmpty())
            StartSim(c.simFlags);
        const ToolRun run = Tool(c.args);
        EXPECT_EQ(run.exit, c.exit) << run.err.toStdString();
        EXPECT_NE(run.err.indexOf(c.stderrPart), -1) << run.err.toStdString();
        sim.Stop();
    }
    const ToolRun check = Tool({"check", "bad.PLU"});
    EXPECT_EQ(check.out, QByteArray("bad.PLU:1:1: Barcode \"12a\": not a whole number\n"
                                    "bad.PLU:1:3: Unit price \"1.5x\": not a number\n"));
}

// What a shop system's export and a spreadsheet round trip look like from a shell: export, then
// import into a document that does not exist yet, gives the same tables; a file with a problem
// changes nothing and says why on stderr.
TEST_F(CliTool, ExportThenImportGivesTheSameDocumentAndProblemsChangeNothing) {
    SetDecimalSeparator('.');
    TextTable plu = MakePLUTable(), dept = MakeDeptTable();
    RecyTable recy;
    InitialRecyTable(recy);
    FillDocument(plu, dept, recy);
    ASSERT_EQ(WriteDocumentFiles(Path("shop.PLU"), plu, dept, recy), 0);
    for (const char* table : {"plu", "dept", "recy"}) {
        SCOPED_TRACE(table);
        const ToolRun out =
            Tool({"export", "shop.PLU", "sheet.csv", "--table", table, "--dialect", "calc"});
        ASSERT_EQ(out.exit, 0) << out.err.toStdString();
        const ToolRun in = Tool({"import", "sheet.csv", "copy.PLU", "--table", table, "--json"});
        ASSERT_EQ(in.exit, 0) << in.err.toStdString();
        EXPECT_EQ(in.Events().back()["result"].toString(), "done");
    }
    TextTable one = MakePLUTable();
    one.Cell(7, 2) = "ONE";
    ASSERT_EQ(WriteDocumentFiles(Path("one.PLU"), one, dept, recy), 0);
    const ToolRun single = Tool({"export", "one.PLU", "one.csv"});
    EXPECT_NE(single.err.indexOf("Exported 1 row to "), -1) << single.err.toStdString();

    TextTable backPlu = MakePLUTable(), backDept = MakeDeptTable();
    RecyTable backRecy;
    InitialRecyTable(backRecy);
    ASSERT_EQ(ReadDocumentFiles(Path("copy.PLU"), backPlu, backDept, backRecy), 0);
    EXPECT_EQ(ReadFileBytes(Path("copy.PLU")), ReadFileBytes(Path("shop.PLU")));
    EXPECT_EQ(ReadFileBytes(Path("copy.DEP")), ReadFileBytes(Path("shop.DEP")));
    EXPECT_EQ(ReadFileBytes(Path("copy.RCY")), ReadFileBytes(Path("shop.RCY")));

    // Update by barcode from a ';' file with decimal commas: one price changes, one item is new.
    WriteFileBytes(Path("prices.csv"), "EAN;Price;Name\r\n5900000000007;9,99;\r\n"
                                       "123;1,5;NEW ITEM\r\n");
    const ToolRun update =
        Tool({"import", "prices.csv", "copy.PLU", "--mode", "update", "--by", "barcode"});
    ASSERT_EQ(update.exit, 0) << update.err.toStdString();
    EXPECT_NE(update.err.indexOf("1 added, 1 changed"), -1) << update.err.toStdString();
    ASSERT_EQ(ReadDocumentFiles(Path("copy.PLU"), backPlu, backDept, backRecy), 0);
    EXPECT_EQ(backPlu.Cell(1, 3), "9.99");
    EXPECT_EQ(backPlu.Cell(1, 2), plu.Cell(1, 2)) << "an empty cell keeps the document's value";
    EXPECT_EQ(backPlu.Cell(41, 2), "NEW ITEM");

    const std::string before = ReadFileBytes(Path("copy.PLU"));
    WriteFileBytes(Path("bad.csv"), "Barcode,Unit price\n11,1.00\n12,abc\n13,2000000\n");
    const ToolRun bad = Tool({"import", "bad.csv", "copy.PLU", "--mode", "replace"});
    EXPECT_EQ(bad.exit, 5);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.indexOf("bad.csv: line 3, Unit price \"abc\": not a number\n"), -1)
        << bad.err.toStdString();
    EXPECT_NE(bad.err.indexOf("bad.csv: line 4, Unit price \"2000000\""), -1);
    EXPECT_NE(bad.err.indexOf("Nothing imported: 2 problems"), -1);
    EXPECT_EQ(ReadFileBytes(Path("copy.PLU")), before);
}

// Import from a shell: it says how it read the file, updates unless told to replace, and takes
// the columns as --map and --no-header give them; a map naming no column is a usage error.
TEST_F(CliTool, ImportTellsHowItReadAndTakesColumnsAsMapped) {
    SetDecimalSeparator('.');
    SetDocumentCodePage("CP1250");
    struct Case {
        const char* what;
        std::string bytes;
        QStringList options;
        int exit;
        std::vector<const char*> stderrHas;
        std::vector<std::pair<int, const char*>> names; // PLU row and its name afterwards
    } cases[] = {
        {"Polish header, update by number",
         "Nr;Kod kreskowy;Nazwa;Cena brutto;Dzia\xC5\x82;Stawka VAT\r\n"
         "2;5900000000001;\xC5\xBB\xC3\xB3\xC5\x82w;2,50;2;23\r\n",
         {},
         0,
         {"sheet.csv: UTF-8, semicolon between fields, decimal comma, header on line 1\n",
          "sheet.csv: columns 1 Nr = NO., 2 Kod kreskowy = Barcode, 3 Nazwa = Name, 4 Cena brutto "
          "= Unit price, 5 Dzia\xC5\x82 = Department\n",
          "sheet.csv: ignored columns: Stawka VAT\n", "0 added, 1 changed, 0 emptied"},
         {{1, "OLD"}, {2, "\xAF\xF3\xB3w"}}},
        {"no number column: update refuses and says what would do",
         "EAN;Name\n5900000000009;Tea\n",
         {},
         5,
         {"no number column to match rows by", "--by barcode", "--mode replace"},
         {{1, "OLD"}}},
        {"mapped by hand, no header, replace",
         "5900000000009,Tea,1.5,x\n,,,\n5900000000008,Rye,2,y\n",
         {"--no-header", "--map", "1=EAN, 2 = name,3=Unit price,4=ignore", "--mode", "replace"},
         0,
         {"sheet.csv: UTF-8, comma between fields, decimal point, no header line\n",
          "columns 1 = Barcode, 2 = Name, 3 = Unit price\n", "ignored columns: column 4",
          "1 added, 1 changed, 1 emptied"},
         {{1, "Tea"}, {2, ""}, {3, "Rye"}}},
        {"a header of unknown names, mapped",
         "Artikel;Text\n7;Tee\n",
         {"--header", "--map", "1=NO.,2=Name"},
         0,
         {"columns 1 Artikel = NO., 2 Text = Name"},
         {{7, "Tee"}}},
        {"a map beyond the file",
         "a;b\n",
         {"--no-header", "--map", "5=Name"},
         5,
         {"column 5 is to feed Name, but the file has 2 columns"},
         {{1, "OLD"}}},
        {"a map naming no column",
         "a;b\n",
         {"--map", "1=Prize"},
         2,
         {"--map: \"Prize\" names no column of the table (NO., Barcode, Name, Unit price"},
         {{1, "OLD"}}},
        {"two columns to one",
         "a;b\n",
         {"--map", "1=Name,2=Nazwa"},
         2,
         {"--map: columns 1 and 2 both feed Name"},
         {{1, "OLD"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TextTable plu = MakePLUTable(), dept = MakeDeptTable();
        RecyTable recy;
        InitialRecyTable(recy);
        plu.Cell(1, 2) = "OLD";
        plu.Cell(2, 2) = "TWO";
        ASSERT_EQ(WriteDocumentFiles(Path("doc.PLU"), plu, dept, recy), 0);
        WriteFileBytes(Path("sheet.csv"), c.bytes);
        const ToolRun run = Tool(QStringList{"import", "sheet.csv", "doc.PLU"} + c.options);
        EXPECT_EQ(run.exit, c.exit) << run.err.toStdString();
        for (const char* part : c.stderrHas)
            EXPECT_NE(run.err.indexOf(part), -1) << part << "\n" << run.err.toStdString();
        ASSERT_EQ(ReadDocumentFiles(Path("doc.PLU"), plu, dept, recy), 0);
        for (const auto& [row, name] : c.names)
            EXPECT_EQ(plu.Cell(row, 2), name) << row;
    }
}

TEST_F(CliTool, PathsNameTheFilesBesideAProgramInAWritableFolder) {
    const ToolRun run = Tool({"--paths", "--json"});
    ASSERT_EQ(run.exit, 0) << run.err.toStdString();
    const QJsonObject paths = run.Events().back();
    const QString here = QFileInfo(dir.path()).canonicalFilePath() + '/';
    EXPECT_FALSE(paths["installed"].toBool());
    EXPECT_EQ(paths["systemCfg"].toString(), here + "SYSTEM.CFG");
    EXPECT_EQ(paths["languageFile"].toString(), here + "quorve-plu.LNG");
    EXPECT_EQ(paths["debugLog"].toString(), here + "DEBUG.LOG");
    EXPECT_EQ(paths["tempLog"].toString(), here + "TEMP.LOG");
    EXPECT_EQ(paths["guide"].toString(), here + "guide/index.html");
    const ToolRun chosen = Tool({"--paths", "--config", "/etc/other.cfg"});
    EXPECT_NE(chosen.out.indexOf("SYSTEM.CFG       /etc/other.cfg\n"), -1)
        << chosen.out.toStdString();
}

// A port that will not open says why in the --json result too; `ports` lists what COM1 to COM4
// open, as one JSON object.
TEST_F(CliTool, PortsAndOpenFailuresAsJson) {
    const ToolRun failed = Tool({"test", "--port", "/nonexistent/ttyX", "--json"});
    EXPECT_EQ(failed.exit, 3);
    ASSERT_EQ(failed.Events().size(), 1u);
    const QJsonObject result = failed.Events().back();
    EXPECT_EQ(result["reason"].toString(), "not-present");
    EXPECT_EQ(result["details"].toArray().first().toString(),
              "/nonexistent/ttyX is not present (unplugged?)");
    EXPECT_TRUE(result["message"].toString().startsWith(
        "Error opening /nonexistent/ttyX!\nplease select other ports.\n/nonexistent/ttyX is"));

    StartSim();
    const ToolRun ports = Tool({"ports", "--json"});
    ASSERT_EQ(ports.exit, 0) << ports.err.toStdString();
    ASSERT_EQ(ports.Events().size(), 1u) << ports.out.toStdString();
    const QJsonObject list = ports.Events().front();
    EXPECT_EQ(list["result"].toString(), "done");
    EXPECT_TRUE(list["devices"].isArray());
    const QJsonArray comNames = list["ports"].toArray();
    ASSERT_EQ(comNames.size(), 4);
    const QJsonObject com2 = comNames[1].toObject();
    EXPECT_EQ(com2["port"].toString(), "COM2");
    EXPECT_EQ(com2["path"].toString(), QString::fromStdString(Path("ttySIM")));
    EXPECT_TRUE(com2["present"].toBool());
    EXPECT_TRUE(com2["configured"].toBool());
    EXPECT_EQ(comNames[0].toObject()["path"].toString(), "/dev/ttyS0");
    EXPECT_FALSE(comNames[0].toObject()["configured"].toBool());
}

// detect, run in-process so that discovery can read a machine of the test's own: COM1 to COM4
// lead nowhere, the register sits on an adapter no COM name opens; --others finds it and
// --apply maps it to the configured COM2.
TEST_F(CliTool, DetectTriesTheOtherDevicesAndMapsTheOneThatAnswers) {
    StartSim();
    for (int n = 1; n <= 4; ++n)
        IniWriteString(Path("SYSTEM.CFG"), "Ports", "COM" + std::to_string(n), Path("gone"));
    FakeSerialTree tree(Path("machine"));
    const std::string adapter = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0";
    tree.AddUsb({"ttyUSB0", "0403", "6001", "FTDI", "FT232R USB UART", "A1", "ftdi_sio",
                 "usb-FTDI_FT232R_USB_UART_A1-if00-port0", ""});
    std::filesystem::remove(tree.Path("/dev/ttyUSB0"));
    std::filesystem::create_symlink(Path("ttySIM"), tree.Path("/dev/ttyUSB0"));
    const std::string programDir = ProgramDir;
    SetProgramDir(dir.path().toStdString());
    SetSystemCfgPath(Path("SYSTEM.CFG"));
    ReadCommSettings();

    TCommandLine line;
    line.command = TCliCommand::Detect;
    line.others = true;
    line.apply = true;
    line.json = true;
    line.discoveryRoot = tree.Root();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int exit = RunCommand(line, TOutput(true, false));
    ToolRun run;
    run.out = QByteArray::fromStdString(testing::internal::GetCapturedStdout());
    const std::string err = testing::internal::GetCapturedStderr();
    SetSystemCfgPath("");
    SetProgramDir(programDir);

    EXPECT_EQ(exit, 0) << err;
    const std::vector<QJsonObject> events = run.Events();
    // Testing and an outcome per port and per device, then the result.
    ASSERT_EQ(events.size(), 11u) << run.out.toStdString();
    EXPECT_EQ(events[9]["outcome"].toString(), "Tolv found!");
    EXPECT_EQ(events[10]["port"].toString(), "COM2");
    EXPECT_EQ(events[10]["device"].toString(), QString::fromStdString(adapter));
    EXPECT_TRUE(events[10]["applied"].toBool());
    EXPECT_NE(err.find(Path("gone") + " is not present (unplugged?)"), std::string::npos) << err;
    EXPECT_EQ(IniReadString(Path("SYSTEM.CFG"), "Ports", "COM2", ""), adapter);
    EXPECT_EQ(IniReadInteger(Path("SYSTEM.CFG"), "Comm", "Port", 0), 2);
}

// Ctrl+C in the middle of a long exchange: the register is told as after a failure, the port is
// closed (its trace written), and no document or settings file is touched.
TEST_F(CliTool, SigintCancelsLikeTheWindowsCancel) {
    SetDecimalSeparator('.');
    TextTable plu = MakePLUTable(), dept = MakeDeptTable();
    RecyTable recy;
    InitialRecyTable(recy);
    FillTestData(plu, dept, recy);
    ASSERT_EQ(WriteDocumentFiles(Path("shop.PLU"), plu, dept, recy), 0);
    IniWriteInteger(Path("SYSTEM.CFG"), "Comm", "BaudRate", 0); // a third of a second a block
    const std::string documentBefore = ReadFileBytes(Path("shop.PLU"));
    for (const char* command : {"download", "upload"}) {
        SCOPED_TRACE(command);
        const char* file = command[0] == 'd' ? "shop.PLU" : "new.PLU";
        StartSim({"--rate", "0", "--wire-time"});
        const std::string cfgBefore = ReadFileBytes(Path("SYSTEM.CFG"));
        QProcess process;
        Start(process, {command, file, "--range", "1-3000", "--json"});
        QByteArray out;
        while (out.count("\"event\":\"package\"") < 3 && process.waitForReadyRead(10000))
            out += process.readAllStandardOutput();
        ASSERT_GE(out.count("\"event\":\"package\""), 3);
        ::kill(pid_t(process.processId()), SIGINT);
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitCode(), 130);
        out += process.readAllStandardOutput();
        EXPECT_TRUE(out.contains("{\"exit\":130,\"result\":\"cancelled\"}")) << out.toStdString();
        EXPECT_FALSE(out.contains("Error!"));

        const TRegisterState state = StoppedState();
        ASSERT_FALSE(state.disconnects.empty());
        EXPECT_EQ(state.disconnects.front(), 1) << "the register is told the exchange failed";
        EXPECT_NE(QFile(dir.filePath("DEBUG.LOG")).size(), 0) << "the port was closed";
        EXPECT_EQ(ReadFileBytes(Path("shop.PLU")), documentBefore);
        EXPECT_FALSE(QFile::exists(dir.filePath("new.PLU")));
        EXPECT_EQ(ReadFileBytes(Path("SYSTEM.CFG")), cfgBefore);
        QFile::remove(dir.filePath("DEBUG.LOG"));
    }
}

// compare lists what a download would change and says by its exit code whether anything
// would; download --changed sends only that; backup, backups and restore put it back.
TEST_F(CliTool, CompareSendChangesBackupAndRestore) {
    SetDecimalSeparator('.');
    TextTable plu = MakePLUTable(), dept = MakeDeptTable();
    RecyTable recy;
    InitialRecyTable(recy);
    FillDocument(plu, dept, recy);
    ASSERT_EQ(WriteDocumentFiles(Path("shop.PLU"), plu, dept, recy), 0);
    StartSim({"--rate", "0"});
    const QStringList range{"--range", "1-40"};
    ASSERT_EQ(Tool(QStringList{"download", "shop.PLU"} + range).exit, 0);
    const ToolRun equal = Tool(QStringList{"compare", "shop.PLU", "-q"} + range);
    EXPECT_EQ(equal.exit, 0) << equal.err.toStdString();
    EXPECT_EQ(equal.out, "");

    // Back it up where the user's data goes, then change two items on the PC.
    qputenv("XDG_DATA_HOME", dir.filePath("data").toLocal8Bit());
    const ToolRun backup = Tool(QStringList{"backup", "-q"} + range);
    ASSERT_EQ(backup.exit, 0) << backup.err.toStdString();
    const QString folder = QString::fromUtf8(backup.out).trimmed();
    EXPECT_TRUE(folder.startsWith(dir.filePath("data/quorve-plu/backups/")))
        << folder.toStdString();
    const ToolRun list = Tool({"backups"});
    EXPECT_TRUE(list.out.contains("QUORVE SIM ECR 1.0  PLU 1-40: 40 named items, 8 departments, "
                                  "99 package prices  " +
                                  folder.toUtf8()))
        << list.out.toStdString();

    plu.Cell(3, 3) = "99.00";
    plu.Cell(40, 2) = "LAST";
    ASSERT_EQ(WriteDocumentFiles(Path("shop.PLU"), plu, dept, recy), 0);
    const ToolRun different =
        Tool(QStringList{"compare", "shop.PLU", "--kinds", "plu", "--json"} + range);
    EXPECT_EQ(different.exit, 10);
    const std::vector<QJsonObject> events = different.Events();
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events.back()["result"].toString(), "different");
    EXPECT_EQ(events.back()["differences"].toInt(), 2);
    const ToolRun lines = Tool(QStringList{"compare", "shop.PLU", "--kinds", "plu", "-q"} + range);
    const QList<QByteArray> out = lines.out.split('\n');
    ASSERT_EQ(out.size(), 3) << lines.out.toStdString();
    EXPECT_EQ(out[0], "PLU 3 Unit price: PC \"99.00\", register \"3.75\"");
    EXPECT_EQ(QString::fromUtf8(out[1]),
              "PLU 40 Name: PC \"LAST\", register \"ITEM 40 " +
                  DocumentCodePage().ToUnicode(plu.Cell(39, 2).substr(8)) + "\"");

    const ToolRun sent = Tool(QStringList{"download", "--changed", "shop.PLU"} + range);
    EXPECT_EQ(sent.exit, 0) << sent.err.toStdString();
    EXPECT_TRUE(sent.err.contains("Sent 2 PLU blocks.")) << sent.err.toStdString();
    EXPECT_EQ(Tool(QStringList{"compare", "shop.PLU", "-q"} + range).exit, 0);

    const ToolRun restore = Tool({"restore", folder});
    EXPECT_EQ(restore.exit, 0) << restore.err.toStdString();
    EXPECT_TRUE(restore.err.contains("Restored: 2 differences were sent."))
        << restore.err.toStdString();
    EXPECT_EQ(Tool(QStringList{"compare", "shop.PLU", "-q"} + range).exit, 10);

    // One item changed: told in the singular.
    plu.Cell(40, 2) = "ITEM 40 \xA3\xF3\x64\xBC";
    ASSERT_EQ(WriteDocumentFiles(Path("shop.PLU"), plu, dept, recy), 0);
    ASSERT_EQ(Tool(QStringList{"download", "--changed", "shop.PLU", "--kinds", "plu"} + range).exit,
              0);
    const ToolRun one = Tool({"restore", folder});
    EXPECT_TRUE(one.err.contains("Restored: 1 difference was sent.")) << one.err.toStdString();

    // A register that now counts three decimals takes nothing of a backup made with two.
    TRegisterState threeDecimals = StoppedState();
    threeDecimals.decimals = 3;
    threeDecimals.writes.clear();
    StartSim({"--rate", "0"}, threeDecimals);
    const ToolRun refused = Tool({"restore", folder, "--json"});
    EXPECT_EQ(refused.exit, 1);
    const QString why = "the backup was made with 2 decimals and the register counts money with "
                        "3: its prices would change, so nothing was sent";
    EXPECT_TRUE(QString::fromUtf8(refused.err).contains(why)) << refused.err.toStdString();
    EXPECT_EQ(refused.Events().back()["message"].toString(), why);
    EXPECT_TRUE(StoppedState().writes.empty());
    qunsetenv("XDG_DATA_HOME");
}

// Data that cannot reach standard output is a failure, told on stderr; a closed standard output
// that nothing had to go to is none.
TEST_F(CliTool, OutputThatCannotBeWrittenEndsWithExit4) {
    WriteFileBytes(Path("good.PLU"), "1\tGOOD\r\n");
    const char* full = "standard output: Disk full (No space left on device)";
    const char* closed = "standard output: I/O error 9 (Bad file descriptor)";
    struct Case {
        QStringList args;
        const char* redirect;
        int exit;
        const char* stderrPart;
    } cases[] = {
        {{"--paths"}, ">/dev/full", ExitFile, full},
        {{"--paths", "--json"}, ">/dev/full", ExitFile, full},
        {{"--help"}, ">/dev/full", ExitFile, full},
        {{"--version"}, ">/dev/full", ExitFile, full},
        {{"ports"}, ">/dev/full", ExitFile, full},
        {{"check", "good.PLU", "--json"}, ">/dev/full", ExitFile, full},
        {{"--paths"}, ">&-", ExitFile, closed},
        {{"check", "good.PLU"}, ">&-", ExitDone, ""},
        {{"--paths"}, ">out.txt", ExitDone, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.args.join(' ') + " " + c.redirect).toStdString());
        const ToolRun run = Shell(QString("exec \"$0\" \"$@\" ") + c.redirect, c.args);
        EXPECT_EQ(run.exit, c.exit) << run.err.toStdString();
        EXPECT_NE(run.err.indexOf(c.stderrPart), -1) << run.err.toStdString();
    }
    EXPECT_NE(ReadFileBytes(Path("out.txt")).find("SYSTEM.CFG"), std::string::npos);
}

// The register clears its report once read: a place that cannot take it is found before the
// register is asked, and a report that a place refuses only when written is kept in the log
// folder.
TEST_F(CliTool, TheReportIsNeverLostByItsOutput) {
    TRegisterState state = TRegisterState::Default();
    state.report = "Z REPORT\r\nTOTAL 12.50";
    StartSim({"--rate", "0"}, state);
    std::filesystem::create_directory(Path("folder"));
    const struct {
        QStringList args;
        const char* script;
        const char* stderrPart;
    } refused[] = {
        {{"report"}, "exec \"$0\" \"$@\" >/dev/full", "standard output: Disk full"},
        {{"report", "--json"}, "exec \"$0\" \"$@\" >&-", "standard output: I/O error 9"},
        {{"report", "-o", "missing/z.txt"}, "exec \"$0\" \"$@\"", "missing/z.txt: File not found"},
        {{"report", "-o", "folder"}, "exec \"$0\" \"$@\"", "folder: File access denied"},
        {{"report", "-o", "/dev/full"}, "exec \"$0\" \"$@\"", "/dev/full: Disk full"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ToolRun run = Shell(c.script, c.args);
        EXPECT_EQ(run.exit, ExitFile) << run.err.toStdString();
        EXPECT_NE(run.err.indexOf(c.stderrPart), -1) << run.err.toStdString();
        EXPECT_NE(run.err.indexOf("The register was not asked for its report, so it keeps it."),
                  -1);
    }
    EXPECT_EQ(StoppedState().report, state.report) << "the register was cleared";

    // A FIFO nobody reads and a pipe whose reader is gone take nothing, whatever was checked.
    ASSERT_EQ(::mkfifo(Path("nobody-reads").c_str(), 0600), 0);
    const struct {
        QStringList args;
        const char* script;
        const char* reason;
    } failing[] = {
        {{"report", "-o", "nobody-reads"}, "exec \"$0\" \"$@\"", "I/O error 6"},
        {{"report"}, "set -o pipefail; \"$0\" \"$@\" | true", "I/O error 32 (Broken pipe)"},
    };
    for (const auto& c : failing) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        for (const QString& old : QDir(dir.path()).entryList({"report-*.txt"}))
            QFile::remove(dir.filePath(old));
        StartSim({"--rate", "0"}, state);
        const ToolRun run = Shell(c.script, c.args);
        EXPECT_EQ(run.exit, ExitFile) << run.err.toStdString();
        EXPECT_NE(run.err.indexOf(c.reason), -1) << run.err.toStdString();
        const QStringList kept = QDir(dir.path()).entryList({"report-*.txt"});
        ASSERT_EQ(kept.size(), 1) << run.err.toStdString();
        EXPECT_NE(run.err.indexOf("It is kept in " + dir.filePath(kept[0]).toUtf8() + "."), -1)
            << run.err.toStdString();
        EXPECT_EQ(ReadFileBytes(dir.filePath(kept[0]).toStdString()), state.report);
        EXPECT_EQ(StoppedState().report, "");
    }
}

// A document of four named items downloaded as PLU 1 to 3000 comes back from the register as a
// document the program's own check passes: items without a barcode come back without one (not
// as barcodes "0" that repeat each other), the stocks as the register holds them. Compare finds
// nothing.
TEST_F(CliTool, UploadedEmptyRowsPassTheProgramsOwnCheck) {
    SetDecimalSeparator('.');
    TextTable plu = MakePLUTable(), dept = MakeDeptTable();
    RecyTable recy;
    InitialRecyTable(recy);
    for (int r = 1; r <= 4; ++r) {
        plu.Cell(r, 1) = std::to_string(5900000000000LL + r);
        plu.Cell(r, 2) = "ITEM " + std::to_string(r);
    }
    plu.Cell(2, 5) = "-54321.6";
    plu.Cell(3, 1) = "";
    plu.Cell(4, 1) = "";
    ASSERT_EQ(WriteDocumentFiles(Path("shop.PLU"), plu, dept, recy), 0);
    StartSim({"--rate", "0"});
    const QStringList range{"--range", "1-3000", "-q"};
    ASSERT_EQ(Tool(QStringList{"download", "shop.PLU"} + range).exit, 0);
    const ToolRun up = Tool(QStringList{"upload", "back.PLU"} + range);
    ASSERT_EQ(up.exit, 0) << up.err.toStdString();

    TextTable backPlu = MakePLUTable(), backDept = MakeDeptTable();
    RecyTable backRecy;
    InitialRecyTable(backRecy);
    ASSERT_EQ(ReadDocumentFiles(Path("back.PLU"), backPlu, backDept, backRecy), 0);
    EXPECT_EQ(backPlu.Cell(2, 5), "-54321.600");
    for (int r : {3, 4})
        EXPECT_EQ(backPlu.Cell(r, 1), "") << "PLU " << r;
    const ToolRun check = Tool({"check", "back.PLU"});
    EXPECT_EQ(check.exit, 0) << check.out.toStdString();
    EXPECT_EQ(check.out, "");
    EXPECT_EQ(Tool(QStringList{"compare", "back.PLU", "--kinds", "plu"} + range).exit, 0);
}

} // namespace
