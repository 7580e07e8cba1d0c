// Input contexts and the context and step-name stacks: reading order across stacked lists,
// the limit of 16 lists, and the messages of full and empty stacks.
#include "analyzer/expansion/deck_fixture.h"
#include "expansion/deck_internal.h"

namespace kvr::test {
namespace {

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
    EXPECT_EQ(stmt, nullptr);
    return labels;
}

TEST_F(DeckTest, StackedListsAreReadTopFirstUpToSixteen) {
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
    EXPECT_EQ(Raised(), Ints{});

    // Sixteen lists at most: 1350, and 3054 with an MSG record in Velkor mode.
    for (int16_t mode : {kModeStandard, kModeVelkor}) {
        setMessageDll(mode == kModeVelkor ? "pjwenus.dll" : "kvrmsg.dll");
        ASSERT_TRUE(BeginInputContext(&context, empty, mode, 0));
        for (int n = 2; n <= 16; ++n)
            EXPECT_TRUE(AddStmtListToContext(context, inner, mode, 0)) << n;
        EXPECT_FALSE(AddStmtListToContext(context, inner, mode, 0));
        EXPECT_EQ(context->ListIndex, 16);
        if (mode == kModeStandard) {
            EXPECT_EQ(ReadAll(context).size(), 30u);
        }
        DeleteInputContext(context, 0);
    }
    EXPECT_EQ(Raised(), (Ints{1350, 3054}));
    EXPECT_EQ(LogLines().size(), 2u); // no locator lines
    for (StatementList* list : {outer, inner, empty})
        DeleteStmtList(list, 0);
    KVR_CloseImportFile();
    const std::string import = ReadFile(dir_.File("attrbout.txt"));
    EXPECT_NE(import.find("MSG JCL KVR4000 4 1350 "), std::string::npos) << import;
    EXPECT_NE(import.find("MSG JCL VADIRADO 4 3054 "), std::string::npos) << import;
}

TEST_F(DeckTest, ContextAndStepNameStacksHoldSixteen) {
    RD_InputContext contexts[17] = {};
    EXPECT_EQ(QueryContext(0), nullptr);
    EXPECT_FALSE(PopContext(0));
    for (int n = 0; n < 16; ++n)
        EXPECT_TRUE(PushContext(&contexts[n], 0, 0)) << n;
    EXPECT_FALSE(PushContext(&contexts[16], 0, 0));
    EXPECT_EQ(ContextStackDepth(), 16);
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
    EXPECT_STREQ(QueryStepName(0), "S");
    for (int n = 16; n > 1; --n)
        EXPECT_TRUE(PopStepName(0, 0));
    EXPECT_STREQ(QueryStepName(0), "CALL");
    EXPECT_EQ(Raised(), (Ints{1382, 1383, 1381, 1382, 1383, 1381}));
    EXPECT_EQ(LogLines().size(), 6u); // no locator lines
    // Names left behind are released by the per-member reset.
    InitializeStepNameStack(0);
    EXPECT_EQ(StepNameStackDepth(), 0);
}

} // namespace
} // namespace kvr::test
