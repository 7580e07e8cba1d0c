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

StatementList* ListOf(const std::vector<const char*>& labels) {
    StatementList* list = nullptr;
    CreateStmtList(&list, 0);
    for (const char* label : labels) {
        StmtPtr stmt = MakeStatement(RD_DD, label, "DUMMY");
        JCLStatement* copy = nullptr;
        AddStmtToList(stmt.get(), list, &copy, 0);
    }
    return list;
}

Strings ReadAll(RD_InputContext* context) {
    Strings labels;
    JCLStatement* stmt = nullptr;
    while (GetNextStmt(context, &stmt, 0))
        labels.push_back(stmt->StatementLabel);
    EXPECT_EQ(stmt, nullptr);
    return labels;
}

TEST(InputContexts, StackedListsAreReadTopFirstAndReleasedWithTheirContext) {
    MessageRecorder messages;
    const int32_t before = BlocksOutstanding();
    StatementList* outer = ListOf({"A1", "A2", "A3"});
    StatementList* inner = ListOf({"B1", "B2"});
    StatementList* empty = ListOf({});
    RD_InputContext* context = nullptr;
    ASSERT_TRUE(BeginInputContext(&context, outer, 0, 0));
    JCLStatement* stmt = nullptr;
    ASSERT_TRUE(GetNextStmt(context, &stmt, 0));
    EXPECT_STREQ(stmt->StatementLabel, "A1");
    // Pushed after A1 was read: B1, B2 come next, then reading goes on after A1.
    ASSERT_TRUE(AddStmtListToContext(context, inner, 0, 0));
    ASSERT_TRUE(AddStmtListToContext(context, empty, 0, 0));
    EXPECT_EQ(context->ListIndex, 3);
    EXPECT_EQ(ReadAll(context), (Strings{"B1", "B2", "A2", "A3"}));
    EXPECT_EQ(context->ListIndex, 0);
    DeleteInputContext(context, 0);
    // A context deleted before its lists are read releases their cursors.
    ASSERT_TRUE(BeginInputContext(&context, outer, 0, 0));
    ASSERT_TRUE(AddStmtListToContext(context, inner, 0, 0));
    DeleteInputContext(context, 0);
    for (StatementList* list : {outer, inner, empty})
        DeleteStmtList(list, 0);
    EXPECT_TRUE(messages.Ids().empty());
    EXPECT_EQ(BlocksOutstanding(), before);
}

TEST(InputContexts, ContextAndStepNameStacksHoldSixteen) {
    MessageRecorder messages;
    RD_InputContext contexts[17] = {};
    EXPECT_EQ(QueryContext(0), nullptr);
    EXPECT_FALSE(PopContext(0));
    for (int n = 0; n < 16; ++n)
        EXPECT_TRUE(PushContext(&contexts[n], 0, 0)) << n;
    EXPECT_FALSE(PushContext(&contexts[16], 0, 0));
    for (int n = 15; n >= 0; --n) {
        EXPECT_EQ(QueryContext(0), &contexts[n]);
        EXPECT_TRUE(PopContext(0));
    }
    // The step-name stack: the same messages, and it keeps copies of the names.
    EXPECT_EQ(QueryStepName(0), nullptr);
    EXPECT_FALSE(PopStepName(0, 0));
    char name[] = "CALL";
    ASSERT_TRUE(PushStepName(name, 0, 0));
    name[0] = 'X';
    for (int n = 2; n <= 16; ++n)
        EXPECT_TRUE(PushStepName("S", 0, 0)) << n;
    EXPECT_FALSE(PushStepName("T", 0, 0));
    for (int n = 16; n > 1; --n)
        EXPECT_TRUE(PopStepName(0, 0));
    EXPECT_STREQ(QueryStepName(0), "CALL");
    const Strings ids = {"KVR1382E", "KVR1383E", "KVR1381W"};
    Strings twice = ids;
    twice.insert(twice.end(), ids.begin(), ids.end());
    EXPECT_EQ(messages.Ids(), twice); // no locator lines
    InitializeStepNameStack(0); // names left behind are released by the per-member reset
    EXPECT_EQ(StepNameStackDepth(), 0);
}

} // namespace
} // namespace kvr::test
