#include "JobModel.h"

#include "CodePage.h"
#include "ProgressForm.h"
#include "RegisterJobs.h"

#include <QCoreApplication>
#include <QStringList>

#include <QBrush>
#include <QColor>

namespace {

QString Minutes(qint64 ms) {
    const qint64 seconds = ms / 1000;
    return QString("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
}

// A job tells its steps in the command line's English ("Download:PLU..."): they are shown as the
// progress window shows them.
QString StepText(const QString& english) {
    const std::optional<std::string> bytes = DocumentCodePage().FromUnicode(english);
    return bytes ? ProgressText(*bytes) : english;
}

QString StateText(const TJob& job) {
    switch (job.state) {
    case TJobState::Waiting:
        return QCoreApplication::translate("TJobModel", "Waiting for its port");
    case TJobState::Running:
        return job.step.isEmpty() ? QCoreApplication::translate("TJobModel", "Starting")
                                  : StepText(job.step);
    case TJobState::Done:
        return QCoreApplication::translate("TJobModel", "Done");
    case TJobState::Different:
        return QCoreApplication::translate("TJobModel", "Differs");
    case TJobState::Failed:
        return QCoreApplication::translate("TJobModel", "Failed");
    case TJobState::Cancelled:
        break;
    }
    return QCoreApplication::translate("TJobModel", "Cancelled");
}

} // namespace

TJobModel::TJobModel(const TJobRunner& runner, QObject* parent)
    : QAbstractTableModel(parent), runner_(runner) {
    clock_.setInterval(1000);
    connect(&clock_, &QTimer::timeout, this, &TJobModel::Tick);
    clock_.start();
}

int TJobModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(runner_.Jobs().size());
}

int TJobModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TJobModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || size_t(index.row()) >= runner_.Jobs().size())
        return {};
    const TJob& job = runner_.Jobs()[size_t(index.row())];
    if (role == Qt::ForegroundRole && index.column() == State) {
        if (job.state == TJobState::Failed)
            return QBrush(QColor(176, 0, 0));
        if (job.state == TJobState::Done)
            return QBrush(QColor(0, 112, 0));
        return {};
    }
    if (role == Qt::ToolTipRole && index.column() == Error && !job.error.isEmpty())
        return job.error;
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Register:
        return QString::fromStdString(job.reg.name);
    case Port:
        return QString::fromLocal8Bit(job.port.name) +
               (job.port.device.empty() ? QString()
                                        : " (" + QString::fromLocal8Bit(job.port.device) + ")");
    case State:
        return StateText(job);
    case Block:
        return job.total > 0 ? tr("%1 of %2").arg(job.current).arg(job.total) : QString();
    case Time:
        return job.startedMs < 0 ? QString() : Minutes(job.ElapsedMs(runner_.NowMs()));
    case Error:
        // One line in the table; the whole text is the tip.
        return StepText(job.error.section('\n', 0, 0));
    default:
        return {};
    }
}

QVariant TJobModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const titles[] = {QT_TR_NOOP("Register"), QT_TR_NOOP("Port"),
                                         QT_TR_NOOP("State"),    QT_TR_NOOP("Block"),
                                         QT_TR_NOOP("Time"),     QT_TR_NOOP("Error")};
    return section >= 0 && section < ColumnCount ? tr(titles[section]) : QString();
}

void TJobModel::JobChanged(int job) {
    emit dataChanged(index(job, 0), index(job, ColumnCount - 1));
}

void TJobModel::Reset() {
    beginResetModel();
    endResetModel();
}

void TJobModel::Tick() {
    const std::vector<TJob>& jobs = runner_.Jobs();
    for (size_t i = 0; i < jobs.size(); ++i)
        if (jobs[i].state == TJobState::Running)
            emit dataChanged(index(int(i), Time), index(int(i), Time));
}

QString TJobModel::Summary() const {
    int done = 0, failed = 0, running = 0, other = 0;
    for (const TJob& job : runner_.Jobs()) {
        done += job.state == TJobState::Done || job.state == TJobState::Different;
        failed += job.state == TJobState::Failed;
        running += job.state == TJobState::Running;
        other += job.state == TJobState::Cancelled;
    }
    // Each part a whole phrase of its own, so a translation can inflect its number.
    QStringList parts{tr("%1 of %n done", nullptr, int(runner_.Jobs().size())).arg(done)};
    if (running)
        parts << tr("%n running", nullptr, running);
    if (failed)
        parts << tr("%n failed", nullptr, failed);
    if (other)
        parts << tr("%n cancelled", nullptr, other);
    return parts.join(tr(", ")) + tr(".");
}
