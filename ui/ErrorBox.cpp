#include "ErrorBox.h"

#include "CodePage.h"
#include "DocumentFile.h"
#include "FlowOutcome.h"
#include "SPComm.h"
#include "Settings.h"

#include <QMessageBox>
#include <QString>
#include <QWidget>

#include <cstring>

void ShowCommErrorBox(const std::string& text, const ECommsError&) {
    QMessageBox::critical(nullptr, QString(), QString::fromLocal8Bit(text.c_str()),
                          QMessageBox::Ok);
}

void ShowSystemCfgWriteError(QWidget* parent, int error) {
    QMessageBox box(QMessageBox::Critical, parent ? parent->windowTitle() : QString(),
                    QString::fromStdString(FileErrorText(error)), QMessageBox::Ok, parent);
    box.setInformativeText(QString::fromLocal8Bit(SystemCfgPath()) + QStringLiteral(": ") +
                           QString::fromLocal8Bit(std::strerror(error)));
    box.exec();
}

QString OutcomeText(const TFlowOutcome& outcome) {
    switch (outcome.result) {
    case TFlowResult::PortNotOpened:
        return QStringLiteral("the port could not be opened");
    case TFlowResult::Cancelled:
        return QStringLiteral("cancelled");
    case TFlowResult::FileFailed:
        return QString::fromLocal8Bit(outcome.errorText);
    default:
        return DocumentCodePage().ToUnicode(outcome.errorText);
    }
}
