// The answer to a question: named columns and rows of cells, before it is formatted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xref {

class Statement;

class Cell {
  public:
    static Cell Null() { return Cell(); }
    static Cell Text(std::string text);
    static Cell Number(int64_t number);
    // A column of a query row, as SQLite typed it.
    static Cell FromColumn(const Statement& row, int column);

    bool IsNull() const { return null_; }
    bool IsNumber() const { return number_; }
    int64_t Integer() const { return integer_; }
    // The text shown in tables and CSV: empty for NULL.
    const std::string& Display() const { return text_; }

  private:
    bool null_ = true;
    bool number_ = false;
    int64_t integer_ = 0;
    std::string text_;
};

struct ResultTable {
    std::vector<std::string> columns;
    std::vector<std::vector<Cell>> rows;

    explicit ResultTable(std::vector<std::string> names) : columns(std::move(names)) {}
    void AddRow(std::vector<Cell> row) { rows.push_back(std::move(row)); }
};

} // namespace xref
