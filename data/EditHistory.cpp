#include "EditHistory.h"

#include <algorithm>
#include <cstring>

namespace {

enum Kind : unsigned char { CellEntry, MoveEntry };

void PutU16(std::string& out, size_t value) {
    out.push_back(char(value & 0xff));
    out.push_back(char((value >> 8) & 0xff));
}

int GetU16(const std::string& in, size_t& at) {
    const int value = int((unsigned char)in[at]) | int((unsigned char)in[at + 1]) << 8;
    at += 2;
    return value;
}

std::string_view GetText(const std::string& in, size_t& at) {
    const size_t size = size_t(GetU16(in, at));
    std::string_view text(in.data() + at, size);
    at += size;
    return text;
}

std::string& RecyCell(RecyTable& recy, int row, int col) {
    RecyEntry& entry = recy[size_t(row - 1)];
    return col == 1 ? entry.number : entry.price;
}

} // namespace

void TouchedSpan::Add(int row, int col) {
    if (top == 0) {
        top = bottom = row;
        left = right = col;
        return;
    }
    top = std::min(top, row);
    bottom = std::max(bottom, row);
    left = std::min(left, col);
    right = std::max(right, col);
}

void TouchedSpan::AddRows(int first, int last, int cols) {
    Add(std::min(first, last), 1);
    Add(std::max(first, last), cols);
}

void EditStep::Cell(DocTable table, int row, int col, std::string_view before,
                    std::string_view after) {
    if (before == after)
        return;
    // Cells are short; a longer text than the 16-bit length could hold never reaches a table.
    before = before.substr(0, 0xffff);
    after = after.substr(0, 0xffff);
    data_.push_back(char(CellEntry));
    data_.push_back(char(table));
    PutU16(data_, size_t(row));
    data_.push_back(char(col));
    PutU16(data_, before.size());
    data_.append(before);
    PutU16(data_, after.size());
    data_.append(after);
    ++entries_;
}

void EditStep::Move(DocTable table, int from, int to) {
    if (from == to)
        return;
    data_.push_back(char(MoveEntry));
    data_.push_back(char(table));
    PutU16(data_, size_t(from));
    PutU16(data_, size_t(to));
    ++entries_;
}

void EditStep::Diff(DocTable table, const TextTable& before, const TextTable& after) {
    for (int r = 1; r <= after.Rows(); ++r)
        for (int c = 1; c <= after.Cols(); ++c)
            Cell(table, r, c, before.Cell(r, c), after.Cell(r, c));
}

void EditStep::Diff(const RecyTable& before, const RecyTable& after) {
    for (size_t k = 0; k < after.size(); ++k) {
        Cell(DocTable::Recy, int(k) + 1, 1, before[k].number, after[k].number);
        Cell(DocTable::Recy, int(k) + 1, 2, before[k].price, after[k].price);
    }
}

TouchedCells EditStep::Apply(DocumentTables tables, bool undo) const {
    // Entries are found front to back; an undo takes them back to front.
    std::vector<size_t> starts;
    starts.reserve(size_t(entries_));
    for (size_t at = 0; at < data_.size();) {
        starts.push_back(at);
        if (Kind(data_[at]) == MoveEntry) {
            at += 6;
        } else {
            at += 5; // kind, table, row, column; each length then counts its text
            at += size_t(GetU16(data_, at));
            at += size_t(GetU16(data_, at));
        }
    }
    if (undo)
        std::reverse(starts.begin(), starts.end());

    TouchedCells touched;
    auto table = [&](DocTable id) -> TextTable& {
        return id == DocTable::PLU ? tables.plu : tables.dept;
    };
    for (size_t at : starts) {
        const Kind kind = Kind(data_[at]);
        const DocTable id = DocTable(data_[at + 1]);
        at += 2;
        std::optional<TouchedSpan>& span = touched[size_t(id)];
        if (!span)
            span.emplace();
        if (kind == MoveEntry) {
            const int from = GetU16(data_, at);
            const int to = GetU16(data_, at);
            if (id != DocTable::Recy) {
                TextTable& rows = table(id);
                undo ? rows.MoveRow(to, from) : rows.MoveRow(from, to);
                span->AddRows(from, to, rows.Cols());
            }
            continue;
        }
        const int row = GetU16(data_, at);
        const int col = (unsigned char)data_[at++];
        const std::string_view before = GetText(data_, at);
        const std::string_view after = GetText(data_, at);
        std::string& cell =
            id == DocTable::Recy ? RecyCell(tables.recy, row, col) : table(id).Cell(row, col);
        cell.assign(undo ? before : after);
        span->Add(row, col);
    }
    return touched;
}

BlockSnapshot::BlockSnapshot(const TextTable& table, int top, int left, int bottom, int right)
    : left_(left), right_(right) {
    for (int r = top; r <= bottom; ++r)
        rows_.push_back(r);
    cells_.reserve(rows_.size() * size_t(right - left + 1));
    for (int r : rows_)
        for (int c = left; c <= right; ++c)
            cells_.push_back(table.Cell(r, c));
}

BlockSnapshot::BlockSnapshot(const TextTable& table, std::vector<int> rows, int left, int right)
    : rows_(std::move(rows)), left_(left), right_(right) {
    cells_.reserve(rows_.size() * size_t(right - left + 1));
    for (int r : rows_)
        for (int c = left; c <= right; ++c)
            cells_.push_back(table.Cell(r, c));
}

void BlockSnapshot::Record(EditStep& step, DocTable id, const TextTable& after) const {
    size_t i = 0;
    for (int r : rows_)
        for (int c = left_; c <= right_; ++c)
            step.Cell(id, r, c, cells_[i++], after.Cell(r, c));
}

void BlockSnapshot::Restore(TextTable& table) const {
    size_t i = 0;
    for (int r : rows_)
        for (int c = left_; c <= right_; ++c)
            table.Cell(r, c) = cells_[i++];
}

void EditHistory::Push(EditStep step) {
    if (step.Empty())
        return;
    while (steps_.size() > done_) {
        bytes_ -= steps_.back().Bytes();
        steps_.pop_back();
    }
    step.ShrinkToFit();
    bytes_ += step.Bytes();
    steps_.push_back(std::move(step));
    done_ = steps_.size();
    size_t drop = 0;
    while (bytes_ > limit_ && drop + 1 < steps_.size())
        bytes_ -= steps_[drop++].Bytes();
    if (drop > 0) {
        steps_.erase(steps_.begin(), steps_.begin() + long(drop));
        done_ = steps_.size();
    }
}

void EditHistory::Clear() {
    steps_.clear();
    steps_.shrink_to_fit();
    done_ = 0;
    bytes_ = 0;
}

const std::string& EditHistory::UndoName() const {
    static const std::string none;
    return CanUndo() ? steps_[done_ - 1].Name() : none;
}

const std::string& EditHistory::RedoName() const {
    static const std::string none;
    return CanRedo() ? steps_[done_].Name() : none;
}

TouchedCells EditHistory::Undo(DocumentTables tables) {
    if (!CanUndo())
        return {};
    return steps_[--done_].Apply(tables, true);
}

TouchedCells EditHistory::Redo(DocumentTables tables) {
    if (!CanRedo())
        return {};
    return steps_[done_++].Apply(tables, false);
}
