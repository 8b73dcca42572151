#include "CodePage.h"
#include "Defs.h"
#include "MainForm.h"
#include "Settings.h"

#include <QApplication>
#include <QLocale>
#include <QScreen>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName("Quorve PLU manager");

    SetProgramDir(QCoreApplication::applicationDirPath().toLocal8Bit().toStdString());
    ReadStartSettings();
    SetDocumentCodePage(ConfiguredCodePage());
    const QString point = QLocale().decimalPoint();
    SetDecimalSeparator(point.size() == 1 && point[0].unicode() < 128 ? char(point[0].unicode())
                                                                      : '.');

    TMainForm mainForm;
    // Without a window manager "maximised" means nothing; fill the screen all the same.
    mainForm.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    mainForm.showMaximized();
    // Start-up measurement: leave as soon as the shown window has been painted.
    if (qEnvironmentVariableIsSet("QPLU_EXIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
