#include "TerminalProgress.h"

#include "IBusNames.h"

#include <cstdio>
#include <unistd.h>

namespace {

// Redraws of the bar and progress events, at most this often.
constexpr int DrawIntervalMs = 100;
constexpr int BarWidth = 24;

QString Duration(qint64 seconds) {
    return QString("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
}

} // namespace

TTerminalProgress::TTerminalProgress(const TOutput& output)
    : output_(output), terminal_(!output.Quiet() && isatty(STDERR_FILENO) == 1) {
    stepClock_.start();
    drawClock_.start();
}

TTerminalProgress::~TTerminalProgress() {
    EndLine();
}

void TTerminalProgress::Show() {
    // A Cancel that came before the exchange began still holds.
    if (!cancelled_)
        state_ = ProgressStates::Running;
}

void TTerminalProgress::Close() {
    Draw(true);
    EndLine();
    state_ = ProgressStates::Closed;
}

void TTerminalProgress::ShowStatus(StatusKind kind, const std::string& text) {
    if (state_ == ProgressStates::Closed)
        return;
    Draw(true);
    EndLine();
    status_ = text;
    total_ = current_ = 0;
    lastTenth_ = -1;
    stepClock_.restart();
    if (kind == StatusError) {
        errorText_ = text;
        state_ = ProgressStates::ErrorShown;
        output_.Event({{"event", "error"}, {"text", Readable(text)}});
        return; // the command tells it on stderr as it ends
    }
    state_ = ProgressStates::Running;
    output_.Event({{"event", "status"}, {"text", Readable(text)}});
    if (!terminal_)
        output_.Note(Readable(text));
    else
        Draw(true);
}

void TTerminalProgress::SetTotalPackages(int n) {
    total_ = n > 0 ? n : 0;
    current_ = 0;
    lastTenth_ = -1;
    stepClock_.restart();
}

void TTerminalProgress::SetCurrentPackage(int n) {
    current_ = n;
    Draw(n == total_);
}

void TTerminalProgress::WaitForClose() {
    state_ = ProgressStates::Closed;
}

void TTerminalProgress::Cancel() {
    if (cancelled_)
        return;
    cancelled_ = true;
    const bool running = state_ != ProgressStates::Closed;
    state_ = ProgressStates::Closed;
    EndLine();
    output_.Note(CliText::tr("Cancelled."));
    output_.Event({{"event", "cancel"}});
    if (running)
        Abort();
}

QString TTerminalProgress::BarLine() const {
    QString line = Readable(status_);
    if (total_ <= 0)
        return line;
    const int filled = int(int64_t(BarWidth) * current_ / total_);
    line += QString("  [%1%2] %3/%4")
                .arg(QString(filled, '#'), QString(BarWidth - filled, '.'))
                .arg(current_)
                .arg(total_);
    const qint64 ms = stepClock_.elapsed();
    if (current_ > 0 && ms > 0) {
        const double bytesPerSecond = double(current_) * BlockSize * 1000.0 / double(ms);
        line += QString("  %1 KiB/s").arg(bytesPerSecond / 1024.0, 0, 'f', 1);
        const qint64 left = ms * (total_ - current_) / current_ / 1000;
        line += "  " + Duration(left) + " left";
    }
    return line;
}

void TTerminalProgress::Draw(bool force) {
    if (state_ == ProgressStates::Closed || status_.empty())
        return;
    if (!force && drawClock_.elapsed() < DrawIntervalMs)
        return;
    drawClock_.restart();
    if (total_ > 0)
        output_.Event({{"event", "package"}, {"current", current_}, {"total", total_}});
    if (terminal_) {
        const QByteArray bytes = ("\r\033[K" + BarLine()).toUtf8();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
        std::fflush(stderr);
        lineOpen_ = true;
    } else if (total_ > 0) {
        const int tenth = int(int64_t(10) * current_ / total_);
        if (tenth > lastTenth_ && current_ > 0) {
            lastTenth_ = tenth;
            output_.Note(QString("  %1 of %2").arg(current_).arg(total_));
        }
    }
}

void TTerminalProgress::EndLine() {
    if (!lineOpen_)
        return;
    std::fputc('\n', stderr);
    std::fflush(stderr);
    lineOpen_ = false;
}
