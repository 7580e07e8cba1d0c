// Input contexts and the context and step-name stacks: reading order across stacked lists,
// the limit of 16 lists, and the messages of full and empty stacks.
#include "analyzer/expansion/deck_fixture.h"
#include "analyzer/expansion/hand_statement.h"
#include "expansion/deck_internal.h"

namespace kvr::test {
namespace {

using Ints = std::vector<int>;
using Strings = std::vector<std::string>;

StatementList* ListOf(const std::vector<const char*>& labels) {
    StatementList* list = nullptr;
    CreateStmtList(&list, 0);
    for (const char* label : labels) {
        auto stmt = MakeStatement(RD_DD, label, "DD", "DUMMY");
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
    return labels;
}

TEST_F(DeckTest, StackedListsAreReadTopFirst) {
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
    EXPECT_FALSE(GetNextStmt(context, &stmt, 0));
    EXPECT_EQ(stmt, nullptr);
    DeleteInputContext(context, 0);

    // A context deleted before its lists are read releases their cursors.
    ASSERT_TRUE(BeginInputContext(&context, outer, 0, 0));
    ASSERT_TRUE(AddStmtListToContext(context, inner, 0, 0));
    DeleteInputContext(context, 0);
    EXPECT_EQ(Raised(), Ints{});
    for (StatementList* list : {outer, inner, empty})
        DeleteStmtList(list, 0);
}

TEST_F(DeckTest, AContextHoldsSixteenLists) {
    StatementList* list = ListOf({"X"});
    RD_InputContext* context = nullptr;
    ASSERT_TRUE(BeginInputContext(&context, list, 0, 0));
    for (int n = 2; n <= 16; ++n)
        EXPECT_TRUE(AddStmtListToContext(context, list, 0, 0)) << n;
    EXPECT_FALSE(AddStmtListToContext(context, list, 0, 0));
    EXPECT_EQ(context->ListIndex, 16);
    EXPECT_EQ(LogLines(), (Strings{Text(1350)}));
    EXPECT_EQ(ReadAll(context).size(), 16u);
    DeleteInputContext(context, 0);

    // Velkor mode: its own number, and an MSG record in the import file.
    setMessageDll("pjwenus.dll");
    ASSERT_TRUE(BeginInputContext(&context, list, kModeVelkor, 0));
    for (int n = 2; n <= 17; ++n)
        AddStmtListToContext(context, list, kModeVelkor, 0);
    EXPECT_EQ(Raised(), (Ints{1350, 3054}));
    DeleteInputContext(context, 0);
    DeleteStmtList(list, 0);
    KVR_CloseImportFile();
    const std::string import = ReadFile(dir_.File("attrbout.txt"));
    EXPECT_NE(import.find("MSG JCL KVR4000 4 1350 "), std::string::npos) << import;
    EXPECT_NE(import.find("MSG JCL VADIRADO 4 3054 "), std::string::npos) << import;
}

TEST_F(DeckTest, ContextStackLimitsAndEmptyStack) {
    InitializeFields(0);
    RD_InputContext contexts[17] = {};
    EXPECT_EQ(QueryContext(0), nullptr);
    EXPECT_FALSE(PopContext(0));
    for (int n = 0; n < 16; ++n)
        EXPECT_TRUE(PushContext(&contexts[n], 0, 0)) << n;
    EXPECT_FALSE(PushContext(&contexts[16], 0, 0));
    EXPECT_EQ(QueryContext(0), &contexts[15]);
    EXPECT_EQ(ContextStackDepth(), 16);
    for (int n = 15; n >= 0; --n) {
        EXPECT_EQ(QueryContext(0), &contexts[n]);
        EXPECT_TRUE(PopContext(0));
    }
    EXPECT_EQ(Raised(), (Ints{1382, 1383, 1381}));
    EXPECT_EQ(LogLines().size(), 3u); // no locator lines
}

TEST_F(DeckTest, StepNameStackKeepsCopies) {
    InitializeFields(0);
    EXPECT_EQ(QueryStepName(0), nullptr);
    EXPECT_FALSE(PopStepName(0, 0));
    char name[] = "CALL";
    ASSERT_TRUE(PushStepName("", 0, 0));
    ASSERT_TRUE(PushStepName(name, 0, 0));
    name[0] = 'X';
    EXPECT_STREQ(QueryStepName(0), "CALL");
    for (int n = 3; n <= 16; ++n)
        EXPECT_TRUE(PushStepName("S", 0, 0)) << n;
    EXPECT_FALSE(PushStepName("T", 0, 0));
    EXPECT_STREQ(QueryStepName(0), "S");
    for (int n = 16; n > 2; --n)
        EXPECT_TRUE(PopStepName(0, 0));
    EXPECT_STREQ(QueryStepName(0), "CALL");
    EXPECT_TRUE(PopStepName(0, 0));
    EXPECT_STREQ(QueryStepName(0), "");
    EXPECT_EQ(Raised(), (Ints{1382, 1383, 1381}));
    // Names left behind are released by the per-member reset.
    InitializeStepNameStack(0);
    EXPECT_EQ(StepNameStackDepth(), 0);
}

} // namespace
} // namespace kvr::test
