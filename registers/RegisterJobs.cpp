#include "RegisterJobs.h"

#include <QJsonDocument>
#include <QProcess>
#include <QTimer>

#include <algorithm>

namespace {

// A child's stderr is kept for the results window; a flood of it is not.
constexpr qsizetype MaxNotes = 64 * 1024;

constexpr int ExitDifferent = 10;
constexpr int ExitCancelled = 130;

QString LastLine(const QString& text) {
    const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        if (!line->trimmed().isEmpty())
            return line->trimmed();
    return {};
}

} // namespace

qint64 TJob::ElapsedMs(qint64 nowMs) const {
    if (startedMs < 0)
        return 0;
    return (endedMs >= 0 ? endedMs : nowMs) - startedMs;
}

const char* JobStateName(TJobState state) {
    switch (state) {
    case TJobState::Waiting:
        return "waiting";
    case TJobState::Running:
        return "running";
    case TJobState::Done:
        return "done";
    case TJobState::Different:
        return "different";
    case TJobState::Failed:
        return "failed";
    case TJobState::Cancelled:
        break;
    }
    return "cancelled";
}

void ApplyJobEvent(TJob& job, const QJsonObject& event) {
    if (event.contains("result")) {
        job.result = event;
        job.exitCode = event.value("exit").toInt(job.exitCode);
        if (event.contains("message"))
            job.error = event.value("message").toString();
        return;
    }
    const QString kind = event.value("event").toString();
    if (kind == "status") {
        job.step = event.value("text").toString();
        job.current = job.total = 0;
    } else if (kind == "package") {
        job.current = event.value("current").toInt();
        job.total = event.value("total").toInt();
    } else if (kind == "error") {
        job.error = event.value("text").toString();
    }
}

void FinishJob(TJob& job, bool crashed, int exitCode, int signal) {
    if (crashed) {
        job.state = TJobState::Failed;
        job.error = TJobRunner::tr("quorve-plu-cli ended by signal %1").arg(signal);
        return;
    }
    job.exitCode = exitCode;
    switch (exitCode) {
    case 0:
        job.state = TJobState::Done;
        job.error.clear();
        return;
    case ExitDifferent:
        job.state = TJobState::Different;
        return;
    case ExitCancelled:
        job.state = TJobState::Cancelled;
        return;
    default:
        job.state = TJobState::Failed;
    }
    if (job.error.isEmpty())
        job.error = LastLine(job.notes);
    if (job.error.isEmpty())
        job.error = TJobRunner::tr("quorve-plu-cli ended with exit %1").arg(exitCode);
}

QString JobIdentification(const TJob& job) {
    return job.result.value("identification").toString();
}

struct TJobRunner::Child {
    QProcess process;
    QByteArray pending; // a line not yet ended
    QTimer killTimer;
};

TJobRunner::TJobRunner(QString program, QStringList args, QObject* parent)
    : QObject(parent), program_(std::move(program)), args_(std::move(args)) {
    clock_.start();
}

TJobRunner::~TJobRunner() {
    // Children are not left to run on without anyone reading them.
    for (auto& child : children_) {
        if (!child || child->process.state() == QProcess::NotRunning)
            continue;
        child->process.disconnect();
        child->process.terminate();
        if (!child->process.waitForFinished(cancelGraceMs))
            child->process.kill();
        child->process.waitForFinished(2000);
    }
}

std::vector<TJob> TJobRunner::JobsFor(const std::vector<TRegister>& registers) {
    std::vector<TJob> jobs;
    for (const TRegister& reg : registers) {
        TJob job;
        job.reg = reg;
        job.port = PortOf(reg);
        job.portKey = PortKey(job.port);
        jobs.push_back(std::move(job));
    }
    return jobs;
}

void TJobRunner::Start(std::vector<TJob> jobs) {
    jobs_ = std::move(jobs);
    children_.clear();
    children_.resize(jobs_.size());
    asking_.assign(jobs_.size(), false);
    for (TJob& job : jobs_)
        job.state = TJobState::Waiting;
    cancelling_ = false;
    finishedTold_ = false;
    StartReady();
    CheckFinished();
}

bool TJobRunner::RetryUnfinished() {
    if (Running())
        return false;
    bool any = false;
    for (TJob& job : jobs_) {
        if (!job.Unfinished())
            continue;
        job.state = TJobState::Waiting;
        job.startedMs = job.endedMs = -1;
        any = true;
    }
    if (!any)
        return false;
    cancelling_ = false;
    finishedTold_ = false;
    for (size_t i = 0; i < jobs_.size(); ++i)
        if (jobs_[i].state == TJobState::Waiting)
            emit JobChanged(int(i));
    StartReady();
    return true;
}

void TJobRunner::Cancel() {
    if (!Running())
        return;
    cancelling_ = true;
    for (size_t i = 0; i < jobs_.size(); ++i) {
        TJob& job = jobs_[i];
        if (job.state == TJobState::Waiting && !asking_[i]) {
            job.state = TJobState::Cancelled;
            emit JobChanged(int(i));
        } else if (job.state == TJobState::Running && children_[i]) {
            Child& child = *children_[i];
            // SIGTERM is the child's Ctrl+C: it ends the connection as a Cancel does.
            child.process.terminate();
            child.killTimer.start(cancelGraceMs);
        }
    }
    CheckFinished();
}

bool TJobRunner::Running() const {
    return !finishedTold_;
}

bool TJobRunner::PortBusy(const std::string& key) const {
    if (key.empty())
        return false;
    for (size_t i = 0; i < jobs_.size(); ++i)
        if (jobs_[i].portKey == key && (jobs_[i].state == TJobState::Running || asking_[i]))
            return true;
    return false;
}

bool TJobRunner::Shared(size_t index) const {
    const std::string& key = jobs_[index].portKey;
    return !key.empty() && std::count_if(jobs_.begin(), jobs_.end(),
                                         [&](const TJob& job) { return job.portKey == key; }) > 1;
}

void TJobRunner::StartReady() {
    for (size_t i = 0; i < jobs_.size(); ++i) {
        TJob& job = jobs_[i];
        if (job.state != TJobState::Waiting || asking_[i] || PortBusy(job.portKey))
            continue;
        if (cancelling_) {
            job.state = TJobState::Cancelled;
            emit JobChanged(int(i));
            continue;
        }
        if (!Shared(i) || !askTurn) {
            Launch(i);
            continue;
        }
        asking_[i] = true;
        emit JobChanged(int(i));
        askTurn(i, [this, i](bool go) {
            asking_[i] = false;
            if (go && !cancelling_) {
                Launch(i);
            } else {
                jobs_[i].state = TJobState::Cancelled;
                emit JobChanged(int(i));
            }
            StartReady();
            CheckFinished();
        });
    }
}

void TJobRunner::Launch(size_t index) {
    TJob& job = jobs_[index];
    job.state = TJobState::Running;
    job.step.clear();
    job.current = job.total = 0;
    job.error.clear();
    job.notes.clear();
    job.result = {};
    job.exitCode = -1;
    job.startedMs = clock_.elapsed();
    job.endedMs = -1;
    children_[index] = std::make_unique<Child>();
    Child& child = *children_[index];
    child.killTimer.setSingleShot(true);
    connect(&child.killTimer, &QTimer::timeout, this, [&child] { child.process.kill(); });
    connect(&child.process, &QProcess::readyReadStandardOutput, this,
            [this, index] { ReadLines(index); });
    connect(&child.process, &QProcess::readyReadStandardError, this, [this, index] {
        TJob& j = jobs_[index];
        j.notes += QString::fromUtf8(children_[index]->process.readAllStandardError());
        if (j.notes.size() > MaxNotes)
            j.notes = j.notes.right(MaxNotes);
    });
    connect(&child.process, &QProcess::finished, this,
            [this, index](int code, QProcess::ExitStatus status) {
                Ended(index, code, status == QProcess::CrashExit);
            });
    connect(
        &child.process, &QProcess::errorOccurred, this, [this, index](QProcess::ProcessError e) {
            if (e != QProcess::FailedToStart)
                return;
            TJob& j = jobs_[index];
            j.state = TJobState::Failed;
            j.error =
                tr("Cannot start %1: %2").arg(program_, children_[index]->process.errorString());
            j.endedMs = clock_.elapsed();
            emit JobChanged(int(index));
            StartReady();
            CheckFinished();
        });
    QStringList args = args_ + job.extraArgs;
    args << "--register" << QString::fromStdString(job.reg.name) << "--json";
    child.process.start(program_, args);
    emit JobChanged(int(index));
}

void TJobRunner::ReadLines(size_t index) {
    Child& child = *children_[index];
    child.pending += child.process.readAllStandardOutput();
    qsizetype end;
    bool changed = false;
    while ((end = child.pending.indexOf('\n')) >= 0) {
        const QJsonDocument line = QJsonDocument::fromJson(child.pending.left(end));
        child.pending.remove(0, end + 1);
        if (line.isObject()) {
            ApplyJobEvent(jobs_[index], line.object());
            changed = true;
        }
    }
    if (changed)
        emit JobChanged(int(index));
}

void TJobRunner::Ended(size_t index, int exitCode, bool crashed) {
    Child& child = *children_[index];
    child.killTimer.stop();
    ReadLines(index);
    TJob& job = jobs_[index];
    job.notes += QString::fromUtf8(child.process.readAllStandardError());
    // Qt gives the signal as the exit code of a child that was killed.
    FinishJob(job, crashed, exitCode, exitCode);
    if (crashed && cancelling_)
        job.state = TJobState::Cancelled;
    job.endedMs = clock_.elapsed();
    emit JobChanged(int(index));
    // Not deleted from inside its own signal.
    QTimer::singleShot(0, this, [this, index, process = &child] {
        if (children_[index] && &*children_[index] == process &&
            jobs_[index].state != TJobState::Running)
            children_[index].reset();
    });
    StartReady();
    CheckFinished();
}

void TJobRunner::CheckFinished() {
    if (finishedTold_)
        return;
    for (size_t i = 0; i < jobs_.size(); ++i)
        if (!jobs_[i].Finished() || asking_[i])
            return;
    finishedTold_ = true;
    emit Finished();
}
