#include "BulkChange.h"

#include <QtGlobal>

#include <cmath>

namespace {

constexpr int PriceCol = 3;
constexpr int DepartmentCol = 4;
constexpr int FlagCol = 6;

} // namespace

long long BulkPriceCents(const BulkChange& change, long long cents) {
    double result = double(cents);
    const double value = change.value;
    switch (change.price) {
    case BulkChange::Price::Keep:
        return cents;
    case BulkChange::Price::UpPercent:
        result = double(cents) * (100.0 + value) / 100.0;
        break;
    case BulkChange::Price::DownPercent:
        result = double(cents) * (100.0 - value) / 100.0;
        break;
    case BulkChange::Price::UpAmount:
        result = double(cents) + value * 100.0;
        break;
    case BulkChange::Price::DownAmount:
        result = double(cents) - value * 100.0;
        break;
    case BulkChange::Price::Set:
        result = value * 100.0;
        break;
    }
    const long long step = std::max(change.roundCents, 1);
    // Binary fractions put a true half step a hair below it (0.5 % of 1.10 is 0.55 cents, held
    // as 0.54999...); the nudge rounds it away from zero as the user expects.
    const double steps = result / double(step);
    return std::llround(steps + std::copysign(1e-7, steps)) * step;
}

BulkPlan PlanBulkChange(const TextTable& plu, const TextTable& dept, const std::vector<int>& rows,
                        const BulkChange& change) {
    BulkPlan plan;
    // One row to try each new value in, so the check sees it as it would be typed.
    std::vector<std::string> defaults;
    for (int c = 1; c <= plu.Cols(); ++c)
        defaults.push_back(plu.Default(c));
    TextTable scratch(1, plu.Cols(), defaults);

    auto propose = [&](int row, int col, std::string text, bool& rowChanged) {
        scratch.Cell(1, col) = std::move(text);
        const CellCheck check = ValidatePLUCell(scratch, dept, col, 1);
        if (!check.Ok()) {
            plan.problems.push_back({row, scratch.Cell(1, col), check.reason});
            return;
        }
        if (scratch.Cell(1, col) == plu.Cell(row, col))
            return;
        plan.changes.push_back({row, col, plu.Cell(row, col), scratch.Cell(1, col)});
        rowChanged = true;
    };

    for (int row : rows) {
        if (row < 1 || row > plu.Rows())
            continue;
        if (plu.RowIsDefault(row)) {
            ++plan.rowsSkipped;
            continue;
        }
        bool rowChanged = false;
        if (change.price != BulkChange::Price::Keep) {
            const std::string& text = plu.Cell(row, PriceCol);
            const std::optional<double> price = ParseFloat(text);
            if (!price || !std::isfinite(*price)) {
                plan.problems.push_back({row, text, "not a number"});
            } else {
                const long long cents =
                    BulkPriceCents(change, (long long)std::llround(*price * 100.0));
                if (cents < 0)
                    plan.problems.push_back(
                        {row, FormatFixed(double(cents) / 100.0, 2), "below zero"});
                else
                    propose(row, PriceCol, FormatFixed(double(cents) / 100.0, 2), rowChanged);
            }
        }
        if (change.department)
            propose(row, DepartmentCol, std::to_string(*change.department), rowChanged);
        if (change.flag)
            propose(row, FlagCol, std::to_string(*change.flag), rowChanged);
        plan.rowsChanged += rowChanged ? 1 : 0;
    }
    return plan;
}

EditStep ApplyBulkPlan(TextTable& plu, const BulkPlan& plan) {
    EditStep step(QT_TRANSLATE_NOOP("EditStep", "Change prices"));
    for (const BulkCellChange& change : plan.changes) {
        step.Cell(DocTable::PLU, change.row, change.col, change.before, change.after);
        plu.Cell(change.row, change.col) = change.after;
    }
    return step;
}
