#include "OperationRecorder.h"

#include "CodePage.h"
#include "HistoryStore.h"
#include "RecordLayouts.h"
#include "TolvIBus.h"

#include <QCoreApplication>

namespace {

bool Usable(THistoryStore* store) {
    return store && store->IsOpen();
}

// The speed of a rate index; one SYSTEM.CFG got wrong is not the journal's business to refuse.
int Baud(int index) {
    return index >= 0 && size_t(index) < BaudTable.size() ? int(BaudTable[size_t(index)]) : 0;
}

} // namespace

TOperationInfo TransferOperation(const char* name, const TTransferContext& ctx,
                                 const std::string& document) {
    return {name, ctx.kinds, std::pair(ctx.rangeBegin, ctx.rangeEnd), document};
}

QString KindsText(KindSet kinds) {
    static const char* const names[] = {"plu", "dept", "recy", "param"};
    QStringList chosen;
    for (size_t k = 0; k < kinds.size(); ++k)
        if (kinds.test(k))
            chosen << names[k];
    return chosen.join(',');
}

TOperationRecorder::TOperationRecorder(THistoryStore* store, TTolvIBusComm& bus,
                                       const TPortSettings& port, TOperationInfo info)
    : store_(store), bus_(bus) {
    entry_.started = QDateTime::currentDateTimeUtc();
    entry_.operation = info.name;
    entry_.port = QString::fromLocal8Bit(port.name);
    entry_.rate = Baud(port.baudIndex.value_or(int(bus.BaudRate())));
    if (info.kinds)
        SetKinds(*info.kinds);
    if (info.range)
        SetRange(info.range->first, info.range->second);
    SetDocument(info.document);
    clock_.start();
    bytesAtStart_ = bus.BytesSent() + bus.BytesReceived();
    previousHook_ = bus.BlockMoved;
    bus.BlockMoved = [this](uint8_t command, uint16_t blockNo, const Block& data, bool written) {
        BlockMoved(command, blockNo, data, written);
        if (previousHook_)
            previousHook_(command, blockNo, data, written);
    };
    // Written now, so that an operation cut short by a crash still shows, as unfinished.
    if (Usable(store_))
        startProblem_ = WriteJournalEntry(*store_, entry_);
}

TOperationRecorder::~TOperationRecorder() {
    if (!ended_)
        bus_.BlockMoved = previousHook_;
}

void TOperationRecorder::SetRange(int begin, int end) {
    entry_.rangeBegin = begin;
    entry_.rangeEnd = end;
}

void TOperationRecorder::SetDocument(const std::string& path) {
    entry_.document = QString::fromLocal8Bit(path);
}

void TOperationRecorder::BlockMoved(uint8_t command, uint16_t blockNo, const Block& data,
                                    bool written) {
    ++entry_.blocks;
    if (written) {
        ++blocksWritten_;
        sent_.addData(QByteArrayView(reinterpret_cast<const char*>(data.data()), BlockSize));
        return;
    }
    // Every connection reads the identification page first; later pages are a memory dump's.
    if (command == CmdConnection && blockNo == MemoryPageBlock && !identified_) {
        identified_ = true;
        entry_.registerName = DocumentCodePage().ToUnicode(
            GetTextField(std::span<const uint8_t>(data.data() + 16, 48)));
    }
    sales_.BlockRead(command, blockNo, data);
}

QString TOperationRecorder::KeepSales() {
    const bool readsSales =
        entry_.operation == operations::Upload || entry_.operation == operations::Backup;
    // A register without sales records is a snapshot too, when the upload asked for them: what
    // it sells next counts from nothing.
    const bool emptyButAsked = sales_.StatusRead() && sales_.RecordCount() == 0 && readsSales &&
                               entry_.result == results::Done &&
                               entry_.kinds.split(',').contains("plu");
    if (!sales_.Whole() && !emptyButAsked)
        return {};
    TSalesSnapshot snapshot;
    snapshot.taken = entry_.ended;
    snapshot.registerName = entry_.registerName;
    snapshot.port = entry_.port;
    snapshot.decimals = sales_.Decimals();
    snapshot.items = sales_.Items();
    const QString error = StoreSalesSnapshot(*store_, snapshot);
    if (error.isEmpty())
        entry_.snapshotUuid = snapshot.uuid;
    return error;
}

QString TOperationRecorder::End(TFlowResult result, const QString& error) {
    if (ended_)
        return {};
    ended_ = true;
    bus_.BlockMoved = previousHook_;
    entry_.ended = QDateTime::currentDateTimeUtc();
    entry_.seconds = double(clock_.nsecsElapsed()) / 1e9;
    entry_.bytes = qint64(bus_.BytesSent() + bus_.BytesReceived() - bytesAtStart_);
    entry_.device = QString::fromLocal8Bit(bus_.Link().DevicePath());
    entry_.rate = Baud(int(bus_.BaudRate()));
    switch (result) {
    case TFlowResult::Done:
        entry_.result = results::Done;
        break;
    case TFlowResult::Cancelled:
        entry_.result = results::Cancelled;
        break;
    default:
        entry_.result = results::Failed;
        entry_.error = error;
        break;
    }
    if (blocksWritten_ > 0)
        entry_.documentSha256 = QString::fromLatin1(sent_.result().toHex());
    if (!Usable(store_))
        return {};
    QStringList problems;
    if (!startProblem_.isEmpty())
        problems << startProblem_;
    if (const QString failed = KeepSales(); !failed.isEmpty())
        problems << QCoreApplication::translate("TOperationRecorder",
                                                "the sales were not kept (%1)")
                        .arg(failed);
    if (const QString failed = WriteJournalEntry(*store_, entry_); !failed.isEmpty())
        problems << failed;
    problems.removeDuplicates();
    return problems.join("; ");
}
