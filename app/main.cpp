#include "AboutBox.h"
#include "CodePage.h"
#include "Defs.h"
#include "FilePlaces.h"
#include "MainForm.h"
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

int main(int argc, char** argv) {
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
    SetDocumentCodePage(ConfiguredCodePage());
    const QString point = QLocale().decimalPoint();
    SetDecimalSeparator(point.size() == 1 && point[0].unicode() < 128 ? char(point[0].unicode())
                                                                      : '.');

    TMainForm mainForm;
    mainForm.guideFile = places.guideFile;
    mainForm.AboutBox()->ShowRelease(QString::fromStdString(ReleaseText()));
    // Without a window manager "maximised" means nothing; fill the screen all the same.
    mainForm.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    mainForm.showMaximized();
    if (!placeProblem.empty())
        QMessageBox::warning(&mainForm, "Quorve PLU manager",
                             QString::fromLocal8Bit(placeProblem.c_str()) +
                                 "\n\nChanged settings and the communication log cannot be kept "
                                 "until this is mended.");
    // Start-up measurement: leave as soon as the shown window has been painted.
    if (qEnvironmentVariableIsSet("QPLU_EXIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
