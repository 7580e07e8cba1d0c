// Report page names: a name made only of what a file name and a URL carry safely is its own
// page name; any other is made safe and told apart from every other name by its hash.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "page_names.h"

namespace xref {
namespace {

TEST(PageNames, PlainMainframeNamesAreTheirOwnPageNames) {
    EXPECT_EQ(PageFileName("PROD.PAY.EXTRACT"), "PROD.PAY.EXTRACT.html");
    EXPECT_EQ(PageFileName("SYS1.$LIB@X-1"), "SYS1.$LIB@X-1.html");
    EXPECT_EQ(PageHref(PageKind::Dataset, "A.B", "../"), "../datasets/A.B.html");
    EXPECT_EQ(PageHref(PageKind::Psb, "P1", ""), "psbs/P1.html");
}

TEST(PageNames, AnyOtherNameIsSafeInAFolderAndAUrl) {
    const std::regex safe("[A-Z0-9.@$_-]*_[0-9a-f]{16}\\.html");
    for (const char* name :
         {"../../ETC/PASSWD", "/u/payroll/extract.txt", "<img src=x>", "A&B \"Q\" 'S'", "", ".",
          "..", ".HIDDEN", "A#B?C%20D", "A\\B", "A\nB", "\xC3\xA9T\xC3\xA9", "A_B", "a.b"}) {
        const std::string file = PageFileName(name);
        EXPECT_TRUE(std::regex_match(file, safe)) << name << " -> " << file;
        EXPECT_NE(file.front(), '.') << name;
    }
    EXPECT_EQ(PageFileName("/u/payroll/x.txt").substr(0, 17), "_U_PAYROLL_X.TXT_");
}

TEST(PageNames, NamesThatLookAlikeGetPagesOfTheirOwn) {
    // Case apart, the same after the unsafe characters are replaced, a kept name against one
    // that ends like a hash, long names that share their first hundred characters.
    const std::string longName(150, 'A');
    const std::vector<std::string> names = {
        "LOWER.DATA", "lower.data", "Lower.Data", "A B",          "A/B",
        "A<B",        "A_B",        longName,     longName + "B", "A_0123456789abcdef"};
    std::set<std::string> files;
    for (const std::string& name : names)
        files.insert(PageFileName(name));
    EXPECT_EQ(files.size(), names.size());
    EXPECT_EQ(PageFileName("lower.data"), PageFileName("lower.data")); // stable
    EXPECT_LE(PageFileName(longName).size(), 100u + 17u + 5u);
}

} // namespace
} // namespace xref
