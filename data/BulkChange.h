#pragma once
// A change of many PLU items at once: prices up or down by a percentage or an amount, or set,
// rounded to a step; the department or the flag set. Every new value passes the cell's check;
// one failing cell stops the whole change.

#include "EditHistory.h"

#include <optional>
#include <string>
#include <vector>

struct BulkChange {
    enum class Price { Keep, UpPercent, DownPercent, UpAmount, DownAmount, Set };
    Price price = Price::Keep;
    double value = 0;   // percent or amount, as the user typed it
    int roundCents = 1; // 1, 5, 10 or 100
    std::optional<int> department;
    std::optional<int> flag;
};

struct BulkCellChange {
    int row = 0;
    int col = 0;
    std::string before;
    std::string after;
};

struct BulkProblem {
    int row = 0;
    std::string value;
    std::string reason;
};

struct BulkPlan {
    std::vector<BulkCellChange> changes; // row by row
    int rowsChanged = 0;
    int rowsSkipped = 0;               // unused items (every cell at its default) are left alone
    std::vector<BulkProblem> problems; // when there is any, nothing may change
    bool Ok() const { return problems.empty(); }
};

// The price after the change, in cents, rounded half away from zero to the step.
long long BulkPriceCents(const BulkChange& change, long long cents);

// rows: PLU numbers, ascending.
BulkPlan PlanBulkChange(const TextTable& plu, const TextTable& dept, const std::vector<int>& rows,
                        const BulkChange& change);
// Writes the plan (which must be Ok) and records it as one step.
EditStep ApplyBulkPlan(TextTable& plu, const BulkPlan& plan);
