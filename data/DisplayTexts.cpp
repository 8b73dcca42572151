#include "DisplayTexts.h"

#include "CodePage.h"
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

// The built-in texts of the tables, for lupdate; the tables hold the same words.
[[maybe_unused]] const char* const TableTexts[] = {
    QT_TRANSLATE_NOOP("DisplayTexts", "NO."),
    QT_TRANSLATE_NOOP("DisplayTexts", "Barcode"),
    QT_TRANSLATE_NOOP("DisplayTexts", "Name"),
    QT_TRANSLATE_NOOP("DisplayTexts", "Unit price"),
    QT_TRANSLATE_NOOP("DisplayTexts", "Department"),
    QT_TRANSLATE_NOOP("DisplayTexts", "Stocks"),
    QT_TRANSLATE_NOOP("DisplayTexts", "Flag"),
    QT_TRANSLATE_NOOP("DisplayTexts", "Quantity"),
    QT_TRANSLATE_NOOP("DisplayTexts", "Total"),
    QT_TRANSLATE_NOOP("DisplayTexts", "Tax"),
    QT_TRANSLATE_NOOP("DisplayTexts", "No."),
    QT_TRANSLATE_NOOP("DisplayTexts", "Package price"),
    QT_TRANSLATE_NOOP("DisplayTexts", "PLU"),
    QT_TRANSLATE_NOOP("DisplayTexts", "department"),
    QT_TRANSLATE_NOOP("DisplayTexts", "recycling"),
    QT_TRANSLATE_NOOP("DisplayTexts", "parameter"),
    QT_TRANSLATE_NOOP("DisplayTexts", "Connect"),
    QT_TRANSLATE_NOOP("DisplayTexts", "Disconnect"),
    QT_TRANSLATE_NOOP("DisplayTexts", "Download:"),
    QT_TRANSLATE_NOOP("DisplayTexts", "Upload:"),
};

// Each entry in the installed language, where the document's code page can hold it.
template <size_t N> void TranslateTable(std::array<std::string, N>& table) {
    const CodePage& cp = DocumentCodePage();
    for (std::string& entry : table) {
        const QString translated = QCoreApplication::translate("DisplayTexts", entry.c_str());
        if (const auto bytes = cp.FromUnicode(translated))
            entry = *bytes;
    }
}

} // namespace

// The kind names and step words stay English in the tables: they go into the progress texts,
// which the history's journal keeps as the register's exchange said them. The windows show them
// through DisplayWord.
void TranslateDisplayTables() {
    TranslateTable(PLUTitles);
    TranslateTable(DeptTitles);
    TranslateTable(RecyTitles);
}

QString DisplayWord(const std::string& word) {
    const QString text = DocumentCodePage().ToUnicode(word);
    return QCoreApplication::translate("DisplayTexts", text.toUtf8().constData());
}

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
