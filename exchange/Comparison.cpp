#include "Comparison.h"

#include "CodePage.h"
#include "GridModel.h"

#include <QByteArray>
#include <QString>

namespace {

const char* const TaxFreeText = "tax-free";

// What the upload writes into a row whose slot is empty.
const PluRecordTexts& EmptySlotTexts() {
    static const PluRecordTexts texts = [] {
        PluRecordTexts t;
        for (size_t c = 0; c < t.size(); ++c)
            t[c] = LocaleDefault(PLUDefaults[c]);
        return t;
    }();
    return texts;
}

// With every decimal the register counts: at three, 6.235 and 6.234 are no 6.24 and 6.23.
void ShowMoney(int64_t pc, int64_t reg, const RegisterStatus& status, std::string& pcText,
               std::string& regText) {
    pcText = ExactMoneyText(pc, status);
    regText = ExactMoneyText(reg, status);
}

// The PC's amounts come from texts with `decimals` decimals. An amount the register holds with
// more of them is the same as the PC's when the PC's text is all such a text could say of it:
// its amount written with `decimals` decimals, as the upload writes it, and read back.
bool SameAmount(int64_t pc, int64_t reg, const RegisterStatus& status, int decimals) {
    // Every money field is 32 bits wide: only the bits a download would send count.
    if (uint32_t(pc) == uint32_t(reg))
        return true;
    if (decimals >= status.Decimals)
        return false;
    const std::string written = FormatFixed(double(reg) / double(MoneyFactor(status)), decimals);
    return uint32_t(pc) == uint32_t(ScaleDecimalText(written, status.Decimals));
}

class TDifferenceList {
public:
    TDifferenceList(TComparison& comparison, DataKind kind, int item)
        : comparison_(comparison), kind_(kind), item_(item) {}
    ~TDifferenceList() {
        if (count_ > 0)
            ++comparison_.itemsOfKind[size_t(kind_)];
    }
    TDifferenceList(const TDifferenceList&) = delete;
    TDifferenceList& operator=(const TDifferenceList&) = delete;

    void Add(int field, std::string pc, std::string reg) {
        comparison_.differences.push_back(
            {uint8_t(kind_), uint8_t(field), item_, std::move(pc), std::move(reg)});
        ++comparison_.differencesOfKind[size_t(kind_)];
        ++count_;
    }

private:
    TComparison& comparison_;
    DataKind kind_;
    int item_;
    int count_ = 0;
};

void ComparePlu(TComparison& c, int number, const PluFields& pc, const PluFields& reg,
                bool regEmpty, int amountDecimals) {
    const bool samePrice = SameAmount(pc.price, reg.price, c.status, amountDecimals);
    if (samePrice && pc.barcode == reg.barcode && pc.name == reg.name &&
        pc.department == reg.department && pc.stocks == reg.stocks && pc.flag == reg.flag)
        return;
    const PluRecordTexts pcTexts = PluFieldTexts(pc, c.status);
    const PluRecordTexts regTexts = regEmpty ? EmptySlotTexts() : PluFieldTexts(reg, c.status);
    TDifferenceList list(c, KindPLU, number);
    if (pc.barcode != reg.barcode)
        list.Add(1, pcTexts[0], regTexts[0]);
    if (pc.name != reg.name)
        list.Add(2, pcTexts[1], regTexts[1]);
    if (!samePrice) {
        std::string pcText, regText;
        ShowMoney(pc.price, reg.price, c.status, pcText, regText);
        list.Add(3, std::move(pcText), std::move(regText));
    }
    if (pc.department != reg.department)
        list.Add(4, pcTexts[3], regTexts[3]);
    if (pc.stocks != reg.stocks)
        list.Add(5, pcTexts[4], regTexts[4]);
    if (pc.flag != reg.flag)
        list.Add(6, pcTexts[5], regTexts[5]);
    c.changedPlus.push_back(number);
}

void ComparePlus(TComparison& c, const TextTable& plu, const TRegisterCopy& reg,
                 int amountDecimals) {
    PluRowTexts row;
    std::array<uint8_t, PluRecordSize> record{};
    for (int n = reg.rangeBegin; n <= reg.rangeEnd; ++n) {
        for (int col = 1; col <= 6; ++col)
            row[size_t(col - 1)] = plu.Cell(n, col);
        EncodePluRecord(row, c.status, record);
        const std::span<const uint8_t, PluRecordSize> held = reg.Plu(n);
        // An empty slot holds what a row without content would be sent as.
        const bool empty = IsEmptyPluSlot(held);
        ComparePlu(c, n, DecodePluFields(record), empty ? PluFields{} : DecodePluFields(held),
                   empty, amountDecimals);
    }
}

void CompareDepartments(TComparison& c, const TextTable& dept, const TRegisterCopy& reg,
                        int amountDecimals) {
    std::array<DeptRowTexts, DeptCount> rows;
    for (int d = 1; d <= DeptCount; ++d)
        for (int col = 1; col <= 3; ++col)
            rows[size_t(d - 1)][size_t(col - 1)] = dept.Cell(d, col);
    const auto pc = DecodeDeptFields(EncodeDeptBlock(rows, c.status));
    const auto held = DecodeDeptFields(reg.dept);
    for (size_t d = 0; d < DeptCount; ++d) {
        const bool samePrice = SameAmount(pc[d].price, held[d].price, c.status, amountDecimals);
        if (samePrice && pc[d].name == held[d].name && pc[d].tax == held[d].tax)
            continue;
        const DeptRowTexts pcTexts = DeptFieldTexts(pc[d], c.status);
        const DeptRowTexts regTexts = DeptFieldTexts(held[d], c.status);
        TDifferenceList list(c, KindDepartment, int(d + 1));
        if (pc[d].name != held[d].name)
            list.Add(1, pcTexts[0], regTexts[0]);
        if (pc[d].tax != held[d].tax)
            list.Add(2, pcTexts[1], regTexts[1]);
        if (!samePrice) {
            std::string pcText, regText;
            ShowMoney(pc[d].price, held[d].price, c.status, pcText, regText);
            list.Add(3, std::move(pcText), std::move(regText));
        }
    }
}

void CompareRecycling(TComparison& c, const RecyTable& recy, const TRegisterCopy& reg,
                      int amountDecimals) {
    std::vector<RecyEntryTexts> entries;
    entries.reserve(recy.size());
    for (const RecyEntry& entry : recy)
        entries.emplace_back(entry.number, entry.price);
    const RecyclingImage pc = EncodeRecyclingImage(entries, c.status);
    for (int n = 1; n <= RecyclingEntries; ++n) {
        const uint32_t pcPrice = RecyclingPrice(pc, n), regPrice = RecyclingPrice(reg.recy, n);
        if (SameAmount(pcPrice, regPrice, c.status, amountDecimals))
            continue;
        std::string pcText, regText;
        ShowMoney(pcPrice, regPrice, c.status, pcText, regText);
        TDifferenceList(c, KindRecycling, n).Add(1, std::move(pcText), std::move(regText));
    }
}

void CompareParameters(TComparison& c, const ParameterImage& parameters, const TRegisterCopy& reg) {
    const auto pc = ParameterFieldTexts(parameters);
    const auto held = ParameterFieldTexts(reg.parameters);
    for (int f = 0; f < ParameterFieldCount; ++f)
        if (pc[size_t(f)] != held[size_t(f)])
            TDifferenceList(c, KindParameter, 0).Add(f, pc[size_t(f)], held[size_t(f)]);
}

std::string Numbered(const char* key, int n) {
    return key + std::to_string(n);
}

std::string Counted(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

std::string ParameterFieldKey(int f) {
    if (f < 2)
        return f == 0 ? "-% rate" : "+% rate";
    if ((f -= 2) < FlagBits)
        return FlagKey(f / 8, f % 8);
    if ((f -= FlagBits) < HeaderLines)
        return Numbered("Header", f + 1);
    if ((f -= HeaderLines) < TailLines)
        return Numbered("Tail", f + 1);
    if ((f -= TailLines) < BarcodeTypes)
        return Numbered("BCode", f + 1);
    if ((f -= BarcodeTypes) < 1)
        return "Print Speed";
    if ((f -= 1) < Clerks)
        return Numbered("ClerkPWD", f + 1);
    if ((f -= Clerks) < Clerks)
        return Numbered("ClerkName", f + 1);
    return Numbered("VAT", f - Clerks + 1);
}

std::array<std::string, ParameterFieldCount> ParameterFieldTexts(const ParameterImage& image) {
    // A slot with the tax-free mark keeps the empty text it starts with.
    ParameterSet p = ParameterSet::Defaults();
    p.vatRates.fill("");
    p.taxFree = TaxFreeNone;
    DecodeParameterImage(image, p);
    std::array<std::string, ParameterFieldCount> texts;
    size_t i = 0;
    texts[i++] = p.discountRate;
    texts[i++] = p.surchargeRate;
    for (bool flag : p.flags)
        texts[i++] = flag ? "1" : "0";
    for (const std::string& line : p.headers)
        texts[i++] = line;
    for (const std::string& line : p.tails)
        texts[i++] = line;
    for (int type : p.barcodeTypes)
        texts[i++] = std::to_string(type);
    texts[i++] = std::to_string(p.printSpeed);
    for (const std::string& password : p.clerkPasswords)
        texts[i++] = password;
    for (const std::string& name : p.clerkNames)
        texts[i++] = name;
    for (const std::string& rate : p.vatRates)
        texts[i++] = rate.empty() ? TaxFreeText : rate;
    return texts;
}

TComparison CompareWithRegister(const TextTable& plu, const TextTable& dept, const RecyTable& recy,
                                const ParameterImage& parameters, const TRegisterCopy& reg,
                                int amountDecimals) {
    TComparison c;
    c.kinds = reg.kinds;
    c.rangeBegin = reg.rangeBegin;
    c.rangeEnd = reg.rangeEnd;
    c.status = reg.status;
    c.identification = reg.identification;
    if (reg.kinds.test(KindPLU))
        ComparePlus(c, plu, reg, amountDecimals);
    if (reg.kinds.test(KindDepartment))
        CompareDepartments(c, dept, reg, amountDecimals);
    if (reg.kinds.test(KindRecycling))
        CompareRecycling(c, recy, reg, amountDecimals);
    if (reg.kinds.test(KindParameter))
        CompareParameters(c, parameters, reg);
    return c;
}

TFlowOutcome CompareWithRegister(TTransferContext& ctx, TComparison& comparison,
                                 int amountDecimals) {
    // Read before the register is: the parameter file is the PC's side, never the scratch.
    const ParameterImage parameters =
        ctx.kinds.test(KindParameter) ? ParameterImageFromFile(ctx.settingsPath) : ParameterImage{};
    TRegisterCopy copy;
    const TFlowOutcome outcome = ReadRegisterCopy(ctx.bus, ctx.progress, ctx.port, ctx.kinds,
                                                  ctx.rangeBegin, ctx.rangeEnd, copy);
    ctx.status = copy.status;
    if (outcome.Done())
        comparison = CompareWithRegister(ctx.plu.Table(), ctx.dept.Table(), ctx.recy, parameters,
                                         copy, amountDecimals);
    return outcome;
}

std::string FieldName(const TDifference& d) {
    switch (d.kind) {
    case KindPLU:
        return PLUTitles[d.field];
    case KindDepartment:
        return DeptTitles[d.field];
    case KindRecycling:
        return RecyTitles[1];
    default:
        return ParameterFieldKey(d.field);
    }
}

std::string ItemName(const TDifference& d) {
    const std::string& kind = DownloadKindNames[d.kind];
    return d.kind == KindParameter ? kind : kind + " " + std::to_string(d.item);
}

std::string DifferenceLine(const TDifference& d) {
    return ItemName(d) + " " + FieldName(d) + ": PC \"" + d.pc + "\", register \"" + d.reg + "\"";
}

std::string KindSummary(const TComparison& c, int kind) {
    std::string summary = DownloadKindNames[size_t(kind)] + ": ";
    const int n = c.differencesOfKind[size_t(kind)];
    if (n == 0)
        return summary + "no difference";
    summary += Counted(n, "difference", "differences");
    if (kind != KindParameter)
        summary += " in " + Counted(c.itemsOfKind[size_t(kind)], "item", "items");
    return summary;
}

std::string ComparisonSummary(const TComparison& c) {
    std::string summary;
    for (int kind = KindPLU; kind <= KindParameter; ++kind) {
        if (!c.kinds.test(size_t(kind)))
            continue;
        if (!summary.empty())
            summary += "; ";
        summary += KindSummary(c, kind);
    }
    return summary;
}

std::string ComparisonReport(const TComparison& c) {
    std::string text = "Comparison with the register";
    if (!c.identification.empty())
        text += " " + c.identification;
    text += "\n";
    if (c.kinds.test(KindPLU))
        text +=
            "PLU range " + std::to_string(c.rangeBegin) + "-" + std::to_string(c.rangeEnd) + "\n";
    text += ComparisonSummary(c) + "\n\n";
    for (const TDifference& d : c.differences)
        text += DifferenceLine(d) + "\n";
    return DocumentCodePage().ToUnicode(text).toUtf8().toStdString();
}
