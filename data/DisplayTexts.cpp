#include "DisplayTexts.h"

#include "Defs.h"
#include "Ini.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

template <size_t N>
void ReadTable(const IniFile& ini, const char* section, std::array<std::string, N>& table) {
    for (size_t i = 0; i < N; ++i)
        table[i] = ini.ReadString(section, std::to_string(i), table[i]);
}

} // namespace

std::string LanguageFileOf(const std::string& programPath) {
    const QFileInfo program(QString::fromLocal8Bit(programPath));
    const QString base = program.suffix().isEmpty()
                             ? program.absoluteFilePath()
                             : program.absolutePath() + '/' + program.completeBaseName();
    return (base + ".LNG").toLocal8Bit().toStdString();
}

std::string LanguageFilePath() {
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    return LanguageFileOf(SettingsDir + program.toLocal8Bit().toStdString());
}

void LoadDisplayTables(const IniFile& ini) {
    ReadTable(ini, "PLU Titles", PLUTitles);
    ReadTable(ini, "Deptment Titles", DeptTitles);
    ReadTable(ini, "Recy Titles", RecyTitles);
    ReadTable(ini, "DownloadItem Tips", DownloadKindNames);
    ReadTable(ini, "UploadItem Tips", UploadKindNames);
    const char* keys[] = {"Connect", "Disconnect", "Download", "Upload"};
    for (size_t i = 0; i < TransferWords.size(); ++i)
        TransferWords[i] = ini.ReadString("String", keys[i], TransferWords[i]);
}
