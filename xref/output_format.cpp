#include "output_format.h"

#include <algorithm>
#include <cctype>
#include <nlohmann/json.hpp>
#include <ostream>

namespace xref {

namespace {

// Characters as a terminal shows them: UTF-8 continuation bytes take no column.
size_t DisplayWidth(const std::string& text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool NumericColumn(const ResultTable& table, size_t column) {
    bool any = false;
    for (const auto& row : table.rows) {
        if (row[column].IsNull()) continue;
        if (!row[column].IsNumber()) return false;
        any = true;
    }
    return any;
}

} // namespace

void WriteTable(const ResultTable& table, std::ostream& out) {
    const size_t count = table.columns.size();
    std::vector<size_t> widths(count);
    std::vector<bool> numeric(count);
    for (size_t c = 0; c < count; ++c) {
        widths[c] = DisplayWidth(table.columns[c]);
        numeric[c] = NumericColumn(table, c);
        for (const auto& row : table.rows)
            widths[c] = std::max(widths[c], DisplayWidth(row[c].Display()));
    }
    auto line = [&](auto textOf) {
        std::string text;
        for (size_t c = 0; c < count; ++c) {
            const std::string cell = textOf(c);
            const std::string padding(widths[c] - DisplayWidth(cell), ' ');
            if (c > 0) text += "  ";
            text += numeric[c] ? padding + cell : cell + padding;
        }
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        out << text << '\n';
    };
    line([&](size_t c) { return Upper(table.columns[c]); });
    for (const auto& row : table.rows)
        line([&](size_t c) { return row[c].Display(); });
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

void WriteCsv(const ResultTable& table, std::ostream& out) {
    auto line = [&](auto textOf) {
        for (size_t c = 0; c < table.columns.size(); ++c)
            out << (c > 0 ? "," : "") << CsvField(textOf(c));
        out << "\r\n";
    };
    line([&](size_t c) { return table.columns[c]; });
    for (const auto& row : table.rows)
        line([&](size_t c) { return row[c].Display(); });
}

nlohmann::ordered_json CellJson(const Cell& cell) {
    if (cell.IsNull()) return nullptr;
    if (cell.IsNumber()) return cell.Integer();
    return cell.Display();
}

void WriteJson(const ResultTable& table, std::ostream& out) {
    for (const auto& row : table.rows) {
        nlohmann::ordered_json object = nlohmann::ordered_json::object();
        for (size_t c = 0; c < table.columns.size(); ++c) {
            object[table.columns[c]] = CellJson(row[c]);
        }
        // Names from mainframe exports may hold bytes that are not UTF-8; they are kept as
        // replacement characters rather than failing the answer.
        out << object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
            << '\n';
    }
}

void WriteResult(const ResultTable& table, OutputFormat format, std::ostream& out) {
    switch (format) {
    case OutputFormat::Table:
        return WriteTable(table, out);
    case OutputFormat::Csv:
        return WriteCsv(table, out);
    case OutputFormat::Json:
        return WriteJson(table, out);
    }
}

} // namespace xref
