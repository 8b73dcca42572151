#pragma once
// What one operation with a register leaves in the history: its journal entry, and the sales
// counters it read as a snapshot. Both faces make one of these where an operation starts and
// end it where it ends; it watches the protocol component for the blocks and bytes moved, the
// register's identification and what the register sent.

#include "Journal.h"
#include "RegisterConnection.h"
#include "SalesHistory.h"
#include "TransferContext.h"

#include <QCryptographicHash>
#include <QElapsedTimer>

#include <functional>
#include <string>

class THistoryStore;
class TTolvIBusComm;

struct TOperationInfo {
    const char* name = "";
    std::optional<KindSet> kinds{};
    std::optional<std::pair<int, int>> range{};
    std::string document{}; // the file a download sends, or the image a load sends
};

// A transfer's kinds and range as its context has them.
TOperationInfo TransferOperation(const char* name, const TTransferContext& ctx,
                                 const std::string& document = {});

// "plu,dept,recy,param" for the kinds chosen.
QString KindsText(KindSet kinds);

class TOperationRecorder {
public:
    // Writes the entry's start. Without an open store nothing is written and End says nothing.
    TOperationRecorder(THistoryStore* store, TTolvIBusComm& bus, const TPortSettings& port,
                       TOperationInfo info);
    ~TOperationRecorder();
    TOperationRecorder(const TOperationRecorder&) = delete;
    TOperationRecorder& operator=(const TOperationRecorder&) = delete;

    // What became known on the way: the kinds and range a dialog chose, the port a search found.
    void SetKinds(KindSet kinds) { entry_.kinds = KindsText(kinds); }
    void SetRange(int begin, int end);
    void SetDocument(const std::string& path);
    void SetPort(const std::string& port) { entry_.port = QString::fromLocal8Bit(port); }
    void SetReport(const QString& uuid) { entry_.reportUuid = uuid; }

    // The operation is over: completes the entry (error: the step's text as the user saw it)
    // and keeps the sales counters read whole. Returns what could not be written, empty when
    // all was (or when no store is open).
    QString End(TFlowResult result, const QString& error);
    bool Ended() const { return ended_; }
    const TJournalEntry& Entry() const { return entry_; }
    const TSalesReading& Sales() const { return sales_; }

private:
    void BlockMoved(uint8_t command, uint16_t blockNo, const Block& data, bool written);
    QString KeepSales();

    THistoryStore* store_;
    TTolvIBusComm& bus_;
    TJournalEntry entry_;
    QString startProblem_;
    std::function<void(uint8_t, uint16_t, const Block&, bool)> previousHook_;
    uint64_t bytesAtStart_ = 0;
    QElapsedTimer clock_;
    QCryptographicHash sent_{QCryptographicHash::Sha256};
    qint64 blocksWritten_ = 0;
    bool identified_ = false;
    TSalesReading sales_;
    bool ended_ = false;
};
