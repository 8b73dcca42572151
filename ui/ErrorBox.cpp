#include "ErrorBox.h"

#include "CodePage.h"
#include "DocumentFile.h"
#include "FlowOutcome.h"
#include "Language.h"
#include "PortFailure.h"
#include "ProgressForm.h"
#include "SPComm.h"
#include "Settings.h"
#include "TolvIBus.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QString>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstring>

namespace {

QString Lines(const std::vector<std::string>& lines, size_t from) {
    QStringList texts;
    for (size_t i = from; i < lines.size(); ++i)
        texts << QString::fromLocal8Bit(lines[i]);
    return texts.join('\n');
}

// The reason and the way out are to be copied into a terminal: a command, a udev rule. Device
// paths and rules are long; a box as narrow as its first text would break them mid-word.
void MakeSelectableAndWide(QMessageBox& box) {
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* informative = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
    if (!informative)
        return;
    informative->setTextInteractionFlags(Qt::TextSelectableByMouse);
    int widest = 0;
    for (const QString& line : informative->text().split('\n'))
        widest = std::max(widest, informative->fontMetrics().horizontalAdvance(line));
    informative->setMinimumWidth(std::min(widest + 8, 640));
}

} // namespace

void ShowCommErrorBox(const std::string& text, const ECommsError& error,
                      const std::string& devicePath) {
    QMessageBox box(QMessageBox::Critical, QString(), QString::fromLocal8Bit(text.c_str()),
                    QMessageBox::Ok);
    const PortFailure why = ExplainPortFailure(devicePath, error, PortSystem::Current());
    if (!why.lines.empty()) {
        box.setInformativeText(Lines(why.lines, 0));
        MakeSelectableAndWide(box);
    }
    box.exec();
}

std::function<void(const std::string&, const ECommsError&)>
CommErrorBoxFor(const TTolvIBusComm& bus) {
    return [&bus](const std::string& text, const ECommsError& error) {
        ShowCommErrorBox(text, error, PortDevicePath(bus.CommName()));
    };
}

void ShowLatencyNotice(QWidget* parent, const std::vector<std::string>& lines) {
    if (lines.empty())
        return;
    // No parent: the progress window disables the main window and every window it owns, and
    // this one must stay open to be read and closed while the exchange runs.
    auto* box = new QMessageBox(QMessageBox::Information,
                                QCoreApplication::translate("ErrorBox", "Serial adapter"),
                                QString::fromLocal8Bit(lines[0]), QMessageBox::Ok);
    box->setObjectName(QStringLiteral("LatencyNotice"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->setInformativeText(Lines(lines, 1));
    MakeSelectableAndWide(*box);
    box->show();
    if (parent) {
        QWidget* main = parent->window();
        // Not owned by the main window (see above), but not outliving it either.
        QObject::connect(main, &QObject::destroyed, box, [box] { delete box; });
        if (main->windowHandle() && box->windowHandle())
            box->windowHandle()->setTransientParent(main->windowHandle());
        // Near the top of the main window, clear of the progress window in its middle.
        const QRect area = main->frameGeometry();
        box->move(area.center().x() - box->width() / 2, area.top() + area.height() / 8);
    }
}

void ShowSystemCfgWriteError(QWidget* parent, int error) {
    QMessageBox box(QMessageBox::Critical, parent ? parent->windowTitle() : QString(),
                    PeopleText(FileErrorText(error)), QMessageBox::Ok, parent);
    box.setInformativeText(QString::fromLocal8Bit(SystemCfgPath()) + QStringLiteral(": ") +
                           QString::fromLocal8Bit(std::strerror(error)));
    box.exec();
}

QString OutcomeText(const TFlowOutcome& outcome) {
    switch (outcome.result) {
    case TFlowResult::PortNotOpened:
        return QCoreApplication::translate("ErrorBox", "the port could not be opened");
    case TFlowResult::Cancelled:
        return QCoreApplication::translate("ErrorBox", "cancelled");
    case TFlowResult::FileFailed:
        return QString::fromLocal8Bit(outcome.PeopleText());
    default:
        // A refusal the flow worded itself, or the register's step as the progress window said it.
        return outcome.peopleText.empty() ? ProgressText(outcome.errorText)
                                          : QString::fromLocal8Bit(outcome.peopleText);
    }
}
