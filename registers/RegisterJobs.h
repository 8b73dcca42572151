#pragma once
// One command for several registers: each register gets a job of its own, a quorve-plu-cli
// child process with the register's name and --json, so that every job has its own port, its own
// protocol component and its own event loop, and one that hangs or fails stops nobody else. The
// runner reads the children's JSON lines. Jobs on different ports run at the same time; jobs of
// registers that share a port run one after another, each after its turn has been granted.

#include "RegisterList.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QProcess;
class QTimer;

enum class TJobState {
    Waiting, // not started: its port is busy, or its turn not yet granted
    Running,
    Done,      // exit 0
    Different, // compare: the register differs from the document (exit 10)
    Failed,
    Cancelled,
};

struct TJob {
    TRegister reg;
    TRegisterPort port;
    std::string portKey;   // jobs with one key share a port; empty shares with none
    QStringList extraArgs; // this register's own arguments (a report's file)

    TJobState state = TJobState::Waiting;
    QString step;    // the step under way, as the progress window titles it
    int current = 0; // block n of total
    int total = 0;
    QString error; // what went wrong, as the user is told
    int exitCode = -1;
    QJsonObject result; // the child's final {"result": ...}
    QString notes;      // what the child told on stderr
    qint64 startedMs = -1;
    qint64 endedMs = -1;

    bool Finished() const { return state >= TJobState::Done; }
    bool Unfinished() const { return state == TJobState::Failed || state == TJobState::Cancelled; }
    // Milliseconds run; a running job counts up to now (the runner's clock).
    qint64 ElapsedMs(qint64 nowMs) const;
};

// What a line of the child's --json output changes in its job.
void ApplyJobEvent(TJob& job, const QJsonObject& event);
// The job's end from the child's exit: state, and an error text where it gave none.
void FinishJob(TJob& job, bool crashed, int exitCode, int signal);
const char* JobStateName(TJobState state);

// The register's identification from the job's result, when it gave one.
QString JobIdentification(const TJob& job);

class TJobRunner : public QObject {
    Q_OBJECT
public:
    // program: quorve-plu-cli. args: the command each register runs (the runner adds
    // --register NAME --json).
    TJobRunner(QString program, QStringList args, QObject* parent = nullptr);
    ~TJobRunner() override;

    // The jobs of the chosen registers, in order.
    static std::vector<TJob> JobsFor(const std::vector<TRegister>& registers);

    void Start(std::vector<TJob> jobs);
    // Runs again the jobs that failed or were cancelled; false when there are none, or while
    // jobs still run.
    bool RetryUnfinished();
    // Ctrl+C or the Cancel button: waiting jobs never start, running ones are stopped as a
    // Cancel stops them (the register is told the connection ended).
    void Cancel();
    bool Running() const;
    bool Cancelling() const { return cancelling_; }
    const std::vector<TJob>& Jobs() const { return jobs_; }
    qint64 NowMs() const { return clock_.elapsed(); }

    // Asked before a job whose port other chosen registers share: the user connects this
    // register, then answers (true runs it, false leaves it cancelled). Unset: it just runs.
    std::function<void(size_t job, std::function<void(bool go)> answer)> askTurn;
    // How long a cancelled child has to end before it is killed.
    int cancelGraceMs = 20000;

signals:
    void JobChanged(int job);
    void Finished();

private:
    struct Child;

    void StartReady();
    void Launch(size_t index);
    void ReadLines(size_t index);
    void Ended(size_t index, int exitCode, bool crashed);
    bool PortBusy(const std::string& key) const;
    bool Shared(size_t index) const;
    void CheckFinished();

    QString program_;
    QStringList args_;
    std::vector<TJob> jobs_;
    std::vector<std::unique_ptr<Child>> children_;
    std::vector<bool> asking_;
    QElapsedTimer clock_;
    bool cancelling_ = false;
    bool finishedTold_ = true;
};
