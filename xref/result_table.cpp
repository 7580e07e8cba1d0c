#include "result_table.h"

#include "database.h"

namespace xref {

Cell Cell::Text(std::string text) {
    Cell cell;
    cell.null_ = false;
    cell.text_ = std::move(text);
    return cell;
}

Cell Cell::Number(int64_t number) {
    Cell cell;
    cell.null_ = false;
    cell.number_ = true;
    cell.integer_ = number;
    cell.text_ = std::to_string(number);
    return cell;
}

Cell Cell::FromColumn(const Statement& row, int column) {
    if (row.IsNull(column)) return Null();
    if (row.IsInteger(column)) return Number(row.Int(column));
    return Text(row.Text(column));
}

} // namespace xref
