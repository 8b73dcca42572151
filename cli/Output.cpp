#include "Output.h"

#include "CodePage.h"

#include <QJsonDocument>

#include <cstdio>

namespace {

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

void Write(FILE* stream, const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

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

void TOutput::Data(const QByteArray& bytes) const {
    Write(stdout, bytes);
}

void TOutput::Event(const QJsonObject& event) const {
    if (json_)
        Write(stdout, QJsonDocument(event).toJson(QJsonDocument::Compact) + '\n');
}

int TOutput::Finish(TExitCode code, QJsonObject fields) const {
    fields.insert("result", ResultName(code));
    fields.insert("exit", int(code));
    Event(fields);
    return code;
}
