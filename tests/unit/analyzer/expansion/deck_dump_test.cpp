// The debug listing of the expanded deck: one line per record type, in deck order. Job,
// step and procedure start and end lines: debug_deck_listing.
#include "expansion/deck_processor.h"

#include <gtest/gtest.h>

#include "base/contexts.h"
#include "model/job_model.h"

namespace kvr {
namespace {

// A deck record of the kind with its name and lines, listed in the member's deck.
template <class T> T* Listed(MemberContext& ctx, RD_StructureType type, const char* name = "") {
    T* record = NewDeckItem<T>(type, "test", "test");
    ctx.deck.Add(record, name);
    return record;
}

RD_DDStatement* ListedDD(MemberContext& ctx, RD_StructureType type, const char* name, int32_t line,
                         int32_t endLine) {
    auto* dd = Listed<RD_DDStatement>(ctx, type, name);
    dd->DDName = CopyText(name);
    dd->fileLine = line;
    dd->endFileLine = endLine;
    return dd;
}

RD_ProcHeader* ListedProc(MemberContext& ctx, const char* name, BOOLEAN inStream, int32_t line,
                          int32_t endLine) {
    auto* start = Listed<RD_ProcHeader>(ctx, RD_STRUCT_PROC_START);
    start->procedureName = CopyText(name);
    start->isInstreamProc = inStream;
    start->invokingStepFileLine = line;
    start->invokingStepEndFileLine = endLine;
    return start;
}

void ListedCondition(MemberContext& ctx, RD_StructureType type, const char* label, int32_t line,
                     int32_t endLine) {
    auto* record = Listed<RD_IfElseEndIf>(ctx, type);
    record->statementLabel = CopyText(label);
    record->fileLine = line;
    record->endFileLine = endLine;
}

TEST(DeckDump, EveryRecordTypeHasItsLine) {
    RunContext run;
    run.debug = 1;
    MemberContext ctx(run);
    const int32_t blocks = [] {
        int32_t created = 0, freed = 0;
        QueryBlockStatistics(&created, &freed);
        return created - freed;
    }();
    {
        MemberContext member(run);
        ASSERT_TRUE(member.deck.Create());
        RD_DDStatement* first = ListedDD(member, RD_STRUCT_DD, "SYSIN", 5, 7);
        ListedDD(member, RD_STRUCT_JOBCAT, "JOBCAT", 3, 3);
        ListedDD(member, RD_STRUCT_JOBLIB, "JOBLIB", 3, 3);
        ListedDD(member, RD_STRUCT_PROCLIB, "PROCLIB", 3, 3);
        ListedProc(member, "MYPROC", TRUE, 10, 11);
        ListedProc(member, "OTHER", FALSE, 12, 123456);
        ListedCondition(member, RD_STRUCT_IF, "IF1", 20, 21);
        ListedCondition(member, RD_STRUCT_ELSE, "", 22, 22);
        ListedCondition(member, RD_STRUCT_ENDIF, "E1", 23, 23);
        auto* comment = Listed<RD_JclComment>(member, RD_STRUCT_COMMENT);
        comment->fileLine = 4;
        comment->sourceText = CopyText("//* HELLO");
        auto* directive = Listed<RD_Quillo_Opc>(member, RD_STRUCT_OPC);
        directive->fileLine = 5;
        directive->operation = CopyText("SCAN");
        Listed<RD_Quillo_Opc>(member, static_cast<RD_StructureType>(99));

        testing::internal::CaptureStdout();
        DumpJclDeckToStdout(member);
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "JclDeck\n=======\n"
                  "structureType(2) DD\t     5     7 SYSIN\n"
                  "structureType(3) DD(JOBCAT)\tJOBCAT\n"
                  "structureType(4) DD(JOBLIB)\t     JOBLIB\n"
                  "structureType(5) DD(PROCLIB)\tPROCLIB\n"
                  "structureType(7) PROC\t    10    11 MYPROC Inline\n"
                  "structureType(7) PROC\t    12123456 OTHER \n"
                  "structureType(9) IF\t    20    21 IF1\n"
                  "structureType(10) ELSE\t    22    22 \n"
                  "structureType(11) ENDIF\t    23    23 E1\n"
                  "structureType(12) COMMENT\t     4       //* HELLO\n"
                  "structureType(13) QuilloOPC\t     5       SCAN\n"
                  "structureType(99) UNKNOWN\n"
                  "================\n");

        // Nothing outside debug runs, nor without a deck; the deck's own current item is left
        // alone.
        void* current = nullptr;
        ASSERT_TRUE(FindFirstItem(member.deck.Handle(), &current));
        testing::internal::CaptureStdout();
        run.debug = 0;
        DumpJclDeckToStdout(member);
        run.debug = 1;
        DumpJclDeckToStdout(ctx);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "JclDeck\n=======\n================\n");
        ASSERT_TRUE(GetCurrentItem(member.deck.Handle(), &current));
        EXPECT_EQ(current, static_cast<RD_JclCommon*>(first));
    }
    // The context gave every record back with what it owned.
    int32_t created = 0, freed = 0;
    QueryBlockStatistics(&created, &freed);
    EXPECT_EQ(created - freed, blocks);
}

} // namespace
} // namespace kvr
