// A fixture for the reader tests: the source-access fixture (log, import file, temporary
// containers) plus the per-member resets of the reader, an expanded-deck list, card lists
// built from texts, and the message numbers written without their locator lines.
#ifndef KVR_TESTS_UNIT_ANALYZER_READER_READER_FIXTURE_H
#define KVR_TESTS_UNIT_ANALYZER_READER_READER_FIXTURE_H

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/source/source_fixture.h"
#include "analyzer/statement_test_support.h"
#include "model/deck_records.h"
#include "reader/card_reader.h"
#include "reader/jcl_statement.h"
#include "reader/statement_parser.h"

namespace kvr::test {

// A card text padded with blanks to the given column, then text placed from that column.
inline std::string At(std::string card, size_t column, const std::string& text) {
    if (card.size() < column - 1) card.resize(column - 1, ' ');
    return card + text;
}

// A card of 80 columns: text, blanks, and a sequence number in columns 73-80.
inline std::string Numbered(const std::string& text, const std::string& number = "00010000") {
    std::string card = text;
    card.resize(72, ' ');
    return card + number;
}

inline SourceLine MakeCard(const std::string& text, int32_t line, SOURCE_REF ref = 0) {
    SourceLine card{};
    card.FileReference = ref;
    card.fileLine = line;
    card.lineLength = static_cast<int32_t>(text.size());
    std::memcpy(card.SourceText, text.data(), std::min(text.size(), sizeof card.SourceText - 1));
    return card;
}

class ReaderTest : public SourceTest {
  protected:
    void SetUp() override {
        SourceTest::SetUp();
        QueryBlockStatistics(&createdBefore_, &freedBefore_);
        member_ = std::make_unique<TestMember>();
        ASSERT_TRUE(CreateJCLStatement(Ctx(), &stmt_));
    }
    void TearDown() override {
        DeleteJCLStatement(stmt_, TRUE);
        for (void* cursor : cursors_)
            DeleteCursor(cursor, 0);
        for (void* list : cardLists_)
            FreeList(list, 0);
        member_.reset();
        CloseAnyRemainingFiles(0, 0);
        // Every block the reader took during the test has been returned.
        int32_t created = 0;
        int32_t freed = 0;
        QueryBlockStatistics(&created, &freed);
        EXPECT_EQ(created - createdBefore_, freed - freedBefore_);
        SourceTest::TearDown();
    }

    // Writes the member MEM of container LIB (one card a line) and makes it the source.
    void Member(const std::vector<std::string>& cards, int16_t mode = 0) {
        std::string content;
        for (const std::string& card : cards)
            content += card + "\n";
        const std::string container = Container("LIB", {{"MEM", content}});
        ASSERT_TRUE(OpenMain(container, "MEM", mode));
    }

    // A card list (owned SourceLine blocks, lines from 1) and a cursor on its head.
    void* Cards(const std::vector<std::string>& cards) {
        void* list = nullptr;
        EXPECT_TRUE(CreateList(&list, 0));
        int32_t line = 0;
        for (const std::string& text : cards) {
            void* block = nullptr;
            EXPECT_TRUE(CreateBlock(&block, sizeof(SourceLine)));
            *static_cast<SourceLine*>(block) = MakeCard(text, ++line, 0);
            AddItemToList(list, block, static_cast<SourceLine*>(block)->SourceText, 0);
        }
        void* cursor = nullptr;
        EXPECT_TRUE(KVR_CreateCursor(list, &cursor, 0));
        cardLists_.push_back(list);
        cursors_.push_back(cursor);
        return cursor;
    }

    MemberContext& Ctx() { return member_->ctx; }

    BOOLEAN Next(void* cursor = nullptr, const char* jes = "JES2", int16_t mode = 0,
                 BOOLEAN* procCall = nullptr) {
        Ctx().run.jesVersion = jes;
        Ctx().run.mode = mode;
        return BuildJCLStatement(Ctx(), stmt_, cursor, procCall);
    }

    std::string Parms() const {
        return stmt_->StatementParms != nullptr ? stmt_->StatementParms : "<none>";
    }

    // The message numbers written so far, locator lines left out.
    std::vector<int> Messages() {
        std::vector<int> numbers;
        for (int number : LoggedNumbers())
            if (number != 1470 && number != 1471) numbers.push_back(number);
        return numbers;
    }

    // Line and text of the comments in the deck, in deck order.
    std::vector<std::pair<int32_t, std::string>> Comments() {
        std::vector<std::pair<int32_t, std::string>> found;
        void* cursor = nullptr;
        EXPECT_TRUE(KVR_CreateCursor(Ctx().deck.Handle(), &cursor, 0));
        void* data = nullptr;
        for (; GetDataAtCursor(cursor, &data); AdvanceCursor(cursor)) {
            auto* comment = static_cast<RD_JclComment*>(static_cast<RD_JclCommon*>(data));
            EXPECT_EQ(comment->structureType, RD_STRUCT_COMMENT);
            found.emplace_back(comment->fileLine, comment->sourceText.get());
        }
        DeleteCursor(cursor, 0);
        return found;
    }

    std::unique_ptr<TestMember> member_;
    JCLStatement* stmt_ = nullptr;
    std::vector<void*> cardLists_;
    std::vector<void*> cursors_;
    int32_t createdBefore_ = 0;
    int32_t freedBefore_ = 0;
};

} // namespace kvr::test

#endif
