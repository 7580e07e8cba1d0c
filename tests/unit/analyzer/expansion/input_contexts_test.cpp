// Input contexts and the context and step-name stacks: reading order across stacked lists,
// cursors released with their context, and the messages of full and empty stacks. The
// limit of 16 lists reached from a member: text_include_nesting_limit, text_proc_nesting_limit.
#include <gtest/gtest.h>

#include "analyzer/statement_test_support.h"
#include "expansion/deck_internal.h"
#include "expansion/deck_processor.h"
#include "reader/statement_list.h"

namespace kvr::test {
namespace {

using Strings = std::vector<std::string>;

StatementList* ListOf(MemberContext& ctx, const std::vector<const char*>& labels) {
    StatementList* list = nullptr;
    CreateStmtList(ctx, &list);
    for (const char* label : labels) {
        StmtPtr stmt = MakeStatement(ctx, RD_DD, label, "DUMMY");
        JCLStatement* copy = nullptr;
        AddStmtToList(ctx, stmt.get(), list, &copy);
    }
    return list;
}

Strings ReadAll(MemberContext& ctx, RD_InputContext* context) {
    Strings labels;
    JCLStatement* stmt = nullptr;
    while (GetNextStmt(ctx, context, &stmt))
        labels.push_back(stmt->StatementLabel);
    EXPECT_EQ(stmt, nullptr);
    return labels;
}

TEST(InputContexts, StackedListsAreReadTopFirstAndReleasedWithTheirContext) {
    MessageRecorder messages;
    const int32_t before = BlocksOutstanding();
    RunContext run;
    MemberContext ctx(run);
    StatementList* outer = ListOf(ctx, {"A1", "A2", "A3"});
    StatementList* inner = ListOf(ctx, {"B1", "B2"});
    StatementList* empty = ListOf(ctx, {});
    RD_InputContext* context = nullptr;
    ASSERT_TRUE(BeginInputContext(ctx, &context, outer));
    JCLStatement* stmt = nullptr;
    ASSERT_TRUE(GetNextStmt(ctx, context, &stmt));
    EXPECT_STREQ(stmt->StatementLabel, "A1");
    // Pushed after A1 was read: B1, B2 come next, then reading goes on after A1.
    ASSERT_TRUE(AddStmtListToContext(ctx, context, inner));
    ASSERT_TRUE(AddStmtListToContext(ctx, context, empty));
    EXPECT_EQ(context->ListIndex, 3);
    EXPECT_EQ(ReadAll(ctx, context), (Strings{"B1", "B2", "A2", "A3"}));
    EXPECT_EQ(context->ListIndex, 0);
    DeleteInputContext(context);
    // A context deleted before its lists are read releases their cursors.
    ASSERT_TRUE(BeginInputContext(ctx, &context, outer));
    ASSERT_TRUE(AddStmtListToContext(ctx, context, inner));
    DeleteInputContext(context);
    for (StatementList* list : {outer, inner, empty})
        DeleteStmtList(list);
    EXPECT_TRUE(messages.Ids().empty());
    EXPECT_EQ(BlocksOutstanding(), before);
}

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
