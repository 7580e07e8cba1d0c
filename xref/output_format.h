// Answers for a terminal (aligned columns) or for scripts: CSV (RFC 4180) and JSON (one
// object a line).
#pragma once

#include <iosfwd>
#include <nlohmann/json.hpp>
#include <string>

#include "result_table.h"

namespace xref {

enum class OutputFormat { Table, Csv, Json };

void WriteTable(const ResultTable& table, std::ostream& out);
void WriteCsv(const ResultTable& table, std::ostream& out);
void WriteJson(const ResultTable& table, std::ostream& out);
void WriteResult(const ResultTable& table, OutputFormat format, std::ostream& out);

// A cell as JSON: null, a number or a string.
nlohmann::ordered_json CellJson(const Cell& cell);

// A CSV field, quoted when it holds a comma, a double quote or a line end.
std::string CsvField(const std::string& text);

} // namespace xref
