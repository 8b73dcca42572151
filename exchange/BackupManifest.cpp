#include "BackupManifest.h"

#include "Ini.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

constexpr const char* Section = "Backup";
constexpr const char* FilesSection = "Files";
const char* const FileNames[] = {"register.PLU", "register.DEP", "register.RCY", "parameters.ini"};

// Rows of a .PLU file whose Name is not empty.
int NamedRowsOfFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    int named = 0;
    for (int row = 0; row < PLURowCount && !file.atEnd(); ++row) {
        const QByteArray line = file.readLine();
        const qsizetype tab = line.indexOf('\t');
        named +=
            tab >= 0 && tab + 1 < line.size() && !QByteArrayView("\t\r\n").contains(line[tab + 1]);
    }
    return named;
}

} // namespace

std::string TBackupManifest::Text() const {
    IniFile ini = IniFile::FromText("");
    ini.WriteString(Section, "Date", date);
    ini.WriteString(Section, "Identification", identification);
    ini.WriteString(Section, "PLU range",
                    std::to_string(rangeBegin) + "-" + std::to_string(rangeEnd));
    ini.WriteInteger(Section, "Decimals", decimals);
    ini.WriteString(Section, "Decimal separator", std::string(1, decimalSeparator));
    ini.WriteInteger(Section, "Amount decimals", amountDecimals);
    ini.WriteInteger(Section, "PLU items", pluItems);
    ini.WriteInteger(Section, "Named PLU items", namedPluItems);
    ini.WriteInteger(Section, "Departments", departments);
    ini.WriteInteger(Section, "Package prices", packagePrices);
    ini.WriteInteger(Section, "Sales records", salesRecords);
    for (const auto& [file, sum] : checksums)
        ini.WriteString(FilesSection, file, sum);
    return ini.Text();
}

std::optional<TBackupManifest> TBackupManifest::FromFile(const std::string& path) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    const IniFile ini = IniFile::FromText(bytes.toStdString());
    TBackupManifest m;
    m.date = ini.ReadString(Section, "Date", "");
    m.identification = ini.ReadString(Section, "Identification", "");
    const std::string range = ini.ReadString(Section, "PLU range", "");
    if (std::sscanf(range.c_str(), "%d-%d", &m.rangeBegin, &m.rangeEnd) != 2 ||
        m.rangeBegin < MinPluRange || m.rangeEnd > MaxPluRange || m.rangeBegin > m.rangeEnd)
        return std::nullopt;
    m.decimals = ini.ReadInteger(Section, "Decimals", 0);
    const std::string separator = ini.ReadString(Section, "Decimal separator", ".");
    m.decimalSeparator = separator.size() == 1 ? separator[0] : '.';
    m.amountDecimals = ini.ReadInteger(Section, "Amount decimals", 2);
    if (m.decimals < 0 || m.decimals > MaxDecimals || m.amountDecimals < 0 ||
        m.amountDecimals > MaxDecimals)
        return std::nullopt;
    m.pluItems = ini.ReadInteger(Section, "PLU items", 0);
    m.namedPluItems = ini.ReadInteger(Section, "Named PLU items", -1);
    m.departments = ini.ReadInteger(Section, "Departments", 0);
    m.packagePrices = ini.ReadInteger(Section, "Package prices", 0);
    m.salesRecords = ini.ReadInteger(Section, "Sales records", 0);
    for (const char* name : FileNames) {
        const std::string sum = ini.ReadString(FilesSection, name, "");
        if (sum.empty())
            return std::nullopt;
        m.checksums.emplace_back(name, sum);
    }
    if (m.date.empty())
        return std::nullopt;
    if (m.namedPluItems < 0)
        m.namedPluItems = NamedRowsOfFile(QFileInfo(file).dir().filePath(FileNames[0]));
    return m;
}

std::string FileChecksum(const std::string& path) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return hash.result().toHex().toStdString();
}
