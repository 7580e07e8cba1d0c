// The variables naming the search-list files: set, unset, DUMMY, the DD_ spelling and the
// bound of the caller's buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/scoped_env.h"
#include "kvrbase.h"

namespace {

using kvr::test::ScopedEnv;

TEST(CheckWorkstationEnvironmentVariable, ValueOrNone) {
    ScopedEnv colon("DD:KVRTESTVAR");
    ScopedEnv underscore("DD_KVRTESTVAR");
    colon.Unset();
    underscore.Unset();
    char value[1025];
    std::memset(value, 'x', sizeof value);
    EXPECT_EQ(CheckWorkstationEnvironmentVariable("DD:KVRTESTVAR", value, 0), FALSE);
    EXPECT_STREQ(value, "");

    underscore.Set("/from/underscore");
    EXPECT_EQ(CheckWorkstationEnvironmentVariable("DD:KVRTESTVAR", value, 0), TRUE);
    EXPECT_STREQ(value, "/from/underscore");
    colon.Set("\"/quoted path\"");
    EXPECT_EQ(CheckWorkstationEnvironmentVariable("DD:KVRTESTVAR", value, 0), TRUE);
    EXPECT_STREQ(value, "\"/quoted path\""); // the value as it is: callers normalize it
    colon.Set("DUMMY");
    EXPECT_EQ(CheckWorkstationEnvironmentVariable("DD:KVRTESTVAR", value, 0), FALSE);

    std::string longValue(2000, 'v');
    colon.Set(longValue);
    char bounded[1025 + 8];
    std::memset(bounded, 'g', sizeof bounded);
    EXPECT_EQ(CheckWorkstationEnvironmentVariable("DD:KVRTESTVAR", bounded, 0), TRUE);
    EXPECT_EQ(std::strlen(bounded), 1024u);
    EXPECT_EQ(bounded[1025], 'g'); // nothing written past the 1025 characters
}

} // namespace
