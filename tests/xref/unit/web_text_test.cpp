// Text written into pages and DOT: markup characters escaped, bytes that are not UTF-8
// replaced, script data that cannot end its element.
#include <gtest/gtest.h>

#include "web_text.h"

namespace xref {
namespace {

TEST(WebText, HtmlTextEscapesEveryMarkupCharacter) {
    EXPECT_EQ(HtmlText("<a href='x'>\"&amp;\"</a>"),
              "&lt;a href=&#39;x&#39;&gt;&quot;&amp;amp;&quot;&lt;/a&gt;");
    EXPECT_EQ(HtmlText("PROD.PAY"), "PROD.PAY");
}

TEST(WebText, BytesThatAreNotUtf8BecomeReplacementCharacters) {
    EXPECT_EQ(ValidUtf8("caf\xC3\xA9"), "caf\xC3\xA9");           // kept
    EXPECT_EQ(ValidUtf8("\xE2\x82\xAC"), "\xE2\x82\xAC");         // three bytes
    EXPECT_EQ(ValidUtf8("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80"); // four bytes
    EXPECT_EQ(ValidUtf8("A\xC1"
                        "B"),
              "A\xEF\xBF\xBD"
              "B");                                               // a code-page byte
    EXPECT_EQ(ValidUtf8("\xC3"), "\xEF\xBF\xBD");                 // cut short
    EXPECT_EQ(ValidUtf8("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD"); // overlong
    EXPECT_EQ(ValidUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"); // surrogate
    EXPECT_EQ(ValidUtf8("\xF4\x90\x80\x80").substr(0, 3), "\xEF\xBF\xBD");        // beyond U+10FFFF
}

TEST(WebText, ScriptDataCannotCloseItsElement) {
    const std::string json = R"({"name":"</script><!-- & -->"})";
    const std::string safe = JsonForScript(json);
    EXPECT_EQ(safe.find('<'), std::string::npos);
    EXPECT_EQ(safe.find('>'), std::string::npos);
    EXPECT_EQ(safe, R"({"name":"\u003c/script\u003e\u003c!-- \u0026 --\u003e"})");
}

} // namespace
} // namespace xref
