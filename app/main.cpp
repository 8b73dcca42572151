#include "AboutBox.h"
#include "CodePage.h"
#include "Defs.h"
#include "DisplayTexts.h"
#include "FilePlaces.h"
#include "Language.h"
#include "MainForm.h"
#include "Placement.h"
#include "Release.h"
#include "Settings.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

// --lang pl|en (or --lang=pl); nullopt with the bad word when it names no language.
struct TLanguageOption {
    QString language;
    std::optional<std::string> bad;
};

TLanguageOption LanguageOption(int argc, char** argv) {
    TLanguageOption option;
    for (int i = 1; i < argc; ++i) {
        std::string word;
        if (std::strcmp(argv[i], "--lang") == 0)
            word = i + 1 < argc ? argv[++i] : "";
        else if (std::strncmp(argv[i], "--lang=", 7) == 0)
            word = argv[i] + 7;
        else
            continue;
        option.language = LanguageCode(QString::fromLocal8Bit(word.c_str()));
        if (option.language.isEmpty())
            option.bad = word;
    }
    return option;
}

} // namespace

int main(int argc, char** argv) {
    const TLanguageOption languageOption = LanguageOption(argc, argv);
    if (languageOption.bad) {
        std::fprintf(stderr, "quorve-plu: --lang takes pl or en, not \"%s\"\n",
                     languageOption.bad->c_str());
        return 2;
    }
    // Asked from a terminal, which may have no display for the window.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") != 0)
            continue;
        const std::string text = "quorve-plu " + ReleaseText() + "\n";
        if (std::fputs(text.c_str(), stdout) >= 0 && std::fclose(stdout) == 0)
            return 0;
        std::fprintf(stderr, "quorve-plu: standard output: %s\n", std::strerror(errno));
        return 1;
    }
    QApplication app(argc, argv);
    app.setApplicationName("Quorve PLU manager");
    app.setApplicationVersion(QString::fromStdString(ReleaseText()));
    // The desktop entry's name: docks and Wayland compositors take the icon from it.
    QGuiApplication::setDesktopFileName(ProgramIconName);
    if (const QIcon icon = QIcon::fromTheme(ProgramIconName); !icon.pixmap(48, 48).isNull())
        QApplication::setWindowIcon(icon);

    const TFilePlaces places =
        FindFilePlaces(QCoreApplication::applicationDirPath().toLocal8Bit().toStdString());
    SetFilePlaces(places);
    const std::string placeProblem = PrepareFilePlaces(places);
    ReadStartSettings();
    SetTranslationsDir(TranslationsDirOf(places.programDir));
    InstallLanguage(ChooseLanguage(languageOption.language, RememberedLanguage()));
    SetDocumentCodePage(ConfiguredCodePage());
    TranslateDisplayTables();
    const QString point = QLocale().decimalPoint();
    SetDecimalSeparator(point.size() == 1 && point[0].unicode() < 128 ? char(point[0].unicode())
                                                                      : '.');

    TMainForm mainForm;
    mainForm.guideFile = GuideFileIn(places.guideFile, CurrentLanguage());
    mainForm.AboutBox()->ShowRelease(QString::fromStdString(ReleaseText()));
    // Without a window manager "maximised" means nothing; fill the screen all the same.
    mainForm.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    mainForm.showMaximized();
    if (!placeProblem.empty())
        QMessageBox::warning(&mainForm, "Quorve PLU manager",
                             QString::fromLocal8Bit(placeProblem.c_str()) + "\n\n" +
                                 QCoreApplication::translate(
                                     "main", "Changed settings and the communication log cannot "
                                             "be kept until this is mended."));
    // Start-up measurement: leave as soon as the shown window has been painted.
    if (qEnvironmentVariableIsSet("QPLU_EXIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
