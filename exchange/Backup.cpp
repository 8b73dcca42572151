#include "Backup.h"

#include "AtomicFile.h"
#include "ChangedDownload.h"
#include "CodePage.h"
#include "Counted.h"
#include "DocumentFile.h"
#include "GridModel.h"
#include "Ini.h"
#include "RegisterCopy.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>

namespace {

constexpr const char* SettingsSection = "Safety";
constexpr const char* BackupFirstKey = "BackupBeforeDownload";
// Folder names sort as their dates do.
constexpr const char* FolderDateFormat = "yyyy-MM-dd_HH-mm-ss";

QString Local(const std::string& path) {
    return QString::fromLocal8Bit(path);
}

std::string LocalPath(const QString& path) {
    return path.toLocal8Bit().toStdString();
}

int LastError() {
    return errno ? errno : EIO;
}

// A folder name for the date not yet taken in root.
QString FreeFolderName(const QDir& root, const QDateTime& start) {
    const QString base = start.toString(FolderDateFormat);
    QString name = base;
    for (int n = 2; root.exists(name); ++n)
        name = base + "_" + QString::number(n);
    return name;
}

void FillCounts(TBackupManifest& m, const TRegisterCopy& copy) {
    m.pluItems = copy.PluItems();
    m.namedPluItems = copy.NamedPluItems();
    m.departments = 0;
    for (const DeptFields& dept : DecodeDeptFields(copy.dept))
        m.departments += !dept.name.empty();
    m.packagePrices = 0;
    for (int n = 1; n <= RecyclingEntries; ++n)
        m.packagePrices += RecyclingPrice(copy.recy, n) != 0;
    m.salesRecords = int(copy.status.SalesRecordCount);
    m.decimals = copy.status.Decimals;
    m.amountDecimals = std::max(2, m.decimals);
    m.identification = copy.identification;
}

// The upload writes amounts with two decimals; a register that counts more of them gets them
// all back from the blocks it sent, so restoring gives it what it held.
void KeepExactAmounts(const TRegisterCopy& copy, TextTable& plu, TextTable& dept, RecyTable& recy) {
    const RegisterStatus& status = copy.status;
    if (status.Decimals <= 2)
        return;
    if (copy.kinds.test(KindPLU)) {
        for (int n = copy.rangeBegin; n <= copy.rangeEnd; ++n)
            if (!IsEmptyPluSlot(copy.Plu(n)))
                plu.Cell(n, 3) = ExactMoneyText(DecodePluFields(copy.Plu(n)).price, status);
        const auto matched = MatchSalesRecords(
            DecodeSalesStream(copy.sales, status.SalesRecordCount), copy.rangeBegin, copy.rangeEnd,
            [&](int n) -> std::string_view { return plu.Cell(n, 1); }, status);
        for (const SalesCounterTexts& counters : matched)
            plu.Cell(counters.pluNumber, 8) = ExactMoneyText(int64_t(counters.totalAmount), status);
    }
    if (copy.kinds.test(KindDepartment)) {
        const auto fields = DecodeDeptFields(copy.dept);
        for (int d = 1; d <= DeptCount; ++d)
            dept.Cell(d, 3) = ExactMoneyText(fields[size_t(d - 1)].price, status);
    }
    if (copy.kinds.test(KindRecycling))
        for (int n = 1; n <= RecyclingEntries && n <= int(recy.size()); ++n)
            recy[size_t(n - 1)].price = ExactMoneyText(RecyclingPrice(copy.recy, n), status);
}

// The words of a backup's failures and its description, for people.
struct Words {
    Q_DECLARE_TR_FUNCTIONS(Backup)
};

// A file failure told in English (for the journal) and in the program's language.
TFlowOutcome FileProblem(const std::string& path, const char* english, const QString& people) {
    return {TFlowResult::FileFailed, path + ": " + english, false,
            (Local(path) + ": " + people).toLocal8Bit().toStdString()};
}

TFlowOutcome DecimalsRefusal(int backup, int reg) {
    const auto english = [&] {
        return "the backup was made with " + std::to_string(backup) +
               (backup == 1 ? " decimal" : " decimals") + " and the register counts money with " +
               std::to_string(reg) + ": its prices would change, so nothing was sent";
    };
    const QString people = Words::tr("the backup was made with %1 and the register counts money "
                                     "with %2: its prices would change, so nothing was sent")
                               .arg(Counted(backup, "decimal", "decimals"), QString::number(reg));
    return {TFlowResult::RegisterFailed, english(), true, people.toLocal8Bit().toStdString()};
}

// Number texts written under another decimal separator read as 0 under this one.
void ConvertSeparator(std::string& text, char from, char to) {
    std::replace(text.begin(), text.end(), from, to);
}

void ConvertDocument(TextTable& plu, TextTable& dept, RecyTable& recy, char from, char to) {
    for (int row = 1; row <= plu.Rows(); ++row)
        for (int col : {3, 5, 7, 8})
            ConvertSeparator(plu.Cell(row, col), from, to);
    for (int row = 1; row <= dept.Rows(); ++row)
        ConvertSeparator(dept.Cell(row, 3), from, to);
    for (RecyEntry& entry : recy)
        ConvertSeparator(entry.price, from, to);
}

bool ConvertParameters(const std::string& path, char from, char to) {
    IniFile ini(path);
    std::vector<std::string> keys{"-% rate", "+% rate"};
    for (int n = 1; n <= VatRates; ++n)
        keys.push_back("VAT" + std::to_string(n));
    for (const std::string& key : keys) {
        std::string value = ini.ReadString("Default", key, ZeroRateText());
        ConvertSeparator(value, from, to);
        ini.WriteString("Default", key, value);
    }
    return ini.Save();
}

} // namespace

std::string DefaultBackupRoot() {
    return LocalPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                     "/quorve-plu/backups");
}

std::vector<TBackupInfo> ListBackups(const std::string& root) {
    std::vector<TBackupInfo> backups;
    const QDir dir(Local(root));
    // Hidden folders are backups still being built (or left by a crash).
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const std::string folder = LocalPath(dir.filePath(name));
        if (auto manifest = TBackupManifest::FromFile(folder + "/" + BackupManifestName))
            backups.push_back({folder, std::move(*manifest)});
    }
    std::reverse(backups.begin(), backups.end());
    return backups;
}

int PruneBackups(const std::string& root, int keep) {
    // A backup still being built is a day old only when its program died on the way.
    const QDir dir(Local(root));
    const QDateTime dayAgo = QDateTime::currentDateTime().addDays(-1);
    for (const QFileInfo& partial : dir.entryInfoList({".partial-*"}, QDir::Dirs | QDir::Hidden))
        if (partial.lastModified() < dayAgo)
            QDir(partial.filePath()).removeRecursively();
    if (keep <= 0)
        return 0;
    const std::vector<TBackupInfo> backups = ListBackups(root);
    int removed = 0;
    for (size_t i = size_t(keep); i < backups.size(); ++i)
        removed += QDir(Local(backups[i].folder)).removeRecursively();
    return removed;
}

TFlowOutcome BackUpRegister(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                            const TBackupRequest& request, TBackupInfo& made) {
    const QDateTime start = QDateTime::currentDateTime();
    QDir root(Local(request.root));
    if (!MakeDirectories(request.root))
        return FileOutcome(request.root, LastError());
    QTemporaryDir building(root.filePath(".partial-XXXXXX"));
    if (!building.isValid())
        return FileOutcome(request.root, LastError());
    const std::string dir = LocalPath(building.path()) + "/";

    TGridModel plu(MakePLUTable(), PLUTitles);
    TGridModel dept(MakeDeptTable(), DeptTitles);
    RecyTable recy;
    InitialRecyTable(recy);
    TTransferContext ctx{bus,
                         progress,
                         plu,
                         dept,
                         recy,
                         AllKinds,
                         request.rangeBegin,
                         request.rangeEnd,
                         port,
                         dir + BackupParametersName};
    // The upload keeps "Tax-free" when no slot carries the mark; a register without a tax-free
    // slot must come back without one.
    if (!IniWriteInteger(ctx.settingsPath, "Default", "Tax-free", TaxFreeNone))
        return FileOutcome(ctx.settingsPath, LastError());
    TRegisterCopy copy;
    if (TFlowOutcome read = ReadRegister(ctx, true, copy); !read.Done())
        return read;
    KeepExactAmounts(copy, plu.Table(), dept.Table(), recy);

    TBackupManifest manifest;
    manifest.date = start.toString("yyyy-MM-dd HH:mm:ss").toStdString();
    manifest.rangeBegin = request.rangeBegin;
    manifest.rangeEnd = request.rangeEnd;
    manifest.decimalSeparator = DecimalSeparator();
    FillCounts(manifest, copy);
    const std::string document = dir + BackupDocumentName;
    if (const int error = WriteDocumentFiles(document, plu.Table(), dept.Table(), recy))
        return FileOutcome(document, error);
    for (const std::string& name :
         {std::string(BackupDocumentName), WithExtension(BackupDocumentName, ".DEP"),
          WithExtension(BackupDocumentName, ".RCY"), std::string(BackupParametersName)}) {
        const std::string sum = FileChecksum(dir + name);
        if (sum.empty())
            return FileOutcome(dir + name, LastError());
        manifest.checksums.emplace_back(name, sum);
    }
    if (!WriteFileAtomically(dir + BackupManifestName, manifest.Text()))
        return FileOutcome(dir + BackupManifestName, LastError());

    const QString name = FreeFolderName(root, start);
    if (!RenameWithoutReplacing(LocalPath(building.path()), LocalPath(root.filePath(name))))
        return FileOutcome(LocalPath(root.filePath(name)), LastError());
    building.setAutoRemove(false);
    made = {LocalPath(root.filePath(name)), std::move(manifest)};
    PruneBackups(request.root, request.keep);
    return {};
}

TFlowOutcome CheckBackup(const std::string& folder, TBackupManifest& manifest) {
    const std::string manifestPath = folder + "/" + BackupManifestName;
    std::optional<TBackupManifest> read = TBackupManifest::FromFile(manifestPath);
    if (!read)
        return FileProblem(manifestPath, "no backup manifest", Words::tr("no backup manifest"));
    for (const auto& [name, sum] : read->checksums) {
        const std::string path = folder + "/" + name;
        if (!QFile::exists(Local(path)))
            return FileProblem(path, "missing", Words::tr("missing"));
        if (FileChecksum(path) != sum)
            return FileProblem(path, "changed since the backup was made",
                               Words::tr("changed since the backup was made"));
    }
    manifest = std::move(*read);
    return {};
}

QString BackupDescription(const TBackupManifest& m) {
    const CodePage& cp = DocumentCodePage();
    return Words::tr("Made: %1").arg(cp.ToUnicode(m.date)) + '\n' +
           Words::tr("Register: %1").arg(cp.ToUnicode(m.identification)) + '\n' +
           Words::tr("PLU %1-%2: %3, %4")
               .arg(QString::number(m.rangeBegin), QString::number(m.rangeEnd),
                    Counted(m.namedPluItems, "named item", "named items"),
                    Counted(m.salesRecords, "sales record", "sales records")) +
           '\n' + Words::tr("Departments: %1 named").arg(m.departments) + '\n' +
           Words::tr("Package prices: %1 set").arg(m.packagePrices) + '\n' +
           Words::tr("Money decimals: %1").arg(m.decimals) + '\n';
}

TFlowOutcome RestoreBackup(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                           const std::string& folder,
                           const std::function<bool(const TComparison&)>& beforeSending,
                           TComparison& comparison) {
    TBackupManifest manifest;
    if (TFlowOutcome checked = CheckBackup(folder, manifest); !checked.Done())
        return checked;
    TGridModel plu(MakePLUTable(), PLUTitles);
    TGridModel dept(MakeDeptTable(), DeptTitles);
    RecyTable recy;
    InitialRecyTable(recy);
    const std::string document = folder + "/" + BackupDocumentName;
    if (const int error = ReadDocumentFiles(document, plu.Table(), dept.Table(), recy))
        return FileOutcome(document, error);
    std::string parameters = folder + "/" + BackupParametersName;
    QTemporaryDir scratch;
    if (manifest.decimalSeparator != DecimalSeparator()) {
        ConvertDocument(plu.Table(), dept.Table(), recy, manifest.decimalSeparator,
                        DecimalSeparator());
        const std::string copy = LocalPath(scratch.filePath(BackupParametersName));
        if (!scratch.isValid() || !CopyFileAtomically(parameters, copy) ||
            !ConvertParameters(copy, manifest.decimalSeparator, DecimalSeparator()))
            return FileOutcome(copy, LastError());
        parameters = copy;
    }
    TTransferContext ctx{
        bus,  progress,  plu, dept, recy, AllKinds, manifest.rangeBegin, manifest.rangeEnd,
        port, parameters};
    if (TFlowOutcome compared = CompareWithRegister(ctx, comparison, manifest.amountDecimals);
        !compared.Done())
        return compared;
    // Amounts are counts of the register's smallest unit: under other decimals every one of
    // them would mean another price.
    if (comparison.status.Decimals != manifest.decimals)
        return DecimalsRefusal(manifest.decimals, comparison.status.Decimals);
    if (comparison.Equal())
        return {};
    if (beforeSending && !beforeSending(comparison))
        return {TFlowResult::Cancelled, {}};
    return SendChanges(ctx, comparison);
}

bool BackupBeforeDownload() {
    return IniFile(SystemCfgPath()).ReadBool(SettingsSection, BackupFirstKey, false);
}

bool SetBackupBeforeDownload(bool on) {
    IniFile cfg(SystemCfgPath());
    cfg.WriteBool(SettingsSection, BackupFirstKey, on);
    return cfg.Save();
}
