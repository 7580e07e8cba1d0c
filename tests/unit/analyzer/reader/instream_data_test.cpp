// In-stream data: which cards end the data of DD * and DD DATA, the DLM= value, and the
// spool of card copies with its walk, copy and release.
#include "reader/instream_data.h"

#include "reader_fixture.h"

namespace kvr::test {
namespace {

class InstreamData : public ReaderTest {
  protected:
    void Parms(const std::string& text) {
        ResetJCLStatement(stmt_, 0);
        stmt_->FileReference = 0;
        stmt_->fileLine = 1;
        stmt_->StatementType = RD_DD;
        ASSERT_TRUE(AllocateParmArea(stmt_, text.size(), 0));
        std::memcpy(stmt_->StatementParms, text.c_str(), text.size() + 1);
        stmt_->ParmLength = static_cast<int32_t>(text.size());
    }
    struct Ends {
        bool data, slashSlash, slashStar, dlm;
        std::string delimiter;
        bool operator==(const Ends&) const = default;
    };
    Ends Test(const std::string& text, const char* jes = "JES2") {
        Parms(text);
        BOOLEAN ss = 9, st = 9, dl = 9;
        char delimiter[16] = {};
        const bool data = TestForInstreamDD(stmt_, &ss, &st, &dl, delimiter, jes, 0, 0);
        if (!data) return Ends{};
        return Ends{true, ss == TRUE, st == TRUE, dl == TRUE, delimiter};
    }
    std::vector<std::string> Spool(void* spool) {
        std::vector<std::string> texts;
        char* text = nullptr;
        int32_t length = 0;
        for (BOOLEAN more = ReadFirstInstreamSpool(spool, &text, &length); more;
             more = ReadNextInstreamSpool(spool, &text, &length))
            texts.emplace_back(text, static_cast<size_t>(length));
        EXPECT_EQ(text, nullptr);
        EXPECT_EQ(length, 0);
        return texts;
    }
};

TEST_F(InstreamData, WhichCardsEndTheData) {
    const std::pair<const char*, Ends> cases[] = {
        {"*", {true, true, true, false, ""}},
        {"*,DCB=LRECL=80", {true, true, true, false, ""}},
        {"*,DLM=$$", {true, true, false, true, "$$"}},
        {"DATA", {true, false, true, false, ""}},
        {"DATA,DLM=$$", {true, false, false, true, "$$"}},
        // DLM= is found anywhere, also inside another value.
        {"*,DSN=A.XDLM=ZZ", {true, true, false, true, "ZZ"}},
        {"DATAX", {}},
        {"SYSOUT=*", {}},
        {"DSN=A.B,DISP=SHR", {}}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Test(text), expected) << text;
    EXPECT_EQ(Test("*,DLM=$$", "JES3"), (Ends{true, false, false, true, "$$"}));
    EXPECT_EQ(Test("DATA,DLM=$$", "JES3"), (Ends{true, false, false, true, "$$"}));
    ResetJCLStatement(stmt_, 0);
    BOOLEAN flag = FALSE;
    char delimiter[16] = {};
    EXPECT_FALSE(TestForInstreamDD(stmt_, &flag, &flag, &flag, delimiter, "JES2", 0, 0));
    EXPECT_EQ(Messages(), std::vector<int>{});
}

TEST_F(InstreamData, DelimiterValuesAndTheirMessages) {
    Member({"//DD1 DD *"});
    const std::pair<std::string, std::string> quiet[] = {{"*,DLM='A'''", "A'"},
                                                         {"*,DLM='A&&'", "A&"},
                                                         {"*,DLM=$$,DCB=X", "$$"},
                                                         {"*,DLM='//'", "//"}};
    for (const auto& [text, expected] : quiet) {
        EXPECT_EQ(Test(text).delimiter, expected) << text;
    }
    EXPECT_EQ(Messages(), std::vector<int>{});

    EXPECT_EQ(Test("*,DLM=ABC").delimiter, "ABC");
    EXPECT_EQ(Messages(), (std::vector<int>{1319}));
    EXPECT_EQ(Test("*,DLM=A").delimiter, "A");
    EXPECT_EQ(Test("*,DLM=''").delimiter, "");
    EXPECT_EQ(Messages(), (std::vector<int>{1319, 1327, 1327}));
    EXPECT_EQ(Test("*,DLM='A&B'").delimiter, "A&B");
    EXPECT_EQ(Messages(), (std::vector<int>{1319, 1327, 1327, 1328, 1319}));
    // At most 15 characters are kept.
    EXPECT_EQ(Test("*,DLM=ABCDEFGHIJKLMNOPQRST").delimiter, "ABCDEFGHIJKLMNO");
    // The warnings are logged with MSG records (1328 is not).
    int records = 0;
    for (const std::string& line : ImportLines())
        records +=
            line.find(" 1319 ") != std::string::npos || line.find(" 1327 ") != std::string::npos;
    EXPECT_EQ(records, 5);
}

TEST_F(InstreamData, SpoolKeepsExactCopiesInOrder) {
    SourceLine first = MakeCard("LINE ONE", 5, 2);
    SourceLine second = MakeCard(std::string("A\0B", 3), 6, 2);
    SourceLine third = MakeCard("", 9, 2);
    for (SourceLine* card : {&first, &second, &third})
        ASSERT_EQ(AddInstreamDataToStmt(stmt_, card, 0), 1);
    void* spool = stmt_->inStreamData;
    EXPECT_EQ(getInStreamDataFileReference(spool), 2);
    EXPECT_EQ(getInStreamDataFileLine(spool), 5);
    EXPECT_EQ(Spool(spool), (std::vector<std::string>{"LINE ONE", std::string("A\0B", 3), ""}));

    void* copy = nullptr;
    ASSERT_EQ(CopyInstreamSpool(spool, &copy, 0), 1);
    ASSERT_NE(copy, spool);
    EXPECT_EQ(getInStreamDataEndFileLine(copy), 9);
    EXPECT_EQ(Spool(copy), Spool(spool));
    char* a = nullptr;
    char* b = nullptr;
    int32_t length = 0;
    ReadFirstInstreamSpool(spool, &a, &length);
    ReadFirstInstreamSpool(copy, &b, &length);
    EXPECT_NE(a, b); // the copy's texts are its own
    DeleteInstreamSpool(copy, 0);

    void* none = &copy;
    EXPECT_EQ(CopyInstreamSpool(nullptr, &none, 0), 1);
    EXPECT_EQ(none, nullptr);
    EXPECT_FALSE(ReadFirstInstreamSpool(nullptr, &a, &length));

    // A copy holds exactly the card's bytes and zeros after them.
    SourceLine dirty = MakeCard("XY", 1);
    dirty.SourceText[3] = 'Z'; // beyond the length: not copied
    SourceLine* clone = CloneSourceLine(&dirty, 0);
    EXPECT_EQ(clone->lineLength, 2);
    EXPECT_EQ(clone->SourceText[3], '\0');
    EXPECT_EQ(clone->fileLine, 1);
    FreeBlock(clone);
}

TEST_F(InstreamData, BypassCollectsByTheStatementsRules) {
    Member({"//DD1 DD DATA", "//NOT A STATEMENT", "/*", "//DD2 DD DATA,DLM=$$", "/*", "//", "$$",
            "//DD3 DD *,DLM='AB'", "//JES3 DATA", "ABX", "//DD4 DD *,DLM=AB", "D1",
            "//S2 EXEC PGM=X"});
    const char* jes[] = {"JES2", "JES2", "JES3", "JES2"};
    const std::vector<std::vector<std::string>> expected = {
        {"//NOT A STATEMENT"}, {"/*", "//"}, {"//JES3 DATA"}, {"D1"}};
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_TRUE(Next(nullptr, jes[i])) << i;
        EXPECT_EQ(stmt_->StatementType, RD_DD);
        BypassInstreamData(stmt_, jes[i], 0, 0);
        EXPECT_EQ(Spool(stmt_->inStreamData), expected[i]) << i;
        DeleteInstreamSpool(stmt_->inStreamData, 0);
    }
    // DD4's data ended at the "//" card, left for the next statement.
    ASSERT_TRUE(Next());
    EXPECT_STREQ(stmt_->StatementLabel, "S2");
    EXPECT_EQ(Messages(), std::vector<int>{});
}

TEST_F(InstreamData, NothingIsCollectedOnceTheSeverityIsAboveFour) {
    Member({"//DD1 DD *", "DATA", "//S2 EXEC PGM=X"});
    ASSERT_TRUE(Next());
    SetMaximumSeverity(8);
    BypassInstreamData(stmt_, "JES2", 0, 0);
    EXPECT_EQ(stmt_->inStreamData, nullptr);
    SourceLine card{};
    ASSERT_TRUE(ReadNextCard(&card, 0, nullptr, 0));
    EXPECT_STREQ(card.SourceText, "DATA");
}

} // namespace
} // namespace kvr::test
