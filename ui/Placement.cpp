#include "Placement.h"

#include "Ini.h"
#include "Settings.h"

#include <QScreen>
#include <QWidget>

namespace {

constexpr const char* WindowSection = "Window";
constexpr const char* ReportHeightKey = "ReportHeight";
constexpr const char* LastFolderKey = "LastFolder";
constexpr const char* LanguageKey = "Language";

} // namespace

void CentreOnScreen(QWidget* window) {
    QScreen* screen = window->screen();
    if (screen == nullptr)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

TWindowMemory TWindowMemory::Read() {
    const IniFile cfg(SystemCfgPath());
    TWindowMemory memory;
    memory.reportHeight =
        std::max(0, cfg.ReadInteger(WindowSection, ReportHeightKey, memory.reportHeight));
    memory.lastFolder =
        QString::fromLocal8Bit(cfg.ReadString(WindowSection, LastFolderKey, std::string()));
    return memory;
}

bool TWindowMemory::Write() const {
    const TWindowMemory stored = Read();
    // A line break would not survive the INI line; such a folder is not worth remembering.
    const bool folder = lastFolder != stored.lastFolder && !lastFolder.contains(u'\n') &&
                        !lastFolder.contains(u'\r');
    if (reportHeight == stored.reportHeight && !folder)
        return true;
    IniFile cfg(SystemCfgPath());
    cfg.WriteInteger(WindowSection, ReportHeightKey, reportHeight);
    // Paths are the system's bytes, as the file names of documents are.
    if (folder)
        cfg.WriteString(WindowSection, LastFolderKey, lastFolder.toLocal8Bit().toStdString());
    return cfg.Save();
}

QString RememberedLanguage() {
    const IniFile cfg(SystemCfgPath());
    return QString::fromStdString(cfg.ReadString(WindowSection, LanguageKey, "system"));
}

bool RememberLanguage(const QString& choice) {
    IniFile cfg(SystemCfgPath());
    cfg.WriteString(WindowSection, LanguageKey, choice.toStdString());
    return cfg.Save();
}
