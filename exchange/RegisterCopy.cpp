#include "RegisterCopy.h"

#include "AtomicFile.h"
#include "Defs.h"
#include "DocumentFile.h"
#include "GridModel.h"
#include "Language.h"
#include "RecordingProgress.h"
#include "TolvIBus.h"
#include "Upload.h"

#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstring>

TFlowOutcome FileOutcome(const std::string& path, int error) {
    const std::string reason = FileErrorText(error);
    const std::string system = std::string(" (") + std::strerror(error) + ")";
    return {TFlowResult::FileFailed, path + ": " + reason + system, false,
            path + ": " + PeopleText(reason).toLocal8Bit().toStdString() + system};
}

int TRegisterCopy::PluItems() const {
    return int(std::count_if(plu.begin(), plu.end(),
                             [](const auto& record) { return !IsEmptyPluSlot(record); }));
}

int TRegisterCopy::NamedPluItems() const {
    return int(std::count_if(plu.begin(), plu.end(), [](const auto& record) {
        return !IsEmptyPluSlot(record) && !DecodePluFields(record).name.empty();
    }));
}

std::string IdentificationText(std::span<const uint8_t, 64> record) {
    return GetTextField(record.subspan(16));
}

namespace {

void KeepBlock(TRegisterCopy& copy, uint8_t command, uint16_t blockNo, const Block& data) {
    switch (command) {
    case CmdReadPlu:
        for (int j = 0; j < PlusPerReadBlock; ++j) {
            const int plu = PlusPerReadBlock * blockNo + j + 1;
            if (plu >= copy.rangeBegin && plu <= copy.rangeEnd)
                std::memcpy(copy.plu[size_t(plu - copy.rangeBegin)].data(),
                            data.data() + PluRecordSize * j, PluRecordSize);
        }
        break;
    case CmdReadDepartments:
        copy.dept = data;
        break;
    case CmdReadRecycling:
        if (blockNo < RecyclingBlocks)
            std::memcpy(RecyclingBlock(copy.recy, blockNo).data(), data.data(), BlockSize);
        break;
    case CmdReadSales:
        // Read in block order, so the stream is the blocks as they come.
        copy.sales.insert(copy.sales.end(), data.begin(), data.end());
        break;
    case CmdReadParameters:
        if (blockNo < 2)
            std::memcpy(ParameterBlock(copy.parameters, blockNo).data(), data.data(), BlockSize);
        break;
    default:
        break;
    }
}

} // namespace

TFlowOutcome ReadRegister(TTransferContext& ctx, bool withSales, TRegisterCopy& copy) {
    copy = TRegisterCopy();
    copy.kinds = ctx.kinds;
    if (ctx.kinds.test(KindPLU)) {
        copy.rangeBegin = ctx.rangeBegin;
        copy.rangeEnd = ctx.rangeEnd;
        std::array<uint8_t, PluRecordSize> empty;
        empty.fill(0xFF);
        copy.plu.assign(size_t(ctx.rangeEnd - ctx.rangeBegin + 1), empty);
    }
    TRecordingProgress progress(ctx.progress);
    TTransferContext reading{ctx.bus,   progress,       ctx.plu,      ctx.dept, ctx.recy,
                             ctx.kinds, ctx.rangeBegin, ctx.rangeEnd, ctx.port, ctx.settingsPath};
    reading.blockRead = [&copy](uint8_t command, uint16_t blockNo, const Block& data) {
        KeepBlock(copy, command, blockNo, data);
    };
    const TransferStep plu = withSales ? TransferStep(UploadPLU) : TransferStep(UploadPLUItems);
    const TFlowResult result =
        RunTransfer(reading, TransferWords[WordUpload], UploadKindNames,
                    {plu, UploadDepartments, UploadRecycling, UploadParameters});
    ctx.status = copy.status = reading.status;
    ctx.fileError = reading.fileError;
    if (result != TFlowResult::Done)
        return {result, progress.ErrorText()};
    copy.identification = IdentificationText(ctx.bus.IdentRecord);
    return {};
}

TFlowOutcome ReadRegisterCopy(TTolvIBusComm& bus, TProgress& progress, const TPortSettings& port,
                              KindSet kinds, int rangeBegin, int rangeEnd, TRegisterCopy& copy) {
    QTemporaryDir scratchDir;
    if (!scratchDir.isValid())
        return FileOutcome(scratchDir.path().toStdString(), errno ? errno : EIO);
    TGridModel plu(MakePLUTable(), PLUTitles);
    TGridModel dept(MakeDeptTable(), DeptTitles);
    RecyTable recy;
    InitialRecyTable(recy);
    TTransferContext ctx{
        bus,   progress,   plu,      dept, recy,
        kinds, rangeBegin, rangeEnd, port, scratchDir.filePath("SYSTEM.CFG").toStdString()};
    return ReadRegister(ctx, false, copy);
}
