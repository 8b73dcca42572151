#pragma once
// What the history's tests and benchmarks share: reports and times to store, blocks as the
// register sends them, and a way to run a piece as an ordinary user.

#include "RecordLayouts.h"
#include "ReportUpload.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <ostream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline QDateTime Utc(int year, int month, int day, int hour = 12, int minute = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC);
}

// A report as the upload hands it to the keeper: its text in whole blocks.
inline TReportRead SampleReport(const std::string& text,
                                const std::string& identification = "QUORVE SIM ECR 1.0",
                                const std::string& port = "COM2") {
    TReportRead report;
    report.text = text;
    report.blocks = text;
    report.blocks.resize((text.size() + BlockSize - 1) / BlockSize * BlockSize, '\0');
    report.identification = identification;
    report.port = port;
    return report;
}

// The status answer of a register with these decimals and sales records.
inline Block StatusBlock(int decimals, uint32_t salesRecords) {
    return EncodeStatusAnswer({uint8_t(decimals), salesRecords});
}

// The sales records as the register streams them, cut into command-8 blocks.
inline std::vector<Block> SalesBlocks(const std::vector<PluSalesRecord>& records) {
    std::vector<uint8_t> stream(SalesBlockCount(uint32_t(records.size())) * BlockSize, 0);
    for (size_t i = 0; i < records.size(); ++i)
        EncodePluSalesRecord(records[i],
                             std::span<uint8_t, PluSalesRecordSize>(
                                 stream.data() + i * PluSalesRecordSize, PluSalesRecordSize));
    std::vector<Block> blocks(stream.size() / BlockSize);
    for (size_t k = 0; k < blocks.size(); ++k)
        std::copy_n(stream.begin() + std::ptrdiff_t(k * BlockSize), BlockSize, blocks[k].begin());
    return blocks;
}

// Runs the piece in a child process, as user and group "nobody" when the tests run as root,
// and returns its exit code (-1 when it did not end by itself).
inline int RunAsOrdinaryUser(const std::function<int()>& piece) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(90);
        ::_exit(piece());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
