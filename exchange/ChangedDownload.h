#pragma once
// A download of only what a comparison found different: the PLU write blocks that hold a
// differing item, and the departments, the package prices and the parameters only when they
// differ. Every block carries the record bytes a full download would send for its items.

#include "Comparison.h"
#include "FlowOutcome.h"
#include "TransferContext.h"

#include <span>
#include <vector>

// PLU numbers first to last of one write block.
struct TPluBlock {
    int first = 0;
    int last = 0;
    bool operator==(const TPluBlock&) const = default;
};

// The runs of consecutive numbers (ascending), cut into blocks of at most three.
std::vector<TPluBlock> ChangedPluBlocks(std::span<const int> plus);

// Sends over one connection what `comparison` found different in the kinds chosen, from ctx's
// document and ctx.settingsPath (those the comparison was made with). Nothing different among
// them: no connection.
TFlowOutcome SendChanges(TTransferContext& ctx, const TComparison& comparison,
                         KindSet chosen = AllKinds);
