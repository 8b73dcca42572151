#pragma once
// What a download would change on the register. The PC's side (the document, and the parameters
// of SYSTEM.CFG) is encoded as a download would encode it and compared field by field with what
// the register sent; both are shown as the upload would show them, amounts with every decimal
// the register counts. So what the record layouts lose on the way (names cut at 18 bytes,
// decimals beyond the register's, a barcode's leading zeros, an empty department sent as 0xFF,
// the sales counters a download never sends) is no difference.

#include "Defs.h"
#include "Document.h"
#include "FlowOutcome.h"
#include "ParameterImage.h"
#include "RegisterCopy.h"

#include <array>
#include <string>
#include <vector>

struct TDifference {
    uint8_t kind = KindPLU; // DataKind
    // PLU and department: the grid's column; recycling: 1; parameter: the number of its key
    // (ParameterFieldKey).
    uint8_t field = 0;
    int item = 0;    // PLU, department or package number; 0 for a parameter
    std::string pc;  // what the PC would send, as the upload would show it
    std::string reg; // what the register holds
};

struct TComparison {
    KindSet kinds;
    int rangeBegin = MinPluRange;
    int rangeEnd = MinPluRange - 1;
    RegisterStatus status;
    std::string identification;
    std::vector<TDifference> differences; // by kind, then item, then field
    std::vector<int> changedPlus;         // ascending
    std::array<int, 4> differencesOfKind{};
    std::array<int, 4> itemsOfKind{}; // items (or parameter keys) with a difference

    bool Equal() const { return differences.empty(); }
    bool KindDiffers(int kind) const { return differencesOfKind[size_t(kind)] > 0; }
};

// The parameter image's values in the order the upload stores their keys.
inline constexpr int ParameterFieldCount =
    2 + FlagBits + HeaderLines + TailLines + BarcodeTypes + 1 + 2 * Clerks + VatRates;
std::string ParameterFieldKey(int field);
// The texts the upload would write; a VAT slot carrying the tax-free mark reads "tax-free".
std::array<std::string, ParameterFieldCount> ParameterFieldTexts(const ParameterImage& image);

// Compares the kinds and range the register copy holds. amountDecimals: the decimals the PC's
// amount texts can hold at most (a backup written with two); a register amount is no difference
// when the PC's text is all such a text could say of it.
TComparison CompareWithRegister(const TextTable& plu, const TextTable& dept, const RecyTable& recy,
                                const ParameterImage& parameters, const TRegisterCopy& reg,
                                int amountDecimals = MaxDecimals);

// Reads ctx's kinds and range from the register into a scratch copy and compares them with ctx's
// document and the parameters of ctx.settingsPath. Nothing of ctx is changed but its status.
TFlowOutcome CompareWithRegister(TTransferContext& ctx, TComparison& comparison,
                                 int amountDecimals = MaxDecimals);

// Texts of the list (code-page bytes: titles and kind names come from the display texts).
std::string FieldName(const TDifference& difference);
std::string ItemName(const TDifference& difference); // "PLU 12", "department 3", "parameter"
// PLU 12 Unit price: PC "12.50", register "12.00"
std::string DifferenceLine(const TDifference& difference);
// PLU: 3 differences in 2 items
std::string KindSummary(const TComparison& comparison, int kind);
// PLU: 3 differences in 2 items; department: no difference; ...
std::string ComparisonSummary(const TComparison& comparison);
// The list as a text file (UTF-8): what was compared, the summary, one line per difference.
std::string ComparisonReport(const TComparison& comparison);
