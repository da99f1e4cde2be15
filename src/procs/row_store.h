// Rows of text cells addressed by row and column: what the process list merge
// and the CPU measurement read and write. The program's list view is one
// store; VectorRowStore keeps the rows in memory.
#pragma once

#include <string>
#include <vector>

namespace velkor {

class RowStore {
 public:
  virtual ~RowStore() = default;
  [[nodiscard]] virtual int RowCount() const = 0;
  // "" for a cell, row or column that holds nothing.
  [[nodiscard]] virtual std::string CellText(int row, int column) const = 0;
  // Writing to a row that does not exist does nothing.
  virtual void SetCellText(int row, int column, const std::string& text) = 0;
};

class VectorRowStore final : public RowStore {
 public:
  // Appends an empty row and returns its index.
  int AddRow() {
    rows_.emplace_back();
    return static_cast<int>(rows_.size()) - 1;
  }
  void RemoveRow(int row) {
    if (Exists(row)) rows_.erase(rows_.begin() + row);
  }

  [[nodiscard]] int RowCount() const override { return static_cast<int>(rows_.size()); }

  [[nodiscard]] std::string CellText(int row, int column) const override {
    if (!Exists(row) || column < 0) return {};
    const std::vector<std::string>& cells = rows_[static_cast<size_t>(row)];
    return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)] : std::string();
  }

  void SetCellText(int row, int column, const std::string& text) override {
    if (!Exists(row) || column < 0) return;
    std::vector<std::string>& cells = rows_[static_cast<size_t>(row)];
    if (static_cast<size_t>(column) >= cells.size()) cells.resize(static_cast<size_t>(column) + 1);
    cells[static_cast<size_t>(column)] = text;
  }

 private:
  [[nodiscard]] bool Exists(int row) const { return row >= 0 && row < RowCount(); }

  std::vector<std::vector<std::string>> rows_;
};

}  // namespace velkor
