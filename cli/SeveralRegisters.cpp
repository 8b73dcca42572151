// One command for several registers of the list (--registers, --group, --all): each register's
// job is this program again, run with --register NAME --json, so each has its own port, its own
// settings file and its own trace; jobs on different ports run at the same time. One JSON object
// per register, the failed ones named on stderr, and an exit code for the whole.
#include "CommandSupport.h"

#include "RegisterJobs.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <deque>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The arguments each job runs: the command as given, without the choice of registers and the
// output options the runner sets itself.
QStringList JobArguments(const TCommandLine& line) {
    QStringList args;
    for (size_t i = 0; i < line.args.size(); ++i) {
        const std::string& arg = line.args[i];
        if (arg == "--registers" || arg == "--group" ||
            (line.command == TCliCommand::Report && (arg == "-o" || arg == "--output"))) {
            ++i;
            continue;
        }
        if (arg == "--all" || arg == "--json" || arg == "--quiet" || arg == "-q")
            continue;
        args << QString::fromLocal8Bit(arg);
    }
    return args;
}

// A technician's one adapter moved from register to register: on a terminal each register's
// turn is asked for, one question at a time, while the other jobs run on.
class TTurnPrompt {
public:
    explicit TTurnPrompt(const TOutput& output) : output_(output) {
        notifier_ = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
        notifier_->setEnabled(false);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Read(); });
    }

    void Ask(const QString& question, std::function<void(bool)> answer) {
        queue_.push_back({question, std::move(answer)});
        if (queue_.size() == 1)
            ShowFront();
    }
    // Ctrl+C: no register waiting for its turn gets it.
    void Refuse() {
        notifier_->setEnabled(false);
        auto waiting = std::move(queue_);
        queue_.clear();
        for (auto& [question, answer] : waiting)
            answer(false);
    }

private:
    void ShowFront() {
        output_.Note(queue_.front().first + " " +
                     CliText::tr("Press Enter when it is (n and Enter skips it)."));
        notifier_->setEnabled(true);
    }
    void Read() {
        char bytes[256];
        const ssize_t n = ::read(STDIN_FILENO, bytes, sizeof bytes);
        if (n <= 0) { // no one is there to answer any more
            Refuse();
            return;
        }
        typed_.append(bytes, size_t(n));
        while (!queue_.empty()) {
            const size_t end = typed_.find('\n');
            if (end == std::string::npos)
                return;
            const std::string reply = typed_.substr(0, end);
            typed_.erase(0, end + 1);
            auto [question, answer] = std::move(queue_.front());
            queue_.pop_front();
            notifier_->setEnabled(false);
            answer(reply != "n" && reply != "N" && reply != "no");
            if (!queue_.empty())
                ShowFront();
        }
    }

    const TOutput& output_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::deque<std::pair<QString, std::function<void(bool)>>> queue_;
    std::string typed_;
};

QString Seconds(const TJob& job, qint64 nowMs) {
    return QString::number(double(job.ElapsedMs(nowMs)) / 1000.0, 'f', 1) + " s";
}

// The job's line of --json: the register's, with what its own command said at its end.
QJsonObject JobObject(const TJob& job, qint64 nowMs) {
    QJsonObject object = job.result;
    object.remove("result");
    object.insert("event", "register");
    object.insert("register", QString::fromStdString(job.reg.name));
    object.insert("port", Local(job.port.name));
    object.insert("device", Local(job.port.device));
    object.insert("state", JobStateName(job.state));
    object.insert("exit", job.exitCode);
    object.insert("seconds", double(job.ElapsedMs(nowMs)) / 1000.0);
    if (!job.error.isEmpty())
        object.insert("message", job.error);
    return object;
}

// How each job ends is told as it ends: a line, its data, or its JSON object.
void TellEnd(const TCommandLine& line, const TOutput& output, const TJob& job, qint64 nowMs) {
    const QString name = QString::fromStdString(job.reg.name);
    output.Event(JobObject(job, nowMs));
    QString end = name + ": " + JobStateName(job.state) + " (" + Seconds(job, nowMs) + ")";
    if (const QString id = JobIdentification(job); !id.isEmpty())
        end += ", " + id;
    if (job.state == TJobState::Different)
        end += QString(", %1 differences").arg(job.result.value("differences").toInt());
    if (job.state == TJobState::Failed)
        end += ": " + job.error;
    output.Note(end);
    if (output.Json() || job.state != TJobState::Done)
        return;
    if (line.command == TCliCommand::Report && line.output.empty()) {
        const QByteArray text =
            job.result.contains("report_base64")
                ? QByteArray::fromBase64(job.result.value("report_base64").toString().toLatin1())
                : job.result.value("report").toString().toUtf8();
        output.Data("==> " + name.toUtf8() + " <==\n" + text + (text.endsWith('\n') ? "" : "\n"));
    } else if (line.command == TCliCommand::Backup) {
        output.Data((name + '\t' + job.result.value("folder").toString() + '\n').toUtf8());
    }
}

// Registers sharing a port, told before anything runs.
void TellSharedPorts(const std::vector<TJob>& jobs, const TOutput& output) {
    std::map<std::string, QStringList> byPort;
    for (const TJob& job : jobs)
        if (!job.portKey.empty())
            byPort[job.portKey] << QString::fromStdString(job.reg.name);
    for (const auto& [port, names] : byPort)
        if (names.size() > 1)
            output.Note(CliText::tr("%1 share %2: they run one after another.")
                            .arg(names.join(", "), Local(port)));
}

// What the caller must have before any register is asked: the document, the reports' folder.
int CheckFiles(const TCommandLine& line, const TOutput& output) {
    struct stat info {};
    if ((line.command == TCliCommand::Download || line.command == TCliCommand::Compare) &&
        !line.files.empty()) {
        TDocumentTables doc;
        if (const int error = doc.Read(line.files[0]))
            return FileFailed(output, line.files[0], error);
    }
    if (line.command == TCliCommand::Report && !line.output.empty()) {
        if (::stat(line.output.c_str(), &info) != 0)
            return FileFailed(output, line.output, errno);
        if (!S_ISDIR(info.st_mode))
            return FileFailed(output, line.output, ENOTDIR);
        if (::access(line.output.c_str(), W_OK) != 0)
            return FileFailed(output, line.output, errno);
    }
    return ExitDone;
}

} // namespace

int commands::OnRegisters(const TCommandLine& line, const TOutput& output) {
    TRegisterList list;
    if (const std::string problem = list.Load(); !problem.empty()) {
        output.Error(Local(problem));
        return output.Finish(ExitFile, {{"message", Local(problem)}});
    }
    std::string problem;
    const std::vector<TRegister> chosen = list.Select(line.registers, &problem);
    if (!problem.empty() || chosen.empty()) {
        const QString text = problem.empty() ? QString("no register is chosen") : Local(problem);
        output.Error(text + " (quorve-plu-cli registers lists them)");
        return output.Finish(ExitUsage, {{"message", text}});
    }
    if (const int code = CheckFiles(line, output); code != ExitDone)
        return code;

    std::vector<TJob> jobs = TJobRunner::JobsFor(chosen);
    const QString stamp = QDateTime::currentDateTime().toString("yyyy-MM-dd_HH-mm-ss");
    if (line.command == TCliCommand::Report && !line.output.empty())
        for (TJob& job : jobs)
            job.extraArgs = {"-o", Local(line.output) + "/" + QString::fromStdString(job.reg.name) +
                                       "_" + stamp + ".txt"};
    TellSharedPorts(jobs, output);

    TJobRunner runner(QCoreApplication::applicationFilePath(), JobArguments(line));
    TTurnPrompt prompt(output);
    if (!output.Json() && !output.Quiet() && isatty(STDIN_FILENO) && isatty(STDERR_FILENO))
        runner.askTurn = [&](size_t i, std::function<void(bool)> answer) {
            const TJob& job = runner.Jobs()[i];
            prompt.Ask("Connect the register " + QString::fromStdString(job.reg.name) + " to " +
                           Local(job.port.device) + ".",
                       std::move(answer));
        };
    bool cancelled = false;
    TCancelSignals cancelSignals([&] {
        if (cancelled)
            return;
        cancelled = true;
        output.Note(CliText::tr("Cancelled: every register running is told the connection ends."));
        prompt.Refuse();
        runner.Cancel();
    });
    std::vector<TJobState> told(jobs.size(), TJobState::Waiting);
    QObject::connect(&runner, &TJobRunner::JobChanged, [&](int i) {
        const TJob& job = runner.Jobs()[size_t(i)];
        if (job.state == told[size_t(i)])
            return;
        told[size_t(i)] = job.state;
        if (job.state == TJobState::Running)
            output.Note(CliText::tr("%1: started on %2 (%3)")
                            .arg(QString::fromStdString(job.reg.name), Local(job.port.name),
                                 Local(job.port.device)));
        else if (job.Finished())
            TellEnd(line, output, job, runner.NowMs());
    });
    QEventLoop loop;
    QObject::connect(&runner, &TJobRunner::Finished, &loop, &QEventLoop::quit);
    runner.Start(std::move(jobs));
    if (runner.Running())
        loop.exec();

    QJsonArray done, failed, different, skipped;
    for (const TJob& job : runner.Jobs()) {
        const QString name = QString::fromStdString(job.reg.name);
        switch (job.state) {
        case TJobState::Done:
            done.append(name);
            break;
        case TJobState::Different:
            different.append(name);
            break;
        case TJobState::Failed:
            failed.append(name);
            output.Error(name + ": " + job.error);
            break;
        default:
            skipped.append(name);
        }
    }
    output.Note(
        QString("%1 registers: %2 done, %3 failed%4%5.")
            .arg(runner.Jobs().size())
            .arg(done.size() + different.size())
            .arg(failed.size())
            .arg(different.isEmpty() ? QString() : QString(", %1 different").arg(different.size()))
            .arg(skipped.isEmpty() ? QString() : QString(", %1 cancelled").arg(skipped.size())));
    const TExitCode code = cancelled                                 ? ExitCancelled
                           : !failed.isEmpty() || !skipped.isEmpty() ? ExitRegister
                           : !different.isEmpty()                    ? ExitDifferent
                                                                     : ExitDone;
    return output.Finish(code, {{"registers", int(runner.Jobs().size())},
                                {"done", done},
                                {"failed", failed},
                                {"different", different},
                                {"cancelled", skipped}});
}
