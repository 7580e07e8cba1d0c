// The debug listing of the expanded deck: one line per record type, in deck order. Job,
// step and procedure start and end lines: debug_deck_listing.
#include "expansion/deck_processor.h"

#include <gtest/gtest.h>

#include "base/contexts.h"
#include "model/job_model.h"

namespace kvr {
namespace {

TEST(DeckDump, EveryRecordTypeHasItsLine) {
    char names[][16] = {"PAYJOB", "SYSIN", "JOBCAT", "JOBLIB", "PROCLIB", "STEP1",    "MYPROC",
                        "OTHER",  "IF1",   "",       "E1",     "SCAN",    "//* HELLO"};
    RD_DDStatement dd{RD_STRUCT_DD, names[1], 0, 5, 7, nullptr};
    RD_DDStatement cat{RD_STRUCT_JOBCAT, names[2], 0, 3, 3, nullptr};
    RD_DDStatement lib{RD_STRUCT_JOBLIB, names[3], 0, 3, 3, nullptr};
    RD_DDStatement proc{RD_STRUCT_PROCLIB, names[4], 0, 3, 3, nullptr};
    RD_ProcHeader start1{RD_STRUCT_PROC_START, names[6], nullptr, 0, TRUE, 0, 10, 11};
    RD_ProcHeader start2{RD_STRUCT_PROC_START, names[7], nullptr, 0, FALSE, 0, 12, 123456};
    RD_IfElseEndIf ifRecord{RD_STRUCT_IF, names[8], nullptr, 0, 20, 21};
    RD_IfElseEndIf elseRecord{RD_STRUCT_ELSE, names[9], nullptr, 0, 22, 22};
    RD_IfElseEndIf endifRecord{RD_STRUCT_ENDIF, names[10], nullptr, 0, 23, 23};
    RD_JclComment comment{RD_STRUCT_COMMENT, 4, names[12]};
    RD_Quillo_Opc directive{RD_STRUCT_OPC, 5, names[11], nullptr};
    RD_JclCommon unknown{99};
    void* deck = nullptr;
    ASSERT_TRUE(CreateList(&deck, 0));
    for (void* item :
         std::initializer_list<void*>{&dd, &cat, &lib, &proc, &start1, &start2, &ifRecord,
                                      &elseRecord, &endifRecord, &comment, &directive, &unknown})
        AddItemToList(deck, item, "", 0);

    RunContext run;
    run.debug = 1;
    MemberContext ctx(run);
    ctx.deck.list = deck;
    testing::internal::CaptureStdout();
    DumpJclDeckToStdout(ctx);
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

    // Nothing outside debug runs; the deck's own current item is left alone.
    void* current = nullptr;
    ASSERT_TRUE(FindFirstItem(deck, &current));
    testing::internal::CaptureStdout();
    run.debug = 0;
    DumpJclDeckToStdout(ctx);
    ctx.deck.list = nullptr;
    DumpJclDeckToStdout(ctx);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_TRUE(GetCurrentItem(deck, &current));
    EXPECT_EQ(current, &dd);
    void* data = nullptr;
    while (FindFirstItem(deck, &data))
        UnlinkCurrentItem(deck, &data, 0);
    FreeBlock(deck);
}

} // namespace
} // namespace kvr
