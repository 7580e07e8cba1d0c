#include "output_format.h"

#include <gtest/gtest.h>

#include <sstream>

namespace xref {
namespace {

ResultTable Sample() {
    ResultTable table({"name", "count", "note"});
    table.AddRow({Cell::Text("A"), Cell::Number(7), Cell::Null()});
    table.AddRow({Cell::Text("LONGER"), Cell::Number(123), Cell::Text("x, \"y\"")});
    return table;
}

std::string Written(void (*write)(const ResultTable&, std::ostream&), const ResultTable& t) {
    std::ostringstream out;
    write(t, out);
    return out.str();
}

TEST(OutputFormat, TableAlignsTextLeftAndNumbersRight) {
    EXPECT_EQ(Written(WriteTable, Sample()), "NAME    COUNT  NOTE\n"
                                             "A           7\n"
                                             "LONGER    123  x, \"y\"\n");
    ResultTable accents({"n"});
    accents.AddRow({Cell::Text("\xC3\xA9t\xC3\xA9")}); // three characters, five bytes
    accents.AddRow({Cell::Text("abcd")});
    EXPECT_EQ(Written(WriteTable, accents), "N\n\xC3\xA9t\xC3\xA9\nabcd\n");
}

TEST(OutputFormat, CsvQuotesAsRfc4180) {
    EXPECT_EQ(Written(WriteCsv, Sample()),
              "name,count,note\r\nA,7,\r\nLONGER,123,\"x, \"\"y\"\"\"\r\n");
    EXPECT_EQ(CsvField("plain"), "plain");
    EXPECT_EQ(CsvField("a\nb"), "\"a\nb\"");
    EXPECT_EQ(CsvField("'; DROP"), "'; DROP");
}

TEST(OutputFormat, JsonOneObjectPerLine) {
    EXPECT_EQ(Written(WriteJson, Sample()),
              "{\"name\":\"A\",\"count\":7,\"note\":null}\n"
              "{\"name\":\"LONGER\",\"count\":123,\"note\":\"x, \\\"y\\\"\"}\n");
    ResultTable empty({"a"});
    EXPECT_EQ(Written(WriteJson, empty), "");
    EXPECT_EQ(Written(WriteCsv, empty), "a\r\n");
}

} // namespace
} // namespace xref
