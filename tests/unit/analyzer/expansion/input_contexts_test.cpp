// The context and step-name stacks: the messages of full and empty stacks. Reading order
// across stacked lists and the limit of 16 lists reached from a member:
// text_include_nesting_limit, text_proc_nesting_limit.
#include <gtest/gtest.h>

#include "analyzer/statement_test_support.h"
#include "expansion/deck_internal.h"
#include "expansion/deck_processor.h"
#include "reader/statement_list.h"

namespace kvr::test {
namespace {

using Strings = std::vector<std::string>;

TEST(InputContexts, ContextAndStepNameStacksHoldSixteen) {
    MessageRecorder messages;
    RunContext run;
    MemberContext ctx(run);
    RD_InputContext contexts[17] = {};
    EXPECT_EQ(QueryContext(ctx), nullptr);
    EXPECT_FALSE(PopContext(ctx));
    for (int n = 0; n < 16; ++n)
        EXPECT_TRUE(PushContext(ctx, &contexts[n])) << n;
    EXPECT_FALSE(PushContext(ctx, &contexts[16]));
    for (int n = 15; n >= 0; --n) {
        EXPECT_EQ(QueryContext(ctx), &contexts[n]);
        EXPECT_TRUE(PopContext(ctx));
    }
    // The step-name stack: the same messages, and it keeps copies of the names.
    EXPECT_EQ(QueryStepName(ctx), nullptr);
    EXPECT_FALSE(PopStepName(ctx));
    char name[] = "CALL";
    ASSERT_TRUE(PushStepName(ctx, name));
    name[0] = 'X';
    for (int n = 2; n <= 16; ++n)
        EXPECT_TRUE(PushStepName(ctx, "S")) << n;
    EXPECT_FALSE(PushStepName(ctx, "T"));
    for (int n = 16; n > 1; --n)
        EXPECT_TRUE(PopStepName(ctx));
    EXPECT_STREQ(QueryStepName(ctx), "CALL");
    const Strings ids = {"KVR1382E", "KVR1383E", "KVR1381W"};
    Strings twice = ids;
    twice.insert(twice.end(), ids.begin(), ids.end());
    EXPECT_EQ(messages.Ids(), twice); // no locator lines
    EXPECT_EQ(StepNameStackDepth(ctx), 1); // the name left behind goes with the context
}

} // namespace
} // namespace kvr::test
