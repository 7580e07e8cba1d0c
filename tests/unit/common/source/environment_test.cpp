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
    ScopedEnv colon("DD:KVRTESTVAR", std::nullopt);
    ScopedEnv underscore("DD_KVRTESTVAR", std::nullopt);
    char value[1025 + 8];
    std::memset(value, 'g', sizeof value);
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

    colon.Set(std::string(2000, 'v'));
    std::memset(value, 'g', sizeof value);
    EXPECT_EQ(CheckWorkstationEnvironmentVariable("DD:KVRTESTVAR", value, 0), TRUE);
    EXPECT_EQ(std::strlen(value), 1024u);
    EXPECT_EQ(value[1025], 'g'); // nothing written past the 1025 characters
}

} // namespace
