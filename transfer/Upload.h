#pragma once
// Upload data: the chosen kinds come from the register into the document (and SYSTEM.CFG).
// The caller resets the document first; rows arrive block by block, departments, recycling
// table and parameters only whole.

#include "Download.h"

TFlowResult RunUpload(TTransferContext& ctx);
bool UploadPLU(TTransferContext& ctx);
// The items of the range alone, without the sales counters.
bool UploadPLUItems(TTransferContext& ctx);
bool UploadDepartments(TTransferContext& ctx);
bool UploadRecycling(TTransferContext& ctx);
bool UploadParameters(TTransferContext& ctx);
