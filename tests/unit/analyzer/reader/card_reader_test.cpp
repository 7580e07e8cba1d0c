// The card reader: CA-7 cards dropped, the push-back card, and in-stream data cards at the
// end of the input and in card lists. Card classes, dropped control and blank cards, saved
// comments, directives and the end lines of DD * data are pinned by text_cards_continuations,
// text_comments, text_opc, opc_directive_in_deck and text_instream_data.
#include "reader/card_reader.h"

#include "reader/instream_data.h"
#include "reader_fixture.h"

namespace kvr::test {
namespace {

using CardReader = ReaderTest;

std::string Text(const SourceLine& card) {
    return card.SourceText;
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

TEST_F(CardReader, TransmittedCardsEndAtTheirDelimiter) {
    char delimiter[3];
    TransmissionDelimiter("/*XMIT NODE1", delimiter);
    EXPECT_STREQ(delimiter, "/*");
    TransmissionDelimiter("/*XMIT NODE1 DLM=TURIN", delimiter); // the first two delimit
    EXPECT_STREQ(delimiter, "TU");
    TransmissionDelimiter("/*XMIT NODE1 DLM='@ ',X", delimiter);
    EXPECT_STREQ(delimiter, "@ ");
    TransmissionDelimiter("/*XMIT NODE1 DLM=Z", delimiter); // too short: the default
    EXPECT_STREQ(delimiter, "/*");
    EXPECT_TRUE(IsJes2Transmission("/*XMIT"));
    EXPECT_FALSE(IsJes2Transmission("/*XMITX"));

    // The cards after /*XMIT are neither statements nor comments of the job.
    Member({"//J1 JOB", "/*XMIT N DLM=ZZ", "//OTHER JOB", "//* THEIRS", "ZZ", "//S1 EXEC PGM=X"});
    SourceLine card{};
    ASSERT_TRUE(ReadNextNonCommentCard(Ctx(), &card, STMT_START, nullptr));
    ASSERT_TRUE(ReadNextNonCommentCard(Ctx(), &card, STMT_START, nullptr));
    EXPECT_EQ(card.fileLine, 6);
    EXPECT_TRUE(Comments().empty());
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
