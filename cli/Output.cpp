#include "Output.h"

#include "CodePage.h"
#include "DocumentFile.h"

#include <QJsonDocument>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool stdoutClosed = false;

const char* ResultName(TExitCode code) {
    switch (code) {
    case ExitDone:
        return "done";
    case ExitRegister:
        return "register-failed";
    case ExitUsage:
        return "usage";
    case ExitPort:
        return "port-not-opened";
    case ExitFile:
        return "file-failed";
    case ExitProblems:
        return "problems";
    case ExitDifferent:
        return "different";
    case ExitCancelled:
        return "cancelled";
    }
    return "failed";
}

// errno when the bytes did not all reach the stream's file; 0 when they did.
int Write(FILE* stream, const QByteArray& bytes) {
    errno = 0;
    const size_t n = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    if (std::fflush(stream) == 0 && n == size_t(bytes.size()) && !std::ferror(stream))
        return 0;
    return errno ? errno : EIO;
}

// The codes that say a command went through, whose data then did not arrive.
bool Succeeded(int code) {
    return code == ExitDone || code == ExitProblems || code == ExitDifferent;
}

} // namespace

void GuardStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF)
            continue;
        if (fd == STDOUT_FILENO)
            stdoutClosed = true;
        // The lowest free number is fd's own, as those below it are open by now.
        const int null = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd)
            ::close(null);
    }
}

bool StdoutClosed() {
    return stdoutClosed;
}

QString Readable(const std::string& codePageBytes) {
    QString text = DocumentCodePage().ToUnicode(codePageBytes);
    text.replace("\r\n", "\n");
    return text;
}

void TOutput::Note(const QString& text) const {
    if (!quiet_)
        Write(stderr, (text + '\n').toUtf8());
}

void TOutput::Error(const QString& text) const {
    Write(stderr, ("quorve-plu-cli: " + text + '\n').toUtf8());
}

bool TOutput::Out(const QByteArray& bytes) const {
    const int error = stdoutClosed ? EBADF : Write(stdout, bytes);
    if (error && !stdoutError_)
        stdoutError_ = error;
    return error == 0;
}

void TOutput::TellStdoutFailure() const {
    if (stdoutFailureTold_)
        return;
    stdoutFailureTold_ = true;
    Error(QString("standard output: %1 (%2)")
              .arg(QString::fromStdString(FileErrorText(stdoutError_)),
                   QString::fromLocal8Bit(std::strerror(stdoutError_))));
}

bool TOutput::Data(const QByteArray& bytes) const {
    return Out(bytes);
}

bool TOutput::Event(const QJsonObject& event) const {
    return !json_ || Out(QJsonDocument(event).toJson(QJsonDocument::Compact) + '\n');
}

int TOutput::Finish(TExitCode code, QJsonObject fields) const {
    if (stdoutError_ && Succeeded(code))
        code = ExitFile;
    fields.insert("result", ResultName(code));
    fields.insert("exit", int(code));
    Event(fields);
    if (stdoutError_)
        TellStdoutFailure();
    return code;
}

int TOutput::Close(int code) const {
    // A stdout closed by the caller is no failure while nothing had to go there.
    if (std::fclose(stdout) != 0 && !stdoutError_ && !stdoutClosed)
        stdoutError_ = errno ? errno : EIO;
    if (!stdoutError_)
        return code;
    TellStdoutFailure();
    return Succeeded(code) ? ExitFile : code;
}
