// The card reader: card classes, CA-7 and JES2 cards dropped, comments kept in the deck,
// scheduler directives by state, the push-back card, card lists, and in-stream data cards.
// Dropped control and blank cards, saved comments and the end lines of DD * data are pinned
// by text_cards_continuations, text_comments and text_instream_data.
#include "reader/card_reader.h"

#include "reader/instream_data.h"
#include "reader_fixture.h"

namespace kvr::test {
namespace {

using CardReader = ReaderTest;

std::string Text(const SourceLine& card) {
    return card.SourceText;
}

TEST_F(CardReader, CardClassesCompareExactBytesFromColumnOne) {
    using Cases = std::initializer_list<std::pair<const char*, int>>;
    // Directives are recognised only while their capture is on, and need the blank.
    EXPECT_EQ(IsQuilloWorkloadManagerComment(Ctx(), "//*%OPC SCAN"), 0);
    Ctx().run.captureOPC = true;
    for (const auto& [card, is] :
         Cases{{"//*%OPC SCAN", 1}, {"//*%OPCSCAN", 0}, {"//*%opc SCAN", 0}})
        EXPECT_EQ(IsQuilloWorkloadManagerComment(Ctx(), card), is) << card;
    for (const auto& [card, is] : Cases{{"//* TEXT", 1}, {" //*", 0}, {"//S1", 0}})
        EXPECT_EQ(IsJclComment(card), is) << card;
    for (const auto& [card, is] : Cases{{"/*JOBPARM", 1}, {"/*", 1}, {"//*", 0}})
        EXPECT_EQ(IsJes2ControlStmt(card), is) << card;
    for (const auto& [card, is] : Cases{{"#JCL", 1},
                                        {"    #JEND", 1},
                                        {"#JOB ACCOUNT", 1},
                                        {"#7UNIX", 1},
                                        {"#JC", 0},
                                        {"# JCL", 0},
                                        {"//#JCL", 0},
                                        {"#jcl", 0}})
        EXPECT_EQ(CheckForCA7ControlStatement(card) ? 1 : 0, is) << card;

    // Exactly two characters take part, whatever the delimiter's length.
    EXPECT_TRUE(TestDelimiter(TRUE, "ABC", "ABX DATA"));
    EXPECT_FALSE(TestDelimiter(TRUE, "AB", "A"));
    EXPECT_FALSE(TestDelimiter(FALSE, "//", "//S1"));
    EXPECT_TRUE(TestDelimiter(TRUE, "//", "//S1"));
}

TEST_F(CardReader, CA7CardsVanishAndThePushedBackCardComesAgain) {
    Member({"#JCL", "//J1 JOB", "  #HLD", "//S1 EXEC PGM=X"});
    SourceLine card{};
    ASSERT_TRUE(ReadNextCard(Ctx(), &card, nullptr));
    PushBackLastCard(Ctx());
    SourceLine again{};
    ASSERT_TRUE(ReadNextCard(Ctx(), &again, nullptr));
    EXPECT_EQ(Text(again), "//J1 JOB");
    EXPECT_EQ(again.fileLine, 2);
    ASSERT_TRUE(ReadNextCard(Ctx(), &card, nullptr));
    EXPECT_EQ(card.fileLine, 4);
    EXPECT_FALSE(ReadNextCard(Ctx(), &card, nullptr));
    // The end of the input can be pushed back as well.
    PushBackLastCard(Ctx());
    EXPECT_FALSE(ReadNextCard(Ctx(), &card, nullptr));
}

TEST_F(CardReader, CapturedDirectivesAreCardsOnlyBetweenStatements) {
    Ctx().run.captureOPC = true;
    SourceLine card{};
    for (JCL_STATE open : {STMT_START, STMT_DONE, STMT_DONE_EOF}) {
        void* cursor = Cards({"//*%OPC SCAN", "//J1 JOB"});
        ASSERT_TRUE(ReadNextNonCommentCard(Ctx(), &card, open, cursor));
        EXPECT_EQ(Text(card), "//*%OPC SCAN") << open;
    }
    for (JCL_STATE continuing : {STMT_APOST_CONT, STMT_CMNT_CONT, STMT_IF_CONT, STMT_PARM_CONT,
                                 STMT_PARM_PAREN_ENCLOSED_APOST_CONT}) {
        void* cursor = Cards({"//*%OPC SCAN", "//J1 JOB"});
        ASSERT_TRUE(ReadNextNonCommentCard(Ctx(), &card, continuing, cursor));
        EXPECT_EQ(Text(card), "//J1 JOB") << continuing;
    }
    // Dropped, not saved as a comment.
    EXPECT_TRUE(Comments().empty());
}

TEST_F(CardReader, CardListsNeverTouchThePushBackCard) {
    Member({"//J1 JOB", "//S1 EXEC PGM=X"});
    SourceLine card{};
    ASSERT_TRUE(ReadNextCard(Ctx(), &card, nullptr));
    PushBackLastCard(Ctx());

    void* cursor = Cards({"#JCL", "//C1 DD DUMMY", "#XO"});
    ASSERT_TRUE(ReadNextCard(Ctx(), &card, cursor));
    EXPECT_EQ(Text(card), "//C1 DD DUMMY");
    EXPECT_EQ(card.fileLine, 2);
    std::memset(card.SourceText, 'x', sizeof card.SourceText);
    EXPECT_FALSE(ReadNextCard(Ctx(), &card, cursor));
    EXPECT_EQ(card.SourceText[0], '\0'); // the buffer was cleared
    void* first = nullptr;
    ASSERT_TRUE(FindFirstItem(cardLists_.back(), &first));
    EXPECT_STREQ(static_cast<SourceLine*>(first)->SourceText, "#JCL"); // the list is unchanged

    // The card pushed back before is still there for the file reader.
    ASSERT_TRUE(ReadNextCard(Ctx(), &card, nullptr));
    EXPECT_EQ(Text(card), "//J1 JOB");
    ASSERT_TRUE(ReadNextCard(Ctx(), &card, nullptr));
    EXPECT_EQ(Text(card), "//S1 EXEC PGM=X");
}

class InstreamCards : public ReaderTest {
  protected:
    void SetUp() override {
        ReaderTest::SetUp();
        ASSERT_TRUE(CreateJCLStatement(Ctx(), &step_));
        step_->endFileLine = 1;
        Ctx().listBuilder.currentStepStatement = step_;
    }
    void TearDown() override {
        Ctx().listBuilder.currentStepStatement = nullptr;
        DeleteJCLStatement(step_, TRUE);
        ReaderTest::TearDown();
    }
    int32_t Count() const {
        return stmt_->inStreamData ? static_cast<RD_InstreamData*>(stmt_->inStreamData)->RecordCount
                                   : 0;
    }
    JCLStatement* step_ = nullptr;
};

TEST_F(InstreamCards, DelimiterCardsAndCapturedDirectivesInsideData) {
    Ctx().run.captureOPC = true;
    // A captured directive never ends data that "//" cards end.
    Member({"//*%OPC SCAN", "D1", "//S1 EXEC PGM=X"});
    Ctx().run.jesVersion = "JES2";
    SkipInStreamData(Ctx(), TRUE, TRUE, FALSE, "", stmt_);
    EXPECT_EQ(Count(), 2);
    char* text = nullptr;
    int32_t length = 0;
    ASSERT_TRUE(ReadFirstInstreamSpool(stmt_->inStreamData, &text, &length));
    EXPECT_STREQ(text, "//*%OPC SCAN");
    SourceLine card{};
    ASSERT_TRUE(ReadNextCard(Ctx(), &card, nullptr));
    EXPECT_EQ(Text(card), "//S1 EXEC PGM=X");

    // With only a delimiter, "//" and "/*" cards are data; the delimiter card is consumed.
    void* spool = stmt_->inStreamData;
    ResetJCLStatement(Ctx(), stmt_);
    DeleteInstreamSpool(spool);
    void* cursor = Cards({"//NOT END", "/*", "ABC END", "AFTER"});
    Ctx().run.jesVersion = "JES3";
    SkipInStreamDataFrom(Ctx(), FALSE, FALSE, TRUE, "AB", stmt_, cursor);
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(stmt_->endFileLine, 3);
    ASSERT_TRUE(ReadNextCard(Ctx(), &card, cursor));
    EXPECT_EQ(Text(card), "AFTER");
}

TEST_F(InstreamCards, EndOfInputInsideDataIsReportedToTheNextRead) {
    Member({"D1", "D2"});
    Ctx().run.jesVersion = "JES2";
    SkipInStreamData(Ctx(), TRUE, TRUE, FALSE, "", stmt_);
    EXPECT_EQ(Count(), 2);
    // Another member opened now is not seen by the next read: it gets the end again.
    const std::string lib = Container("LIB2", {{"NEXT", "//J2 JOB\n"}});
    ASSERT_TRUE(OpenMain(lib, "NEXT"));
    SourceLine card{};
    EXPECT_FALSE(ReadNextCard(Ctx(), &card, nullptr));
    ASSERT_TRUE(ReadNextCard(Ctx(), &card, nullptr));
    EXPECT_EQ(Text(card), "//J2 JOB");
}

TEST_F(InstreamCards, CardListDataStaysInTheList) {
    void* cursor = Cards({"D1", "#JCL", "D2", "//S2 EXEC PGM=Y"});
    Ctx().run.jesVersion = "JES2";
    SkipInStreamDataFrom(Ctx(), TRUE, TRUE, FALSE, "", stmt_, cursor);
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(step_->endFileLine, 3);
    SourceLine card{};
    ASSERT_TRUE(ReadNextCard(Ctx(), &card, cursor));
    EXPECT_EQ(Text(card), "//S2 EXEC PGM=Y");
    EXPECT_FALSE(ReadNextCard(Ctx(), &card, cursor));
}

} // namespace
} // namespace kvr::test
