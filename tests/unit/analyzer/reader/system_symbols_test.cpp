// The lines of the system symbol file and the search for names left unresolved in a data
// set name: the edge cases of both formats. What the symbols do to a member (their place as
// the outermost scope, 1482 once per name, 1483 with the run going on) is pinned by the
// golden cases text_system_symbols and text_system_symbols_not_given.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reader/system_symbol_line.h"
#include "reader/unresolved_symbols.h"

namespace kvr::test {
namespace {

using Kind = SystemSymbolLineKind;

struct LineCase {
    std::string line;
    Kind kind;
    std::string name;
    std::string value;
};

TEST(SystemSymbolLine, DefinitionsCommentsAndBlankLines) {
    const LineCase cases[] = {
        {"SYSUID=PAYUSER", Kind::kDefinition, "SYSUID", "PAYUSER"},
        // The name as written in JCL: a leading ampersand, a closing period, or both.
        {"&SYSUID=A", Kind::kDefinition, "SYSUID", "A"},
        {"SYSUID.=A", Kind::kDefinition, "SYSUID", "A"},
        {"&SYSUID.=A", Kind::kDefinition, "SYSUID", "A"},
        // Blanks before the name and at the end of the line are dropped.
        {"   #$@9=X.Y   ", Kind::kDefinition, "#$@9", "X.Y"},
        {"ABCDEFGH=8", Kind::kDefinition, "ABCDEFGH", "8"},
        // Apostrophes are taken off; doubled ones inside stay, as in a SET value.
        {"SITE='A B'", Kind::kDefinition, "SITE", "A B"},
        {"SITE='O''BRIEN'  ", Kind::kDefinition, "SITE", "O''BRIEN"},
        {"SITE=''", Kind::kDefinition, "SITE", ""},
        {"EMPTY=", Kind::kDefinition, "EMPTY", ""},
        {"EQ=A=B", Kind::kDefinition, "EQ", "A=B"},
        {"", Kind::kIgnored, "", ""},
        {"      ", Kind::kIgnored, "", ""},
        {"* SYSUID=NOTME", Kind::kIgnored, "", ""},
        {"   *comment", Kind::kIgnored, "", ""},
        {"*", Kind::kIgnored, "", ""},
    };
    for (const LineCase& c : cases) {
        const SystemSymbolLine parsed = ParseSystemSymbolLine(c.line);
        EXPECT_EQ(parsed.kind, c.kind) << c.line;
        EXPECT_EQ(parsed.name, c.name) << c.line;
        EXPECT_EQ(parsed.value, c.value) << c.line;
    }
}

TEST(SystemSymbolLine, MalformedLines) {
    const std::string tooLong(256, 'V');
    const std::string longest(255, 'V');
    EXPECT_EQ(ParseSystemSymbolLine("LONG=" + longest).value, longest);
    const std::string malformed[] = {
        "SYSUID",            // no equals sign
        "=VALUE",            // no name
        "&=VALUE",           // an ampersand alone is no name
        "ABCDEFGHI=9",       // nine characters
        "SYS UID=A",         // a blank inside the name
        "SYSUID =A",         // a blank before the equals sign
        "SYS-ID=A",          // not a name character
        "&&SYSUID=A",        // a temporary name
        "SYSUID..=A",        // two periods
        "SITE=A B",          // a blank in an unquoted value
        "SITE=A'B",          // an apostrophe in an unquoted value
        "SITE='A B",         // a quoted value not closed
        "SITE='",            // one apostrophe
        "SITE='A'B'",        // a lone apostrophe inside
        "SITE='A' B",        // text after the closing apostrophe
        "LONG=" + tooLong,   // more than 255 characters
    };
    for (const std::string& line : malformed)
        EXPECT_EQ(ParseSystemSymbolLine(line).kind, Kind::kMalformed) << line;
}

using Names = std::vector<std::string>;

TEST(UnresolvedSymbolNames, NamesLeftInADataSetName) {
    EXPECT_EQ(UnresolvedSymbolNames("PROD.IN.DATA"), Names{});
    EXPECT_EQ(UnresolvedSymbolNames("&HLQ..IN"), Names{"HLQ"});
    EXPECT_EQ(UnresolvedSymbolNames("'&A.&B..X(&A)'"), (Names{"A", "B", "A"}));
    // Temporary names, the ampersand of TCPIP& and a lone ampersand are no symbols.
    EXPECT_EQ(UnresolvedSymbolNames("&&TEMP"), Names{});
    EXPECT_EQ(UnresolvedSymbolNames("&&TEMP.&X"), Names{"X"});
    EXPECT_EQ(UnresolvedSymbolNames("SYS1.TCPIP&DATA"), Names{});
    EXPECT_EQ(UnresolvedSymbolNames("A.&.B&"), Names{});
    EXPECT_EQ(UnresolvedSymbolNames("&ONE&TWO"), (Names{"ONE", "TWO"}));
}

} // namespace
} // namespace kvr::test
