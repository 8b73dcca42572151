#pragma once
// Undo and redo of the document's edits. A step keeps only what it changed: the cells with their
// bytes before and after, packed one after another in one buffer, and moved rows as their two
// positions. A whole table is never copied into the history.

#include "Document.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class DocTable : unsigned char { PLU, Dept, Recy };

// The tables a step is undone and redone on. Recycling entries count from 1; column 1 is the
// entry's number, column 2 its package price.
struct DocumentTables {
    TextTable& plu;
    TextTable& dept;
    RecyTable& recy;
};

// Cells an undo or redo touched, per table: rows and columns 1-based, inclusive.
struct TouchedSpan {
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    void Add(int row, int col);
    void AddRows(int first, int last, int cols);
};
using TouchedCells = std::array<std::optional<TouchedSpan>, 3>;

class EditStep {
public:
    explicit EditStep(std::string name = {}) : name_(std::move(name)) {}

    const std::string& Name() const { return name_; }
    bool Empty() const { return entries_ == 0; }
    int Entries() const { return entries_; }
    size_t Bytes() const { return data_.capacity() + name_.capacity() + sizeof *this; }

    // Cells whose bytes do not change are not kept.
    void Cell(DocTable table, int row, int col, std::string_view before, std::string_view after);
    // The content of row `from` went to row `to` (TextTable::MoveRow).
    void Move(DocTable table, int from, int to);
    // Every cell of `after` that differs from `before` (tables of one shape).
    void Diff(DocTable table, const TextTable& before, const TextTable& after);
    void Diff(const RecyTable& before, const RecyTable& after);
    void ShrinkToFit() { data_.shrink_to_fit(); }

private:
    friend class EditHistory;
    TouchedCells Apply(DocumentTables tables, bool undo) const;

    std::string name_;
    std::string data_;
    int entries_ = 0;
};

// Cells of a block as they are before a change, to record the change once it is made.
class BlockSnapshot {
public:
    BlockSnapshot(const TextTable& table, int top, int left, int bottom, int right);
    // The rows are listed (a filtered view); each spans the columns left to right.
    BlockSnapshot(const TextTable& table, std::vector<int> rows, int left, int right);
    void Record(EditStep& step, DocTable id, const TextTable& after) const;
    // Puts the cells back as they were.
    void Restore(TextTable& table) const;

private:
    std::vector<int> rows_;
    int left_;
    int right_;
    std::vector<std::string> cells_;
};

class EditHistory {
public:
    // The oldest steps go when the history holds more than this many bytes; the newest step is
    // always kept.
    static constexpr size_t DefaultByteLimit = size_t(16) << 20;

    void SetByteLimit(size_t bytes) { limit_ = bytes; }
    // Drops the steps that were undone; an empty step is not kept.
    void Push(EditStep step);
    void Clear();

    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
    const std::string& UndoName() const;
    const std::string& RedoName() const;
    TouchedCells Undo(DocumentTables tables);
    TouchedCells Redo(DocumentTables tables);

    size_t Steps() const { return steps_.size(); }
    size_t Bytes() const { return bytes_; }

private:
    std::vector<EditStep> steps_;
    size_t done_ = 0;
    size_t bytes_ = 0;
    size_t limit_ = DefaultByteLimit;
};
