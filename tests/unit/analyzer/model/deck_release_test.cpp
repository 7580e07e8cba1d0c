// Release of the expanded deck: a deck holding every kind of record, with DDs, data set
// entries, in-stream data and OUTPUT statements hanging off it, gives back every block.
#include <algorithm>

#include "analyzer/model/model_fixture.h"

namespace kvr {
namespace {

using test::ModelTest;

template <typename T> T* NewRecord(int16_t type) {
    void* block = nullptr;
    CreateBlockWithDebug(&block, sizeof(T), "test record", 0);
    auto* record = static_cast<T*>(block);
    *record = T{};
    record->structureType = type;
    return record;
}

TEST_F(ModelTest, ReleasingTheDeckGivesBackEveryBlock) {
    Free_arrayJclDeck(deck_, 0); // this test counts the deck list's own block too
    deck_ = nullptr;
    const int32_t before = test::BlocksOutstanding();

    CreateList(&deck_, 0);
    Job();
    ProcessOutputCard(Stmt("JOUT", RD_OUTPUT, "DEFAULT=YES,FORMS=STD", 1), 0, 0);
    DD("JOBCAT", "CAT.A", 2);
    DD("JOBLIB", "LIB.A", 3);
    DD("", "LIB.B", 4);
    DD("PROCLIB", "PROC.A", 5);
    AddIf(deck_, Stmt("T1", RD_IF, "RC = 0 THEN", 6), 0, 0);
    Step("S1", 7);
    DD("OUT", "A.OUT", 8);
    DD("", "B.OUT", 9);
    // A step DD with in-stream data: the entry's copy of the spool is released with it.
    JCLStatement* sysin = Stmt("SYSIN", RD_DD, "*", 10);
    SourceLine card{0, 11, 8, "DATA ONE"};
    AddInstreamDataToStmt(sysin, &card, 0);
    AddDD(deck_, "SYSIN", 0, FALSE, "", "", "", "*", sysin->inStreamData, 10, 11, "SITE1", sysin, 0,
          0);
    RD_DDStatement* sysinDD = QueryCurrentStep(QueryCurrentJob())->CurrentDDStatement;
    void* cursor = CreateConcatenationCursor(sysinDD, 0, 0);
    RD_DatasetConcatenation* entry = QueryConcatenationCursor(cursor);
    DeleteConcatenationCursor(cursor, 0);
    ASSERT_NE(entry, nullptr);
    ASSERT_NE(entry->inStreamData, nullptr);
    if (entry->inStreamData == sysin->inStreamData) sysin->inStreamData = nullptr; // handed over
    ProcessOutputCard(Stmt("SOUT", RD_OUTPUT, "FCB=X", 12), 0, 0);
    AddElse(deck_, Stmt("", RD_ELSE, nullptr, 13), 0);
    AddEndIf(deck_, Stmt("", RD_ENDIF, nullptr, 14), 0, 0);

    // A bare DD record, and the records other parts put in the deck.
    RD_DDStatement* bare = AllocateDD("BARE", 0, 15, 15, 0);
    AddItemToList(deck_, bare, bare->DDName, 0);
    auto* start = NewRecord<RD_ProcHeader>(RD_STRUCT_PROC_START);
    start->procedureName = CloneString("PROC1", 0);
    start->allParms = CloneString("A=1", 0);
    AddItemToList(deck_, start, "", 0);
    AddItemToList(deck_, NewRecord<RD_ProcHeader>(RD_STRUCT_PROC_END), "", 0);
    auto* comment = NewRecord<RD_JclComment>(RD_STRUCT_COMMENT);
    comment->sourceText = CloneString("//* NOTE", 0);
    AddItemToList(deck_, comment, "", 0);
    auto* directive = NewRecord<RD_Quillo_Opc>(RD_STRUCT_OPC);
    directive->operation = CloneString("SCAN", 0);
    directive->parameters = CloneString("", 0);
    AddItemToList(deck_, directive, "", 0);

    const std::vector<int> types = DeckTypes();
    for (int type = RD_STRUCT_JOB; type <= RD_STRUCT_OPC; ++type)
        EXPECT_NE(std::find(types.begin(), types.end(), type), types.end()) << type;
    statements_.clear();
    EXPECT_GT(test::BlocksOutstanding(), before);
    Free_arrayJclDeck(deck_, 0);
    deck_ = nullptr;
    EXPECT_EQ(QueryCurrentJob(), nullptr);
    EXPECT_EQ(test::BlocksOutstanding(), before);
}

} // namespace
} // namespace kvr
